// Raw objects and entities: the groups they keep from a file come back unchanged through DXF
// filing, binary filing (copies, undo) and the DXF name a file gives them; the entity groups of a
// raw entity are its own, the rest of its AcDbEntity part is kept.
#include <gtest/gtest.h>

#include <memory>

#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/host/dxf/reader_fixture.h"

namespace {

using host::DxfItem;
using host::DxfItemList;

const DxfItemList kMlineGroups = {
    {100, std::wstring(L"AcDbMline")},
    {2, std::wstring(L"STANDARD")},
    {40, 1.0},
    {70, std::int64_t{0}},
    {10, AcGePoint3d(1, 2, 3)},
    {310, std::vector<unsigned char>{1, 2, 255}},
};

// What object writes through dxfOut, without XData.
DxfItemList filedOut(const AcDbObject& object, AcDbDatabase* db) {
    host::DxfItemFiler filer(db);
    EXPECT_EQ(object.dxfOut(&filer, false), Acad::eOk);
    return filer.takeItems();
}

class DxfRawObject : public dxftest::ReaderTest {
protected:
    AcDbDatabase m_db{true, true};
};

TEST_F(DxfRawObject, AnObjectKeepsEveryGroupAfterItsBase) {
    DxfItemList groups = {{5, std::wstring(L"2F")}, {330, AcDbObjectId::kNull}};
    groups.insert(groups.end(), kMlineGroups.begin(), kMlineGroups.end());
    groups.push_back({1001, std::wstring(L"ACAD")});
    groups.push_back({1000, std::wstring(L"note")});
    AcDbRawObject object(L"MLINESTYLE_LIKE");
    host::DxfItemFiler filer(groups, &m_db);
    ASSERT_EQ(object.dxfIn(&filer), Acad::eOk) << wideToUtf8(filer.errorMessage());
    EXPECT_EQ(object.groups(), kMlineGroups);
    EXPECT_EQ(object.dxfName(), L"MLINESTYLE_LIKE");
    EXPECT_EQ(std::wstring(host::dxfNameOf(&object)), L"MLINESTYLE_LIKE");
    resbuf* xdata = object.xData();
    ASSERT_NE(xdata, nullptr);
    EXPECT_EQ(std::wstring(xdata->resval.rstring), L"ACAD");
    acutRelRb(xdata);

    const DxfItemList out = filedOut(object, &m_db);
    ASSERT_GE(out.size(), kMlineGroups.size());
    EXPECT_TRUE(std::equal(kMlineGroups.begin(), kMlineGroups.end(),
                           out.end() - static_cast<std::ptrdiff_t>(kMlineGroups.size())));

    std::unique_ptr<AcRxObject> copy(object.clone());
    const auto* raw = AcDbRawObject::cast(copy.get());
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->dxfName(), L"MLINESTYLE_LIKE");
    EXPECT_EQ(raw->groups(), kMlineGroups);
}

TEST_F(DxfRawObject, AnEntityOwnsItsEntityGroupsAndKeepsTheOthers) {
    DxfItemList groups = {
        {5, std::wstring(L"30")}, {330, AcDbObjectId::kNull}, {100, std::wstring(L"AcDbEntity")},
        {67, std::int64_t{1}},    {8, std::wstring(L"0")},    {62, std::int64_t{5}},
        {370, std::int64_t{25}}};
    groups.insert(groups.end(), kMlineGroups.begin(), kMlineGroups.end());
    AcDbRawEntity entity(L"MLINE");
    host::DxfItemFiler filer(groups, &m_db);
    ASSERT_EQ(entity.dxfIn(&filer), Acad::eOk) << wideToUtf8(filer.errorMessage());
    EXPECT_EQ(entity.layerId(), m_db.layerZero());
    EXPECT_EQ(entity.colorIndex(), 5);
    EXPECT_EQ(entity.groups(), kMlineGroups);

    // The entity's own groups come first, the kept ones of its AcDbEntity part after them.
    entity.setColorIndex(1);
    const DxfItemList out = filedOut(entity, &m_db);
    const auto marker =
        std::find(out.begin(), out.end(), DxfItem{100, std::wstring(L"AcDbEntity")});
    ASSERT_NE(marker, out.end());
    const DxfItemList entityPart(marker + 1,
                                 out.end() - static_cast<std::ptrdiff_t>(kMlineGroups.size()));
    EXPECT_NE(std::find(entityPart.begin(), entityPart.end(), DxfItem{62, std::int64_t{1}}),
              entityPart.end());
    EXPECT_EQ(std::count_if(entityPart.begin(), entityPart.end(),
                            [](const DxfItem& item) { return item.code == 62; }),
              1);
    EXPECT_EQ(entityPart.end()[-2], (DxfItem{67, std::int64_t{1}}));
    EXPECT_EQ(entityPart.end()[-1], (DxfItem{370, std::int64_t{25}}));

    std::unique_ptr<AcRxObject> copy(entity.clone());
    const auto* raw = AcDbRawEntity::cast(copy.get());
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->groups(), kMlineGroups);
    EXPECT_EQ(filedOut(*raw, &m_db), out);
}

TEST_F(DxfRawObject, AnEntityWithoutItsEntityPartIsRefused) {
    const DxfItemList groups = {{5, std::wstring(L"30")}, {100, std::wstring(L"AcDbMline")}};
    AcDbRawEntity entity(L"MLINE");
    host::DxfItemFiler filer(groups, &m_db);
    EXPECT_EQ(entity.dxfIn(&filer), Acad::eBadDxfSequence);
    EXPECT_NE(std::wstring(filer.errorMessage()).find(L"AcDbEntity"), std::wstring::npos);
}

TEST_F(DxfRawObject, ModelledObjectsFileUnderTheirClasssName) {
    AcDbLine line;
    EXPECT_EQ(std::wstring(host::dxfNameOf(&line)), L"LINE");
    AcDbLayerTableRecord layer;
    EXPECT_EQ(std::wstring(host::dxfNameOf(&layer)), L"LAYER");
}

}  // namespace
