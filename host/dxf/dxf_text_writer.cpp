// Formatting of DXF lines: group codes, UTF-8 texts with caret escapes, exact reals, hex handles
// and chunks.
#include "host/dxf/dxf_text_writer.h"

#include <sys/mman.h>

#include <charconv>
#include <cstdint>
#include <cstring>

namespace host {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendUtf8(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

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

DxfTextWriter::DxfTextWriter(std::size_t reserveBytes) {
    m_buffer.reserve(reserveBytes);
    adviseLargePages(m_buffer.data(), m_buffer.capacity());
}

void DxfTextWriter::code(int code) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, code);
    const std::size_t length = static_cast<std::size_t>(result.ptr - digits);
    if (length < 3) {
        m_buffer.append(3 - length, ' ');
    }
    m_buffer.append(digits, length);
    endLine();
}

void DxfTextWriter::text(int code, std::wstring_view value) {
    this->code(code);
    for (wchar_t w : value) {
        const auto c = static_cast<char32_t>(w);
        if (c < 0x20) {
            m_buffer.push_back('^');
            m_buffer.push_back(static_cast<char>(c + 0x40));
        } else if (c < 0x80) {
            m_buffer.push_back(static_cast<char>(c));
        } else {
            appendUtf8(m_buffer, c);
        }
    }
    endLine();
}

void DxfTextWriter::ascii(int code, std::string_view value) {
    this->code(code);
    m_buffer.append(value);
    endLine();
}

void DxfTextWriter::integer(int code, std::int64_t value) {
    this->code(code);
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_buffer.append(digits, result.ptr);
    endLine();
}

void DxfTextWriter::realValue(double value) {
    char digits[40];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const std::string_view written(digits, static_cast<std::size_t>(result.ptr - digits));
    m_buffer.append(written);
    if (written.find_first_of(".eni") == std::string_view::npos) {
        m_buffer.append(".0");
    }
    endLine();
}

void DxfTextWriter::real(int code, double value) {
    this->code(code);
    realValue(value);
}

void DxfTextWriter::point(int code, const AcGePoint3d& value, bool withZ) {
    real(code, value.x);
    real(code + 10, value.y);
    if (withZ) {
        real(code + 20, value.z);
    }
}

void DxfTextWriter::handle(int code, std::uint64_t value) {
    this->code(code);
    char digits[16];
    int count = 0;
    do {
        digits[count++] = kHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0) {
        m_buffer.push_back(digits[--count]);
    }
    endLine();
}

void DxfTextWriter::bytes(int code, const unsigned char* data, std::size_t length) {
    this->code(code);
    for (std::size_t i = 0; i < length; ++i) {
        m_buffer.push_back(kHexDigits[data[i] >> 4]);
        m_buffer.push_back(kHexDigits[data[i] & 0xF]);
    }
    endLine();
}

}  // namespace host
