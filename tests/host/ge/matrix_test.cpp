// Matrices: the standard transformations, products, inverses, singular matrices and shape tests.
#include <gtest/gtest.h>

#include "kestrel/host/ge/angles.h"
#include "kestrel/host/ge/matrix3d.h"
#include "kestrel/host/ge/scale3d.h"
#include "tests/support/host_checks.h"

namespace {

using testsupport::near;

constexpr double kEps = 1e-12;

// A general affine matrix: non-uniform scale, rotation about a tilted axis, translation.
AcGeMatrix3d generalMatrix() {
    AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(5, -3, 2)) *
                     AcGeMatrix3d::rotation(0.7, AcGeVector3d(1, 2, 3), AcGePoint3d(1, 1, 1));
    return m * AcGeScale3d(2, 0.5, 3);
}

TEST(GeMatrix, DefaultIsIdentityAndEntriesAreReachable) {
    AcGeMatrix3d m;
    EXPECT_EQ(m, AcGeMatrix3d::kIdentity);
    m(1, 3) = 7;
    EXPECT_EQ(m.entry[1][3], 7);
    EXPECT_EQ(m.translation().y, 7);
    EXPECT_DEATH(m(4, 0), "AcGeMatrix3d::operator\\(\\) row: index 4");
    EXPECT_DEATH(m(0, 9), "col: index 9");
}

TEST(GeMatrix, RotationAboutAnAxisThroughAPointAndBack) {
    const AcGePoint3d center(1, 1, 0);
    const AcGeMatrix3d quarter = AcGeMatrix3d::rotation(kGePi / 2, AcGeVector3d::kZAxis, center);
    EXPECT_TRUE(near(quarter * AcGePoint3d(2, 1, 4), AcGePoint3d(1, 2, 4), kEps));
    EXPECT_TRUE(near(quarter * center, center, kEps));

    const AcGeVector3d axis(1, -2, 0.5);
    const AcGePoint3d through(3, 4, -1);
    const AcGeMatrix3d there = AcGeMatrix3d::rotation(1.3, axis, through);
    const AcGeMatrix3d back = AcGeMatrix3d::rotation(-1.3, axis, through);
    const AcGePoint3d p(-2, 7, 9);
    EXPECT_TRUE(near(back * (there * p), p, kEps));
    EXPECT_TRUE((there * back).isEqualTo(AcGeMatrix3d::kIdentity));
    // Points on the axis stay put.
    EXPECT_TRUE(near(there * (through + axis * 2.5), through + axis * 2.5, kEps));
    EXPECT_NEAR(there.det(), 1.0, kEps);
}

TEST(GeMatrix, ScalingAboutAPoint) {
    const AcGeMatrix3d m = AcGeMatrix3d::scaling(2, AcGePoint3d(1, 1, 1));
    EXPECT_TRUE(near(m * AcGePoint3d(2, 1, 1), AcGePoint3d(3, 1, 1), kEps));
    EXPECT_TRUE(near(m * AcGePoint3d(1, 1, 1), AcGePoint3d(1, 1, 1), kEps));
    EXPECT_NEAR(m.det(), 8.0, kEps);
    EXPECT_DOUBLE_EQ(m.scale(), 2.0);
    AcGeMatrix3d s;
    s.setToScaling(0.5);
    EXPECT_TRUE(near(s * AcGePoint3d(4, -2, 6), AcGePoint3d(2, -1, 3), kEps));
}

TEST(GeMatrix, TranslationsCompose) {
    const AcGeVector3d a(1, 2, 3);
    const AcGeVector3d b(-4, 0.5, 10);
    EXPECT_EQ(AcGeMatrix3d::translation(a) * AcGeMatrix3d::translation(b),
              AcGeMatrix3d::translation(a + b));
    AcGeMatrix3d m = AcGeMatrix3d::rotation(kGePi / 2, AcGeVector3d::kZAxis);
    m.setTranslation(a);
    // setTranslation keeps the rotation; setToTranslation drops it.
    EXPECT_TRUE(near(m * AcGePoint3d(1, 0, 0), AcGePoint3d(1, 3, 3), kEps));
    m.setToTranslation(a);
    EXPECT_TRUE(near(m * AcGePoint3d(1, 0, 0), AcGePoint3d(2, 2, 3), kEps));
}

TEST(GeMatrix, ProductsApplyTheRightOperandFirst) {
    const AcGeMatrix3d rotate = AcGeMatrix3d::rotation(kGePi / 2, AcGeVector3d::kZAxis);
    const AcGeMatrix3d move = AcGeMatrix3d::translation(AcGeVector3d(10, 0, 0));
    const AcGePoint3d p(1, 0, 0);
    EXPECT_TRUE(near((move * rotate) * p, AcGePoint3d(10, 1, 0), kEps));
    EXPECT_TRUE(near((rotate * move) * p, AcGePoint3d(0, 11, 0), kEps));

    AcGeMatrix3d pre = rotate;
    pre.preMultBy(move);
    EXPECT_EQ(pre, move * rotate);
    AcGeMatrix3d post = rotate;
    post.postMultBy(move);
    EXPECT_EQ(post, rotate * move);
    AcGeMatrix3d assigned = rotate;
    assigned *= move;
    EXPECT_EQ(assigned, rotate * move);
}

