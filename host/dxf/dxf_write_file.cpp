// AcDbDatabase::saveAs: writes the drawing's DXF text to a temporary file beside the target and
// renames it over the target only once every byte is written, so a failed save leaves a former
// file as it was and no temporary behind. Durability against power loss is left to the system
// (no fsync): the rename protects against failures of this process and of the writes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "host/db/database.h"
#include "host/dxf/dxf_writer.h"
#include "host/dxf/file_message.h"
#include "platform/utf8.h"

namespace {

Acad::ErrorStatus failWith(Acad::ErrorStatus status, const std::wstring& message) {
    host::setLastDrawingFileMessage(message);
    return status;
}

std::wstring systemError(int error) {
    return utf8ToWide(std::strerror(error));
}

// Creates a new file beside path with a name no one else uses; -1 with errno on failure.
int createTemporary(const std::string& path, std::string& temporary) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        temporary = path + ".~" + std::to_string(getpid()) + "." + std::to_string(counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Writes all of text to fd; 0 or the errno of the failure.
int writeAll(int fd, const std::string& text) {
    const char* next = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : ENOSPC;
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

// Puts text into path through a temporary file; a status and the message on failure.
Acad::ErrorStatus replaceFile(const std::wstring& name, const std::string& text) {
    const std::string path = wideToUtf8(name);
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return failWith(Acad::eFileAccessError, name + L": not a file");
    }
    std::string temporary;
    const int fd = createTemporary(path, temporary);
    if (fd < 0) {
        return failWith(Acad::eFileAccessError,
                        name + L": cannot create a file there: " + systemError(errno));
    }
    int error = writeAll(fd, text);
    if (error == 0 && exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return failWith(Acad::eFileAccessError,
                        name + L": cannot be written: " + systemError(error));
    }
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::saveAs(const ACHAR* fileName) {
    if (fileName == nullptr || *fileName == L'\0') {
        return failWith(Acad::eInvalidInput, L"no file name to save to");
    }
    const std::wstring name(fileName);
    std::string text;
    const host::dxf::WriteResult result = host::dxf::writeDrawing(this, text);
    if (result.status != Acad::eOk) {
        return failWith(result.status, name + L": not saved: " + result.message);
    }
    const Acad::ErrorStatus status = replaceFile(name, text);
    if (status == Acad::eOk) {
        host::setLastDrawingFileMessage(std::wstring());
    }
    return status;
}
