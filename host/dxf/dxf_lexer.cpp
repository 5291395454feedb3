// The DXF tokenizer: line splitting, code parsing and value conversion with std::from_chars (so
// numbers read the same whatever the process's locale) for ASCII files; little-endian decoding,
// bounded by the end of the bytes, for binary ones.
#include "host/dxf/dxf_lexer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "kestrel/platform/utf8.h"

namespace host {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Lines up to this long are scanned for their end byte by byte.
constexpr std::ptrdiff_t kShortLine = 24;
constexpr std::string_view kBinaryTitle("AutoCAD Binary DXF\r\n\x1a\0", 22);
// The first group of a binary file, 0 SECTION, with one-byte and with two-byte codes.
constexpr std::string_view kFirstGroupOneByte("\0SECTION\0", 9);
constexpr std::string_view kFirstGroupTwoBytes("\0\0SECTION\0", 10);
constexpr unsigned char kTwoByteCodeFollows = 255;
// Other binary data opens with a SUB or NUL byte soon; no text file holds either.
constexpr std::size_t kBinaryDataProbe = 32;
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

template <class T>
bool parseWhole(std::string_view s, T& value) {
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size() && !s.empty();
}

// Plain decimals of at most this many digits are converted without from_chars.
constexpr int kQuickDigits = 15;
constexpr std::array<double, kQuickDigits + 1> kPowersOfTen = [] {
    std::array<double, kQuickDigits + 1> powers{};
    double power = 1.0;
    for (double& p : powers) {
        p = power;
        power *= 10.0;
    }
    return powers;
}();

// A plain decimal: an optional '-', digits, at most one '.'.
struct Decimal {
    bool negative = false;
    std::uint64_t mantissa = 0;  // the digits without the point
    int digits = 0;
    int decimals = 0;  // digits after the point
    bool point = false;

    // True when it converts the quick way: up to 15 digits make an exact integer and an exact
    // power of ten, whose quotient is the correctly rounded value, the one from_chars gives.
    bool quick() const { return digits > 0 && digits <= kQuickDigits; }
    double real() const {
        const double value =
            static_cast<double>(mantissa) / kPowersOfTen[static_cast<std::size_t>(decimals)];
        return negative ? -value : value;
    }
    bool integral() const { return quick() && !point; }
    std::int64_t integer() const {
        const auto value = static_cast<std::int64_t>(mantissa);
        return negative ? -value : value;
    }
};

// Reads a plain decimal from p; returns where it stops (end, or the first byte that does not
// belong).
const char* scanDecimal(const char* p, const char* end, Decimal& decimal) {
    decimal.negative = p != end && *p == '-';
    p += decimal.negative ? 1 : 0;
    for (; p != end; ++p) {
        if (*p >= '0' && *p <= '9') {
            decimal.mantissa = decimal.mantissa * 10 + static_cast<unsigned>(*p - '0');
            ++decimal.digits;
            decimal.decimals += decimal.point ? 1 : 0;
        } else if (*p == '.' && !decimal.point) {
            decimal.point = true;
        } else {
            break;
        }
    }
    return p;
}

// A real as parseWhole reads it: most files write plain decimals, which take the quick way;
// other forms (exponents, a leading '+', more digits) go to from_chars.
bool parseReal(std::string_view s, double& value) {
    Decimal decimal;
    if (scanDecimal(s.data(), s.data() + s.size(), decimal) != s.data() + s.size() ||
        !decimal.quick()) {
        return parseWhole(s, value);
    }
    value = decimal.real();
    return true;
}

// The unsigned little-endian number in bytes (at most eight).
std::uint64_t littleEndian(std::string_view bytes) {
    std::uint64_t value = 0;
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
        value = (value << 8) | static_cast<unsigned char>(*it);
    }
    return value;
}

// The signed little-endian number in bytes (one to eight).
std::int64_t signedLittleEndian(std::string_view bytes) {
    const unsigned unused = 64 - 8 * static_cast<unsigned>(bytes.size());
    return static_cast<std::int64_t>(littleEndian(bytes) << unused) >> unused;
}