TEST(GeMatrix, InverseUndoesTheMatrix) {
    const AcGeMatrix3d m = generalMatrix();
    EXPECT_FALSE(m.isSingular());
    EXPECT_TRUE((m.inverse() * m).isEqualTo(AcGeMatrix3d::kIdentity));
    EXPECT_TRUE((m * m.inverse()).isEqualTo(AcGeMatrix3d::kIdentity));
    const AcGePoint3d p(3, -1, 8);
    EXPECT_TRUE(near(m.inverse() * (m * p), p, kEps));
    EXPECT_NEAR(m.det() * m.inverse().det(), 1.0, 1e-9);
    EXPECT_NEAR(m.det(), 3.0, 1e-9);  // the scale's determinant; rotation and move keep volume
    AcGeMatrix3d inPlace = m;
    inPlace.invert();
    EXPECT_EQ(inPlace, m.inverse());
}

TEST(GeMatrix, SingularMatricesHaveNoInverse) {
    AcGeMatrix3d flat = generalMatrix();
    for (int r = 0; r < 3; ++r) {
        flat.entry[r][2] = 0.0;  // the z column vanishes: everything lands in a plane
    }
    EXPECT_TRUE(flat.isSingular());
    EXPECT_DOUBLE_EQ(flat.det(), 0.0);
    EXPECT_EQ(flat.inverse(), AcGeMatrix3d::kIdentity);

    const AcGeMatrix3d marker = AcGeMatrix3d::translation(AcGeVector3d(9, 9, 9));
    AcGeMatrix3d out = marker;
    EXPECT_FALSE(flat.inverse(out, 1e-10));
    EXPECT_EQ(out, marker);
    AcGeMatrix3d unchanged = flat;
    unchanged.invert();
    EXPECT_EQ(unchanged, flat);

    // Tiny or far-off but independent axes are invertible; nearly dependent ones are not.
    const AcGeMatrix3d tiny = AcGeMatrix3d::scaling(1e-6, AcGePoint3d(1e7, 0, 0));
    EXPECT_FALSE(tiny.isSingular());
    EXPECT_TRUE(near(tiny.inverse() * (tiny * AcGePoint3d(1, 2, 3)), AcGePoint3d(1, 2, 3), kEps));
    AcGeMatrix3d dependent;
    for (int r = 0; r < 3; ++r) {
        dependent.entry[r][2] = dependent.entry[r][0] + dependent.entry[r][1];
    }
    dependent.entry[2][2] = 1e-13;
    EXPECT_TRUE(dependent.isSingular());
    AcGeTol fine;
    fine.setEqualVector(1e-15);
    EXPECT_FALSE(dependent.isSingular(fine));
    EXPECT_TRUE(AcGeMatrix3d().setToScaling(0).isSingular());
}

TEST(GeMatrix, UniformlyScaledOrthogonalMatrices) {
    const AcGeMatrix3d rotation = AcGeMatrix3d::rotation(0.4, AcGeVector3d(1, 1, 0));
    EXPECT_TRUE(rotation.isUniScaledOrtho());
    EXPECT_TRUE((rotation * AcGeMatrix3d::scaling(3, AcGePoint3d(1, 2, 3))).isUniScaledOrtho());
    EXPECT_TRUE(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(0, 0, 1), AcGeVector3d(1, 1, 1)))
                    .isUniScaledOrtho());
    EXPECT_TRUE(AcGeMatrix3d::translation(AcGeVector3d(4, 5, 6)).isUniScaledOrtho());

    const AcGeMatrix3d stretched = rotation * AcGeScale3d(1, 2, 1);
    EXPECT_FALSE(stretched.isUniScaledOrtho());
    EXPECT_TRUE(stretched.isScaledOrtho());
    AcGeMatrix3d sheared;
    sheared.entry[0][1] = 0.5;
    EXPECT_FALSE(sheared.isUniScaledOrtho());
    EXPECT_FALSE(sheared.isScaledOrtho());
    AcGeMatrix3d projective;
    projective.entry[3][0] = 0.1;
    EXPECT_FALSE(projective.isUniScaledOrtho());
    EXPECT_FALSE(AcGeMatrix3d().setToScaling(0).isUniScaledOrtho());

    // A scale off by a millionth fails the default tolerance and passes a looser one.
    const AcGeMatrix3d almost = AcGeScale3d(5, 5 * (1 + 1e-6), 5);
    EXPECT_FALSE(almost.isUniScaledOrtho());
    AcGeTol loose;
    loose.setEqualVector(1e-5);
    EXPECT_TRUE(almost.isUniScaledOrtho(loose));
}

