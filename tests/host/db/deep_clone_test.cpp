// deepCloneObjects: copies of entities with what they own (vertices, sequence ends, attributes,
// extension dictionaries), the mapping and its order, translated ids, deferred translation,
// undo, and the refusals that copy nothing.
#include <gtest/gtest.h>

#include <memory>

#include "kestrel/host/db/deep_clone.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/harness.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

using entity_test::near;
using entity_test::open;

class DeepCloneTest : public entity_test::EntityTest {
protected:
    AcDbObjectId space() const { return db()->modelSpaceId(); }

    int entitiesIn(AcDbObjectId block) {
        return static_cast<int>(testsupport::entitiesOf(block).size());
    }

    Acad::ErrorStatus cloneOne(AcDbObjectId id, AcDbIdMapping& mapping, bool defer = false) {
        AcDbObjectIdArray ids;
        ids.append(id);
        AcDbObjectId owner = space();
        return db()->deepCloneObjects(ids, owner, mapping, defer);
    }

    // The cloned values of a mapping, in its order.
    static std::vector<AcDbObjectId> clonedValues(const AcDbIdMapping& mapping) {
        std::vector<AcDbObjectId> values;
        AcDbIdMappingIter it(mapping);
        for (it.start(); !it.done(); it.next()) {
            if (it.isCloned()) {
                values.push_back(it.value());
            }
        }
        return values;
    }

    std::vector<AcDbObjectId> vertexIds(AcDbObjectId polyline) {
        auto pline = open<AcDb2dPolyline>(polyline, AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(pline->vertexIterator());
        std::vector<AcDbObjectId> ids;
        for (; !it->done(); it->step()) {
            ids.push_back(it->objectId());
        }
        return ids;
    }
};

TEST_F(DeepCloneTest, DeepCloneCopiesALineInPlace) {
    const AcDbObjectId line = append(new AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6)));
    AcDbIdMapping mapping;
    ASSERT_EQ(cloneOne(line, mapping), Acad::eOk);
    ASSERT_EQ(mapping.numPairs(), 1);
    AcDbIdPair pair(line, AcDbObjectId::kNull, false);
    ASSERT_TRUE(mapping.compute(pair));
    EXPECT_TRUE(pair.isCloned());
    EXPECT_TRUE(pair.isPrimary());
    EXPECT_NE(pair.value(), line);
    EXPECT_EQ(mapping.origDb(), db());
    EXPECT_EQ(entitiesIn(space()), 2);
    auto copy = open<AcDbLine>(pair.value(), AcDb::kForRead);
    EXPECT_TRUE(near(copy->startPoint(), AcGePoint3d(1, 2, 3)));
    EXPECT_TRUE(near(copy->endPoint(), AcGePoint3d(4, 5, 6)));
    EXPECT_EQ(copy->ownerId(), space());
    EXPECT_NE(copy->objectId().handle(), line.handle());
}

