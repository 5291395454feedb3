// CxPtr<T>: every exported instantiation opens its own class and refuses others; the rules of
// opening by id (with and without the document lock) and by selection name, closing, upgrading
// and downgrading, and inert assignment.
#include <cstdint>
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

// --- Opening by id -----------------------------------------------------------------------------

TEST_F(CxPtrTest, OpenOfAnotherEntityClassIsRefusedAndTheObjectStaysFree) {
    const AcDbObjectId circle = addCircle();
    {
        CxPtr<AcDbLine> line(circle, AcDb::kForWrite);
        EXPECT_EQ(static_cast<AcDbLine*>(line), nullptr);
        EXPECT_EQ(line.status(), Acad::eNotThatKindOfClass);
        EXPECT_EQ(line.mode(), AcDb::kForWrite);
        CxPtr<AcDbCircle> again(circle, AcDb::kForWrite);
        EXPECT_EQ(again.status(), Acad::eOk);
    }
    EXPECT_EQ(openCount(), 0u);
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

TEST_F(CxPtrTest, RefusalsCarryTheHostStatusAndTheRequestedMode) {
    const AcDbObjectId line = addLine();

    CxPtr<AcDbLine> none(AcDbObjectId::kNull, AcDb::kForWrite);
    EXPECT_EQ(static_cast<AcDbLine*>(none), nullptr);
    EXPECT_EQ(none.status(), Acad::eNullObjectId);
    EXPECT_EQ(none.mode(), AcDb::kForWrite);

    CxPtr<AcDbLine> writer(line, AcDb::kForWrite);
    CxPtr<AcDbLine> reader(line, AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbLine*>(reader), nullptr);
    EXPECT_EQ(reader.status(), Acad::eWasOpenForWrite);
    EXPECT_EQ(reader.mode(), AcDb::kForRead);
    EXPECT_TRUE(writer->isWriteEnabled());
}

TEST_F(CxPtrTest, ErasedObjectsAreNotOpened) {
    const AcDbObjectId line = addLine();
    {
        CxPtr<AcDbLine> writer(line, AcDb::kForWrite);
        ASSERT_EQ(writer->erase(), Acad::eOk);
    }
    CxPtr<AcDbLine> erased(line, AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbLine*>(erased), nullptr);
    EXPECT_EQ(erased.status(), Acad::eWasErased);
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

TEST_F(CxPtrTest, LockIsHeldForTheOpenCallOnly) {
    const AcDbObjectId line = addLine();
    host::resetDocumentLockCalls();
    CxPtr<AcDbLine> pointer(line, AcDb::kForWrite, true);
    EXPECT_EQ(pointer.status(), Acad::eOk);
    const host::DocumentLockCalls calls = host::documentLockCalls();
    EXPECT_EQ(calls.lockCalls, 1);
    EXPECT_EQ(calls.unlockCalls, 1);
    EXPECT_TRUE(pointer->isWriteEnabled());
}

TEST_F(CxPtrTest, NoLockUnlessAsked) {
    const AcDbObjectId line = addLine();
    std::int64_t name[2] = {};
    ASSERT_EQ(acdbGetAdsName(name, line), Acad::eOk);
    host::resetDocumentLockCalls();
    {
        CxPtr<AcDbLine> byId(line, AcDb::kForRead);
        CxPtr<AcDbLine> byName(name, AcDb::kForRead);
        EXPECT_NE(static_cast<AcDbLine*>(byName), nullptr);
    }
    EXPECT_EQ(host::documentLockCalls().lockCalls, 0);
}

TEST_F(CxPtrTest, LockedOpenOfARefusedObjectStillReleasesTheLock) {
    const AcDbObjectId circle = addCircle();
    host::resetDocumentLockCalls();
    CxPtr<AcDbLine> pointer(circle, AcDb::kForRead, true);
    EXPECT_EQ(pointer.status(), Acad::eNotThatKindOfClass);
    const host::DocumentLockCalls calls = host::documentLockCalls();
    EXPECT_EQ(calls.lockCalls, calls.unlockCalls);
}

TEST_F(CxPtrTest, LockedOpenWorksForAnObjectOfADatabaseWithoutDocument) {
    AcDbDatabase side(true, true);
    CxPtr<AcDbDictionary> dictionary(side.namedObjectsDictionaryId(), AcDb::kForRead, true);
    EXPECT_EQ(dictionary.status(), Acad::eOk);
    EXPECT_EQ(host::documentLockCalls().lockCalls, 0);
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

    CxPtr<AcDbLine> wrongClass(name, AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbLine*>(wrongClass), nullptr);
    EXPECT_EQ(wrongClass.status(), Acad::eNotThatKindOfClass);
}

TEST_F(CxPtrTest, SelectionNameThatNamesNothingGivesAnEmptyPointer) {
    std::int64_t unknown[2] = {987654, 0x7FFFF};
    CxPtr<AcDbLine> pointer(unknown, AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbLine*>(pointer), nullptr);
    EXPECT_EQ(pointer.status(), Acad::eNullObjectId);

    CxPtr<AcDbLine> nullName(static_cast<std::int64_t*>(nullptr), AcDb::kForWrite);
    EXPECT_EQ(static_cast<AcDbLine*>(nullName), nullptr);
    EXPECT_EQ(nullName.status(), Acad::eNullObjectId);
    EXPECT_EQ(nullName.mode(), AcDb::kForWrite);
}

// --- Closing -----------------------------------------------------------------------------------

TEST_F(CxPtrTest, CloseClosesOnceAndKeepsTheStatus) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForWrite);
    EXPECT_EQ(pointer.close(), Acad::eOk);
    EXPECT_EQ(static_cast<AcDbLine*>(pointer), nullptr);
    EXPECT_EQ(openCount(), 0u);
    EXPECT_EQ(pointer.close(), Acad::eOk);
    EXPECT_EQ(pointer.status(), Acad::eOk);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
    // Another pointer may now take the object for write.
    CxPtr<AcDbLine> next(line, AcDb::kForWrite);
    EXPECT_EQ(next.status(), Acad::eOk);
}

