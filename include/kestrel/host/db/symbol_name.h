// Names of symbol-table records and dictionary entries: the case-folded key they are compared by,
// and the rules a name must follow. Folding is Unicode simple lower case, independent of the
// process locale, so a key computed once stays valid for the life of the process.
#pragma once

#include <string>
#include <string_view>

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

// Rules for symbol-table record names (layers, linetypes, styles, blocks, views, ...):
// - not null (eNullPtr) and not empty (eInvalidSymbolTableName);
// - at most kMaxSymbolNameLength characters (eInvalidSymbolTableName);
// - no control character (below U+0020) and none of < > / \ " : ; ? * | , = `
//   (eInvalidSymbolTableName), except a leading '*' where the table allows it (block records
//   "*Model_Space", "*Paper_Space", anonymous blocks; the viewport configuration "*Active");
// - no leading or trailing space (eInvalidSymbolTableName): such names look alike in every list.
constexpr std::size_t kMaxSymbolNameLength = 255;

// eOk when name is a valid record name, else the status above.
DRAWHOST_API Acad::ErrorStatus validateSymbolName(const wchar_t* name, bool allowStarPrefix);

// Rules for dictionary keys: not null (eNullPtr), not empty and free of control characters
// (eInvalidKey); other characters and any length are accepted.
DRAWHOST_API Acad::ErrorStatus validateDictionaryKey(const wchar_t* key);

// The key two names are compared by: equal keys mean equal names without regard to case.
DRAWHOST_API std::wstring foldName(std::wstring_view name);

// The same key packed into bytes (seven bits per byte, one to five bytes per character), so that
// short names fit inside the string object itself: hash look-ups then touch no other memory.
// Equal packed keys mean equal folded names, and the other way round.
DRAWHOST_API std::string packedFoldedName(std::wstring_view name);
