// CVLKCEdit in a document: copies in place, moves by vector, to a point and by scripted drags,
// scaling about a point and the extents' middle, undo marks, and the views the zooms set.
#include "kestrel/drawing/edit_services.h"

#include <gtest/gtest.h>

#include "kestrel/host/app/editor_state.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace {

class EditServicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::newDocument();
        host::clearInput();
        host::clearScreen();
    }
    void TearDown() override {
        EXPECT_EQ(host::selectionSetCount(), 0);
        testsupport::expectHostClean();
    }

    // Appends entity to model space; its id.
    static AcDbObjectId add(AcDbEntity* entity) {
        return testsupport::appendEntity(
            entity, acdbHostApplicationServices()->workingDatabase()->modelSpaceId());
    }

    static std::pair<AcGePoint3d, AcGePoint3d> lineEnds(AcDbObjectId id) {
        const auto line = testsupport::open<AcDbLine>(id);
        return {line->startPoint(), line->endPoint()};
    }

    static std::pair<AcGePoint3d, double> circle(AcDbObjectId id) {
        const auto circle = testsupport::open<AcDbCircle>(id);
        return {circle->center(), circle->radius()};
    }

    static AcDbObjectIdArray both(AcDbObjectId a, AcDbObjectId b) {
        AcDbObjectIdArray ids;
        ids.append(a);
        ids.append(b);
        return ids;
    }
};

TEST_F(EditServicesTest, CopiesLieOnTheOriginalsInTheirOwnSpace) {
    const AcDbObjectId line = add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0)));
    AcDbObjectId copy;
    ASSERT_EQ(CVLKCEdit::copyEntity(line, copy), Acad::eOk);
    ASSERT_FALSE(copy.isNull());
    EXPECT_NE(copy, line);
    EXPECT_EQ(lineEnds(copy), lineEnds(line));

    AcDbObjectIdArray copies;
    copies.append(line);
    EXPECT_EQ(CVLKCEdit::copyEntity(AcDbObjectIdArray(), copies), Acad::eAmbiguousOutput);
    EXPECT_EQ(copies.length(), 1) << "an empty list leaves copies";

    AcDbObjectIdArray bad = both(line, AcDbObjectId::kNull);
    EXPECT_NE(CVLKCEdit::copyEntity(bad, copies), Acad::eOk);
    EXPECT_EQ(copies.length(), 1) << "the copy made before the failure stays reported";
}

TEST_F(EditServicesTest, MovesByVectorAndToAPoint) {
    const AcDbObjectId line = add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0)));
    const AcDbObjectId ring = add(new AcDbCircle(AcGePoint3d(5, 5, 0), AcGeVector3d::kZAxis, 1));
    EXPECT_TRUE(CVLKCEdit::moveEntity(both(line, ring), AcGeVector3d(1, 2, 0)));
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(1, 2, 0));
    EXPECT_EQ(circle(ring).first, AcGePoint3d(6, 7, 0));

    EXPECT_TRUE(CVLKCEdit::moveEntity(line, AcGePoint3d(10, 10, 5)));
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(9, 9, 5));
    EXPECT_EQ(lineEnds(line).second, AcGePoint3d(11, 11, 5));
    CVLKCEdit::moveEntity(AcDbObjectId::kNull, AcGeVector3d(1, 0, 0));
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(9, 9, 5)) << "ids that do not convert move nothing";
}

TEST_F(EditServicesTest, DragMovesByCursorAndDrawsTheRubberBand) {
    const AcDbObjectId line = add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0)));
    host::queueCursor(AcGePoint3d(3, 3, 0));
    host::queuePoint(AcGePoint3d(4, 1, 0));
    AcGePoint3d end;
    EXPECT_TRUE(CVLKCEdit::moveEntity(line, L"Drag:", AcGePoint3d(1, 0, 0), &end));
    EXPECT_EQ(end, AcGePoint3d(4, 1, 0));
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(3, 1, 0));
    EXPECT_TRUE(host::screenVectors().empty()) << "the move ends with a redraw";

    // A base picked first; a cancelled drag moves nothing.
    host::queuePoint(AcGePoint3d(3, 1, 0));
    host::queueCancel();
    EXPECT_FALSE(CVLKCEdit::moveEntity(line, L"Drag:", true, L"Base:", nullptr));
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(3, 1, 0));
    host::queueCancel();
    EXPECT_FALSE(CVLKCEdit::moveEntity(line, L"Drag:", true, L"Base:", nullptr));

    // Without asking, the base is the extents' middle at z 0.
    host::queuePoint(AcGePoint3d(0, 0, 0));
    EXPECT_TRUE(CVLKCEdit::moveEntity(line, L"Drag:", false, nullptr, nullptr));
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(-1, 0, 0));
}

