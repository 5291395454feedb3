// Extents: the empty box, growth by points and boxes, transformation, and the plane angle helpers.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/host/ge/angles.h"
#include "kestrel/host/ge/extents.h"
#include "tests/support/host_checks.h"

namespace {

using testsupport::near;

constexpr double kEps = 1e-12;

TEST(GeExtents, EmptyBoxIsNotAPoint) {
    AcDbExtents empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.contains(AcGePoint3d::kOrigin));
    // Its middle is the origin, which callers that centre on an empty box rely on.
    EXPECT_TRUE(near(empty.minPoint() + (empty.maxPoint() - empty.minPoint()) / 2,
                     AcGePoint3d::kOrigin, kEps));

    AcDbExtents point;
    point.addPoint(AcGePoint3d::kOrigin);
    EXPECT_FALSE(point.isEmpty());
    EXPECT_TRUE(point.contains(AcGePoint3d::kOrigin));
    EXPECT_TRUE(near(point.minPoint(), AcGePoint3d::kOrigin, kEps));
    EXPECT_TRUE(near(point.maxPoint(), AcGePoint3d::kOrigin, kEps));
}

TEST(GeExtents, AddPointsAndBoxes) {
    AcDbExtents box;
    box.addPoint(AcGePoint3d(1, 5, -2));
    box.addPoint(AcGePoint3d(-3, 2, 4));
    box.addPoint(AcGePoint3d(0, 0, 0));
    EXPECT_TRUE(near(box.minPoint(), AcGePoint3d(-3, 0, -2), kEps));
    EXPECT_TRUE(near(box.maxPoint(), AcGePoint3d(1, 5, 4), kEps));

    AcDbExtents same = box;
    same.addExt(AcDbExtents());
    EXPECT_TRUE(near(same.minPoint(), box.minPoint(), kEps));
    EXPECT_TRUE(near(same.maxPoint(), box.maxPoint(), kEps));

    AcDbExtents grown;
    grown.addExt(AcDbExtents());
    EXPECT_TRUE(grown.isEmpty());
    grown.addExt(box);
    grown.addExt(AcDbExtents(AcGePoint3d(10, 10, 10), AcGePoint3d(11, 11, 11)));
    EXPECT_TRUE(near(grown.minPoint(), AcGePoint3d(-3, 0, -2), kEps));
    EXPECT_TRUE(near(grown.maxPoint(), AcGePoint3d(11, 11, 11), kEps));
}

TEST(GeExtents, SetRefusesReversedCorners) {
    AcDbExtents box(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 1));
    EXPECT_EQ(box.set(AcGePoint3d(2, 0, 0), AcGePoint3d(1, 1, 1)), Acad::eInvalidExtents);
    EXPECT_TRUE(near(box.maxPoint(), AcGePoint3d(1, 1, 1), kEps));
    EXPECT_EQ(box.set(AcGePoint3d(-1, -1, -1), AcGePoint3d(-1, 3, -1)), Acad::eOk);
    EXPECT_TRUE(near(box.maxPoint(), AcGePoint3d(-1, 3, -1), kEps));
    EXPECT_TRUE(AcDbExtents(AcGePoint3d(0, 1, 0), AcGePoint3d(0, 0, 0)).isEmpty());
    box.reset();
    EXPECT_TRUE(box.isEmpty());
}

TEST(GeExtents, TransformUsesAllEightCorners) {
    AcDbExtents box(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 1, 1));
    // A quarter turn about Z through (1, 0, 0): the box swings to the other side of x = 1.
    box.transformBy(AcGeMatrix3d::rotation(kGePi / 2, AcGeVector3d::kZAxis, AcGePoint3d(1, 0, 0)));
    EXPECT_TRUE(near(box.minPoint(), AcGePoint3d(0, -1, 0), kEps));
    EXPECT_TRUE(near(box.maxPoint(), AcGePoint3d(1, 1, 1), kEps));

    // An eighth turn makes the box wider than both corners alone would.
    AcDbExtents square(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    square.transformBy(AcGeMatrix3d::rotation(kGePi / 4, AcGeVector3d::kZAxis));
    EXPECT_TRUE(near(square.minPoint(), AcGePoint3d(-std::sqrt(0.5), 0, 0), kEps));
    EXPECT_TRUE(near(square.maxPoint(), AcGePoint3d(std::sqrt(0.5), std::sqrt(2.0), 0), kEps));

    AcDbExtents scaled(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0));
    scaled.transformBy(AcGeMatrix3d::scaling(5.0, AcGePoint3d(1, 1, 0)));
    EXPECT_TRUE(near(scaled.minPoint(), AcGePoint3d(-4, -4, 0), kEps));
    EXPECT_TRUE(near(scaled.maxPoint(), AcGePoint3d(6, 6, 0), kEps));

    AcDbExtents empty;
    empty.transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 2, 3)));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(GeExtents, ExpandByMovesOneSide) {
    AcDbExtents box(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 1));
    box.expandBy(AcGeVector3d(2, -3, 0));
    EXPECT_TRUE(near(box.minPoint(), AcGePoint3d(0, -3, 0), kEps));
    EXPECT_TRUE(near(box.maxPoint(), AcGePoint3d(3, 1, 1), kEps));
    AcDbExtents empty;
    empty.expandBy(AcGeVector3d(1, 1, 1));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(GeAngles, AcutAngleCoversEachQuadrant) {
    const double from[3] = {1, 1, 5};
    struct Case {
        double x, y, angle;
    };
    const Case cases[] = {
        {2, 1, 0},     {2, 2, kGePi / 4},     {1, 2, kGePi / 2},     {0, 2, 3 * kGePi / 4},
        {0, 1, kGePi}, {0, 0, 5 * kGePi / 4}, {1, 0, 3 * kGePi / 2}, {2, 0, 7 * kGePi / 4},
        {1, 1, 0},  // coincident points
    };
    for (const Case& c : cases) {
        const double to[3] = {c.x, c.y, -9};
        const double angle = acutAngle(from, to);
        EXPECT_NEAR(angle, c.angle, kEps) << c.x << "," << c.y;
    }
    // Just below the X axis the angle approaches but never reaches 2 pi.
    const double origin[3] = {0, 0, 0};
    const double below[3] = {1, -1e-300, 0};
    const double angle = acutAngle(origin, below);
    EXPECT_GE(angle, 0.0);
    EXPECT_LT(angle, kGeTwoPi);
    EXPECT_FALSE(std::signbit(normalizeAngle(-0.0)));
    EXPECT_NEAR(normalizeAngle(-kGePi / 2), 3 * kGePi / 2, kEps);
    EXPECT_NEAR(normalizeAngle(5 * kGePi), kGePi, 1e-9);
    EXPECT_EQ(normalizeAngle(std::nan("")), 0.0);
}

TEST(GeAngles, DistanceAndPolar) {
    const double a[3] = {1, 2, 3};
    const double b[3] = {3, 5, 9};
    EXPECT_DOUBLE_EQ(acutDistance(a, b), 7.0);
    double p[3] = {1, 1, 4};
    acutPolar(p, kGePi / 2, 2.0, p);
    EXPECT_NEAR(p[0], 1.0, kEps);
    EXPECT_NEAR(p[1], 3.0, kEps);
    EXPECT_EQ(p[2], 4.0);
    double q[3];
    acutPolar(a, acutAngle(a, b), std::hypot(2.0, 3.0), q);
    EXPECT_NEAR(q[0], 3.0, kEps);
    EXPECT_NEAR(q[1], 5.0, kEps);
    EXPECT_EQ(q[2], 3.0);
}

}  // namespace
