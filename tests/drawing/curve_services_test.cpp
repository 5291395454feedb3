// The typed pointers' curve services: polyline vertex lists of all three kinds, the screen marks
// of lines, circles, polylines and arcs as read back from the editor's vectors, and the arc
// queries (length, linked end points, middle, tangents, points along the arc, three points).
#include <cmath>
#include <memory>
#include <vector>

#include "drawing/entity_creation.h"
#include "drawing_fixture.h"
#include "frame/module_state.h"
#include "host/db/entities/arc.h"
#include "host/db/entities/block_reference.h"
#include "host/db/entities/circle.h"
#include "host/db/entities/line.h"

namespace {

using drawing_test::DrawingTest;

constexpr double kPi = 3.14159265358979323846;

void expectPoint(const AcGePoint3d& actual, double x, double y, double z) {
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, z, 1e-9);
}

// How far angles a and b lie apart around the circle, the shorter way.
double gap(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 2 * kPi);
    return std::fmin(d, 2 * kPi - d);
}

void expectVector(const AcGeVector3d& actual, double x, double y, double z) {
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, z, 1e-9);
}

AcGePoint3dArray points(std::initializer_list<AcGePoint3d> list) {
    AcGePoint3dArray array;
    for (const AcGePoint3d& p : list) {
        array.append(p);
    }
    return array;
}

class CurveServicesTest : public DrawingTest {
protected:
    // A closed arc in model space; angles in degrees.
    AcDbObjectId addArc(const AcGePoint3d& centre, double radius, double startDegrees,
                        double endDegrees) {
        return append(
            new AcDbArc(centre, radius, startDegrees * kPi / 180.0, endDegrees * kPi / 180.0));
    }

    // The live entities of model space.
    int modelSpaceCount() {
        AcDbBlockTableRecord* space = openRead<AcDbBlockTableRecord>(db()->modelSpaceId());
        AcDbBlockTableRecordIterator* it = nullptr;
        space->newIterator(it);
        int count = 0;
        for (it->start(); !it->done(); it->step()) {
            ++count;
        }
        delete it;
        space->close();
        return count;
    }

    void SetUp() override {
        DrawingTest::SetUp();
        host::clearScreen();
    }
    void TearDown() override {
        host::clearScreen();
        DrawingTest::TearDown();
    }
};

// Three vertices with z values of their own; the polylines at elevation 2.5 where they have one.
const AcGePoint3dArray kVertices = points({{0, 0, 7}, {4, 0, 8}, {4, 3, 9}});

TEST_F(CurveServicesTest, PolylineVerticesOfAllKindsTakeTheElevationAndReplaceTheArray) {
    const AcDbObjectId ids[] = {CVLKCDraw::polyline2d(kVertices, 2.5, 1),
                                CVLKCDraw::polyline3d(kVertices, 0),
                                CVLKCDraw::polylineLW(kVertices, 2.5, 0)};
    CVLKC2dPolylinePtr poly2d(ids[0], AcDb::kForRead);
    CVLKC3dPolylinePtr poly3d(ids[1], AcDb::kForRead);
    CVLKCPolylineLWPtr polyLW(ids[2], AcDb::kForRead);
    AcGePoint3dArray found[3];
    for (AcGePoint3dArray& array : found) {
        array.append(AcGePoint3d(99, 99, 99));
    }
    EXPECT_EQ(poly2d.getVertexPoints(found[0]), 3);
    EXPECT_EQ(poly3d.getVertexPoints(found[1]), 3);
    EXPECT_EQ(polyLW.getVertexPoints(found[2]), 3);
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_EQ(found[kind].length(), 3);
        for (int i = 0; i < 3; ++i) {
            const double z = kind == 1 ? kVertices[i].z : 2.5;
            expectPoint(found[kind][i], kVertices[i].x, kVertices[i].y, z);
        }
    }
}

