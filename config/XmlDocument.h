#pragma once

#include "config/XmlElementIndex.h"

#include <string>

// A lenient XML document held as one UTF-16 text with an index of its elements.
// Never refuses a document: it indexes what it can and keeps the first problem
// in the result text. Offsets are UTF-16 code units. Single-threaded.
class XmlDocument {
public:
    static constexpr int kIgnoreCase = 8;

    XmlDocument();

    // Replaces the text (nullptr means empty), clears the result and parses.
    void SetDocText(const char16_t* newText);
    void SetDocText(const std::u16string& newText);
    // Reads a UTF-8 file (path in UTF-8) and parses it; on failure the document stays as it was.
    bool LoadFile(const std::string& path);
    // Writes the text as UTF-8 through a temporary file renamed over the target, so a
    // failed save never leaves a truncated file behind; the old file stays on failure.
    bool SaveFile(const std::string& path);

    void Rewind();
    bool FindElement(const char16_t* name = nullptr);
    bool FindChild(const char16_t* name = nullptr);
    bool EnterChild();
    bool LeaveElement();

    // The decoded value, or empty when element is not a valid element or lacks the attribute.
    std::u16string GetAttribute(int element, const std::u16string& name) const;
    // Replaces or appends the attribute in the start tag and shifts the index in place.
    bool SetAttribute(int element, const std::u16string& name, const std::u16string& value);

    const std::u16string& GetResult() const { return result; }
    const std::u16string& GetDocText() const { return text; }
    int GetFlags() const { return flags; }
    void SetFlags(int newFlags) { flags = newFlags; }
    // True when the last parse found a properly nested document with one root.
    bool IsWellFormed() const;

    int GetParent() const { return parent; }
    int GetCurrent() const { return current; }
    int GetChild() const { return child; }
    int GetNodeType() const { return nodeType; }
    int ElementCount() const { return nextFree; }
    const XmlElementRecord& Record(int element) const { return index[element]; }
    const XmlElementIndex& Index() const { return index; }
    // The start tag's length, also when it is too long for the record's packed field.
    int StartTagLength(int element) const;
    std::u16string ElementName(int element) const;

private:
    bool Parse();
    int AddElement(int parentElement, int start, int startTagLength);
    void CloseNotEnded(int element);
    void FinishLevels();
    void Shift(int element, int oldStartTagLength, int delta);
    bool NameMatches(int element, const char16_t* name) const;
    int FindAmongChildren(int parentElement, int after, const char16_t* name) const;
    bool ValidElement(int element) const { return element > 0 && element < nextFree; }

    std::u16string text;
    std::u16string result;
    int parent = 0;
    int current = 0;
    int child = 0;
    int nextFree = 1;
    int nodeType = 0;
    int nodeOffset = 0;
    int nodeLength = 0;
    int flags = 0;
    XmlElementIndex index;
};
