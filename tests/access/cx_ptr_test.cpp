// CxPtr<T>: every exported instantiation opens its own class and refuses others; the rules of
// opening by id (with and without the document lock) and by selection name, closing, upgrading
// and downgrading, and inert assignment.
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

#include "kestrel/access/cx_ptr.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
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
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/text_style_table.h"
#include "tests/access/samples.h"

namespace {

using access_test::AccessTest;
using access_test::addSample;
using access_test::openCount;

const AcGePoint3d kOrigin(0, 0, 0);
const AcGePoint3d kRight(10, 0, 0);
const AcGeVector3d kZ(0, 0, 1);

class CxPtrTest : public AccessTest {
public:
    AcDbObjectId addLine() { return append(new AcDbLine(kOrigin, kRight)); }
    AcDbObjectId addCircle() { return append(new AcDbCircle(kOrigin, kZ, 2.0)); }
};

// --- Every exported instantiation --------------------------------------------------------------

template <class T>
class CxPtrEachClassTest : public CxPtrTest {};

using ExportedClasses =
    ::testing::Types<AcDb2LineAngularDimension, AcDb2dPolyline, AcDb3PointAngularDimension,
                     AcDb3dPolyline, AcDbArc, AcDbAttribute, AcDbBlockReference, AcDbCircle,
                     AcDbDictionary, AcDbDimStyleTable, AcDbEllipse, AcDbEntity, AcDbFace,
                     AcDbLayerTableRecord, AcDbLine, AcDbLinetypeTable, AcDbPoint, AcDbPolyline,
                     AcDbRay, AcDbRotatedDimension, AcDbSolid, AcDbTable, AcDbText,
                     AcDbTextStyleTable>;
TYPED_TEST_SUITE(CxPtrEachClassTest, ExportedClasses);

TYPED_TEST(CxPtrEachClassTest, OpensItsClassForTheScopeAndClosesItAfter) {
    const AcDbObjectId id = addSample<TypeParam>(*this);
    ASSERT_FALSE(id.isNull());
    {
        CxPtr<TypeParam> pointer(id, AcDb::kForWrite);
        ASSERT_NE(static_cast<TypeParam*>(pointer), nullptr);
        EXPECT_EQ(pointer.status(), Acad::eOk);
        EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
        EXPECT_EQ(pointer->objectId(), id);
        EXPECT_EQ(&*pointer, static_cast<TypeParam*>(pointer));
        EXPECT_TRUE(pointer->isWriteEnabled());
        EXPECT_EQ(openCount(), 1u);
    }
    EXPECT_EQ(openCount(), 0u);
}

TYPED_TEST(CxPtrEachClassTest, EveryMemberWorksOnItsClass) {
    const AcDbObjectId id = addSample<TypeParam>(*this);
    std::int64_t name[2] = {};
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    CxPtr<TypeParam> pointer(name, AcDb::kForRead);
    ASSERT_NE(static_cast<TypeParam*>(pointer), nullptr);
    EXPECT_EQ(pointer.upgradeOpen(), Acad::eOk);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
    EXPECT_EQ(pointer.downgradeOpen(), Acad::eOk);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    CxPtr<TypeParam> other(id, AcDb::kForRead, true);
    pointer = other;
    pointer = static_cast<TypeParam*>(nullptr);
    EXPECT_EQ(pointer->objectId(), id);
    EXPECT_EQ(pointer.close(), Acad::eOk);
    EXPECT_EQ(other.close(), Acad::eOk);
    EXPECT_EQ(openCount(), 0u);
}

TYPED_TEST(CxPtrEachClassTest, RefusesAnObjectOfAnotherClassAndLeavesItClosed) {
    // The block table is no entity and none of the 24 classes.
    const AcDbObjectId other = this->db()->blockTableId();
    CxPtr<TypeParam> pointer(other, AcDb::kForRead);
    EXPECT_EQ(static_cast<TypeParam*>(pointer), nullptr);
    EXPECT_EQ(pointer.status(), Acad::eNotThatKindOfClass);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_EQ(openCount(), 0u);
}

// --- Refusals ----------------------------------------------------------------------------------

// Every way an open fails leaves the pointer empty, with the host's status and the requested
// mode, and the object as free as it was.
TEST_F(CxPtrTest, RefusalsLeaveThePointerEmptyWithTheHostStatusAndTheRequestedMode) {
    const AcDbObjectId circle = addCircle();
    const AcDbObjectId erased = addLine();
    {
        CxPtr<AcDbLine> writer(erased, AcDb::kForWrite);
        ASSERT_EQ(writer->erase(), Acad::eOk);
    }
    const AcDbObjectId written = addLine();
    CxPtr<AcDbLine> writer(written, AcDb::kForWrite);
    std::int64_t circleName[2] = {};
    ASSERT_EQ(acdbGetAdsName(circleName, circle), Acad::eOk);
    std::int64_t unknown[2] = {987654, 0x7FFFF};
    struct Refusal {
        const char* what;
        std::function<CxPtr<AcDbLine>*(AcDb::OpenMode)> open;
        Acad::ErrorStatus status;
    };
    const Refusal refusals[] = {
        {"another class", [&](auto mode) { return new CxPtr<AcDbLine>(circle, mode); },
         Acad::eNotThatKindOfClass},
        {"another class by name", [&](auto mode) { return new CxPtr<AcDbLine>(circleName, mode); },
         Acad::eNotThatKindOfClass},
        {"the null id", [&](auto mode) { return new CxPtr<AcDbLine>(AcDbObjectId::kNull, mode); },
         Acad::eNullObjectId},
        {"an erased line", [&](auto mode) { return new CxPtr<AcDbLine>(erased, mode); },
         Acad::eWasErased},
        {"a line open for write", [&](auto mode) { return new CxPtr<AcDbLine>(written, mode); },
         Acad::eWasOpenForWrite},
        {"a name of nothing", [&](auto mode) { return new CxPtr<AcDbLine>(unknown, mode); },
         Acad::eNullObjectId},
        {"the null name",
         [&](auto mode) { return new CxPtr<AcDbLine>(static_cast<std::int64_t*>(nullptr), mode); },
         Acad::eNullObjectId},
    };
    for (const Refusal& refusal : refusals) {
        for (AcDb::OpenMode mode : {AcDb::kForRead, AcDb::kForWrite}) {
            SCOPED_TRACE(refusal.what);
            std::unique_ptr<CxPtr<AcDbLine>> pointer(refusal.open(mode));
            EXPECT_EQ(static_cast<AcDbLine*>(*pointer), nullptr);
            EXPECT_EQ(pointer->status(), refusal.status);
            EXPECT_EQ(pointer->mode(), mode);
            EXPECT_EQ(openCount(), 1u);  // the writer's line only
        }
    }
    EXPECT_TRUE(writer->isWriteEnabled());
    CxPtr<AcDbCircle> circleAgain(circle, AcDb::kForWrite);
    EXPECT_EQ(circleAgain.status(), Acad::eOk);
}

TEST_F(CxPtrTest, EntityPointerTakesEveryEntityButNoOtherObject) {
    const AcDbObjectId circle = addCircle();
    CxPtr<AcDbEntity> entity(circle, AcDb::kForRead);
    EXPECT_NE(static_cast<AcDbEntity*>(entity), nullptr);
    EXPECT_TRUE(entity->isKindOf(AcDbCircle::desc()));

    CxPtr<AcDbEntity> layer(db()->layerZero(), AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbEntity*>(layer), nullptr);
    EXPECT_EQ(layer.status(), Acad::eNotThatKindOfClass);
}

TEST_F(CxPtrTest, ReadersShareTheObject) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> first(line, AcDb::kForRead);
    CxPtr<AcDbLine> second(line, AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbLine*>(first), static_cast<AcDbLine*>(second));
    ASSERT_EQ(host::openObjects().size(), 1u);
    EXPECT_EQ(host::openObjects()[0].count, 2);
}

