// host::dxf::FlatMarks: a small mark per handle in one open-addressed table, for the passes of the
// DXF reader and writer over every object of a drawing: no allocation per key, unlike a
// node-based map; keys are placed and searched as the database's handle index does it
// (handlePlace). Key 0 is never marked (it reads as unmarked and cannot be set).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kestrel/host/db/handle.h"

namespace host::dxf {

class FlatMarks {
public:
    // Room for about expected keys before the table first grows.
    explicit FlatMarks(std::size_t expected = 0) { resize(tableSizeFor(expected)); }

    // The mark of key; 0 when it has none.
    std::uint8_t get(std::uint64_t key) const {
        const std::size_t at = find(key);
        return m_keys[at] == key && key != 0 ? m_marks[at] : 0;
    }

    // Gives key the mark (0 included); ignored for key 0.
    void set(std::uint64_t key, std::uint8_t mark) {
        if (key == 0) {
            return;
        }
        std::size_t at = find(key);
        if (m_keys[at] != key) {
            if (2 * (m_count + 1) > m_keys.size()) {
                grow();
                at = find(key);
            }
            m_keys[at] = key;
            ++m_count;
        }
        m_marks[at] = mark;
    }

private:
    static std::size_t tableSizeFor(std::size_t keys) {
        std::size_t size = 16;
        while (size < 2 * keys) {
            size *= 2;
        }
        return size;
    }

    // The place of key, or the empty place where it would go (the table is at most half full, so
    // an empty place always ends the search).
    std::size_t find(std::uint64_t key) const {
        std::size_t at = handlePlace(key, m_keys.size());
        while (m_keys[at] != key && m_keys[at] != 0) {
            at = nextHandlePlace(at, m_keys.size());
        }
        return at;
    }

    void resize(std::size_t size) {
        m_keys.assign(size, 0);
        m_marks.assign(size, 0);
    }

    void grow() {
        const std::vector<std::uint64_t> keys = std::move(m_keys);
        const std::vector<std::uint8_t> marks = std::move(m_marks);
        resize(2 * keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys[i] != 0) {
                const std::size_t at = find(keys[i]);
                m_keys[at] = keys[i];
                m_marks[at] = marks[i];
            }
        }
    }

    std::vector<std::uint64_t> m_keys;
    std::vector<std::uint8_t> m_marks;
    std::size_t m_count = 0;
};

}  // namespace host::dxf
