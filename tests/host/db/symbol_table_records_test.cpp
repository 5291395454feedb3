// Table records: layer states and colour rules, linetype dashes, text-style and view ranges,
// viewport corners, block records with their entities, and AcCmColor.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/color.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/db/view_table.h"
#include "kestrel/host/db/viewport_table.h"
#include "tests/host/db/tables_fixture.h"

// The simplest entity there is: only the base properties.
class TablesTestEntity : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(TablesTestEntity);
    TablesTestEntity() = default;
};
ACRX_CONS_DEFINE_MEMBERS(TablesTestEntity, AcDbEntity, 0);

namespace {

using tables_test::Held;
using tables_test::open;

class TablesRecordsTest : public tables_test::DatabaseTest {
protected:
    // Appends a new entity to the block and closes it; its id.
    static AcDbObjectId append(AcDbBlockTableRecord* block) {
        auto* entity = new TablesTestEntity();
        AcDbObjectId id;
        EXPECT_EQ(block->appendAcDbEntity(id, entity), Acad::eOk);
        entity->close();
        return id;
    }

    // The entity ids an iterator made with these options walks.
    static std::vector<AcDbObjectId> walk(const AcDbBlockTableRecord* block, bool forward,
                                          bool skipDeleted) {
        AcDbBlockTableRecordIterator* raw = nullptr;
        EXPECT_EQ(block->newIterator(raw, forward, skipDeleted), Acad::eOk);
        std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
        std::vector<AcDbObjectId> ids;
        for (; !it->done(); it->step(forward, skipDeleted)) {
            AcDbObjectId id;
            EXPECT_EQ(it->getEntityId(id), Acad::eOk);
            ids.push_back(id);
        }
        return ids;
    }
};

TEST_F(TablesRecordsTest, TablesLayerStatesAndColour) {
    AcDbLayerTableRecord layer;
    EXPECT_EQ(layer.color().colorIndex(), 7);
    EXPECT_FALSE(layer.isOff());
    EXPECT_FALSE(layer.isFrozen());
    EXPECT_FALSE(layer.isLocked());
    EXPECT_TRUE(layer.isPlottable());

    AcCmColor color;
    EXPECT_EQ(layer.setColor(color), Acad::eInvalidInput);  // by layer
    color.setColorIndex(0);
    EXPECT_EQ(layer.setColor(color), Acad::eInvalidInput);  // by block
    color.setColorIndex(1);
    EXPECT_EQ(layer.setColor(color), Acad::eOk);
    EXPECT_EQ(layer.color().colorIndex(), 1);
    color.setRGB(10, 20, 30);
    EXPECT_EQ(layer.setColor(color), Acad::eOk);
    EXPECT_EQ(layer.color(), color);

    EXPECT_EQ(layer.setIsOff(true), Acad::eOk);
    EXPECT_EQ(layer.setIsFrozen(true), Acad::eOk);
    EXPECT_EQ(layer.setIsLocked(true), Acad::eOk);
    EXPECT_TRUE(layer.isOff() && layer.isFrozen() && layer.isLocked());
    EXPECT_EQ(layer.setIsLocked(false), Acad::eOk);
    EXPECT_TRUE(layer.isFrozen());
    EXPECT_FALSE(layer.isLocked());
}

TEST_F(TablesRecordsTest, TablesAddedLayerGetsContinuousUnlessItHasALinetype) {
    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForWrite);
    auto* plain = new AcDbLayerTableRecord();
    plain->setName(L"Plain");
    EXPECT_TRUE(plain->linetypeObjectId().isNull());
    AcDbObjectId plainId;
    ASSERT_EQ(table->add(plainId, plain), Acad::eOk);
    EXPECT_EQ(plain->linetypeObjectId(), db()->continuousLinetype());
    plain->close();

    auto* styled = new AcDbLayerTableRecord();
    styled->setName(L"Styled");
    styled->setLinetypeObjectId(db()->byBlockLinetype());
    AcDbObjectId styledId;
    ASSERT_EQ(table->add(styledId, styled), Acad::eOk);
    EXPECT_EQ(styled->linetypeObjectId(), db()->byBlockLinetype());
    styled->close();
}

