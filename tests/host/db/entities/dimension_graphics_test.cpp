// The graphics of a dimension as its block shows them: positions worked out by hand for a
// horizontal and a vertical rotated dimension and for both angular kinds, the text, and the
// dimensions left undrawn.
#include "kestrel/host/db/entities/dimension_graphics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/ge/angles.h"

namespace {

using host::DimensionGraphics;
using host::dimensionGraphics;

void expectPoint(const AcGePoint3d& actual, double x, double y) {
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, 0.0, 1e-9);
}

TEST(DimensionGraphics, HorizontalRotatedDimensionDrawsLinesArrowsAndLength) {
    const AcDbRotatedDimension dimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0),
                                         AcGePoint3d(5, 3, 0));
    const DimensionGraphics g = dimensionGraphics(&dimension);
    ASSERT_EQ(g.lines.size(), 3u);
    expectPoint(g.lines[0].start, 0, 0.0625);  // extension lines: off the point, past the line
    expectPoint(g.lines[0].end, 0, 3.18);
    expectPoint(g.lines[1].start, 10, 0.0625);
    expectPoint(g.lines[2].start, 0, 3);  // the dimension line
    expectPoint(g.lines[2].end, 10, 3);
    ASSERT_EQ(g.arrows.size(), 2u);
    expectPoint(g.arrows[0].tip, 0, 3);
    expectPoint(g.arrows[0].baseLeft, 0.18, 2.97);
    expectPoint(g.arrows[0].baseRight, 0.18, 3.03);
    expectPoint(g.arrows[1].tip, 10, 3);
    expectPoint(g.arrows[1].baseLeft, 9.82, 3.03);
    ASSERT_EQ(g.labels.size(), 1u);
    expectPoint(g.labels[0].position, 5, 3.09);
    EXPECT_DOUBLE_EQ(g.labels[0].rotation, 0.0);
    EXPECT_DOUBLE_EQ(g.labels[0].height, 0.18);
    EXPECT_EQ(g.labels[0].text, L"10");
}

TEST(DimensionGraphics, VerticalDimensionTextReadsUpwardsLeftOfItsLine) {
    AcDbRotatedDimension dimension(kGePi / 2, AcGePoint3d(0, 10, 0), AcGePoint3d(0, 0, 0),
                                   AcGePoint3d(-3, 5, 0), L"<> mm");
    const DimensionGraphics g = dimensionGraphics(&dimension);
    ASSERT_EQ(g.labels.size(), 1u);
    EXPECT_NEAR(g.labels[0].rotation, kGePi / 2, 1e-12);  // not upside down, whatever the order
    expectPoint(g.labels[0].position, -3.09, 5);
    EXPECT_EQ(g.labels[0].text, L"10 mm");
    dimension.setDimensionText(L"fixed");
    EXPECT_EQ(dimensionGraphics(&dimension).labels[0].text, L"fixed");
}

TEST(DimensionGraphics, MeasurementsKeepAtMostFourDecimals) {
    const AcDbRotatedDimension dimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(2.123456, 0, 0),
                                         AcGePoint3d(0, 1, 0));
    EXPECT_EQ(dimensionGraphics(&dimension).labels[0].text, L"2.1235");
}

TEST(DimensionGraphics, ThreePointAngleDrawsItsArcAndDegrees) {
    const AcDb3PointAngularDimension dimension(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0),
                                               AcGePoint3d(0, 2, 0), AcGePoint3d(3, 4, 0));
    const DimensionGraphics g = dimensionGraphics(&dimension);
    ASSERT_EQ(g.arcs.size(), 1u);
    expectPoint(g.arcs[0].center, 0, 0);
    EXPECT_DOUBLE_EQ(g.arcs[0].radius, 5.0);
    EXPECT_NEAR(g.arcs[0].startAngle, 0.0, 1e-12);
    EXPECT_NEAR(g.arcs[0].endAngle, kGePi / 2, 1e-12);
    // The measured points lie inside the arc: extension lines run out to it.
    ASSERT_EQ(g.lines.size(), 2u);
    expectPoint(g.lines[0].start, 2.0625, 0);
    expectPoint(g.lines[0].end, 5.18, 0);
    ASSERT_EQ(g.arrows.size(), 2u);
    expectPoint(g.arrows[0].tip, 5, 0);  // pointing clockwise, its base on the arc's side
    expectPoint(g.arrows[0].baseLeft, 5.03, 0.18);
    expectPoint(g.arrows[1].tip, 0, 5);  // pointing counter-clockwise
    expectPoint(g.arrows[1].baseLeft, 0.18, 4.97);
    ASSERT_EQ(g.labels.size(), 1u);
    EXPECT_EQ(g.labels[0].text, L"90\u00B0");
    const double out = 5.0 + 0.09;
    expectPoint(g.labels[0].position, out * std::sqrt(0.5), out * std::sqrt(0.5));
    EXPECT_NEAR(g.labels[0].rotation, 7 * kGePi / 4, 1e-12);
}

