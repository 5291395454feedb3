// Vectors and points: arithmetic, normalisation, directional tests, angles, rotation, tolerances.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/host/ge/angles.h"
#include "kestrel/host/ge/matrix3d.h"
#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"
#include "tests/support/host_checks.h"

namespace {

using testsupport::near;

constexpr double kEps = 1e-12;

// Restores the global tolerance a test changes.
class GeToleranceGuard {
public:
    GeToleranceGuard() : m_saved(AcGeContext::gTol) {}
    ~GeToleranceGuard() { AcGeContext::gTol = m_saved; }

private:
    AcGeTol m_saved;
};

TEST(GeVector, ProductsAndLengths) {
    const AcGeVector3d a(1, 2, 3);
    const AcGeVector3d b(-2, 0, 5);
    EXPECT_DOUBLE_EQ(a.dotProduct(b), 13.0);
    const AcGeVector3d c = a.crossProduct(b);
    EXPECT_NEAR(c.dotProduct(a), 0.0, kEps);
    EXPECT_NEAR(c.dotProduct(b), 0.0, kEps);
    EXPECT_TRUE(near(c, AcGeVector3d(10, -11, 4), kEps));
    EXPECT_DOUBLE_EQ(AcGeVector3d(2, 3, 6).length(), 7.0);
    EXPECT_DOUBLE_EQ(AcGeVector3d(2, 3, 6).lengthSqrd(), 49.0);
    EXPECT_TRUE(near(2.0 * a - b / 2.0, AcGeVector3d(3, 4, 3.5), kEps));
    EXPECT_EQ(AcGeVector3d::kXAxis.crossProduct(AcGeVector3d::kYAxis), AcGeVector3d::kZAxis);
    EXPECT_DOUBLE_EQ(AcGeVector3d::kIdentity.length(), 0.0);
}

TEST(GeVector, IndexingReachesEachComponentAndAbortsBeyond) {
    AcGeVector3d v(4, 5, 6);
    v[1] = 9;
    EXPECT_EQ(v.y, 9);
    EXPECT_EQ(v[2], 6);
    EXPECT_DEATH(v[3] = 0, "AcGeVector3d::operator\\[\\]: index 3 out of range");
}

TEST(GeVector, NormalisationKeepsZeroVectorsAndReportsThem) {
    const AcGeVector3d n = AcGeVector3d(0, 3, 4).normal();
    EXPECT_TRUE(near(n, AcGeVector3d(0, 0.6, 0.8), kEps));
    EXPECT_TRUE(n.isUnitLength());

    AcGeVector3d zero(1e-12, 0, 0);
    AcGe::ErrorCondition flag = AcGe::kOk;
    zero.normalize(AcGeContext::gTol, flag);
    EXPECT_EQ(flag, AcGe::k0This);
    EXPECT_EQ(zero.x, 1e-12);
    EXPECT_TRUE(zero.isZeroLength());

    AcGeTol loose;
    loose.setEqualVector(1e-13);
    zero.normalize(loose, flag);
    EXPECT_EQ(flag, AcGe::kOk);
    EXPECT_DOUBLE_EQ(zero.x, 1.0);
}

TEST(GeVector, DirectionalTestsFollowTolerance) {
    const AcGeVector3d x = AcGeVector3d::kXAxis;
    EXPECT_TRUE(x.isParallelTo(AcGeVector3d(-5, 0, 0)));
    EXPECT_FALSE(x.isCodirectionalTo(AcGeVector3d(-5, 0, 0)));
    EXPECT_TRUE(x.isCodirectionalTo(AcGeVector3d(5, 0, 0)));
    EXPECT_TRUE(x.isPerpendicularTo(AcGeVector3d(0, 2, 3)));
    EXPECT_FALSE(x.isPerpendicularTo(AcGeVector3d(0.1, 2, 3)));

    const AcGeVector3d tilted(1, 1e-7, 0);
    EXPECT_FALSE(x.isParallelTo(tilted));
    AcGeTol loose;
    loose.setEqualVector(1e-6);
    EXPECT_TRUE(x.isParallelTo(tilted, loose));
    EXPECT_TRUE(x.isCodirectionalTo(tilted, loose));

    // A zero vector has no direction.
    EXPECT_FALSE(AcGeVector3d::kIdentity.isParallelTo(x));
    EXPECT_FALSE(x.isPerpendicularTo(AcGeVector3d::kIdentity));
    EXPECT_FALSE(AcGeVector3d::kIdentity.isCodirectionalTo(AcGeVector3d::kIdentity));
}

TEST(GeVector, EqualityUsesTheGlobalTolerance) {
    GeToleranceGuard guard;
    const AcGeVector3d a(1, 1, 1);
    const AcGeVector3d b(1 + 1e-8, 1, 1);
    EXPECT_NE(a, b);
    AcGeContext::gTol.setEqualVector(1e-6);
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a.isEqualTo(b, AcGeTol()));
}

TEST(GeVector, AnglesCoverBothRanges) {
    const AcGeVector3d x = AcGeVector3d::kXAxis;
    const AcGeVector3d y = AcGeVector3d::kYAxis;
    EXPECT_NEAR(x.angleTo(y), kGePi / 2, kEps);
    EXPECT_NEAR(y.angleTo(x), kGePi / 2, kEps);
    EXPECT_NEAR(x.angleTo(-x), kGePi, kEps);
    EXPECT_NEAR(x.angleTo(AcGeVector3d(1, 1e-9, 0)), 1e-9, 1e-18);
    EXPECT_NEAR(x.angleTo(y, AcGeVector3d::kZAxis), kGePi / 2, kEps);
    EXPECT_NEAR(y.angleTo(x, AcGeVector3d::kZAxis), 3 * kGePi / 2, kEps);
    EXPECT_NEAR(y.angleTo(x, -AcGeVector3d::kZAxis), kGePi / 2, kEps);
    EXPECT_EQ(x.angleTo(x, AcGeVector3d::kZAxis), 0.0);
    EXPECT_EQ(x.angleTo(AcGeVector3d::kIdentity), 0.0);
}

