// Characteristic points: what each extractor writes for its own kind of entity, what it leaves
// alone for any other, and the drawing-entity records that bind a class, a UI name and an
// extractor.
#include "geometry/characteristic_points.h"

#include <boost/make_shared.hpp>
#include <functional>
#include <vector>

#include "drawing/entity_creation.h"
#include "geometry/drawing_entity.h"
#include "host/db/entities/hatch.h"
#include "host/db/entities/line.h"
#include "host/db/entities/mtext.h"
#include "host/db/entities/polyline.h"
#include "host/db/entities/solid.h"
#include "host/db/entities/spline.h"
#include "host/db/entities/text.h"
#include "host/rx/class.h"
#include "tests/drawing/drawing_fixture.h"

namespace {

using drawing_test::DrawingTest;

AcGePoint3dArray pointArray(std::initializer_list<AcGePoint3d> list) {
    AcGePoint3dArray array;
    for (const AcGePoint3d& p : list) {
        array.append(p);
    }
    return array;
}

void expectPoints(const AcGePoint3dArray& actual, const AcGePoint3dArray& expected) {
    ASSERT_EQ(actual.length(), expected.length());
    for (int i = 0; i < actual.length(); ++i) {
        EXPECT_TRUE(actual[i].isEqualTo(expected[i]))
            << "point " << i << ": " << actual[i].x << ", " << actual[i].y << ", " << actual[i].z;
    }
}

const AcGePoint3d kOld(-1, -1, -1);

class CharacteristicPointsTest : public DrawingTest {
protected:
    // What extractor writes for the entity id, opened for read, into an array holding kOld.
    AcGePoint3dArray extract(ICharacteristicPointsExtractor& extractor, AcDbObjectId id) {
        AcGePoint3dArray points = pointArray({kOld});
        AcDbEntity* entity = openRead<AcDbEntity>(id);
        EXPECT_EQ(extractor.ExtractCharacteristicPoints(entity, points), 1);
        if (entity != nullptr) {
            entity->close();
        }
        return points;
    }

    AcDbObjectId addLine() { return CVLKCDraw::line(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0)); }
};

TEST_F(CharacteristicPointsTest, DirectReadersAppendTheirPointsAfterWhatTheArrayHolds) {
    CCPE_AcDbLine line;
    expectPoints(extract(line, addLine()), pointArray({kOld, {0, 0, 0}, {10, 0, 0}}));
    CCPE_AcDbArc arc;
    const AcDbObjectId arcId =
        CVLKCDraw::arc(AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0), AcGePoint3d(-1, 0, 0));
    expectPoints(extract(arc, arcId), pointArray({kOld, {1, 0, 0}, {-1, 0, 0}}));
    CCPE_AcDbCircle circle;
    const AcDbObjectId circleId =
        CVLKCDraw::circle(AcGePoint3d(3, 4, 5), 2.0, AcGeVector3d::kZAxis);
    expectPoints(extract(circle, circleId), pointArray({kOld, {3, 4, 5}}));
    CCPE_AcDbPoint point;
    expectPoints(extract(point, CVLKCDraw::point(AcGePoint3d(7, 8, 9))),
                 pointArray({kOld, {7, 8, 9}}));
    CCPE_AcDbBlockReference reference;
    const AcDbObjectId referenceId =
        CVLKCDraw::insertBlockReference(addBlock(L"MARK"), AcGePoint3d(5, 5, 0), nullptr, 2.0);
    expectPoints(extract(reference, referenceId), pointArray({kOld, {5, 5, 0}}));

    auto* mtext = new AcDbMText();
    mtext->setLocation(AcGePoint3d(2, 3, 0));
    CCPE_AcDbMText mtextExtractor;
    expectPoints(extract(mtextExtractor, append(mtext)), pointArray({kOld, {2, 3, 0}}));
    // An aligned text runs from its insertion point to its alignment point: the first counts.
    auto* text = new AcDbText(AcGePoint3d(1, 2, 0), L"A", AcDbObjectId::kNull, 1.0);
    text->setHorizontalMode(AcDb::kTextAlign);
    text->setAlignmentPoint(AcGePoint3d(6, 2, 0));
    CCPE_AcDbText textExtractor;
    expectPoints(extract(textExtractor, append(text)), pointArray({kOld, {1, 2, 0}}));
}

