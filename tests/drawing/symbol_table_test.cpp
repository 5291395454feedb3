// The linetype, text-style and dimension-style table pointers: the table held open for the
// pointer's lifetime, names and ids both ways, listings in table order, and refusals.
#include "kestrel/drawing/symbol_table_ptrs.h"

#include "kestrel/drawing/layer_table_ptr.h"

#include "drawing_fixture.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/text_style_table.h"

namespace {

using drawing_test::DrawingTest;

class DrawingTablesTest : public DrawingTest {};

// The three pointers share one code; each test runs on one of them by its table's kind.
template <class Ptr>
void expectHeldOpen(AcDbObjectId tableId) {
    {
        Ptr table;
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table.status(), Acad::eOk);
        EXPECT_EQ(table.mode(), AcDb::kForRead);
        const std::vector<host::OpenObject> open = host::openObjects();
        ASSERT_EQ(open.size(), 1u);
        EXPECT_EQ(open[0].id, tableId);
        EXPECT_EQ(open[0].mode, AcDb::kForRead);
    }
    EXPECT_TRUE(host::openObjects().empty());
    Ptr forWrite(AcDb::kForWrite);
    EXPECT_EQ(forWrite.mode(), AcDb::kForWrite);
    EXPECT_EQ(host::openObjects().at(0).mode, AcDb::kForWrite);
}

TEST_F(DrawingTablesTest, DrawingTablesHoldTheirTableOpen) {
    expectHeldOpen<CVLKCLinetypeTablePtr>(db()->linetypeTableId());
    expectHeldOpen<CVLKCTextStyleTablePtr>(db()->textStyleTableId());
    expectHeldOpen<CVLKCDimStyleTablePtr>(db()->dimStyleTableId());
}

TEST_F(DrawingTablesTest, DrawingTablesListTheDefaultRecords) {
    CVLKCTextStyleTablePtr styles;
    CStringArray names;
    names.Add(L"stale");
    ASSERT_EQ(styles.getNames(names), 1);
    EXPECT_EQ(names[0], CString(L"Standard"));
    AcDbObjectIdArray ids;
    ASSERT_EQ(styles.getIds(ids), 1);
    EXPECT_EQ(ids[0], db()->textstyle());

    CVLKCLinetypeTablePtr linetypes;
    ASSERT_EQ(linetypes.getNames(names), 3);
    EXPECT_EQ(names[0], CString(L"ByBlock"));
    EXPECT_EQ(names[1], CString(L"ByLayer"));
    EXPECT_EQ(names[2], CString(L"Continuous"));
    ASSERT_EQ(linetypes.getIds(ids), 3);
    EXPECT_EQ(ids[2], db()->continuousLinetype());

    CVLKCDimStyleTablePtr dimStyles;
    ASSERT_EQ(dimStyles.getNames(names), 1);
    EXPECT_EQ(names[0], CString(L"Standard"));
}

TEST_F(DrawingTablesTest, DrawingTablesTranslateNamesAndIds) {
    CVLKCLinetypeTablePtr linetypes;
    AcDbObjectId id;
    ASSERT_EQ(linetypes.getId(L"continuous", id), Acad::eOk);
    EXPECT_EQ(id, db()->continuousLinetype());
    EXPECT_EQ(linetypes.getId(L"Dashed", id), Acad::eKeyNotFound);
    EXPECT_EQ(linetypes.status(), Acad::eKeyNotFound);
    EXPECT_EQ(id, db()->continuousLinetype());

    CString name;
    ASSERT_EQ(linetypes.getName(db()->byLayerLinetype(), name), Acad::eOk);
    EXPECT_EQ(name, CString(L"ByLayer"));
    // The table itself is not consulted: a record of another table is named as well.
    ASSERT_EQ(linetypes.getName(db()->dimstyle(), name), Acad::eOk);
    EXPECT_EQ(name, CString(L"Standard"));

    const AcDbObjectId point = append(new AcDbPoint({1, 2, 3}));
    EXPECT_EQ(linetypes.getName(point, name), Acad::eNotThatKindOfClass);
    EXPECT_EQ(linetypes.getName(AcDbObjectId::kNull, name), Acad::eNullObjectId);
    EXPECT_EQ(name, CString(L"Standard"));
    EXPECT_TRUE(drawing_test::writable(point));
}

