// Points, faces and solids: corners and edge flags, extents, transforms (object coordinate
// systems of solids included) and the three-corner stretch rule.
#include <gtest/gtest.h>

#include "tests/host/db/entities/entity_fixture.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/ge/scale3d.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;

constexpr double kPi = 3.14159265358979323846;

AcGePoint3d vertexOf(const AcDbFace& face, Adesk::UInt16 i) {
    AcGePoint3d p;
    EXPECT_EQ(face.getVertexAt(i, p), Acad::eOk);
    return p;
}

AcGePoint3d cornerOf(const AcDbSolid& solid, Adesk::UInt16 i) {
    AcGePoint3d p;
    EXPECT_EQ(solid.getPointAt(i, p), Acad::eOk);
    return p;
}

class EntityPlanarTest : public entity_test::EntityTest {};

TEST_F(EntityPlanarTest, EntityPointExtentsAndTransforms) {
    AcDbPoint point(AcGePoint3d(1, 2, 3));
    EXPECT_TRUE(boxIs(extentsOf(point), AcGePoint3d(1, 2, 3), AcGePoint3d(1, 2, 3)));
    point.setThickness(2.0);
    EXPECT_TRUE(boxIs(extentsOf(point), AcGePoint3d(1, 2, 3), AcGePoint3d(1, 2, 5)));
    ASSERT_EQ(point.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(near(point.position(), AcGePoint3d(-2, 1, 3)));
    EXPECT_NEAR(point.ecsRotation(), kPi / 2, 1e-12);
    AcDbIntArray indices;
    indices.append(0);
    ASSERT_EQ(point.moveStretchPointsAt(indices, AcGeVector3d(1, 1, 1)), Acad::eOk);
    EXPECT_TRUE(near(point.position(), AcGePoint3d(-1, 2, 4)));
}

TEST_F(EntityPlanarTest, EntityFaceThreeCornerFormRepeatsTheThirdCorner) {
    AcDbFace face(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 1), true, false,
                  true);
    EXPECT_TRUE(near(vertexOf(face, 3), AcGePoint3d(0, 1, 1)));
    Adesk::Boolean visible = false;
    ASSERT_EQ(face.isEdgeVisibleAt(1, visible), Acad::eOk);
    EXPECT_FALSE(visible);
    ASSERT_EQ(face.isEdgeVisibleAt(3, visible), Acad::eOk);
    EXPECT_TRUE(visible);

    AcGePoint3dArray points;
    ASSERT_EQ(face.getStretchPoints(points), Acad::eOk);
    EXPECT_EQ(points.length(), 3);
    AcDbIntArray indices;
    indices.append(2);
    ASSERT_EQ(face.moveStretchPointsAt(indices, AcGeVector3d(0, 1, 0)), Acad::eOk);
    EXPECT_TRUE(near(vertexOf(face, 2), AcGePoint3d(0, 2, 1)));
    EXPECT_TRUE(near(vertexOf(face, 3), AcGePoint3d(0, 2, 1)));
    indices.append(3);
    EXPECT_EQ(face.moveStretchPointsAt(indices, AcGeVector3d(0, 1, 0)), Acad::eInvalidIndex);
}

TEST_F(EntityPlanarTest, EntityFaceEdgesCornersAndIndicesOutOfRange) {
    AcDbFace face(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0), AcGePoint3d(2, 2, 0),
                  AcGePoint3d(0, 2, 3));
    EXPECT_TRUE(boxIs(extentsOf(face), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 3)));
    ASSERT_EQ(face.makeEdgeInvisibleAt(2), Acad::eOk);
    Adesk::Boolean visible = true;
    face.isEdgeVisibleAt(2, visible);
    EXPECT_FALSE(visible);
    ASSERT_EQ(face.makeEdgeVisibleAt(2), Acad::eOk);
    face.isEdgeVisibleAt(2, visible);
    EXPECT_TRUE(visible);
    AcGePoint3d p(7, 7, 7);
    EXPECT_EQ(face.getVertexAt(4, p), Acad::eInvalidIndex);
    EXPECT_TRUE(near(p, AcGePoint3d(7, 7, 7)));
    EXPECT_EQ(face.setVertexAt(4, p), Acad::eInvalidIndex);
    EXPECT_EQ(face.makeEdgeInvisibleAt(4), Acad::eInvalidIndex);
    AcGePoint3dArray points;
    face.getStretchPoints(points);
    EXPECT_EQ(points.length(), 4);
}

TEST_F(EntityPlanarTest, EntityFaceTakesNonUniformScaling) {
    AcDbFace face(AcGePoint3d(1, 1, 1), AcGePoint3d(2, 1, 1), AcGePoint3d(2, 2, 1));
    ASSERT_EQ(face.transformBy(AcGeScale3d(2, 3, 4)), Acad::eOk);
    EXPECT_TRUE(near(vertexOf(face, 0), AcGePoint3d(2, 3, 4)));
    EXPECT_TRUE(near(vertexOf(face, 2), AcGePoint3d(4, 6, 4)));
}

TEST_F(EntityPlanarTest, EntitySolidKeepsWorldCornersInItsObjectCoordinates) {
    AcDbSolid solid(AcGePoint3d(0, 0, 2), AcGePoint3d(1, 0, 2), AcGePoint3d(0, 1, 2),
                    AcGePoint3d(1, 1, 2));
    ASSERT_EQ(solid.setNormal(AcGeVector3d(0, 0, -1)), Acad::eOk);
    EXPECT_TRUE(near(cornerOf(solid, 1), AcGePoint3d(1, 0, 2)));
    // DXF files the corners in the OCS of -Z: x and z change sign.
    const host::DxfItemList items = subclass(groupsOf(solid), L"AcDbTrace");
    ASSERT_FALSE(items.empty());
    EXPECT_EQ(items[1].code, 11);
    EXPECT_TRUE(near(items[1].point(), AcGePoint3d(-1, 0, -2)));

    solid.setThickness(1.0);
    // Thickness runs along the normal, downwards here.
    EXPECT_TRUE(boxIs(extentsOf(solid), AcGePoint3d(0, 0, 1), AcGePoint3d(1, 1, 2)));
}

TEST_F(EntityPlanarTest, EntitySolidTransformsAndStretches) {
    AcDbSolid solid(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0), AcGePoint3d(0, 1, 0));
    EXPECT_TRUE(near(cornerOf(solid, 3), AcGePoint3d(0, 1, 0)));
    ASSERT_EQ(solid.transformBy(AcGeScale3d(3, 1, 1)), Acad::eOk);
    EXPECT_TRUE(near(cornerOf(solid, 1), AcGePoint3d(6, 0, 0)));
    ASSERT_EQ(solid.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kXAxis)), Acad::eOk);
    EXPECT_TRUE(near(solid.normal(), AcGeVector3d(0, -1, 0)));
    EXPECT_TRUE(near(cornerOf(solid, 2), AcGePoint3d(0, 0, 1)));
    AcGePoint3dArray points;
    solid.getStretchPoints(points);
    ASSERT_EQ(points.length(), 3);
    AcDbIntArray indices;
    indices.append(2);
    ASSERT_EQ(solid.moveStretchPointsAt(indices, AcGeVector3d(0, 0, 1)), Acad::eOk);
    EXPECT_TRUE(near(cornerOf(solid, 2), AcGePoint3d(0, 0, 2)));
    EXPECT_TRUE(near(cornerOf(solid, 3), AcGePoint3d(0, 0, 2)));
    AcGePoint3d p;
    EXPECT_EQ(solid.getPointAt(4, p), Acad::eInvalidIndex);
}

}  // namespace