TEST_F(TablesRecordsTest, TablesLayerRefusesFreezingTheCurrentLayerAndWritesWhileRead) {
    {
        auto zero = open<AcDbLayerTableRecord>(db()->layerZero(), AcDb::kForWrite);
        EXPECT_EQ(zero->setIsFrozen(true), Acad::eInvalidLayer);
        EXPECT_FALSE(zero->isFrozen());
        EXPECT_EQ(zero->setIsOff(true), Acad::eOk);
    }
    auto zero = open<AcDbLayerTableRecord>(db()->layerZero(), AcDb::kForRead);
    EXPECT_TRUE(zero->isOff());
    EXPECT_EQ(zero->setIsOff(false), Acad::eNotOpenForWrite);
    EXPECT_EQ(zero->setIsLocked(true), Acad::eNotOpenForWrite);
    EXPECT_EQ(zero->setLinetypeObjectId(AcDbObjectId::kNull), Acad::eNotOpenForWrite);
    EXPECT_TRUE(zero->isOff());
    EXPECT_FALSE(zero->isLocked());
    EXPECT_EQ(zero->linetypeObjectId(), db()->continuousLinetype());
}

TEST_F(TablesRecordsTest, TablesLinetypeDashes) {
    AcDbLinetypeTableRecord linetype;
    ASSERT_EQ(linetype.setNumDashes(3), Acad::eOk);
    EXPECT_EQ(linetype.setDashLengthAt(0, 0.5), Acad::eOk);
    EXPECT_EQ(linetype.setDashLengthAt(1, -0.25), Acad::eOk);
    EXPECT_EQ(linetype.setTextAt(2, L"GAS"), Acad::eOk);
    EXPECT_EQ(linetype.setShapeScaleAt(2, 0.1), Acad::eOk);
    EXPECT_EQ(linetype.setShapeOffsetAt(2, AcGeVector2d(-0.1, -0.05)), Acad::eOk);
    EXPECT_EQ(linetype.setDashLengthAt(3, 1.0), Acad::eInvalidIndex);
    EXPECT_EQ(linetype.setTextAt(-1, L"x"), Acad::eInvalidIndex);
    EXPECT_EQ(linetype.setNumDashes(-1), Acad::eInvalidInput);
    EXPECT_EQ(linetype.setShapeNumberAt(0, -3), Acad::eOutOfRange);

    EXPECT_EQ(linetype.numDashes(), 3);
    EXPECT_EQ(linetype.dashLengthAt(1), -0.25);
    EXPECT_EQ(linetype.dashLengthAt(7), 0.0);
    const wchar_t* text = nullptr;
    ASSERT_EQ(linetype.textAt(2, text), Acad::eOk);
    EXPECT_STREQ(text, L"GAS");
    EXPECT_EQ(linetype.textAt(3, text), Acad::eInvalidIndex);
    EXPECT_EQ(linetype.shapeOffsetAt(2).y, -0.05);

    ASSERT_EQ(linetype.setNumDashes(1), Acad::eOk);
    EXPECT_EQ(linetype.dashLengthAt(0), 0.5);
    EXPECT_EQ(linetype.textAt(1, text), Acad::eInvalidIndex);
}

TEST_F(TablesRecordsTest, TablesTextStyleAndViewRanges) {
    AcDbTextStyleTableRecord style;
    EXPECT_EQ(style.xScale(), 1.0);
    EXPECT_EQ(style.setXScale(0.0), Acad::eOutOfRange);
    EXPECT_EQ(style.setXScale(NAN), Acad::eOutOfRange);
    EXPECT_EQ(style.setXScale(0.8), Acad::eOk);
    EXPECT_EQ(style.setTextSize(-1.0), Acad::eOutOfRange);
    EXPECT_EQ(style.setTextSize(2.5), Acad::eOk);
    EXPECT_EQ(style.setObliquingAngle(INFINITY), Acad::eOutOfRange);
    EXPECT_EQ(style.setObliquingAngle(0.25), Acad::eOk);
    EXPECT_EQ(style.xScale(), 0.8);
    EXPECT_EQ(style.textSize(), 2.5);
    EXPECT_EQ(style.obliquingAngle(), 0.25);
    const wchar_t* file = nullptr;
    style.fileName(file);
    EXPECT_STREQ(file, L"txt");

    // A view made for the editor is not in a database: every setter works without an open.
    AcDbViewTableRecord view;
    EXPECT_EQ(view.setCenterPoint(AcGePoint2d(5.0, 6.0)), Acad::eOk);
    EXPECT_EQ(view.setHeight(0.0), Acad::eOutOfRange);
    EXPECT_EQ(view.setWidth(-2.0), Acad::eOutOfRange);
    EXPECT_EQ(view.setLensLength(0.0), Acad::eOutOfRange);
    EXPECT_EQ(view.setViewDirection(AcGeVector3d(0.0, 0.0, 0.0)), Acad::eInvalidInput);
    EXPECT_EQ(view.setHeight(10.0), Acad::eOk);
    EXPECT_EQ(view.setFrontClipEnabled(true), Acad::eOk);
    EXPECT_EQ(view.setFrontClipAtEye(false), Acad::eOk);
    EXPECT_EQ(view.setIsPaperspaceView(true), Acad::eOk);
    EXPECT_TRUE(view.frontClipEnabled());
    EXPECT_FALSE(view.backClipEnabled());
    EXPECT_FALSE(view.perspectiveEnabled());
    EXPECT_FALSE(view.frontClipAtEye());
    EXPECT_TRUE(view.isPaperspaceView());
    EXPECT_EQ(view.centerPoint().x, 5.0);
    EXPECT_EQ(view.height(), 10.0);
    EXPECT_EQ(view.width(), 1.0);
}

