// Formatting of DXF lines into the writer's buffer: group codes from a table, UTF-8 texts with
// caret escapes, exact reals (a fast path for the values drawings mostly hold), hex handles and
// chunks.
#include "host/dxf/dxf_text_writer.h"

#include <sys/mman.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "kestrel/host/db/dxf_filer.h"

namespace host {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// The line of each group code the format defines (0 to 1071), padded to three columns.
struct CodeLine {
    char text[8];
    std::uint8_t length;
};
constexpr int kTableCodes = 1072;

constexpr std::array<CodeLine, kTableCodes> makeCodeLines() {
    std::array<CodeLine, kTableCodes> lines{};
    for (int code = 0; code < kTableCodes; ++code) {
        char digits[4] = {};
        int length = 0;
        for (int rest = code; length == 0 || rest > 0; rest /= 10) {
            digits[length++] = static_cast<char>('0' + rest % 10);
        }
        CodeLine& line = lines[static_cast<std::size_t>(code)];
        int at = 0;
        for (; at < 3 - length; ++at) {
            line.text[at] = ' ';
        }
        while (length > 0) {
            line.text[at++] = digits[--length];
        }
        line.text[at++] = '\n';
        line.length = static_cast<std::uint8_t>(at);
    }
    return lines;
}

constexpr std::array<CodeLine, kTableCodes> kCodeLines = makeCodeLines();

// The most bytes a group code line, a number line, or the UTF-8 of one wide character take.
constexpr std::size_t kCodeBytes = 24;
constexpr std::size_t kNumberBytes = 40;
constexpr std::size_t kBytesPerChar = 4;

// Writes the UTF-8 of c (U+0080 and above; one that is not a character as U+FFFD); the end.
char* putUtf8(char* out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        c = 0xFFFD;
    }
    if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (c & 0x3F));
    return out;
}

// The fast path of formatReal covers numbers whose binary fraction ends within kFractionBits
// bits (whole numbers, halves, quarters, ... 1/1024ths) below 2^37, and zeros. Their exact
// decimal form is the shortest one that reads back as long as half a unit in the last place stays
// below the last decimal digit written: below kDigitLimits[d] for d decimals (2^floor(54 - d
// log2 10)). A fraction of b binary digits has exactly b decimal digits (1/2^b = 5^b / 10^b).
constexpr int kFractionBits = 10;
constexpr std::array<double, 11> kDigitLimits = {0x1p53, 0x1p50, 0x1p47, 0x1p44, 0x1p40, 0x1p37,
                                                 0x1p34, 0x1p30, 0x1p27, 0x1p24, 0x1p20};
constexpr std::array<std::uint32_t, 11> kPowersOfFive = {1,     5,      25,      125,     625,
                                                         3125,  15625,  78125,   390625,  1953125,
                                                         9765625};

// Decimal digits of value.
int digitCount(std::uint64_t value) {
    int count = 1;
    while (value >= 10) {
        value /= 10;
        ++count;
    }
    return count;
}

// The fast path: the end of what it wrote, or null when value is not of its kind or the
// scientific form would be shorter. whole tells whether value is a whole number.
char* formatSimpleReal(char* out, double value, bool& whole) {
    if (value == 0.0) {
        if (std::signbit(value)) {
            *out++ = '-';
        }
        *out++ = '0';
        whole = true;
        return out;
    }
    const double magnitude = std::fabs(value);
    if (!(magnitude < 0x1p37)) {
        return nullptr;
    }
    const double scaled = magnitude * (1 << kFractionBits);  // exact: a power of two
    const auto units = static_cast<std::uint64_t>(scaled);
    if (static_cast<double>(units) != scaled) {
        return nullptr;
    }
    const std::uint64_t integer = units >> kFractionBits;
    std::uint64_t fraction = units & ((1u << kFractionBits) - 1);
    int decimals = 0;
    if (fraction != 0) {
        decimals = kFractionBits - std::countr_zero(fraction);
        fraction >>= kFractionBits - decimals;
        if (!(magnitude < kDigitLimits[static_cast<std::size_t>(decimals)])) {
            return nullptr;
        }
        fraction *= kPowersOfFive[static_cast<std::size_t>(decimals)];
    } else if (integer >= 100000) {
        // The scientific form ("d.ddde+XX") is written when strictly shorter: a whole number of
        // many trailing zeros. Fractions of 1/1024 and up, and smaller whole numbers, never are.
        const int digits = digitCount(integer);
        int significant = digits;
        for (std::uint64_t rest = integer; rest % 10 == 0; rest /= 10) {
            --significant;
        }
        if (significant + (significant > 1 ? 1 : 0) + 4 < digits) {
            return nullptr;
        }
    }
    if (value < 0) {
        *out++ = '-';
    }
    out = std::to_chars(out, out + 24, integer).ptr;
    whole = decimals == 0;
    if (!whole) {
        *out++ = '.';
        for (int i = decimals - 1; i >= 0; --i, fraction /= 10) {
            out[i] = static_cast<char>('0' + fraction % 10);
        }
        out += decimals;
    }
    return out;
}

}  // namespace

