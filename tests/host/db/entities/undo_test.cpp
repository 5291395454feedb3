// Entities under the host's undo and entity lists: changes, transforms of owners with their
// vertices and attributes, and erasure are undone and redone through the entities' binary
// filing; acdbEntGet lists an entity as its DXF filing writes it.
#include <gtest/gtest.h>

#include <memory>

#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/harness.h"
#include "tests/host/db/entities/entity_fixture.h"

namespace {

using entity_test::boxIs;
using entity_test::extentsOf;
using entity_test::near;
using entity_test::open;

class EntityUndoTest : public entity_test::EntityTest {
protected:
    // Runs change inside one command.
    template <class Change>
    void command(Change change) {
        ASSERT_EQ(host::beginCommand(L"TEST"), Acad::eOk);
        change();
        ASSERT_EQ(host::endCommand(), Acad::eOk);
    }
};

TEST_F(EntityUndoTest, EntityUndoRestoresAChangedLineAndRedoesIt) {
    const AcDbObjectId id = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0)));
    command([&] {
        auto line = open<AcDbLine>(id, AcDb::kForWrite);
        line->transformBy(AcGeMatrix3d::translation(AcGeVector3d(5, 5, 0)));
        line->setThickness(2.0);
    });
    ASSERT_EQ(host::undo(1), Acad::eOk);
    {
        auto line = open<AcDbLine>(id, AcDb::kForRead);
        EXPECT_TRUE(near(line->startPoint(), AcGePoint3d(0, 0, 0)));
        EXPECT_DOUBLE_EQ(line->thickness(), 0.0);
    }
    ASSERT_EQ(host::redo(1), Acad::eOk);
    auto line = open<AcDbLine>(id, AcDb::kForRead);
    EXPECT_TRUE(near(line->startPoint(), AcGePoint3d(5, 5, 0)));
    EXPECT_DOUBLE_EQ(line->thickness(), 2.0);
}

TEST_F(EntityUndoTest, EntityUndoRestoresAPolylineWithItsVertices) {
    AcGePoint3dArray points = testsupport::pointArray({{0, 0, 0}, {2, 0, 0}});
    const AcDbObjectId id = append(new AcDb2dPolyline(AcDb::k2dSimplePoly, points));
    command([&] {
        auto pline = open<AcDb2dPolyline>(id, AcDb::kForWrite);
        ASSERT_EQ(pline->transformBy(AcGeMatrix3d::scaling(3.0)), Acad::eOk);
        ASSERT_EQ(pline->appendVertex(new AcDb2dVertex(AcGePoint3d(9, 9, 0))), Acad::eOk);
    });
    {
        auto pline = open<AcDb2dPolyline>(id, AcDb::kForRead);
        EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(0, 0, 0), AcGePoint3d(9, 9, 0)));
    }
    ASSERT_EQ(host::undo(1), Acad::eOk);
    {
        auto pline = open<AcDb2dPolyline>(id, AcDb::kForRead);
        EXPECT_TRUE(boxIs(extentsOf(*pline), AcGePoint3d(0, 0, 0), AcGePoint3d(2, 0, 0)));
    }
    command([&] {
        auto pline = open<AcDb2dPolyline>(id, AcDb::kForWrite);
        ASSERT_EQ(pline->erase(), Acad::eOk);
    });
    ASSERT_EQ(host::undo(1), Acad::eOk);
    auto pline = open<AcDb2dPolyline>(id, AcDb::kForRead);
    EXPECT_FALSE(pline->isErased());
    std::unique_ptr<AcDbObjectIterator> it(pline->vertexIterator());
    int live = 0;
    for (; !it->done(); it->step()) {
        ++live;
    }
    EXPECT_EQ(live, 2);
}

TEST_F(EntityUndoTest, EntityEntGetListsTheEntitysGroups) {
    const AcDbObjectId id = append(new AcDbArc(AcGePoint3d(1, 2, 0), 3.0, 0.5, 1.5));
    std::int64_t name[2] = {0, 0};
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    resbuf* list = acdbEntGet(name);
    ASSERT_NE(list, nullptr);
    bool arcMarker = false;
    double radius = 0.0;
    double endAngle = 0.0;
    for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
        if (rb->restype == 0) {
            EXPECT_STREQ(rb->resval.rstring, L"ARC");
        }
        if (rb->restype == 100 && std::wstring(rb->resval.rstring) == L"AcDbArc") {
            arcMarker = true;
        }
        if (rb->restype == 40) {
            radius = rb->resval.rreal;
        }
        if (rb->restype == 51) {
            endAngle = rb->resval.rreal;
        }
    }
    acutRelRb(list);
    EXPECT_TRUE(arcMarker);
    EXPECT_DOUBLE_EQ(radius, 3.0);
    EXPECT_DOUBLE_EQ(endAngle, 1.5);
}

}  // namespace
