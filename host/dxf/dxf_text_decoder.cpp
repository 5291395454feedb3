// Text decoding for the DXF reader: code-page names, the ASCII fast path, UTF-8 checks, iconv
// conversion with U+FFFD for what does not decode, and the escapes read after it.
#include "host/dxf/dxf_text_decoder.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>

#include "kestrel/platform/utf8.h"

namespace host {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;
constexpr int kFirstUtf8Release = 1021;
constexpr const char* kDefaultCodePage = "CP1252";
constexpr const char* kUtf8 = "UTF-8";
// The code pages of \M+N escapes, by N - 1.
constexpr std::array<const char*, 5> kEscapeCodePages = {"CP932", "CP950", "CP949", "CP1361",
                                                         "CP936"};
constexpr std::wstring_view kUnicodeEscape = L"\\U+";
constexpr std::wstring_view kMultiByteEscape = L"\\M+";
constexpr std::size_t kUnicodeEscapeLength = 7;    // \U+XXXX
constexpr std::size_t kMultiByteEscapeLength = 8;  // \M+NXXXX

// What the first scan looks for in a value's bytes.
constexpr unsigned char kNonAscii = 1;
constexpr unsigned char kEscapeStart = 2;
constexpr std::array<unsigned char, 256> kByteKinds = [] {
    std::array<unsigned char, 256> kinds{};
    for (std::size_t b = 0x80; b < kinds.size(); ++b) {
        kinds[b] = kNonAscii;
    }
    kinds['^'] = kEscapeStart;
    kinds['\\'] = kEscapeStart;
    return kinds;
}();

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = p[i];
        std::size_t trail = 0;
        unsigned char low = 0x80;  // the range of the first continuation byte
        unsigned char high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            trail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trail = 2;
            low = lead == 0xE0 ? 0xA0 : low;
            high = lead == 0xED ? 0x9F : high;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trail = 3;
            low = lead == 0xF0 ? 0x90 : low;
            high = lead == 0xF4 ? 0x8F : high;
        } else {
            return false;
        }
        if (size - i <= trail || p[i + 1] < low || p[i + 1] > high) {
            return false;
        }
        for (std::size_t k = 2; k <= trail; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
        }
        i += trail + 1;
    }
    return true;
}

// The letters (upper-cased) and digits of a header text.
std::string lettersAndDigits(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        if (c >= 'a' && c <= 'z') {
            kept.push_back(static_cast<char>(c - 'a' + 'A'));
        } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            kept.push_back(c);
        }
    }
    return kept;
}

bool isDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// The iconv name of the code page a $DWGCODEPAGE text names; empty for a name not known.
std::string iconvName(std::string_view codePage) {
    const std::string name = lettersAndDigits(codePage);
    static constexpr std::pair<std::string_view, const char*> kNamed[] = {
        {"", kDefaultCodePage}, {"ASCII", kDefaultCodePage},
        {"BIG5", "CP950"},      {"GB2312", "CP936"},
        {"GBK", "CP936"},       {"KSC5601", "CP949"},
        {"JOHAB", "CP1361"},    {"MACINTOSH", "MACINTOSH"},
        {"UTF8", kUtf8},
    };
    for (const auto& [named, iconv] : kNamed) {
        if (name == named) {
            return iconv;
        }
    }
    for (const std::string_view prefix : {"ANSI", "DOS", "CP", "WINDOWS", "IBM", ""}) {
        if (name.starts_with(prefix) && isDigits(std::string_view(name).substr(prefix.size()))) {
            return "CP" + name.substr(prefix.size());
        }
    }
    constexpr std::string_view kIso = "ISO8859";
    if (name.starts_with(kIso) && isDigits(std::string_view(name).substr(kIso.size()))) {
        return "ISO-8859-" + name.substr(kIso.size());
    }
    return std::string();
}

