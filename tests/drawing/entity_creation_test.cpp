// Entity creation: each creating member's geometry against values worked out by hand, the new
// entity closed or held open for write by the out pointer, nothing left behind on failure, and
// the target space that the paper-space switch redirects.
#include "kestrel/drawing/entity_creation.h"

#include <cmath>
#include <functional>

#include "drawing_fixture.h"
#include "kestrel/drawing/paper_space_switch.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/entities/vertex.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/text_style_table.h"
#include "tests/support/host_checks.h"

namespace {

using testsupport::near;

using drawing_test::DrawingTest;
using drawing_test::writable;

constexpr double kPi = 3.14159265358979323846;

class DrawingCreateTest : public DrawingTest {
protected:
    // The owner (block) of the entity id.
    static AcDbObjectId ownerOf(AcDbObjectId id) {
        return testsupport::open<AcDbEntity>(id)->blockId();
    }

    // The positions of the vertices a polyline owns, in order.
    template <class Polyline, class Vertex>
    static std::vector<AcGePoint3d> vertexPositions(AcDbObjectId id) {
        std::vector<AcGePoint3d> points;
        for (AcDbObjectId vertexId :
             testsupport::idsOf(testsupport::open<Polyline>(id)->vertexIterator())) {
            points.push_back(testsupport::open<Vertex>(vertexId)->position());
        }
        return points;
    }
};

// Calls a creating member with an out pointer of its kind; the id it answers.
using Creation = std::function<AcDbObjectId(bool withOut)>;

template <class Ptr, class Create>
Creation creation(Create create) {
    return [create](bool withOut) {
        Ptr out;
        const AcDbObjectId id = create(withOut ? &out : nullptr);
        const std::vector<host::OpenObject> open = host::openObjects();
        if (withOut) {
            // Held open for write by the pointer, and only by it.
            EXPECT_EQ(out.status(), Acad::eOk);
            EXPECT_EQ(out.mode(), AcDb::kForWrite);
            EXPECT_TRUE(out != nullptr && out->objectId() == id);
            EXPECT_EQ(open.size(), 1u);
            EXPECT_TRUE(open.size() == 1 && open[0].id == id && open[0].mode == AcDb::kForWrite);
        } else {
            EXPECT_TRUE(open.empty());
        }
        return id;
    };
}

TEST_F(DrawingCreateTest, DrawingCreateEveryMemberClosesOrHandsOver) {
    AcGePoint3dArray vertices = testsupport::pointArray({{0, 0, 0}, {1, 1, 0}});
    const AcDbObjectId style = db()->dimstyle();
    const AcDbObjectId block = addBlock(L"B");
    const AcGePoint3d o(0, 0, 0), x(1, 0, 0), y(0, 1, 0), d(1, 1, 0);
    const std::vector<Creation> creations = {
        creation<CVLKCLinePtr>([&](auto* out) { return CVLKCDraw::line(o, x, out); }),
        creation<CVLKCArcPtr>([&](auto* out) {
            return CVLKCDraw::arc(x, y, {-1, 0, 0}, out);
        }),
        creation<CVLKCCirclePtr>([&](auto* out) {
            return CVLKCDraw::circle(o, 1, {0, 0, 1}, out);
        }),
        creation<CVLKCEllipsePtr>([&](auto* out) {
            return CVLKCDraw::ellipse(o, {0, 0, 1}, {2, 0, 0}, 0.5, 0, 1, out);
        }),
        creation<CVLKCFacePtr>(
            [&](auto* out) { return CVLKCDraw::face(o, x, d, y, true, true, true, true, out); }),
        creation<CVLKCFacePtr>(
            [&](auto* out) { return CVLKCDraw::face(o, x, y, true, true, true, out); }),
        creation<CVLKCPointPtr>([&](auto* out) { return CVLKCDraw::point(o, out); }),
        creation<CVLKC2dPolylinePtr>(
            [&](auto* out) { return CVLKCDraw::polyline2d(vertices, 0, 0, out); }),
        creation<CVLKC3dPolylinePtr>(
            [&](auto* out) { return CVLKCDraw::polyline3d(vertices, 0, out); }),
        creation<CVLKCPolylineLWPtr>(
            [&](auto* out) { return CVLKCDraw::polylineLW(vertices, 0, 0, out); }),
        creation<CVLKCRayPtr>([&](auto* out) {
            return CVLKCDraw::ray(o, {1, 0, 0}, out);
        }),
        creation<CVLKCPolylineLWPtr>([&](auto* out) { return CVLKCDraw::rectangle(o, d, out); }),
        creation<CVLKCRotatedDimPtr>(
            [&](auto* out) { return CVLKCDraw::rotatedDimension(o, x, d, 0, L"", style, out); }),
        creation<CVLKCAngularDimPtr>(
            [&](auto* out) { return CVLKCDraw::angularDimension(o, x, o, y, d, L"", style, out); }),
        creation<CVLKCAngularDim3PPtr>(
            [&](auto* out) { return CVLKCDraw::angularDimension3P(o, x, y, d, L"", style, out); }),
        creation<CVLKCTextPtr>([&](auto* out) {
            return CVLKCDraw::text(o, L"t", 1, 0, AcDb::kTextBase, AcDb::kTextLeft,
                                   db()->textstyle(), out);
        }),
        creation<CVLKCSolidPtr>([&](auto* out) { return CVLKCDraw::solid(o, x, y, d, out); }),
        creation<CVLKCSolidPtr>([&](auto* out) { return CVLKCDraw::solid(o, x, y, out); }),
        creation<CVLKCBlockReferencePtr>(
            [&](auto* out) { return CVLKCDraw::insertBlockReference(block, o, nullptr, 1, out); }),
    };
    for (std::size_t i = 0; i < creations.size(); ++i) {
        SCOPED_TRACE("member " + std::to_string(i));
        const AcDbObjectId held = creations[i](true);
        EXPECT_FALSE(held.isNull());
        EXPECT_TRUE(writable(held));
        const AcDbObjectId closed = creations[i](false);
        EXPECT_FALSE(closed.isNull());
        EXPECT_TRUE(writable(closed));
        EXPECT_NE(held, closed);
    }
}

TEST_F(DrawingCreateTest, DrawingCreateNewEntitiesTakeTheCurrentLayer) {
    const AcDbObjectId walls =
        testsupport::addRecord<AcDbLayerTable>(db(), new AcDbLayerTableRecord(), L"Walls");
    CVLKCLinePtr line(CVLKCDraw::line({1, 2, 3}, {4, 6, 3}), AcDb::kForRead);
    EXPECT_TRUE(near(line->startPoint(), AcGePoint3d(1, 2, 3)));
    EXPECT_TRUE(near(line->endPoint(), AcGePoint3d(4, 6, 3)));
    EXPECT_EQ(line->layerId(), db()->layerZero());
    ASSERT_EQ(db()->setClayer(walls), Acad::eOk);
    CVLKCPointPtr point;
    CVLKCDraw::point({5, 5, 0}, &point);
    EXPECT_EQ(point->layerId(), walls);
    EXPECT_TRUE(near(point->position(), AcGePoint3d(5, 5, 0)));
}

TEST_F(DrawingCreateTest, DrawingCreateArcThroughThreePoints) {
    CVLKCArcPtr arc;
    ASSERT_FALSE(CVLKCDraw::arc({1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, &arc).isNull());
    EXPECT_TRUE(near(arc->center(), AcGePoint3d(0, 0, 0)));
    EXPECT_DOUBLE_EQ(arc->radius(), 1.0);
    EXPECT_NEAR(arc->startAngle(), 0.0, 1e-12);
    EXPECT_NEAR(arc->endAngle(), kPi, 1e-12);
    arc.close();

    // Clockwise from (0,2) through (2,0): the arc runs counter-clockwise from (0,-2) to (0,2).
    ASSERT_FALSE(CVLKCDraw::arc({0, 2, 4}, {2, 0, 4}, {0, -2, 4}, &arc).isNull());
    EXPECT_TRUE(near(arc->center(), AcGePoint3d(0, 0, 4)));
    EXPECT_DOUBLE_EQ(arc->radius(), 2.0);
    EXPECT_NEAR(arc->startAngle(), 1.5 * kPi, 1e-12);
    EXPECT_NEAR(arc->endAngle(), 0.5 * kPi, 1e-12);
    AcGePoint3d start;
    ASSERT_EQ(arc->getStartPoint(start), Acad::eOk);
    EXPECT_TRUE(near(start, AcGePoint3d(0, -2, 4)));
}

TEST_F(DrawingCreateTest, DrawingCreateArcOfCollinearPointsIsStillAdded) {
    const AcDbObjectId id = CVLKCDraw::arc({1, 1, 0}, {2, 2, 0}, {3, 3, 0});
    ASSERT_FALSE(id.isNull());
    CVLKCArcPtr arc(id, AcDb::kForRead);
    EXPECT_TRUE(near(arc->center(), AcGePoint3d(0, 0, 0)));
    EXPECT_EQ(arc->radius(), 0.0);
    EXPECT_EQ(arc->startAngle(), 0.0);
    EXPECT_EQ(arc->endAngle(), 0.0);
}

TEST_F(DrawingCreateTest, DrawingCreateCircleAndEllipse) {
    CVLKCCirclePtr circle;
    CVLKCDraw::circle({1, 2, 3}, 2.5, {0, 0, 1}, &circle);
    ASSERT_NE(circle, nullptr);
    EXPECT_TRUE(near(circle->center(), AcGePoint3d(1, 2, 3)));
    EXPECT_DOUBLE_EQ(circle->radius(), 2.5);

    CVLKCEllipsePtr ellipse;
    CVLKCDraw::ellipse({0, 0, 0}, {0, 0, 1}, {4, 0, 0}, 0.5, 0.0, kPi, &ellipse);
    ASSERT_NE(ellipse, nullptr);
    EXPECT_DOUBLE_EQ(ellipse->radiusRatio(), 0.5);
    EXPECT_NEAR(ellipse->majorAxis().x, 4.0, 1e-12);
    EXPECT_NEAR(ellipse->endAngle(), kPi, 1e-12);
    AcGePoint3d end;
    ASSERT_EQ(ellipse->getEndPoint(end), Acad::eOk);
    EXPECT_TRUE(near(end, AcGePoint3d(-4, 0, 0)));
}

TEST_F(DrawingCreateTest, DrawingCreateFacesAndSolids) {
    CVLKCFacePtr four;
    CVLKCDraw::face({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}, true, false, true, false, &four);
    ASSERT_NE(four, nullptr);
    AcGePoint3d corner;
    Adesk::Boolean visible = false;
    ASSERT_EQ(four->getVertexAt(3, corner), Acad::eOk);
    EXPECT_TRUE(near(corner, AcGePoint3d(0, 1, 1)));
    four->isEdgeVisibleAt(1, visible);
    EXPECT_FALSE(visible);
    four->isEdgeVisibleAt(2, visible);
    EXPECT_TRUE(visible);
    four.close();

    CVLKCFacePtr three;
    CVLKCDraw::face({0, 0, 0}, {2, 0, 0}, {0, 2, 0}, false, false, false, &three);
    ASSERT_EQ(three->getVertexAt(3, corner), Acad::eOk);
    EXPECT_TRUE(near(corner, AcGePoint3d(0, 2, 0)));
    three->isEdgeVisibleAt(0, visible);
    EXPECT_FALSE(visible);
    three->isEdgeVisibleAt(3, visible);
    EXPECT_TRUE(visible);
    three.close();

    CVLKCSolidPtr solid;
    CVLKCDraw::solid({0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {3, 3, 0}, &solid);
    ASSERT_EQ(solid->getPointAt(3, corner), Acad::eOk);
    EXPECT_TRUE(near(corner, AcGePoint3d(3, 3, 0)));
    solid.close();
    CVLKCDraw::solid({0, 0, 0}, {3, 0, 0}, {0, 3, 0}, &solid);
    ASSERT_EQ(solid->getPointAt(3, corner), Acad::eOk);
    EXPECT_TRUE(near(corner, AcGePoint3d(0, 3, 0)));
}

TEST_F(DrawingCreateTest, DrawingCreateHeavyPolylines) {
    AcGePoint3dArray vertices = testsupport::pointArray({{0, 0, 0}, {2, 0, 0}, {2, 1, 0}});
    const AcDbObjectId open2d = CVLKCDraw::polyline2d(vertices, 1.5, 0);
    const AcDbObjectId closed2d = CVLKCDraw::polyline2d(vertices, 0.0, 7);
    EXPECT_TRUE(host::openObjects().empty());
    {
        CVLKC2dPolylinePtr polyline(open2d, AcDb::kForRead);
        EXPECT_FALSE(polyline->isClosed());
        EXPECT_DOUBLE_EQ(polyline->elevation(), 1.5);
        EXPECT_EQ(polyline->polyType(), AcDb::k2dSimplePoly);
        CVLKC2dPolylinePtr closed(closed2d, AcDb::kForRead);
        EXPECT_TRUE(closed->isClosed());
    }
    const std::vector<AcGePoint3d> points = vertexPositions<AcDb2dPolyline, AcDb2dVertex>(open2d);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_TRUE(near(points[2], AcGePoint3d(2, 1, 0)));

    vertices.append(AcGePoint3d(0, 1, 5));
    CVLKC3dPolylinePtr poly3d;
    const AcDbObjectId id3d = CVLKCDraw::polyline3d(vertices, 1, &poly3d);
    EXPECT_TRUE(poly3d->isClosed());
    EXPECT_EQ(poly3d->polyType(), AcDb::k3dSimplePoly);
    poly3d.close();
    const std::vector<AcGePoint3d> points3d =
        vertexPositions<AcDb3dPolyline, AcDb3dPolylineVertex>(id3d);
    ASSERT_EQ(points3d.size(), 4u);
    EXPECT_TRUE(near(points3d[3], AcGePoint3d(0, 1, 5)));
}

TEST_F(DrawingCreateTest, DrawingCreateLightweightPolylines) {
    AcGePoint3dArray vertices = testsupport::pointArray({{1, 2, 99}, {3, 4, -7}});
    CVLKCPolylineLWPtr polyline;
    CVLKCDraw::polylineLW(vertices, 2.0, 0, &polyline);
    ASSERT_EQ(polyline->numVerts(), 2u);
    AcGePoint3d point;
    ASSERT_EQ(polyline->getPointAt(1, point), Acad::eOk);
    // z of the vertices is not used: the polyline lies at its elevation.
    EXPECT_TRUE(near(point, AcGePoint3d(3, 4, 2)));
    EXPECT_FALSE(polyline->isClosed());
    EXPECT_FALSE(polyline->hasBulges());
    polyline.close();

    CVLKCDraw::polylineLW(AcGePoint3dArray(), 0.0, 1, &polyline);
    ASSERT_NE(polyline, nullptr);
    EXPECT_EQ(polyline->numVerts(), 0u);
    EXPECT_TRUE(polyline->isClosed());
}

TEST_F(DrawingCreateTest, DrawingCreateRectangleIsAClosedPolylineAtElevationZero) {
    CVLKCPolylineLWPtr rectangle;
    CVLKCDraw::rectangle({0, 0, 5}, {4, 3, 9}, &rectangle);
    ASSERT_NE(rectangle, nullptr);
    ASSERT_EQ(rectangle->numVerts(), 4u);
    EXPECT_TRUE(rectangle->isClosed());
    EXPECT_EQ(rectangle->elevation(), 0.0);
    const double expected[4][2] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}};
    for (unsigned int i = 0; i < 4; ++i) {
        AcGePoint3d point;
        ASSERT_EQ(rectangle->getPointAt(i, point), Acad::eOk);
        EXPECT_TRUE(near(point, AcGePoint3d(expected[i][0], expected[i][1], 0)));
    }
}

TEST_F(DrawingCreateTest, DrawingCreateUnusualValuesGoToTheHostUnchecked) {
    // The host refuses a ray direction of other than unit length: the ray keeps its default
    // direction and is added all the same.
    CVLKCRayPtr ray(CVLKCDraw::ray({0, 0, 0}, {0, 3, 0}), AcDb::kForRead);
    ASSERT_NE(ray, nullptr);
    EXPECT_NEAR(ray->unitDir().x, 1.0, 1e-12);
    CVLKCRayPtr unit(CVLKCDraw::ray({1, 1, 0}, {0, 1, 0}), AcDb::kForRead);
    EXPECT_NEAR(unit->unitDir().y, 1.0, 1e-12);
    // A zero radius is a circle the host accepts.
    CVLKCCirclePtr circle(CVLKCDraw::circle({1, 1, 1}, 0.0, {0, 0, 1}), AcDb::kForRead);
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->radius(), 0.0);
    // A zero scale is refused by the host: the reference keeps scale 1.
    CVLKCBlockReferencePtr reference(
        CVLKCDraw::insertBlockReference(addBlock(L"Empty"), {0, 0, 0}, nullptr, 0.0),
        AcDb::kForRead);
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference->scaleFactors().sx, 1.0);
}