TEST(GeMatrix, Mirroring) {
    const AcGePlane plane(AcGePoint3d(0, 0, 1), AcGeVector3d(0, 0, 2));
    const AcGeMatrix3d m = AcGeMatrix3d::mirroring(plane);
    EXPECT_TRUE(near(m * AcGePoint3d(1, 2, 3), AcGePoint3d(1, 2, -1), kEps));
    EXPECT_TRUE((m * m).isEqualTo(AcGeMatrix3d::kIdentity));
    EXPECT_NEAR(m.det(), -1.0, kEps);
    EXPECT_TRUE(near(AcGeMatrix3d::mirroring(AcGePoint3d(1, 1, 1)) * AcGePoint3d(3, 0, 1),
                     AcGePoint3d(-1, 2, 1), kEps));
    // A plane without a normal mirrors nothing.
    EXPECT_EQ(AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d(1, 2, 3), AcGeVector3d::kIdentity)),
              AcGeMatrix3d::kIdentity);
}

TEST(GeMatrix, CoordinateSystems) {
    const AcGePoint3d origin(10, 20, 30);
    const AcGeVector3d x(0, 1, 0);
    const AcGeVector3d y(-1, 0, 0);
    const AcGeVector3d z(0, 0, 1);
    AcGeMatrix3d m;
    m.setCoordSystem(origin, x, y, z);
    EXPECT_TRUE(near(m * AcGePoint3d(1, 2, 3), AcGePoint3d(8, 21, 33), kEps));
    AcGePoint3d o;
    AcGeVector3d a, b, c;
    m.getCoordSystem(o, a, b, c);
    EXPECT_TRUE(near(o, origin, kEps));
    EXPECT_EQ(b, y);

    const AcGeMatrix3d align =
        AcGeMatrix3d::alignCoordSys(origin, x, y, z, AcGePoint3d::kOrigin, AcGeVector3d::kXAxis,
                                    AcGeVector3d::kYAxis, AcGeVector3d::kZAxis);
    EXPECT_TRUE(near(align * origin, AcGePoint3d::kOrigin, kEps));
    EXPECT_TRUE(near(align * (origin + x), AcGePoint3d(1, 0, 0), kEps));
    EXPECT_TRUE(near(align * (m * AcGePoint3d(4, 5, 6)), AcGePoint3d(4, 5, 6), kEps));
    EXPECT_EQ(AcGeMatrix3d::alignCoordSys(origin, x, x, z, origin, x, y, z),
              AcGeMatrix3d::kIdentity);
}

TEST(GeMatrix, ObjectCoordinateSystemsFollowTheArbitraryAxisRule) {
    EXPECT_EQ(AcGeMatrix3d::planeToWorld(AcGeVector3d::kZAxis), AcGeMatrix3d::kIdentity);
    // Extrusion along X: the object X axis is world Y, the object Y axis world Z.
    const AcGeMatrix3d m = AcGeMatrix3d::planeToWorld(AcGeVector3d(3, 0, 0));
    EXPECT_TRUE(near(m * AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0), kEps));
    EXPECT_TRUE(near(m * AcGePoint3d(0, 1, 0), AcGePoint3d(0, 0, 1), kEps));
    const AcGeVector3d normal(0.2, -0.5, 0.8);
    const AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(normal);
    EXPECT_TRUE(toWorld.isUniScaledOrtho());
    EXPECT_TRUE((toWorld * AcGeVector3d::kZAxis).isCodirectionalTo(normal));
    EXPECT_TRUE((AcGeMatrix3d::worldToPlane(normal) * toWorld).isEqualTo(AcGeMatrix3d::kIdentity));
    EXPECT_EQ(AcGeMatrix3d::planeToWorld(AcGeVector3d::kIdentity), AcGeMatrix3d::kIdentity);
}

TEST(GeMatrix, TransposeAndZeroAxisRotation) {
    const AcGeMatrix3d m = generalMatrix();
    EXPECT_EQ(m.transpose().transpose(), m);
    EXPECT_EQ(m.transpose().entry[3][0], m.entry[0][3]);
    EXPECT_EQ(AcGeMatrix3d::rotation(1.0, AcGeVector3d::kIdentity, AcGePoint3d(1, 2, 3)),
              AcGeMatrix3d::kIdentity);
}

TEST(GeScale, MatrixConversions) {
    const AcGeScale3d s(2, -3, 4);
    const AcGeMatrix3d m = s;
    EXPECT_TRUE(near(m * AcGePoint3d(1, 1, 1), AcGePoint3d(2, -3, 4), kEps));
    AcGeScale3d back;
    back.extractScale(AcGeMatrix3d::rotation(0.3, AcGeVector3d::kZAxis) * m);
    EXPECT_TRUE(back.isEqualTo(AcGeScale3d(2, 3, 4), AcGeTol()));
    EXPECT_TRUE(AcGeScale3d(1.5).isProportional());
    EXPECT_FALSE(s.isProportional());
    EXPECT_EQ(AcGeScale3d::kIdentity * 2.0, AcGeScale3d(2));
    EXPECT_DEATH(s[3], "AcGeScale3d::operator\\[\\]");
}

}  // namespace
