// Filing of every table and record class both ways: binary copies and DXF item lists give back
// the same groups, DXF lists written by hand read into the expected values, and broken lists
// are refused with a message.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/db/ucs_table.h"
#include "kestrel/host/db/view_table.h"
#include "kestrel/host/db/viewport_table.h"
#include "tests/host/db/tables_fixture.h"

namespace {

using tables_test::integer;
using tables_test::open;
using tables_test::real;
using tables_test::text;

class TablesFilingTest : public tables_test::DatabaseTest {
protected:
    // A binary copy and a DXF read of source both write the groups source writes.
    template <class T>
    void expectRoundTrips(const T& source) {
        const host::DxfItemList items = tables_test::stateItems(source, db());
        T binary;
        ASSERT_EQ(tables_test::dwgCopy(source, binary), Acad::eOk);
        EXPECT_EQ(tables_test::stateItems(binary, db()), items);
        T read;
        ASSERT_EQ(tables_test::dxfRead(read, items, db()), Acad::eOk);
        EXPECT_EQ(tables_test::stateItems(read, db()), items);
    }

    // The groups after the given subclass marker.
    static host::DxfItemList after(const host::DxfItemList& items, const wchar_t* marker) {
        const auto found = std::find(items.begin(), items.end(), text(100, marker));
        return found == items.end() ? host::DxfItemList{}
                                    : host::DxfItemList(found + 1, items.end());
    }
};

TEST_F(TablesFilingTest, TablesLayerFilesBothWays) {
    auto layer = open<AcDbLayerTableRecord>(db()->layerZero(), AcDb::kForWrite);
    AcCmColor color;
    color.setRGB(200, 100, 50);
    ASSERT_EQ(layer->setColor(color), Acad::eOk);
    layer->setIsOff(true);
    layer->setIsLocked(true);
    layer->setIsPlottable(false);
    layer->setLineWeight(25);
    expectRoundTrips(*layer);

    const host::DxfItemList expected{text(2, L"0"),         integer(70, 4),  integer(290, 0),
                                     integer(370, 25),      integer(62, -7), integer(420, 0xC86432),
                                     text(6, L"Continuous")};
    EXPECT_EQ(after(tables_test::dxfItems(*layer, db()), L"AcDbLayerTableRecord"), expected);
}

TEST_F(TablesFilingTest, TablesLayerReadsAHandWrittenList) {
    AcDbLayerTableRecord layer;
    const host::DxfItemList list{text(100, L"AcDbSymbolTableRecord"),
                                 text(100, L"AcDbLayerTableRecord"),
                                 text(2, L"Walls"),
                                 integer(70, 1),
                                 integer(62, -3),
                                 text(6, L"CONTINUOUS"),
                                 integer(371, 5),
                                 text(4, L"a description this host does not keep")};
    ASSERT_EQ(tables_test::dxfRead(layer, list, db()), Acad::eOk);
    const wchar_t* name = nullptr;
    layer.getName(name);
    EXPECT_STREQ(name, L"Walls");
    EXPECT_TRUE(layer.isFrozen());
    EXPECT_TRUE(layer.isOff());
    EXPECT_EQ(layer.color().colorIndex(), 3);
    EXPECT_EQ(layer.linetypeObjectId(), db()->continuousLinetype());

    host::DxfItemList unknownLinetype = list;
    unknownLinetype[5] = text(6, L"NoSuchLinetype");
    EXPECT_EQ(tables_test::dxfRead(layer, unknownLinetype, db()), Acad::eKeyNotFound);
    host::DxfItemList badName = list;
    badName[2] = text(2, L"Bad|Name");
    EXPECT_EQ(tables_test::dxfRead(layer, badName, db()), Acad::eInvalidSymbolTableName);
    layer.getName(name);
    EXPECT_STREQ(name, L"Walls");
    const host::DxfItemList noMarker{text(100, L"AcDbSymbolTableRecord"), text(2, L"X")};
    EXPECT_EQ(tables_test::dxfRead(layer, noMarker, db()), Acad::eBadDxfSequence);
}

TEST_F(TablesFilingTest, TablesLinetypeFilesItsDashes) {
    AcDbLinetypeTableRecord linetype;
    linetype.setName(L"GAS");
    linetype.setComments(L"Gas line ----GAS----");
    linetype.setPatternLength(1.0);
    linetype.setNumDashes(3);
    linetype.setDashLengthAt(0, 0.5);
    linetype.setDashLengthAt(1, -0.2);
    linetype.setTextAt(1, L"GAS");
    linetype.setShapeStyleAt(1, db()->textstyle());
    linetype.setShapeScaleAt(1, 0.1);
    linetype.setShapeOffsetAt(1, AcGeVector2d(-0.1, -0.05));
    linetype.setShapeIsUcsOrientedAt(1, true);
    linetype.setDashLengthAt(2, -0.25);
    expectRoundTrips(linetype);

    const host::DxfItemList groups =
        after(tables_test::dxfItems(linetype, db()), L"AcDbLinetypeTableRecord");
    const host::DxfItemList expected{
        text(2, L"GAS"), integer(70, 0),  text(3, L"Gas line ----GAS----"),
        integer(72, 65), real(40, 1.0),   integer(73, 3),
        real(49, 0.5),   integer(74, 0),  real(49, -0.2),
        integer(74, 3),  integer(75, 0),  host::DxfItem{340, db()->textstyle()},
        real(46, 0.1),   real(50, 0.0),   real(44, -0.1),
        real(45, -0.05), text(9, L"GAS"), real(49, -0.25),
        integer(74, 0)};
    EXPECT_EQ(groups, expected);
}

TEST_F(TablesFilingTest, TablesStylesFileBothWays) {
    AcDbTextStyleTableRecord style;
    style.setName(L"Notes");
    style.setTextSize(2.5);
    style.setXScale(0.8);
    style.setObliquingAngle(0.2);
    style.setFlagBits(2);
    style.setFileName(L"romans.shx");
    style.setBigFontFileName(L"big.shx");
    style.setIsVertical(true);
    expectRoundTrips(style);

    AcDbDimStyleTableRecord dimstyle;
    dimstyle.setName(L"Metric");
    dimstyle.setDimscale(50.0);
    dimstyle.setDimtad(1);
    dimstyle.setDimtih(false);
    dimstyle.setDimpost(L"<> mm");
    AcCmColor red;
    red.setColorIndex(1);
    dimstyle.setDimclrd(red);
    dimstyle.setDimtxsty(db()->textstyle());
    expectRoundTrips(dimstyle);
    const host::DxfItemList groups =
        after(tables_test::dxfItems(dimstyle, db()), L"AcDbDimStyleTableRecord");
    EXPECT_NE(std::find(groups.begin(), groups.end(), real(40, 50.0)), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), integer(176, 1)), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), integer(73, 0)), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), text(3, L"<> mm")), groups.end());

    AcDbRegAppTableRecord regapp;
    regapp.setName(L"MYAPP");
    expectRoundTrips(regapp);
}