TEST_F(CharacteristicPointsTest, ReopenersReadTheEntityAgain) {
    const AcGePoint3dArray corners = pointArray({{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {0, 3, 0}});
    // The polyline extractors replace what the array held.
    CCPE_AcDbPolyline lightweight;
    AcGePoint3dArray points = pointArray({kOld, kOld});
    CVLKCPolylineLWPtr polyline(CVLKCDraw::polylineLW(corners, 1.5, 1), AcDb::kForRead);
    EXPECT_EQ(lightweight.ExtractCharacteristicPoints(polyline, points), 1);
    expectPoints(points, pointArray({{0, 0, 1.5}, {4, 0, 1.5}, {4, 3, 1.5}, {0, 3, 1.5}}));
    CCPE_AcDb2dPolyline poly2d;
    expectPoints(extract(poly2d, CVLKCDraw::polyline2d(corners, 0.0, 0)), corners);
    CCPE_AcDb3dPolyline poly3d;
    const AcGePoint3dArray spatial = pointArray({{0, 0, 0}, {1, 2, 3}});
    expectPoints(extract(poly3d, CVLKCDraw::polyline3d(spatial, 0)), spatial);

    // The others add to it: stretch points, or the solid's four corners.
    CCPE_AcDbFace face;
    expectPoints(extract(face, CVLKCDraw::face(corners[0], corners[1], corners[2], corners[3], true,
                                               true, true, true)),
                 pointArray({kOld, corners[0], corners[1], corners[2], corners[3]}));
    CCPE_AcDbSpline spline;
    expectPoints(extract(spline, append(new AcDbSpline(spatial))),
                 pointArray({kOld, spatial[0], spatial[1]}));
    auto* hatch = new AcDbHatch();
    AcGePoint2dArray loop;
    loop.append(AcGePoint2d(0, 0));
    loop.append(AcGePoint2d(2, 0));
    loop.append(AcGePoint2d(2, 2));
    ASSERT_EQ(hatch->appendLoop(1, loop, AcGeDoubleArray()), Acad::eOk);
    CCPE_AcDbHatch hatchExtractor;
    expectPoints(extract(hatchExtractor, append(hatch)),
                 pointArray({kOld, {0, 0, 0}, {2, 0, 0}, {2, 2, 0}}));
    // A three-corner solid still gives four corners, the last two alike.
    CCPE_AcDbSolid solid;
    expectPoints(extract(solid, CVLKCDraw::solid(corners[0], corners[1], corners[2])),
                 pointArray({kOld, corners[0], corners[1], corners[2], corners[2]}));
}

TEST_F(CharacteristicPointsTest, EveryExtractorLeavesTheArrayAloneForAnotherKind) {
    CCPE_AcDbLine line;
    CCPE_AcDbArc arc;
    CCPE_AcDbMText mtext;
    CCPE_AcDbText text;
    CCPE_AcDbPoint point;
    CCPE_AcDbCircle circle;
    CCPE_AcDbBlockReference reference;
    CCPE_AcDbPolyline lightweight;
    CCPE_AcDb2dPolyline poly2d;
    CCPE_AcDb3dPolyline poly3d;
    CCPE_AcDbFace face;
    CCPE_AcDbSpline spline;
    CCPE_AcDbHatch hatch;
    CCPE_AcDbSolid solid;
    ICharacteristicPointsExtractor* others[] = {&arc,       &mtext,       &text,   &point,  &circle,
                                                &reference, &lightweight, &poly2d, &poly3d, &face,
                                                &spline,    &hatch,       &solid};
    const AcDbObjectId lineId = addLine();
    for (ICharacteristicPointsExtractor* extractor : others) {
        expectPoints(extract(*extractor, lineId), pointArray({kOld}));
    }
    AcGePoint3dArray points = pointArray({kOld});
    for (ICharacteristicPointsExtractor* extractor : others) {
        EXPECT_EQ(extractor->ExtractCharacteristicPoints(nullptr, points), 1);
    }
    EXPECT_EQ(line.ExtractCharacteristicPoints(nullptr, points), 1);
    expectPoints(points, pointArray({kOld}));

    // A re-opener cannot read an entity its caller holds for write, nor one outside a database.
    CVLKCPolylineLWPtr held(CVLKCDraw::rectangle(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0)),
                            AcDb::kForWrite);
    EXPECT_EQ(lightweight.ExtractCharacteristicPoints(held, points), 1);
    AcDbSolid loose(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0), AcGePoint3d(0, 1, 0));
    EXPECT_EQ(solid.ExtractCharacteristicPoints(&loose, points), 1);
    expectPoints(points, pointArray({kOld}));
}

TEST_F(CharacteristicPointsTest, DrawingEntityRecordsBindClassNameAndExtractor) {
    const CDrawingEntity none;
    EXPECT_EQ(none.isA(), nullptr);
    EXPECT_TRUE(none.GetDXFName().IsEmpty());
    EXPECT_TRUE(none.GetUIName().IsEmpty());
    EXPECT_TRUE(none == nullptr);
    AcGePoint3dArray points = pointArray({kOld});
    EXPECT_EQ(CDrawingEntity(none).ExtractCharacteristicPoints(nullptr, points), 1);
    expectPoints(points, pointArray({kOld}));

    auto record = std::make_unique<CDrawingEntity>(AcDbLine::desc(), L"Strecke",
                                                   boost::make_shared<CCPE_AcDbLine>());
    EXPECT_EQ(record->GetDXFName(), CString(L"LINE"));
    EXPECT_EQ(record->GetUIName(), CString(L"Strecke"));
    EXPECT_TRUE(*record == AcDbLine::desc());
    EXPECT_TRUE(*record != AcDbCurve::desc());
    EXPECT_FALSE(CDrawingEntity(AcDbCurve::desc(), L"Curve",
                                boost::shared_ptr<ICharacteristicPointsExtractor>()) ==
                 AcDbLine::desc());
    // A copy keeps the shared extractor alive after the first record has gone.
    CDrawingEntity copy(*record);
    record.reset();
    AcDbEntity* line = openRead<AcDbEntity>(addLine());
    EXPECT_EQ(copy.ExtractCharacteristicPoints(line, points), 1);
    line->close();
    expectPoints(points, pointArray({kOld, {0, 0, 0}, {10, 0, 0}}));
}

}  // namespace
