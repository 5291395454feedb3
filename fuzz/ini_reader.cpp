// Fuzz target of the INI reader: any bytes as an INI file, read through all three private-profile
// functions with buffer sizes chosen by the input. Every answer must stay inside its buffer and
// end as the functions promise: a value with one terminator, a list with two.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kestrel/platform/private_profile.h"
#include "kestrel/platform/utf8.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

// A list answer: the count fits, and the list ends in two terminators when there is one.
void checkList(const std::vector<wchar_t>& buffer, DWORD count) {
    check(count + 1 <= buffer.size() || count == 0, "list count beyond the buffer");
    check(buffer.empty() || buffer[count] == L'\0', "list without its last terminator");
}

// The entries of a list answer.
std::vector<std::wstring> entries(const std::vector<wchar_t>& buffer, DWORD count) {
    std::vector<std::wstring> list;
    for (DWORD at = 0; at < count;) {
        list.emplace_back(buffer.data() + at);
        at += static_cast<DWORD>(list.back().size()) + 1;
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const DWORD small = data[0] % 16;
    const std::string path = "/tmp/kestrel_fuzz_ini_" + std::to_string(getpid()) + ".ini";
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, file);
        std::fclose(file);
    }
    const std::wstring name = utf8ToWide(path);

    for (DWORD length : {small, DWORD{4096}}) {
        std::vector<wchar_t> buffer(length, L'?');
        const DWORD count = GetPrivateProfileSectionNamesW(buffer.data(), length, name.c_str());
        checkList(buffer, count);
        for (const std::wstring& section : entries(buffer, count)) {
            std::vector<wchar_t> lines(length, L'?');
            const DWORD lineCount =
                GetPrivateProfileSectionW(section.c_str(), lines.data(), length, name.c_str());
            checkList(lines, lineCount);
            for (std::wstring key : entries(lines, lineCount)) {
                key = key.substr(0, key.find(L'='));
                std::vector<wchar_t> value(length, L'?');
                const DWORD valueLength = GetPrivateProfileStringW(
                    section.c_str(), key.c_str(), L"", value.data(), length, name.c_str());
                check(length == 0 || (valueLength < length && value[valueLength] == L'\0'),
                      "value without its terminator");
            }
        }
    }
    std::remove(path.c_str());
    return 0;
}
