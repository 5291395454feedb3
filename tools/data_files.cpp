// The shipped data files, looked up in the source tree first and then relative to the program's
// own executable (/proc/self/exe), so an installed copy works wherever it was installed.
#include "tools/data_files.h"

#include <vector>

std::filesystem::path shippedDataFile(const char* name) {
    namespace fs = std::filesystem;
    std::vector<fs::path> folders = {fs::path(KESTREL_SOURCE_DATA_DIR)};
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        folders.push_back(program.parent_path() / ".." / "share" / "kestrel");
    }
    for (const fs::path& folder : folders) {
        const fs::path candidate = folder / name;
        if (fs::is_regular_file(candidate, error)) {
            return candidate.lexically_normal();
        }
    }
    return {};
}
