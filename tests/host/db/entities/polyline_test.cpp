// Lightweight, 2D and 3D polylines: vertices and bulges, extents of bulged segments, transforms
// and their refusals, stretching, explode, intersections, owned vertices kept in memory and then
// in the database, erasure with the owner, and filing.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/ge/scale3d.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::holds;
using entity_test::near;

constexpr double kPi = 3.14159265358979323846;

// A closed lightweight rectangle from (0,0) to (4,3).
std::unique_ptr<AcDbPolyline> rectangle() {
    auto pline = std::make_unique<AcDbPolyline>();
    pline->addVertexAt(0, AcGePoint2d(0, 0));
    pline->addVertexAt(1, AcGePoint2d(4, 0));
    pline->addVertexAt(2, AcGePoint2d(4, 3));
    pline->addVertexAt(3, AcGePoint2d(0, 3));
    pline->setClosed(true);
    return pline;
}

void deleteAll(AcDbVoidPtrArray& entities) {
    for (int i = 0; i < entities.length(); ++i) {
        delete static_cast<AcDbEntity*>(entities[i]);
    }
}

class EntityPolylineTest : public entity_test::EntityTest {
protected:
    // Appends a simple 2D polyline through (0,0), (2,0) and (2,2); its id.
    AcDbObjectId appendCorner() {
        return append(new AcDb2dPolyline(
            AcDb::k2dSimplePoly, testsupport::pointArray({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}})));
    }

    // The id of the first vertex of pline.
    static AcDbObjectId firstVertex(const AcDb2dPolyline& pline) {
        std::unique_ptr<AcDbObjectIterator> it(pline.vertexIterator());
        return it->objectId();
    }

    // The world positions of a 2D polyline's vertices, walked as the module walks them.
    std::vector<AcGePoint3d> vertexPoints(const AcDb2dPolyline& pline) {
        std::vector<AcGePoint3d> found;
        std::unique_ptr<AcDbObjectIterator> it(pline.vertexIterator());
        for (it->start(); !it->done(); it->step()) {
            AcDb2dVertex* vertex = nullptr;
            if (pline.openVertex(vertex, it->objectId(), AcDb::kForRead) == Acad::eOk) {
                found.push_back(pline.vertexPosition(*vertex));
                vertex->close();
            }
        }
        return found;
    }
};

// --- Lightweight polylines -----------------------------------------------------------------------

TEST_F(EntityPolylineTest, EntityPolylineVerticesElevationAndIndices) {
    AcDbPolyline pline;
    ASSERT_EQ(pline.addVertexAt(0, AcGePoint2d(1, 2)), Acad::eOk);
    ASSERT_EQ(pline.addVertexAt(9, AcGePoint2d(3, 4)), Acad::eOk);  // past the end: appended
    ASSERT_EQ(pline.addVertexAt(0, AcGePoint2d(0, 0), 0.5, 1.0, 2.0, 7), Acad::eOk);
    EXPECT_EQ(pline.numVerts(), 3u);
    pline.setElevation(5.0);
    AcGePoint3d p;
    ASSERT_EQ(pline.getPointAt(1, p), Acad::eOk);
    EXPECT_TRUE(near(p, AcGePoint3d(1, 2, 5)));
    EXPECT_EQ(pline.getPointAt(3, p), Acad::eInvalidIndex);
    double start = 0.0;
    double end = 0.0;
    pline.getWidthsAt(0, start, end);
    EXPECT_DOUBLE_EQ(end, 2.0);
    double constant = 0.0;
    EXPECT_EQ(pline.getConstantWidth(constant), Acad::eNotApplicable);
    ASSERT_EQ(pline.setConstantWidth(0.5), Acad::eOk);
    EXPECT_EQ(pline.getConstantWidth(constant), Acad::eOk);
    EXPECT_DOUBLE_EQ(constant, 0.5);
    // A negative width takes the constant width.
    pline.addVertexAt(3, AcGePoint2d(9, 9));
    pline.getWidthsAt(3, start, end);
    EXPECT_DOUBLE_EQ(start, 0.5);
    EXPECT_EQ(pline.setBulgeAt(7, 1.0), Acad::eInvalidIndex);
    EXPECT_EQ(pline.addVertexAt(0, AcGePoint2d(std::nan(""), 0)), Acad::eInvalidInput);
    EXPECT_EQ(pline.numVerts(), 4u);
    EXPECT_EQ(pline.removeVertexAt(0), Acad::eOk);
    pline.getPointAt(0, p);
    EXPECT_TRUE(near(p, AcGePoint3d(1, 2, 5)));
}