TEST_F(DeepCloneTest, DeepCloneCopiesVerticesAndSequenceEndOwnedByTheCopy) {
    AcGePoint3dArray points = testsupport::pointArray({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    const AcDbObjectId original = append(new AcDb2dPolyline(AcDb::k2dSimplePoly, points));
    AcDbIdMapping mapping;
    ASSERT_EQ(cloneOne(original, mapping), Acad::eOk);
    const std::vector<AcDbObjectId> copies = clonedValues(mapping);
    ASSERT_EQ(copies.size(), 5u);  // the polyline first, then three vertices and the end
    const AcDbObjectId copy = copies[0];
    const std::vector<AcDbObjectId> ownVertices = vertexIds(copy);
    ASSERT_EQ(ownVertices.size(), 3u);
    for (const AcDbObjectId& id : ownVertices) {
        auto vertex = open<AcDb2dVertex>(id, AcDb::kForRead);
        EXPECT_EQ(vertex->ownerId(), copy);
    }
    const std::vector<AcDbObjectId> originalVertices = vertexIds(original);
    EXPECT_NE(originalVertices[0], ownVertices[0]);
    {
        auto vertex = open<AcDb2dVertex>(ownVertices[1], AcDb::kForWrite);
        vertex->setPosition(AcGePoint3d(7, 7, 0));
    }
    auto untouched = open<AcDb2dVertex>(originalVertices[1], AcDb::kForRead);
    EXPECT_TRUE(near(untouched->position(), AcGePoint3d(1, 0, 0)));
    auto copied = open<AcDb2dPolyline>(copy, AcDb::kForRead);
    AcDbSequenceEnd* end = nullptr;
    ASSERT_EQ(copied->openSequenceEnd(end, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(end->ownerId(), copy);
    end->close();
}

TEST_F(DeepCloneTest, DeepCloneCopiesAttributesAndTheExtensionDictionary) {
    auto* reference = new AcDbBlockReference(AcGePoint3d(0, 0, 0), AcDbObjectId::kNull);
    const AcDbObjectId id = append(reference);
    {
        auto held = open<AcDbBlockReference>(id, AcDb::kForWrite);
        ASSERT_EQ(held->appendAttribute(new AcDbAttribute(AcGePoint3d(1, 1, 0), L"v", L"T")),
                  Acad::eOk);
        ASSERT_EQ(held->createExtensionDictionary(), Acad::eOk);
        testsupport::putRecord(held->extensionDictionary(), L"DATA", acutBuildList(1, L"kept", 0));
    }
    AcDbIdMapping mapping;
    ASSERT_EQ(cloneOne(id, mapping), Acad::eOk);
    const AcDbObjectId copyId = clonedValues(mapping).front();
    auto copy = open<AcDbBlockReference>(copyId, AcDb::kForRead);
    std::unique_ptr<AcDbObjectIterator> it(copy->attributeIterator());
    ASSERT_FALSE(it->done());
    auto attribute = open<AcDbAttribute>(it->objectId(), AcDb::kForRead);
    EXPECT_EQ(attribute->ownerId(), copyId);
    EXPECT_STREQ(attribute->textStringConst(), L"v");
    auto original = open<AcDbBlockReference>(id, AcDb::kForRead);
    ASSERT_FALSE(copy->extensionDictionary().isNull());
    EXPECT_NE(copy->extensionDictionary(), original->extensionDictionary());
    auto dictionary = open<AcDbDictionary>(copy->extensionDictionary(), AcDb::kForRead);
    EXPECT_EQ(dictionary->ownerId(), copyId);
    EXPECT_TRUE(dictionary->has(L"DATA"));
}

TEST_F(DeepCloneTest, DeepCloneDeferredTranslationIsDoneByTheLastCall) {
    AcGePoint3dArray points = testsupport::pointArray({{0, 0, 0}, {2, 0, 0}});
    const AcDbObjectId original = append(new AcDb2dPolyline(AcDb::k2dSimplePoly, points));
    AcDbIdMapping mapping;
    ASSERT_EQ(cloneOne(original, mapping, true), Acad::eOk);
    const AcDbObjectId copy = clonedValues(mapping).front();
    // Not translated yet: the copy still lists the original's vertices.
    EXPECT_EQ(vertexIds(copy), vertexIds(original));
    AcDbObjectIdArray none;
    AcDbObjectId owner = space();
    ASSERT_EQ(db()->deepCloneObjects(none, owner, mapping, false), Acad::eOk);
    const std::vector<AcDbObjectId> own = vertexIds(copy);
    ASSERT_EQ(own.size(), 2u);
    EXPECT_NE(own[0], vertexIds(original)[0]);
}

TEST_F(DeepCloneTest, DeepCloneIsUndoneWithItsCommand) {
    const AcDbObjectId line = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    ASSERT_EQ(host::beginCommand(L"COPY"), Acad::eOk);
    AcDbIdMapping mapping;
    ASSERT_EQ(cloneOne(line, mapping), Acad::eOk);
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    const AcDbObjectId copy = clonedValues(mapping).front();
    EXPECT_FALSE(copy.isErased());
    ASSERT_EQ(host::undo(1), Acad::eOk);
    EXPECT_TRUE(copy.isErased());
    EXPECT_FALSE(line.isErased());
}

TEST_F(DeepCloneTest, DeepCloneRefusesBadInputAndCopiesNothing) {
    const AcDbObjectId line = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    AcDbIdMapping mapping;
    AcDbObjectIdArray ids;
    ids.append(line);
    ids.append(AcDbObjectId::kNull);
    AcDbObjectId owner = space();
    EXPECT_EQ(db()->deepCloneObjects(ids, owner, mapping), Acad::eNullObjectId);

    AcDbObjectIdArray layer;
    layer.append(db()->layerZero());
    EXPECT_EQ(db()->deepCloneObjects(layer, owner, mapping), Acad::eNotThatKindOfClass);

    AcDbObjectIdArray one;
    one.append(line);
    AcDbObjectId notABlock = db()->layerZero();
    EXPECT_EQ(db()->deepCloneObjects(one, notABlock, mapping), Acad::eNotThatKindOfClass);

    AcDbDatabase other(true, true);
    AcDbObjectId foreignOwner = other.modelSpaceId();
    EXPECT_EQ(db()->deepCloneObjects(one, foreignOwner, mapping), Acad::eWrongDatabase);

    {
        auto held = open<AcDbLine>(line, AcDb::kForWrite);
        held->erase();
    }
    EXPECT_EQ(db()->deepCloneObjects(one, owner, mapping), Acad::eWasErased);
    EXPECT_EQ(mapping.numPairs(), 0);
    EXPECT_EQ(entitiesIn(space()), 0);  // no live copy besides the erased original
}

TEST_F(DeepCloneTest, DeepCloneMappingKeepsOrderAndUniqueKeys) {
    const AcDbObjectId a = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    const AcDbObjectId b = append(new AcDbLine(AcGePoint3d(0, 1, 0), AcGePoint3d(1, 1, 0)));
    AcDbIdMapping mapping;
    ASSERT_EQ(mapping.assign(AcDbIdPair(b, a, false)), Acad::eOk);
    ASSERT_EQ(mapping.assign(AcDbIdPair(a, b, true)), Acad::eOk);
    ASSERT_EQ(mapping.assign(AcDbIdPair(b, b, true)), Acad::eOk);  // replaces, keeps its place
    EXPECT_EQ(mapping.assign(AcDbIdPair()), Acad::eNullObjectId);
    AcDbIdMappingIter it(mapping);
    ASSERT_FALSE(it.done());
    EXPECT_EQ(it.key(), b);
    EXPECT_TRUE(it.isCloned());
    EXPECT_TRUE(it.next());
    EXPECT_EQ(it.key(), a);
    EXPECT_FALSE(it.next());
    EXPECT_TRUE(it.done());
    EXPECT_EQ(it.value(), AcDbObjectId::kNull);
    ASSERT_EQ(mapping.del(b), Acad::eOk);
    EXPECT_EQ(mapping.del(b), Acad::eKeyNotFound);
    AcDbIdPair pair(a, AcDbObjectId::kNull, false);
    ASSERT_TRUE(mapping.compute(pair));
    EXPECT_EQ(pair.value(), b);
}

}  // namespace