// The size of a binary value of that class that has a fixed size; 0 for the others.
std::size_t fixedSize(GroupValueClass cls) {
    switch (cls) {
        case GroupValueClass::kReal:
        case GroupValueClass::kPoint:
        case GroupValueClass::kInt64:
            return 8;
        case GroupValueClass::kInt32:
            return 4;
        case GroupValueClass::kInt16:
            return 2;
        case GroupValueClass::kBool:
            return 1;
        default:
            return 0;
    }
}

// The value of each byte as a hexadecimal digit; kNotHex for the other bytes. Binary chunks are
// long runs of digits, so one look-up a byte pays.
constexpr unsigned char kNotHex = 0xFF;
constexpr std::array<unsigned char, 256> kHexValues = [] {
    std::array<unsigned char, 256> values{};
    values.fill(kNotHex);
    for (unsigned char d = 0; d < 10; ++d) {
        values['0' + d] = d;
    }
    for (unsigned char d = 0; d < 6; ++d) {
        values['a' + d] = static_cast<unsigned char>(10 + d);
        values['A' + d] = static_cast<unsigned char>(10 + d);
    }
    return values;
}();

unsigned hexDigitValue(char digit) {
    return kHexValues[static_cast<unsigned char>(digit)];
}

// Binary chunks are long runs of digits, taken eight at a time as the bytes of a word (the
// first character lowest), with no carry crossing from one byte to the next.
constexpr std::size_t kWordDigits = 8;
constexpr std::uint64_t kEachByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = kEachByte * 0x80;

// The high bit of each byte in [first, last]; bytes must be below 0x80.
std::uint64_t bytesInRange(std::uint64_t bytes, unsigned first, unsigned last) {
    return (bytes + kEachByte * (0x80 - first)) & ~(bytes + kEachByte * (0x7F - last)) &
           kHighBits;
}

// True when the eight characters of word are all hexadecimal digits.
bool isHexWord(std::uint64_t word) {
    const std::uint64_t low = word & ~kHighBits;
    const std::uint64_t digits = bytesInRange(low, '0', '9');
    const std::uint64_t letters = bytesInRange(low | (kEachByte * 0x20), 'a', 'f');  // any case
    return ((digits | letters) & ~word) == kHighBits;
}

// The four bytes the eight hexadecimal digits of word give, the first one lowest.
std::uint32_t hexWordBytes(std::uint64_t word) {
    // A digit's value is its low four bits, plus 9 for letters (bit 6 set).
    const std::uint64_t values = (word & (kEachByte * 0x0F)) + ((word >> 6) & kEachByte) * 9;
    constexpr std::uint64_t kEvenBytes = 0x00FF00FF00FF00FFull;
    std::uint64_t pairs = ((values & kEvenBytes) << 4) | ((values >> 8) & kEvenBytes);
    pairs = (pairs | (pairs >> 8)) & 0x0000FFFF0000FFFFull;
    return static_cast<std::uint32_t>(pairs | (pairs >> 16));
}

std::uint64_t wordAt(const char* digits) {
    std::uint64_t word = 0;
    std::memcpy(&word, digits, sizeof word);
    return std::endian::native == std::endian::little
               ? word
               : littleEndian(std::string_view(digits, kWordDigits));
}

bool isHexDigits(std::string_view s) {
    std::size_t i = 0;
    for (; i + kWordDigits <= s.size(); i += kWordDigits) {
        if (!isHexWord(wordAt(s.data() + i))) {
            return false;
        }
    }
    return std::none_of(s.begin() + static_cast<std::ptrdiff_t>(i), s.end(),
                        [](char c) { return hexDigitValue(c) == kNotHex; });
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

std::vector<unsigned char> dxfGroupBytes(const DxfGroup& group) {
    std::vector<unsigned char> bytes;
    dxfGroupBytes(group, bytes);
    return bytes;
}

void dxfGroupBytes(const DxfGroup& group, std::vector<unsigned char>& bytes) {
    const std::string_view text = group.text;
    if (group.binary) {
        bytes.assign(text.begin(), text.end());
        return;
    }
    // The lexer checked the digits, so they convert without a check.
    bytes.resize(text.size() / 2);
    std::size_t i = 0;
    for (; 2 * i + kWordDigits <= text.size(); i += kWordDigits / 2) {
        const std::uint32_t four = hexWordBytes(wordAt(text.data() + 2 * i));
        for (std::size_t k = 0; k < kWordDigits / 2; ++k) {
            bytes[i + k] = static_cast<unsigned char>(four >> (8 * k));
        }
    }
    for (; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>((hexDigitValue(text[2 * i]) << 4) |
                                              hexDigitValue(text[2 * i + 1]));
    }
}

std::string dxfGroupHex(const DxfGroup& group) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const unsigned char byte : dxfGroupBytes(group)) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}