TEST(GeVector, RotationIsRightHandedAndReversible) {
    AcGeVector3d v = AcGeVector3d::kXAxis;
    v.rotateBy(kGePi / 2, AcGeVector3d::kZAxis);
    EXPECT_TRUE(near(v, AcGeVector3d::kYAxis, kEps));

    // A third of a turn about the diagonal cycles the axes.
    AcGeVector3d w = AcGeVector3d::kXAxis;
    w.rotateBy(2 * kGePi / 3, AcGeVector3d(1, 1, 1));
    EXPECT_TRUE(near(w, AcGeVector3d::kYAxis, kEps));

    AcGeVector3d u(3, -2, 7);
    const AcGeVector3d axis(0.3, -1, 2);
    u.rotateBy(1.1, axis).rotateBy(-1.1, axis);
    EXPECT_TRUE(near(u, AcGeVector3d(3, -2, 7), kEps));

    AcGeVector3d still(1, 2, 3);
    still.rotateBy(1.0, AcGeVector3d::kIdentity);
    EXPECT_TRUE(near(still, AcGeVector3d(1, 2, 3), kEps));
}

TEST(GeVector, PerpVectorIsUnitAndPerpendicular) {
    const AcGeVector3d samples[] = {
        {0, 0, 1}, {0, 0, -3}, {1, 0, 0}, {0.001, 0.001, 1}, {2, -7, 0.5}};
    for (const AcGeVector3d& v : samples) {
        const AcGeVector3d p = v.perpVector();
        EXPECT_TRUE(p.isUnitLength()) << v.x << "," << v.y << "," << v.z;
        EXPECT_NEAR(p.dotProduct(v), 0.0, kEps);
    }
    EXPECT_TRUE(AcGeVector3d::kIdentity.perpVector().isZeroLength());
}

TEST(GeVector, TransformIgnoresTranslation) {
    AcGeMatrix3d m = AcGeMatrix3d::rotation(kGePi / 2, AcGeVector3d::kZAxis);
    m.setTranslation(AcGeVector3d(10, 20, 30));
    AcGeVector3d v(1, 0, 0);
    v.transformBy(m);
    EXPECT_TRUE(near(v, AcGeVector3d(0, 1, 0), kEps));
    AcGePoint3d p(1, 0, 0);
    p.transformBy(m);
    EXPECT_TRUE(near(p, AcGePoint3d(10, 21, 30), kEps));
}

TEST(GePoint, DistancesAndTolerantEquality) {
    GeToleranceGuard guard;
    const AcGePoint3d a(1, 2, 3);
    const AcGePoint3d b(4, 6, 3);
    EXPECT_DOUBLE_EQ(a.distanceTo(b), 5.0);
    EXPECT_TRUE(near(b - a, AcGeVector3d(3, 4, 0), kEps));
    EXPECT_TRUE(near(a + (b - a), b, kEps));
    EXPECT_NE(a, AcGePoint3d(1, 2, 3 + 1e-9));
    AcGeTol tol;
    tol.setEqualPoint(1e-8);
    EXPECT_TRUE(a.isEqualTo(AcGePoint3d(1, 2, 3 + 1e-9), tol));
    AcGeContext::gTol.setEqualPoint(1e-8);
    EXPECT_EQ(a, AcGePoint3d(1, 2, 3 + 1e-9));
    EXPECT_EQ(AcGePoint3d::kOrigin.distanceTo(a), a.asVector().length());
}

TEST(GePoint, RotateAndScaleAboutAPoint) {
    AcGePoint3d p(2, 1, 5);
    p.rotateBy(kGePi / 2, AcGeVector3d::kZAxis, AcGePoint3d(1, 1, 0));
    EXPECT_TRUE(near(p, AcGePoint3d(1, 2, 5), kEps));
    p.scaleBy(3, AcGePoint3d(1, 1, 5));
    EXPECT_TRUE(near(p, AcGePoint3d(1, 4, 5), kEps));
    EXPECT_DEATH(p[7], "AcGePoint3d::operator\\[\\]: index 7");
}

TEST(GePoint, PlaneTypes) {
    const AcGePoint2d a(1, 1);
    const AcGePoint2d b(4, 5);
    EXPECT_DOUBLE_EQ(a.distanceTo(b), 5.0);
    EXPECT_EQ(a + (b - a), b);
    AcGeVector2d v = AcGeVector2d::kXAxis;
    v.rotateBy(kGePi / 2);
    EXPECT_TRUE(v.isEqualTo(AcGeVector2d::kYAxis, AcGeTol()));
    EXPECT_NEAR(AcGeVector2d(0, -1).angle(), 3 * kGePi / 2, kEps);
    EXPECT_NEAR(AcGeVector2d(1, 0).angleTo(AcGeVector2d(-1, 1)), 3 * kGePi / 4, kEps);
    EXPECT_EQ(AcGeVector2d::kIdentity.normal(), AcGeVector2d::kIdentity);
}

}  // namespace
