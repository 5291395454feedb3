// CxEntity<T> and the typed entity pointers: each opens its own class by id, handle text and
// selection name and refuses others with 34; re-opening closes first; handle texts are looked up
// in the working database only.
#include <cstdint>

#include "kestrel/access/cx_entity.h"
#include "kestrel/drawing/angular_dim_3p_ptr.h"
#include "kestrel/drawing/angular_dim_ptr.h"
#include "kestrel/drawing/arc_ptr.h"
#include "kestrel/drawing/attrib_ptr.h"
#include "kestrel/drawing/block_reference_ptr.h"
#include "kestrel/drawing/circle_ptr.h"
#include "kestrel/drawing/ellipse_ptr.h"
#include "kestrel/drawing/entity_ptr.h"
#include "kestrel/drawing/face_ptr.h"
#include "kestrel/drawing/line_ptr.h"
#include "kestrel/drawing/point_ptr.h"
#include "kestrel/drawing/polyline_2d_ptr.h"
#include "kestrel/drawing/polyline_3d_ptr.h"
#include "kestrel/drawing/polyline_lw_ptr.h"
#include "kestrel/drawing/ray_ptr.h"
#include "kestrel/drawing/rotated_dim_ptr.h"
#include "kestrel/drawing/solid_ptr.h"
#include "kestrel/drawing/table_ptr.h"
#include "kestrel/drawing/text_ptr.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/db/block_table.h"
#include "tests/access/samples.h"
#include "tests/access/store_fixture.h"

