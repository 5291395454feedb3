// Replacing a file's contents safely: the bytes go to a temporary file beside the target, which is
// renamed over the target only once every byte is written, so a failed save leaves the former file
// as it was and no temporary behind.
#pragma once

#include <string>
#include <string_view>

// Durability after the rename: kSynced flushes the new file to disk first (fsync); kWritten
// leaves that to the system, which protects against failures of the process and of the writes
// but not against a power loss.
enum class FileDurability { kWritten, kSynced };

// Replaces the file at path (UTF-8) by bytes; 0 or the error number. An existing file keeps its
// permissions (and its owner and group where the process may set them); a symbolic link is
// followed and kept, the file it names gets the bytes. A folder as target is refused with
// EISDIR, any other file that is not a regular one with EINVAL.
int replaceFileContents(const std::string& path, std::string_view bytes, FileDurability durability);
