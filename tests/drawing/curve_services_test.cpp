// The typed pointers' curve services: polyline vertex lists, the screen marks as read back from
// the editor's vectors, and the arc queries (length, linked ends, middle, tangents, points along
// the arc, three points).
#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "common/module_state.h"
#include "drawing_fixture.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/polyline_2d.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kH = std::sqrt(0.5);

// A point or vector against its expected coordinates.
template <class Xyz>
void expectXyz(const Xyz& actual, double x, double y, double z) {
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, z, 1e-9);
}

using testsupport::pointArray;

const AcGePoint3dArray kVertices = pointArray({{0, 0, 7}, {4, 0, 8}, {4, 3, 9}});

class DrawingCurveServicesTest : public drawing_test::DrawingTest {
protected:
    void SetUp() override {
        DrawingTest::SetUp();
        host::clearScreen();
    }

    // A closed arc in model space; angles in degrees.
    AcDbObjectId addArc(double cx, double cy, double radius, double start, double end) {
        return append(
            new AcDbArc(AcGePoint3d(cx, cy, 0), radius, start * kPi / 180, end * kPi / 180));
    }

    // The live entities of model space.
    int modelSpaceCount() {
        return static_cast<int>(testsupport::entitiesOf(db()->modelSpaceId()).size());
    }
};

TEST_F(DrawingCurveServicesTest, PolylineVerticesOfAllKindsTakeTheElevationAndReplaceTheArray) {
    CVLKC2dPolylinePtr poly2d(CVLKCDraw::polyline2d(kVertices, 2.5, 1), AcDb::kForRead);
    CVLKC3dPolylinePtr poly3d(CVLKCDraw::polyline3d(kVertices, 0), AcDb::kForRead);
    CVLKCPolylineLWPtr polyLW(CVLKCDraw::polylineLW(kVertices, 2.5, 0), AcDb::kForRead);
    AcGePoint3dArray found[3] = {pointArray({{9, 9, 9}}), pointArray({{9, 9, 9}}),
                                 AcGePoint3dArray()};
    EXPECT_EQ(poly2d.getVertexPoints(found[0]), 3);
    EXPECT_EQ(poly3d.getVertexPoints(found[1]), 3);
    EXPECT_EQ(polyLW.getVertexPoints(found[2]), 3);
    for (int kind = 0; kind < 3; ++kind) {
        ASSERT_EQ(found[kind].length(), 3);
        for (int i = 0; i < 3; ++i) {
            expectXyz(found[kind][i], kVertices[i].x, kVertices[i].y,
                      kind == 1 ? kVertices[i].z : 2.5);
        }
    }
    // A vertex that does not open (held for write elsewhere) is skipped.
    AcDbObjectIterator* it = poly2d->vertexIterator();
    AcDb2dVertex* held = nullptr;
    ASSERT_EQ(poly2d->openVertex(held, it->objectId(), AcDb::kForWrite), Acad::eOk);
    delete it;
    EXPECT_EQ(poly2d.getVertexPoints(found[0]), 2);
    held->close();
    expectXyz(found[0][0], 4, 0, 2.5);

    // Empty pointers report nothing and draw nothing.
    CVLKC3dPolylinePtr empty;
    EXPECT_EQ(empty.getVertexPoints(found[0]), 0);
    EXPECT_EQ(found[0].length(), 2);
    CVLKCCirclePtr().mark(1);
    EXPECT_FALSE(empty.mark(1, 0) || CVLKCLinePtr().mark(1, 0) || CVLKCArcPtr().mark(1, 0));
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(DrawingCurveServicesTest, PolylineAndLineMarksDrawTheirSegmentsOnce) {
    CVLKC2dPolylinePtr closed(CVLKCDraw::polyline2d(kVertices, 2.5, 1), AcDb::kForRead);
    CVLKCLinePtr line;
    CVLKCDraw::line(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6), &line);
    ASSERT_TRUE(closed.mark(3, 1));
    ASSERT_TRUE(line.mark(7, 0));
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), 3u);  // no closing segment
    expectXyz(drawn[0].from, 0, 0, 2.5);
    expectXyz(drawn[1].from, 4, 0, 2.5);
    expectXyz(drawn[1].to, 4, 3, 2.5);
    EXPECT_EQ(std::pair(drawn[1].color, drawn[1].highlight), std::pair(3, 1));
    expectXyz(drawn[2].from, 1, 2, 3);
    expectXyz(drawn[2].to, 4, 5, 6);
    EXPECT_EQ(std::pair(drawn[2].color, drawn[2].highlight), std::pair(7, 0));

    // One vertex, or a colour the editor refuses: false, and the chain stops at once.
    host::clearScreen();
    CVLKCPolylineLWPtr single(CVLKCDraw::polylineLW(pointArray({{1, 1, 0}}), 0, 0), AcDb::kForRead);
    CVLKC3dPolylinePtr poly3d(CVLKCDraw::polyline3d(kVertices, 0), AcDb::kForRead);
    EXPECT_FALSE(single.mark(3, 1) || poly3d.mark(300, 0) || line.mark(256, 0));
    EXPECT_TRUE(host::screenVectors().empty());
}