TEST_F(EntityPolylineTest, EntityPolylineEndsFollowClosedness) {
    std::unique_ptr<AcDbPolyline> pline = rectangle();
    AcGePoint3d start;
    AcGePoint3d end;
    pline->getStartPoint(start);
    pline->getEndPoint(end);
    EXPECT_TRUE(near(end, start));
    pline->setClosed(false);
    pline->getEndPoint(end);
    EXPECT_TRUE(near(end, AcGePoint3d(0, 3, 0)));
    AcDbPolyline empty;
    EXPECT_EQ(empty.getStartPoint(start), Acad::eDegenerateGeometry);
    AcDbExtents box;
    EXPECT_EQ(empty.getGeomExtents(box), Acad::eInvalidExtents);
}

TEST_F(EntityPolylineTest, EntityPolylineExtentsCountTheBulgedSegments) {
    // A positive bulge of 1 from (0,0) to (2,0) is the lower half circle about (1,0).
    AcDbPolyline pline;
    pline.addVertexAt(0, AcGePoint2d(0, 0), 1.0);
    pline.addVertexAt(1, AcGePoint2d(2, 0));
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(0, -1, 0), AcGePoint3d(2, 0, 0)));
    pline.setBulgeAt(0, -1.0);
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 1, 0)));
    // A quarter circle: bulge tan(pi/8) from (1,0) to (0,1) about the origin.
    AcDbPolyline quarter;
    quarter.addVertexAt(0, AcGePoint2d(1, 0), std::tan(kPi / 8));
    quarter.addVertexAt(1, AcGePoint2d(0, 1));
    EXPECT_TRUE(boxIs(extentsOf(quarter), AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));
    // Under a downward normal the same OCS outline lies mirrored in world X.
    pline.setNormal(AcGeVector3d(0, 0, -1));
    pline.setElevation(2.0);
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(-2, 0, -2), AcGePoint3d(0, 1, -2)));
}

TEST_F(EntityPolylineTest, EntityPolylineTransformsAndRefusals) {
    AcDbPolyline pline;
    pline.addVertexAt(0, AcGePoint2d(0, 0), 1.0);
    pline.addVertexAt(1, AcGePoint2d(2, 0));
    ASSERT_EQ(pline.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0)));
    EXPECT_EQ(pline.transformBy(AcGeScale3d(1, 2, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0)));
    // A reflection keeps the outline's shape: the bulge changes sign with the turning sense.
    ASSERT_EQ(pline.transformBy(
                  AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis))),
              Acad::eOk);
    double bulge = 0.0;
    pline.getBulgeAt(0, bulge);
    EXPECT_DOUBLE_EQ(bulge, -1.0);
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(-1, 0, 0), AcGePoint3d(0, 2, 0)));

    std::unique_ptr<AcDbPolyline> straight = rectangle();
    straight->setElevation(1.0);
    ASSERT_EQ(straight->transformBy(AcGeScale3d(2, 3, 4)), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*straight), AcGePoint3d(0, 0, 4), AcGePoint3d(8, 9, 4)));
    EXPECT_DOUBLE_EQ(straight->elevation(), 4.0);
}

