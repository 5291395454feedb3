// printf-style formatting into wide text with the MFC meaning of the conversions, used by
// CString::Format. The caller keeps the arguments matching the format, as with printf.
#pragma once

#include <cstdarg>
#include <string>

#include "kestrel/export.h"

// Widths and precisions above this many units are taken as this many.
inline constexpr int kMaxFormatField = 1000000;

// Appends `format` with its conversions filled from `args` to `out` (a null format appends
// nothing). %s/%c are wide, %hs/%S/%hc/%C narrow UTF-8, %ls/%lc wide; numbers use the C locale;
// a null string argument prints "(null)"; %n consumes its pointer and writes nothing; an unknown
// conversion is copied as written. `args` itself is not advanced.
DRAWHOST_API void appendFormatted(std::wstring& out, const wchar_t* format, va_list args);
