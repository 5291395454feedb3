// Dimensions and tables: definition points, measurements, extents, transforms, stretching and
// filing.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/host/db/entities/entity_fixture.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/scale3d.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;

constexpr double kPi = 3.14159265358979323846;

double measured(const AcDbDimension& dimension) {
    double value = -1.0;
    EXPECT_EQ(dimension.measurement(value), Acad::eOk);
    return value;
}

std::wstring cell(const AcDbTable& table, int row, int column) {
    ACHAR* text = table.textString(row, column);
    std::wstring result = text != nullptr ? text : L"<none>";
    acutDelString(text);
    return result;
}

class EntityAnnotationTest : public entity_test::EntityTest {};

TEST_F(EntityAnnotationTest, EntityDimensionRotatedMeasuresAlongItsRotation) {
    AcDbRotatedDimension dimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(4, 3, 0),
                                   AcGePoint3d(0, 5, 0), L"<>", db()->dimstyle());
    EXPECT_DOUBLE_EQ(measured(dimension), 4.0);
    dimension.setRotation(kPi / 2);
    EXPECT_NEAR(measured(dimension), 3.0, 1e-12);
    EXPECT_TRUE(boxIs(extentsOf(dimension), AcGePoint3d(0, 0, 0), AcGePoint3d(4, 5, 0)));
    ACHAR* text = dimension.dimensionText();
    EXPECT_STREQ(text, L"<>");
    acutDelString(text);
    EXPECT_EQ(dimension.dimensionStyle(), db()->dimstyle());
}

TEST_F(EntityAnnotationTest, EntityDimensionTransformsAndStretches) {
    AcDbRotatedDimension dimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(4, 0, 0),
                                   AcGePoint3d(0, 2, 0));
    dimension.setTextPosition(AcGePoint3d(2, 2, 0));
    ASSERT_EQ(dimension.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)),
              Acad::eOk);
    EXPECT_TRUE(near(dimension.xLine2Point(), AcGePoint3d(0, 4, 0)));
    EXPECT_TRUE(near(dimension.dimLinePoint(), AcGePoint3d(-2, 0, 0)));
    EXPECT_TRUE(near(dimension.textPosition(), AcGePoint3d(-2, 2, 0)));
    EXPECT_NEAR(dimension.rotation(), kPi / 2, 1e-12);
    EXPECT_NEAR(measured(dimension), 4.0, 1e-12);
    EXPECT_EQ(dimension.transformBy(AcGeScale3d(1, 2, 1)), Acad::eCannotScaleNonUniformly);
    EXPECT_TRUE(near(dimension.xLine2Point(), AcGePoint3d(0, 4, 0)));

    AcGePoint3dArray points;
    dimension.getStretchPoints(points);
    ASSERT_EQ(points.length(), 3);
    AcDbIntArray indices;
    indices.append(1);
    ASSERT_EQ(dimension.moveStretchPointsAt(indices, AcGeVector3d(0, 1, 0)), Acad::eOk);
    EXPECT_TRUE(near(dimension.xLine2Point(), AcGePoint3d(0, 5, 0)));
}

TEST_F(EntityAnnotationTest, EntityDimensionAngularKindsMeasureTheirAngles) {
    AcDb2LineAngularDimension twoLines(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                       AcGePoint3d(0, 0, 0), AcGePoint3d(0, 1, 0),
                                       AcGePoint3d(1, 1, 0));
    EXPECT_NEAR(measured(twoLines), kPi / 2, 1e-12);
    EXPECT_TRUE(near(twoLines.xLine2End(), AcGePoint3d(0, 1, 0)));
    AcGePoint3dArray points;
    twoLines.getStretchPoints(points);
    EXPECT_EQ(points.length(), 5);

    AcDb3PointAngularDimension threePoints(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                           AcGePoint3d(0, 1, 0), AcGePoint3d(1, 1, 0));
    EXPECT_NEAR(measured(threePoints), kPi / 2, 1e-12);
    AcDb3PointAngularDimension reflex(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 1, 0),
                                      AcGePoint3d(1, 0, 0), AcGePoint3d(-1, -1, 0));
    EXPECT_NEAR(measured(reflex), 3 * kPi / 2, 1e-12);
    EXPECT_TRUE(boxIs(extentsOf(reflex), AcGePoint3d(-1, -1, 0), AcGePoint3d(1, 1, 0)));
}