char* formatReal(char* out, double value) {
    bool whole = false;
    if (char* end = formatSimpleReal(out, value, whole)) {
        return end;
    }
    return std::to_chars(out, out + 32, value).ptr;
}

namespace {

// A text of many megabytes is written once from end to end: backing it with large pages spares
// the kernel a fault per 4 KB page. Only a hint; smaller buffers are left alone.
void adviseLargePages(char* data, std::size_t size) {
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    if (size < 2 * kLargePage) {
        return;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kLargePage - 1);
    if (last > first) {
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

}  // namespace

DxfStringSink::DxfStringSink(std::string& out, std::size_t expectedBytes)
    : m_out(out), m_start(out.size()) {
    if (expectedBytes > 0 && m_out.capacity() < m_start + expectedBytes) {
        m_out.reserve(m_start + expectedBytes);
        adviseLargePages(m_out.data(), m_out.capacity());
    }
}

DxfTextWriter::DxfTextWriter(DxfSink& sink, std::size_t bufferBytes)
    : m_sink(sink),
      m_data(new char[bufferBytes]),
      m_capacity(bufferBytes),
      m_bufferBytes(bufferBytes) {}

void DxfTextWriter::makeRoom(std::size_t n) {
    flush();
    const std::size_t wanted = n > m_bufferBytes ? n : m_bufferBytes;
    if (wanted != m_capacity) {
        m_data.reset(new char[wanted]);
        m_capacity = wanted;
    }
}

int DxfTextWriter::flush() {
    if (m_error == 0 && m_size > 0) {
        m_error = m_sink.write(std::string_view(m_data.get(), m_size));
    }
    m_size = 0;
    return m_error;
}

int DxfTextWriter::rewind() {
    m_size = 0;
    m_lines = 0;
    if (m_error == 0) {
        m_error = m_sink.rewind();
    }
    return m_error;
}

char* DxfTextWriter::code(char* out, int code) {
    if (code >= 0 && code < kTableCodes) {
        std::memcpy(out, kCodeLines[code].text, sizeof kCodeLines[code].text);
        ++m_lines;
        return out + kCodeLines[code].length;
    }
    char* start = out;
    out = std::to_chars(out, out + 16, code).ptr;
    const auto length = static_cast<std::size_t>(out - start);
    if (length < 3) {
        std::memmove(start + 3 - length, start, length);
        std::memset(start, ' ', 3 - length);
        out = start + 3;
    }
    *out++ = '\n';
    ++m_lines;
    return out;
}

void DxfTextWriter::text(int code, std::wstring_view value) {
    char* out = this->code(room(kCodeBytes + kBytesPerChar * value.size() + 1), code);
    for (wchar_t w : value) {
        const auto c = static_cast<char32_t>(w);
        if (c < 0x20) {
            *out++ = '^';
            *out++ = static_cast<char>(c + 0x40);
        } else if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else {
            out = putUtf8(out, c);
        }
    }
    endLine(out);
}

void DxfTextWriter::ascii(int code, std::string_view value) {
    char* out = this->code(room(kCodeBytes + value.size() + 1), code);
    std::memcpy(out, value.data(), value.size());
    endLine(out + value.size());
}

void DxfTextWriter::integer(int code, std::int64_t value) {
    char* out = this->code(room(kCodeBytes + kNumberBytes), code);
    endLine(std::to_chars(out, out + kNumberBytes, value).ptr);
}

void DxfTextWriter::real(int code, double value) {
    char* out = this->code(room(kCodeBytes + kNumberBytes), code);
    bool whole = false;
    if (char* end = formatSimpleReal(out, value, whole)) {
        out = end;
    } else {
        char* start = out;
        out = std::to_chars(out, out + kNumberBytes, value).ptr;
        whole = std::string_view(start, static_cast<std::size_t>(out - start))
                    .find_first_of(".eni") == std::string_view::npos;
    }
    if (whole) {
        *out++ = '.';
        *out++ = '0';
    }
    endLine(out);
}

void DxfTextWriter::angle(int code, double radians) {
    real(code, radiansToFileDegrees(radians));
}

void DxfTextWriter::point(int code, const AcGePoint3d& value, bool withZ) {
    real(code, value.x);
    real(code + 10, value.y);
    if (withZ) {
        real(code + 20, value.z);
    }
}

void DxfTextWriter::handle(int code, std::uint64_t value) {
    char* out = this->code(room(kCodeBytes + 17), code);
    char digits[16];
    int count = 0;
    do {
        digits[count++] = kHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0) {
        *out++ = digits[--count];
    }
    endLine(out);
}

void DxfTextWriter::bytes(int code, const unsigned char* data, std::size_t length) {
    char* out = this->code(room(kCodeBytes + 2 * length + 1), code);
    for (std::size_t i = 0; i < length; ++i) {
        *out++ = kHexDigits[data[i] >> 4];
        *out++ = kHexDigits[data[i] & 0xF];
    }
    endLine(out);
}

}  // namespace host
