// Interop: drawings the host saves are read by independent programs. ezdxf (run with
// /usr/bin/python3) must load each without error, audit it without error or fix, and see the
// same entities, layers, blocks, attributes, XData, dictionaries and Xrecords as the host;
// LibreCAD, when installed, must turn it into a PDF. Files ezdxf writes with kinds the host
// does not model pass through the host (read and save) unchanged as ezdxf sees them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/harness.h"
#include "kestrel/host/sample_drawings.h"
#include "kestrel/platform/utf8.h"
#include "tests/interop/database_summary.h"
#include "tests/support/host_checks.h"
#include "tests/support/test_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kScripts = fs::path(__FILE__).parent_path();

class InteropTest : public ::testing::Test {
protected:
    void TearDown() override { testsupport::expectHostClean(); }

    fs::path path(const char* name) const { return m_files.path(name); }

    // Saves db as name in the test's folder and writes the host's summary beside it.
    fs::path save(AcDbDatabase& db, const char* name) const {
        const fs::path file = path(name);
        EXPECT_EQ(db.saveAs(utf8ToWide(file.string()).c_str()), Acad::eOk)
            << wideToUtf8(host::lastDrawingFileMessage());
        std::ofstream(fs::path(file).replace_extension(".json")) << interop::summarize(db);
        return file;
    }

    // Runs a python script of this folder with args; its exit status, output in output.
    int python(const char* script, const std::string& args, std::string& output) const {
        const fs::path log = path("python.log");
        const std::string command = "/usr/bin/python3 '" + (kScripts / script).string() + "' " +
                                    args + " > '" + log.string() + "' 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        output = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // ezdxf's verdict on file against the summary the host wrote beside it.
    void expectEzdxfAgrees(const fs::path& file) const {
        std::string output;
        const std::string args =
            "'" + file.string() + "' '" + fs::path(file).replace_extension(".json").string() + "'";
        EXPECT_EQ(python("check_ezdxf.py", args, output), 0) << output;
    }

    testsupport::TestFolder m_files;
};

TEST_F(InteropTest, InteropDefaultDrawingLoadsAndAuditsClean) {
    AcDbDatabase db;
    expectEzdxfAgrees(save(db, "default.dxf"));
}

TEST_F(InteropTest, InteropSampleDrawingReadsBackTheSameInEzdxf) {
    AcDbDatabase db;
    ASSERT_EQ(host::addEveryKind(db), Acad::eOk);
    expectEzdxfAgrees(save(db, "sample.dxf"));
}

TEST_F(InteropTest, InteropCheckCatchesAFieldEzdxfReadsDifferently) {
    AcDbDatabase db;
    ASSERT_EQ(host::addEveryKind(db), Acad::eOk);
    const fs::path file = save(db, "sample.dxf");
    const fs::path summary = fs::path(file).replace_extension(".json");
    std::stringstream text;
    text << std::ifstream(summary).rdbuf();
    std::string json = text.str();
    const std::string end = "\"end\":[100,0,0]";
    const std::size_t at = json.find(end);
    ASSERT_NE(at, std::string::npos) << json;
    json.replace(at, end.size(), "\"end\":[100,0.5,0]");
    std::ofstream(summary) << json;
    std::string output;
    EXPECT_EQ(
        python("check_ezdxf.py", "'" + file.string() + "' '" + summary.string() + "'", output), 1);
    EXPECT_NE(output.find("/end"), std::string::npos) << output;
}

TEST_F(InteropTest, InteropErasedObjectsLeaveNoTraceInTheFile) {
    AcDbDatabase db;
    ASSERT_EQ(host::addEveryKind(db), Acad::eOk);
    // Erase the line that carries XData and that Xrecords point at, and the data dictionary.
    const AcDbObjectId line = testsupport::entitiesOf(db.modelSpaceId()).front();
    EXPECT_EQ(testsupport::open<AcDbEntity>(line, AcDb::kForWrite)->erase(), Acad::eOk);
    AcDbObjectId data;
    ASSERT_EQ(testsupport::open<AcDbDictionary>(db.namedObjectsDictionaryId())
                  ->getAt(L"KESTREL_DATA", data),
              Acad::eOk);
    EXPECT_EQ(testsupport::open<AcDbObject>(data, AcDb::kForWrite)->erase(), Acad::eOk);
    const fs::path file = save(db, "erased.dxf");
    expectEzdxfAgrees(file);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str().find("KESTREL_DATA"), std::string::npos);
}

TEST_F(InteropTest, InteropLibreCadMakesAPdfOfTheSample) {
    if (!fs::exists("/usr/bin/librecad")) {
        GTEST_SKIP() << "LibreCAD is not installed";
    }
    AcDbDatabase db;
    ASSERT_EQ(host::addEveryKind(db), Acad::eOk);
    const fs::path file = save(db, "sample.dxf");
    const fs::path out = path("pdf");
    fs::create_directories(out);
    const std::string command = "QT_QPA_PLATFORM=offscreen timeout 60 librecad dxf2pdf -a -t '" +
                                out.string() + "' '" + file.string() + "' > '" +
                                path("librecad.log").string() + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    const fs::path pdf = out / "sample.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_GT(fs::file_size(pdf), 0u);
}

TEST_F(InteropTest, InteropForeignKindsPassThroughTheHostUnchanged) {
    const fs::path original = path("foreign.dxf");
    std::string output;
    ASSERT_EQ(python("make_foreign.py", "'" + original.string() + "'", output), 0) << output;
    AcDbDatabase db(false, true);
    ASSERT_EQ(db.readDwgFile(utf8ToWide(original.string()).c_str()), Acad::eOk)
        << wideToUtf8(host::lastDrawingFileMessage());
    const fs::path saved = path("passed.dxf");
    ASSERT_EQ(db.saveAs(utf8ToWide(saved.string()).c_str()), Acad::eOk)
        << wideToUtf8(host::lastDrawingFileMessage());
    EXPECT_EQ(
        python("compare_files.py", "'" + original.string() + "' '" + saved.string() + "'", output),
        0)
        << output;
}

}  // namespace
