// Characteristic points: what each extractor writes for its own kind of entity, what it leaves
// alone for any other, and the records that bind a class, a UI name and an extractor.
#include "kestrel/geometry/characteristic_points.h"

#include <boost/make_shared.hpp>

#include "kestrel/drawing/entity_creation.h"
#include "kestrel/geometry/drawing_entity.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/mtext.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/spline.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/rx/class.h"
#include "tests/drawing/drawing_fixture.h"

namespace {

using Points = std::vector<AcGePoint3d>;
using testsupport::pointArray;

Points listed(const AcGePoint3dArray& array) {
    Points list;
    for (int i = 0; i < array.length(); ++i) {
        list.push_back(array[i]);
    }
    return list;
}

const AcGePoint3d kOld(-1, -1, -1);
const Points kCorners = {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}};

class GeometryCharacteristicPointsTest : public drawing_test::DrawingTest {
protected:
    // What the extractor writes for the entity id, opened for read, into an array holding kOld.
    Points extract(ICharacteristicPointsExtractor&& extractor, AcDbObjectId id) {
        AcGePoint3dArray points = pointArray({kOld});
        EXPECT_EQ(
            extractor.ExtractCharacteristicPoints(testsupport::open<AcDbEntity>(id).get(), points),
            1);
        return listed(points);
    }

    AcDbObjectId addLine() { return CVLKCDraw::line(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)); }
};

TEST_F(GeometryCharacteristicPointsTest, DirectReadersAppendTheirPoints) {
    EXPECT_EQ(extract(CCPE_AcDbLine(), addLine()), Points({kOld, {0, 0, 0}, {10, 0, 0}}));
    const AcDbObjectId arc =
        CVLKCDraw::arc(AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(-1, 0, 0));
    EXPECT_EQ(extract(CCPE_AcDbArc(), arc), Points({kOld, {1, 0, 0}, {-1, 0, 0}}));
    const AcDbObjectId circle = CVLKCDraw::circle(AcGePoint3d(3, 4, 5), 2, AcGeVector3d::kZAxis);
    EXPECT_EQ(extract(CCPE_AcDbCircle(), circle), Points({kOld, {3, 4, 5}}));
    EXPECT_EQ(extract(CCPE_AcDbPoint(), CVLKCDraw::point(AcGePoint3d(7, 8, 9))),
              Points({kOld, {7, 8, 9}}));
    const AcDbObjectId reference =
        CVLKCDraw::insertBlockReference(addBlock(L"MARK"), AcGePoint3d(5, 5, 0), nullptr, 2);
    EXPECT_EQ(extract(CCPE_AcDbBlockReference(), reference), Points({kOld, {5, 5, 0}}));
    auto* mtext = new AcDbMText();
    mtext->setLocation(AcGePoint3d(2, 3, 0));
    EXPECT_EQ(extract(CCPE_AcDbMText(), append(mtext)), Points({kOld, {2, 3, 0}}));
    // An aligned text runs from its insertion point to its alignment point: the first counts.
    auto* text = new AcDbText(AcGePoint3d(1, 2, 0), L"A", AcDbObjectId::kNull, 1.0);
    text->setHorizontalMode(AcDb::kTextAlign);
    text->setAlignmentPoint(AcGePoint3d(6, 2, 0));
    EXPECT_EQ(extract(CCPE_AcDbText(), append(text)), Points({kOld, {1, 2, 0}}));
}

TEST_F(GeometryCharacteristicPointsTest, ReopenersReadTheEntityAgain) {
    // The polyline extractors replace what the array held.
    const AcGePoint3dArray corners = pointArray(kCorners);
    EXPECT_EQ(extract(CCPE_AcDbPolyline(), CVLKCDraw::polylineLW(corners, 1.5, 1)),
              Points({{0, 0, 1.5}, {4, 0, 1.5}, {4, 3, 1.5}, {0, 3, 1.5}}));
    EXPECT_EQ(extract(CCPE_AcDb2dPolyline(), CVLKCDraw::polyline2d(corners, 0, 0)), kCorners);
    const Points spatial = {{0, 0, 0}, {1, 2, 3}};
    EXPECT_EQ(extract(CCPE_AcDb3dPolyline(), CVLKCDraw::polyline3d(pointArray(spatial), 0)),
              spatial);
    // The others add stretch points, or the solid's four corners.
    const AcDbObjectId face =
        CVLKCDraw::face(corners[0], corners[1], corners[2], corners[3], true, true, true, true);
    EXPECT_EQ(extract(CCPE_AcDbFace(), face),
              Points({kOld, kCorners[0], kCorners[1], kCorners[2], kCorners[3]}));
    EXPECT_EQ(extract(CCPE_AcDbSpline(), append(new AcDbSpline(pointArray(spatial)))),
              Points({kOld, spatial[0], spatial[1]}));
    auto* hatch = new AcDbHatch();
    AcGePoint2dArray loop;
    for (const AcGePoint3d& p : {kCorners[0], kCorners[1], kCorners[2]}) {
        loop.append(AcGePoint2d(p.x, p.y));
    }
    ASSERT_EQ(hatch->appendLoop(1, loop, AcGeDoubleArray()), Acad::eOk);
    EXPECT_EQ(extract(CCPE_AcDbHatch(), append(hatch)),
              Points({kOld, kCorners[0], kCorners[1], kCorners[2]}));
    // A three-corner solid still gives four corners, the last two alike.
    EXPECT_EQ(extract(CCPE_AcDbSolid(), CVLKCDraw::solid(corners[0], corners[1], corners[2])),
              Points({kOld, kCorners[0], kCorners[1], kCorners[2], kCorners[2]}));
}