TEST_F(CurveServicesTest, EmptyPointersReportNothingAndDrawNothing) {
    AcGePoint3dArray kept = points({{1, 2, 3}});
    CVLKC2dPolylinePtr poly2d;
    CVLKC3dPolylinePtr poly3d;
    CVLKCPolylineLWPtr polyLW;
    EXPECT_EQ(poly2d.getVertexPoints(kept), 0);
    EXPECT_EQ(poly3d.getVertexPoints(kept), 0);
    EXPECT_EQ(polyLW.getVertexPoints(kept), 0);
    ASSERT_EQ(kept.length(), 1);
    expectPoint(kept[0], 1, 2, 3);
    CVLKCLinePtr line;
    CVLKCCirclePtr circle;
    CVLKCArcPtr arc;
    EXPECT_FALSE(poly2d.mark(1, 0) || poly3d.mark(1, 0) || polyLW.mark(1, 0));
    EXPECT_FALSE(line.mark(1, 0));
    circle.mark(1);
    EXPECT_FALSE(arc.mark(1, 0));
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(CurveServicesTest, PolylineMarkDrawsEachSegmentOnceWithoutClosingIt) {
    CVLKC2dPolylinePtr closed(CVLKCDraw::polyline2d(kVertices, 2.5, 1), AcDb::kForRead);
    ASSERT_TRUE(closed.mark(3, 1));
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), 2u);
    expectPoint(drawn[0].from, 0, 0, 2.5);
    expectPoint(drawn[0].to, 4, 0, 2.5);
    expectPoint(drawn[1].from, 4, 0, 2.5);
    expectPoint(drawn[1].to, 4, 3, 2.5);
    EXPECT_EQ(drawn[1].color, 3);
    EXPECT_EQ(drawn[1].highlight, 1);

    CVLKCPolylineLWPtr single(CVLKCDraw::polylineLW(points({{1, 1, 0}}), 0.0, 0), AcDb::kForRead);
    host::clearScreen();
    EXPECT_FALSE(single.mark(3, 1));
    EXPECT_TRUE(host::screenVectors().empty());

    // The editor refuses colour 300: the chain stops at its first vector.
    CVLKC3dPolylinePtr poly3d(CVLKCDraw::polyline3d(kVertices, 0), AcDb::kForRead);
    EXPECT_FALSE(poly3d.mark(300, 0));
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(CurveServicesTest, LineMarkDrawsFromStartToEnd) {
    CVLKCLinePtr line;
    CVLKCDraw::line(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6), &line);
    ASSERT_TRUE(line.mark(7, 0));
    EXPECT_FALSE(line.mark(256, 0));
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), 1u);
    expectPoint(drawn[0].from, 1, 2, 3);
    expectPoint(drawn[0].to, 4, 5, 6);
    EXPECT_EQ(drawn[0].color, 7);
    EXPECT_EQ(drawn[0].highlight, 0);
}

TEST_F(CurveServicesTest, CircleMarkCoversTheCircleWithEightyEightHighlightedChords) {
    CVLKCCirclePtr circle;
    CVLKCDraw::circle(AcGePoint3d(10, 20, 3), 2.0, AcGeVector3d::kZAxis, &circle);
    circle.mark(5);
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), 88u);
    // Every chord end lies on the circle in the plane z = 0; the chords reach every direction.
    std::vector<bool> reached(360, false);
    for (const host::ScreenVector& v : drawn) {
        EXPECT_EQ(v.color, 5);
        EXPECT_EQ(v.highlight, 1);
        for (const AcGePoint3d& p : {v.from, v.to}) {
            EXPECT_DOUBLE_EQ(p.z, 0.0);
            EXPECT_NEAR(std::hypot(p.x - 10, p.y - 20), 2.0, 1e-9);
        }
        const double a0 = std::atan2(v.from.y - 20, v.from.x - 10);
        const double a1 = std::atan2(v.to.y - 20, v.to.x - 10);
        for (int degree = 0; degree < 360; ++degree) {
            const double a = degree * kPi / 180.0;
            reached[degree] = reached[degree] || gap(a, a0) + gap(a, a1) <= gap(a0, a1) + 1e-9;
        }
    }
    for (int degree = 0; degree < 360; ++degree) {
        EXPECT_TRUE(reached[degree]) << degree << " degrees";
    }
    // The first pass draws chords of zero length.
    EXPECT_EQ(drawn[0].from, drawn[0].to);
}

TEST_F(CurveServicesTest, ArcLengthRunsCounterClockwiseOverTheSeam) {
    CVLKCArcPtr seam(addArc(AcGePoint3d(0, 0, 0), 1.0, 350, 10), AcDb::kForRead);
    EXPECT_NEAR(seam.getLength(), 20 * kPi / 180.0, 1e-12);
    CVLKCArcPtr quarter(addArc(AcGePoint3d(5, 5, 0), 2.0, 0, 90), AcDb::kForRead);
    EXPECT_NEAR(quarter.getLength(), kPi, 1e-12);
    EXPECT_EQ(CVLKCArcPtr().getLength(), 0.0);
}

