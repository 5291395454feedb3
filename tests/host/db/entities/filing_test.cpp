// Filing of every entity kind both ways: binary copies and DXF item lists give back the same
// groups; DXF lists written by hand read into the expected values (object coordinates, record
// names); broken lists are refused with a message and change nothing.
#include <gtest/gtest.h>

#include <cmath>

#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/text_style_table.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

using entity_test::near;
using tables_test::angle;
using tables_test::integer;
using tables_test::real;
using tables_test::text;

constexpr double kPi = 3.14159265358979323846;

host::DxfItem point(int code, double x, double y, double z) {
    return host::DxfItem{code, AcGePoint3d(x, y, z)};
}

// The AcDbEntity groups a hand-written list starts with.
host::DxfItemList entityHead() {
    return {text(100, L"AcDbEntity"), text(8, L"0")};
}

host::DxfItemList concat(host::DxfItemList head, const host::DxfItemList& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

class EntityKindFilingTest : public entity_test::EntityTest {
protected:
    // A text style other than the default, for texts to refer to.
    AcDbObjectId addStyle(const wchar_t* name) {
        return testsupport::addRecord<AcDbTextStyleTable>(db(), new AcDbTextStyleTableRecord, name);
    }
};

TEST_F(EntityKindFilingTest, EntityFilingCurvesRoundTripBothWays) {
    AcDbLine line(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6));
    line.setThickness(2.5);
    line.setNormal(AcGeVector3d(0, 1, 1));
    line.setColorIndex(3);
    expectRoundTrips(line);
    expectRoundTrips(AcDbLine(AcGePoint3d(1, 2, 3), AcGePoint3d(4, 5, 6)));
    expectRoundTrips(AcDbArc(AcGePoint3d(1, 2, 3), AcGeVector3d(1, 1, 1), 2.0, 0.5, 4.0));
    expectRoundTrips(AcDbCircle(AcGePoint3d(-1, 2, 0), AcGeVector3d(0, 0, -1), 3.0));
    expectRoundTrips(AcDbEllipse(AcGePoint3d(1, 1, 1), AcGeVector3d::kZAxis, AcGeVector3d(0, 3, 0),
                                 0.25, 1.0, 2.0));
    AcDbRay ray;
    ray.setBasePoint(AcGePoint3d(1, 1, 1));
    ray.setUnitDir(AcGeVector3d(0, 0, 1));
    expectRoundTrips(ray);
}

TEST_F(EntityKindFilingTest, EntityFilingPlanarEntitiesRoundTripBothWays) {
    AcDbPoint pointEntity(AcGePoint3d(1, 2, 3));
    pointEntity.setEcsRotation(0.5);
    expectRoundTrips(pointEntity);
    expectRoundTrips(AcDbFace(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0), AcGePoint3d(1, 1, 1),
                              AcGePoint3d(0, 1, 1), true, false, true, false));
    AcDbSolid solid(AcGePoint3d(0, 0, 1), AcGePoint3d(1, 0, 1), AcGePoint3d(0, 1, 1));
    solid.setNormal(AcGeVector3d(1, 0, 1));
    solid.setThickness(0.5);
    expectRoundTrips(solid);
}

TEST_F(EntityKindFilingTest, EntityFilingTextsRoundTripBothWays) {
    const AcDbObjectId style = addStyle(L"Notes");
    AcDbText plain(AcGePoint3d(1, 2, 0), L"Hello %%d", style, 2.5, 0.3);
    plain.setHorizontalMode(AcDb::kTextRight);
    plain.setVerticalMode(AcDb::kTextTop);
    plain.setAlignmentPoint(AcGePoint3d(9, 9, 0));
    plain.setOblique(0.2);
    plain.mirrorInX(true);
    expectRoundTrips(plain);
    AcDbAttributeDefinition definition(AcGePoint3d(0, 1, 0), L"x", L"TAG", L"Enter", style);
    definition.setInvisible(true);
    definition.setVerticalMode(AcDb::kTextVertMid);
    expectRoundTrips(definition);
    AcDbAttribute attribute(AcGePoint3d(0, 1, 0), L"value", L"TAG", style);
    attribute.setFieldLength(8);
    attribute.setVerticalMode(AcDb::kTextBottom);
    expectRoundTrips(attribute);
}