TEST_F(DrawingCurveServicesTest, CircleMarkDrawsEightyEightHighlightedChordsInEightOctants) {
    CVLKCCirclePtr circle;
    CVLKCDraw::circle(AcGePoint3d(10, 20, 3), 2.0, AcGeVector3d::kZAxis, &circle);
    circle.mark(5);
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), 88u);
    std::set<std::pair<double, double>> ends;
    for (const host::ScreenVector& v : drawn) {
        EXPECT_EQ(std::pair(v.color, v.highlight), std::pair(5, 1));
        EXPECT_TRUE(v.from.z == 0.0 && v.to.z == 0.0);
        EXPECT_NEAR(std::hypot(v.to.x - 10, v.to.y - 20), 2.0, 1e-9);
        ends.insert({std::round(v.to.x * 1e6), std::round(v.to.y * 1e6)});
    }
    EXPECT_EQ(drawn[0].from, drawn[0].to);  // the first pass has chords of zero length
    // Each pass mirrors its chord eight ways: 4 ends on the axes first, then 8 per pass.
    EXPECT_EQ(ends.size(), 4u + 10 * 8);
}

TEST_F(DrawingCurveServicesTest, ArcLengthAndLinkedEnds) {
    CVLKCArcPtr seam(addArc(0, 0, 1, 350, 10), AcDb::kForRead);
    EXPECT_NEAR(seam.getLength(), 20 * kPi / 180, 1e-12);
    EXPECT_EQ(CVLKCArcPtr().getLength(), 0.0);

    const AcDbObjectId node =
        CVLKCDraw::insertBlockReference(addBlock(L"NODE"), AcGePoint3d(5, 5, 0), nullptr, 1.0);
    wchar_t handle[17] = {};
    node.handle().getIntoAsciiBuffer(handle, 17);
    CVLKCArcPtr arc(addArc(0, 0, 2, 0, 90), AcDb::kForWrite);
    EXPECT_NEAR(arc.getLength(), kPi, 1e-12);
    ASSERT_EQ(arc.eedWrite(L"PXN_NODE10", handle, false, true, 1005), Acad::eOk);
    ASSERT_EQ(arc.eedWrite(L"PXN_NODE11", L"FFFFF"), Acad::eOk);  // names nothing
    expectXyz(arc.getStartPoint(), 5, 5, 0);
    AcGePoint3d end(9, 9, 9);
    arc.getEndPoint(end);
    expectXyz(end, 0, 2, 0);
    // The linked start moves the middle: between (5,5) and (0,2) about the origin.
    expectXyz(arc.getMidAngleVector(), 5 / std::hypot(5, 7), 7 / std::hypot(5, 7), 0);
}

TEST_F(DrawingCurveServicesTest, ArcMiddleAndTangentsWithoutARayLeftBehind) {
    CVLKCArcPtr wide(addArc(0, 0, 1, 0, 270), AcDb::kForRead);
    CVLKCArcPtr half(addArc(0, 0, 1, 0, 180), AcDb::kForRead);
    CVLKCArcPtr quarter(addArc(2, 3, 2, 0, 90), AcDb::kForRead);
    const int entities = modelSpaceCount();
    expectXyz(wide.getMidAngleVector(), -kH, kH, 0);
    expectXyz(half.getMidAngleVector(), 0, 1, 0);
    expectXyz(quarter.getPointOnArc(), 2 + 2 * kH, 3 + 2 * kH, 0);
    expectXyz(wide.getStartPointTangentVector(), 0, 1, 0);
    expectXyz(wide.getEndPointTangentVector(), -1, 0, 0);
    expectXyz(quarter.getEndPointTangentVector(), 1, 0, 0);
    EXPECT_EQ(modelSpaceCount(), entities);

    // Without a target space for the test ray the direction stays on the chord's side.
    kestrel::targetSpaceName() = L"*NoSuchSpace";
    expectXyz(wide.getMidAngleVector(), kH, -kH, 0);
    kestrel::targetSpaceName() = ACDB_MODEL_SPACE;
}

