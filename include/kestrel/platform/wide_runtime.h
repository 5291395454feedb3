// The wide-character C runtime helpers that the module calls by their Windows names, with the
// Windows results on a platform where long is 64 bits. None of them touches errno.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kestrel/export.h"

// Integer parsing reads optional iswspace blanks, an optional sign and ASCII digits as far as
// they go; no digits or a null pointer give 0. Out-of-range values saturate to the type's limits.
DRAWHOST_API int _wtoi(const wchar_t* text);
// Saturates to the 32-bit range, as a Windows long is 32 bits; the result type stays long.
DRAWHOST_API long _wtol(const wchar_t* text);
DRAWHOST_API std::int64_t _wtoi64(const wchar_t* text);

// Reads blanks, an optional sign, digits with an optional '.' and fraction, and an exponent
// (e or E, optional sign, digits) when digits follow it; no digits or null give 0. The decimal
// point is always '.'. Hexadecimal, "inf" and "nan" are not numbers here (they give 0).
// Overflow gives plus or minus infinity, underflow 0.
DRAWHOST_API double _wtof(const wchar_t* text);

// Compare after towlower of each unit; <0, 0 or >0. A null pointer compares as the empty string.
DRAWHOST_API int _wcsicmp(const wchar_t* left, const wchar_t* right);
// As _wcsicmp over at most `count` units.
DRAWHOST_API int _wcsnicmp(const wchar_t* left, const wchar_t* right, std::size_t count);
