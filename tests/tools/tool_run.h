// Running the built kestrel program from the tests: it lands beside the test program, and runs
// in a scratch folder of the test's own with its standard streams captured in files.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/test_folder.h"

namespace tooltest {

namespace fs = std::filesystem;

// The exit status and the two output streams of one run.
struct Outcome {
    int status;
    std::string out;
    std::string err;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// Gives each test an empty folder of its own, removed after a test that passed.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(program())) << program() << " is missing: build kestrel_tool";
    }

    fs::path path(const std::string& name) const { return m_files.path(name); }

    // Runs the given shell command line in the test's folder; stdin from input when not empty.
    Outcome shell(const std::string& command, const std::string& input = "") const {
        std::ofstream(path("stdin.txt"), std::ios::binary) << input;
        const std::string line = "cd " + quoted(m_files.folder().string()) + " && " + command +
                                 " < stdin.txt > stdout.txt 2> stderr.txt";
        const int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(path("stdout.txt")),
                readFile(path("stderr.txt"))};
    }

    // The program under test, beside this test program.
    static fs::path program() {
        return fs::read_symlink("/proc/self/exe").parent_path() / "kestrel";
    }

    // Runs kestrel with args (already quoted where needed).
    Outcome kestrel(const std::string& args, const std::string& input = "") const {
        return shell(quoted(program().string()) + " " + args, input);
    }

    // Runs /usr/bin/python3 -c script with args; status 77 when python3 is not there.
    Outcome python(const std::string& script, const std::string& args) const {
        if (!fs::exists("/usr/bin/python3")) {
            return {77, "", "no /usr/bin/python3"};
        }
        std::ofstream(path("script.py")) << script;
        return shell("/usr/bin/python3 script.py " + args);
    }

    testsupport::TestFolder m_files;
};

}  // namespace tooltest