TEST(DimensionGraphics, TwoLineAngleTurnsFromWhereTheLinesCross) {
    // Line 1 runs along +x from (2,0); line 2 rises from (0,3) towards (0,5): they cross at the
    // origin, and the smaller angle between their directions is a quarter turn.
    const AcDb2LineAngularDimension dimension(AcGePoint3d(2, 0, 0), AcGePoint3d(6, 0, 0),
                                              AcGePoint3d(0, 3, 0), AcGePoint3d(0, 5, 0),
                                              AcGePoint3d(1, 1, 0));
    const DimensionGraphics g = dimensionGraphics(&dimension);
    ASSERT_EQ(g.arcs.size(), 1u);
    expectPoint(g.arcs[0].center, 0, 0);
    EXPECT_NEAR(g.arcs[0].radius, std::sqrt(2.0), 1e-12);
    EXPECT_NEAR(g.arcs[0].startAngle, 0.0, 1e-12);
    EXPECT_NEAR(g.arcs[0].endAngle, kGePi / 2, 1e-12);
    EXPECT_TRUE(g.lines.empty());  // both lines reach beyond the arc
    EXPECT_EQ(g.labels[0].text, L"90\u00B0");
}

TEST(DimensionGraphics, SizesComeFromTheDimensionStyleTimesItsScale) {
    AcDbDatabase db;
    AcDbDimStyleTableRecord* style = nullptr;
    ASSERT_EQ(acdbOpenObject(style, db.dimstyle(), AcDb::kForWrite), Acad::eOk);
    style->setDimasz(0.5);
    style->setDimtxt(1.0);
    style->setDimexo(0.25);
    style->setDimexe(0.75);
    style->setDimscale(2.0);
    style->close();
    const AcDbRotatedDimension dimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0),
                                         AcGePoint3d(5, 3, 0), nullptr, db.dimstyle());
    const DimensionGraphics g = dimensionGraphics(&dimension);
    expectPoint(g.lines[0].start, 0, 0.5);
    expectPoint(g.lines[0].end, 0, 4.5);
    expectPoint(g.arrows[0].baseLeft, 1.0, 3 - 1.0 / 6);
    EXPECT_DOUBLE_EQ(g.labels[0].height, 2.0);
    expectPoint(g.labels[0].position, 5, 4);
}

TEST(DimensionGraphics, DegenerateAndTiltedDimensionsAreNotDrawn) {
    const AcDbRotatedDimension flat(0.0, AcGePoint3d(1, 0, 0), AcGePoint3d(1, 5, 0),
                                    AcGePoint3d(0, 2, 0));
    EXPECT_TRUE(dimensionGraphics(&flat).empty());
    const AcDb2LineAngularDimension parallel(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                             AcGePoint3d(0, 1, 0), AcGePoint3d(1, 1, 0),
                                             AcGePoint3d(2, 2, 0));
    EXPECT_TRUE(dimensionGraphics(&parallel).empty());
    AcDbRotatedDimension tilted(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0),
                                AcGePoint3d(5, 3, 0));
    ASSERT_EQ(tilted.setNormal(AcGeVector3d(1, 0, 0)), Acad::eOk);
    EXPECT_TRUE(dimensionGraphics(&tilted).empty());
}

}  // namespace
