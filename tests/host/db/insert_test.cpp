// AcDbDatabase::insert in both forms: a side database's model space or one of its blocks becomes
// a block of the drawing, bringing the layers, linetypes, styles, nested blocks and XData
// applications its entities use; records of the same name already in the drawing are kept.
#include <gtest/gtest.h>

#include <memory>

#include "kestrel/host/db/deep_clone.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"
#include "tests/host/db/entities/entity_fixture.h"
#include "tests/support/host_checks.h"

namespace {

using entity_test::near;
using entity_test::open;
using testsupport::appendEntity;
using testsupport::entitiesOf;

AcDbObjectId blockNamed(AcDbDatabase* db, const wchar_t* name) {
    auto table = open<AcDbBlockTable>(db->blockTableId(), AcDb::kForRead);
    AcDbObjectId id;
    table->getAt(name, id);
    return id;
}

AcDbObjectId layerNamed(AcDbDatabase* db, const wchar_t* name) {
    auto table = open<AcDbLayerTable>(db->layerTableId(), AcDb::kForRead);
    AcDbObjectId id;
    table->getAt(name, id);
    return id;
}

class InsertTest : public entity_test::EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        m_source = std::make_unique<AcDbDatabase>(true, true);
        buildSource();
    }

    void TearDown() override {
        m_source.reset();
        EntityTest::TearDown();
    }

    AcDbDatabase* source() const { return m_source.get(); }

    // Layer "Walls" (colour 1, linetype "DASHED"), text style "Notes", application "MYAPP",
    // block "DOOR" (a line from its origin (5,0,0) to (6,0,0)), and in model space: a line on
    // "Walls" with XData, a text in "Notes", a reference to "DOOR" and a 2D polyline.
    void buildSource() {
        AcDbDatabase* s = source();
        const AcDbObjectId dashed =
            testsupport::addRecord<AcDbLinetypeTable>(s, new AcDbLinetypeTableRecord, L"DASHED");
        m_walls = testsupport::addRecord<AcDbLayerTable>(s, new AcDbLayerTableRecord, L"Walls");
        {
            auto layer = open<AcDbLayerTableRecord>(m_walls, AcDb::kForWrite);
            AcCmColor red;
            red.setColorIndex(1);
            layer->setColor(red);
            layer->setLinetypeObjectId(dashed);
        }
        m_notes =
            testsupport::addRecord<AcDbTextStyleTable>(s, new AcDbTextStyleTableRecord, L"Notes");
        testsupport::addRecord<AcDbRegAppTable>(s, new AcDbRegAppTableRecord, L"MYAPP");
        m_door = testsupport::addRecord<AcDbBlockTable>(s, new AcDbBlockTableRecord, L"DOOR");
        {
            auto door = open<AcDbBlockTableRecord>(m_door, AcDb::kForWrite);
            door->setOrigin(AcGePoint3d(5, 0, 0));
        }
        appendEntity(new AcDbLine(AcGePoint3d(5, 0, 0), AcGePoint3d(6, 0, 0)), m_door);

        const AcDbObjectId lineId = appendEntity(
            new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)), s->modelSpaceId());
        {
            auto line = open<AcDbLine>(lineId, AcDb::kForWrite);
            EXPECT_EQ(line->setLayer(m_walls), Acad::eOk);
            resbuf* xdata = acutBuildList(1001, L"MYAPP", 1000, L"tagged", 0);
            EXPECT_EQ(line->setXData(xdata), Acad::eOk);
            acutRelRb(xdata);
        }
        appendEntity(new AcDbText(AcGePoint3d(0, 1, 0), L"label", m_notes, 1.0), s->modelSpaceId());
        appendEntity(new AcDbBlockReference(AcGePoint3d(2, 2, 0), m_door), s->modelSpaceId());
        AcGePoint3dArray points = testsupport::pointArray({{0, 0, 0}, {3, 3, 0}});
        appendEntity(new AcDb2dPolyline(AcDb::k2dSimplePoly, points), s->modelSpaceId());
    }

    AcDbObjectId m_walls;
    AcDbObjectId m_notes;
    AcDbObjectId m_door;

private:
    std::unique_ptr<AcDbDatabase> m_source;
};