TEST_F(EntityPolylineTest, EntityPolylineStretchAndExplode) {
    std::unique_ptr<AcDbPolyline> pline = rectangle();
    AcDbIntArray indices;
    indices.append(2);
    ASSERT_EQ(pline->moveStretchPointsAt(indices, AcGeVector3d(1, 1, 7)), Acad::eOk);
    AcGePoint3d p;
    pline->getPointAt(2, p);
    EXPECT_TRUE(near(p, AcGePoint3d(5, 4, 0)));

    pline->setBulgeAt(0, 1.0);
    AcDbVoidPtrArray pieces;
    ASSERT_EQ(pline->explode(pieces), Acad::eOk);
    ASSERT_EQ(pieces.length(), 4);
    auto* arc = AcDbArc::cast(static_cast<AcDbEntity*>(pieces[0]));
    ASSERT_NE(arc, nullptr);
    EXPECT_TRUE(near(arc->center(), AcGePoint3d(2, 0, 0)));
    EXPECT_DOUBLE_EQ(arc->radius(), 2.0);
    auto* line = AcDbLine::cast(static_cast<AcDbEntity*>(pieces[3]));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(near(line->endPoint(), AcGePoint3d(0, 0, 0)));
    deleteAll(pieces);
}

TEST_F(EntityPolylineTest, EntityPolylineIntersectsBySegment) {
    std::unique_ptr<AcDbPolyline> pline = rectangle();
    const AcDbLine across(AcGePoint3d(2, -1, 0), AcGePoint3d(2, 5, 0));
    AcGePoint3dArray found;
    ASSERT_EQ(pline->intersectWith(&across, AcDb::kOnBothOperands, found), Acad::eOk);
    ASSERT_EQ(found.length(), 2);
    EXPECT_TRUE(holds(found, AcGePoint3d(2, 0, 0)));
    EXPECT_TRUE(holds(found, AcGePoint3d(2, 3, 0)));
    // Through a corner: reported once although two segments meet there.
    const AcDbLine diagonal(AcGePoint3d(-1, -1, 0), AcGePoint3d(1, 1, 0));
    found.setLogicalLength(0);
    ASSERT_EQ(pline->intersectWith(&diagonal, AcDb::kOnBothOperands, found), Acad::eOk);
    EXPECT_EQ(found.length(), 1);
}

// --- 2D polylines --------------------------------------------------------------------------------

TEST_F(EntityPolylineTest, EntityPolyline2dKeepsVerticesUntilAppendedThenOwnsThem) {
    auto* pline = new AcDb2dPolyline(AcDb::k2dSimplePoly,
                                     testsupport::pointArray({{0, 0, 9}, {2, 0, 9}, {2, 2, 9}}),
                                     0.0, false, 0.0, 0.0, nullptr, nullptr);
    pline->setElevation(5.0);
    pline->makeClosed();
    EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(0, 0, 5), AcGePoint3d(2, 2, 5)));
    EXPECT_EQ(vertexPoints(*pline).size(), 0u);  // not in a database: no ids to open
    const AcDbObjectId id = append(pline);

    auto held = entity_test::open<AcDb2dPolyline>(id, AcDb::kForRead);
    const std::vector<AcGePoint3d> found = vertexPoints(*held);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(near(found[2], AcGePoint3d(2, 2, 5)));
    EXPECT_TRUE(held->isClosed());
    AcDbSequenceEnd* end = nullptr;
    ASSERT_EQ(held->openSequenceEnd(end, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(end->ownerId(), id);
    end->close();
    AcDb2dVertex* foreign = nullptr;
    EXPECT_EQ(held->openVertex(foreign, id, AcDb::kForRead), Acad::eInvalidInput);
}

TEST_F(EntityPolylineTest, EntityPolyline2dAppendVertexLeavesItOpenForTheCaller) {
    const AcDbObjectId id = append(new AcDb2dPolyline());
    auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForWrite);
    auto* vertex = new AcDb2dVertex(AcGePoint3d(1, 1, 0));
    AcDbObjectId vertexId;
    ASSERT_EQ(pline->appendVertex(vertexId, vertex), Acad::eOk);
    EXPECT_TRUE(vertex->isWriteEnabled());
    EXPECT_EQ(vertex->ownerId(), id);
    EXPECT_EQ(vertex->layerId(), pline->layerId());
    vertex->close();
    ASSERT_EQ(pline->appendVertex(new AcDb2dVertex(AcGePoint3d(3, 1, 0))), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(1, 1, 0), AcGePoint3d(3, 1, 0)));
}

