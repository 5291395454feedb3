// Folding and validation of record names and dictionary keys.

#include "kestrel/host/db/symbol_name.h"

#include <locale.h>
#include <wctype.h>
#include <cstdint>

namespace {

constexpr std::wstring_view kForbiddenSymbolCharacters = L"<>/\\\":;?*|,=`";

// The C.UTF-8 character classes give the full simple case mapping; plain "C" (ASCII only) is the
// fallback where that locale is missing.
locale_t foldLocale() {
    static const locale_t locale = [] {
        locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
        return utf8 != locale_t{} ? utf8 : newlocale(LC_CTYPE_MASK, "C", locale_t{});
    }();
    return locale;
}

bool isControl(wchar_t ch) {
    return ch < 0x20 || ch == 0x7F;
}

}  // namespace

Acad::ErrorStatus validateSymbolName(const wchar_t* name, bool allowStarPrefix) {
    if (name == nullptr) {
        return Acad::eNullPtr;
    }
    const std::wstring_view text(name);
    if (text.empty() || text.size() > kMaxSymbolNameLength || text.front() == L' ' ||
        text.back() == L' ') {
        return Acad::eInvalidSymbolTableName;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t ch = text[i];
        const bool allowedStar = ch == L'*' && i == 0 && allowStarPrefix;
        if (isControl(ch) ||
            (!allowedStar && kForbiddenSymbolCharacters.find(ch) != std::wstring_view::npos)) {
            return Acad::eInvalidSymbolTableName;
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus validateDictionaryKey(const wchar_t* key) {
    if (key == nullptr) {
        return Acad::eNullPtr;
    }
    const std::wstring_view text(key);
    if (text.empty()) {
        return Acad::eInvalidKey;
    }
    for (const wchar_t ch : text) {
        if (isControl(ch)) {
            return Acad::eInvalidKey;
        }
    }
    return Acad::eOk;
}

std::string packedFoldedName(std::wstring_view name) {
    const locale_t locale = foldLocale();
    std::string key;
    key.reserve(name.size());
    for (const wchar_t ch : name) {
        auto value = static_cast<std::uint32_t>(towlower_l(static_cast<wint_t>(ch), locale));
        while (value >= 0x80) {
            key.push_back(static_cast<char>((value & 0x7F) | 0x80));
            value >>= 7;
        }
        key.push_back(static_cast<char>(value));
    }
    return key;
}

std::wstring foldName(std::wstring_view name) {
    const locale_t locale = foldLocale();
    std::wstring key(name);
    for (wchar_t& ch : key) {
        ch = static_cast<wchar_t>(towlower_l(static_cast<wint_t>(ch), locale));
    }
    return key;
}