bool isDoubleByte(std::string_view iconv) {
    for (const std::string_view page : {"CP932", "CP936", "CP949", "CP950", "CP1361"}) {
        if (iconv == page) {
            return true;
        }
    }
    return false;
}

// The release number of an $ACADVER text ("AC1021" gives 1021); 0 when unreadable.
int releaseNumber(std::string_view release) {
    const std::string text = lettersAndDigits(release);
    int number = 0;
    if (text.starts_with("AC")) {
        std::from_chars(text.data() + 2, text.data() + text.size(), number);
    }
    return number;
}

bool hexValue(std::wstring_view digits, char32_t& value) {
    value = 0;
    for (const wchar_t c : digits) {
        int digit = 0;
        if (c >= L'0' && c <= L'9') {
            digit = c - L'0';
        } else if (c >= L'A' && c <= L'F') {
            digit = c - L'A' + 10;
        } else if (c >= L'a' && c <= L'f') {
            digit = c - L'a' + 10;
        } else {
            return false;
        }
        value = value * 16 + static_cast<char32_t>(digit);
    }
    return true;
}

// The code point of a \U+XXXX escape at the start of rest.
bool unicodeEscapeAt(std::wstring_view rest, char32_t& value) {
    return rest.size() >= kUnicodeEscapeLength && rest.starts_with(kUnicodeEscape) &&
           hexValue(rest.substr(kUnicodeEscape.size(), 4), value);
}

// The character of the \U+ escape (or surrogate pair of them) at the start of rest; its length,
// or 0 when rest does not start with one.
std::size_t unicodeEscape(std::wstring_view rest, char32_t& value) {
    if (!unicodeEscapeAt(rest, value)) {
        return 0;
    }
    if (value < 0xD800 || value > 0xDFFF) {
        return kUnicodeEscapeLength;
    }
    char32_t low = 0;
    if (value > 0xDBFF || !unicodeEscapeAt(rest.substr(kUnicodeEscapeLength), low) ||
        low < 0xDC00 || low > 0xDFFF) {
        return 0;
    }
    value = 0x10000 + ((value - 0xD800) << 10) + (low - 0xDC00);
    return 2 * kUnicodeEscapeLength;
}

// An iconv descriptor from one code page to wide characters.
class Converter {
public:
    Converter() = default;
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (isOpen()) {
            iconv_close(m_cd);
        }
    }

    // Opens the descriptor for the code page iconv calls name, unless one is open; false when
    // iconv cannot convert from it.
    bool open(const char* name) {
        if (!isOpen()) {
            m_cd = iconv_open("WCHAR_T", name);
        }
        return isOpen();
    }

    // Appends the characters of bytes to out; false when some bytes did not decode (each became
    // U+FFFD) or the descriptor is not open (every byte did).
    bool append(std::string_view bytes, std::wstring& out) {
        if (!isOpen()) {
            out.append(bytes.size(), kReplacement);
            return bytes.empty();
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(bytes.data());  // iconv does not write through it
        std::size_t inLeft = bytes.size();
        std::size_t used = out.size();
        out.resize(used + bytes.size() + 1);  // a code page gives at most one character a byte
        bool exact = true;
        for (;;) {
            auto* next = reinterpret_cast<char*>(out.data() + used);
            std::size_t room = (out.size() - used) * sizeof(wchar_t);
            const bool flushing = inLeft == 0;
            const std::size_t result = flushing ? iconv(m_cd, nullptr, nullptr, &next, &room)
                                                : iconv(m_cd, &in, &inLeft, &next, &room);
            used = static_cast<std::size_t>(reinterpret_cast<wchar_t*>(next) - out.data());
            if (result != static_cast<std::size_t>(-1)) {
                if (flushing) {
                    break;
                }
                continue;
            }
            if (errno == E2BIG || used == out.size()) {
                out.resize(2 * out.size());
                continue;
            }
            if (flushing) {
                break;
            }
            out[used++] = kReplacement;  // EILSEQ or EINVAL: one byte that does not decode
            ++in;
            --inLeft;
            exact = false;
        }
        out.resize(used);
        return exact;
    }

private:
    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};

}  // namespace

