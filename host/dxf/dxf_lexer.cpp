// The DXF tokenizer: line splitting, code parsing and value conversion with std::from_chars, so
// numbers read the same whatever the process's locale.
#include "host/dxf/dxf_lexer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/utf8.h"

namespace host {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Lines up to this long are scanned for their end byte by byte.
constexpr std::ptrdiff_t kShortLine = 24;
// Binary drawing files open with a short title followed by CR LF, SUB and NUL; no text file holds
// either of the last two, so one of them near the start tells a binary file.
constexpr std::size_t kBinaryTitleLength = 32;
constexpr int kCommentCode = 999;
constexpr std::size_t kQuotedLength = 40;

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The value as it appears in a message: quoted, cut after kQuotedLength bytes.
std::wstring quoted(std::string_view value) {
    const bool cut = value.size() > kQuotedLength;
    return L"'" + utf8ToWide(value.substr(0, kQuotedLength)) + (cut ? L"...'" : L"'");
}

// groupValueClass for every code up to the last XData code, looked up once.
GroupValueClass valueClassOf(int code) {
    constexpr int kTableSize = 1072;
    static const auto table = [] {
        std::array<GroupValueClass, kTableSize> classes{};
        for (int c = 0; c < kTableSize; ++c) {
            classes[static_cast<std::size_t>(c)] = groupValueClass(c);
        }
        return classes;
    }();
    return code >= 0 && code < kTableSize ? table[static_cast<std::size_t>(code)]
                                          : groupValueClass(code);
}

template <class T>
bool parseWhole(std::string_view s, T& value) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size() && !s.empty();
}

bool isHexDigits(std::string_view s) {
    for (const char c : s) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return true;
}

// The inclusive range an integer class accepts.
void integerRange(GroupValueClass cls, std::int64_t& low, std::int64_t& high) {
    switch (cls) {
        case GroupValueClass::kInt32:
            low = std::numeric_limits<std::int32_t>::min();
            high = std::numeric_limits<std::uint32_t>::max();
            return;
        case GroupValueClass::kInt64:
            low = std::numeric_limits<std::int64_t>::min();
            high = std::numeric_limits<std::int64_t>::max();
            return;
        default:
            low = std::numeric_limits<std::int16_t>::min();
            high = std::numeric_limits<std::uint16_t>::max();
            return;
    }
}

}  // namespace

DxfLexer::DxfLexer(std::string_view text, Mode mode)
    : m_pos(text.data()), m_end(text.data() + text.size()), m_mode(mode) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        m_pos += kByteOrderMark.size();
    }
    const std::string_view start = std::string_view(m_pos, static_cast<std::size_t>(m_end - m_pos))
                                       .substr(0, kBinaryTitleLength);
    if (start.find_first_of(std::string_view("\x1a\0", 2)) != std::string_view::npos) {
        fail(1, L"binary DXF files are not read; save the drawing as ASCII DXF");
        m_pos = m_end;
    }
}

bool DxfLexer::fail(std::size_t line, const std::wstring& what) {
    if (m_message.empty()) {
        m_message = L"line " + std::to_wstring(line) + L": " + what;
    }
    return false;
}

bool DxfLexer::nextLine(std::string_view& line) {
    if (m_pos >= m_end) {
        return false;
    }
    // Most lines are a few characters long: a plain loop finds their end sooner than a call.
    const char* newline = m_pos;
    const char* shortEnd = m_pos + std::min<std::ptrdiff_t>(m_end - m_pos, kShortLine);
    while (newline < shortEnd && *newline != '\n') {
        ++newline;
    }
    if (newline == shortEnd) {
        newline = static_cast<const char*>(
            std::memchr(newline, '\n', static_cast<std::size_t>(m_end - newline)));
    }
    const char* lineEnd = newline != nullptr ? newline : m_end;
    line = std::string_view(m_pos, static_cast<std::size_t>(lineEnd - m_pos));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    m_pos = newline != nullptr ? newline + 1 : m_end;
    ++m_line;
    return true;
}

bool DxfLexer::readCode(int& code, std::size_t& line) {
    std::string_view text;
    if (!nextLine(text)) {
        return false;
    }
    line = m_line;
    const std::string_view digits = trimmed(text);
    if (digits.empty()) {
        return fail(line, L"empty line where a group code belongs");
    }
    if (!parseWhole(digits, code)) {
        return fail(line, L"group code " + quoted(digits) + L" is not a number");
    }
    return true;
}