TEST_F(EntityKindFilingTest, EntityFilingWritesTheSubclassesReadersExpect) {
    const host::DxfItemList arcGroups = groupsOf(AcDbArc(AcGePoint3d(1, 2, 3), 2.0, 0.5, 1.0));
    const host::DxfItemList circle = subclass(arcGroups, L"AcDbCircle");
    const host::DxfItemList arc = subclass(arcGroups, L"AcDbArc");
    ASSERT_EQ(circle.size(), 4u);
    EXPECT_EQ(circle[1], point(10, 1, 2, 3));
    EXPECT_EQ(circle[2], real(40, 2.0));
    ASSERT_EQ(arc.size(), 2u);
    EXPECT_EQ(arc[0], angle(50, 0.5));
    EXPECT_EQ(arc[1], angle(51, 1.0));

    const AcDbText textEntity(AcGePoint3d(), L"t", addStyle(L"Labels"), 1.0);
    const host::DxfItemList groups = groupsOf(textEntity);
    const host::DxfItemList first = subclass(groups, L"AcDbText");
    EXPECT_NE(std::find(first.begin(), first.end(), text(7, L"Labels")), first.end());
    // The vertical mode comes in a second AcDbText subclass.
    ASSERT_GE(groups.size(), 2u);
    EXPECT_EQ(groups[groups.size() - 2], text(100, L"AcDbText"));
    EXPECT_EQ(groups.back(), integer(73, 0));

    // Attributes file their vertical mode under 74, after tag, flags and field length.
    AcDbAttribute attribute(AcGePoint3d(), L"v", L"T");
    attribute.setVerticalMode(AcDb::kTextTop);
    attribute.setFieldLength(5);
    const host::DxfItemList own = subclass(groupsOf(attribute), L"AcDbAttribute");
    const host::DxfItemList expected{text(2, L"T"), integer(70, 0), integer(73, 5),
                                     integer(74, AcDb::kTextTop)};
    EXPECT_EQ(own, expected);
}

TEST_F(EntityKindFilingTest, EntityFilingReadsObjectCoordinatesByHand) {
    // An arc with normal -Z: OCS (1, 2, 3) is world (-1, 2, -3).
    AcDbArc arc;
    ASSERT_EQ(tables_test::dxfRead(
                  arc,
                  concat(entityHead(), {text(100, L"AcDbCircle"), point(10, 1, 2, 3), real(40, 2.0),
                                        point(210, 0, 0, -1), text(100, L"AcDbArc"), real(50, 0.0),
                                        real(51, kPi / 2)}),
                  db()),
              Acad::eOk);
    EXPECT_TRUE(near(arc.center(), AcGePoint3d(-1, 2, -3)));
    AcGePoint3d start;
    arc.getStartPoint(start);
    EXPECT_TRUE(near(start, AcGePoint3d(-3, 2, -3)));

    AcDbText label;
    ASSERT_EQ(tables_test::dxfRead(
                  label,
                  concat(entityHead(), {text(100, L"AcDbText"), point(10, 1, 1, 0), real(40, 3.0),
                                        text(1, L"Hi"), text(7, L"standard")}),
                  db()),
              Acad::eOk);
    EXPECT_DOUBLE_EQ(label.height(), 3.0);
    EXPECT_STREQ(label.textStringConst(), L"Hi");
    AcDbObjectId standard;
    {
        auto table =
            entity_test::open<AcDbTextStyleTable>(db()->textStyleTableId(), AcDb::kForRead);
        table->getAt(L"Standard", standard);
    }
    EXPECT_EQ(label.textStyle(), standard);
}

TEST_F(EntityKindFilingTest, EntityFilingRefusesBrokenListsWithAMessage) {
    AcDbCircle circle(AcGePoint3d(1, 1, 1), AcGeVector3d::kZAxis, 1.0);
    EXPECT_NE(
        tables_test::dxfRead(circle,
                             concat(entityHead(), {text(100, L"AcDbCircle"), point(10, 5, 5, 5),
                                                   real(40, 2.0), point(210, 0, 0, 0)}),
                             db()),
        Acad::eOk);
    EXPECT_TRUE(near(circle.center(), AcGePoint3d(1, 1, 1)));
    EXPECT_DOUBLE_EQ(circle.radius(), 1.0);

    AcDbEllipse ellipse;
    EXPECT_NE(tables_test::dxfRead(ellipse,
                                   concat(entityHead(), {text(100, L"AcDbEllipse"),
                                                         point(11, 1, 0, 0), real(40, 2.0)}),
                                   db()),
              Acad::eOk);
    EXPECT_DOUBLE_EQ(ellipse.radiusRatio(), 1.0);

    AcDbText label;
    EXPECT_EQ(
        tables_test::dxfRead(
            label, concat(entityHead(), {text(100, L"AcDbText"), text(7, L"NoSuchStyle")}), db()),
        Acad::eKeyNotFound);
    EXPECT_NE(tables_test::dxfRead(
                  label, concat(entityHead(), {text(100, L"AcDbText"), real(40, -1.0)}), db()),
              Acad::eOk);
    EXPECT_DOUBLE_EQ(label.height(), 0.2);

    AcDbLine line;
    EXPECT_EQ(tables_test::dxfRead(line, concat(entityHead(), {text(100, L"AcDbCircle")}), db()),
              Acad::eBadDxfSequence);
}

}  // namespace
