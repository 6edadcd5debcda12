// Navigation and attribute access of XmlDocument; parsing and files are in XmlDocument.cpp.
#include "config/XmlDocument.h"

#include <algorithm>
#include <climits>

#include "config/XmlAttributes.h"
#include "config/XmlTokenizer.h"

namespace {

// Names that would put markup into the start tag are refused rather than corrupting the index.
bool UsableAttributeName(const std::u16string& name)
{
    if (name.empty())
        return false;
    for (const char16_t c : name) {
        if (XmlTokenizer::IsSpace(c) || c == u'<' || c == u'>' || c == u'=' || c == u'/' || c == u'?'
            || c == u'!' || c == u'"' || c == u'\'' || c == u'&' || c == u'\\' || c == 0)
            return false;
    }
    return true;
}

} // namespace

void XmlDocument::Rewind()
{
    parent = current = child = 0;
    nodeType = nodeOffset = nodeLength = 0;
}

bool XmlDocument::NameMatches(int element, const char16_t* name) const
{
    if (!name || !*name)
        return true;
    const char16_t* own = text.data() + index[element].start + 1;
    return XmlAttributes::NameMatches(own, XmlTokenizer::NameLength(own, text.data() + text.size()),
        std::u16string(name), (flags & kIgnoreCase) != 0);
}

int XmlDocument::FindAmongChildren(int parentElement, int after, const char16_t* name) const
{
    int candidate = after ? index[after].nextSibling : index[parentElement].firstChild;
    while (candidate != 0 && !NameMatches(candidate, name))
        candidate = index[candidate].nextSibling;
    return candidate;
}

bool XmlDocument::FindElement(const char16_t* name)
{
    const int found = FindAmongChildren(parent, current, name);
    if (found == 0)
        return false;
    current = found;
    child = 0;
    nodeType = 1;
    nodeOffset = index[found].start;
    nodeLength = index[found].length;
    return true;
}

bool XmlDocument::FindChild(const char16_t* name)
{
    if (current == 0 && !FindElement())
        return false;
    const int found = FindAmongChildren(current, child, name);
    if (found == 0)
        return false;
    child = found;
    current = index[found].parent;
    parent = index[current].parent;
    return true;
}

bool XmlDocument::EnterChild()
{
    if (current == 0 || nodeType != 1)
        return false;
    parent = current;
    current = child;
    child = 0;
    return true;
}

bool XmlDocument::LeaveElement()
{
    if (parent == 0)
        return false;
    child = current;
    current = parent;
    parent = index[parent].parent;
    nodeType = 1;
    return true;
}

std::u16string XmlDocument::GetAttribute(int element, const std::u16string& name) const
{
    if (!ValidElement(element))
        return std::u16string();
    const int start = index[element].start;
    const XmlAttributeSpan span
        = XmlAttributes::Find(text, start, start + StartTagLength(element), name, (flags & kIgnoreCase) != 0);
    if (!span.found || !span.hasValue)
        return std::u16string();
    int begin = span.valueStart;
    int end = span.valueEnd;
    if (span.quoted) {
        ++begin;
        if (end > begin
            && text[static_cast<std::size_t>(end - 1)] == text[static_cast<std::size_t>(span.valueStart)])
            --end;
    }
    return XmlAttributes::Decode(text.data() + begin, text.data() + end);
}

bool XmlDocument::SetAttribute(int element, const std::u16string& name, const std::u16string& value)
{
    if (!ValidElement(element) || !UsableAttributeName(name))
        return false;
    const XmlElementRecord& record = index[element];
    const int start = record.start;
    const int tagEnd = start + StartTagLength(element);
    const std::u16string quoted = XmlAttributes::QuoteEscaped(value);
    const XmlAttributeSpan span = XmlAttributes::Find(text, start, tagEnd, name, (flags & kIgnoreCase) != 0);

    const bool emptyElement = record.length == tagEnd - start && !record.Has(XmlElementRecord::kNotEnded);
    int at;
    int removed = 0;
    std::u16string inserted;
    if (span.found && span.hasValue) {
        at = span.valueStart;
        removed = span.valueEnd - span.valueStart;
        inserted = quoted;
    } else if (span.found) {
        at = span.nameEnd;
        inserted = u"=" + quoted;
        // In "<a x/>" with content the "/" ends no empty element; a quote before it would make one.
        if (!emptyElement && at + 2 == tagEnd && text[static_cast<std::size_t>(at)] == u'/')
            removed = 1;
    } else {
        // New attributes go at the end of the list, before ">", "/>" or "?>".
        at = tagEnd - 1;
        const char16_t last = text[static_cast<std::size_t>(at - 1)];
        if (at - 1 > start && (last == u'?' || (last == u'/' && emptyElement)))
            --at;
        inserted = u" " + name + u"=" + quoted;
    }

    const long long newSize
        = static_cast<long long>(text.size()) + static_cast<long long>(inserted.size()) - removed;
    if (newSize > INT_MAX)
        return false;
    if (static_cast<std::size_t>(newSize) > text.capacity())
        text.reserve(static_cast<std::size_t>(newSize + newSize / 2 + 128));
    text.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(removed), inserted);
    Shift(element, tagEnd - start, static_cast<int>(inserted.size()) - removed);
    return true;
}

void XmlDocument::Shift(int element, int oldStartTagLength, int delta)
{
    if (delta == 0)
        return;
    XmlElementRecord& record = index[element];
    record.SetTagLengths(static_cast<std::uint32_t>(oldStartTagLength + delta), record.StoredEndTagLength());
    record.length += delta;
    for (int above = record.parent;; above = index[above].parent) {
        index[above].length += delta;
        if (above == 0)
            break;
    }
    // Records are in text order, so every later record starts after this start tag.
    for (int i = element + 1; i < nextFree;) {
        const int segmentEnd
            = std::min(nextFree, (i / XmlElementIndex::kSegmentSize + 1) * XmlElementIndex::kSegmentSize);
        XmlElementRecord* records = &index[i];
        for (int n = segmentEnd - i, k = 0; k < n; ++k)
            records[k].start += delta;
        i = segmentEnd;
    }
}
