// Shared by the drawing-file benchmarks: the temporary files they write and read, and the floors
// of reading and writing a file: the file mapped into memory and split into lines (or into the
// items of a binary file), each visited and none kept, and the same bytes written from memory.
#pragma once

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "bench/support/dxf_bench_timing.h"

namespace dxfbench {

// A file in the temporary folder named for what it holds and the process, written on
// construction and removed on destruction (keep it as a function's static: removed at exit).
class TempFile {
public:
    // write fills the file at the path it is given and returns false when it cannot; the
    // program then stops.
    TempFile(const std::string& what, const std::function<bool(const std::string&)>& write)
        : m_path(pathFor(what)) {
        if (!write(m_path)) {
            std::fprintf(stderr, "cannot write %s\n", m_path.c_str());
            std::abort();
        }
    }
    ~TempFile() { std::filesystem::remove(m_path); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& path() const { return m_path; }

    // A path in the temporary folder named for what and the process.
    static std::string pathFor(const std::string& what) {
        return (std::filesystem::temp_directory_path() /
                ("kestrel_bench_" + what + "_" + std::to_string(getpid()) + ".dxf"))
            .string();
    }

private:
    std::string m_path;
};

// The bytes of the file at path, read in one call; empty when it cannot be read.
inline std::string fileBytes(const std::string& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    FILE* file = error ? nullptr : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return {};
    }
    std::string bytes(size, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return bytes;
}

// The file at path mapped into memory read-only, as the host's reader maps it; empty when it
// cannot be mapped.
class MappedFile {
public:
    explicit MappedFile(const std::string& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0 && info.st_size > 0) {
            void* data = ::mmap(nullptr, static_cast<std::size_t>(info.st_size), PROT_READ,
                                MAP_PRIVATE, fd, 0);
            if (data != MAP_FAILED) {
                m_text = std::string_view(static_cast<const char*>(data),
                                          static_cast<std::size_t>(info.st_size));
            }
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ~MappedFile() {
        if (!m_text.empty()) {
            ::munmap(const_cast<char*>(m_text.data()), m_text.size());
        }
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    std::string_view text() const { return m_text; }

private:
    std::string_view m_text;
};

// Calls visit with each line of bytes, without its newline.
template <class Visit>
void forEachLine(std::string_view bytes, Visit visit) {
    const char* pos = bytes.data();
    const char* end = pos + bytes.size();
    while (pos < end) {
        const auto* newline = static_cast<const char*>(std::memchr(pos, '\n', end - pos));
        const char* lineEnd = newline != nullptr ? newline : end;
        visit(std::string_view(pos, static_cast<std::size_t>(lineEnd - pos)));
        pos = lineEnd + 1;
    }
}

// A binary file opens with a 22-byte title that ends in CR, LF, SUB and NUL.
constexpr std::size_t kBinaryTitle = 22;

inline bool isBinary(std::string_view bytes) {
    return bytes.size() >= kBinaryTitle &&
           bytes.substr(kBinaryTitle - 4, 4) == std::string_view("\r\n\x1a\0", 4);
}

// Bytes of the value of a group code in a binary file (two-byte codes): a zero-terminated text
// (0), a chunk led by its length byte (-1), or a number of that many bytes.
inline int binaryValueBytes(int code) {
    const auto in = [code](int first, int last) { return code >= first && code <= last; };
    if (in(310, 319) || code == 1004) {
        return -1;
    }
    if (in(10, 59) || in(110, 149) || in(160, 169) || in(210, 239) || in(460, 469) ||
        in(1010, 1059)) {
        return 8;
    }
    if (in(60, 79) || in(170, 179) || in(270, 289) || in(370, 389) || in(400, 409) ||
        in(1060, 1070)) {
        return 2;
    }
    if (in(90, 99) || in(420, 429) || in(440, 459) || code == 1071) {
        return 4;
    }
    return in(290, 299) ? 1 : 0;
}

// Calls visit with the value of each item of a binary file; false when an item runs past the
// end.
template <class Visit>
bool forEachBinaryItem(std::string_view bytes, Visit visit) {
    const char* pos = bytes.data() + kBinaryTitle;
    const char* end = bytes.data() + bytes.size();
    while (end - pos >= 2) {
        const int code = static_cast<unsigned char>(pos[0]) | static_cast<unsigned char>(pos[1])
                                                                  << 8;
        pos += 2;
        const int size = binaryValueBytes(code);
        std::size_t length = static_cast<std::size_t>(size);
        if (size == 0) {
            length = strnlen(pos, static_cast<std::size_t>(end - pos)) + 1;
        } else if (size < 0 && pos < end) {
            length = 1 + static_cast<unsigned char>(*pos);
        }
        if (length > static_cast<std::size_t>(end - pos)) {
            return false;
        }
        visit(std::string_view(pos, length));
        pos += length;
    }
    return pos == end;
}

// The lines of a file, or the items of a binary file: how many, and their bytes.
struct FileParts {
    bool binary = false;
    std::size_t count = 0;
    std::size_t bytes = 0;
};

// The parts of the file at path, visited one by one and not kept; count 0 when the file cannot
// be mapped, is empty, or a binary item runs past its end.
inline FileParts splitFile(const std::string& path) {
    const MappedFile file(path);
    FileParts parts;
    parts.binary = isBinary(file.text());
    const auto visit = [&parts](std::string_view part) {
        ++parts.count;
        parts.bytes += part.size();
    };
    if (!parts.binary) {
        forEachLine(file.text(), visit);
    } else if (!forEachBinaryItem(file.text(), visit)) {
        parts.count = 0;
    }
    return parts;
}

// The load floor: the file mapped and split into lines or items (splitFile).
inline RunResult readAndSplit(const std::string& path) {
    const FileParts parts = splitFile(path);
    if (parts.count == 0) {
        return {nullptr, "the file cannot be mapped, is empty, or a binary item runs past its end"};
    }
    benchmark::DoNotOptimize(parts.bytes);
    return {};
}

// The save floor: bytes written from memory to the file at path.
inline RunResult writeBytes(const std::string& bytes, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return {nullptr, "cannot open " + path};
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        return {nullptr, "cannot write " + path};
    }
    return {};
}

}  // namespace dxfbench
