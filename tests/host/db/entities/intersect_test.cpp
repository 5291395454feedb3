// intersectWith on pairs of lines, rays, arcs, circles and ellipses, with each extend mode:
// crossings and tangencies worked out by hand, curves in crossing planes, and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "tests/host/db/entities/entity_fixture.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/ray.h"

namespace {

using entity_test::holds;

constexpr double kPi = 3.14159265358979323846;

AcGePoint3dArray meet(const AcDbEntity& a, const AcDbEntity& b,
                      AcDb::Intersect mode = AcDb::kOnBothOperands) {
    AcGePoint3dArray points;
    EXPECT_EQ(a.intersectWith(&b, mode, points), Acad::eOk);
    return points;
}

// a and b meet in exactly the points expected, in any order.
::testing::AssertionResult meetsAt(const AcDbEntity& a, const AcDbEntity& b,
                                   const std::vector<AcGePoint3d>& expected,
                                   AcDb::Intersect mode = AcDb::kOnBothOperands) {
    const AcGePoint3dArray points = meet(a, b, mode);
    if (points.length() != static_cast<int>(expected.size())) {
        return ::testing::AssertionFailure()
               << points.length() << " points where " << expected.size() << " were expected";
    }
    for (const AcGePoint3d& p : expected) {
        if (!holds(points, p)) {
            return ::testing::AssertionFailure() << entity_test::describe(p) << " is missing";
        }
    }
    return ::testing::AssertionSuccess();
}

AcDbRay* rayFrom(const AcGePoint3d& base, const AcGeVector3d& direction) {
    auto* ray = new AcDbRay;
    ray->setBasePoint(base);
    ray->setUnitDir(direction.normal());
    return ray;
}

class EntityIntersectTest : public entity_test::EntityTest {};

TEST_F(EntityIntersectTest, EntityIntersectLinesWithEveryExtendMode) {
    const AcDbLine crossing(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
    const AcDbLine upright(AcGePoint3d(5, -5, 0), AcGePoint3d(5, 5, 0));
    EXPECT_TRUE(meetsAt(crossing, upright, {AcGePoint3d(5, 0, 0)}));

    // A short segment ends before the upright one: only extending it finds the point.
    const AcDbLine shortLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    EXPECT_EQ(meet(shortLine, upright).length(), 0);
    EXPECT_EQ(meet(shortLine, upright, AcDb::kExtendArg).length(), 0);
    EXPECT_EQ(meet(shortLine, upright, AcDb::kExtendThis).length(), 1);
    EXPECT_EQ(meet(upright, shortLine, AcDb::kExtendArg).length(), 1);
    EXPECT_EQ(meet(shortLine, upright, AcDb::kExtendBoth).length(), 1);
}

TEST_F(EntityIntersectTest, EntityIntersectParallelAndSkewLinesNeverMeet) {
    const AcDbLine a(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    const AcDbLine parallel(AcGePoint3d(0, 1, 0), AcGePoint3d(1, 1, 0));
    const AcDbLine skew(AcGePoint3d(0, 1, 1), AcGePoint3d(0, 1, 2));
    EXPECT_EQ(meet(a, parallel, AcDb::kExtendBoth).length(), 0);
    EXPECT_EQ(meet(a, skew, AcDb::kExtendBoth).length(), 0);
}

TEST_F(EntityIntersectTest, EntityIntersectLineWithCircleCrossingAndTangent) {
    const AcDbCircle circle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 5.0);
    const AcDbLine chord(AcGePoint3d(-10, 3, 0), AcGePoint3d(10, 3, 0));
    EXPECT_TRUE(meetsAt(chord, circle, {AcGePoint3d(4, 3, 0), AcGePoint3d(-4, 3, 0)}));

    const AcDbLine tangent(AcGePoint3d(-10, 5, 0), AcGePoint3d(10, 5, 0));
    EXPECT_TRUE(meetsAt(tangent, circle, {AcGePoint3d(0, 5, 0)}));

    // A line through the circle's plane meets it where it crosses the plane, on the circle.
    const AcDbLine piercing(AcGePoint3d(3, 4, -1), AcGePoint3d(3, 4, 1));
    EXPECT_TRUE(meetsAt(piercing, circle, {AcGePoint3d(3, 4, 0)}));
}

TEST_F(EntityIntersectTest, EntityIntersectLineWithArcHonoursTheSweepUnlessExtended) {
    const AcDbArc arc(AcGePoint3d(0, 0, 0), 5.0, 0.0, kPi / 2);
    const AcDbLine chord(AcGePoint3d(-10, 3, 0), AcGePoint3d(10, 3, 0));
    EXPECT_TRUE(meetsAt(chord, arc, {AcGePoint3d(4, 3, 0)}));
    EXPECT_TRUE(
        meetsAt(chord, arc, {AcGePoint3d(4, 3, 0), AcGePoint3d(-4, 3, 0)}, AcDb::kExtendArg));
    // Extending the line alone does not extend the arc.
    EXPECT_EQ(meet(chord, arc, AcDb::kExtendThis).length(), 1);
}

TEST_F(EntityIntersectTest, EntityIntersectRayWithCircleOnlyAhead) {
    const AcDbCircle circle(AcGePoint3d(10, 0, 0), AcGeVector3d::kZAxis, 2.0);
    std::unique_ptr<AcDbRay> ahead(rayFrom(AcGePoint3d(0, 0, 0), AcGeVector3d(1, 0, 0)));
    EXPECT_TRUE(meetsAt(*ahead, circle, {AcGePoint3d(8, 0, 0), AcGePoint3d(12, 0, 0)}));

    std::unique_ptr<AcDbRay> away(rayFrom(AcGePoint3d(0, 0, 0), AcGeVector3d(-1, 0, 0)));
    EXPECT_EQ(meet(*away, circle).length(), 0);
    EXPECT_EQ(meet(*away, circle, AcDb::kExtendThis).length(), 2);
    EXPECT_EQ(meet(circle, *away, AcDb::kExtendArg).length(), 2);
}

TEST_F(EntityIntersectTest, EntityIntersectRayWithLineAndRay) {
    std::unique_ptr<AcDbRay> ray(rayFrom(AcGePoint3d(0, 0, 0), AcGeVector3d(1, 1, 0)));
    const AcDbLine line(AcGePoint3d(4, 0, 0), AcGePoint3d(4, 10, 0));
    EXPECT_TRUE(meetsAt(*ray, line, {AcGePoint3d(4, 4, 0)}));
    std::unique_ptr<AcDbRay> other(rayFrom(AcGePoint3d(0, 6, 0), AcGeVector3d(1, -1, 0)));
    EXPECT_TRUE(meetsAt(*ray, *other, {AcGePoint3d(3, 3, 0)}));
    std::unique_ptr<AcDbRay> behind(rayFrom(AcGePoint3d(0, 6, 0), AcGeVector3d(-1, 1, 0)));
    EXPECT_EQ(meet(*ray, *behind).length(), 0);
    EXPECT_EQ(meet(*ray, *behind, AcDb::kExtendArg).length(), 1);
}

TEST_F(EntityIntersectTest, EntityIntersectCirclesCrossingAndTouching) {
    const AcDbCircle a(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 5.0);
    const AcDbCircle b(AcGePoint3d(8, 0, 0), AcGeVector3d::kZAxis, 5.0);
    EXPECT_TRUE(meetsAt(a, b, {AcGePoint3d(4, 3, 0), AcGePoint3d(4, -3, 0)}));

    const AcDbCircle touching(AcGePoint3d(10, 0, 0), AcGeVector3d::kZAxis, 5.0);
    EXPECT_TRUE(meetsAt(a, touching, {AcGePoint3d(5, 0, 0)}));

    const AcDbCircle inside(AcGePoint3d(1, 0, 0), AcGeVector3d::kZAxis, 1.0);
    const AcDbCircle concentric(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 2.0);
    EXPECT_EQ(meet(a, inside).length(), 0);
    EXPECT_EQ(meet(a, concentric).length(), 0);
}

TEST_F(EntityIntersectTest, EntityIntersectArcsWithAndWithoutExtension) {
    const AcDbArc a(AcGePoint3d(0, 0, 0), 5.0, 0.0, kPi / 2);
    const AcDbArc b(AcGePoint3d(8, 0, 0), 5.0, kPi / 2, kPi);
    EXPECT_TRUE(meetsAt(a, b, {AcGePoint3d(4, 3, 0)}));
    EXPECT_EQ(meet(a, b, AcDb::kExtendThis).length(), 1);
    EXPECT_EQ(meet(a, b, AcDb::kExtendBoth).length(), 2);
}

TEST_F(EntityIntersectTest, EntityIntersectCirclesInCrossingPlanes) {
    const AcDbCircle flat(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.0);
    const AcDbCircle upright(AcGePoint3d(0, 0, 0), AcGeVector3d::kYAxis, 1.0);
    EXPECT_TRUE(meetsAt(flat, upright, {AcGePoint3d(1, 0, 0), AcGePoint3d(-1, 0, 0)}));

    // Through the plane but beside the circle: no point.
    const AcDbCircle beside(AcGePoint3d(3, 0, 0), AcGeVector3d::kYAxis, 1.0);
    EXPECT_EQ(meet(flat, beside).length(), 0);
}

TEST_F(EntityIntersectTest, EntityIntersectEllipseWithLineAndCircle) {
    const AcDbEllipse ellipse(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0),
                              0.5);
    const AcDbLine upright(AcGePoint3d(1, -5, 0), AcGePoint3d(1, 5, 0));
    const double h = std::sqrt(0.75);
    EXPECT_TRUE(meetsAt(ellipse, upright, {AcGePoint3d(1, h, 0), AcGePoint3d(1, -h, 0)}));

    // x^2/4 + y^2 = 1 and x^2 + y^2 = 2.25: x^2 = 5/3, y^2 = 7/12, four points.
    const AcDbCircle circle(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.5);
    const double x = std::sqrt(5.0 / 3.0);
    const double y = std::sqrt(7.0 / 12.0);
    EXPECT_TRUE(meetsAt(ellipse, circle,
                        {AcGePoint3d(x, y, 0), AcGePoint3d(-x, y, 0), AcGePoint3d(x, -y, 0),
                         AcGePoint3d(-x, -y, 0)}));

    // The unit circle touches the ellipse at the ends of its minor axis.
    const AcDbCircle inner(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, 1.0);
    EXPECT_TRUE(meetsAt(inner, ellipse, {AcGePoint3d(0, 1, 0), AcGePoint3d(0, -1, 0)}));
}

TEST_F(EntityIntersectTest, EntityIntersectRefusesWhatIsNotACurve) {
    const AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    const AcDbPoint point(AcGePoint3d(0, 0, 0));
    AcGePoint3dArray points;
    EXPECT_EQ(line.intersectWith(&point, AcDb::kOnBothOperands, points), Acad::eNotApplicable);
    EXPECT_EQ(line.intersectWith(nullptr, AcDb::kOnBothOperands, points), Acad::eInvalidInput);
    EXPECT_EQ(points.length(), 0);
}

TEST_F(EntityIntersectTest, EntityIntersectAppendsToWhatThePointsHeld) {
    const AcDbLine a(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0));
    const AcDbLine b(AcGePoint3d(0, 2, 0), AcGePoint3d(2, 0, 0));
    AcGePoint3dArray points;
    points.append(AcGePoint3d(9, 9, 9));
    ASSERT_EQ(a.intersectWith(&b, AcDb::kOnBothOperands, points), Acad::eOk);
    ASSERT_EQ(points.length(), 2);
    EXPECT_TRUE(entity_test::near(points[0], AcGePoint3d(9, 9, 9)));
    EXPECT_TRUE(entity_test::near(points[1], AcGePoint3d(1, 1, 0)));
}

}  // namespace
