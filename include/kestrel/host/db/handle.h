// AcDbHandle: the persistent name of an object in its database, a 64-bit number written as
// hexadecimal text (upper-case digits, no leading zeros, "0" for the null handle). A database
// hands out handles in increasing order and never reuses one.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "kestrel/export.h"
#include "kestrel/host/rx/adesk.h"

class DRAWHOST_API AcDbHandle {
public:
    AcDbHandle() = default;
    explicit AcDbHandle(std::uint64_t value) : m_value(value) {}
    AcDbHandle(Adesk::UInt32 low, Adesk::UInt32 high)
        : m_value((static_cast<std::uint64_t>(high) << 32) | low) {}
    // Reads 1 to 16 hexadecimal digits (either case); any other text (null, empty, too long, a
    // non-digit) gives the null handle.
    explicit AcDbHandle(const wchar_t* hexText);

    bool isNull() const { return m_value == 0; }
    void setNull() { m_value = 0; }
    std::uint64_t value() const { return m_value; }
    Adesk::UInt32 low() const { return static_cast<Adesk::UInt32>(m_value); }
    Adesk::UInt32 high() const { return static_cast<Adesk::UInt32>(m_value >> 32); }

    // The hexadecimal text.
    std::wstring text() const;
    // Writes the hexadecimal text into buffer (nBufLen characters with the terminator); false,
    // leaving buffer untouched, when it is null or too small. 17 characters always suffice.
    bool getIntoAsciiBuffer(wchar_t* buffer, std::size_t nBufLen) const;

    // Reads hexText as the constructor does; false, leaving handle unchanged, on bad text.
    static bool fromText(const wchar_t* hexText, AcDbHandle& handle);

    AcDbHandle& operator++() {
        ++m_value;
        return *this;
    }
    bool operator==(const AcDbHandle& other) const { return m_value == other.m_value; }
    bool operator!=(const AcDbHandle& other) const { return m_value != other.m_value; }
    bool operator<(const AcDbHandle& other) const { return m_value < other.m_value; }
    bool operator>(const AcDbHandle& other) const { return m_value > other.m_value; }
    bool operator<=(const AcDbHandle& other) const { return m_value <= other.m_value; }
    bool operator>=(const AcDbHandle& other) const { return m_value >= other.m_value; }

private:
    std::uint64_t m_value = 0;
};

namespace host {
// The search order of open-addressed tables keyed by handle (the database's handle index, the DXF
// reader's and writer's marks): handlePlace, then nextHandlePlace until the handle or an empty
// place; tableSize is a power of two and the table at most half full.
//
// Drawings hold handles in runs of consecutive values. The handles of each aligned group (of
// 2^handleGroupBits handles) take as many consecutive places in their order, so handles in
// sequence are looked up in sequence; where the group starts mixes every other bit of the
// handle, so runs from any start, far apart or spaced by a power of two spread like random keys.
// A search steps a group and a place on: the handles of a group that meets another one move on
// past it together, so clusters stay as short as for random keys, and the odd step reaches
// every place.

// The size of a group as a power of two: 16 (a cache line of slot numbers), or a 1,024th of a
// table of more than 16,384 places, so that runs of handles keep to their pages in large tables.
inline int handleGroupBits(std::size_t tableSize) {
    const int bits = std::countr_zero(tableSize) - 10;
    return bits > 4 ? bits : 4;
}

inline std::size_t handlePlace(std::uint64_t handle, std::size_t tableSize) {
    std::uint64_t mixed = handle >> handleGroupBits(tableSize);
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(handle + (mixed ^ (mixed >> 31))) & (tableSize - 1);
}

inline std::size_t nextHandlePlace(std::size_t place, std::size_t tableSize) {
    return (place + (std::size_t{1} << handleGroupBits(tableSize)) + 1) & (tableSize - 1);
}
}  // namespace host
