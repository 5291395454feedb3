// The layer table and layer record pointers: creating layers with and without properties,
// the current layer through CLAYER, look-ups and listings, collecting, moving and deleting the
// entities of a layer, and what each call leaves open.
#include "kestrel/drawing/layer_table_ptr.h"

#include "drawing_fixture.h"
#include "kestrel/host/app/system_variables.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/resbuf.h"

namespace {

using drawing_test::DrawingTest;
using drawing_test::writable;

class DrawingLayerTest : public DrawingTest {
protected:
    // Adds the layer name (closed) and returns its id.
    AcDbObjectId addLayer(const wchar_t* name) {
        CVLKCLayerTablePtr table;
        CVLKCLayerPtr layer;
        EXPECT_TRUE(table.createLayer(name, layer, false));
        return layer.getId();
    }

    // A line on the layer, appended to block (model space by default).
    AcDbObjectId lineOn(AcDbObjectId layerId, AcDbObjectId block = AcDbObjectId::kNull) {
        auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
        line->setDatabaseDefaults(db());
        EXPECT_EQ(line->setLayer(layerId), Acad::eOk);
        return append(line, block);
    }

    static AcDbObjectId layerOf(AcDbObjectId entityId) {
        return testsupport::open<AcDbEntity>(entityId)->layerId();
    }

    static bool isErased(AcDbObjectId id) {
        return testsupport::open<AcDbObject>(id, AcDb::kForRead, true)->isErased();
    }

    static CString currentLayerVariable() {
        resbuf value{};
        EXPECT_EQ(acedGetVar(L"CLAYER", &value), RTNORM);
        CString name(value.resval.rstring);
        acutDelString(value.resval.rstring);
        return name;
    }
};

TEST_F(DrawingLayerTest, DrawingLayersCreateAddsALayerHeldForWrite) {
    CVLKCLayerTablePtr table;
    AcDbObjectId id;
    {
        CVLKCLayerPtr layer;
        ASSERT_TRUE(table.createLayer(L"Walls", layer, false));
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer.mode(), AcDb::kForWrite);
        id = layer->objectId();
        const std::vector<host::OpenObject> open = host::openObjects();
        ASSERT_EQ(open.size(), 1u);
        EXPECT_EQ(open[0].id, id);
        EXPECT_EQ(open[0].mode, AcDb::kForWrite);
        // A new layer keeps the host's defaults.
        EXPECT_EQ(layer->color().colorIndex(), 7);
        EXPECT_EQ(layer->linetypeObjectId(), db()->continuousLinetype());
        EXPECT_FALSE(layer->isOff());
    }
    EXPECT_TRUE(host::openObjects().empty());
    EXPECT_EQ(db()->clayer(), db()->layerZero());

    // The second call opens the same record for write and adds nothing.
    CVLKCLayerPtr again;
    ASSERT_TRUE(table.createLayer(L"WALLS", again, false));
    EXPECT_EQ(again.getId(), id);
    EXPECT_EQ(again.mode(), AcDb::kForWrite);
    again.close();
    CStringArray names;
    EXPECT_EQ(table.allLayerNames(names), 2);
}

TEST_F(DrawingLayerTest, DrawingLayersCreateCanMakeTheLayerCurrent) {
    CVLKCLayerTablePtr table;
    CVLKCLayerPtr layer;
    ASSERT_TRUE(table.createLayer(L"Doors", layer, true));
    EXPECT_EQ(layer.mode(), AcDb::kForWrite);
    EXPECT_EQ(db()->clayer(), layer.getId());
    EXPECT_EQ(currentLayerVariable(), CString(L"Doors"));
}

TEST_F(DrawingLayerTest, DrawingLayersCreateRefusesBadNamesAndLeavesNothing) {
    CVLKCLayerTablePtr table;
    CVLKCLayerPtr layer;
    EXPECT_FALSE(table.createLayer(nullptr, layer, false));
    EXPECT_EQ(table.status(), Acad::eNullPtr);
    EXPECT_FALSE(table.createLayer(L"a<b", layer, false));
    EXPECT_EQ(table.status(), Acad::eInvalidSymbolTableName);
    EXPECT_FALSE(table.createLayer(L"", layer, true));
    EXPECT_EQ(layer, nullptr);
    CStringArray names;
    EXPECT_EQ(table.allLayerNames(names), 1);
    EXPECT_EQ(db()->clayer(), db()->layerZero());
}

