// The Windows private-profile functions over INI files on disk: one value, the section names of
// a file, and the lines of a section. Files are read afresh on every call, nothing is cached.
#pragma once

#include "kestrel/export.h"
#include "kestrel/platform/win_types.h"

// The file is read as UTF-16 when it starts with a UTF-16 byte-order mark (either byte order),
// otherwise as UTF-8 (a UTF-8 byte-order mark is skipped; invalid bytes become U+FFFD). A
// relative file name is taken from the working directory. A missing or unreadable file reads as
// an empty one.
//
// The Windows rules, with these decisions where Windows leaves them open:
// - Lines end with CR LF, LF or CR. Blanks (space, tab) around section names, keys and values
//   are trimmed. A line starting with ";" is a comment, ignored by every function. NUL
//   characters in the file are dropped.
// - "[name]" starts a section; a missing "]" takes the rest of the line as the name, and text
//   after "]" is ignored. Lines before the first section belong to none and are never found.
// - Section and key names compare without regard to case (as _wcsicmp). When a name occurs
//   twice, the first occurrence counts for look-ups; the lists show every occurrence.
// - A line without "=" is a key without value: it is found, its value is empty.
// - GetPrivateProfileStringW drops one pair of matching quotes (" or ') around a value;
//   GetPrivateProfileSectionW returns lines as "key=value" with key and value trimmed, quotes
//   kept, and a line without "=" as itself.
// - Results longer than the buffer are cut: a value to nSize - 1 characters plus terminator
//   (returning nSize - 1), a list so that it ends with two terminators (returning nSize - 2).
//   nSize 0 writes nothing and returns 0; a list in a buffer of fewer than 2 characters is
//   written as empty (a terminator when nSize is 1) and returns 0.

// The value of lpKeyName in section lpAppName, else lpDefault (null reads as empty) with its
// trailing blanks removed; the characters written before the terminator. A null lpAppName lists
// the section names and a null lpKeyName the section's keys, as the list functions do.
DRAWHOST_API DWORD GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                            LPWSTR lpReturnedString, DWORD nSize,
                                            LPCWSTR lpFileName);

// The section names of the file in file order, each terminated, the list ended by one more
// terminator; the characters written before that last terminator (0 when there is none).
DRAWHOST_API DWORD GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize,
                                                  LPCWSTR lpFileName);

// The lines of the first section lpAppName (comments left out), as a list like the section
// names; 0 for a missing section or file.
DRAWHOST_API DWORD GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString,
                                             DWORD nSize, LPCWSTR lpFileName);
