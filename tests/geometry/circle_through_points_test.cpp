// The circle through three points (CVLKCArcPtr::getCenterRadius): centres, radii and arc angles
// worked out by hand, the swap that keeps arcs counter-clockwise, the collinear refusals and the
// skipped outputs.
#include "kestrel/drawing/arc_ptr.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Circle {
    double radius = -1.0;
    double start = -1.0;
    double end = -1.0;
    AcGePoint3d centre{-7.0, -7.0, -7.0};
};

bool circleOf(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3, Circle& c) {
    return CVLKCArcPtr::getCenterRadius(p1, p2, p3, &c.radius, &c.start, &c.end, &c.centre);
}

void expectUntouched(const Circle& c) {
    const Circle fresh;
    EXPECT_EQ(c.radius, fresh.radius);
    EXPECT_EQ(c.start, fresh.start);
    EXPECT_EQ(c.end, fresh.end);
    EXPECT_EQ(c.centre.x, fresh.centre.x);
    EXPECT_EQ(c.centre.y, fresh.centre.y);
    EXPECT_EQ(c.centre.z, fresh.centre.z);
}

TEST(GeometryCircle, UpperHalfOfTheUnitCircle) {
    Circle c;
    ASSERT_TRUE(circleOf({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, c));
    EXPECT_NEAR(c.centre.x, 0.0, 1e-12);
    EXPECT_NEAR(c.centre.y, 0.0, 1e-12);
    EXPECT_DOUBLE_EQ(c.radius, 1.0);
    EXPECT_NEAR(c.start, 0.0, 1e-12);
    EXPECT_NEAR(c.end, kPi, 1e-12);
}

TEST(GeometryCircle, ClockwiseOrderSwapsTheAngles) {
    Circle c;
    ASSERT_TRUE(circleOf({-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, c));
    EXPECT_NEAR(c.start, 0.0, 1e-12);
    EXPECT_NEAR(c.end, kPi, 1e-12);

    // Lower half, walked clockwise from (1,0) through (0,-1) to (-1,0): the counter-clockwise arc
    // from pi to 0 (2 pi) passes (0,-1).
    ASSERT_TRUE(circleOf({1, 0, 0}, {0, -1, 0}, {-1, 0, 0}, c));
    EXPECT_NEAR(c.start, kPi, 1e-12);
    EXPECT_NEAR(c.end, 0.0, 1e-12);
}

TEST(GeometryCircle, HorizontalFirstChord) {
    Circle c;
    ASSERT_TRUE(circleOf({0, 0, 0}, {1, 0, 0}, {2, 1, 0}, c));
    EXPECT_DOUBLE_EQ(c.centre.x, 0.5);
    EXPECT_DOUBLE_EQ(c.centre.y, 1.5);
    EXPECT_DOUBLE_EQ(c.radius, std::sqrt(2.5));
    EXPECT_DOUBLE_EQ(c.start, std::atan2(-1.5, -0.5) + 2 * kPi);
    EXPECT_DOUBLE_EQ(c.end, std::atan2(-0.5, 1.5) + 2 * kPi);
}

TEST(GeometryCircle, VerticalThenHorizontalChordTakesTheMidpoints) {
    Circle c;
    ASSERT_TRUE(circleOf({0, 0, 0}, {0, 1, 0}, {1, 1, 0}, c));
    EXPECT_DOUBLE_EQ(c.centre.x, 0.5);
    EXPECT_DOUBLE_EQ(c.centre.y, 0.5);
    EXPECT_DOUBLE_EQ(c.radius, std::sqrt(0.5));

    // Nearly vertical and nearly horizontal within the tolerance: the midpoints still give the
    // centre, although the exact crossing of the bisectors lies elsewhere.
    ASSERT_TRUE(circleOf({0, 0, 0}, {0.00005, 1, 0}, {1, 1.00005, 0}, c));
    EXPECT_DOUBLE_EQ(c.centre.x, 0.500025);
    EXPECT_DOUBLE_EQ(c.centre.y, 0.5);
}

TEST(GeometryCircle, VerticalFirstChordWithSlopedSecond) {
    Circle c;
    ASSERT_TRUE(circleOf({0, 0, 0}, {0, 2, 0}, {1, 3, 0}, c));
    EXPECT_NEAR(c.centre.x, 2.0, 1e-12);
    EXPECT_NEAR(c.centre.y, 1.0, 1e-12);
    EXPECT_NEAR(c.radius, std::sqrt(5.0), 1e-12);
    // (0,0) -> (0,2) -> (1,3) turns clockwise around (2,1): the ends are exchanged.
    EXPECT_NEAR(c.start, std::atan2(2.0, -1.0), 1e-12);
    EXPECT_NEAR(c.end, std::atan2(-1.0, -2.0) + 2 * kPi, 1e-12);
}

TEST(GeometryCircle, TwoSlopedChords) {
    // (3,4), (5,0), (-3,-4) lie on the circle of radius 5 about the origin.
    Circle c;
    ASSERT_TRUE(circleOf({3, 4, 0}, {5, 0, 0}, {-3, -4, 0}, c));
    EXPECT_NEAR(c.centre.x, 0.0, 1e-12);
    EXPECT_NEAR(c.centre.y, 0.0, 1e-12);
    EXPECT_NEAR(c.radius, 5.0, 1e-12);
    // Clockwise through (5,0): the arc runs counter-clockwise from (-3,-4) to (3,4).
    EXPECT_NEAR(c.start, std::atan2(-4.0, -3.0) + 2 * kPi, 1e-12);
    EXPECT_NEAR(c.end, std::atan2(4.0, 3.0), 1e-12);
}

TEST(GeometryCircle, CentreTakesTheFirstPointsZ) {
    Circle c;
    ASSERT_TRUE(circleOf({1, 0, 2.5}, {0, 1, -9}, {-1, 0, 40}, c));
    EXPECT_DOUBLE_EQ(c.centre.z, 2.5);
    EXPECT_DOUBLE_EQ(c.radius, 1.0);
}

TEST(GeometryCircle, CollinearPointsWriteNothing) {
    Circle c;
    EXPECT_FALSE(circleOf({0, 0, 0}, {1, 1, 0}, {2, 2, 0}, c));
    expectUntouched(c);
    // Within the area tolerance.
    EXPECT_FALSE(circleOf({0, 0, 0}, {1, 0.00004, 0}, {2, 0, 0}, c));
    expectUntouched(c);
    // Two equal points.
    EXPECT_FALSE(circleOf({1, 1, 0}, {1, 1, 0}, {3, 0, 0}, c));
    expectUntouched(c);
    // Only z differs: the points are one point of the XY plane.
    EXPECT_FALSE(circleOf({0, 0, 0}, {0, 0, 1}, {0, 0, 2}, c));
    expectUntouched(c);
}

TEST(GeometryCircle, NearlyEqualSlopesWriteNothing) {
    // The area is far above the tolerance, but the slopes 1 and 1.00005 are within it.
    Circle c;
    EXPECT_FALSE(circleOf({0, 0, 0}, {1000, 1000, 0}, {2000, 2000.05, 0}, c));
    expectUntouched(c);
    // The same points scaled down: the slopes differ by 0.05 and the circle exists.
    EXPECT_TRUE(circleOf({0, 0, 0}, {1, 1, 0}, {2, 2.05, 0}, c));
}

TEST(GeometryCircle, NullOutputsAreSkipped) {
    AcGePoint3d centre(9, 9, 9);
    EXPECT_TRUE(CVLKCArcPtr::getCenterRadius({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, nullptr, nullptr,
                                             nullptr, &centre));
    EXPECT_NEAR(centre.x, 0.0, 1e-12);
    EXPECT_NEAR(centre.y, 0.0, 1e-12);

    double radius = 0.0;
    double end = -1.0;
    EXPECT_TRUE(CVLKCArcPtr::getCenterRadius({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, &radius, nullptr,
                                             &end, nullptr));
    EXPECT_DOUBLE_EQ(radius, 1.0);
    EXPECT_NEAR(end, kPi, 1e-12);
    EXPECT_TRUE(CVLKCArcPtr::getCenterRadius({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, nullptr, nullptr,
                                             nullptr, nullptr));
}

}  // namespace
