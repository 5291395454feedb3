// The typed pointers' curve services: polyline vertex lists of all three kinds, the screen marks
// of lines, circles, polylines and arcs as read back from the editor's vectors, and the arc
// queries (length, linked end points, middle, tangents, points along the arc, three points).
#include <cmath>
#include <memory>
#include <vector>

#include "drawing/entity_creation.h"
#include "drawing_fixture.h"
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

}  // namespace
