// Lines, arcs, circles, ellipses and rays: extents worked out by hand (arc quadrants inside and
// outside the sweep, tilted and flipped normals), every kind of transform with the refusals, and
// stretch points.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/ge/scale3d.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;

constexpr double kPi = 3.14159265358979323846;
const double kRoot2 = std::sqrt(2.0);

double degrees(double d) {
    return d * kPi / 180.0;
}

AcGeMatrix3d mirrorInYZ() {
    return AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis));
}

AcGeMatrix3d scaling(double sx, double sy, double sz) {
    return AcGeScale3d(sx, sy, sz);
}

class EntityCurveTest : public entity_test::EntityTest {};

// --- Lines -----------------------------------------------------------------------------------

TEST_F(EntityCurveTest, EntityLineExtentsSpanBothEndsAndThickness) {
    AcDbLine line(AcGePoint3d(1, 2, 3), AcGePoint3d(4, -1, 0));
    EXPECT_TRUE(boxIs(extentsOf(line), AcGePoint3d(1, -1, 0), AcGePoint3d(4, 2, 3)));
    ASSERT_EQ(line.setThickness(2.0), Acad::eOk);
    EXPECT_TRUE(boxIs(extentsOf(line), AcGePoint3d(1, -1, 0), AcGePoint3d(4, 2, 5)));
}

TEST_F(EntityCurveTest, EntityLineTakesEveryRegularTransform) {
    AcDbLine line(AcGePoint3d(1, 1, 0), AcGePoint3d(2, 0, 0));
    ASSERT_EQ(line.transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 2, 3))), Acad::eOk);
    EXPECT_TRUE(near(line.startPoint(), AcGePoint3d(2, 3, 3)));
    ASSERT_EQ(line.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(near(line.startPoint(), AcGePoint3d(-3, 2, 3)));
    EXPECT_TRUE(near(line.endPoint(), AcGePoint3d(-2, 3, 3)));
    ASSERT_EQ(line.transformBy(scaling(2, 3, 1)), Acad::eOk);
    EXPECT_TRUE(near(line.startPoint(), AcGePoint3d(-6, 6, 3)));
    EXPECT_TRUE(near(line.endPoint(), AcGePoint3d(-4, 9, 3)));
}

TEST_F(EntityCurveTest, EntityLineRefusesSingularTransformAndStaysPut) {
    AcDbLine line(AcGePoint3d(1, 1, 1), AcGePoint3d(2, 2, 2));
    EXPECT_NE(line.transformBy(scaling(1, 1, 0)), Acad::eOk);
    EXPECT_TRUE(near(line.startPoint(), AcGePoint3d(1, 1, 1)));
    EXPECT_TRUE(near(line.endPoint(), AcGePoint3d(2, 2, 2)));
}

TEST_F(EntityCurveTest, EntityLineThicknessFollowsTheNormalUnderScaling) {
    AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    line.setThickness(1.0);
    ASSERT_EQ(line.transformBy(scaling(1, 1, 3)), Acad::eOk);
    EXPECT_DOUBLE_EQ(line.thickness(), 3.0);
    ASSERT_EQ(line.transformBy(
                  AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kZAxis))),
              Acad::eOk);
    EXPECT_TRUE(near(line.normal(), AcGeVector3d(0, 0, -1)));
    EXPECT_DOUBLE_EQ(line.thickness(), 3.0);
}