DxfLexer::DxfLexer(std::string_view text, Mode mode)
    : m_begin(text.data()), m_pos(text.data()), m_end(text.data() + text.size()), m_mode(mode) {
    if (text.starts_with(kBinaryTitle)) {
        startBinary();
        return;
    }
    if (text.starts_with(kByteOrderMark)) {
        m_pos += kByteOrderMark.size();
    }
    if (text.substr(0, kBinaryDataProbe).find_first_of(std::string_view("\x1a\0", 2)) !=
        std::string_view::npos) {
        fail(1, L"binary data without the title of a binary DXF file");
        m_pos = m_end;
    }
}

void DxfLexer::startBinary() {
    m_binary = true;
    m_pos += kBinaryTitle.size();
    const std::string_view rest(m_pos, static_cast<std::size_t>(m_end - m_pos));
    m_oneByteCodes = rest.starts_with(kFirstGroupOneByte);
    if (!m_oneByteCodes && !rest.starts_with(kFirstGroupTwoBytes)) {
        fail(offset(), L"the binary DXF file does not start with group 0 SECTION");
        m_pos = m_end;
    }
}

std::wstring DxfLexer::where(std::size_t position) const {
    return (m_binary ? L"byte " : L"line ") + std::to_wstring(position);
}

std::size_t DxfLexer::linesRead() const {
    return m_binary ? offset() : m_line;
}

std::size_t DxfLexer::endPosition() const {
    return m_binary ? static_cast<std::size_t>(m_end - m_begin) : m_line + 1;
}

bool DxfLexer::fail(std::size_t position, const std::wstring& what) {
    if (m_message.empty()) {
        m_message = where(position) + L": " + what;
    }
    return false;
}

bool DxfLexer::readCode(int& code, std::size_t& position) {
    return m_binary ? readBinaryCode(code, position) : readTextCode(code, position);
}

bool DxfLexer::readValue(DxfGroup& group) {
    if (m_binary) {
        return readBinaryValue(group);
    }
    if (m_mode == Mode::kValues && readQuickNumber(group)) {
        return true;
    }
    std::string_view value;
    if (!nextLine(value)) {
        return fail(endPosition(),
                    L"the file ends before the value of group code " + std::to_wstring(group.code));
    }
    if (m_mode == Mode::kCodesOnly) {
        group.text = value;
        return true;
    }
    return convert(group, value);
}

// --- ASCII files --------------------------------------------------------------------------------

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

bool DxfLexer::readTextCode(int& code, std::size_t& line) {
    // Most code lines are a few digits after blanks: they are read in the one walk that finds
    // their end, without the general parse.
    const char* at = m_pos;
    while (at < m_end && *at == ' ') {
        ++at;
    }
    const char* first = at;
    int value = 0;
    while (at < m_end && at - first < 6 && *at >= '0' && *at <= '9') {
        value = value * 10 + (*at++ - '0');
    }
    const bool digits = at != first;
    at += at < m_end && *at == '\r' ? 1 : 0;
    if (digits && at < m_end && *at == '\n') {
        m_pos = at + 1;
        line = ++m_line;
        code = value;
        return true;
    }
    std::string_view text;
    if (!nextLine(text)) {
        return false;
    }
    line = m_line;
    const std::string_view written = trimmed(text);
    if (written.empty()) {
        return fail(line, L"empty line where a group code belongs");
    }
    if (!parseWhole(written, code)) {
        return fail(line, L"group code " + quoted(written) + L" is not a number");
    }
    return true;
}