TEST_F(GeometryCharacteristicPointsTest, AnotherKindOfEntityLeavesTheArrayAloneAndNothingOpen) {
    const boost::shared_ptr<ICharacteristicPointsExtractor> others[] = {
        boost::make_shared<CCPE_AcDbArc>(),        boost::make_shared<CCPE_AcDbMText>(),
        boost::make_shared<CCPE_AcDbText>(),       boost::make_shared<CCPE_AcDbPoint>(),
        boost::make_shared<CCPE_AcDbCircle>(),     boost::make_shared<CCPE_AcDbBlockReference>(),
        boost::make_shared<CCPE_AcDbPolyline>(),   boost::make_shared<CCPE_AcDb2dPolyline>(),
        boost::make_shared<CCPE_AcDb3dPolyline>(), boost::make_shared<CCPE_AcDbFace>(),
        boost::make_shared<CCPE_AcDbSpline>(),     boost::make_shared<CCPE_AcDbHatch>(),
        boost::make_shared<CCPE_AcDbSolid>()};
    CVLKCLinePtr line(addLine(), AcDb::kForRead);
    AcGePoint3dArray points = pointArray({kOld});
    for (const auto& extractor : others) {
        EXPECT_EQ(extractor->ExtractCharacteristicPoints(line, points), 1);
        EXPECT_EQ(extractor->ExtractCharacteristicPoints(nullptr, points), 1);
        // A re-opener that refused the line closed it again: its caller is the only reader.
        ASSERT_EQ(line.upgradeOpen(), Acad::eOk);
        ASSERT_EQ(line.downgradeOpen(), Acad::eOk);
    }
    EXPECT_EQ(CCPE_AcDbLine().ExtractCharacteristicPoints(nullptr, points), 1);
    // A re-opener cannot read an entity its caller holds for write, nor one outside a database.
    CVLKCPolylineLWPtr held(CVLKCDraw::rectangle(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)),
                            AcDb::kForWrite);
    EXPECT_EQ(CCPE_AcDbPolyline().ExtractCharacteristicPoints(held, points), 1);
    AcDbSolid loose(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0));
    EXPECT_EQ(CCPE_AcDbSolid().ExtractCharacteristicPoints(&loose, points), 1);
    EXPECT_EQ(listed(points), Points({kOld}));
}

TEST_F(GeometryCharacteristicPointsTest, DrawingEntityRecordsBindClassNameAndExtractor) {
    CDrawingEntity none;
    EXPECT_EQ(none.isA(), nullptr);
    EXPECT_TRUE(none.GetDXFName().IsEmpty() && none.GetUIName().IsEmpty() && none == nullptr);
    EXPECT_TRUE(CDrawingEntity(nullptr, nullptr, nullptr).GetUIName().IsEmpty());
    AcGePoint3dArray points = pointArray({kOld});
    EXPECT_EQ(none.ExtractCharacteristicPoints(nullptr, points), 1);

    auto record = std::make_unique<CDrawingEntity>(AcDbLine::desc(), L"Strecke",
                                                   boost::make_shared<CCPE_AcDbLine>());
    EXPECT_EQ(record->GetDXFName(), CString(L"LINE"));
    EXPECT_EQ(record->GetUIName(), CString(L"Strecke"));
    EXPECT_TRUE(*record == AcDbLine::desc() && *record != AcDbCurve::desc());
    EXPECT_FALSE(CDrawingEntity(AcDbCurve::desc(), L"Curve", nullptr) == AcDbLine::desc());
    // A copy keeps the shared extractor alive after the first record has gone.
    CDrawingEntity copy(*record);
    record.reset();
    CVLKCLinePtr line(addLine(), AcDb::kForRead);
    EXPECT_EQ(copy.ExtractCharacteristicPoints(line, points), 1);
    EXPECT_EQ(listed(points), Points({kOld, {0, 0, 0}, {10, 0, 0}}));
}

}  // namespace