TEST_F(DrawingCurveServicesTest, ArcPointsAtADistanceRotateFromTheStart) {
    CVLKCArcPtr quarter(addArc(0, 0, 2, 0, 90), AcDb::kForRead);
    AcGePoint3d point;
    AcGeVector3d tangent;
    AcGeVector3d radial;
    ASSERT_EQ(quarter.getPointOnArcAtDistance(kPi / 2, point, tangent, radial), 1);
    expectXyz(point, 2 * kH, 2 * kH, 0);
    expectXyz(tangent, -kH, kH, 0);
    expectXyz(radial, kH, kH, 0);
    // Backwards past the start the tangent still points away from it.
    ASSERT_EQ(quarter.getPointOnArcAtDistance(-1, point, tangent, radial), 1);
    expectXyz(point, 2 * std::cos(0.5), -2 * std::sin(0.5), 0);
    expectXyz(tangent, -std::sin(0.5), -std::cos(0.5), 0);
    CVLKCArcPtr seam(addArc(0, 0, 1, 350, 10), AcDb::kForRead);
    ASSERT_EQ(seam.getPointOnArcAtDistance(10 * kPi / 180, point, tangent, radial), 1);
    expectXyz(point, 1, 0, 0);
    expectXyz(tangent, 0, 1, 0);
    // The length, or within 0.0001 of it, is refused with the outputs untouched.
    EXPECT_EQ(quarter.getPointOnArcAtDistance(kPi, point, tangent, radial), 0);
    EXPECT_EQ(quarter.getPointOnArcAtDistance(kPi - 0.00005, point, tangent, radial), 0);
    expectXyz(point, 1, 0, 0);
}

TEST_F(DrawingCurveServicesTest, ArcSetPointsNeedsWriteAndTakesTheCircleThroughThem) {
    const AcDbObjectId id = addArc(7, 7, 3, 10, 20);
    {
        CVLKCArcPtr reading(id, AcDb::kForRead);
        EXPECT_EQ(
            reading.setPoints(AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(-1, 0, 0)),
            Acad::eNotOpenForWrite);
    }
    CVLKCArcPtr arc(id, AcDb::kForWrite);
    ASSERT_EQ(arc.setPoints(AcGePoint3d(1, 0, 2), AcGePoint3d(0, 1, 0), AcGePoint3d(-1, 0, 0)),
              Acad::eOk);
    expectXyz(arc->center(), 0, 0, 2);
    expectXyz(AcGePoint3d(arc->radius(), arc->startAngle(), arc->endAngle()), 1, 0, kPi);
    // Collinear points leave the starting values: a zero arc at the origin.
    ASSERT_EQ(arc.setPoints(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0), AcGePoint3d(2, 2, 0)),
              Acad::eOk);
    expectXyz(arc->center(), 0, 0, 0);
    EXPECT_EQ(arc->radius(), 0.0);
    // Nothing to rotate about on a zero arc, nor on an empty pointer, even backwards.
    AcGePoint3d point(3, 3, 3);
    AcGeVector3d tangent;
    EXPECT_EQ(arc.getPointOnArcAtDistance(-1, point, tangent, tangent), 0);
    CVLKCArcPtr empty;
    EXPECT_EQ(empty.getPointOnArcAtDistance(-1, point, tangent, tangent), 0);
    expectXyz(point, 3, 3, 3);
    expectXyz(empty.getStartPoint(), 0, 0, 0);
    expectXyz(empty.getMidAngleVector(), 0, 0, 0);
}

// Draws the arc's mark and checks its chords: their number, the first starting at the start
// angle, each on the circle at z 0 and joined to the one before.
void expectArcMark(CVLKCArcPtr& arc, double startDegrees, size_t chords) {
    host::clearScreen();
    ASSERT_TRUE(arc.mark(2, 0));
    const std::vector<host::ScreenVector> drawn = host::screenVectors();
    ASSERT_EQ(drawn.size(), chords);
    if (chords == 0) {
        return;
    }
    const AcGePoint3d c = arc->center();
    const double s = startDegrees * kPi / 180;
    expectXyz(drawn[0].from, c.x + std::cos(s), c.y + std::sin(s), 0);
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_NEAR(std::hypot(drawn[i].to.x - c.x, drawn[i].to.y - c.y), 1.0, 1e-9);
        EXPECT_EQ(drawn[i].to.z, 0.0);
        EXPECT_TRUE(i == 0 || drawn[i].from == drawn[i - 1].to);
    }
}

TEST_F(DrawingCurveServicesTest, ArcMarkDrawsChordsUpToTheEndAlsoAcrossTheSeam) {
    CVLKCArcPtr quarter(addArc(1, 1, 1, 0, 90), AcDb::kForRead);
    CVLKCArcPtr seam(addArc(0, 0, 1, 350, 10), AcDb::kForRead);
    CVLKCArcPtr toZero(addArc(0, 0, 1, 5.5 * 180 / kPi, 0), AcDb::kForRead);
    CVLKCArcPtr tiny(addArc(0, 0, 1, 0, 0.069 * 180 / kPi), AcDb::kForRead);
    expectArcMark(quarter, 0, 43);
    expectArcMark(seam, 350, 8);
    expectArcMark(toZero, 5.5 * 180 / kPi, 21);
    expectArcMark(tiny, 0, 0);
}

}  // namespace