TEST_F(DrawingLayerTest, DrawingLayersCreateWithPropertiesSetsColourStatesAndLinetype) {
    CVLKCLayerTablePtr table;
    ASSERT_TRUE(table.createLayer(L"Plain", 0, false, L"CONTINUOUS", false, false, false));
    ASSERT_TRUE(table.createLayer(L"Red", 1, false, L"Continuous", true, true, true));
    ASSERT_TRUE(table.createLayer(L"Odd", 256, false, nullptr, false, false, true));
    EXPECT_TRUE(host::openObjects().empty());

    CVLKCLayerPtr plain(L"Plain", AcDb::kForRead);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->color().colorIndex(), 7);
    EXPECT_EQ(plain->linetypeObjectId(), db()->continuousLinetype());
    CVLKCLayerPtr red(L"Red", AcDb::kForRead);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->color().colorIndex(), 1);
    EXPECT_TRUE(red->isOff());
    EXPECT_TRUE(red->isFrozen());
    EXPECT_TRUE(red->isLocked());
    CVLKCLayerPtr odd(L"Odd", AcDb::kForRead);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->color().colorIndex(), 7);
    EXPECT_TRUE(odd->isLocked());
    EXPECT_FALSE(odd->isFrozen());
}

TEST_F(DrawingLayerTest, DrawingLayersCreateWithPropertiesFindsTheLinetype) {
    const AcDbObjectId dashed =
        testsupport::addRecord<AcDbLinetypeTable>(db(), new AcDbLinetypeTableRecord(), L"Dashed");
    CVLKCLayerTablePtr table;
    ASSERT_TRUE(table.createLayer(L"A", 3, false, L"dashed", false, false, false));
    // A linetype the drawing lacks falls back to CONTINUOUS.
    ASSERT_TRUE(table.createLayer(L"B", 3, false, L"Hidden", false, false, false));
    EXPECT_EQ(CVLKCLayerPtr(L"A", AcDb::kForRead)->linetypeObjectId(), dashed);
    EXPECT_EQ(CVLKCLayerPtr(L"B", AcDb::kForRead)->linetypeObjectId(), db()->continuousLinetype());

    // Called again on an existing layer, the member changes it.
    ASSERT_TRUE(table.createLayer(L"A", 5, true, L"Hidden", false, false, false));
    CVLKCLayerPtr a(L"A", AcDb::kForRead);
    EXPECT_EQ(a->color().colorIndex(), 5);
    EXPECT_EQ(a->linetypeObjectId(), db()->continuousLinetype());
    EXPECT_EQ(db()->clayer(), a.getId());
}

TEST_F(DrawingLayerTest, DrawingLayersFreezingTheCurrentLayerIsNotReported) {
    CVLKCLayerTablePtr table;
    EXPECT_TRUE(table.createLayer(L"0", 2, false, L"Continuous", false, true, false));
    CVLKCLayerPtr zero(L"0", AcDb::kForRead);
    EXPECT_FALSE(zero->isFrozen());
    EXPECT_EQ(zero->color().colorIndex(), 2);
}

