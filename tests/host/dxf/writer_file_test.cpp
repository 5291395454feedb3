// saveAs: the file appears whole or not at all. A failed save (an object that cannot be read,
// XData that breaks the rules, a folder that is missing, a target that is a folder, a write that
// fails after megabytes were streamed) returns a clear status, sets the last drawing-file message,
// leaves a former file as it was and no temporary file behind. What is streamed is the text the
// writer makes in memory, also when the first pass's figures have to be corrected.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <limits>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/dxf/writer_fixture.h"

namespace writertest {
namespace {

namespace fs = std::filesystem;

class WriterFileTest : public WriterTest {
protected:
    // A former file x.dxf holding "former".
    fs::path former() const {
        const fs::path file = path("x.dxf");
        std::ofstream(file) << "former";
        return file;
    }
    std::string message() const { return wideToUtf8(host::lastDrawingFileMessage()); }
};

// Adds count lines to db's model space: some megabytes of text, streamed in several buffers.
void addLines(AcDbDatabase& db, int count) {
    auto space = open<AcDbBlockTableRecord>(db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < count; ++i) {
        auto* line = new AcDbLine(AcGePoint3d(i, 0.5, 0), AcGePoint3d(i + 0.25, i / 7.0, 0));
        ASSERT_EQ(space->appendAcDbEntity(line), Acad::eOk);
        line->close();
    }
}

// Caps the size of files the process writes while it lives (writes beyond fail with EFBIG).
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &m_signal);
        ::getrlimit(RLIMIT_FSIZE, &m_limit);
        rlimit capped = m_limit;
        capped.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeCap() {
        ::setrlimit(RLIMIT_FSIZE, &m_limit);
        ::sigaction(SIGXFSZ, &m_signal, nullptr);
    }

private:
    rlimit m_limit{};
    struct sigaction m_signal {};
};

TEST_F(WriterFileTest, WriterFileFailuresAfterMegabytesWereStreamedKeepTheFormerFile) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    addLines(db, 30000);
    ASSERT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eOk) << message();
    const std::string saved = contents(path("x.dxf"));
    ASSERT_GT(saved.size(), std::size_t{3} << 20);
    EXPECT_EQ(saved, textOf(db));
    {
        FileSizeCap cap(std::size_t{3} << 19);
        EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eFileAccessError);
    }
    EXPECT_NE(message().find(std::strerror(EFBIG)), std::string::npos) << message();
    EXPECT_EQ(contents(path("x.dxf")), saved);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"x.dxf"});
    // The Xrecord is written last of all, in OBJECTS.
    resbuf* items = acutBuildList(40, std::numeric_limits<double>::infinity(), 0);
    const Acad::ErrorStatus status =
        open<AcDbXrecord>(d.xrecord, AcDb::kForWrite)->setFromRbChain(items);
    acutRelRb(items);
    if (status == Acad::eOk) {
        EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eInvalidInput);
        EXPECT_EQ(contents(path("x.dxf")), saved);
        EXPECT_EQ(folderEntries(), std::vector<std::string>{"x.dxf"});
    }
}

// A table (a kind CLASSES lists) that its block lists but that names no owner: the first pass
// does not count it, the writing pass writes it; the file counts what it holds.
TEST_F(WriterFileTest, WriterFileClassCountsFollowTheObjectsWrittenWhenOwnersDisagree) {
    AcDbDatabase db;
    addLines(db, 20000);
    AcDbObjectId table;
    {
        auto space = open<AcDbBlockTableRecord>(db.modelSpaceId(), AcDb::kForWrite);
        auto* added = new AcDbTable();
        ASSERT_EQ(space->appendAcDbEntity(table, added), Acad::eOk);
        ASSERT_EQ(added->setOwnerId(AcDbObjectId::kNull), Acad::eOk);
        added->close();
    }
    ASSERT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eOk) << message();
    const std::string text = contents(path("x.dxf"));
    EXPECT_EQ(text, textOf(db));
    const std::vector<Group> groups = groupsOf(text);
    EXPECT_EQ(valueOf(objectGroups(groups, table), 0), "ACAD_TABLE");
    const std::vector<Group> classes = section(groups, "CLASSES");
    const auto named = std::find(classes.begin(), classes.end(), Group{1, "ACAD_TABLE"});
    ASSERT_NE(named, classes.end());
    EXPECT_EQ(valueOf(std::vector<Group>(named, classes.end()), 91), "1");
}

