// A folder of the running test's own under the system's temporary folder: made empty when the
// object is made, removed with it unless the test failed (to look at what the test wrote). The
// process id in its name keeps test programs that run at once apart.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kestrel/platform/utf8.h"

namespace testsupport {

class TestFolder {
public:
    TestFolder()
        : m_folder(std::filesystem::temp_directory_path() /
                   ("kestrel_" + std::to_string(getpid()) + "_" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    ~TestFolder() {
        if (!::testing::Test::HasFailure()) {
            // A test may have taken the owner's rights away to make writes fail.
            std::error_code ignored;
            std::filesystem::permissions(m_folder, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(m_folder, ignored);
        }
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& folder() const { return m_folder; }
    std::filesystem::path path(const std::string& name) const { return m_folder / name; }
    // The path of name as the host's calls take it.
    std::wstring widePath(const std::string& name) const {
        return utf8ToWide(path(name).string());
    }
    // Writes bytes to name in the folder; its path as the host's calls take it.
    std::wstring write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return widePath(name);
    }

private:
    std::filesystem::path m_folder;
};

}  // namespace testsupport