TEST_F(DrawingLayerTest, DrawingLayersCurrentLayerByNameAndId) {
    const AcDbObjectId mixed = addLayer(L"MixedCase");
    CVLKCLayerTablePtr table;
    EXPECT_EQ(table.getCurrent(), db()->layerZero());
    CString name;
    ASSERT_TRUE(table.getCurrent(name));
    EXPECT_EQ(name, CString(L"0"));

    EXPECT_TRUE(table.setCurrent(L"mixedcase"));
    EXPECT_EQ(db()->clayer(), mixed);
    EXPECT_EQ(table.getCurrent(), mixed);
    ASSERT_TRUE(table.getCurrent(name));
    EXPECT_EQ(name, CString(L"MixedCase"));

    EXPECT_FALSE(table.setCurrent(L"Missing"));
    EXPECT_FALSE(table.setCurrent(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(db()->clayer(), mixed);

    EXPECT_TRUE(table.setCurrent(db()->layerZero()));
    EXPECT_EQ(db()->clayer(), db()->layerZero());
    // An id that names no symbol-table record.
    const AcDbObjectId line = lineOn(mixed);
    EXPECT_FALSE(table.setCurrent(line));
    EXPECT_EQ(table.status(), Acad::eNotThatKindOfClass);
    EXPECT_FALSE(table.setCurrent(AcDbObjectId::kNull));
    EXPECT_EQ(db()->clayer(), db()->layerZero());
}

TEST_F(DrawingLayerTest, DrawingLayersNamesAndIds) {
    const AcDbObjectId walls = addLayer(L"Walls");
    CVLKCLayerTablePtr table;
    AcDbObjectId id;
    ASSERT_TRUE(table.getLayerObjectId(L"walls", id));
    EXPECT_EQ(id, walls);
    AcDbObjectId untouched = db()->layerZero();
    EXPECT_FALSE(table.getLayerObjectId(L"Roof", untouched));
    EXPECT_EQ(untouched, db()->layerZero());
    EXPECT_FALSE(table.getLayerObjectId(nullptr, untouched));

    CString name(L"before");
    ASSERT_TRUE(table.getLayerName(walls, name));
    EXPECT_EQ(name, CString(L"Walls"));
    // Any symbol-table record has a name; other objects are refused.
    ASSERT_TRUE(table.getLayerName(db()->continuousLinetype(), name));
    EXPECT_EQ(name, CString(L"Continuous"));
    EXPECT_FALSE(table.getLayerName(lineOn(walls), name));
    EXPECT_EQ(table.status(), Acad::eNotThatKindOfClass);
    EXPECT_EQ(name, CString(L"Continuous"));

    CStringArray names;
    names.Add(L"stale");
    ASSERT_EQ(table.allLayerNames(names), 2);
    EXPECT_EQ(names[0], CString(L"0"));
    EXPECT_EQ(names[1], CString(L"Walls"));
    AcDbObjectIdArray ids;
    ids.append(walls);
    ASSERT_EQ(table.allLayerObjectIds(ids), 2);
    EXPECT_EQ(ids[0], db()->layerZero());
    EXPECT_EQ(ids[1], walls);
}

TEST_F(DrawingLayerTest, DrawingLayersListingsSkipErasedLayers) {
    const AcDbObjectId gone = addLayer(L"Gone");
    addLayer(L"Kept");
    {
        CVLKCLayerPtr layer(gone, AcDb::kForWrite);
        ASSERT_EQ(layer->erase(true), Acad::eOk);
    }
    CVLKCLayerTablePtr table;
    CStringArray names;
    ASSERT_EQ(table.allLayerNames(names), 2);
    EXPECT_EQ(names[1], CString(L"Kept"));
}

TEST_F(DrawingLayerTest, DrawingLayersWithoutWorkingDatabase) {
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    CVLKCLayerTablePtr table;
    CStringArray names;
    names.Add(L"kept");
    EXPECT_EQ(table.allLayerNames(names), 0);
    EXPECT_EQ(table.status(), Acad::eNoWorkingDatabase);
    EXPECT_EQ(names.GetSize(), 1);
    CVLKCLayerPtr layer;
    EXPECT_FALSE(table.createLayer(L"X", layer, false));
    EXPECT_FALSE(table.setCurrent(L"0"));
    EXPECT_TRUE(table.getCurrent().isNull());
    acdbHostApplicationServices()->setWorkingDatabase(db());
}

TEST_F(DrawingLayerTest, DrawingLayerPtrOpensAnyObjectAndLeavesWhatItHeldOpen) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId line = lineOn(walls);
    {
        CVLKCLayerPtr byName(L"WALLS", AcDb::kForRead);
        EXPECT_EQ(byName.getId(), walls);
        EXPECT_EQ(byName.status(), Acad::eOk);
    }
    CVLKCLayerPtr missing(L"Roof", AcDb::kForRead);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(missing.status(), Acad::eKeyNotFound);

    // No class test: a line opens as a layer does, holds no entities, and is what deleteLayer
    // erases.
    CVLKCLayerTablePtr table;
    {
        CVLKCLayerPtr notALayer;
        ASSERT_TRUE(table.getLayer(line, notALayer));
        EXPECT_EQ(notALayer.status(), Acad::eOk);
        EXPECT_EQ(notALayer.getId(), line);
        AcDbObjectIdArray ids;
        EXPECT_EQ(notALayer.getAllEntity(ids), 0);
    }
    EXPECT_TRUE(table.deleteLayer(line));
    EXPECT_TRUE(isErased(line));
    EXPECT_FALSE(isErased(walls));

    // A record already held is not closed by open or createLayer: it stays open.
    CVLKCLayerPtr layer(walls, AcDb::kForWrite);
    AcDbLayerTableRecord* first = layer;
    ASSERT_TRUE(layer.open(db()->layerZero(), AcDb::kForRead));
    EXPECT_FALSE(writable(walls));
    first->close();
    AcDbLayerTableRecord* second = layer;
    ASSERT_TRUE(table.createLayer(L"Roof", layer, false));
    EXPECT_EQ(layer.mode(), AcDb::kForWrite);
    EXPECT_FALSE(writable(db()->layerZero()));
    second->close();
    AcDbLayerTableRecord* roof = layer;
    EXPECT_FALSE(layer.open(AcDbObjectId::kNull, AcDb::kForRead));
    EXPECT_EQ(layer, nullptr);
    roof->close();
}

TEST_F(DrawingLayerTest, DrawingLayerPtrGetIdKeepsWriteMode) {
    const AcDbObjectId walls = addLayer(L"Walls");
    CVLKCLayerPtr layer(walls, AcDb::kForWrite);
    EXPECT_EQ(layer.getId(), walls);
    EXPECT_EQ(layer.mode(), AcDb::kForWrite);
    const std::vector<host::OpenObject> open = host::openObjects();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0].mode, AcDb::kForWrite);
    EXPECT_EQ(layer->setIsLocked(true), Acad::eOk);

    CVLKCLayerPtr empty;
    EXPECT_TRUE(empty.getId().isNull());
}

