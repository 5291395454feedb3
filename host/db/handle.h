// AcDbHandle: the persistent name of an object in its database, a 64-bit number written as
// hexadecimal text (upper-case digits, no leading zeros, "0" for the null handle). A database
// hands out handles in increasing order and never reuses one.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/rx/adesk.h"

class AcDbHandle {
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
// Where a handle's search starts in an open-addressed table of tableSize places (a power of two).
// Handles are mostly given out in sequence: the low bits place them in sequence, which keeps
// neighbours together with no collisions among them; the bits above the table's size are mixed
// in, so that handles spaced by a power of two do not pile up on one place.
inline std::size_t handlePlace(std::uint64_t handle, std::size_t tableSize) {
    const std::uint64_t high = handle >> std::countr_zero(tableSize);
    return static_cast<std::size_t>(handle + high * 0x9E3779B97F4A7C15ull) & (tableSize - 1);
}
}  // namespace host
