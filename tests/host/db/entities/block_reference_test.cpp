// Block references: the block transform, extents through the block (non-uniform scaling,
// nesting, self-reference), attributes that follow transforms or stop them, erasure with the
// reference, explode and filing.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;
using entity_test::open;

constexpr double kPi = 3.14159265358979323846;

class EntityBlockReferenceTest : public entity_test::EntityTest {
protected:
    // Adds a block definition named name with its origin and entities (taken over).
    AcDbObjectId defineBlock(const wchar_t* name, const AcGePoint3d& origin,
                             std::initializer_list<AcDbEntity*> entities) {
        AcDbObjectId id;
        auto table = open<AcDbBlockTable>(db()->blockTableId(), AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName(name);
        record->setOrigin(origin);
        EXPECT_EQ(table->add(id, record), Acad::eOk);
        for (AcDbEntity* entity : entities) {
            EXPECT_EQ(record->appendAcDbEntity(entity), Acad::eOk);
            entity->close();
        }
        record->close();
        return id;
    }

    // Block "B" with origin (1,0,0): a line (1,0,0)-(3,0,0), a quarter arc about (1,0,0) from
    // 0 to 90 degrees, and an attribute definition "TAG" at (1,2,0).
    AcDbObjectId blockB() {
        auto* definition =
            new AcDbAttributeDefinition(AcGePoint3d(1, 2, 0), L"dflt", L"TAG", L"Tag?");
        definition->setHeight(0.5);
        return defineBlock(L"B", AcGePoint3d(1, 0, 0),
                           {new AcDbLine(AcGePoint3d(1, 0, 0), AcGePoint3d(3, 0, 0)),
                            new AcDbArc(AcGePoint3d(1, 0, 0), 1.0, 0.0, kPi / 2), definition});
    }

    // A reference to block at position, scaled and turned, appended to model space, with an
    // attribute made from every attribute definition of the block.
    AcDbObjectId insert(AcDbObjectId block, const AcGePoint3d& position, double scale,
                        double rotation, bool withAttributes) {
        auto* reference = new AcDbBlockReference(position, block);
        reference->setScaleFactors(AcGeScale3d(scale));
        reference->setRotation(rotation);
        const AcDbObjectId id = append(reference);
        if (!withAttributes) {
            return id;
        }
        auto held = open<AcDbBlockReference>(id, AcDb::kForWrite);
        auto record = open<AcDbBlockTableRecord>(block, AcDb::kForRead);
        AcDbBlockTableRecordIterator* raw = nullptr;
        record->newIterator(raw);
        std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
        for (; !it->done(); it->step()) {
            AcDbEntity* entity = nullptr;
            it->getEntity(entity, AcDb::kForRead);
            if (auto* definition = AcDbAttributeDefinition::cast(entity)) {
                auto* attribute = new AcDbAttribute;
                EXPECT_EQ(attribute->setAttributeFromBlock(definition, held->blockTransform()),
                          Acad::eOk);
                AcDbObjectId attributeId;
                EXPECT_EQ(held->appendAttribute(attributeId, attribute), Acad::eOk);
                attribute->close();
            }
            entity->close();
        }
        return id;
    }

    // The first attribute of a reference.
    AcDbObjectId firstAttribute(AcDbObjectId referenceId) {
        auto reference = open<AcDbBlockReference>(referenceId, AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(reference->attributeIterator());
        return it->done() ? AcDbObjectId::kNull : it->objectId();
    }
};

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceTransformPlacesTheBlockOrigin) {
    const AcDbObjectId block = blockB();
    AcDbBlockReference reference(AcGePoint3d(10, 10, 0), block);
    reference.setScaleFactors(AcGeScale3d(2.0));
    reference.setRotation(kPi / 2);
    const AcGeMatrix3d m = reference.blockTransform();
    EXPECT_TRUE(near(m * AcGePoint3d(1, 0, 0), AcGePoint3d(10, 10, 0)));
    EXPECT_TRUE(near(m * AcGePoint3d(3, 0, 0), AcGePoint3d(10, 14, 0)));
    // Line (10,10)-(10,14); arc about (10,10) of radius 2 from 90 to 180 degrees.
    EXPECT_TRUE(boxIs(extentsOf(reference), AcGePoint3d(8, 10, 0), AcGePoint3d(10, 14, 0)));
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceExtentsUnderNonUniformScalingAreExact) {
    const AcDbObjectId block =
        defineBlock(L"RING", AcGePoint3d(1, 0, 0),
                    {new AcDbCircle(AcGePoint3d(1, 0, 0), AcGeVector3d::kZAxis, 1.0)});
    AcDbBlockReference reference(AcGePoint3d(0, 0, 0), block);
    ASSERT_EQ(reference.setScaleFactors(AcGeScale3d(2, 1, 1)), Acad::eOk);
    reference.setRotation(kPi / 4);
    // An ellipse with semi-axes 2 (at 45 degrees) and 1: half extents sqrt(2 + 0.5).
    const double h = std::sqrt(2.5);
    EXPECT_TRUE(boxIs(extentsOf(reference), AcGePoint3d(-h, -h, 0), AcGePoint3d(h, h, 0)));
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceNestedAndSelfReferencingBlocks) {
    const AcDbObjectId inner = blockB();
    auto* nested = new AcDbBlockReference(AcGePoint3d(0, 0, 0), inner);
    const AcDbObjectId outer = defineBlock(L"OUTER", AcGePoint3d(0, 0, 0), {nested});
    AcDbBlockReference reference(AcGePoint3d(100, 0, 0), outer);
    reference.setScaleFactors(AcGeScale3d(3.0));
    // B's line and arc from (-1,0) through the nested insertion, tripled, moved by (100, 0).
    EXPECT_TRUE(boxIs(extentsOf(reference), AcGePoint3d(100, 0, 0), AcGePoint3d(106, 3, 0)));

    // A block that refers to itself is stopped, not followed for ever.
    const AcDbObjectId loop = defineBlock(L"LOOP", AcGePoint3d(0, 0, 0), {});
    testsupport::appendEntity(new AcDbBlockReference(AcGePoint3d(1, 0, 0), loop), loop);
    AcDbBlockReference looping(AcGePoint3d(0, 0, 0), loop);
    AcDbExtents box;
    EXPECT_EQ(looping.getGeomExtents(box), Acad::eSelfReference);
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceAttributesFollowTransforms) {
    const AcDbObjectId id = insert(blockB(), AcGePoint3d(10, 10, 0), 2.0, 0.0, true);
    const AcDbObjectId attributeId = firstAttribute(id);
    ASSERT_FALSE(attributeId.isNull());
    {
        auto attribute = open<AcDbAttribute>(attributeId, AcDb::kForRead);
        EXPECT_TRUE(near(attribute->position(), AcGePoint3d(10, 14, 0)));
        EXPECT_DOUBLE_EQ(attribute->height(), 1.0);
        EXPECT_STREQ(attribute->tagConst(), L"TAG");
        EXPECT_EQ(attribute->ownerId(), id);
    }
    {
        auto reference = open<AcDbBlockReference>(id, AcDb::kForWrite);
        ASSERT_EQ(reference->transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis,
                                                                AcGePoint3d(10, 10, 0))),
                  Acad::eOk);
        EXPECT_NEAR(reference->rotation(), kPi / 2, 1e-12);
        EXPECT_TRUE(near(reference->position(), AcGePoint3d(10, 10, 0)));
    }
    auto attribute = open<AcDbAttribute>(attributeId, AcDb::kForRead);
    EXPECT_TRUE(near(attribute->position(), AcGePoint3d(6, 10, 0)));
    EXPECT_NEAR(attribute->rotation(), kPi / 2, 1e-12);
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceWithAttributesRefusesNonUniformScaling) {
    const AcDbObjectId id = insert(blockB(), AcGePoint3d(0, 0, 0), 1.0, 0.0, true);
    {
        auto reference = open<AcDbBlockReference>(id, AcDb::kForWrite);
        EXPECT_EQ(reference->transformBy(AcGeScale3d(2, 1, 1)), Acad::eCannotScaleNonUniformly);
        EXPECT_TRUE(reference->scaleFactors().isEqualTo(AcGeScale3d(1.0)));
    }
    auto attribute = open<AcDbAttribute>(firstAttribute(id), AcDb::kForRead);
    EXPECT_TRUE(near(attribute->position(), AcGePoint3d(0, 2, 0)));
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceScalesAlongItsAxesAndReflects) {
    const AcDbObjectId block = blockB();
    AcDbBlockReference reference(AcGePoint3d(1, 1, 0), block);
    reference.setRotation(kPi / 2);
    // Scaling world X scales the block's Y axis (turned onto X).
    ASSERT_EQ(reference.transformBy(AcGeScale3d(3, 1, 1)), Acad::eOk);
    EXPECT_TRUE(reference.scaleFactors().isEqualTo(AcGeScale3d(1, 3, 1)));
    EXPECT_TRUE(near(reference.position(), AcGePoint3d(3, 1, 0)));
    // A shear of turned axes cannot be a block transform.
    AcDbBlockReference turned(AcGePoint3d(0, 0, 0), block);
    turned.setRotation(kPi / 4);
    EXPECT_EQ(turned.transformBy(AcGeScale3d(3, 1, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_TRUE(turned.scaleFactors().isEqualTo(AcGeScale3d(1.0)));
    // A reflection in the YZ plane becomes a negative X factor.
    AcDbBlockReference mirrored(AcGePoint3d(2, 0, 0), block);
    ASSERT_EQ(mirrored.transformBy(
                  AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis))),
              Acad::eOk);
    EXPECT_TRUE(mirrored.scaleFactors().isEqualTo(AcGeScale3d(-1, 1, 1)));
    EXPECT_TRUE(near(mirrored.normal(), AcGeVector3d::kZAxis));
    EXPECT_TRUE(near(mirrored.blockTransform() * AcGePoint3d(3, 0, 0), AcGePoint3d(-4, 0, 0)));
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceExtentsCountItsAttributes) {
    const AcDbObjectId id = insert(blockB(), AcGePoint3d(0, 0, 0), 1.0, 0.0, true);
    auto reference = open<AcDbBlockReference>(id, AcDb::kForRead);
    // Block: (0,0)-(2,1); attribute "dflt" at (0,2), height 0.5: advance 4 x 0.7 x 0.5 = 1.4.
    EXPECT_TRUE(boxIs(extentsOf(*reference), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2.5, 0)));
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceErasesAndCopiesItsAttributes) {
    const AcDbObjectId id = insert(blockB(), AcGePoint3d(0, 0, 0), 1.0, 0.0, true);
    const AcDbObjectId attributeId = firstAttribute(id);
    {
        auto reference = open<AcDbBlockReference>(id, AcDb::kForRead);
        AcDbEntity* copy = nullptr;
        ASSERT_EQ(
            reference->getTransformedCopy(AcGeMatrix3d::translation(AcGeVector3d(5, 0, 0)), copy),
            Acad::eOk);
        std::unique_ptr<AcDbEntity> owned(copy);
        std::unique_ptr<AcDbObjectIterator> it(AcDbBlockReference::cast(copy)->attributeIterator());
        ASSERT_FALSE(it->done());
        ASSERT_NE(it->entity(), nullptr);
        EXPECT_TRUE(near(AcDbAttribute::cast(it->entity())->position(), AcGePoint3d(5, 2, 0)));
    }
    {
        auto attribute = open<AcDbAttribute>(attributeId, AcDb::kForRead);
        EXPECT_TRUE(near(attribute->position(), AcGePoint3d(0, 2, 0)));
    }
    auto reference = open<AcDbBlockReference>(id, AcDb::kForWrite);
    ASSERT_EQ(reference->erase(), Acad::eOk);
    EXPECT_TRUE(attributeId.isErased());
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceExplodesThroughItsTransform) {
    AcDbBlockReference reference(AcGePoint3d(10, 10, 0), blockB());
    reference.setScaleFactors(AcGeScale3d(2.0));
    reference.setRotation(kPi / 2);
    AcDbVoidPtrArray pieces;
    ASSERT_EQ(reference.explode(pieces), Acad::eOk);
    ASSERT_EQ(pieces.length(), 2);  // the attribute definition is not exploded
    auto* line = AcDbLine::cast(static_cast<AcDbEntity*>(pieces[0]));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(near(line->endPoint(), AcGePoint3d(10, 14, 0)));
    auto* arc = AcDbArc::cast(static_cast<AcDbEntity*>(pieces[1]));
    ASSERT_NE(arc, nullptr);
    EXPECT_DOUBLE_EQ(arc->radius(), 2.0);
    for (int i = 0; i < pieces.length(); ++i) {
        delete static_cast<AcDbEntity*>(pieces[i]);
    }
}

