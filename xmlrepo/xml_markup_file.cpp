// CXMLMarkupDoc file input and output: whole files read and written as UTF-8 in raw byte mode.
// Saving writes a temporary file beside the target and renames it over the target once every byte
// is on disk, so a failed save leaves the old file as it was and no temporary behind. Failures
// report the system's message for the error number in the error text.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/utf8.h"
#include "xmlrepo/xml_markup_doc.h"

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

// Writes all of `bytes` to `fd`; 0 or the error number.
int writeAll(int fd, const std::string& bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// Creates a new file beside `target` under a name no one else uses; the descriptor, or -1 with
// errno set.
int createTemporary(const std::string& target, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = target + ".~" + std::to_string(::getpid()) + "." + std::to_string(counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The file a save replaces: the target itself, or the file an existing symbolic link names.
// Fills `existing` when that file exists; 0 or the error number (a folder or any other file that
// is not a regular one is refused).
int resolveTarget(const std::string& path, std::string& target, struct stat& existing,
                  bool& exists) {
    target = path;
    exists = ::stat(path.c_str(), &existing) == 0;
    if (!exists) {
        return 0;
    }
    if (S_ISDIR(existing.st_mode)) {
        return EISDIR;
    }
    if (!S_ISREG(existing.st_mode)) {
        return EINVAL;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return errno;
    }
    target = resolved;
    return 0;
}

// Replaces the file at `path` by `bytes` through a temporary file, keeping the permissions of
// a file that exists (and its owner and group where the process may set them); 0 or the error
// number.
int replaceFile(const wchar_t* path, const std::string& bytes) {
    std::string target;
    struct stat existing {};
    bool exists = false;
    if (const int error = resolveTarget(wideToUtf8(path), target, existing, exists); error != 0) {
        return error;
    }
    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0) {
        return errno;
    }
    int error = writeAll(fd, bytes);
    // Only a privileged process may give the file away (EPERM otherwise): it then stays the
    // saver's, with the old permissions.
    if (error == 0 && exists && ::fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
        errno != EPERM) {
        error = errno;
    }
    if (error == 0 && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
    }
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
    if (const int error = replaceFile(path, bytes); error != 0) {
        m_error = systemMessage(error);
        return false;
    }
    m_error = CString(std::to_wstring(length()) + L" wide chars to " +
                      std::to_wstring(bytes.size()) + L" bytes");
    return true;
}
