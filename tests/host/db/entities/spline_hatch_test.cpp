// Splines and hatches: NURBS evaluation (rational included), exact extents between control
// points, interpolation of fit points, refused data, stretch points, loops and their extents,
// and filing (hatch edge paths read by hand).
#include <gtest/gtest.h>

#include <cmath>

#include "tests/host/db/entities/entity_fixture.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/spline.h"
#include "kestrel/host/ge/scale3d.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;
using tables_test::integer;
using tables_test::real;
using tables_test::text;

constexpr double kPi = 3.14159265358979323846;

AcGePoint3dArray pointList(std::initializer_list<AcGePoint3d> points) {
    AcGePoint3dArray list;
    for (const AcGePoint3d& p : points) {
        list.append(p);
    }
    return list;
}

AcGeDoubleArray values(std::initializer_list<double> list) {
    AcGeDoubleArray array;
    for (double v : list) {
        array.append(v);
    }
    return array;
}

host::DxfItem point(int code, double x, double y) {
    return host::DxfItem{code, AcGePoint3d(x, y, 0)};
}

class EntitySplineHatchTest : public entity_test::EntityTest {};

TEST_F(EntitySplineHatchTest, EntitySplineExtentsAreThoseOfTheCurveNotTheHull) {
    // A quadratic Bezier over (0,0), (1,2), (2,0) reaches only y = 1 at its middle.
    AcDbSpline bezier(2, false, false, false,
                      pointList({AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0), AcGePoint3d(2, 0, 0)}),
                      values({0, 0, 0, 1, 1, 1}), AcGeDoubleArray());
    ASSERT_EQ(bezier.numControlPoints(), 3);
    AcGePoint3d middle;
    ASSERT_EQ(bezier.getPointAtParam(0.5, middle), Acad::eOk);
    EXPECT_TRUE(near(middle, AcGePoint3d(1, 1, 0)));
    EXPECT_TRUE(boxIs(extentsOf(bezier), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 1, 0), 1e-9));
    EXPECT_EQ(bezier.getPointAtParam(1.5, middle), Acad::eInvalidInput);
}

TEST_F(EntitySplineHatchTest, EntitySplineRationalQuarterCircleLiesOnTheCircle) {
    const double w = std::sqrt(0.5);
    AcDbSpline quarter(
        2, true, false, false,
        pointList({AcGePoint3d(1, 0, 0), AcGePoint3d(1, 1, 0), AcGePoint3d(0, 1, 0)}),
        values({0, 0, 0, 1, 1, 1}), values({1, w, 1}));
    EXPECT_TRUE(quarter.isRational());
    for (double u : {0.1, 0.5, 0.9}) {
        AcGePoint3d p;
        ASSERT_EQ(quarter.getPointAtParam(u, p), Acad::eOk);
        EXPECT_NEAR(p.asVector().length(), 1.0, 1e-12);
    }
    EXPECT_TRUE(boxIs(extentsOf(quarter), AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0), 1e-9));
}

TEST_F(EntitySplineHatchTest, EntitySplineThroughFitPointsPassesEveryOne) {
    const AcGePoint3dArray fit =
        pointList({AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0), AcGePoint3d(3, 1, 0),
                   AcGePoint3d(4, 3, 1), AcGePoint3d(6, 0, 0)});
    AcDbSpline spline(fit);
    EXPECT_EQ(spline.degree(), 3);
    EXPECT_TRUE(spline.hasFitData());
    // Chord-length parameters over [0, 1]: each fit point lies at its parameter.
    double total = 0.0;
    for (int i = 1; i < fit.length(); ++i) {
        total += fit[i].distanceTo(fit[i - 1]);
    }
    double run = 0.0;
    for (int i = 0; i < fit.length(); ++i) {
        if (i > 0) {
            run += fit[i].distanceTo(fit[i - 1]);
        }
        AcGePoint3d p;
        ASSERT_EQ(spline.getPointAtParam(run / total, p), Acad::eOk);
        EXPECT_TRUE(near(p, fit[i], 1e-9)) << "fit point " << i;
    }
    AcGePoint3dArray stretch;
    spline.getStretchPoints(stretch);
    EXPECT_EQ(stretch.length(), 5);
    // Moving a fit point computes the curve again through the new point.
    AcDbIntArray indices;
    indices.append(4);
    ASSERT_EQ(spline.moveStretchPointsAt(indices, AcGeVector3d(0, 2, 0)), Acad::eOk);
    AcGePoint3d end;
    spline.getEndPoint(end);
    EXPECT_TRUE(near(end, AcGePoint3d(6, 2, 0), 1e-9));
    // Two fit points make a straight piece of degree 1.
    AcDbSpline straight(pointList({AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0)}));
    EXPECT_EQ(straight.degree(), 1);
    AcDbSpline none(pointList({AcGePoint3d(1, 1, 1), AcGePoint3d(1, 1, 1)}));
    EXPECT_EQ(none.numControlPoints(), 0);
    AcDbExtents box;
    EXPECT_EQ(none.getGeomExtents(box), Acad::eInvalidExtents);
}

