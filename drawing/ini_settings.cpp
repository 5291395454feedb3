// The INI readers over the private-profile functions, with their fixed 10,240-character buffers.
#include "kestrel/drawing/ini_settings.h"

#include <vector>

#include "kestrel/host/app/find_file.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/platform/private_profile.h"

namespace {

constexpr DWORD kBufferSize = 10240;
constexpr std::size_t kPathSize = 260;

// Appends to list each terminated string of buffer up to count characters, the part before the
// first "=" of each when beforeEquals; the number of entries. An empty buffer leaves list as it
// was and answers 0.
int splitList(const std::vector<wchar_t>& buffer, DWORD count, bool beforeEquals,
              CStringArray& list) {
    if (buffer[0] == L'\0') {
        return 0;
    }
    list.RemoveAll();
    for (DWORD offset = 0; offset < count;) {
        const CString entry(buffer.data() + offset);
        const int equals = beforeEquals ? entry.Find(L'=') : -1;
        list.Add(equals < 0 ? entry : entry.Left(equals));
        offset += static_cast<DWORD>(entry.GetLength()) + 1;
    }
    return list.GetSize();
}

}  // namespace

bool VLKCacad_IniRead(const wchar_t* appName, const wchar_t* section, const wchar_t* key,
                      CString& value) {
    CString fileName;
    fileName.Format(L"%s.ini", appName);
    wchar_t path[kPathSize] = {};
    if (acedFindFile(fileName, path) != RTNORM) {
        return false;
    }
    CString sectionName;
    sectionName.Format(L"%s_%s", appName, section);
    CString keyName;
    keyName.Format(L"%s_%s", appName, key);
    std::vector<wchar_t> buffer(kBufferSize, L'\0');
    const DWORD count =
        GetPrivateProfileStringW(sectionName, keyName, L"", buffer.data(), kBufferSize, path);
    value = buffer.data();
    return count != 0;
}

int VLKCacad_IniApplicationNames(const wchar_t* fileName, CStringArray& names) {
    std::vector<wchar_t> buffer(kBufferSize, L'\0');
    const DWORD count = GetPrivateProfileSectionNamesW(buffer.data(), kBufferSize, fileName);
    return splitList(buffer, count, false, names);
}

int VLKCacad_IniKeyNames(const wchar_t* fileName, const wchar_t* section, CStringArray& keys) {
    std::vector<wchar_t> buffer(kBufferSize, L'\0');
    const DWORD count = GetPrivateProfileSectionW(section, buffer.data(), kBufferSize, fileName);
    return splitList(buffer, count, true, keys);
}