TEST_F(EntityPolylineTest, EntityPolyline2dTransformMovesEveryVertexOrNone) {
    const AcDbObjectId id = appendCorner();
    AcDbObjectId vertexId;
    {
        auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForWrite);
        vertexId = firstVertex(*pline);
        ASSERT_EQ(pline->transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 1, 0))), Acad::eOk);
        EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(1, 1, 0), AcGePoint3d(3, 3, 0)));
    }
    {
        // A vertex held open for write elsewhere stops the transform before anything moves.
        auto vertex = entity_test::open<AcDb2dVertex>(vertexId, AcDb::kForWrite);
        auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForWrite);
        EXPECT_EQ(pline->transformBy(AcGeMatrix3d::translation(AcGeVector3d(5, 0, 0))),
                  Acad::eWasOpenForWrite);
        EXPECT_TRUE(near(vertex->position(), AcGePoint3d(1, 1, 0)));
    }
    auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForRead);
    EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(1, 1, 0), AcGePoint3d(3, 3, 0)));
}

TEST_F(EntityPolylineTest, EntityPolyline2dTransformedCopyHasItsOwnVertices) {
    const AcDbObjectId id = appendCorner();
    auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForRead);
    AcDbEntity* copy = nullptr;
    ASSERT_EQ(pline->getTransformedCopy(AcGeMatrix3d::scaling(2.0), copy), Acad::eOk);
    std::unique_ptr<AcDbEntity> owned(copy);
    EXPECT_TRUE(boxIs(extentsOf(*copy), AcGePoint3d(0, 0, 0), AcGePoint3d(4, 4, 0)));
    EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0)));
}

TEST_F(EntityPolylineTest, EntityPolyline2dErasesItsVerticesWithIt) {
    const AcDbObjectId id = appendCorner();
    AcDbObjectId vertexId;
    {
        auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForWrite);
        vertexId = firstVertex(*pline);
        ASSERT_EQ(pline->erase(), Acad::eOk);
    }
    EXPECT_TRUE(vertexId.isErased());
    auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForWrite, true);
    ASSERT_EQ(pline->erase(false), Acad::eOk);
    EXPECT_FALSE(vertexId.isErased());
}

TEST_F(EntityPolylineTest, EntityPolyline2dBulgesAndRefusedScaling) {
    AcGeDoubleArray bulges;
    bulges.append(1.0);
    AcArray<Adesk::Int32> ids;
    ids.append(4);
    AcGePoint3dArray corners;
    corners.append(AcGePoint3d(0, 0, 0));
    corners.append(AcGePoint3d(2, 0, 0));
    AcDb2dPolyline pline(AcDb::k2dSimplePoly, corners, 0.0, false, 0.0, 0.0, &bulges, &ids);
    EXPECT_TRUE(boxIs(extentsOf(pline), AcGePoint3d(0, -1, 0), AcGePoint3d(2, 0, 0)));
    EXPECT_EQ(pline.transformBy(AcGeScale3d(1, 2, 1)), Acad::eCannotScaleNonUniformly);
    AcDbVoidPtrArray pieces;
    ASSERT_EQ(pline.explode(pieces), Acad::eOk);
    ASSERT_EQ(pieces.length(), 1);
    EXPECT_NE(AcDbArc::cast(static_cast<AcDbEntity*>(pieces[0])), nullptr);
    deleteAll(pieces);
    EXPECT_EQ(pline.setPolyType(AcDb::k2dCubicSplinePoly), Acad::eOk);
    EXPECT_EQ(pline.polyType(), AcDb::k2dCubicSplinePoly);
}

// --- 3D polylines --------------------------------------------------------------------------------

