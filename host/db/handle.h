// AcDbHandle: the persistent name of an object in its database, a 64-bit number written as
// hexadecimal text (upper-case digits, no leading zeros, "0" for the null handle). A database
// hands out handles in increasing order and never reuses one.
#pragma once

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
// Every bit of the handle is mixed (the splitmix64 finalizer), so handles in sequence, from any
// start, spaced by a power of two or in runs far apart all spread like random keys: a half-full
// linearly probed table keeps short clusters whatever handles a drawing holds. Placing handles in
// sequence side by side would keep them in one cluster that every miss landing in it walks.
inline std::size_t handlePlace(std::uint64_t handle, std::size_t tableSize) {
    handle = (handle ^ (handle >> 30)) * 0xBF58476D1CE4E5B9ull;
    handle = (handle ^ (handle >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::size_t>(handle ^ (handle >> 31)) & (tableSize - 1);
}
}  // namespace host