TEST_F(DrawingTablesTest, DrawingTablesListingsFollowTableOrderAndSkipErased) {
    const AcDbObjectId first =
        testsupport::addRecord<AcDbTextStyleTable>(db(), new AcDbTextStyleTableRecord(), L"Notes");
    const AcDbObjectId second =
        testsupport::addRecord<AcDbTextStyleTable>(db(), new AcDbTextStyleTableRecord(), L"Titles");
    ASSERT_EQ(testsupport::open<AcDbObject>(first, AcDb::kForWrite)->erase(true), Acad::eOk);
    CVLKCTextStyleTablePtr styles;
    CStringArray names;
    ASSERT_EQ(styles.getNames(names), 2);
    EXPECT_EQ(names[1], CString(L"Titles"));
    AcDbObjectIdArray ids;
    ASSERT_EQ(styles.getIds(ids), 2);
    EXPECT_EQ(ids[1], second);
    AcDbObjectId id;
    EXPECT_EQ(styles.getId(L"Notes", id), Acad::eKeyNotFound);
}

TEST_F(DrawingTablesTest, DrawingTablesListingsLeaveOutARecordThatDoesNotOpen) {
    // The last record of each table is held for write elsewhere: every listing leaves it out and
    // ends with the refusal of its open in status.
    std::vector<testsupport::Held<AcDbObject>> held;
    for (AcDbObjectId id :
         {db()->continuousLinetype(), db()->textstyle(), db()->dimstyle(), db()->layerZero()}) {
        held.push_back(testsupport::open<AcDbObject>(id, AcDb::kForWrite));
    }
    CStringArray names;
    names.Add(L"stale");
    CVLKCLinetypeTablePtr linetypes;
    ASSERT_EQ(linetypes.getNames(names), 2);
    EXPECT_EQ(names[1], CString(L"ByLayer"));
    EXPECT_EQ(linetypes.status(), Acad::eWasOpenForWrite);
    CVLKCTextStyleTablePtr styles;
    EXPECT_EQ(styles.getNames(names), 0);
    EXPECT_EQ(names.GetSize(), 0);
    EXPECT_EQ(styles.status(), Acad::eWasOpenForWrite);
    CVLKCDimStyleTablePtr dimStyles;
    AcDbObjectIdArray ids;
    EXPECT_EQ(dimStyles.getIds(ids), 0);
    EXPECT_EQ(dimStyles.status(), Acad::eWasOpenForWrite);
    CVLKCLayerTablePtr layers;
    EXPECT_EQ(layers.allLayerNames(names), 0);
    EXPECT_EQ(layers.status(), Acad::eWasOpenForWrite);
}

TEST_F(DrawingTablesTest, DrawingTablesThatDidNotOpenAnswerNothing) {
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    CVLKCDimStyleTablePtr styles;
    acdbHostApplicationServices()->setWorkingDatabase(db());
    EXPECT_EQ(styles, nullptr);
    EXPECT_EQ(styles.status(), Acad::eNoWorkingDatabase);
    CStringArray names;
    names.Add(L"kept");
    EXPECT_EQ(styles.getNames(names), 0);
    EXPECT_EQ(names.GetSize(), 1);
    AcDbObjectIdArray ids;
    ids.append(db()->dimstyle());
    EXPECT_EQ(styles.getIds(ids), 0);
    EXPECT_EQ(ids.length(), 1);
    AcDbObjectId id;
    EXPECT_EQ(styles.getId(L"Standard", id), Acad::eNoWorkingDatabase);
    EXPECT_TRUE(id.isNull());

    // A table open for write elsewhere refuses a reader.
    const auto table =
        testsupport::open<AcDbLinetypeTable>(db()->linetypeTableId(), AcDb::kForWrite);
    CVLKCLinetypeTablePtr linetypes;
    EXPECT_EQ(linetypes, nullptr);
    EXPECT_EQ(linetypes.status(), Acad::eWasOpenForWrite);
}

}  // namespace