TEST_F(TablesFilingTest, TablesViewsAndCoordinateSystemsFileBothWays) {
    AcDbViewTableRecord view;
    view.setName(L"Plan");
    view.setCenterPoint(AcGePoint2d(40.0, 15.5));
    view.setHeight(17.5);
    view.setWidth(20.0);
    view.setTarget(AcGePoint3d(1.0, 2.0, 3.0));
    view.setViewDirection(AcGeVector3d(1.0, -1.0, 1.0));
    view.setViewTwist(0.5);
    view.setLensLength(35.0);
    view.setFrontClipDistance(2.0);
    view.setBackClipDistance(-2.0);
    view.setFrontClipEnabled(true);
    view.setPerspectiveEnabled(true);
    view.setIsPaperspaceView(true);
    expectRoundTrips(view);
    const host::DxfItemList groups =
        after(tables_test::dxfItems(view, db()), L"AcDbViewTableRecord");
    EXPECT_NE(std::find(groups.begin(), groups.end(), real(40, 17.5)), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), real(41, 20.0)), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), integer(71, 3)), groups.end());
    EXPECT_NE(std::find(groups.begin(), groups.end(), integer(70, 1)), groups.end());

    AcDbViewportTableRecord viewport;
    viewport.setName(L"*Active");
    viewport.setLowerLeftCorner(AcGePoint2d(0.5, 0.0));
    viewport.setHeight(10.0);
    viewport.setWidth(25.0);
    viewport.setGridEnabled(true);
    viewport.setSnapIncrements(AcGeVector2d(0.25, 0.5));
    viewport.setUcs(AcGePoint3d(1, 1, 0), AcGeVector3d(0, 1, 0), AcGeVector3d(-1, 0, 0));
    expectRoundTrips(viewport);
    const host::DxfItemList vportGroups =
        after(tables_test::dxfItems(viewport, db()), L"AcDbViewportTableRecord");
    EXPECT_NE(std::find(vportGroups.begin(), vportGroups.end(), real(41, 2.5)), vportGroups.end());
    AcDbViewportTableRecord read;
    ASSERT_EQ(tables_test::dxfRead(read, tables_test::dxfItems(viewport, db()), db()), Acad::eOk);
    EXPECT_EQ(read.width(), 25.0);
    EXPECT_TRUE(read.gridEnabled());

    AcDbUCSTableRecord ucs;
    ucs.setName(L"Tilted");
    ucs.setOrigin(AcGePoint3d(5, 6, 7));
    ucs.setXAxis(AcGeVector3d(0, 0, 1));
    ucs.setElevation(1.5);
    expectRoundTrips(ucs);
}

