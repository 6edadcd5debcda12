#pragma once

#include <initializer_list>
#include <string>

// Node kinds with the codes the engine reports.
enum class XmlNodeKind {
    EndTag = 0,
    Element = 1,
    Text = 2,
    Whitespace = 4,
    CData = 8,
    ProcessingInstruction = 16,
    Comment = 32,
    Declaration = 64,
    Error = -1,
    EndOfText = -2,
};

struct XmlNode {
    XmlNodeKind kind = XmlNodeKind::EndOfText;
    int offset = 0;
    int length = 0;
    bool emptyElement = false; // start tag closed by "/>"
    std::u16string error; // the problem with this node, empty when none
};

// Cuts a UTF-16 text into nodes one at a time. Lenient: a malformed node is
// still consumed and carries its message. Works on a text it does not own.
class XmlTokenizer {
public:
    explicit XmlTokenizer(const std::u16string& text);

    // The node starting at offset (its kind is EndOfText at the end of the text).
    XmlNode Next(int offset) const;

    // Length of a start tag's name: up to white space or one of < > = \ / ? !
    static int NameLength(const char16_t* name, const char16_t* end);
    static bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }
    static bool IsNameStart(char16_t c);

private:
    void ScanStartTag(XmlNode& node) const;
    void ScanDoctype(XmlNode& node) const;
    void RunTo(XmlNode& node, const std::u16string& terminator, int from, const char* kindName) const;
    void Incorrect(XmlNode& node, const char* what) const;
    void Unterminated(XmlNode& node, const char* kindName) const;
    int Find(char16_t c, int from) const;

    const char16_t* text;
    int size;
};

// One argument of XmlFormat: a number for %d, a text for %s.
struct XmlFormatArg {
    XmlFormatArg(int value)
        : number(value)
    {
    }
    XmlFormatArg(const std::u16string& value)
        : text(&value)
    {
    }
    long long number = 0;
    const std::u16string* text = nullptr;
};

// printf-like formatting of the engine's messages, %s and %d only, into UTF-16.
std::u16string XmlFormat(const char* format, std::initializer_list<XmlFormatArg> args);
std::u16string AsciiToUtf16(const char* text);