TEST_F(CxPtrTest, CloseOfAnEmptyPointerIsOk) {
    CxPtr<AcDbLine> refused(AcDbObjectId::kNull, AcDb::kForRead);
    EXPECT_EQ(refused.close(), Acad::eOk);
    EXPECT_EQ(refused.status(), Acad::eNullObjectId);
}

TEST_F(CxPtrTest, CloseReportsTheHostRefusalAndEmptiesThePointer) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForRead);
    // Closed behind the pointer's back: the pointer's own close is then refused by the host.
    ASSERT_EQ(pointer->close(), Acad::eOk);
    EXPECT_NE(pointer.close(), Acad::eOk);
    EXPECT_EQ(static_cast<AcDbLine*>(pointer), nullptr);
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

TEST_F(CxPtrTest, UpgradeOfAWriteOpenObjectAnswers83AndKeepsWriteMode) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForWrite);
    EXPECT_EQ(pointer.upgradeOpen(), Acad::eWasOpenForWrite);
    EXPECT_EQ(pointer.status(), Acad::eWasOpenForWrite);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
}

TEST_F(CxPtrTest, DowngradeOfAReadOpenObjectAnswers82AndKeepsReadMode) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForRead);
    EXPECT_EQ(pointer.downgradeOpen(), Acad::eWasOpenForRead);
    EXPECT_EQ(pointer.status(), Acad::eWasOpenForRead);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
}

TEST_F(CxPtrTest, RefusedUpgradeLeavesTheModeAsItWas) {
    const AcDbObjectId line = addLine();
    CxPtr<AcDbLine> pointer(line, AcDb::kForRead);
    CxPtr<AcDbLine> otherReader(line, AcDb::kForRead);
    EXPECT_EQ(pointer.upgradeOpen(), Acad::eHadMultipleReaders);
    EXPECT_EQ(pointer.status(), Acad::eHadMultipleReaders);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_FALSE(pointer->isWriteEnabled());
}

TEST_F(CxPtrTest, UpgradeAndDowngradeOfAnEmptyPointerCallNothing) {
    CxPtr<AcDbLine> pointer(AcDbObjectId::kNull, AcDb::kForWrite);
    EXPECT_EQ(pointer.downgradeOpen(), Acad::eNullObjectPointer);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
    EXPECT_EQ(pointer.upgradeOpen(), Acad::eNullObjectPointer);
    EXPECT_EQ(pointer.status(), Acad::eNullObjectPointer);
    CxPtr<AcDbLine> unopened;
    EXPECT_EQ(unopened.upgradeOpen(), Acad::eNullObjectPointer);
    EXPECT_EQ(unopened.mode(), AcDb::kForRead);
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