TEST_F(DrawingCreateTest, DrawingCreateDimensions) {
    const AcDbObjectId style = db()->dimstyle();
    CVLKCRotatedDimPtr rotated;
    CVLKCDraw::rotatedDimension({0, 0, 0}, {4, 0, 0}, {2, 1, 0}, 0.25, L"<>mm", style, &rotated);
    ASSERT_NE(rotated, nullptr);
    EXPECT_DOUBLE_EQ(rotated->rotation(), 0.25);
    EXPECT_TRUE(near(rotated->xLine2Point(), AcGePoint3d(4, 0, 0)));
    EXPECT_TRUE(near(rotated->dimLinePoint(), AcGePoint3d(2, 1, 0)));
    EXPECT_EQ(rotated->dimensionStyle(), style);
    wchar_t* text = rotated->dimensionText();
    EXPECT_EQ(std::wstring(text), L"<>mm");
    delete[] text;
    rotated.close();

    CVLKCAngularDimPtr angular;
    CVLKCDraw::angularDimension({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}, L"", style,
                                &angular);
    ASSERT_NE(angular, nullptr);
    EXPECT_TRUE(near(angular->xLine1End(), AcGePoint3d(1, 0, 0)));
    EXPECT_TRUE(near(angular->arcPoint(), AcGePoint3d(1, 1, 0)));
    angular.close();

    CVLKCAngularDim3PPtr threePoint;
    CVLKCDraw::angularDimension3P({0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {1, 1, 0}, nullptr, style,
                                  &threePoint);
    ASSERT_NE(threePoint, nullptr);
    EXPECT_TRUE(near(threePoint->centerPoint(), AcGePoint3d(0, 0, 0)));
    EXPECT_TRUE(near(threePoint->xLine2Point(), AcGePoint3d(0, 2, 0)));
}

TEST_F(DrawingCreateTest, DrawingCreateTextTakesItsStyle) {
    auto* style = new AcDbTextStyleTableRecord();
    style->setXScale(0.75);
    style->setObliquingAngle(0.2);
    const AcDbObjectId narrow = testsupport::addRecord<AcDbTextStyleTable>(db(), style, L"Narrow");
    CVLKCTextPtr text;
    CVLKCDraw::text({1, 2, 0}, L"Hello", 2.5, 90.0, AcDb::kTextVertMid, AcDb::kTextCenter, narrow,
                    &text);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::wstring(text->textStringConst()), L"Hello");
    EXPECT_DOUBLE_EQ(text->rotation(), kPi / 2);
    EXPECT_DOUBLE_EQ(text->height(), 2.5);
    EXPECT_EQ(text->textStyle(), narrow);
    EXPECT_EQ(text->horizontalMode(), AcDb::kTextCenter);
    EXPECT_EQ(text->verticalMode(), AcDb::kTextVertMid);
    EXPECT_TRUE(near(text->alignmentPoint(), AcGePoint3d(1, 2, 0)));
    EXPECT_DOUBLE_EQ(text->widthFactor(), 0.75);
    EXPECT_DOUBLE_EQ(text->oblique(), 0.2);
    text.close();

    // A style id that is not in the text-style table gives "Standard".
    const AcDbObjectId id = CVLKCDraw::text({0, 0, 0}, L"x", 1.0, 0.0, AcDb::kTextBase,
                                            AcDb::kTextLeft, db()->layerZero());
    CVLKCTextPtr standard(id, AcDb::kForRead);
    EXPECT_EQ(standard->textStyle(), db()->textstyle());
    EXPECT_DOUBLE_EQ(standard->widthFactor(), 1.0);
    EXPECT_EQ(standard->rotation(), 0.0);
}