TEST_F(EditServicesTest, ScalesKeepTheBaseOrTheMiddle) {
    const AcDbObjectId about = add(new AcDbCircle(AcGePoint3d(1, 1, 0), AcGeVector3d::kZAxis, 1));
    EXPECT_TRUE(CVLKCEdit::scaleEntity(about, AcGeScale3d(2, 2, 2), AcGePoint3d(1, 1, 0)));
    EXPECT_EQ(circle(about), std::make_pair(AcGePoint3d(1, 1, 0), 2.0));

    const AcDbObjectId middle = add(new AcDbCircle(AcGePoint3d(3, 3, 0), AcGeVector3d::kZAxis, 1));
    EXPECT_TRUE(CVLKCEdit::scaleEntity(middle, AcGeScale3d(2, 2, 2)));
    EXPECT_EQ(circle(middle), std::make_pair(AcGePoint3d(3, 3, 0), 2.0));

    EXPECT_FALSE(CVLKCEdit::scaleEntity(both(AcDbObjectId::kNull, middle), AcGeScale3d(2, 2, 2)));
    EXPECT_EQ(circle(middle).second, 2.0) << "a first entity that does not open stops the scale";
    EXPECT_FALSE(CVLKCEdit::scaleEntity(middle, AcGeScale3d(2, 1, 1))) << "circles stay circles";
}

TEST_F(EditServicesTest, UndoBackReturnsToTheMark) {
    const AcDbObjectId line = add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    ASSERT_EQ(CVLKCEdit::undoMark(), Acad::eOk);
    ASSERT_TRUE(CVLKCEdit::moveEntity(line, AcGeVector3d(5, 0, 0)));
    EXPECT_EQ(CVLKCEdit::undoBack(1), Acad::eOk);
    EXPECT_EQ(lineEnds(line).first, AcGePoint3d(0, 0, 0));
    EXPECT_NE(CVLKCEdit::undoBack(1), Acad::eOk) << "no mark left";

    host::closeAllDocuments();
    EXPECT_EQ(CVLKCEdit::undoMark(), Acad::eAmbiguousOutput);
}

TEST_F(EditServicesTest, ZoomsSetWindowsOfTheRightSize) {
    ASSERT_EQ(CVLKCEdit::zoom(AcGePoint3d(2, 3, 0), AcGePoint3d(3, 3, 0)), Acad::eOk);
    host::ViewState view = host::currentView();
    EXPECT_EQ(view.center, AcGePoint2d(4.5, 5.5)) << "a tiny window becomes a 5 by 5 square";
    EXPECT_DOUBLE_EQ(view.width, 5.0);
    EXPECT_DOUBLE_EQ(view.height, 5.0);
    EXPECT_FALSE(view.frontClipAtEye);

    ASSERT_EQ(CVLKCEdit::zoom(AcDbExtents(AcGePoint3d(0, 0, 0), AcGePoint3d(8, 4, 0))), Acad::eOk);
    view = host::currentView();
    EXPECT_EQ(view.center, AcGePoint2d(4, 2));
    EXPECT_DOUBLE_EQ(view.width, 8.0);
    EXPECT_DOUBLE_EQ(view.height, 4.0);

    const AcDbObjectId point = add(new AcDbPoint(AcGePoint3d(10, 20, 0)));
    ASSERT_EQ(CVLKCEdit::zoom(point, 1.0), Acad::eOk);
    view = host::currentView();
    EXPECT_EQ(view.center, AcGePoint2d(10, 20));
    EXPECT_DOUBLE_EQ(view.width, 5.0);

    const AcDbObjectId line = add(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 4, 0)));
    ASSERT_EQ(CVLKCEdit::zoom(line, 2.0), Acad::eOk);
    view = host::currentView();
    EXPECT_EQ(view.center, AcGePoint2d(5, 2));
    EXPECT_DOUBLE_EQ(view.width, 20.0) << "the factor leaves a margin";
    EXPECT_DOUBLE_EQ(view.height, 8.0);

    EXPECT_EQ(CVLKCEdit::zoom(AcDbObjectId::kNull, 1.0), Acad::eInvalidExtents);
    EXPECT_EQ(host::currentView().center, AcGePoint2d(5, 2)) << "the view stays";
}

TEST_F(EditServicesTest, ZoomToEntitiesTakesWhatEachEntityGivesWithoutExtentsOrNot) {
    // A ray has no extents: with a circle it adds nothing, alone it leaves no window at all.
    const AcDbObjectId ray = add(new AcDbRay());
    const AcDbObjectId round = add(new AcDbCircle(AcGePoint3d(4, 4, 0), AcGeVector3d::kZAxis, 2));
    ASSERT_EQ(CVLKCEdit::zoom(both(ray, round), 1.0), Acad::eOk);
    const host::ViewState view = host::currentView();
    EXPECT_EQ(view.center, AcGePoint2d(4, 4));
    EXPECT_DOUBLE_EQ(view.width, 4.0);
    EXPECT_DOUBLE_EQ(view.height, 4.0);
    EXPECT_EQ(CVLKCEdit::zoom(ray, 1.0), Acad::eInvalidExtents);
    EXPECT_EQ(host::currentView().center, AcGePoint2d(4, 4));
}

}  // namespace
