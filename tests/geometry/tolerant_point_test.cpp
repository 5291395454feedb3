// CVLKCPoint3d: tolerant equality with an inclusive bound, the non-symmetric ordering, and what
// assignment does to the tolerance.
#include "kestrel/geometry/tolerant_point.h"

#include <gtest/gtest.h>

namespace {

CVLKCPoint3d at(double x, double y, double z, double tolerance = 0.001) {
    return CVLKCPoint3d(AcGePoint3d(x, y, z), tolerance);
}

TEST(GeometryTolerantPoint, DefaultIsTheOriginWithAThousandth) {
    CVLKCPoint3d point;
    EXPECT_EQ(static_cast<const AcGePoint3d&>(point), AcGePoint3d(0, 0, 0));
    EXPECT_EQ(point.GetTolerance(), 0.001);
    EXPECT_EQ(CVLKCPoint3d(-2.0).GetTolerance(), -2.0) << "any tolerance is kept";
}

TEST(GeometryTolerantPoint, EqualityBoundIsInclusiveAndOnlyTheLeftToleranceCounts) {
    EXPECT_TRUE(at(0, 0, 0) == AcGePoint3d(0.0009, 0, 0));
    EXPECT_FALSE(at(0, 0, 0) == AcGePoint3d(0.0011, 0, 0));
    EXPECT_TRUE(at(0, 0, 0, 0.5) == AcGePoint3d(0.5, 0, 0));
    EXPECT_TRUE(at(0, 0, 0) == at(0, 0, 0.0005));
    EXPECT_TRUE(at(0, 0, 0, 0.01) == at(0.005, 0, 0, 0.001));
    EXPECT_FALSE(at(0.005, 0, 0, 0.001) == at(0, 0, 0, 0.01));
    EXPECT_TRUE(at(1, 2, 3, 0) == AcGePoint3d(1, 2, 3));
    EXPECT_FALSE(at(1, 2, 3, 0) == AcGePoint3d(1, 2, 3.0000001));
}

TEST(GeometryTolerantPoint, OrderingLooksAtYOnlyWhenXIsClose) {
    const CVLKCPoint3d a = at(0, 1, 0);
    const CVLKCPoint3d b = at(0.0005, 0, 0);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a > b);
    EXPECT_TRUE(b > a);

    const CVLKCPoint3d origin = at(0, 0, 0);
    EXPECT_FALSE(origin < at(0, 0, 0));
    EXPECT_FALSE(origin > at(0, 0, 0));
    EXPECT_FALSE(origin < AcGePoint3d(0, 0, 5)) << "z never orders";
    EXPECT_FALSE(origin > AcGePoint3d(0, 0, 5));
    EXPECT_FALSE(origin == AcGePoint3d(0, 0, 5));
    EXPECT_FALSE(at(1, 0, 0) < AcGePoint3d(0, 5, 0)) << "x far apart decides alone";
    EXPECT_TRUE(at(1, 0, 0) > AcGePoint3d(0, 5, 0));
    EXPECT_FALSE(at(0.5, 0, 0, 0) < at(0, 1, 0, 1.0)) << "the right tolerance is ignored";
    EXPECT_TRUE(at(0.5, 0, 0, 1.0) < at(0, 1, 0, 0));

    const CVLKCPoint3d exact = at(0, 0, 0, 0);
    EXPECT_TRUE(exact < AcGePoint3d(1e-9, -1, 0));
    EXPECT_FALSE(exact < AcGePoint3d(0, 1, 0)) << "with tolerance 0 equal x orders nothing";
    EXPECT_FALSE(exact > AcGePoint3d(0, -1, 0));
}

TEST(GeometryTolerantPoint, AssignmentKeepsOrTakesTheTolerance) {
    CVLKCPoint3d point(0.5);
    point = AcGePoint3d(1, 2, 3);
    EXPECT_EQ(point.GetTolerance(), 0.5);
    EXPECT_EQ(static_cast<const AcGePoint3d&>(point), AcGePoint3d(1, 2, 3));
    point = at(4, 5, 6, 0.25);
    EXPECT_EQ(point.GetTolerance(), 0.25);
    EXPECT_EQ(point.x, 4.0);
    point.SetTolerance(2.0);
    EXPECT_EQ(point.GetTolerance(), 2.0);
    EXPECT_EQ(point.z, 6.0);
}

}  // namespace