// --- The document lock -------------------------------------------------------------------------

// Asked for, the lock is taken for the open call only, released also when the open is refused,
// and not taken for a database without a document; not asked for, it is never taken.
TEST_F(CxPtrTest, TheLockIsHeldForTheOpenCallOnlyWhenAsked) {
    const AcDbObjectId line = addLine();
    const AcDbObjectId circle = addCircle();
    host::resetDocumentLockCalls();
    {
        CxPtr<AcDbLine> byId(line, AcDb::kForRead);
        std::int64_t name[2] = {};
        ASSERT_EQ(acdbGetAdsName(name, line), Acad::eOk);
        CxPtr<AcDbLine> byName(name, AcDb::kForRead);
        EXPECT_NE(static_cast<AcDbLine*>(byName), nullptr);
    }
    EXPECT_EQ(host::documentLockCalls().lockCalls, 0);
    {
        CxPtr<AcDbLine> pointer(line, AcDb::kForWrite, true);
        EXPECT_TRUE(pointer->isWriteEnabled());
        CxPtr<AcDbLine> refused(circle, AcDb::kForRead, true);
        EXPECT_EQ(refused.status(), Acad::eNotThatKindOfClass);
        const host::DocumentLockCalls calls = host::documentLockCalls();
        EXPECT_EQ(calls.lockCalls, 2);
        EXPECT_EQ(calls.unlockCalls, 2);
    }
    AcDbDatabase side(true, true);
    CxPtr<AcDbDictionary> dictionary(side.namedObjectsDictionaryId(), AcDb::kForRead, true);
    EXPECT_EQ(dictionary.status(), Acad::eOk);
    EXPECT_EQ(host::documentLockCalls().lockCalls, 2);
}

// --- Opening by selection name -----------------------------------------------------------------

TEST_F(CxPtrTest, SelectionNameOpensTheEntityItNames) {
    const AcDbObjectId circle = addCircle();
    std::int64_t name[2] = {};
    ASSERT_EQ(acdbGetAdsName(name, circle), Acad::eOk);
    CxPtr<AcDbCircle> pointer(name, AcDb::kForWrite);
    ASSERT_NE(static_cast<AcDbCircle*>(pointer), nullptr);
    EXPECT_EQ(pointer->objectId(), circle);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
}