TEST_F(TablesRecordsTest, TablesViewportCornersStayOrdered) {
    AcDbViewportTableRecord viewport;
    EXPECT_EQ(viewport.setLowerLeftCorner(AcGePoint2d(0.5, 0.5)), Acad::eOk);
    EXPECT_EQ(viewport.setUpperRightCorner(AcGePoint2d(0.4, 0.9)), Acad::eInvalidInput);
    EXPECT_EQ(viewport.setUpperRightCorner(AcGePoint2d(1.5, 0.9)), Acad::eInvalidInput);
    EXPECT_EQ(viewport.setLowerLeftCorner(AcGePoint2d(1.0, 0.0)), Acad::eInvalidInput);
    EXPECT_EQ(viewport.setUpperRightCorner(AcGePoint2d(0.75, 0.75)), Acad::eOk);
    EXPECT_EQ(viewport.lowerLeftCorner().x, 0.5);
    EXPECT_EQ(viewport.upperRightCorner().y, 0.75);
    EXPECT_EQ(viewport.setUcs(AcGePoint3d(), AcGeVector3d(), AcGeVector3d(0, 1, 0)),
              Acad::eInvalidInput);
}

TEST_F(TablesRecordsTest, TablesBlockRecordsOwnTheirEntitiesInOrder) {
    auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForWrite);
    const AcDbObjectId first = append(model.get());
    const AcDbObjectId second = append(model.get());
    const AcDbObjectId third = append(model.get());
    EXPECT_EQ(walk(model.get(), true, true), (std::vector<AcDbObjectId>{first, second, third}));
    EXPECT_EQ(walk(model.get(), false, true), (std::vector<AcDbObjectId>{third, second, first}));
    {
        auto entity = open<AcDbEntity>(second, AcDb::kForWrite);
        EXPECT_EQ(entity->blockId(), db()->modelSpaceId());
        EXPECT_EQ(entity->layerId(), db()->clayer());
        ASSERT_EQ(entity->erase(), Acad::eOk);
    }
    EXPECT_EQ(walk(model.get(), true, true), (std::vector<AcDbObjectId>{first, third}));
    EXPECT_EQ(walk(model.get(), true, false), (std::vector<AcDbObjectId>{first, second, third}));

    AcDbBlockTableRecordIterator* raw = nullptr;
    ASSERT_EQ(model->newIterator(raw), Acad::eOk);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    AcDbEntity* entity = nullptr;
    ASSERT_EQ(it->getEntity(entity, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(entity->objectId(), first);
    entity->close();
    ASSERT_EQ(it->seek(second), Acad::eOk);
    EXPECT_EQ(it->getEntity(entity, AcDb::kForRead), Acad::eWasErased);
    ASSERT_EQ(it->getEntity(entity, AcDb::kForRead, true), Acad::eOk);
    entity->close();
    EXPECT_EQ(it->seek(db()->layerZero()), Acad::eInvalidInput);
    it->start(false);
    AcDbObjectId last;
    ASSERT_EQ(it->getEntityId(last), Acad::eOk);
    EXPECT_EQ(last, third);
}

TEST_F(TablesRecordsTest, TablesAppendRefusesAndChangesNothing) {
    auto* entity = new TablesTestEntity();
    AcDbObjectId id;
    {
        auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForRead);
        EXPECT_EQ(model->appendAcDbEntity(id, entity), Acad::eNotOpenForWrite);
        EXPECT_EQ(model->appendAcDbEntity(id, nullptr), Acad::eNullObjectPointer);
        EXPECT_TRUE(walk(model.get(), true, false).empty());
    }
    AcDbBlockTableRecord loose;
    EXPECT_EQ(loose.appendAcDbEntity(id, entity), Acad::eNoDatabase);
    EXPECT_TRUE(entity->objectId().isNull());
    {
        auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForWrite);
        ASSERT_EQ(model->appendAcDbEntity(id, entity), Acad::eOk);
        EXPECT_EQ(model->appendAcDbEntity(id, entity), Acad::eAlreadyInDb);
    }
    entity->close();
}

