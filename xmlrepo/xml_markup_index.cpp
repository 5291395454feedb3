// Growth of the segmented element index: one segment further per call at most, the last segment
// always sized exactly, a partly filled segment completed before the next one starts.
#include "kestrel/xmlrepo/xml_markup_index.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace kestrel::xml {

void ElementIndex::resizeSegment(int segment, int oldCount, int newCount) {
    std::unique_ptr<ElementRecord[]> fresh(new ElementRecord[newCount]);
    if (oldCount > 0) {
        std::memcpy(fresh.get(), m_segments[segment].get(),
                    sizeof(ElementRecord) * static_cast<std::size_t>(std::min(oldCount, newCount)));
    }
    m_segments[segment] = std::move(fresh);
}

bool ElementIndex::grow(long long requested) {
    if (requested <= m_size) {
        return true;
    }
    if (m_size == INT_MAX) {
        return false;
    }
    const int lastSegment = m_size > 0 ? (m_size - 1) >> kSegmentBits : -1;
    const long long nextSegmentEnd = static_cast<long long>(lastSegment + 2) * kSegmentSize;
    const int target = static_cast<int>(std::min({requested, nextSegmentEnd, (long long)INT_MAX}));
    const int newLastSegment = (target - 1) >> kSegmentBits;
    if (newLastSegment >= m_tableSize) {
        const int tableSize = 2 * newLastSegment + 4;
        std::unique_ptr<std::unique_ptr<ElementRecord[]>[]> table(
            new std::unique_ptr<ElementRecord[]>[tableSize]);
        for (int i = 0; i < m_tableSize; ++i) {
            table[i] = std::move(m_segments[i]);
        }
        m_segments = std::move(table);
        m_tableSize = tableSize;
    }
    const int usedInLast = m_size - (lastSegment << kSegmentBits);
    if (newLastSegment > lastSegment) {
        if (lastSegment >= 0 && usedInLast < kSegmentSize) {
            resizeSegment(lastSegment, usedInLast, kSegmentSize);
        }
        resizeSegment(newLastSegment, 0, target - (newLastSegment << kSegmentBits));
    } else {
        resizeSegment(lastSegment, usedInLast, target - (lastSegment << kSegmentBits));
    }
    m_size = target;
    return true;
}

void ElementIndex::shrinkTo(int count) {
    if (count >= m_size || count <= 0) {
        return;
    }
    const int lastSegment = (m_size - 1) >> kSegmentBits;
    const int keptSegment = (count - 1) >> kSegmentBits;
    for (int segment = keptSegment + 1; segment <= lastSegment; ++segment) {
        m_segments[segment].reset();
    }
    const int keptStart = keptSegment << kSegmentBits;
    const int keptCount = std::min(m_size, keptStart + kSegmentSize) - keptStart;
    resizeSegment(keptSegment, keptCount, count - keptStart);
    m_size = count;
}

}  // namespace kestrel::xml