TEST_F(CurveServicesTest, ArcEndsFollowLinkedNodesAndFallBackToTheGeometry) {
    const AcDbObjectId node =
        CVLKCDraw::insertBlockReference(addBlock(L"NODE"), AcGePoint3d(5, 5, 0), nullptr, 1.0);
    wchar_t handle[17] = {};
    node.handle().getIntoAsciiBuffer(handle, 17);
    CVLKCArcPtr arc(addArc(AcGePoint3d(0, 0, 0), 1.0, 0, 90), AcDb::kForWrite);
    ASSERT_EQ(arc.eedWrite(L"PXN_NODE10", handle, false, true, 1005), Acad::eOk);
    ASSERT_EQ(arc.eedWrite(L"PXN_NODE11", L"FFFFF"), Acad::eOk);
    expectPoint(arc.getStartPoint(), 5, 5, 0);
    AcGePoint3d end(9, 9, 9);
    arc.getEndPoint(end);
    expectPoint(end, 0, 1, 0);

    // A handle of something other than a block reference falls back as well.
    wchar_t arcHandle[17] = {};
    arc->objectId().handle().getIntoAsciiBuffer(arcHandle, 17);
    ASSERT_EQ(arc.eedWrite(L"PXN_NODE10", arcHandle), Acad::eOk);
    AcGePoint3d start;
    arc.getStartPoint(start);
    expectPoint(start, 1, 0, 0);
}

TEST_F(CurveServicesTest, ArcMiddleLiesOnTheArcAndNoRayRemains) {
    CVLKCArcPtr wide(addArc(AcGePoint3d(0, 0, 0), 1.0, 0, 270), AcDb::kForRead);
    CVLKCArcPtr half(addArc(AcGePoint3d(0, 0, 0), 1.0, 0, 180), AcDb::kForRead);
    CVLKCArcPtr quarter(addArc(AcGePoint3d(2, 3, 0), 2.0, 0, 90), AcDb::kForRead);
    const int entities = modelSpaceCount();
    const double h = std::sqrt(0.5);
    expectVector(wide.getMidAngleVector(), -h, h, 0);
    expectVector(half.getMidAngleVector(), 0, 1, 0);
    expectPoint(quarter.getPointOnArc(), 2 + 2 * h, 3 + 2 * h, 0);
    EXPECT_EQ(modelSpaceCount(), entities);

    // Without a target space for the test ray the direction stays on the chord's side.
    kestrel::targetSpaceName() = L"*NoSuchSpace";
    expectVector(wide.getMidAngleVector(), h, -h, 0);
    kestrel::targetSpaceName() = ACDB_MODEL_SPACE;
}

TEST_F(CurveServicesTest, ArcTangentsPointFromEachEndIntoTheArc) {
    CVLKCArcPtr wide(addArc(AcGePoint3d(0, 0, 0), 1.0, 0, 270), AcDb::kForRead);
    expectVector(wide.getStartPointTangentVector(), 0, 1, 0);
    expectVector(wide.getEndPointTangentVector(), -1, 0, 0);
    CVLKCArcPtr quarter(addArc(AcGePoint3d(4, 0, 0), 1.0, 90, 180), AcDb::kForRead);
    expectVector(quarter.getStartPointTangentVector(), -1, 0, 0);
    expectVector(quarter.getEndPointTangentVector(), 0, 1, 0);
}

TEST_F(CurveServicesTest, ArcPointsAtADistanceRotateFromTheStart) {
    CVLKCArcPtr quarter(addArc(AcGePoint3d(0, 0, 0), 2.0, 0, 90), AcDb::kForRead);
    AcGePoint3d point;
    AcGeVector3d tangent;
    AcGeVector3d radial;
    const double h = std::sqrt(0.5);
    ASSERT_EQ(quarter.getPointOnArcAtDistance(kPi / 2, point, tangent, radial), 1);
    expectPoint(point, 2 * h, 2 * h, 0);
    expectVector(tangent, -h, h, 0);
    expectVector(radial, h, h, 0);

    // Backwards past the start, the tangent still points away from it.
    ASSERT_EQ(quarter.getPointOnArcAtDistance(-1.0, point, tangent, radial), 1);
    expectPoint(point, 2 * std::cos(0.5), -2 * std::sin(0.5), 0);
    expectVector(tangent, -std::sin(0.5), -std::cos(0.5), 0);

    // Over the seam: halfway along the arc from 350 to 10 degrees is the X axis.
    CVLKCArcPtr seam(addArc(AcGePoint3d(0, 0, 0), 1.0, 350, 10), AcDb::kForRead);
    ASSERT_EQ(seam.getPointOnArcAtDistance(10 * kPi / 180.0, point, tangent, radial), 1);
    expectPoint(point, 1, 0, 0);
    expectVector(tangent, 0, 1, 0);
    expectVector(radial, 1, 0, 0);

    // The full length, or within 0.0001 of it, is refused with the outputs untouched.
    EXPECT_EQ(quarter.getPointOnArcAtDistance(kPi, point, tangent, radial), 0);
    EXPECT_EQ(quarter.getPointOnArcAtDistance(kPi - 0.00005, point, tangent, radial), 0);
    expectPoint(point, 1, 0, 0);
    EXPECT_EQ(CVLKCArcPtr().getPointOnArcAtDistance(0.0, point, tangent, radial), 0);
}

