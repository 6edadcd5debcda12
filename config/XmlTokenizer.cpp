#include "config/XmlTokenizer.h"

#include <string_view>

XmlTokenizer::XmlTokenizer(const std::u16string& text)
    : text(text.data())
    , size(static_cast<int>(text.size()))
{
}

bool XmlTokenizer::IsNameStart(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || c == u':' || c == u'_' || c > 0x60;
}

int XmlTokenizer::NameLength(const char16_t* name, const char16_t* end)
{
    const char16_t* p = name;
    for (; p < end; ++p) {
        const char16_t c = *p;
        if (IsSpace(c) || c == u'<' || c == u'>' || c == u'=' || c == u'\\' || c == u'/' || c == u'?'
            || c == u'!')
            break;
    }
    return static_cast<int>(p - name);
}

int XmlTokenizer::Find(char16_t c, int from) const
{
    for (int i = from; i < size; ++i) {
        if (text[i] == c)
            return i;
    }
    return -1;
}

XmlNode XmlTokenizer::Next(int offset) const
{
    XmlNode node;
    node.offset = offset;
    if (offset >= size)
        return node;

    if (text[offset] != u'<') {
        bool blank = true;
        int i = offset;
        for (; i < size && text[i] != u'<'; ++i) {
            if (blank && !IsSpace(text[i]))
                blank = false;
        }
        node.kind = blank ? XmlNodeKind::Whitespace : XmlNodeKind::Text;
        node.length = i - offset;
        return node;
    }

    auto at = [this](int i) -> char16_t { return i < size ? text[i] : u'\0'; };
    const char16_t c1 = at(offset + 1);
    if (offset + 1 < size && IsNameStart(c1)) {
        ScanStartTag(node);
    } else if (c1 == u'/') {
        node.kind = XmlNodeKind::EndTag;
        RunTo(node, u">", offset + 2, "Element end tag");
    } else if (c1 == u'?') {
        node.kind = XmlNodeKind::ProcessingInstruction;
        RunTo(node, u"?>", offset + 2, "Processing instruction");
    } else if (c1 == u'!') {
        const char16_t c2 = at(offset + 2);
        if (c2 == u'-') {
            if (at(offset + 3) == u'-') {
                node.kind = XmlNodeKind::Comment;
                RunTo(node, u"-->", offset + 4, "Comment");
            } else {
                Incorrect(node, "comment tag");
            }
        } else if (c2 == u'[') {
            if (at(offset + 3) == u'C') {
                node.kind = XmlNodeKind::CData;
                RunTo(node, u"]]>", offset + 4, "CDATA Section");
            } else {
                Incorrect(node, "tag");
            }
        } else if (c2 == u'D') {
            node.kind = XmlNodeKind::Declaration;
            ScanDoctype(node);
        } else if (c2 == u'E' || c2 == u'A' || c2 == u'N') {
            node.kind = XmlNodeKind::Declaration;
            RunTo(node, u">", offset + 3, "tag");
        } else {
            Incorrect(node, "! tag");
        }
    } else {
        Incorrect(node, "tag name character");
    }
    return node;
}

void XmlTokenizer::ScanStartTag(XmlNode& node) const
{
    const int nameEnd = node.offset + 1 + NameLength(text + node.offset + 1, text + size);
    int i = nameEnd;
    while (i < size) {
        const char16_t c = text[i];
        if (c == u'>')
            break;
        ++i;
        if (c != u'=')
            continue;
        while (i < size && IsSpace(text[i]))
            ++i;
        if (i < size && (text[i] == u'"' || text[i] == u'\'')) {
            // A quoted value may hold ">" freely.
            const int close = Find(text[i], i + 1);
            if (close < 0) {
                Unterminated(node, "Element tag");
                return;
            }
            i = close + 1;
        }
    }
    if (i >= size) {
        Unterminated(node, "Element tag");
        return;
    }
    node.kind = XmlNodeKind::Element;
    node.length = i + 1 - node.offset;
    const int slash = i - 1;
    if (slash > node.offset && text[slash] == u'/') {
        const char16_t before = text[slash - 1];
        node.emptyElement = slash == nameEnd || IsSpace(before) || before == u'"' || before == u'\'';
    }
}

void XmlTokenizer::ScanDoctype(XmlNode& node) const
{
    // Declarations of an internal subset nest inside the DOCTYPE; only the outer ">" ends it.
    int depth = 0;
    for (int i = node.offset + 3; i < size; ++i) {
        const char16_t c = text[i];
        if (c == u'"' || c == u'\'') {
            const int close = Find(c, i + 1);
            if (close < 0)
                break;
            i = close;
        } else if (c == u'<') {
            ++depth;
        } else if (c == u'>') {
            if (depth == 0) {
                node.length = i + 1 - node.offset;
                return;
            }
            --depth;
        }
    }
    Unterminated(node, "Doctype");
}

void XmlTokenizer::RunTo(
    XmlNode& node, const std::u16string& terminator, int from, const char* kindName) const
{
    const std::u16string_view view(text, static_cast<std::size_t>(size));
    const std::size_t found
        = from <= size ? view.find(terminator, static_cast<std::size_t>(from)) : view.npos;
    if (found == view.npos) {
        Unterminated(node, kindName);
        return;
    }
    node.length = static_cast<int>(found + terminator.size()) - node.offset;
}

void XmlTokenizer::Incorrect(XmlNode& node, const char* what) const
{
    node.kind = XmlNodeKind::Error;
    node.error = XmlFormat("Incorrect %s at offset %d", { AsciiToUtf16(what), node.offset });
    const int close = Find(u'>', node.offset + 1);
    node.length = (close < 0 ? size : close + 1) - node.offset;
}

void XmlTokenizer::Unterminated(XmlNode& node, const char* kindName) const
{
    node.kind = XmlNodeKind::Error;
    node.error = XmlFormat("%s at offset %d unterminated", { AsciiToUtf16(kindName), node.offset });
    node.length = size - node.offset;
}

std::u16string AsciiToUtf16(const char* text)
{
    std::u16string wide;
    for (; *text; ++text)
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
    return wide;
}

std::u16string XmlFormat(const char* format, std::initializer_list<XmlFormatArg> args)
{
    std::u16string out;
    auto arg = args.begin();
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && arg != args.end()) {
            if (p[1] == 's' && arg->text)
                out += *arg->text;
            else if (p[1] == 'd')
                out += AsciiToUtf16(std::to_string(arg->number).c_str());
            ++arg;
            ++p;
        } else {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
        }
    }
    return out;
}