TEST_F(EntityCurveTest, EntityLineStretchMovesTheChosenEndsOnly) {
    AcDbLine line(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    AcGePoint3dArray points;
    ASSERT_EQ(line.getStretchPoints(points), Acad::eOk);
    ASSERT_EQ(points.length(), 2);
    AcDbIntArray indices;
    indices.append(1);
    ASSERT_EQ(line.moveStretchPointsAt(indices, AcGeVector3d(0, 5, 0)), Acad::eOk);
    EXPECT_TRUE(near(line.startPoint(), AcGePoint3d(0, 0, 0)));
    EXPECT_TRUE(near(line.endPoint(), AcGePoint3d(1, 5, 0)));
    indices.append(2);
    EXPECT_EQ(line.moveStretchPointsAt(indices, AcGeVector3d(0, 5, 0)), Acad::eInvalidIndex);
    EXPECT_TRUE(near(line.endPoint(), AcGePoint3d(1, 5, 0)));
}

TEST_F(EntityCurveTest, EntityLineInDatabaseRefusesChangesWhenOpenForRead) {
    const AcDbObjectId id = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    auto line = entity_test::open<AcDbLine>(id, AcDb::kForRead);
    EXPECT_EQ(line->setStartPoint(AcGePoint3d(5, 5, 5)), Acad::eNotOpenForWrite);
    EXPECT_EQ(line->transformBy(AcGeMatrix3d::translation(AcGeVector3d(1, 0, 0))),
              Acad::eNotOpenForWrite);
    EXPECT_EQ(line->setNormal(AcGeVector3d(1, 0, 0)), Acad::eNotOpenForWrite);
    EXPECT_TRUE(near(line->startPoint(), AcGePoint3d(0, 0, 0)));
}

// --- Arcs ----------------------------------------------------------------------------------------

TEST_F(EntityCurveTest, EntityArcExtentsHoldOnlyTheQuadrantsInsideTheSweep) {
    AcDbArc quarter(AcGePoint3d(0, 0, 0), 1.0, 0.0, kPi / 2);
    EXPECT_TRUE(boxIs(extentsOf(quarter), AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)));

    // 45 to 135 degrees about (1, 1): the top quadrant lies inside, the ends bound x.
    AcDbArc top(AcGePoint3d(1, 1, 0), 2.0, degrees(45), degrees(135));
    EXPECT_TRUE(boxIs(extentsOf(top), AcGePoint3d(1 - kRoot2, 1 + kRoot2, 0),
                      AcGePoint3d(1 + kRoot2, 3, 0)));

    // Across 0 degrees: the right quadrant is inside.
    AcDbArc across(AcGePoint3d(0, 0, 0), 1.0, degrees(350), degrees(10));
    EXPECT_TRUE(boxIs(extentsOf(across),
                      AcGePoint3d(std::cos(degrees(10)), -std::sin(degrees(10)), 0),
                      AcGePoint3d(1, std::sin(degrees(10)), 0)));

    // The long way round: three quadrants inside, the right one outside.
    AcDbArc wide(AcGePoint3d(0, 0, 0), 1.0, degrees(10), degrees(350));
    EXPECT_TRUE(
        boxIs(extentsOf(wide), AcGePoint3d(-1, -1, 0), AcGePoint3d(std::cos(degrees(10)), 1, 0)));
}

TEST_F(EntityCurveTest, EntityArcWithDownwardNormalRunsClockwiseSeenFromAbove) {
    // The OCS of -Z has x = -X and y = Y: angle 0 lies at -X.
    AcDbArc arc(AcGePoint3d(1, 2, 3), AcGeVector3d(0, 0, -1), 1.0, 0.0, kPi / 2);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(1, 2, 3)));
    AcGePoint3d start;
    AcGePoint3d end;
    arc.getStartPoint(start);
    arc.getEndPoint(end);
    EXPECT_TRUE(near(start, AcGePoint3d(0, 2, 3)));
    EXPECT_TRUE(near(end, AcGePoint3d(1, 3, 3)));
    EXPECT_TRUE(boxIs(extentsOf(arc), AcGePoint3d(0, 2, 3), AcGePoint3d(1, 3, 3)));
}

TEST_F(EntityCurveTest, EntityArcRotatesScalesAndMirrors) {
    AcDbArc arc(AcGePoint3d(0, 0, 0), 1.0, 0.0, kPi / 2);
    ASSERT_EQ(arc.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_NEAR(arc.startAngle(), kPi / 2, 1e-12);
    EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);

    ASSERT_EQ(arc.transformBy(AcGeMatrix3d::scaling(2.0, AcGePoint3d(1, 0, 0))), Acad::eOk);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(-1, 0, 0)));
    EXPECT_DOUBLE_EQ(arc.radius(), 2.0);

    // Mirroring x -> -x keeps the normal and swaps the ends: 90..180 becomes 0..90.
    ASSERT_EQ(arc.transformBy(mirrorInYZ()), Acad::eOk);
    EXPECT_TRUE(near(arc.normal(), AcGeVector3d::kZAxis));
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(1, 0, 0)));
    EXPECT_NEAR(arc.startAngle(), 0.0, 1e-12);
    EXPECT_NEAR(arc.endAngle(), kPi / 2, 1e-12);
}