// --- Closing -----------------------------------------------------------------------------------

// close() closes once and keeps status and mode; on an empty pointer it is eOk; a close the host
// refuses (the object closed behind the pointer's back) is reported and empties the pointer.
TEST_F(CxPtrTest, CloseClosesOnceAndReportsTheHostRefusal) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForWrite);
    EXPECT_EQ(pointer.close(), Acad::eOk);
    EXPECT_EQ(static_cast<AcDbLine*>(pointer), nullptr);
    EXPECT_EQ(openCount(), 0u);
    EXPECT_EQ(pointer.close(), Acad::eOk);
    EXPECT_EQ(pointer.status(), Acad::eOk);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
    CxPtr<AcDbLine> refused(AcDbObjectId::kNull, AcDb::kForRead);
    EXPECT_EQ(refused.close(), Acad::eOk);
    EXPECT_EQ(refused.status(), Acad::eNullObjectId);

    CxPtr<AcDbLine> reader(line, AcDb::kForRead);
    ASSERT_EQ(reader->close(), Acad::eOk);
    EXPECT_NE(reader.close(), Acad::eOk);
    EXPECT_EQ(static_cast<AcDbLine*>(reader), nullptr);
    host::clearContractViolations();
}

// --- Upgrade and downgrade ---------------------------------------------------------------------

TEST_F(CxPtrTest, UpgradeAndDowngradeMoveTheMode) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForRead);
    EXPECT_EQ(pointer.upgradeOpen(), Acad::eOk);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
    EXPECT_TRUE(pointer->isWriteEnabled());
    EXPECT_EQ(pointer.downgradeOpen(), Acad::eOk);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_FALSE(pointer->isWriteEnabled());
    EXPECT_EQ(pointer.status(), Acad::eOk);
}

// A refused change of mode answers the host's status (also in status()) and keeps the mode.
TEST_F(CxPtrTest, RefusedUpgradesAndDowngradesKeepTheMode) {
    const AcDbObjectId line = addLine();
    struct Change {
        const char* what;
        AcDbObjectId id;
        AcDb::OpenMode mode;
        bool upgrade;
        Acad::ErrorStatus status;
    };
    const Change changes[] = {
        {"upgrade of a writer", line, AcDb::kForWrite, true, Acad::eWasOpenForWrite},
        {"downgrade of a reader", line, AcDb::kForRead, false, Acad::eWasOpenForRead},
        {"upgrade of an empty pointer", AcDbObjectId::kNull, AcDb::kForWrite, true,
         Acad::eNullObjectPointer},
        {"downgrade of an empty pointer", AcDbObjectId::kNull, AcDb::kForRead, false,
         Acad::eNullObjectPointer},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        CxPtr<AcDbLine> pointer(change.id, change.mode);
        EXPECT_EQ(change.upgrade ? pointer.upgradeOpen() : pointer.downgradeOpen(), change.status);
        EXPECT_EQ(pointer.status(), change.status);
        EXPECT_EQ(pointer.mode(), change.mode);
    }
    // With a second reader the host refuses the upgrade.
    CxPtr<AcDbLine> pointer(line, AcDb::kForRead);
    CxPtr<AcDbLine> otherReader(line, AcDb::kForRead);
    EXPECT_EQ(pointer.upgradeOpen(), Acad::eHadMultipleReaders);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_FALSE(pointer->isWriteEnabled());
}

// --- Default construction and assignment --------------------------------------------------------

TEST_F(CxPtrTest, DefaultPointerIsEmptyLikeAnOpenOfTheNullId) {
    CxPtr<AcDbCircle> pointer;
    EXPECT_EQ(static_cast<AcDbCircle*>(pointer), nullptr);
    EXPECT_EQ(pointer.operator->(), nullptr);
    EXPECT_EQ(pointer.status(), Acad::eNullObjectId);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_EQ(pointer.close(), Acad::eOk);
}

TEST_F(CxPtrTest, AssignmentChangesNeitherPointer) {
    const AcDbObjectId first = addLine();
    const AcDbObjectId second = addLine();
    {
        CxPtr<AcDbLine> a(first, AcDb::kForWrite);
        CxPtr<AcDbLine> b(second, AcDb::kForRead);
        AcDbLine* const aObject = a;
        AcDbLine* const bObject = b;
        EXPECT_EQ(&(a = b), &a);
        EXPECT_EQ(&(a = bObject), &a);
        EXPECT_EQ(&(a = nullptr), &a);
        CxPtr<AcDbLine> empty;
        b = empty;
        EXPECT_EQ(static_cast<AcDbLine*>(a), aObject);
        EXPECT_EQ(static_cast<AcDbLine*>(b), bObject);
        EXPECT_EQ(a.mode(), AcDb::kForWrite);
        EXPECT_EQ(b.mode(), AcDb::kForRead);
        EXPECT_EQ(openCount(), 2u);
    }
    EXPECT_EQ(openCount(), 0u);
}

static_assert(!std::is_copy_constructible_v<CxPtr<AcDbLine>>);
static_assert(!std::is_move_constructible_v<CxPtr<AcDbLine>>);

}  // namespace