TEST_F(TablesFilingTest, TablesBlockRecordAndTablesFileBothWays) {
    AcDbBlockTableRecord block;
    block.setName(L"*U3");
    block.setIsAnonymous(true);
    block.setOrigin(AcGePoint3d(1, 2, 3));
    block.setComments(L"a door");
    block.setExplodable(false);
    block.setBlockInsertUnits(4);
    expectRoundTrips(block);
    AcDbBlockTableRecord binary;
    ASSERT_EQ(tables_test::dwgCopy(block, binary), Acad::eOk);
    EXPECT_TRUE(binary.isAnonymous());
    EXPECT_EQ(binary.origin().y, 2.0);
    const wchar_t* comments = nullptr;
    binary.comments(comments);
    EXPECT_STREQ(comments, L"a door");

    host::DxfItemFiler blockBegin(db());
    ASSERT_EQ(block.dxfOutBlockBegin(&blockBegin), Acad::eOk);
    const host::DxfItemList beginGroups = blockBegin.takeItems();
    const host::DxfItemList expectedBegin{text(100, L"AcDbBlockBegin"),
                                          text(2, L"*U3"),
                                          integer(70, 1),
                                          host::DxfItem{10, AcGePoint3d(1, 2, 3)},
                                          text(3, L"*U3"),
                                          text(1, L""),
                                          text(4, L"a door")};
    EXPECT_EQ(beginGroups, expectedBegin);
    AcDbBlockTableRecord begun;
    host::DxfItemFiler beginReader(beginGroups, db());
    ASSERT_EQ(begun.dxfInBlockBegin(&beginReader), Acad::eOk);
    EXPECT_TRUE(begun.isAnonymous());
    EXPECT_EQ(begun.origin().z, 3.0);
    host::DxfItemList badBegin = beginGroups;
    badBegin[1] = text(2, L"No|Good");
    badBegin[4] = text(3, L"No|Good");
    host::DxfItemFiler badReader(badBegin, db());
    EXPECT_EQ(begun.dxfInBlockBegin(&badReader), Acad::eInvalidSymbolTableName);
    const wchar_t* name = nullptr;
    begun.getName(name);
    EXPECT_STREQ(name, L"*U3");

    auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForRead);
    const host::DxfItemList groups =
        after(tables_test::dxfItems(*model, db()), L"AcDbBlockTableRecord");
    ASSERT_FALSE(groups.empty());
    EXPECT_EQ(groups.front(), text(2, L"*Model_Space"));

    auto layers = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
    const host::DxfItemList tableGroups = tables_test::dxfItems(*layers, db());
    EXPECT_EQ(after(tableGroups, L"AcDbSymbolTable"), host::DxfItemList{integer(70, 1)});
    AcDbLayerTable copy;
    ASSERT_EQ(tables_test::dwgCopy(*layers, copy), Acad::eOk);
    ASSERT_EQ(tables_test::dxfRead(copy, tableGroups, db()), Acad::eOk);
}

}  // namespace