TEST_F(EntityPolylineTest, EntityPolyline3dGeometryAndVertices) {
    const AcDbObjectId id = append(new AcDb3dPolyline(
        AcDb::k3dSimplePoly, testsupport::pointArray({{0, 0, 0}, {1, 2, 3}, {-1, 0, 5}}), true));
    auto pline = entity_test::open<AcDb3dPolyline>(id, AcDb::kForWrite);
    EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(-1, 0, 0), AcGePoint3d(1, 2, 5)));
    ASSERT_EQ(pline->transformBy(AcGeScale3d(2, 1, 1)), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(-2, 0, 0), AcGePoint3d(2, 2, 5)));
    AcDbVoidPtrArray pieces;
    ASSERT_EQ(pline->explode(pieces), Acad::eOk);
    EXPECT_EQ(pieces.length(), 3);  // closed: three segments
    deleteAll(pieces);
    std::unique_ptr<AcDbObjectIterator> it(pline->vertexIterator());
    int count = 0;
    for (; !it->done(); it->step()) {
        AcDb3dPolylineVertex* vertex = nullptr;
        ASSERT_EQ(pline->openVertex(vertex, it->objectId(), AcDb::kForRead), Acad::eOk);
        EXPECT_EQ(vertex->vertexType(), AcDb::k3dSimpleVertex);
        vertex->close();
        ++count;
    }
    EXPECT_EQ(count, 3);
}

// --- Filing
// ------------------------------------------------------------------------------------------

TEST_F(EntityPolylineTest, EntityPolylineFilingRoundTripsAndChecksTheVertexCount) {
    std::unique_ptr<AcDbPolyline> pline = rectangle();
    pline->setBulgeAt(1, 0.25);
    pline->setWidthsAt(2, 0.5, 1.0);
    pline->setElevation(3.0);
    pline->setNormal(AcGeVector3d(0, 1, 1));
    expectRoundTrips(*pline);
    expectRoundTrips(AcDb2dVertex(AcGePoint3d(1, 2, 0), 0.5, 1.0, 2.0, 0.25, 9));
    expectRoundTrips(AcDb3dPolylineVertex(AcGePoint3d(1, 2, 3)));
    AcDb2dPolyline planar;
    planar.setPolyType(AcDb::k2dCubicSplinePoly);
    planar.setElevation(2.5);
    planar.setNormal(AcGeVector3d(1, 0, 0));
    planar.setDefaultStartWidth(0.5);
    planar.makeClosed();
    expectRoundTrips(planar);
    AcDb3dPolyline spatial;
    spatial.setPolyType(AcDb::k3dQuadSplinePoly);
    expectRoundTrips(spatial);
    expectRoundTrips(AcDbSequenceEnd());

    host::DxfItemList groups = groupsOf(*pline);
    for (host::DxfItem& item : groups) {
        if (item.code == 90) {
            item.value = std::int64_t{5};
        }
    }
    AcDbPolyline read;
    EXPECT_EQ(tables_test::dxfRead(read, groups, db()), Acad::eDxfReadFailed);
    EXPECT_EQ(read.numVerts(), 0u);
}

TEST_F(EntityPolylineTest, EntityPolylineFilingOfOwnersInTheDatabase) {
    const AcDbObjectId id = append(
        new AcDb2dPolyline(AcDb::k2dQuadSplinePoly,
                           testsupport::pointArray({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}}), 1.5, true));
    auto pline = entity_test::open<AcDb2dPolyline>(id, AcDb::kForRead);
    const host::DxfItemList own = subclass(groupsOf(*pline), L"AcDb2dPolyline");
    ASSERT_GE(own.size(), 3u);
    EXPECT_EQ(own[0], tables_test::integer(66, 1));
    EXPECT_TRUE(near(own[1].point(), AcGePoint3d(0, 0, 1.5)));
    EXPECT_EQ(own[2], tables_test::integer(70, 5));
    AcDb2dPolyline read;
    ASSERT_EQ(tables_test::dxfRead(read, groupsOf(*pline), db()), Acad::eOk);
    EXPECT_EQ(read.polyType(), AcDb::k2dQuadSplinePoly);
    EXPECT_DOUBLE_EQ(read.elevation(), 1.5);
    EXPECT_TRUE(read.isClosed());
}

}  // namespace