TEST_F(DrawingLayerTest, DrawingLayerPtrCollectsEntitiesInEveryBlock) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId block = addBlock(L"Door");
    const AcDbObjectId inModel = lineOn(walls);
    lineOn(db()->layerZero());
    const AcDbObjectId inBlock = lineOn(walls, block);
    const AcDbObjectId inPaper = lineOn(walls, db()->paperSpaceId());
    const AcDbObjectId erased = lineOn(walls);
    ASSERT_EQ(testsupport::open<AcDbObject>(erased, AcDb::kForWrite)->erase(true), Acad::eOk);

    CVLKCLayerPtr layer(walls, AcDb::kForRead);
    AcDbObjectIdArray ids;
    ids.append(walls);
    ASSERT_EQ(layer.getAllEntity(ids), 3);
    EXPECT_EQ(ids[0], inModel);
    EXPECT_EQ(ids[1], inPaper);
    EXPECT_EQ(ids[2], inBlock);

    CVLKCLayerPtr empty;
    EXPECT_EQ(empty.getAllEntity(ids), 0);
    EXPECT_EQ(ids.length(), 0);
}

TEST_F(DrawingLayerTest, DrawingLayerPtrMovesEntities) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId a = lineOn(db()->layerZero());
    const AcDbObjectId b = lineOn(db()->layerZero());
    const AcDbObjectId c = lineOn(db()->layerZero());
    {
        CVLKCLayerPtr layer(walls, AcDb::kForWrite);
        EXPECT_TRUE(layer.moveEntityToLayer(a));
        EXPECT_EQ(layer.mode(), AcDb::kForWrite);
        EXPECT_FALSE(layer.moveEntityToLayer(walls));
        EXPECT_EQ(layer.status(), Acad::eNotThatKindOfClass);
    }
    EXPECT_EQ(layerOf(a), walls);
    EXPECT_TRUE(host::openObjects().empty());

    CVLKCLayerPtr layer(walls, AcDb::kForRead);
    AcDbObjectIdArray list;
    list.append(b);
    list.append(AcDbObjectId::kNull);
    list.append(c);
    EXPECT_FALSE(layer.moveEntityToLayer(list));
    EXPECT_EQ(layer.status(), Acad::eNullObjectId);
    EXPECT_EQ(layerOf(b), walls);
    EXPECT_EQ(layerOf(c), db()->layerZero());

    list.removeAt(1);
    EXPECT_TRUE(layer.moveEntityToLayer(list));
    EXPECT_EQ(layerOf(c), walls);
    EXPECT_TRUE(layer.moveEntityToLayer(AcDbObjectIdArray()));
    EXPECT_EQ(layer.mode(), AcDb::kForRead);

    // A record held for write is lowered around the moves and raised again.
    const AcDbObjectId zero = db()->layerZero();
    {
        CVLKCLayerPtr back(zero, AcDb::kForWrite);
        EXPECT_TRUE(back.moveEntityToLayer(list));
        EXPECT_EQ(back.mode(), AcDb::kForWrite);
        EXPECT_EQ(back->setIsLocked(false), Acad::eOk);
    }
    EXPECT_EQ(layerOf(b), zero);

    CVLKCLayerPtr empty;
    EXPECT_FALSE(empty.moveEntityToLayer(a));
    EXPECT_FALSE(empty.moveEntityToLayer(list));
    EXPECT_EQ(empty.status(), Acad::eNullObjectPointer);
}

