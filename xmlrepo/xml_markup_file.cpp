// CXMLMarkupDoc file input and output: whole files read and written as UTF-8 in raw byte mode.
// Saving writes a temporary file beside the target and renames it over the target once every byte
// is on disk, so a failed save leaves the old file as it was and no temporary behind. Failures
// report the system's message for the error number in the error text.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "kestrel/platform/file_replace.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_markup_doc.h"

namespace {

CString systemMessage(int error) {
    return CString(std::strerror(error));
}

// Reads the whole file into `bytes`; returns 0 or the error number.
int readFile(const wchar_t* path, std::string& bytes) {
    std::FILE* file = std::fopen(wideToUtf8(path).c_str(), "rb");
    if (file == nullptr) {
        return errno;
    }
    char buffer[1 << 16];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
    }
    const int error = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    return error;
}

}  // namespace

bool CXMLMarkupDoc::LoadFile(const wchar_t* path) {
    if (path == nullptr) {
        m_error = systemMessage(EINVAL);
        return false;
    }
    std::string bytes;
    errno = 0;
    if (const int error = readFile(path, bytes); error != 0) {
        m_error = systemMessage(error);
        return false;
    }
    std::wstring wide = utf8ToWide(bytes);
    m_error = CString(std::to_wstring(bytes.size()) + L" bytes to " + std::to_wstring(wide.size()) +
                      L" wide chars");
    m_document = CString(std::move(wide));
    return parse();
}

bool CXMLMarkupDoc::SaveFile(const wchar_t* path) {
    if (path == nullptr) {
        m_error = systemMessage(EINVAL);
        return false;
    }
    const std::string bytes = wideToUtf8(m_document.str());
    if (const int error = replaceFileContents(wideToUtf8(path), bytes, FileDurability::kSynced);
        error != 0) {
        m_error = systemMessage(error);
        return false;
    }
    m_error = CString(std::to_wstring(length()) + L" wide chars to " +
                      std::to_wstring(bytes.size()) + L" bytes");
    return true;
}