struct DxfTextDecoder::Converters {
    Converter file;
    std::array<Converter, kEscapeCodePages.size()> escapes;
};

DxfTextDecoder::DxfTextDecoder(std::string_view release, std::string_view codePage)
    : m_converters(std::make_unique<Converters>()) {
    if (releaseNumber(release) >= kFirstUtf8Release) {
        m_utf8 = true;
        return;
    }
    std::string name = iconvName(codePage);
    m_utf8 = name == kUtf8;
    if (m_utf8) {
        return;
    }
    m_codePageKnown = !name.empty() && m_converters->file.open(name.c_str());
    if (!m_codePageKnown) {
        name = kDefaultCodePage;
        m_converters->file.open(kDefaultCodePage);
    }
    m_detectUtf8 = !isDoubleByte(name);
}

DxfTextDecoder::~DxfTextDecoder() = default;

bool DxfTextDecoder::decode(std::string_view bytes, std::wstring& out) {
    // Widened while the kinds of bytes are gathered: most texts are ASCII and need no more.
    out.resize(bytes.size());
    unsigned char kinds = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        kinds |= kByteKinds[byte];
        out[i] = static_cast<wchar_t>(byte);
    }
    bool exact = true;
    if ((kinds & kNonAscii) != 0) {
        exact = decodeNonAscii(bytes, out);
    }
    if ((kinds & kEscapeStart) != 0) {
        exact = unescape(out) && exact;
    }
    return exact;
}

bool DxfTextDecoder::decodeNonAscii(std::string_view bytes, std::wstring& out) {
    if (m_utf8 || m_detectUtf8) {
        const bool valid = isValidUtf8(bytes);
        if (valid || m_utf8) {
            out = utf8ToWide(bytes);
            return valid;
        }
    }
    out.clear();
    return m_converters->file.append(bytes, out);
}

std::size_t DxfTextDecoder::multiByteEscape(std::wstring_view rest, std::wstring& chars,
                                            bool& exact) {
    char32_t pair = 0;
    if (rest.size() < kMultiByteEscapeLength || !rest.starts_with(kMultiByteEscape) ||
        rest[3] < L'1' || rest[3] > L'5' || !hexValue(rest.substr(4, 4), pair)) {
        return 0;
    }
    Converter& converter = m_converters->escapes[static_cast<std::size_t>(rest[3] - L'1')];
    converter.open(kEscapeCodePages[static_cast<std::size_t>(rest[3] - L'1')]);
    const char bytes[2] = {static_cast<char>(pair >> 8), static_cast<char>(pair & 0xFF)};
    chars.clear();
    exact = converter.append(std::string_view(bytes, 2), chars) && exact;
    return kMultiByteEscapeLength;
}

bool DxfTextDecoder::unescape(std::wstring& text) {
    bool exact = true;
    std::wstring chars;
    std::size_t write = 0;
    std::size_t read = 0;
    // Each escape is longer than what replaces it, so the text is rewritten in place.
    while (read < text.size()) {
        const std::wstring_view rest = std::wstring_view(text).substr(read);
        char32_t value = 0;
        std::size_t length = 0;
        if (rest[0] == L'^' && rest.size() > 1 && rest[1] >= L'@' && rest[1] <= L'_') {
            text[write++] = static_cast<wchar_t>(rest[1] - L'@');
            read += 2;
        } else if (rest[0] == L'\\' && (length = unicodeEscape(rest, value)) != 0) {
            text[write++] = static_cast<wchar_t>(value);
            read += length;
        } else if (rest[0] == L'\\' && (length = multiByteEscape(rest, chars, exact)) != 0) {
            for (const wchar_t c : chars) {
                text[write++] = c;
            }
            read += length;
        } else {
            text[write++] = text[read++];
        }
    }
    text.resize(write);
    return exact;
}

}  // namespace host