bool DxfLexer::readValue(std::string_view& value, int code) {
    if (!nextLine(value)) {
        return fail(m_line + 1,
                    L"the file ends before the value of group code " + std::to_wstring(code));
    }
    return true;
}

bool DxfLexer::convert(DxfGroup& group, std::string_view value) {
    const auto where = [&group] { return L"group " + std::to_wstring(group.code) + L": "; };
    const std::size_t line = m_line;
    switch (group.valueClass) {
        case GroupValueClass::kText:
            group.text = value;
            return true;
        case GroupValueClass::kNone:
            return true;
        case GroupValueClass::kBinary:
            group.text = trimmed(value);
            if (group.text.size() % 2 != 0 || !isHexDigits(group.text)) {
                return fail(line, where() + quoted(value) + L" is not hexadecimal bytes");
            }
            return true;
        case GroupValueClass::kName: {
            group.text = trimmed(value);
            std::uint64_t handle = 0;
            const auto [end, error] = std::from_chars(
                group.text.data(), group.text.data() + group.text.size(), handle, 16);
            if (group.text.empty() || error != std::errc() ||
                end != group.text.data() + group.text.size() || !isHexDigits(group.text)) {
                return fail(line, where() + quoted(value) + L" is not a handle");
            }
            group.integer = static_cast<std::int64_t>(handle);
            return true;
        }
        case GroupValueClass::kReal:
        case GroupValueClass::kPoint: {
            double real = 0.0;
            if (!parseWhole(trimmed(value), real) || !std::isfinite(real)) {
                return fail(line, where() + quoted(value) + L" is not a finite number");
            }
            group.x = real;
            return true;
        }
        case GroupValueClass::kInt16:
        case GroupValueClass::kInt32:
        case GroupValueClass::kInt64:
        case GroupValueClass::kBool: {
            std::int64_t low = 0;
            std::int64_t high = 0;
            integerRange(group.valueClass, low, high);
            if (!parseWhole(trimmed(value), group.integer)) {
                return fail(line, where() + quoted(value) + L" is not an integer");
            }
            if (group.integer < low || group.integer > high) {
                return fail(line, where() + quoted(value) + L" is out of range");
            }
            return true;
        }
        case GroupValueClass::kUnknown:
            break;
    }
    return fail(group.line, L"unknown group code " + std::to_wstring(group.code));
}

bool DxfLexer::readPoint(DxfGroup& group) {
    const int xCode = group.code;
    const std::size_t xLine = group.line;
    DxfGroup coordinate;
    std::string_view value;
    if (!readCode(coordinate.code, coordinate.line)) {
        return failed() ? false
                        : fail(m_line + 1,
                               L"the file ends inside point group " + std::to_wstring(xCode));
    }
    if (coordinate.code != xCode + 10) {
        return fail(coordinate.line, L"point group " + std::to_wstring(xCode) + L" of line " +
                                         std::to_wstring(xLine) + L" lacks its group " +
                                         std::to_wstring(xCode + 10));
    }
    coordinate.valueClass = GroupValueClass::kReal;
    if (!readValue(value, coordinate.code) || !convert(coordinate, value)) {
        return false;
    }
    group.y = coordinate.x;
    const char* mark = m_pos;
    const std::size_t markLine = m_line;
    if (readCode(coordinate.code, coordinate.line) && coordinate.code == xCode + 20) {
        if (!readValue(value, coordinate.code) || !convert(coordinate, value)) {
            return false;
        }
        group.z = coordinate.x;
        group.hasZ = true;
        return true;
    }
    m_message.clear();  // a bad line after the point is reported when it is read as a group
    m_pos = mark;
    m_line = markLine;
    return true;
}

bool DxfLexer::next(DxfGroup& group) {
    for (;;) {
        group = DxfGroup();
        std::string_view value;
        if (failed() || !readCode(group.code, group.line) || !readValue(value, group.code)) {
            return false;
        }
        if (group.code == kCommentCode) {
            continue;
        }
        if (m_mode == Mode::kCodesOnly) {
            group.text = value;
            return true;
        }
        group.valueClass = valueClassOf(group.code);
        if (!convert(group, value)) {
            return false;
        }
        return group.valueClass != GroupValueClass::kPoint || readPoint(group);
    }
}

}  // namespace host
