// The reader's corpus: drawings of every release from R12 to R2018, ASCII and binary, written by
// ezdxf (make_corpus.py, once per run, into a temporary folder), hand-written release-12 files
// (data/) and damaged variants. Each is read with the exact repair report its manifest names,
// saved, and compared by ezdxf with the original (tests/interop/compare_files.py). Skipped when
// ezdxf (run with /usr/bin/python3) is not installed.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/dxf/read_result.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/host_checks.h"

namespace {

namespace fs = std::filesystem;

const fs::path kHere = fs::path(__FILE__).parent_path();

// One file of the corpus and what reading it must give.
struct CorpusFile {
    std::string name;
    std::string release;  // empty when the file names none
    bool binary = false;
    std::vector<std::string> repairs;  // sorted
};

// Test names print the file's name instead of the parameter's bytes.
void PrintTo(const CorpusFile& file, std::ostream* out) {
    *out << file.name;
}

// Runs command with its output sent to log; the exit status and the output.
int run(const std::string& command, const fs::path& log, std::string& output) {
    const int status = std::system((command + " > '" + log.string() + "' 2>&1").c_str());
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    output = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string python(const fs::path& script, const std::vector<fs::path>& args) {
    std::string command = "/usr/bin/python3 '" + script.string() + "'";
    for (const fs::path& arg : args) {
        command += " '" + arg.string() + "'";
    }
    return command;
}

// The folder of this run's corpus, written on first use and removed at exit when every test
// passed; empty when ezdxf is missing or the generator failed (its output in error).
class Corpus {
public:
    static Corpus& instance() {
        static Corpus corpus;
        return corpus;
    }
    ~Corpus() {
        if (!m_folder.empty() && ::testing::UnitTest::GetInstance()->Passed()) {
            fs::remove_all(m_folder);
        }
    }

    const fs::path& folder() const { return m_folder; }
    const std::string& error() const { return m_error; }
    const std::vector<CorpusFile>& files() const { return m_files; }

private:
    Corpus() {
        const fs::path folder =
            fs::temp_directory_path() / ("kestrel_corpus_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        if (std::system("/usr/bin/python3 -c 'import ezdxf' > /dev/null 2>&1") != 0) {
            m_error = "ezdxf is not installed";
        } else if (run(python(kHere / "make_corpus.py", {folder}), folder / "make_corpus.log",
                       m_error) == 0) {
            m_folder = folder;
            m_files = readManifest(folder / "manifest.txt");
            return;
        }
        fs::remove_all(folder);
    }

    // Lines of "name \t release \t ascii|binary \t codes separated by spaces".
    static std::vector<CorpusFile> readManifest(const fs::path& path) {
        std::vector<CorpusFile> files;
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            CorpusFile file;
            std::string release;
            std::string format;
            std::string codes;
            std::getline(fields, file.name, '\t');
            std::getline(fields, release, '\t');
            std::getline(fields, format, '\t');
            std::getline(fields, codes);
            file.release = release == "-" ? "" : release;
            file.binary = format == "binary";
            std::istringstream words(codes);
            for (std::string code; words >> code;) {
                file.repairs.push_back(code);
            }
            std::sort(file.repairs.begin(), file.repairs.end());
            files.push_back(file);
        }
        return files;
    }

    fs::path m_folder;
    std::string m_error;
    std::vector<CorpusFile> m_files;
};

// The corpus's files; a single unnamed one, which the test skips, when there is no corpus.
std::vector<CorpusFile> corpusFiles() {
    const std::vector<CorpusFile>& files = Corpus::instance().files();
    return files.empty() ? std::vector<CorpusFile>{CorpusFile{}} : files;
}

std::vector<std::string> repairNames(const host::DrawingReadResult& result) {
    std::vector<std::string> names;
    for (const host::Repair& repair : result.repairs) {
        names.push_back(wideToUtf8(host::repairCodeName(repair.code)));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string describe(const host::DrawingReadResult& result) {
    std::string text = "reader's report:\n";
    for (const host::Repair& repair : result.repairs) {
        text += "  " + wideToUtf8(host::repairCodeName(repair.code)) + " line " +
                std::to_string(repair.line) + " " + wideToUtf8(repair.kind) + " " +
                wideToUtf8(repair.handle.isNull() ? std::wstring(L"-") : repair.handle.text()) +
                ": " + wideToUtf8(repair.action) + "\n";
    }
    return text;
}

class CorpusTest : public ::testing::TestWithParam<CorpusFile> {
protected:
    void TearDown() override { testsupport::expectHostClean(); }
};

TEST_P(CorpusTest, CorpusFileReadsWithItsRepairsAndPassesThroughUnchanged) {
    const CorpusFile& file = GetParam();
    const Corpus& corpus = Corpus::instance();
    if (file.name.empty()) {
        if (corpus.error() == "ezdxf is not installed") {
            GTEST_SKIP() << corpus.error();
        }
        FAIL() << "make_corpus.py failed:\n" << corpus.error();
    }
    const fs::path original = corpus.folder() / file.name;
    const fs::path saved = corpus.folder() / ("saved_" + file.name);
    {
        AcDbDatabase db(false, true);
        const host::DrawingReadResult result =
            host::readDrawingFile(&db, utf8ToWide(original.string()));
        ASSERT_TRUE(result.ok()) << "line " << result.line << ": "
                                 << wideToUtf8(result.description);
        EXPECT_EQ(wideToUtf8(result.release), file.release);
        EXPECT_EQ(result.binary, file.binary);
        EXPECT_EQ(repairNames(result), file.repairs) << describe(result);
        testsupport::expectSoundDrawing(&db);
        ASSERT_EQ(db.saveAs(utf8ToWide(saved.string()).c_str()), Acad::eOk)
            << wideToUtf8(host::lastDrawingFileMessage());
    }
    std::string output;
    EXPECT_EQ(run(python(kHere.parent_path() / "interop" / "compare_files.py", {original, saved}),
                  corpus.folder() / (file.name + ".log"), output),
              0)
        << output;
}

std::string testName(const ::testing::TestParamInfo<CorpusFile>& info) {
    std::string name = fs::path(info.param.name).stem().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name.empty() ? "NoCorpus" : name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusTest, ::testing::ValuesIn(corpusFiles()), testName);

}  // namespace
