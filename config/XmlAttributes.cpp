#include "config/XmlAttributes.h"

#include <string>

#include "config/XmlTokenizer.h"

namespace {

char16_t FoldCase(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EndsAttributeName(char16_t c)
{
    return c == u'=' || c == u'>' || c == u'/' || c == u'?' || XmlTokenizer::IsSpace(c);
}

// The tokenizer takes a "/" before the closing ">" as the end of an empty element after these.
bool EndsEmptyElementAfter(char16_t c) { return XmlTokenizer::IsSpace(c) || c == u'"' || c == u'\''; }

// A "&#...;" or "&#x...;" reference at p (p[0] == '&'); its length, or 0 when it does not decode.
int NumericReference(const char16_t* p, const char16_t* end, char16_t& unit)
{
    constexpr int kMaxBody = 7;
    if (end - p < 3 || p[1] != u'#')
        return 0;
    const bool hex = p[2] == u'x';
    const char16_t* digits = p + (hex ? 3 : 2);
    unsigned long value = 0;
    const char16_t* q = digits;
    for (; q < end && *q != u';'; ++q) {
        if (q - (p + 1) >= kMaxBody)
            return 0;
        const char16_t c = *q;
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return 0;
        value = value * (hex ? 16 : 10) + static_cast<unsigned long>(digit);
    }
    // A zero unit would cut the value short for C-string users and a value past one
    // UTF-16 unit cannot be given as "that code unit": both stay literal text.
    if (q >= end || q == digits || value == 0 || value > 0xFFFF)
        return 0;
    unit = static_cast<char16_t>(value);
    return static_cast<int>(q + 1 - p);
}

} // namespace

bool XmlAttributes::SameName(const char16_t* a, const char16_t* b, int length, bool ignoreCase)
{
    for (int i = 0; i < length; ++i) {
        if (a[i] != b[i] && !(ignoreCase && FoldCase(a[i]) == FoldCase(b[i])))
            return false;
    }
    return true;
}

bool XmlAttributes::NameMatches(
    const char16_t* name, int nameLength, const std::u16string& requested, bool ignoreCase)
{
    if (nameLength <= 0 || requested.size() < static_cast<std::size_t>(nameLength)
        || !SameName(name, requested.data(), nameLength, ignoreCase))
        return false;
    if (requested.size() == static_cast<std::size_t>(nameLength))
        return true;
    const char16_t next = requested[static_cast<std::size_t>(nameLength)];
    return next == u' ' || next == u'=' || next == u'/' || next == u'[' || next == u']';
}

XmlAttributeSpan XmlAttributes::Find(
    const std::u16string& text, int tagStart, int tagEnd, const std::u16string& name, bool ignoreCase)
{
    const char16_t* t = text.data();
    const int limit = (tagEnd > tagStart && t[tagEnd - 1] == u'>') ? tagEnd - 1 : tagEnd;
    int i = tagStart + 1 + XmlTokenizer::NameLength(t + tagStart + 1, t + limit);
    // A quote after "=" opens a value wherever the "=" stands, exactly as the tokenizer
    // sees it, so that a tag's extent and its attributes never disagree.
    auto skipQuotedAfterEquals = [t, limit](int equals) {
        int k = equals + 1;
        while (k < limit && XmlTokenizer::IsSpace(t[k]))
            ++k;
        if (k >= limit || (t[k] != u'"' && t[k] != u'\''))
            return equals + 1;
        const char16_t quote = t[k];
        for (++k; k < limit && t[k] != quote; ++k) { }
        return k < limit ? k + 1 : limit;
    };
    while (i < limit) {
        if (t[i] == u'=') {
            i = skipQuotedAfterEquals(i);
            continue;
        }
        if (EndsAttributeName(t[i])) {
            ++i;
            continue;
        }
        XmlAttributeSpan span;
        span.nameStart = i;
        while (i < limit && !EndsAttributeName(t[i]))
            ++i;
        span.nameEnd = i;
        int j = i;
        while (j < limit && XmlTokenizer::IsSpace(t[j]))
            ++j;
        if (j < limit && t[j] == u'=') {
            ++j;
            while (j < limit && XmlTokenizer::IsSpace(t[j]))
                ++j;
            span.hasValue = true;
            span.valueStart = j;
            if (j < limit && (t[j] == u'"' || t[j] == u'\'')) {
                const char16_t quote = t[j];
                int close = j + 1;
                while (close < limit && t[close] != quote)
                    ++close;
                span.quoted = true;
                span.valueEnd = close < limit ? close + 1 : limit;
            } else {
                // The "/" of an empty element ("<a x= />") is no part of the value.
                while (j < limit && !XmlTokenizer::IsSpace(t[j]) && t[j] != u'>'
                    && !(t[j] == u'/' && j + 1 == limit && EndsEmptyElementAfter(t[j - 1])))
                    j = t[j] == u'=' ? skipQuotedAfterEquals(j) : j + 1;
                span.valueEnd = j;
            }
            i = span.valueEnd;
        } else {
            span.valueStart = span.valueEnd = span.nameEnd;
        }
        if (NameMatches(t + span.nameStart, span.nameEnd - span.nameStart, name, ignoreCase)) {
            span.found = true;
            return span;
        }
    }
    return XmlAttributeSpan();
}

std::u16string XmlAttributes::Decode(const char16_t* begin, const char16_t* end)
{
    static const struct {
        const char16_t* entity;
        int length;
        char16_t unit;
    } kEntities[] = { { u"&lt;", 4, u'<' }, { u"&amp;", 5, u'&' }, { u"&gt;", 4, u'>' },
        { u"&apos;", 6, u'\'' }, { u"&quot;", 6, u'"' } };

    std::u16string out;
    out.reserve(static_cast<std::size_t>(end - begin));
    for (const char16_t* p = begin; p < end;) {
        if (*p != u'&') {
            out.push_back(*p++);
            continue;
        }
        int used = 0;
        char16_t unit = u'&';
        for (const auto& e : kEntities) {
            if (end - p >= e.length && std::char_traits<char16_t>::compare(p, e.entity, e.length) == 0) {
                used = e.length;
                unit = e.unit;
                break;
            }
        }
        if (used == 0)
            used = NumericReference(p, end, unit);
        out.push_back(unit);
        p += used == 0 ? 1 : used;
    }
    return out;
}

std::u16string XmlAttributes::QuoteEscaped(const std::u16string& value)
{
    std::u16string out;
    out.reserve(value.size() + 2);
    out.push_back(u'"');
    for (const char16_t c : value) {
        switch (c) {
        case u'<':
            out += u"&lt;";
            break;
        case u'&':
            out += u"&amp;";
            break;
        case u'>':
            out += u"&gt;";
            break;
        case u'\'':
            out += u"&apos;";
            break;
        case u'"':
            out += u"&quot;";
            break;
        default:
            out.push_back(c);
        }
    }
    out.push_back(u'"');
    return out;
}