TEST_F(EntityAnnotationTest, EntityDimensionFilingRoundTripsWithStyleByName) {
    AcDbRotatedDimension rotated(0.3, AcGePoint3d(0, 0, 0), AcGePoint3d(4, 3, 0),
                                 AcGePoint3d(0, 5, 0), L"x=<>", db()->dimstyle());
    rotated.setOblique(0.1);
    expectRoundTrips(rotated);
    const host::DxfItemList groups = groupsOf(rotated);
    EXPECT_NE(std::find(groups.begin(), groups.end(), tables_test::text(3, L"Standard")),
              groups.end());
    EXPECT_EQ(groups.back(), tables_test::text(100, L"AcDbRotatedDimension"));
    expectRoundTrips(AcDb2LineAngularDimension(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                               AcGePoint3d(0, 0, 1), AcGePoint3d(0, 1, 1),
                                               AcGePoint3d(1, 1, 0), L"", db()->dimstyle()));
    expectRoundTrips(AcDb3PointAngularDimension(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0),
                                                AcGePoint3d(0, 1, 0), AcGePoint3d(1, 1, 0)));
}

TEST_F(EntityAnnotationTest, EntityTableGridSizesAndTexts) {
    AcDbTable table;
    ASSERT_EQ(table.setSize(2, 3), Acad::eOk);
    table.setPosition(AcGePoint3d(0, 10, 0));
    EXPECT_DOUBLE_EQ(table.width(), 15.0);
    EXPECT_DOUBLE_EQ(table.height(), 2.0);
    EXPECT_TRUE(boxIs(extentsOf(table), AcGePoint3d(0, 8, 0), AcGePoint3d(15, 10, 0)));
    ASSERT_EQ(table.setTextString(1, 2, L"last"), Acad::eOk);
    EXPECT_EQ(cell(table, 1, 2), L"last");
    EXPECT_EQ(table.setTextString(2, 0, L"x"), Acad::eInvalidIndex);
    EXPECT_EQ(cell(table, 2, 0), L"<none>");
    EXPECT_EQ(table.setRowHeight(0, 0.0), Acad::eInvalidInput);
    ASSERT_EQ(table.setColumnWidth(0, 1.0), Acad::eOk);
    // Growing keeps the cells; shrinking drops the rest.
    ASSERT_EQ(table.setSize(3, 4), Acad::eOk);
    EXPECT_EQ(cell(table, 1, 2), L"last");
    EXPECT_DOUBLE_EQ(table.columnWidth(0), 1.0);
    ASSERT_EQ(table.setNumColumns(2), Acad::eOk);
    EXPECT_EQ(cell(table, 1, 2), L"<none>");
    EXPECT_EQ(table.setSize(-1, 2), Acad::eInvalidInput);
}

TEST_F(EntityAnnotationTest, EntityTableTurnsScalesAndRefusesMirroring) {
    AcDbTable table;
    table.setSize(2, 3);
    ASSERT_EQ(table.transformBy(AcGeMatrix3d::rotation(kPi / 2, AcGeVector3d::kZAxis)), Acad::eOk);
    EXPECT_TRUE(near(table.direction(), AcGeVector3d::kYAxis));
    EXPECT_TRUE(boxIs(extentsOf(table), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 15, 0)));
    ASSERT_EQ(table.transformBy(AcGeMatrix3d::scaling(2.0)), Acad::eOk);
    EXPECT_DOUBLE_EQ(table.rowHeight(1), 2.0);
    EXPECT_EQ(table.transformBy(
                  AcGeMatrix3d::mirroring(AcGePlane(AcGePoint3d::kOrigin, AcGeVector3d::kXAxis))),
              Acad::eCannotScaleNonUniformly);
    AcGePoint3dArray corners;
    table.getStretchPoints(corners);
    ASSERT_EQ(corners.length(), 4);
    EXPECT_TRUE(near(corners[2], AcGePoint3d(4, 30, 0)));
    AcDbIntArray indices;
    indices.append(2);
    EXPECT_EQ(table.moveStretchPointsAt(indices, AcGeVector3d(1, 0, 0)), Acad::eNotApplicable);
}

TEST_F(EntityAnnotationTest, EntityTableFilingKeepsLongCellTexts) {
    AcDbTable table;
    table.setSize(2, 2);
    table.setRowHeight(1, 3.5);
    const std::wstring longText(300, L'q');
    table.setTextString(0, 1, longText.c_str());
    table.setTextString(1, 0, L"short");
    table.setRotation(0.25);
    expectRoundTrips(table);
    AcDbTable read;
    ASSERT_EQ(tables_test::dxfRead(read, groupsOf(table), db()), Acad::eOk);
    EXPECT_EQ(cell(read, 0, 1), longText);
    EXPECT_DOUBLE_EQ(read.rowHeight(1), 3.5);
    EXPECT_NEAR(read.rotation(), 0.25, 1e-12);
}

}  // namespace