TEST_F(WriterFileTest, WriterFileSaveWritesTheWriterTextAndReplacesAFormerFile) {
    AcDbDatabase db;
    buildDrawing(db);
    const fs::path file = former();
    host::setLastDrawingFileMessage(L"stale");
    ASSERT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eOk) << message();
    EXPECT_EQ(contents(file), textOf(db));
    EXPECT_TRUE(host::lastDrawingFileMessage().empty());
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"x.dxf"});
}

TEST_F(WriterFileTest, WriterFileKeepsThePermissionsOfTheFileItReplaces) {
    AcDbDatabase db;
    const fs::path file = former();
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eOk) << message();
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(WriterFileTest, WriterFileAnObjectOpenForWriteRefusesTheSaveAndKeepsTheFormerFile) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const fs::path file = former();
    {
        auto held = open<AcDbLine>(d.line, AcDb::kForWrite);
        EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eWasOpenForWrite);
    }
    EXPECT_NE(message().find(wideToUtf8(d.line.handle().text())), std::string::npos) << message();
    EXPECT_NE(message().find("x.dxf"), std::string::npos) << message();
    EXPECT_EQ(contents(file), "former");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"x.dxf"});
}

TEST_F(WriterFileTest, WriterFileXDataOfAnApplicationNoLongerRegisteredRefusesTheSave) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    AcDbRegAppTable* table = nullptr;
    ASSERT_EQ(db.getRegAppTable(table, AcDb::kForRead), Acad::eOk);
    AcDbObjectId app;
    ASSERT_EQ(table->getAt(L"KESTREL", app), Acad::eOk);
    table->close();
    if (open<AcDbObject>(app, AcDb::kForWrite)->erase() != Acad::eOk) {
        GTEST_SKIP() << "the host keeps registered applications from being erased";
    }
    const fs::path file = former();
    EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eUnregisteredApplication);
    EXPECT_NE(message().find(wideToUtf8(d.line.handle().text())), std::string::npos) << message();
    EXPECT_NE(message().find("KESTREL"), std::string::npos) << message();
    EXPECT_EQ(contents(file), "former");
}

TEST_F(WriterFileTest, WriterFileARealThatIsNotFiniteRefusesTheSave) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    resbuf* items = acutBuildList(40, std::numeric_limits<double>::quiet_NaN(), 0);
    const Acad::ErrorStatus status =
        open<AcDbXrecord>(d.xrecord, AcDb::kForWrite)->setFromRbChain(items);
    acutRelRb(items);
    if (status != Acad::eOk) {
        GTEST_SKIP() << "Xrecords refuse reals that are not finite";
    }
    const fs::path file = former();
    EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eInvalidInput);
    EXPECT_NE(message().find(wideToUtf8(d.xrecord.handle().text())), std::string::npos)
        << message();
    EXPECT_NE(message().find("not finite"), std::string::npos) << message();
    EXPECT_EQ(contents(file), "former");
}

TEST_F(WriterFileTest, WriterFileAMissingFolderOrAFolderAsTargetFailsCleanly) {
    AcDbDatabase db;
    EXPECT_EQ(db.saveAs(widePath("missing/x.dxf").c_str()), Acad::eFileAccessError);
    EXPECT_NE(message().find("missing/x.dxf"), std::string::npos) << message();
    fs::create_directories(path("folder.dxf"));
    host::setLastDrawingFileMessage(L"");
    EXPECT_EQ(db.saveAs(widePath("folder.dxf").c_str()), Acad::eFileAccessError);
    EXPECT_FALSE(host::lastDrawingFileMessage().empty());
    EXPECT_TRUE(fs::is_directory(path("folder.dxf")));
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"folder.dxf"});
    EXPECT_EQ(db.saveAs(nullptr), Acad::eInvalidInput);
    EXPECT_EQ(db.saveAs(L""), Acad::eInvalidInput);
    AcDbDatabase empty(false, true);
    EXPECT_EQ(empty.saveAs(widePath("empty.dxf").c_str()), Acad::eNoDatabase);
    EXPECT_NE(message().find("no drawing"), std::string::npos) << message();
    EXPECT_FALSE(fs::exists(path("empty.dxf")));
}

TEST_F(WriterFileTest, WriterFileAFolderThatCannotBeWrittenKeepsTheFormerFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    AcDbDatabase db;
    const fs::path file = former();
    fs::permissions(m_files.folder(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eFileAccessError);
    fs::permissions(m_files.folder(), fs::perms::owner_all);
    EXPECT_EQ(contents(file), "former");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"x.dxf"});
}

}  // namespace
}  // namespace writertest