TEST_F(EntitySplineHatchTest, EntitySplineRefusesInconsistentDataAndTransforms) {
    AcDbSpline spline(1, false, false, false,
                      pointList({AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0), AcGePoint3d(2, 0, 0)}),
                      values({0, 0, 1, 2, 2}), AcGeDoubleArray());
    const AcGePoint3dArray three =
        pointList({AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0), AcGePoint3d(2, 0, 0)});
    EXPECT_EQ(
        spline.setNurbsData(1, false, false, false, three, values({0, 1, 2}), AcGeDoubleArray()),
        Acad::eInvalidInput);
    EXPECT_EQ(spline.setNurbsData(1, false, false, false, three, values({0, 0, 2, 1, 2}),
                                  AcGeDoubleArray()),
              Acad::eInvalidInput);
    EXPECT_EQ(spline.setNurbsData(1, true, false, false, three, values({0, 0, 1, 2, 2}),
                                  values({1, -1, 1})),
              Acad::eInvalidInput);
    EXPECT_EQ(spline.numControlPoints(), 3);
    ASSERT_EQ(spline.transformBy(AcGeScale3d(2, 3, 1)), Acad::eOk);
    AcGePoint3d p;
    spline.getControlPointAt(1, p);
    EXPECT_TRUE(near(p, AcGePoint3d(2, 3, 0)));
    EXPECT_TRUE(boxIs(extentsOf(spline), AcGePoint3d(0, 0, 0), AcGePoint3d(4, 3, 0), 1e-9));
    expectRoundTrips(spline);
    expectRoundTrips(
        AcDbSpline(pointList({AcGePoint3d(0, 0, 0), AcGePoint3d(1, 2, 0), AcGePoint3d(3, 1, 0)})));
}

TEST_F(EntitySplineHatchTest, EntityHatchLoopsGiveExtentsAndStretchPoints) {
    AcDbHatch hatch;
    AcGePoint2dArray square;
    square.append(AcGePoint2d(0, 0));
    square.append(AcGePoint2d(2, 0));
    square.append(AcGePoint2d(2, 2));
    square.append(AcGePoint2d(0, 2));
    ASSERT_EQ(hatch.appendLoop(AcDbHatch::kExternal, square, AcGeDoubleArray()), Acad::eOk);
    // A circle of radius 1 about (5, 0) as two half circles.
    AcGePoint2dArray circle;
    circle.append(AcGePoint2d(4, 0));
    circle.append(AcGePoint2d(6, 0));
    ASSERT_EQ(hatch.appendLoop(AcDbHatch::kDefault, circle, values({1, 1})), Acad::eOk);
    EXPECT_EQ(hatch.numLoops(), 2);
    EXPECT_TRUE(boxIs(extentsOf(hatch), AcGePoint3d(0, -1, 0), AcGePoint3d(6, 2, 0)));
    AcGePoint3dArray points;
    hatch.getStretchPoints(points);
    EXPECT_EQ(points.length(), 6);
    AcGePoint2dArray one;
    one.append(AcGePoint2d(0, 0));
    EXPECT_EQ(hatch.appendLoop(AcDbHatch::kDefault, one, AcGeDoubleArray()), Acad::eInvalidInput);
    EXPECT_TRUE(hatch.isSolidFill());
    ASSERT_EQ(hatch.setPattern(AcDbHatch::kPreDefined, L"ANSI31"), Acad::eOk);
    EXPECT_FALSE(hatch.isSolidFill());
    ASSERT_EQ(hatch.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_NEAR(hatch.patternAngle(), kPi / 2, 1e-12);
    EXPECT_TRUE(boxIs(extentsOf(hatch), AcGePoint3d(-2, 0, 0), AcGePoint3d(1, 6, 0)));
    EXPECT_EQ(hatch.transformBy(AcGeScale3d(1, 2, 1)), Acad::eCannotScaleNonUniformly);
    Adesk::Int32 type = 0;
    AcGePoint2dArray read;
    AcGeDoubleArray bulges;
    ASSERT_EQ(hatch.getLoopAt(1, type, read, bulges), Acad::eOk);
    EXPECT_EQ(read.length(), 2);
    EXPECT_DOUBLE_EQ(bulges[0], 1.0);
    EXPECT_EQ(hatch.getLoopAt(2, type, read, bulges), Acad::eInvalidIndex);
    expectRoundTrips(hatch);
}

TEST_F(EntitySplineHatchTest, EntityHatchReadsLineAndArcEdgesAndRefusesOthers) {
    // A half disc: a line from (-1,0) to (1,0) and a counter-clockwise arc back over the top.
    const host::DxfItemList edges{text(100, L"AcDbEntity"),
                                  text(8, L"0"),
                                  text(100, L"AcDbHatch"),
                                  host::DxfItem{10, AcGePoint3d(0, 0, 3)},
                                  text(2, L"SOLID"),
                                  integer(70, 1),
                                  integer(71, 0),
                                  integer(91, 1),
                                  integer(92, 1),
                                  integer(93, 2),
                                  integer(72, 1),
                                  point(10, -1, 0),
                                  point(11, 1, 0),
                                  integer(72, 2),
                                  point(10, 0, 0),
                                  real(40, 1.0),
                                  real(50, 0.0),
                                  real(51, kPi),
                                  integer(73, 1),
                                  integer(97, 0),
                                  integer(75, 0),
                                  integer(76, 1),
                                  integer(98, 0)};
    AcDbHatch hatch;
    ASSERT_EQ(tables_test::dxfRead(hatch, edges, db()), Acad::eOk);
    EXPECT_DOUBLE_EQ(hatch.elevation(), 3.0);
    ASSERT_EQ(hatch.numLoops(), 1);
    EXPECT_TRUE(boxIs(extentsOf(hatch), AcGePoint3d(-1, 0, 3), AcGePoint3d(1, 1, 3)));

    host::DxfItemList ellipse = edges;
    ellipse[13] = integer(72, 3);
    AcDbHatch refused;
    EXPECT_EQ(tables_test::dxfRead(refused, ellipse, db()), Acad::eDxfReadFailed);
    EXPECT_EQ(refused.numLoops(), 0);
}

}  // namespace