TEST_F(DrawingCreateTest, DrawingCreateFollowsTheTargetSpace) {
    const AcDbObjectId layoutBlock = addBlock(L"*Paper_Space0");
    AcDbObjectId inPaper;
    AcDbObjectId inLayout;
    {
        CVLKCSwitchToPaperSpace toPaper;
        inPaper = CVLKCDraw::point({0, 0, 0});
        toPaper.SwitchToPaperSpace(L"*Paper_Space0");
        inLayout = CVLKCDraw::line({0, 0, 0}, {1, 1, 0});
    }
    const AcDbObjectId inModel = CVLKCDraw::circle({0, 0, 0}, 1, {0, 0, 1});
    EXPECT_EQ(ownerOf(inPaper), db()->paperSpaceId());
    EXPECT_EQ(ownerOf(inLayout), layoutBlock);
    EXPECT_EQ(ownerOf(inModel), db()->modelSpaceId());
}

TEST_F(DrawingCreateTest, DrawingCreateFailuresLeaveNothingBehind) {
    const std::int64_t before = db()->approxNumObjects();
    CVLKCLinePtr line;
    {
        CVLKCSwitchToPaperSpace toMissing;
        toMissing.SwitchToPaperSpace(L"NoSuchBlock");
        EXPECT_TRUE(CVLKCDraw::line({0, 0, 0}, {1, 0, 0}, &line).isNull());
        CVLKCPolylineLWPtr rectangle;
        EXPECT_TRUE(CVLKCDraw::rectangle({0, 0, 0}, {1, 1, 0}, &rectangle).isNull());
        EXPECT_EQ(rectangle, nullptr);
        EXPECT_TRUE(CVLKCDraw::text({0, 0, 0}, L"t", 1, 0, AcDb::kTextBase, AcDb::kTextLeft,
                                    AcDbObjectId::kNull)
                        .isNull());
        EXPECT_TRUE(
            CVLKCDraw::insertBlockReference(addBlock(L"B"), {0, 0, 0}, nullptr, 1.0).isNull());
    }
    // The out pointer is untouched and nothing was added but the block.
    EXPECT_EQ(line, nullptr);
    EXPECT_EQ(line.status(), Acad::eNullObjectId);
    EXPECT_EQ(db()->approxNumObjects(), before + 1);

    // The model-space record open for read elsewhere refuses the append.
    const auto model = testsupport::open<AcDbBlockTableRecord>(db()->modelSpaceId());
    EXPECT_TRUE(CVLKCDraw::point({0, 0, 0}).isNull());
}