TEST_F(EntityBlockReferenceTest, EntityBlockReferenceChecksItsValuesAndFilesByName) {
    const AcDbObjectId block = blockB();
    AcDbBlockReference reference(AcGePoint3d(1, 2, 3), block);
    EXPECT_EQ(reference.setBlockTableRecord(db()->layerZero()), Acad::eNotThatKindOfClass);
    EXPECT_EQ(reference.setScaleFactors(AcGeScale3d(1, 0, 1)), Acad::eInvalidInput);
    EXPECT_EQ(reference.blockTableRecord(), block);
    reference.setScaleFactors(AcGeScale3d(1, 2, 3));
    reference.setNormal(AcGeVector3d(1, 0, 0));
    EXPECT_TRUE(near(reference.position(), AcGePoint3d(1, 2, 3)));
    expectRoundTrips(reference);
    const host::DxfItemList own = subclass(groupsOf(reference), L"AcDbBlockReference");
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own[0], tables_test::text(2, L"B"));
    // A reference with attributes announces them with 66.
    const AcDbObjectId withAttributes = insert(block, AcGePoint3d(0, 0, 0), 1.0, 0.0, true);
    auto held = open<AcDbBlockReference>(withAttributes, AcDb::kForRead);
    EXPECT_EQ(subclass(groupsOf(*held), L"AcDbBlockReference")[0], tables_test::integer(66, 1));
}

}  // namespace
