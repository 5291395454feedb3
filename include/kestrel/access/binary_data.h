// CVLKCBinaryData: the holder of a binary block and the texts stored ahead of it, passed by
// reference to the dictionary stores. The holder never frees its block: a block that a reader
// fills comes from malloc and the caller releases it with free.
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/platform/cstring_array.h"

// Stored as one text item (code 1) per text, in order, then the block in chunks of
// kChunkBytes bytes (the last one holds the rest; an empty block gives no chunk).
struct KESTREL_API CVLKCBinaryData {
    static constexpr std::uint32_t kChunkBytes = 120;

    // No texts, no block.
    CVLKCBinaryData();
    // Forgets the block without freeing it.
    ~CVLKCBinaryData();

    CStringArray m_texts;
    unsigned char* m_data;
    std::uint32_t m_size;
};
