// UTF-8 decoding and encoding for wide text. Both directions size the result once and write it
// through a pointer, with a fast path for ASCII runs, since whole XML files go through here.
#include "kestrel/platform/utf8.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes the sequence starting at `pos`; returns the code point (U+FFFD for a bad subpart)
// and advances `pos` past what was consumed (at least one byte).
char32_t decodeOne(const unsigned char* text, std::size_t size, std::size_t& pos) {
    const unsigned char lead = text[pos++];
    int trail;
    char32_t value;
    unsigned char low = 0x80;  // accepted range of the first continuation byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        value = lead & 0x0F;
        if (lead == 0xE0) {
            low = 0xA0;  // shorter forms are overlong
        } else if (lead == 0xED) {
            high = 0x9F;  // D800-DFFF are surrogates
        }
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        value = lead & 0x07;
        if (lead == 0xF0) {
            low = 0x90;
        } else if (lead == 0xF4) {
            high = 0x8F;  // nothing above 0x10FFFF
        }
    } else {
        return kReplacement;
    }
    for (int i = 0; i < trail; ++i) {
        if (pos >= size) {
            return kReplacement;
        }
        const unsigned char byte = text[pos];
        if (i == 0 ? (byte < low || byte > high) : !isContinuation(byte)) {
            return kReplacement;
        }
        value = (value << 6) | (byte & 0x3F);
        ++pos;
    }
    return value;
}

std::size_t encodedSize(char32_t cp) {
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

char* encodeOne(char32_t cp, char* out) {
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The code point that starts at wide[i], and how many units it takes (2 for a surrogate pair).
char32_t codePointAt(std::wstring_view wide, std::size_t i, std::size_t& units) {
    const auto unit = static_cast<std::uint32_t>(wide[i]);
    units = 1;
    if (unit > 0x10FFFF) {
        return kReplacement;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < wide.size()) {
        const auto next = static_cast<std::uint32_t>(wide[i + 1]);
        if (next >= 0xDC00 && next <= 0xDFFF) {
            units = 2;
            return 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
        }
    }
    return unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit;
}

}  // namespace

std::wstring utf8ToWide(std::string_view utf8) {
    // Every byte yields at most one unit, so the input size bounds the output.
    std::wstring wide(utf8.size(), L'\0');
    const auto* text = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    wchar_t* out = wide.data();
    std::size_t pos = 0;
    while (pos < size) {
        if (text[pos] < 0x80) {
            *out++ = static_cast<wchar_t>(text[pos++]);
        } else {
            *out++ = static_cast<wchar_t>(decodeOne(text, size, pos));
        }
    }
    wide.resize(static_cast<std::size_t>(out - wide.data()));
    return wide;
}

std::string wideToUtf8(std::wstring_view wide) {
    std::size_t total = 0;
    std::size_t units = 1;
    for (std::size_t i = 0; i < wide.size(); i += units) {
        total += encodedSize(codePointAt(wide, i, units));
    }
    std::string utf8(total, '\0');
    char* out = utf8.data();
    for (std::size_t i = 0; i < wide.size(); i += units) {
        out = encodeOne(codePointAt(wide, i, units), out);
    }
    return utf8;
}
