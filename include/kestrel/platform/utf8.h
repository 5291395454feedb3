// Conversion between UTF-8 bytes and wide text (one wchar_t per code point). Never fails:
// what cannot be converted becomes U+FFFD. Each call allocates its result once.
#pragma once

#include <string>
#include <string_view>

#include "kestrel/export.h"

// Decodes UTF-8; each maximal invalid subpart (a bad byte, or the valid start of a sequence cut
// short) becomes one U+FFFD, so overlong forms, encoded surrogates and values over 0x10FFFF do too.
DRAWHOST_API std::wstring utf8ToWide(std::string_view utf8);

// Encodes wide text; a high surrogate followed by a low one is joined into one code point, any
// other surrogate, negative value or value over 0x10FFFF becomes U+FFFD.
DRAWHOST_API std::string wideToUtf8(std::wstring_view wide);