TEST_F(TablesRecordsTest, TablesBlockDefinitionErasesItsEntities) {
    AcDbObjectId blockId;
    AcDbObjectId entityId;
    {
        auto blocks = open<AcDbBlockTable>(db()->blockTableId(), AcDb::kForWrite);
        auto* block = new AcDbBlockTableRecord();
        ASSERT_EQ(block->setName(L"Door"), Acad::eOk);
        ASSERT_EQ(blocks->add(blockId, block), Acad::eOk);
        entityId = append(block);
        block->close();
    }
    {
        auto block = open<AcDbBlockTableRecord>(blockId, AcDb::kForWrite);
        EXPECT_FALSE(block->isLayout());
        ASSERT_EQ(block->erase(), Acad::eOk);
    }
    EXPECT_TRUE(entityId.isErased());
    auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForWrite);
    EXPECT_TRUE(model->isLayout());
    EXPECT_EQ(model->erase(), Acad::eCannotBeErased);
}

TEST_F(TablesRecordsTest, TablesAppendUndoes) {
    ASSERT_EQ(host::beginCommand(L"APPEND"), Acad::eOk);
    AcDbObjectId id;
    {
        auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForWrite);
        id = append(model.get());
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(1), Acad::eOk);
    {
        auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForRead);
        EXPECT_TRUE(walk(model.get(), true, false).empty());
    }
    EXPECT_TRUE(id.isErased());
    ASSERT_EQ(host::redo(1), Acad::eOk);
    auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForRead);
    EXPECT_EQ(walk(model.get(), true, true), std::vector<AcDbObjectId>{id});
}

TEST(TablesColor, TablesColorMethodsAndIndexes) {
    AcCmColor color;
    EXPECT_TRUE(color.isByLayer());
    EXPECT_EQ(color.colorIndex(), 256);
    EXPECT_EQ(color.setColorIndex(0), Acad::eOk);
    EXPECT_TRUE(color.isByBlock());
    EXPECT_EQ(color.setColorIndex(258), Acad::eOutOfRange);
    EXPECT_TRUE(color.isByBlock());
    EXPECT_EQ(color.setColorIndex(257), Acad::eOk);
    EXPECT_TRUE(color.isNone());
    EXPECT_EQ(color.setColorIndex(42), Acad::eOk);
    EXPECT_TRUE(color.isByACI());
    EXPECT_EQ(color.colorIndex(), 42);

    AcCmColor packed;
    ASSERT_EQ(packed.setColor(color.color()), Acad::eOk);
    EXPECT_EQ(packed, color);
    EXPECT_EQ(packed.setColor((0xC3u << 24) | 300u), Acad::eInvalidInput);
    EXPECT_EQ(packed.setColor(0x12000001u), Acad::eInvalidInput);
    EXPECT_EQ(packed, color);

    color.setRGB(1, 2, 3);
    EXPECT_TRUE(color.isByColor());
    EXPECT_EQ(color.red(), 1);
    EXPECT_EQ(color.green(), 2);
    EXPECT_EQ(color.blue(), 3);
    EXPECT_EQ(color.colorIndex(), 7);
    ASSERT_EQ(packed.setColor(color.color()), Acad::eOk);
    EXPECT_EQ(packed.blue(), 3);
    color.setColorMethod(AcCmColor::kByACI);
    EXPECT_EQ(color.colorIndex(), 7);
    EXPECT_EQ(color.red(), 0);
}

}  // namespace
