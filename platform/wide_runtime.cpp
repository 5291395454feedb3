// Windows-named wide runtime helpers: number parsing that saturates instead of setting errno,
// and case-ignoring comparison that accepts null pointers.
#include "kestrel/platform/wide_runtime.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwctype>
#include <limits>
#include <string>

#include "platform/c_locale.h"

namespace {

bool isDigit(wchar_t ch) {
    return ch >= L'0' && ch <= L'9';
}

const wchar_t* skipBlanks(const wchar_t* p) {
    while (*p && std::iswspace(static_cast<wint_t>(*p))) {
        ++p;
    }
    return p;
}

// Parses the leading integer of `text` and saturates it to [low, high].
long long parseInteger(const wchar_t* text, long long low, long long high) {
    if (!text) {
        return 0;
    }
    const wchar_t* p = skipBlanks(text);
    const bool negative = *p == L'-';
    if (*p == L'-' || *p == L'+') {
        ++p;
    }
    // Magnitudes are kept in unsigned form, capped one past the largest of either sign.
    const unsigned long long lowMagnitude = static_cast<unsigned long long>(-(low + 1)) + 1;
    const unsigned long long highMagnitude = static_cast<unsigned long long>(high);
    const unsigned long long cap = (negative ? lowMagnitude : highMagnitude);
    unsigned long long magnitude = 0;
    for (; isDigit(*p) && magnitude <= cap; ++p) {
        magnitude = magnitude * 10 + static_cast<unsigned long long>(*p - L'0');
    }
    if (magnitude >= cap) {
        return negative ? low : high;
    }
    return negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
}

// Appends the digits at `p` to `out`; returns how many there were.
int copyDigits(const wchar_t*& p, std::string& out) {
    int count = 0;
    for (; isDigit(*p); ++p, ++count) {
        out += static_cast<char>(*p);
    }
    return count;
}

int lowerUnit(wchar_t ch) {
    return static_cast<int>(std::towlower(static_cast<wint_t>(ch)));
}

}  // namespace

int _wtoi(const wchar_t* text) {
    return static_cast<int>(parseInteger(text, INT_MIN, INT_MAX));
}

long _wtol(const wchar_t* text) {
    return static_cast<long>(parseInteger(text, INT32_MIN, INT32_MAX));
}

std::int64_t _wtoi64(const wchar_t* text) {
    return parseInteger(text, INT64_MIN, INT64_MAX);
}

double _wtof(const wchar_t* text) {
    if (!text) {
        return 0.0;
    }
    const wchar_t* p = skipBlanks(text);
    std::string number;
    if (*p == L'-' || *p == L'+') {
        number += static_cast<char>(*p++);
    }
    int digits = copyDigits(p, number);
    if (*p == L'.') {
        number += '.';
        ++p;
        digits += copyDigits(p, number);
    }
    if (digits == 0) {
        return 0.0;
    }
    if (*p == L'e' || *p == L'E') {
        const wchar_t* exponent = p + 1;
        if (*exponent == L'-' || *exponent == L'+') {
            ++exponent;
        }
        if (isDigit(*exponent)) {
            number += 'e';
            ++p;
            if (*p == L'-' || *p == L'+') {
                number += static_cast<char>(*p++);
            }
            copyDigits(p, number);
        }
    }
    const int savedErrno = errno;
    const double value = strtod_l(number.c_str(), nullptr, cLocale());
    errno = savedErrno;
    return value;
}

int _wcsicmp(const wchar_t* left, const wchar_t* right) {
    return _wcsnicmp(left, right, std::numeric_limits<std::size_t>::max());
}

int _wcsnicmp(const wchar_t* left, const wchar_t* right, std::size_t count) {
    const wchar_t* a = left ? left : L"";
    const wchar_t* b = right ? right : L"";
    for (std::size_t i = 0; i < count; ++i) {
        const int difference = lowerUnit(a[i]) - lowerUnit(b[i]);
        if (difference != 0 || a[i] == L'\0') {
            return difference;
        }
    }
    return 0;
}