TEST_F(InsertTest, InsertModelSpaceBringsWhatItsEntitiesUse) {
    AcDbObjectId block;
    ASSERT_EQ(db()->insert(block, L"IMPORTED", source()), Acad::eOk);
    EXPECT_EQ(block, blockNamed(db(), L"IMPORTED"));
    const std::vector<AcDbObjectId> entities = entitiesOf(block);
    ASSERT_EQ(entities.size(), 4u);

    const AcDbObjectId walls = layerNamed(db(), L"Walls");
    ASSERT_FALSE(walls.isNull());
    {
        auto layer = open<AcDbLayerTableRecord>(walls, AcDb::kForRead);
        EXPECT_EQ(layer->color().colorIndex(), 1);
        EXPECT_EQ(host::recordName(layer->linetypeObjectId()), L"DASHED");
        EXPECT_EQ(layer->linetypeObjectId().database(), db());
    }
    {
        auto line = open<AcDbLine>(entities[0], AcDb::kForRead);
        EXPECT_EQ(line->layerId(), walls);
        EXPECT_EQ(line->ownerId(), block);
        resbuf* xdata = line->xData(L"MYAPP");
        ASSERT_NE(xdata, nullptr);
        EXPECT_STREQ(xdata->rbnext->resval.rstring, L"tagged");
        acutRelRb(xdata);
    }
    {
        auto text = open<AcDbText>(entities[1], AcDb::kForRead);
        EXPECT_EQ(text->textStyle().database(), db());
        EXPECT_EQ(host::recordName(text->textStyle()), L"Notes");
    }
    {
        auto reference = open<AcDbBlockReference>(entities[2], AcDb::kForRead);
        const AcDbObjectId door = blockNamed(db(), L"DOOR");
        EXPECT_EQ(reference->blockTableRecord(), door);
        ASSERT_EQ(entitiesOf(door).size(), 1u);
        EXPECT_TRUE(entity_test::boxIs(entity_test::extentsOf(*reference), AcGePoint3d(2, 2, 0),
                                       AcGePoint3d(3, 2, 0)));
    }
    {
        auto pline = open<AcDb2dPolyline>(entities[3], AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(pline->vertexIterator());
        ASSERT_FALSE(it->done());
        EXPECT_EQ(it->objectId().database(), db());
    }
    EXPECT_FALSE(host::findRecord(db(), db()->regAppTableId(), L"MYAPP").isNull());
    // The source is left as it was.
    EXPECT_EQ(entitiesOf(source()->modelSpaceId()).size(), 4u);
    EXPECT_TRUE(host::openObjects().empty());
}

TEST_F(InsertTest, InsertKeepsTheDrawingsOwnRecordsOfTheSameName) {
    const AcDbObjectId myWalls =
        testsupport::addRecord<AcDbLayerTable>(db(), new AcDbLayerTableRecord, L"WALLS");
    {
        auto layer = open<AcDbLayerTableRecord>(myWalls, AcDb::kForWrite);
        AcCmColor blue;
        blue.setColorIndex(5);
        layer->setColor(blue);
    }
    const AcDbObjectId myDoor =
        testsupport::addRecord<AcDbBlockTable>(db(), new AcDbBlockTableRecord, L"Door");
    appendEntity(new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.0), myDoor);

    AcDbObjectId block;
    ASSERT_EQ(db()->insert(block, L"IMPORTED", source()), Acad::eOk);
    const std::vector<AcDbObjectId> entities = entitiesOf(block);
    {
        auto line = open<AcDbLine>(entities[0], AcDb::kForRead);
        EXPECT_EQ(line->layerId(), myWalls);
        auto layer = open<AcDbLayerTableRecord>(myWalls, AcDb::kForRead);
        EXPECT_EQ(layer->color().colorIndex(), 5);
    }
    auto reference = open<AcDbBlockReference>(entities[2], AcDb::kForRead);
    EXPECT_EQ(reference->blockTableRecord(), myDoor);
    ASSERT_EQ(entitiesOf(myDoor).size(), 1u);
    EXPECT_NE(AcDbCircle::cast(open<AcDbEntity>(entitiesOf(myDoor)[0], AcDb::kForRead).get()),
              nullptr);
}

TEST_F(InsertTest, InsertOneBlockUnderAnotherName) {
    AcDbObjectId block;
    ASSERT_EQ(db()->insert(block, L"DOOR", L"DOOR2", source()), Acad::eOk);
    EXPECT_EQ(block, blockNamed(db(), L"DOOR2"));
    EXPECT_TRUE(blockNamed(db(), L"DOOR").isNull());
    {
        auto record = open<AcDbBlockTableRecord>(block, AcDb::kForRead);
        EXPECT_TRUE(near(record->origin(), AcGePoint3d(5, 0, 0)));
    }
    const std::vector<AcDbObjectId> entities = entitiesOf(block);
    ASSERT_EQ(entities.size(), 1u);
    auto line = open<AcDbLine>(entities[0], AcDb::kForRead);
    EXPECT_TRUE(near(line->endPoint(), AcGePoint3d(6, 0, 0)));
    EXPECT_EQ(db()->insert(block, L"NOSUCH", L"X", source()), Acad::eKeyNotFound);
}

TEST_F(InsertTest, InsertRefusesClashesAndBadArguments) {
    AcDbObjectId block;
    ASSERT_EQ(db()->insert(block, L"IMPORTED", source()), Acad::eOk);
    AcDbObjectId again;
    EXPECT_EQ(db()->insert(again, L"imported", source()), Acad::eDuplicateRecordName);
    EXPECT_TRUE(again.isNull());
    EXPECT_EQ(db()->insert(again, L"DOOR", L"IMPORTED", source()), Acad::eDuplicateRecordName);
    EXPECT_EQ(db()->insert(again, nullptr, source()), Acad::eNullPtr);
    EXPECT_EQ(db()->insert(again, L"X", nullptr), Acad::eNullPtr);
    EXPECT_EQ(db()->insert(again, L"X", db()), Acad::eSelfReference);
    EXPECT_EQ(db()->insert(again, L"bad|name", source()), Acad::eInvalidSymbolTableName);
    EXPECT_TRUE(blockNamed(db(), L"bad|name").isNull());
}

}  // namespace