TEST_F(DrawingCreateTest, DrawingCreateAppendPassesTheHostStatusThrough) {
    AcDbObjectId id;
    EXPECT_EQ(CVLKCDraw::appendToModelSpace(nullptr, id), Acad::eNullObjectPointer);
    auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
    ASSERT_EQ(CVLKCDraw::appendToModelSpace(line, id), Acad::eOk);
    // Appended and still open for write: the caller closes it.
    EXPECT_EQ(host::openObjects().size(), 1u);
    AcDbObjectId again;
    EXPECT_EQ(CVLKCDraw::appendToModelSpace(line, again), Acad::eAlreadyInDb);
    line->close();

    auto* point = new AcDbPoint({0, 0, 0});
    {
        CVLKCSwitchToPaperSpace toMissing;
        toMissing.SwitchToPaperSpace(L"NoSuchBlock");
        EXPECT_EQ(CVLKCDraw::appendToModelSpace(point, id), Acad::eKeyNotFound);
    }
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(CVLKCDraw::appendToModelSpace(point, id), Acad::eNoWorkingDatabase);
    EXPECT_TRUE(CVLKCDraw::point({0, 0, 0}).isNull());
    acdbHostApplicationServices()->setWorkingDatabase(db());
    delete point;
}

}  // namespace
