// Replacing a file through a temporary file beside it and a rename.
#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {

// Writes all of `bytes` to `fd`; 0 or the error number.
int writeAll(int fd, std::string_view bytes) {
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

}  // namespace

int replaceFileContents(const std::string& path, std::string_view bytes,
                        FileDurability durability) {
    std::string target;
    struct stat existing {};
    bool exists = false;
    if (const int error = resolveTarget(path, target, existing, exists); error != 0) {
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
    if (error == 0 && durability == FileDurability::kSynced && ::fsync(fd) != 0) {
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
