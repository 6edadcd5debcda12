#pragma once

#include <string>

// Where one attribute sits in a start tag; offsets index the document text.
struct XmlAttributeSpan {
    bool found = false;
    bool hasValue = false; // false for a bare name without "="
    bool quoted = false;
    int nameStart = 0;
    int nameEnd = 0;
    int valueStart = 0; // the value with its quotes, if any
    int valueEnd = 0;
};

// Attribute lookup and value coding inside start tags. Stateless helpers of XmlDocument.
class XmlAttributes {
public:
    // True when the name in the text (nameLength units) is the requested one: the requested
    // name starts with exactly those units and ends there or goes on with space = / [ or ].
    static bool NameMatches(
        const char16_t* name, int nameLength, const std::u16string& requested, bool ignoreCase);

    static bool SameName(const char16_t* a, const char16_t* b, int length, bool ignoreCase);

    // The first attribute of the start tag [tagStart, tagEnd) whose name matches.
    static XmlAttributeSpan Find(
        const std::u16string& text, int tagStart, int tagEnd, const std::u16string& name, bool ignoreCase);

    // Entity and character references decoded; an unknown or unusable reference stays literal.
    static std::u16string Decode(const char16_t* begin, const char16_t* end);

    // The five markup characters escaped and the result put in double quotes.
    static std::u16string QuoteEscaped(const std::u16string& value);
};