TEST_F(CurveServicesTest, ArcSetPointsNeedsWriteAndTakesTheCircleThroughThem) {
    const AcDbObjectId id = addArc(AcGePoint3d(7, 7, 0), 3.0, 10, 20);
    {
        CVLKCArcPtr reading(id, AcDb::kForRead);
        EXPECT_EQ(
            reading.setPoints(AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(-1, 0, 0)),
            Acad::eNotOpenForWrite);
        EXPECT_EQ(reading->radius(), 3.0);
    }
    CVLKCArcPtr arc(id, AcDb::kForWrite);
    ASSERT_EQ(arc.setPoints(AcGePoint3d(1, 0, 2), AcGePoint3d(0, 1, 0), AcGePoint3d(-1, 0, 0)),
              Acad::eOk);
    expectPoint(arc->center(), 0, 0, 2);
    EXPECT_NEAR(arc->radius(), 1.0, 1e-12);
    EXPECT_NEAR(arc->startAngle(), 0.0, 1e-12);
    EXPECT_NEAR(arc->endAngle(), kPi, 1e-12);
    // Collinear points leave the starting values: a zero arc at the origin.
    ASSERT_EQ(arc.setPoints(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0), AcGePoint3d(2, 2, 0)),
              Acad::eOk);
    expectPoint(arc->center(), 0, 0, 0);
    EXPECT_EQ(arc->radius(), 0.0);
    EXPECT_EQ(arc.status(), Acad::eOk);
}

// The mark's chain: its number of chords, each on the circle at z 0, joined end to start.
void expectArcChain(const AcGePoint3d& c, double r, double startDegrees, size_t chords) {
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), chords);
    const double s = startDegrees * kPi / 180.0;
    expectPoint(drawn[0].from, c.x + r * std::cos(s), c.y + r * std::sin(s), 0);
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(std::hypot(drawn[i].to.x - c.x, drawn[i].to.y - c.y), r, 1e-9);
        EXPECT_EQ(drawn[i].to.z, 0.0);
        if (i > 0) {
            EXPECT_EQ(drawn[i].from, drawn[i - 1].to);
        }
    }
}

TEST_F(CurveServicesTest, ArcMarkDrawsChordsUpToTheEndAlsoAcrossTheSeam) {
    CVLKCArcPtr quarter(addArc(AcGePoint3d(1, 1, 5), 2.0, 0, 90), AcDb::kForRead);
    ASSERT_TRUE(quarter.mark(2, 1));
    expectArcChain(AcGePoint3d(1, 1, 5), 2.0, 0, 43);
    EXPECT_EQ(host::screenVectors()[0].color, 2);
    EXPECT_EQ(host::screenVectors()[0].highlight, 1);

    host::clearScreen();
    CVLKCArcPtr seam(addArc(AcGePoint3d(0, 0, 0), 1.0, 350, 10), AcDb::kForRead);
    ASSERT_TRUE(seam.mark(2, 0));
    expectArcChain(AcGePoint3d(0, 0, 0), 1.0, 350, 8);

    host::clearScreen();
    CVLKCArcPtr toZero(addArc(AcGePoint3d(0, 0, 0), 1.0, 5.5 * 180.0 / kPi, 0), AcDb::kForRead);
    ASSERT_TRUE(toZero.mark(2, 0));
    expectArcChain(AcGePoint3d(0, 0, 0), 1.0, 5.5 * 180.0 / kPi, 21);

    host::clearScreen();
    CVLKCArcPtr tiny(addArc(AcGePoint3d(0, 0, 0), 1.0, 0, 0.069 * 180.0 / kPi), AcDb::kForRead);
    EXPECT_TRUE(tiny.mark(2, 0));
    EXPECT_TRUE(host::screenVectors().empty());
}

}  // namespace