bool DxfLexer::readQuickNumber(DxfGroup& group) {
    const GroupValueClass cls = group.valueClass;
    const bool real = cls == GroupValueClass::kReal || cls == GroupValueClass::kPoint;
    const bool integer = cls == GroupValueClass::kInt16 || cls == GroupValueClass::kInt32 ||
                         cls == GroupValueClass::kInt64 || cls == GroupValueClass::kBool;
    if (!real && !integer) {
        return false;
    }
    const char* at = m_pos;
    while (at < m_end && *at == ' ') {
        ++at;
    }
    Decimal decimal;
    at = scanDecimal(at, m_end, decimal);
    at += at < m_end && *at == '\r' ? 1 : 0;
    if (at == m_end || *at != '\n' || !(real ? decimal.quick() : decimal.integral())) {
        return false;
    }
    if (real) {
        group.x = decimal.real();
    } else {
        std::int64_t low = 0;
        std::int64_t high = 0;
        integerRange(cls, low, high);
        if (decimal.integer() < low || decimal.integer() > high) {
            return false;  // convert reports it
        }
        group.integer = decimal.integer();
    }
    m_pos = at + 1;
    ++m_line;
    return true;
}

bool DxfLexer::convert(DxfGroup& group, std::string_view value) {
    const auto prefix = [&group] { return L"group " + std::to_wstring(group.code) + L": "; };
    const std::size_t position = m_binary ? group.line : m_line;
    switch (group.valueClass) {
        case GroupValueClass::kText:
            group.text = value;
            return true;
        case GroupValueClass::kNone:
            return true;
        case GroupValueClass::kBinary:
            group.text = trimmed(value);
            if (group.text.size() % 2 != 0 || !isHexDigits(group.text)) {
                return fail(position, prefix() + quoted(value) + L" is not hexadecimal bytes");
            }
            return true;
        case GroupValueClass::kName: {
            group.text = trimmed(value);
            std::uint64_t handle = 0;
            const auto [end, error] = std::from_chars(
                group.text.data(), group.text.data() + group.text.size(), handle, 16);
            const bool isHandle = error == std::errc() &&
                                  end == group.text.data() + group.text.size() &&
                                  isHexDigits(group.text);
            group.integer = group.text.empty() ? 0
                            : isHandle         ? static_cast<std::int64_t>(handle)
                                               : kNotAHandle;
            return true;
        }
        case GroupValueClass::kReal:
        case GroupValueClass::kPoint: {
            double real = 0.0;
            if (!parseReal(trimmed(value), real) || !std::isfinite(real)) {
                return fail(position, prefix() + quoted(value) + L" is not a finite number");
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
                return fail(position, prefix() + quoted(value) + L" is not an integer");
            }
            if (group.integer < low || group.integer > high) {
                return fail(position, prefix() + quoted(value) + L" is out of range");
            }
            return true;
        }
        case GroupValueClass::kUnknown:
            break;
    }
    return fail(group.line, L"unknown group code " + std::to_wstring(group.code));
}

// --- Binary files -------------------------------------------------------------------------------

bool DxfLexer::readBinaryCode(int& code, std::size_t& position) {
    position = offset();
    if (m_pos == m_end) {
        return false;
    }
    const char* start = m_pos;
    std::size_t width = 2;
    if (m_oneByteCodes) {
        const bool escaped = static_cast<unsigned char>(*start) == kTwoByteCodeFollows;
        start += escaped ? 1 : 0;
        width = escaped ? 2 : 1;
    }
    if (static_cast<std::size_t>(m_end - start) < width) {
        return fail(position, L"the file ends inside a group code");
    }
    code = static_cast<int>(littleEndian(std::string_view(start, width)));
    m_pos = start + width;
    return true;
}

bool DxfLexer::takeBinaryValue(GroupValueClass cls, std::string_view& bytes) {
    const std::string_view rest(m_pos, static_cast<std::size_t>(m_end - m_pos));
    std::size_t begin = 0;
    std::size_t size = fixedSize(cls);
    std::size_t after = 0;
    if (cls == GroupValueClass::kText || cls == GroupValueClass::kName) {
        size = rest.find('\0');
        after = 1;
    } else if (cls == GroupValueClass::kBinary) {
        begin = 1;
        size = rest.empty() ? std::string_view::npos : static_cast<unsigned char>(rest.front());
    }
    if (size == std::string_view::npos || begin + size + after > rest.size()) {
        return false;
    }
    bytes = rest.substr(begin, size);
    m_pos += begin + size + after;
    return true;
}

