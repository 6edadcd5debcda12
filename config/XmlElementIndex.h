#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// One element of the index; record 0 stands for the document itself.
struct XmlElementRecord {
    static constexpr std::uint32_t kMaxStartTagLength = (1u << 22) - 1;
    static constexpr std::uint32_t kMaxEndTagLength = (1u << 10) - 1;
    static constexpr std::uint32_t kLevelMask = 0xFFFF;
    static constexpr std::uint32_t kFirstChild = 0x10000;
    static constexpr std::uint32_t kNotEnded = 0x20000;
    static constexpr std::uint32_t kIllFormed = 0x40000;

    int start = 0; // offset of the start tag's "<"
    int length = 0; // from the start tag to the end of the end tag
    std::uint32_t tagLengths = 0; // start-tag length in the low 22 bits, end-tag length above
    std::uint32_t flagsAndLevel = 0;
    int parent = 0;
    int firstChild = 0;
    int nextSibling = 0;
    int previousSibling = 0; // of the first child: the last child

    // Lengths beyond the packed field widths are stored saturated; see XmlDocument::StartTagLength.
    std::uint32_t StoredStartTagLength() const { return tagLengths & kMaxStartTagLength; }
    std::uint32_t StoredEndTagLength() const { return tagLengths >> 22; }
    void SetTagLengths(std::uint32_t startTag, std::uint32_t endTag);
    std::uint32_t Level() const { return flagsAndLevel & kLevelMask; }
    void SetLevel(std::uint32_t level);
    bool Has(std::uint32_t flag) const { return (flagsAndLevel & flag) != 0; }
    void Set(std::uint32_t flag, bool on);
};

// Element records in segments of 65,536 so that growing never moves more than
// one segment. Not thread-safe; owned by one XmlDocument.
class XmlElementIndex {
public:
    static constexpr int kSegmentShift = 16;
    static constexpr int kSegmentSize = 1 << kSegmentShift;

    // Drops every record and makes room for at least capacity records (record 0 cleared).
    void Reset(int capacity);
    // Makes room for index `needed`, growing by half again (in whole segments once past one).
    void EnsureRoom(int needed);

    XmlElementRecord& operator[](int i) { return segments[i >> kSegmentShift][i & (kSegmentSize - 1)]; }
    const XmlElementRecord& operator[](int i) const
    {
        return segments[i >> kSegmentShift][i & (kSegmentSize - 1)];
    }

    int Capacity() const { return capacity; }
    int SegmentCount() const { return static_cast<int>(segments.size()); }

private:
    void Allocate(int newCapacity);

    std::vector<std::unique_ptr<XmlElementRecord[]>> segments;
    int capacity = 0;
};