TEST_F(EntityCurveTest, EntityArcRefusesNonUniformScalingInItsPlane) {
    AcDbArc arc(AcGePoint3d(1, 1, 0), 1.0, 0.0, kPi);
    EXPECT_EQ(arc.transformBy(scaling(2, 1, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(1, 1, 0)));
    EXPECT_DOUBLE_EQ(arc.radius(), 1.0);
    // Uniform in the arc's plane is fine, whatever happens along its normal.
    EXPECT_EQ(arc.transformBy(scaling(2, 2, 5)), Acad::eOk);
    EXPECT_DOUBLE_EQ(arc.radius(), 2.0);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(2, 2, 0)));
}

TEST_F(EntityCurveTest, EntityArcAnglesAreKeptInOneTurnAndChecked) {
    AcDbArc arc;
    EXPECT_EQ(arc.setStartAngle(-kPi / 2), Acad::eOk);
    EXPECT_NEAR(arc.startAngle(), 3 * kPi / 2, 1e-12);
    EXPECT_EQ(arc.setEndAngle(5 * kPi), Acad::eOk);
    EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);
    EXPECT_NEAR(arc.totalAngle(), 3 * kPi / 2, 1e-12);
    EXPECT_EQ(arc.setEndAngle(std::nan("")), Acad::eInvalidInput);
    EXPECT_EQ(arc.setRadius(-1.0), Acad::eInvalidInput);
    EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);
}

TEST_F(EntityCurveTest, EntityArcStretchOfOneEndKeepsTheOtherAndTheMiddle) {
    // The upper half circle; its start (1,0) moves to (0,-1). The new arc passes through
    // (0,-1), the old middle (0,1) and the end (-1,0): the unit circle from 270 to 180 degrees.
    AcDbArc arc(AcGePoint3d(0, 0, 0), 1.0, 0.0, kPi);
    AcDbIntArray first;
    first.append(0);
    ASSERT_EQ(arc.moveStretchPointsAt(first, AcGeVector3d(-1, -1, 0)), Acad::eOk);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(0, 0, 0)));
    EXPECT_NEAR(arc.radius(), 1.0, 1e-12);
    EXPECT_NEAR(arc.startAngle(), 3 * kPi / 2, 1e-12);
    EXPECT_NEAR(arc.endAngle(), kPi, 1e-12);

    // Moving both ends moves the arc.
    AcDbIntArray both;
    both.append(0);
    both.append(1);
    ASSERT_EQ(arc.moveStretchPointsAt(both, AcGeVector3d(2, 0, 0)), Acad::eOk);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(2, 0, 0)));
    EXPECT_NEAR(arc.startAngle(), 3 * kPi / 2, 1e-12);

    // An end moved onto the line through the middle and the other end cannot make an arc.
    AcDbArc straight(AcGePoint3d(0, 0, 0), 1.0, 0.0, kPi);
    AcDbIntArray last;
    last.append(1);
    EXPECT_EQ(straight.moveStretchPointsAt(last, AcGeVector3d(0, 2, 0)), Acad::eDegenerateGeometry);
    EXPECT_NEAR(straight.endAngle(), kPi, 1e-12);
}

// --- Circles
// ---------------------------------------------------------------------------------------

TEST_F(EntityCurveTest, EntityCircleExtentsFollowItsPlane) {
    AcDbCircle flat(AcGePoint3d(1, 2, 3), AcGeVector3d::kZAxis, 2.0);
    EXPECT_TRUE(boxIs(extentsOf(flat), AcGePoint3d(-1, 0, 3), AcGePoint3d(3, 4, 3)));
    AcDbCircle upright(AcGePoint3d(1, 2, 3), AcGeVector3d::kXAxis, 2.0);
    EXPECT_TRUE(boxIs(extentsOf(upright), AcGePoint3d(1, 0, 1), AcGePoint3d(1, 4, 5)));
    // A normal at 45 degrees between Y and Z: half extents r sqrt(1 - n_k^2).
    AcDbCircle tilted(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 1), 1.0);
    const double h = std::sqrt(0.5);
    EXPECT_TRUE(boxIs(extentsOf(tilted), AcGePoint3d(-1, -h, -h), AcGePoint3d(1, h, h)));
}