bool DxfLexer::readBinaryValue(DxfGroup& group) {
    // The class gives the value's size, so it is looked up in both modes.
    const GroupValueClass cls = groupValueClass(group.code);
    if (cls == GroupValueClass::kUnknown) {
        return fail(group.line, L"unknown group code " + std::to_wstring(group.code));
    }
    const std::size_t start = offset();
    std::string_view bytes;
    if (!takeBinaryValue(cls, bytes)) {
        return fail(start,
                    L"the file ends inside the value of group code " + std::to_wstring(group.code));
    }
    if (m_mode == Mode::kCodesOnly) {
        group.text = bytes;
        return true;
    }
    return convertBinary(group, bytes);
}

bool DxfLexer::convertBinary(DxfGroup& group, std::string_view bytes) {
    switch (group.valueClass) {
        case GroupValueClass::kBinary:
            group.text = bytes;
            return true;
        case GroupValueClass::kReal:
        case GroupValueClass::kPoint:
            group.x = std::bit_cast<double>(littleEndian(bytes));
            return std::isfinite(group.x) ||
                   fail(group.line, L"group " + std::to_wstring(group.code) + L": '" +
                                        std::to_wstring(group.x) + L"' is not a finite number");
        case GroupValueClass::kBool:
            group.integer = static_cast<unsigned char>(bytes.front());
            return true;
        case GroupValueClass::kInt16:
        case GroupValueClass::kInt32:
        case GroupValueClass::kInt64:
            group.integer = signedLittleEndian(bytes);
            return true;
        default:
            return convert(group, bytes);  // texts and handles, checked as in ASCII files
    }
}

// --- Points -------------------------------------------------------------------------------------

DxfLexer::Coordinate DxfLexer::readCoordinate(int code, double& value, std::size_t& position) {
    DxfGroup coordinate;
    coordinate.binary = m_binary;
    if (!readCode(coordinate.code, coordinate.line)) {
        return failed() ? Coordinate::kBadCode : Coordinate::kEnd;
    }
    position = coordinate.line;
    if (coordinate.code != code) {
        return Coordinate::kOtherCode;
    }
    coordinate.valueClass = GroupValueClass::kReal;
    if (!readValue(coordinate)) {
        return Coordinate::kBadValue;
    }
    value = coordinate.x;
    return Coordinate::kRead;
}

bool DxfLexer::readPoint(DxfGroup& group) {
    const int xCode = group.code;
    std::size_t position = 0;
    switch (readCoordinate(xCode + 10, group.y, position)) {
        case Coordinate::kRead:
            break;
        case Coordinate::kEnd:
            return fail(endPosition(),
                        L"the file ends inside point group " + std::to_wstring(xCode));
        case Coordinate::kOtherCode:
            return fail(position, L"point group " + std::to_wstring(xCode) + L" of " +
                                      where(group.line) + L" lacks its group " +
                                      std::to_wstring(xCode + 10));
        default:
            return false;
    }
    const char* mark = m_pos;
    const std::size_t markLine = m_line;
    switch (readCoordinate(xCode + 20, group.z, position)) {
        case Coordinate::kRead:
            group.hasZ = true;
            return true;
        case Coordinate::kBadValue:
            return false;
        default:
            // A bad code after the point is reported when it is read as a group.
            m_message.clear();
            m_pos = mark;
            m_line = markLine;
            return true;
    }
}

bool DxfLexer::next(DxfGroup& group) {
    for (;;) {
        group = DxfGroup();
        group.binary = m_binary;
        if (failed() || !readCode(group.code, group.line)) {
            return false;
        }
        if (m_mode == Mode::kValues) {
            group.valueClass = groupValueClass(group.code);
        }
        if (!readValue(group)) {
            return false;
        }
        if (group.code == kCommentCode) {
            continue;
        }
        return m_mode == Mode::kCodesOnly || group.valueClass != GroupValueClass::kPoint ||
               readPoint(group);
    }
}

}  // namespace host
