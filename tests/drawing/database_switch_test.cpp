// The database switch: the working database restored at destruction, a second database read
// from a drawing file (owned and deleted) or handed over, replacing and copying switches.
#include "kestrel/drawing/database_switch.h"

#include "drawing_fixture.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"

namespace {

using drawing_test::DrawingTest;

AcDbDatabase* working() {
    return acdbHostApplicationServices()->workingDatabase();
}

class DrawingDatabaseSwitchTest : public DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        // A drawing with a layer "FromFile", written by the host itself.
        AcDbDatabase source;
        testsupport::addRecord<AcDbLayerTable>(&source, new AcDbLayerTableRecord(), L"FromFile");
        ASSERT_EQ(source.saveAs(path("source.dxf").c_str()), Acad::eOk);
    }
    std::wstring path(const char* name) const { return m_files.widePath(name); }
    std::wstring folder() const { return utf8ToWide(m_files.folder().string()); }

    static bool hasLayer(AcDbDatabase* database, const wchar_t* name) {
        return testsupport::open<AcDbLayerTable>(database->layerTableId())->has(name);
    }

private:
    testsupport::TestFolder m_files;
};

TEST_F(DrawingDatabaseSwitchTest, DrawingDatabaseSwitchRestoresTheWorkingDatabase) {
    {
        CDatabaseSwitch untouched;
        EXPECT_EQ(untouched.getSecondDatabasePtr(), nullptr);
        untouched.setActiveDatabaseSecond();
        EXPECT_EQ(working(), db());
    }
    EXPECT_EQ(working(), db());

    AcDbDatabase other;
    {
        CDatabaseSwitch held(&other, false);
        held.setActiveDatabaseSecond();
        EXPECT_EQ(working(), &other);
        held.setActiveDatabaseCurrent();
        EXPECT_EQ(working(), db());
        held.setActiveDatabaseSecond();
    }
    // Restored, and the database that was handed over without the flag is still alive.
    EXPECT_EQ(working(), db());
    EXPECT_TRUE(hasLayer(&other, L"0"));

    // The database remembered is the one working at construction, not the one before it.
    acdbHostApplicationServices()->setWorkingDatabase(&other);
    { CDatabaseSwitch later; }
    EXPECT_EQ(working(), &other);
    acdbHostApplicationServices()->setWorkingDatabase(db());
}

TEST_F(DrawingDatabaseSwitchTest, DrawingDatabaseSwitchReadsADrawingFile) {
    CDatabaseSwitch fromFile(path("source.dxf").c_str(), 0x20);
    AcDbDatabase* second = fromFile.getSecondDatabasePtr();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, db());
    EXPECT_TRUE(hasLayer(second, L"FromFile"));
    EXPECT_FALSE(hasLayer(db(), L"FromFile"));
    // Reading does not switch.
    EXPECT_EQ(working(), db());
    fromFile.setActiveDatabaseSecond();
    EXPECT_EQ(working(), second);
    // The owned database is deleted at destruction (the sanitizer would report a leak).
}

TEST_F(DrawingDatabaseSwitchTest, DrawingDatabaseSwitchFailedReadsChangeNothing) {
    CDatabaseSwitch missing(path("missing.dxf").c_str(), 0x20);
    EXPECT_EQ(missing.getSecondDatabasePtr(), nullptr);
    missing.setActiveDatabaseSecond();
    EXPECT_EQ(working(), db());

    AcDbDatabase other;
    CDatabaseSwitch held(&other, false);
    EXPECT_EQ(held.setSecondDatabase(path("missing.dxf").c_str(), 0x20), Acad::eFileNotFound);
    EXPECT_EQ(held.getSecondDatabasePtr(), &other);
    EXPECT_EQ(held.setSecondDatabase(folder().c_str(), 0x20), Acad::eFileAccessError);
    EXPECT_EQ(held.getSecondDatabasePtr(), &other);
}

TEST_F(DrawingDatabaseSwitchTest, DrawingDatabaseSwitchReplacingDeletesAnOwnedDatabase) {
    CDatabaseSwitch sw;
    ASSERT_EQ(sw.setSecondDatabase(path("source.dxf").c_str(), 0x20), Acad::eOk);
    sw.setActiveDatabaseSecond();
    // Replacing the owned, working database switches back before deleting it.
    ASSERT_EQ(sw.setSecondDatabase(path("source.dxf").c_str(), 0x20), Acad::eOk);
    EXPECT_EQ(working(), db());
    AcDbDatabase* owned = sw.getSecondDatabasePtr();
    // Setting the same database again keeps it.
    sw.setSecondDatabase(owned, true);
    EXPECT_TRUE(hasLayer(owned, L"FromFile"));
    AcDbDatabase kept;
    sw.setSecondDatabase(&kept, false);
    EXPECT_EQ(sw.getSecondDatabasePtr(), &kept);
    sw.setSecondDatabase(nullptr, true);
    EXPECT_TRUE(hasLayer(&kept, L"0"));
}

TEST_F(DrawingDatabaseSwitchTest, DrawingDatabaseSwitchCopiesShareTheSecondDatabase) {
    auto* owned = new AcDbDatabase(true, true);
    CDatabaseSwitch original(owned, true);
    {
        CDatabaseSwitch copy(original);
        EXPECT_EQ(copy.getSecondDatabasePtr(), owned);
        copy.setDeleteSecondDatabase(false);
        copy.setActiveDatabaseSecond();
    }
    EXPECT_EQ(working(), db());
    CDatabaseSwitch assigned;
    assigned = original;
    EXPECT_EQ(assigned.getSecondDatabasePtr(), owned);
    assigned.setDeleteSecondDatabase(false);
    EXPECT_TRUE(hasLayer(owned, L"0"));
}

}  // namespace
