// Reads the whole INI file, decodes it to wide text and parses it into sections of lines; the
// three entry points then copy what they were asked for into the caller's buffer.
#include "kestrel/platform/private_profile.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/platform/utf8.h"
#include "kestrel/platform/wide_runtime.h"

namespace {

// One line of a section: "key=value", or a line without "=" (hasValue false).
struct IniLine {
    std::wstring_view key;
    std::wstring_view value;
    bool hasValue = false;
};

struct IniSection {
    std::wstring_view name;
    std::vector<IniLine> lines;
};

struct IniFile {
    std::wstring text;  // the decoded file; the views below point into it
    std::vector<IniSection> sections;
};

// The file's bytes; empty for a missing file, a folder or a read error. C stdio rather than
// streams: a read error must not throw.
std::string readBytes(LPCWSTR fileName) {
    const std::filesystem::path path(wideToUtf8(fileName));
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return {};
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    std::string bytes;
    char chunk[65536];
    std::size_t read = 0;
    while (file != nullptr && (read = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.append(chunk, read);
    }
    return file != nullptr && std::ferror(file.get()) == 0 ? bytes : std::string();
}

// UTF-16 code units to code points; an unpaired surrogate becomes U+FFFD, an odd last byte is
// dropped.
std::wstring decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::wstring text;
    text.reserve(bytes.size() / 2);
    auto unitAt = [&](std::size_t i) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const unsigned unit = unitAt(i);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const unsigned low = unitAt(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                text.push_back(
                    static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        const bool surrogate = unit >= 0xD800 && unit < 0xE000;
        text.push_back(surrogate ? L'\uFFFD' : static_cast<wchar_t>(unit));
    }
    return text;
}

std::wstring decode(const std::string& bytes) {
    std::wstring text;
    if (bytes.starts_with("\xFF\xFE")) {
        text = decodeUtf16(std::string_view(bytes).substr(2), false);
    } else if (bytes.starts_with("\xFE\xFF")) {
        text = decodeUtf16(std::string_view(bytes).substr(2), true);
    } else {
        text =
            utf8ToWide(std::string_view(bytes).substr(bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0));
    }
    std::erase(text, L'\0');
    return text;
}

std::wstring_view trim(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

void parseLine(std::wstring_view line, std::vector<IniSection>& sections) {
    line = trim(line);
    if (line.empty() || line.front() == L';') {
        return;
    }
    if (line.front() == L'[') {
        const std::size_t close = line.find(L']');
        sections.push_back({trim(line.substr(1, close == line.npos ? line.npos : close - 1)), {}});
        return;
    }
    if (sections.empty()) {
        return;
    }
    const std::size_t equals = line.find(L'=');
    if (equals == line.npos) {
        sections.back().lines.push_back({line, {}, false});
    } else {
        sections.back().lines.push_back(
            {trim(line.substr(0, equals)), trim(line.substr(equals + 1)), true});
    }
}

IniFile readIni(LPCWSTR fileName) {
    IniFile file;
    if (fileName == nullptr) {
        return file;
    }
    file.text = decode(readBytes(fileName));
    std::wstring_view rest = file.text;
    while (!rest.empty()) {
        const std::size_t end = rest.find_first_of(L"\r\n");
        parseLine(rest.substr(0, end), file.sections);
        if (end == rest.npos) {
            break;
        }
        const std::size_t next = rest.compare(end, 2, L"\r\n") == 0 ? end + 2 : end + 1;
        rest.remove_prefix(next);
    }
    return file;
}

bool sameName(std::wstring_view name, LPCWSTR wanted) {
    return _wcsicmp(std::wstring(name).c_str(), wanted) == 0;
}

const IniSection* findSection(const IniFile& file, LPCWSTR name) {
    const auto found = std::find_if(file.sections.begin(), file.sections.end(),
                                    [&](const IniSection& s) { return sameName(s.name, name); });
    return found == file.sections.end() ? nullptr : &*found;
}

// Copies text cut to size - 1 characters and a terminator; the characters copied.
DWORD copyValue(std::wstring_view text, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::copy_n(text.data(), length, buffer);
    buffer[length] = L'\0';
    return static_cast<DWORD>(length);
}

// Copies the items, each terminated, and one more terminator; cut to end in two terminators
// when the buffer is too small. The characters written before the last terminator.
DWORD copyList(const std::vector<std::wstring>& items, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    if (size < 2) {
        buffer[0] = L'\0';
        return 0;
    }
    std::size_t at = 0;
    for (const std::wstring& item : items) {
        if (at + item.size() + 2 > size) {
            const std::size_t room = at < size - 2 ? size - 2 - at : 0;
            std::copy_n(item.data(), room, buffer + at);
            buffer[size - 2] = L'\0';
            buffer[size - 1] = L'\0';
            return size - 2;
        }
        std::copy(item.begin(), item.end(), buffer + at);
        at += item.size();
        buffer[at++] = L'\0';
    }
    buffer[at] = L'\0';
    return static_cast<DWORD>(at);
}

std::wstring_view unquoted(std::wstring_view value) {
    const bool quoted = value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
                        value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

std::vector<std::wstring> sectionNames(const IniFile& file) {
    std::vector<std::wstring> names;
    for (const IniSection& section : file.sections) {
        names.emplace_back(section.name);
    }
    return names;
}

// The lines of section; none for a missing one.
const std::vector<IniLine>& linesOf(const IniSection* section) {
    static const std::vector<IniLine> kNone;
    return section != nullptr ? section->lines : kNone;
}

std::vector<std::wstring> keyNames(const IniSection* section) {
    std::vector<std::wstring> keys;
    for (const IniLine& line : linesOf(section)) {
        keys.emplace_back(line.key);
    }
    return keys;
}

}  // namespace

DWORD GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                               LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName) {
    const IniFile file = readIni(lpFileName);
    if (lpAppName == nullptr) {
        return copyList(sectionNames(file), lpReturnedString, nSize);
    }
    const IniSection* section = findSection(file, lpAppName);
    if (lpKeyName == nullptr) {
        return copyList(keyNames(section), lpReturnedString, nSize);
    }
    for (const IniLine& line : linesOf(section)) {
        if (sameName(line.key, lpKeyName)) {
            return copyValue(unquoted(line.value), lpReturnedString, nSize);
        }
    }
    std::wstring_view fallback = lpDefault != nullptr ? lpDefault : L"";
    while (!fallback.empty() && (fallback.back() == L' ' || fallback.back() == L'\t')) {
        fallback.remove_suffix(1);
    }
    return copyValue(fallback, lpReturnedString, nSize);
}

DWORD GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize, LPCWSTR lpFileName) {
    return copyList(sectionNames(readIni(lpFileName)), lpszReturnBuffer, nSize);
}

DWORD GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString, DWORD nSize,
                                LPCWSTR lpFileName) {
    const IniFile file = readIni(lpFileName);
    const IniSection* section = lpAppName != nullptr ? findSection(file, lpAppName) : nullptr;
    std::vector<std::wstring> lines;
    for (const IniLine& line : linesOf(section)) {
        std::wstring text(line.key);
        if (line.hasValue) {
            text.append(L"=").append(line.value);
        }
        lines.push_back(std::move(text));
    }
    return copyList(lines, lpReturnedString, nSize);
}
