#pragma once

#include "config/XmlDocument.h"

#include <string>
#include <vector>

// Checks that the element index describes the text: records inside their parents,
// siblings in text order without overlap, links and levels consistent, every record
// reachable. Returns an empty string when the index holds, else the first problem.
inline std::string CheckXmlIndex(const XmlDocument& document)
{
    const std::u16string& text = document.GetDocText();
    const int size = static_cast<int>(text.size());
    const int count = document.ElementCount();
    auto problem = [](const char* what, int element) {
        return std::string(what) + " at record " + std::to_string(element);
    };

    if (document.Record(0).length != size)
        return problem("document length differs from the text", 0);
    int reached = 0;
    for (int owner = 0; owner < count; ++owner) {
        const XmlElementRecord& up = document.Record(owner);
        const int first = up.firstChild;
        if (first == 0)
            continue;
        const int innerStart = owner == 0 ? 0 : up.start + document.StartTagLength(owner);
        const int innerEnd = owner == 0 ? size : up.start + up.length;
        int previous = 0;
        int last = 0;
        for (int element = first; element != 0; element = document.Record(element).nextSibling) {
            const XmlElementRecord& record = document.Record(element);
            if (++reached > count)
                return problem("sibling links form a loop", element);
            if (element <= owner || element >= count || record.parent != owner)
                return problem("parent link broken", element);
            if (previous != 0 && record.previousSibling != previous)
                return problem("previous-sibling link broken", element);
            const int startTag = document.StartTagLength(element);
            if (record.start < innerStart || record.start + record.length > innerEnd
                || startTag > record.length || startTag < 2)
                return problem("element outside its parent", element);
            if (text[static_cast<std::size_t>(record.start)] != u'<'
                || text[static_cast<std::size_t>(record.start + startTag - 1)] != u'>')
                return problem("start tag does not fit the text", element);
            if (previous != 0) {
                const XmlElementRecord& before = document.Record(previous);
                if (before.start + before.length > record.start)
                    return problem("siblings overlap or are out of order", element);
            }
            if (record.Level() != std::min<std::uint32_t>(up.Level() + 1, XmlElementRecord::kLevelMask))
                return problem("level wrong", element);
            previous = last = element;
        }
        if (document.Record(first).previousSibling != last)
            return problem("first child does not point to the last", first);
    }
    if (reached != count - 1)
        return problem("records unreachable from the document", count);
    return std::string();
}
