// The element index of the markup engine: 32-byte element records kept in segments of 65,536
// so that growing a large index never moves more than one segment. Record indices never change
// while the index lives; index 0 is the document itself and means "no element" in every link.
#pragma once

#include <cstdint>
#include <memory>

#include "kestrel/export.h"

namespace kestrel::xml {

// One element: where it lies in the document text and how it links to the others.
struct KESTREL_API ElementRecord {
    std::int32_t start;        // offset of the element's "<"
    std::int32_t length;       // start tag to the end of the end tag
    std::uint32_t tagLengths;  // low 22 bits start-tag length, high 10 bits end-tag length
    std::uint32_t flagsLevel;  // low 16 bits nesting level, high bits the flags below
    std::int32_t parent;       // -1 marks a released record
    std::int32_t firstChild;
    std::int32_t nextSibling;  // also chains released records
    std::int32_t prevSibling;  // the first child holds the last sibling instead

    static constexpr std::uint32_t kFirstChild = 0x80000;
    static constexpr std::uint32_t kNotEnded = 0x100000;
    static constexpr std::uint32_t kIllData = 0x200000;
    static constexpr std::uint32_t kIllFormed = 0x800000;

    static constexpr int kMaxStartTag = (1 << 22) - 1;
    static constexpr int kMaxEndTag = (1 << 10) - 1;
    static constexpr int kMaxLevel = 0xFFFF;

    int startTagLength() const { return static_cast<int>(tagLengths & kMaxStartTag); }
    int endTagLength() const { return static_cast<int>(tagLengths >> 22); }
    void setTagLengths(int startTag, int endTag) {
        tagLengths =
            static_cast<std::uint32_t>(startTag) | (static_cast<std::uint32_t>(endTag) << 22);
    }
    int level() const { return static_cast<int>(flagsLevel & 0xFFFF); }
    void setLevel(int level) {
        flagsLevel = (flagsLevel & ~0xFFFFu) | static_cast<std::uint32_t>(level);
    }
    std::uint32_t flags() const { return flagsLevel & ~0xFFFFu; }
    bool has(std::uint32_t flag) const { return (flagsLevel & flag) != 0; }
    void set(std::uint32_t flag) { flagsLevel |= flag; }
    void clear(std::uint32_t flag) { flagsLevel &= ~flag; }
    // Offset one past the element's last code unit.
    int end() const { return start + length; }
    int contentStart() const { return start + startTagLength(); }
    int contentEnd() const { return start + length - endTagLength(); }
    bool released() const { return parent < 0; }
};

static_assert(sizeof(ElementRecord) == 32, "element records are 32 bytes");

// The segmented record store. Growing follows one rule (grow()); nothing else reallocates.
class KESTREL_API ElementIndex {
public:
    static constexpr int kSegmentBits = 16;
    static constexpr int kSegmentSize = 1 << kSegmentBits;

    ElementIndex() = default;
    ElementIndex(const ElementIndex&) = delete;
    ElementIndex& operator=(const ElementIndex&) = delete;
    ElementIndex(ElementIndex&&) noexcept = default;
    ElementIndex& operator=(ElementIndex&&) noexcept = default;

    // Record `i`; the caller keeps 0 <= i < size().
    ElementRecord& operator[](int i) {
        return m_segments[i >> kSegmentBits][i & (kSegmentSize - 1)];
    }
    const ElementRecord& operator[](int i) const {
        return m_segments[i >> kSegmentBits][i & (kSegmentSize - 1)];
    }

    // Number of records allocated.
    int size() const { return m_size; }
    // Entries of the segment pointer table.
    int segmentTableSize() const { return m_tableSize; }

    // Grows towards `requested` records (at most one segment further); nothing when the index is
    // already that large. Returns false when the index cannot hold more records at all.
    bool grow(long long requested);
    // Keeps only the first `count` records (0 < count < size()), the last segment sized exactly,
    // returning memory a parse did not need.
    void shrinkTo(int count);

private:
    void resizeSegment(int segment, int oldCount, int newCount);

    std::unique_ptr<std::unique_ptr<ElementRecord[]>[]> m_segments;
    int m_size = 0;
    int m_tableSize = 0;
};

}  // namespace kestrel::xml