TEST_F(EntityCurveTest, EntityCircleKeepsItsWorldCenterWhenTheNormalChanges) {
    AcDbCircle circle(AcGePoint3d(4, 5, 6), AcGeVector3d::kZAxis, 1.0);
    ASSERT_EQ(circle.setNormal(AcGeVector3d(1, 1, 0)), Acad::eOk);
    EXPECT_TRUE(near(circle.center(), AcGePoint3d(4, 5, 6)));
    EXPECT_TRUE(near(circle.normal(), AcGeVector3d(1, 1, 0).normal()));
    EXPECT_EQ(circle.setNormal(AcGeVector3d(0, 0, 0)), Acad::eInvalidInput);
    EXPECT_TRUE(near(circle.normal(), AcGeVector3d(1, 1, 0).normal()));
}

TEST_F(EntityCurveTest, EntityCircleScalesAboutAPointAndRefusesStretching) {
    AcDbCircle circle(AcGePoint3d(1, 1, 0), AcGeVector3d::kZAxis, 1.0);
    ASSERT_EQ(circle.transformBy(AcGeMatrix3d::scaling(2.0, AcGePoint3d(1, 1, 0))), Acad::eOk);
    EXPECT_TRUE(near(circle.center(), AcGePoint3d(1, 1, 0)));
    EXPECT_DOUBLE_EQ(circle.radius(), 2.0);
    EXPECT_EQ(circle.transformBy(scaling(1, 3, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_DOUBLE_EQ(circle.radius(), 2.0);
}

// --- Ellipses
// ----------------------------------------------------------------------------------------

TEST_F(EntityCurveTest, EntityEllipseExtentsOfWholeRotatedAndPartialEllipses) {
    AcDbEllipse whole(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5);
    EXPECT_TRUE(whole.isClosed());
    EXPECT_TRUE(boxIs(extentsOf(whole), AcGePoint3d(-2, -1, 0), AcGePoint3d(2, 1, 0)));

    // Major axis at 45 degrees (length 2), minor 1: half extents sqrt(2 + 0.5) on x and y.
    AcDbEllipse turned(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(kRoot2, kRoot2, 0),
                       0.5);
    const double h = std::sqrt(2.5);
    EXPECT_TRUE(boxIs(extentsOf(turned), AcGePoint3d(-h, -h, 0), AcGePoint3d(h, h, 0)));

    AcDbEllipse quarter(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5, 0.0,
                        kPi / 2);
    EXPECT_FALSE(quarter.isClosed());
    EXPECT_TRUE(boxIs(extentsOf(quarter), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 1, 0)));
}

TEST_F(EntityCurveTest, EntityEllipseAnglesAndParametersDiffer) {
    AcDbEllipse ellipse(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5,
                        kPi / 4, kPi);
    // At 45 degrees the point (x, x) lies on x^2/4 + x^2 = 1: parameter atan2(1, 0.5).
    EXPECT_NEAR(ellipse.startParam(), std::atan2(1.0, 0.5), 1e-12);
    EXPECT_NEAR(ellipse.startAngle(), kPi / 4, 1e-12);
    AcGePoint3d start;
    ellipse.getStartPoint(start);
    const double x = std::sqrt(0.8);
    EXPECT_TRUE(near(start, AcGePoint3d(x, x, 0)));
    EXPECT_NEAR(ellipse.endParam(), kPi, 1e-12);
}

TEST_F(EntityCurveTest, EntityEllipseTakesNonUniformScaling) {
    AcDbEllipse arc(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(1, 0, 0), 1.0, 0.0,
                    kPi / 2);
    ASSERT_EQ(arc.transformBy(scaling(1, 2, 1)), Acad::eOk);
    EXPECT_NEAR(arc.majorAxis().length(), 2.0, 1e-12);
    EXPECT_NEAR(arc.radiusRatio(), 0.5, 1e-12);
    EXPECT_TRUE(arc.majorAxis().isParallelTo(AcGeVector3d::kYAxis));
    AcGePoint3d start;
    AcGePoint3d end;
    arc.getStartPoint(start);
    arc.getEndPoint(end);
    EXPECT_TRUE(near(start, AcGePoint3d(1, 0, 0)));
    EXPECT_TRUE(near(end, AcGePoint3d(0, 2, 0)));
    EXPECT_TRUE(boxIs(extentsOf(arc), AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0)));
}

TEST_F(EntityCurveTest, EntityEllipseMirroredKeepsItsNormalAndRunsFromTheOtherEnd) {
    AcDbEllipse arc(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5, 0.0,
                    kPi / 2);  // (2,0) to (0,1)
    ASSERT_EQ(arc.transformBy(mirrorInYZ()), Acad::eOk);
    EXPECT_TRUE(near(arc.normal(), AcGeVector3d::kZAxis));
    AcGePoint3d start;
    AcGePoint3d end;
    arc.getStartPoint(start);
    arc.getEndPoint(end);
    EXPECT_TRUE(near(start, AcGePoint3d(0, 1, 0)));
    EXPECT_TRUE(near(end, AcGePoint3d(-2, 0, 0)));
    EXPECT_TRUE(boxIs(extentsOf(arc), AcGePoint3d(-2, 0, 0), AcGePoint3d(0, 1, 0)));
}

TEST_F(EntityCurveTest, EntityEllipseRefusesBadShapesAndKeepsItself) {
    AcDbEllipse ellipse(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5);
    EXPECT_EQ(ellipse.set(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(1, 0, 1), 0.5),
              Acad::eInvalidInput);
    EXPECT_EQ(ellipse.set(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(1, 0, 0), 1.5),
              Acad::eInvalidInput);
    EXPECT_EQ(ellipse.setRadiusRatio(0.0), Acad::eInvalidInput);
    EXPECT_TRUE(near(ellipse.majorAxis(), AcGeVector3d(2, 0, 0)));
    EXPECT_DOUBLE_EQ(ellipse.radiusRatio(), 0.5);
    // A constructor given a bad shape leaves the default unit circle.
    AcDbEllipse fallback(AcGePoint3d(5, 5, 5), AcGeVector3d(), AcGeVector3d(1, 0, 0), 0.5);
    EXPECT_TRUE(near(fallback.center(), AcGePoint3d(0, 0, 0)));
    EXPECT_DOUBLE_EQ(fallback.radiusRatio(), 1.0);
}

// --- Rays
// ----------------------------------------------------------------------------------------------

TEST_F(EntityCurveTest, EntityRayHasNoExtentsNorEndAndTransformsItsDirection) {
    AcDbRay ray;
    ray.setBasePoint(AcGePoint3d(1, 0, 0));
    EXPECT_EQ(ray.setUnitDir(AcGeVector3d(2, 0, 0)), Acad::eInvalidInput);
    ASSERT_EQ(ray.setUnitDir(AcGeVector3d(0, 1, 0)), Acad::eOk);
    AcDbExtents box;
    EXPECT_EQ(ray.getGeomExtents(box), Acad::eInvalidExtents);
    AcGePoint3d end;
    EXPECT_EQ(ray.getEndPoint(end), Acad::eNotApplicable);
    ASSERT_EQ(
        ray.transformBy(scaling(1, 3, 1) * AcGeMatrix3d::rotation(-kPi / 4, AcGeVector3d::kZAxis)),
        Acad::eOk);
    // (0,1) turned by -45 degrees is (1,1)/sqrt2, then y tripled: direction (1,3)/sqrt10.
    EXPECT_TRUE(near(ray.unitDir(), AcGeVector3d(1, 3, 0).normal()));
    EXPECT_TRUE(near(ray.basePoint(), AcGePoint3d(1 / kRoot2, -3 / kRoot2, 0)));
}

}  // namespace
