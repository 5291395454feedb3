// Settings of client modules in INI files: one value looked up with the application's name as
// file, section and key prefix, and the section and key lists of a file. Read through the
// platform's private-profile functions (platform/private_profile.h says how files are read).
#pragma once

#include "kestrel/export.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/cstring_array.h"

// Reads key "<appName>_<key>" of section "<appName>_<section>" from "<appName>.ini", found
// through the host's file search (acedFindFile). True when the value is not empty. A file found
// nowhere answers false with value untouched; a missing section or key sets value empty.
// Values are cut to 10,239 characters.
KESTREL_API bool VLKCacad_IniRead(const wchar_t* appName, const wchar_t* section,
                                  const wchar_t* key, CString& value);

// The section names of fileName (taken as given, no search), in file order; their number. When
// there are none (or no such file) answers 0 and leaves names as it was; otherwise names holds
// exactly the list.
KESTREL_API int VLKCacad_IniApplicationNames(const wchar_t* fileName, CStringArray& names);

// The key names of section in fileName (taken as given), in file order; their number. A missing
// section or file answers 0 and leaves keys as it was.
KESTREL_API int VLKCacad_IniKeyNames(const wchar_t* fileName, const wchar_t* section,
                                     CStringArray& keys);
