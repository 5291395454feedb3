// Replacing a file through a temporary file beside it, written as the bytes come, and a rename.
#include "kestrel/platform/file_replace.h"

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

FileReplacement::~FileReplacement() {
    abandon();
}

int FileReplacement::fail(int error) {
    abandon();
    m_error = error;
    return error;
}

void FileReplacement::abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
        ::unlink(m_temporary.c_str());
    }
}

int FileReplacement::begin(const std::string& path) {
    if (m_error != 0 || m_fd >= 0 || !m_temporary.empty()) {
        return m_error != 0 ? m_error : EINVAL;
    }
    struct stat existing {};
    if (const int error = resolveTarget(path, m_target, existing, m_exists); error != 0) {
        return fail(error);
    }
    m_mode = existing.st_mode & 07777;
    m_owner = existing.st_uid;
    m_group = existing.st_gid;
    m_fd = createTemporary(m_target, m_temporary);
    return m_fd < 0 ? fail(errno) : 0;
}

int FileReplacement::write(std::string_view bytes) {
    if (m_fd < 0) {
        return m_error != 0 ? m_error : EBADF;
    }
    const int error = writeAll(m_fd, bytes);
    return error != 0 ? fail(error) : 0;
}

int FileReplacement::restart() {
    if (m_fd < 0) {
        return m_error != 0 ? m_error : EBADF;
    }
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) {
        return fail(errno);
    }
    return 0;
}

int FileReplacement::commit(FileDurability durability) {
    if (m_fd < 0) {
        return m_error != 0 ? m_error : EBADF;
    }
    // Only a privileged process may give the file away (EPERM otherwise): it then stays the
    // saver's, with the old permissions.
    if (m_exists && ::fchown(m_fd, m_owner, m_group) != 0 && errno != EPERM) {
        return fail(errno);
    }
    if (m_exists && ::fchmod(m_fd, m_mode) != 0) {
        return fail(errno);
    }
    if (durability == FileDurability::kSynced && ::fsync(m_fd) != 0) {
        return fail(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    int error = ::close(fd) != 0 ? errno : 0;
    if (error == 0 && ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(m_temporary.c_str());
        m_error = error;
    }
    return error;
}

int replaceFileContents(const std::string& path, std::string_view bytes,
                        FileDurability durability) {
    FileReplacement file;
    int error = file.begin(path);
    if (error == 0) {
        error = file.write(bytes);
    }
    return error != 0 ? error : file.commit(durability);
}
