// Replacing a file's contents safely: the bytes go to a temporary file beside the target, which is
// renamed over the target only once every byte is written, so a failed save leaves the former file
// as it was and no temporary behind. The bytes may come all at once (replaceFileContents) or a
// piece at a time (FileReplacement), so a large file needs no copy of itself in memory.
#pragma once

#include <string>
#include <string_view>

#include "kestrel/export.h"

// Durability after the rename: kSynced flushes the new file to disk first (fsync); kWritten
// leaves that to the system, which protects against failures of the process and of the writes
// but not against a power loss.
enum class FileDurability { kWritten, kSynced };

// A replacement in progress. An existing target keeps its permissions (and its owner and group
// where the process may set them); a symbolic link is followed and kept, the file it names gets
// the bytes. A folder as target is refused with EISDIR, any other file that is not a regular one
// with EINVAL. Every call answers 0 or an error number; after an error the replacement is
// abandoned (its temporary removed) and later calls answer that error. Destroying a replacement
// that was not committed abandons it. Not copyable.
class DRAWHOST_API FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Creates the temporary file beside the target at path (UTF-8); once per replacement.
    int begin(const std::string& path);
    // Appends bytes to the temporary file.
    int write(std::string_view bytes);
    // Drops every byte written so far, to write the file again from its start.
    int restart();
    // Gives the temporary file the target's permissions and renames it over the target.
    int commit(FileDurability durability);
    // Removes the temporary file; the target stays as it was.
    void abandon();

private:
    int fail(int error);

    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
    int m_error = 0;
    bool m_exists = false;
    unsigned m_mode = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
};

// Replaces the file at path (UTF-8) by bytes as FileReplacement does; 0 or the error number.
DRAWHOST_API int replaceFileContents(const std::string& path, std::string_view bytes,
                                     FileDurability durability);