namespace {

using access_test::addSample;
using access_test::openCount;
using store_test::StoreTest;

const AcGePoint3d kOrigin(0, 0, 0);

// An object of another class than T: for AcDbEntity one that is no entity.
template <class T>
AcDbObjectId addForeign(StoreTest& test) {
    if constexpr (std::is_same_v<T, AcDbEntity>) {
        return test.db()->namedObjectsDictionaryId();
    } else if constexpr (std::is_same_v<T, AcDbPoint>) {
        return test.addLine();
    } else {
        return test.append(new AcDbPoint(kOrigin));
    }
}

// A typed pointer and the host class it opens.
template <class P, class T>
struct Typed {
    using Pointer = P;
    using Host = T;
};

template <class Pair>
class EntityWrapperEachClassTest : public StoreTest {};

using EntityPointers = ::testing::Types<
    Typed<CVLKC2dPolylinePtr, AcDb2dPolyline>, Typed<CVLKC3dPolylinePtr, AcDb3dPolyline>,
    Typed<CVLKCAngularDim3PPtr, AcDb3PointAngularDimension>,
    Typed<CVLKCAngularDimPtr, AcDb2LineAngularDimension>, Typed<CVLKCArcPtr, AcDbArc>,
    Typed<CVLKCAttribPtr, AcDbAttribute>, Typed<CVLKCBlockReferencePtr, AcDbBlockReference>,
    Typed<CVLKCCirclePtr, AcDbCircle>, Typed<CVLKCEllipsePtr, AcDbEllipse>,
    Typed<CVLKCEntityPtr, AcDbEntity>, Typed<CVLKCFacePtr, AcDbFace>, Typed<CVLKCLinePtr, AcDbLine>,
    Typed<CVLKCPointPtr, AcDbPoint>, Typed<CVLKCPolylineLWPtr, AcDbPolyline>,
    Typed<CVLKCRayPtr, AcDbRay>, Typed<CVLKCRotatedDimPtr, AcDbRotatedDimension>,
    Typed<CVLKCSolidPtr, AcDbSolid>, Typed<CVLKCTablePtr, AcDbTable>,
    Typed<CVLKCTextPtr, AcDbText>>;
TYPED_TEST_SUITE(EntityWrapperEachClassTest, EntityPointers);

TYPED_TEST(EntityWrapperEachClassTest, OpensItsClassByIdHandleAndNameAndClosesAtScopeEnd) {
    using Pointer = typename TypeParam::Pointer;
    using Host = typename TypeParam::Host;
    static_assert(std::is_base_of_v<CxEntity<Host>, Pointer>);
    const AcDbObjectId id = addSample<Host>(*this);
    std::int64_t name[2];
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    const std::wstring handle = StoreTest::handleOf(id);
    {
        Pointer byId(id, AcDb::kForWrite);
        ASSERT_NE(static_cast<Host*>(byId), nullptr);
        EXPECT_EQ(byId->objectId(), id);
        EXPECT_EQ(byId.status(), Acad::eOk);
        EXPECT_EQ(byId.mode(), AcDb::kForWrite);
        EXPECT_EQ(openCount(), 1u);
    }
    EXPECT_EQ(openCount(), 0u);
    {
        Pointer byHandle(handle.c_str(), AcDb::kForRead);
        Pointer byName(name, AcDb::kForRead);
        ASSERT_NE(static_cast<Host*>(byHandle), nullptr);
        ASSERT_NE(static_cast<Host*>(byName), nullptr);
        EXPECT_EQ(byHandle->objectId(), id);
        EXPECT_EQ(byName->objectId(), id);
        EXPECT_EQ(byName.mode(), AcDb::kForRead);
    }
    EXPECT_EQ(openCount(), 0u);
}

TYPED_TEST(EntityWrapperEachClassTest, RefusesAnotherClassWith34AndClosesIt) {
    using Pointer = typename TypeParam::Pointer;
    using Host = typename TypeParam::Host;
    const AcDbObjectId foreign = addForeign<Host>(*this);
    Pointer pointer(foreign, AcDb::kForWrite);
    EXPECT_EQ(static_cast<Host*>(pointer), nullptr);
    EXPECT_EQ(pointer.status(), Acad::eNotThatKindOfClass);
    EXPECT_EQ(openCount(), 0u);
    const std::wstring handle = StoreTest::handleOf(foreign);
    EXPECT_EQ(pointer.open(handle.c_str(), AcDb::kForRead), Acad::eNotThatKindOfClass);
    EXPECT_EQ(openCount(), 0u);
}

// --- Opening rules, on lines and circles -----------------------------------------------------

using EntityWrapperTest = StoreTest;

TEST_F(EntityWrapperTest, EntityWrapperAcceptsEveryEntityKind) {
    const AcDbObjectId ids[] = {addSample<AcDbArc>(*this), addSample<AcDbAttribute>(*this),
                                addSample<AcDbTable>(*this), addSample<AcDb2dPolyline>(*this),
                                addSample<AcDbRotatedDimension>(*this)};
    for (const AcDbObjectId& id : ids) {
        CxEntity<AcDbEntity> entity(id, AcDb::kForRead);
        ASSERT_NE(static_cast<AcDbEntity*>(entity), nullptr);
        EXPECT_EQ(entity->objectId(), id);
    }
}

TEST_F(EntityWrapperTest, ReopeningClosesTheFirstEntityAlsoWhenTheSecondOpenFails) {
    const AcDbObjectId line = addLine();
    const AcDbObjectId otherLine = addLine();
    const AcDbObjectId circle = addCircle();
    CVLKCLinePtr pointer(line, AcDb::kForWrite);
    ASSERT_NE(static_cast<AcDbLine*>(pointer), nullptr);

    EXPECT_EQ(pointer.open(otherLine, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(pointer->objectId(), otherLine);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_EQ(openCount(), 1u);

    EXPECT_EQ(pointer.open(circle, AcDb::kForWrite), Acad::eNotThatKindOfClass);
    EXPECT_EQ(static_cast<AcDbLine*>(pointer), nullptr);
    EXPECT_EQ(pointer.status(), Acad::eNotThatKindOfClass);
    EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
    EXPECT_EQ(openCount(), 0u);

    EXPECT_EQ(pointer.open(line, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(pointer->objectId(), line);
}

// Every way an open fails leaves the wrapper empty with the host's status.
TEST_F(EntityWrapperTest, RefusedOpensLeaveTheWrapperEmptyWithTheHostStatus) {
    const AcDbObjectId erased = addLine();
    {
        CVLKCLinePtr eraser(erased, AcDb::kForWrite);
        ASSERT_EQ(eraser->erase(), Acad::eOk);
    }
    const AcDbObjectId line = addLine();
    CVLKCLinePtr writer(line, AcDb::kForWrite);
    std::int64_t name[2];
    ASSERT_EQ(acdbGetAdsName(name, line), Acad::eOk);
    std::int64_t bogus[2] = {name[0], name[1] + 1000};
    CVLKCLinePtr pointer;
    const std::pair<Acad::ErrorStatus, Acad::ErrorStatus> refusals[] = {
        {pointer.open(line, AcDb::kForWrite), Acad::eWasOpenForWrite},
        {pointer.open(erased, AcDb::kForRead), Acad::eWasErased},
        {pointer.open(L"FFFFFF", AcDb::kForRead), Acad::eNullObjectId},
        {pointer.open(L"", AcDb::kForRead), Acad::eNullObjectId},
        {pointer.open(L"not hex", AcDb::kForRead), Acad::eNullObjectId},
        {pointer.open(static_cast<const wchar_t*>(nullptr), AcDb::kForRead), Acad::eNullObjectId},
        {pointer.open(bogus, AcDb::kForRead), Acad::eNullObjectId},
        {pointer.open(static_cast<std::int64_t*>(nullptr), AcDb::kForRead), Acad::eNullObjectId},
    };
    for (const auto& [status, expected] : refusals) {
        EXPECT_EQ(status, expected);
    }
    EXPECT_EQ(static_cast<AcDbLine*>(pointer), nullptr);
    EXPECT_EQ(openCount(), 1u);
}

TEST_F(EntityWrapperTest, HandleTextsAreLookedUpInTheWorkingDatabaseOnly) {
    AcDbObjectId line;
    for (int i = 0; i < 40; ++i) {
        line = addLine();
    }
    const std::wstring handle = handleOf(line);
    {
        CVLKCLinePtr here(handle.c_str(), AcDb::kForRead);
        EXPECT_NE(static_cast<AcDbLine*>(here), nullptr);
    }
    host::newDocument();
    CVLKCLinePtr elsewhere(handle.c_str(), AcDb::kForRead);
    EXPECT_EQ(static_cast<AcDbLine*>(elsewhere), nullptr);
    CVLKCLinePtr byId(line, AcDb::kForRead);
    EXPECT_NE(static_cast<AcDbLine*>(byId), nullptr);
}

TEST_F(EntityWrapperTest, DefaultConstructedWrappersAreEmptyAndCloseNothing) {
    CVLKCCirclePtr pointer;
    EXPECT_EQ(static_cast<AcDbCircle*>(pointer), nullptr);
    EXPECT_EQ(pointer.close(), Acad::eOk);
    CxEntity<AcDbText> wrapper;
    EXPECT_EQ(static_cast<AcDbText*>(wrapper), nullptr);
}

}  // namespace
