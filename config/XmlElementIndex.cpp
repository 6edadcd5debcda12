#include "config/XmlElementIndex.h"

#include <algorithm>

void XmlElementRecord::SetTagLengths(std::uint32_t startTag, std::uint32_t endTag)
{
    tagLengths = std::min(startTag, kMaxStartTagLength) | (std::min(endTag, kMaxEndTagLength) << 22);
}

void XmlElementRecord::SetLevel(std::uint32_t level)
{
    flagsAndLevel = (flagsAndLevel & ~kLevelMask) | std::min(level, kLevelMask);
}

void XmlElementRecord::Set(std::uint32_t flag, bool on)
{
    flagsAndLevel = on ? (flagsAndLevel | flag) : (flagsAndLevel & ~flag);
}

void XmlElementIndex::Reset(int newCapacity)
{
    segments.clear();
    capacity = 0;
    Allocate(std::max(newCapacity, 1));
    (*this)[0] = XmlElementRecord();
}

void XmlElementIndex::EnsureRoom(int needed)
{
    if (needed < capacity)
        return;
    int grown = capacity + capacity / 2 + 1;
    if (grown > kSegmentSize)
        grown = (grown + kSegmentSize - 1) / kSegmentSize * kSegmentSize;
    Allocate(std::max(grown, needed + 1));
}

void XmlElementIndex::Allocate(int newCapacity)
{
    // Only the last, partly sized segment is ever reallocated; full segments stay where they are.
    while (capacity < newCapacity) {
        const int segment = capacity >> kSegmentShift;
        const int used = capacity & (kSegmentSize - 1);
        const int wanted = std::min(kSegmentSize, newCapacity - (segment << kSegmentShift));
        auto fresh = std::make_unique<XmlElementRecord[]>(static_cast<std::size_t>(wanted));
        if (used != 0) {
            std::copy(segments[segment].get(), segments[segment].get() + used, fresh.get());
            segments[segment] = std::move(fresh);
        } else {
            segments.push_back(std::move(fresh));
        }
        capacity = (segment << kSegmentShift) + wanted;
    }
}
