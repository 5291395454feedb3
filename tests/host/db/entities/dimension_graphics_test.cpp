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
#include "tests/support/host_checks.h"

namespace {

using testsupport::near;

using host::DimensionGraphics;
using host::dimensionGraphics;

TEST(DimensionGraphics, HorizontalRotatedDimensionDrawsLinesArrowsAndLength) {
    const AcDbRotatedDimension dimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0),
                                         AcGePoint3d(5, 3, 0));
    const DimensionGraphics g = dimensionGraphics(&dimension);
    ASSERT_EQ(g.lines.size(), 3u);
    EXPECT_TRUE(near(g.lines[0].start,
                     AcGePoint3d(0, 0.0625, 0)));  // extension lines: off the point, past the line
    EXPECT_TRUE(near(g.lines[0].end, AcGePoint3d(0, 3.18, 0)));
    EXPECT_TRUE(near(g.lines[1].start, AcGePoint3d(10, 0.0625, 0)));
    EXPECT_TRUE(near(g.lines[2].start, AcGePoint3d(0, 3, 0)));  // the dimension line
    EXPECT_TRUE(near(g.lines[2].end, AcGePoint3d(10, 3, 0)));
    ASSERT_EQ(g.arrows.size(), 2u);
    EXPECT_TRUE(near(g.arrows[0].tip, AcGePoint3d(0, 3, 0)));
    EXPECT_TRUE(near(g.arrows[0].baseLeft, AcGePoint3d(0.18, 2.97, 0)));
    EXPECT_TRUE(near(g.arrows[0].baseRight, AcGePoint3d(0.18, 3.03, 0)));
    EXPECT_TRUE(near(g.arrows[1].tip, AcGePoint3d(10, 3, 0)));
    EXPECT_TRUE(near(g.arrows[1].baseLeft, AcGePoint3d(9.82, 3.03, 0)));
    ASSERT_EQ(g.labels.size(), 1u);
    EXPECT_TRUE(near(g.labels[0].position, AcGePoint3d(5, 3.09, 0)));
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
    EXPECT_TRUE(near(g.labels[0].position, AcGePoint3d(-3.09, 5, 0)));
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
    EXPECT_TRUE(near(g.arcs[0].center, AcGePoint3d(0, 0, 0)));
    EXPECT_DOUBLE_EQ(g.arcs[0].radius, 5.0);
    EXPECT_NEAR(g.arcs[0].startAngle, 0.0, 1e-12);
    EXPECT_NEAR(g.arcs[0].endAngle, kGePi / 2, 1e-12);
    // The measured points lie inside the arc: extension lines run out to it.
    ASSERT_EQ(g.lines.size(), 2u);
    EXPECT_TRUE(near(g.lines[0].start, AcGePoint3d(2.0625, 0, 0)));
    EXPECT_TRUE(near(g.lines[0].end, AcGePoint3d(5.18, 0, 0)));
    ASSERT_EQ(g.arrows.size(), 2u);
    EXPECT_TRUE(near(g.arrows[0].tip,
                     AcGePoint3d(5, 0, 0)));  // pointing clockwise, its base on the arc's side
    EXPECT_TRUE(near(g.arrows[0].baseLeft, AcGePoint3d(5.03, 0.18, 0)));
    EXPECT_TRUE(near(g.arrows[1].tip, AcGePoint3d(0, 5, 0)));  // pointing counter-clockwise
    EXPECT_TRUE(near(g.arrows[1].baseLeft, AcGePoint3d(0.18, 4.97, 0)));
    ASSERT_EQ(g.labels.size(), 1u);
    EXPECT_EQ(g.labels[0].text, L"90\u00B0");
    const double out = 5.0 + 0.09;
    EXPECT_TRUE(
        near(g.labels[0].position, AcGePoint3d(out * std::sqrt(0.5), out * std::sqrt(0.5), 0)));
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
    EXPECT_TRUE(near(g.arcs[0].center, AcGePoint3d(0, 0, 0)));
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
    EXPECT_TRUE(near(g.lines[0].start, AcGePoint3d(0, 0.5, 0)));
    EXPECT_TRUE(near(g.lines[0].end, AcGePoint3d(0, 4.5, 0)));
    EXPECT_TRUE(near(g.arrows[0].baseLeft, AcGePoint3d(1.0, 3 - 1.0 / 6, 0)));
    EXPECT_DOUBLE_EQ(g.labels[0].height, 2.0);
    EXPECT_TRUE(near(g.labels[0].position, AcGePoint3d(5, 4, 0)));
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