TEST_F(DrawingLayerTest, DrawingLayersDeleteErasesTheLayerAndItsEntities) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId block = addBlock(L"Door");
    const AcDbObjectId inModel = lineOn(walls);
    const AcDbObjectId inBlock = lineOn(walls, block);
    const AcDbObjectId other = lineOn(db()->layerZero());

    CVLKCLayerTablePtr table;
    ASSERT_TRUE(table.deleteLayer(L"walls"));
    EXPECT_TRUE(isErased(walls));
    EXPECT_TRUE(isErased(inModel));
    EXPECT_TRUE(isErased(inBlock));
    EXPECT_FALSE(isErased(other));
    AcDbObjectId id;
    EXPECT_FALSE(table.getLayerObjectId(L"Walls", id));

    EXPECT_FALSE(table.deleteLayer(L"Walls"));
    EXPECT_FALSE(table.deleteLayer(static_cast<const wchar_t*>(nullptr)));
    EXPECT_FALSE(isErased(other));
}

TEST_F(DrawingLayerTest, DrawingLayersDeleteOfTheCurrentLayerErasesOnlyItsEntities) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId line = lineOn(walls);
    CVLKCLayerTablePtr table;
    ASSERT_TRUE(table.setCurrent(L"Walls"));
    EXPECT_FALSE(table.deleteLayer(walls));
    EXPECT_EQ(table.status(), Acad::eCannotBeErased);
    EXPECT_TRUE(isErased(line));
    EXPECT_FALSE(isErased(walls));
}

TEST_F(DrawingLayerTest, DrawingLayersDeleteOfALayerOpenElsewhereLosesNothing) {
    const AcDbObjectId walls = addLayer(L"Walls");
    const AcDbObjectId line = lineOn(walls);
    CVLKCLayerPtr reader(walls, AcDb::kForRead);
    CVLKCLayerTablePtr table;
    EXPECT_FALSE(table.deleteLayer(walls));
    EXPECT_EQ(table.status(), Acad::eWasOpenForRead);
    EXPECT_FALSE(isErased(line));
}

}  // namespace
