// saveAs: the file appears whole or not at all. A failed save (an object that cannot be read,
// XData that breaks the rules, a folder that is missing, a target that is a folder) returns a
// clear status, sets the last drawing-file message, leaves a former file as it was and no
// temporary file behind.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "host/db/entities/line.h"
#include "host/db/regapp_table.h"
#include "host/db/resbuf.h"
#include "host/db/xrecord.h"
#include "host/dxf/file_message.h"
#include "platform/utf8.h"
#include "tests/dxf/writer_fixture.h"

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
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(db.saveAs(widePath("x.dxf").c_str()), Acad::eFileAccessError);
    fs::permissions(m_folder, fs::perms::owner_all);
    EXPECT_EQ(contents(file), "former");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"x.dxf"});
}

}  // namespace
}  // namespace writertest
