// Handles, ids and selection names: text forms, uniqueness, look-ups, and what ids of destroyed
// databases and names that name nothing answer.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/ent_get.h"

namespace {

using dbtest::DbTest;

TEST(DbHandleTest, DbHandleTextRoundTrips) {
    EXPECT_EQ(AcDbHandle(L"1F").value(), 0x1Fu);
    EXPECT_EQ(AcDbHandle(L"00ab").value(), 0xABu);
    EXPECT_EQ(AcDbHandle(0x2A0Bu).text(), L"2A0B");
    EXPECT_EQ(AcDbHandle().text(), L"0");
    EXPECT_EQ(AcDbHandle(L"FFFFFFFFFFFFFFFF").value(), ~std::uint64_t{0});
    EXPECT_EQ(AcDbHandle(7u, 1u).value(), 0x100000007u);
    wchar_t buffer[17];
    ASSERT_TRUE(AcDbHandle(~std::uint64_t{0}).getIntoAsciiBuffer(buffer, 17));
    EXPECT_STREQ(buffer, L"FFFFFFFFFFFFFFFF");
    EXPECT_FALSE(AcDbHandle(0x100u).getIntoAsciiBuffer(buffer, 3));
}

TEST(DbHandleTest, DbHandleBadTextGivesTheNullHandle) {
    for (const wchar_t* text : {L"", L"12G", L" 1", L"-1", L"10000000000000000", L"0x10"}) {
        EXPECT_TRUE(AcDbHandle(text).isNull()) << wideToUtf8(text);
    }
    EXPECT_TRUE(AcDbHandle(static_cast<const wchar_t*>(nullptr)).isNull());
    AcDbHandle kept(5u);
    EXPECT_FALSE(AcDbHandle::fromText(L"zz", kept));
    EXPECT_EQ(kept.value(), 5u);
}

TEST_F(DbTest, DbIdsAnswerForTheirObject) {
    const AcDbObjectId id = addNote(L"a");
    EXPECT_FALSE(id.isNull());
    EXPECT_TRUE(id.isValid());
    EXPECT_FALSE(id.isErased());
    EXPECT_EQ(id.database(), db());
    EXPECT_EQ(id.objectClass(), dbtest::Note::desc());
    AcDbObjectId found;
    ASSERT_EQ(db()->getAcDbObjectId(found, false, id.handle()), Acad::eOk);
    EXPECT_EQ(found, id);
    EXPECT_TRUE(AcDbObjectId::kNull.isNull());
    EXPECT_EQ(AcDbObjectId::kNull.database(), nullptr);
    EXPECT_TRUE(AcDbObjectId::kNull.handle().isNull());
}

TEST_F(DbTest, DbHandlesAreUniqueIncreasingAndNeverReused) {
    const AcDbHandle seed = db()->handseed();
    std::set<std::uint64_t> seen;
    AcDbHandle previous;
    for (int i = 0; i < 50; ++i) {
        const AcDbHandle handle = addNote(L"x").handle();
        EXPECT_GE(handle, seed);
        EXPECT_GT(handle, previous);
        EXPECT_TRUE(seen.insert(handle.value()).second);
        previous = handle;
    }
    dbtest::Held<AcDbObject> last = dbtest::open<AcDbObject>(addNote(L"y"), AcDb::kForWrite);
    ASSERT_EQ(last->erase(), Acad::eOk);
    EXPECT_GT(addNote(L"z").handle(), previous);
}

TEST_F(DbTest, DbHandleLookUpsRefuseClearly) {
    AcDbObjectId id = AcDbObjectId::kNull;
    EXPECT_EQ(db()->getAcDbObjectId(id, false, AcDbHandle()), Acad::eNullHandle);
    EXPECT_EQ(db()->getAcDbObjectId(id, false, AcDbHandle(0xFFFFFFu)), Acad::eKeyNotFound);
    EXPECT_TRUE(id.isNull());
    ASSERT_EQ(db()->getAcDbObjectId(id, true, AcDbHandle(0xFFFFFFu)), Acad::eOk);
    EXPECT_FALSE(id.isValid());
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eNullObjectPointer);
    EXPECT_GT(db()->handseed().value(), 0xFFFFFFu);
}

// Files give objects any handles: spaced by powers of two (which share their low bits), huge,
// and reserved before they are filled, while the handle index grows under them.
TEST_F(DbTest, DbHandlesOfAnySpacingLookUpTheirOwnObjects) {
    std::vector<std::pair<AcDbHandle, AcDbObjectId>> added;
    for (std::uint64_t i = 1; i <= 3000; ++i) {
        const AcDbHandle handle(i % 3 == 0 ? i << 20 : (i % 3 == 1 ? i << 40 : i * 4096 + 7));
        auto* note = new dbtest::Note();
        AcDbObjectId id;
        ASSERT_EQ(db()->addObject(note, AcDbObjectId::kNull, id, handle), Acad::eOk) << i;
        note->close();
        added.emplace_back(handle, id);
    }
    for (const auto& [handle, id] : added) {
        AcDbObjectId found;
        ASSERT_EQ(db()->getAcDbObjectId(found, false, handle), Acad::eOk) << handle.text();
        EXPECT_EQ(found, id);
        EXPECT_EQ(id.handle(), handle);
    }
    AcDbObjectId missing;
    EXPECT_EQ(db()->getAcDbObjectId(missing, false, AcDbHandle(std::uint64_t{5} << 20)),
              Acad::eKeyNotFound);
}

TEST_F(DbTest, DbAReservedHandleIsFilledByAddingWithIt) {
    AcDbObjectId reserved;
    ASSERT_EQ(db()->getAcDbObjectId(reserved, true, AcDbHandle(0x5000u)), Acad::eOk);
    auto* note = new dbtest::Note();
    AcDbObjectId id;
    ASSERT_EQ(db()->addObject(note, AcDbObjectId::kNull, id, AcDbHandle(0x5000u)), Acad::eOk);
    note->close();
    EXPECT_EQ(id, reserved);
    EXPECT_TRUE(reserved.isValid());

    auto* second = new dbtest::Note();
    EXPECT_EQ(db()->addObject(second, AcDbObjectId::kNull, id, AcDbHandle(0x5000u)),
              Acad::eHandleInUse);
    EXPECT_EQ(db()->addObject(second, AcDbObjectId::kNull, id, AcDbHandle(~std::uint64_t{0})),
              Acad::eInvalidInput);
    delete second;
}

TEST_F(DbTest, DbIdsOfADestroyedDatabaseTurnStale) {
    AcDbObjectId stale;
    {
        AcDbDatabase side(false, true);
        stale = addNote(L"gone", &side);
        EXPECT_TRUE(stale.isValid());
    }
    EXPECT_FALSE(stale.isNull());
    EXPECT_FALSE(stale.isValid());
    EXPECT_FALSE(stale.isErased());
    EXPECT_EQ(stale.database(), nullptr);
    EXPECT_TRUE(stale.handle().isNull());
    EXPECT_EQ(stale.objectClass(), nullptr);
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, stale, AcDb::kForRead), Acad::eStaleObjectId);
    EXPECT_EQ(object, nullptr);
    // A new database may reuse the slot; the old id still names nothing.
    AcDbDatabase next(false, true);
    const AcDbObjectId fresh = addNote(L"new", &next);
    EXPECT_NE(fresh, stale);
    EXPECT_FALSE(stale.isValid());
    EXPECT_EQ(stale.database(), nullptr);
    EXPECT_EQ(fresh.database(), &next);
    std::int64_t name[2] = {0, 0};
    EXPECT_EQ(acdbGetAdsName(name, stale), Acad::eStaleObjectId);
}

TEST_F(DbTest, DbAdsNamesRoundTripAndRefuseStrangers) {
    const AcDbObjectId id = addNote(L"n");
    ads_name name = {0, 0};
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    AcDbObjectId back;
    ASSERT_EQ(acdbGetObjectId(back, name), Acad::eOk);
    EXPECT_EQ(back, id);

    const std::int64_t bogus[2] = {987654, 1};
    const std::int64_t noHandle[2] = {name[0], 0x7FFFFFFF};
    AcDbObjectId unchanged = id;
    EXPECT_EQ(acdbGetObjectId(unchanged, bogus), Acad::eInvalidAdsName);
    EXPECT_EQ(acdbGetObjectId(unchanged, noHandle), Acad::eInvalidAdsName);
    EXPECT_EQ(acdbGetObjectId(unchanged, nullptr), Acad::eNullPtr);
    EXPECT_EQ(unchanged, id);
    EXPECT_EQ(acdbGetAdsName(name, AcDbObjectId::kNull), Acad::eNullObjectId);
    EXPECT_EQ(acdbGetAdsName(nullptr, id), Acad::eNullPtr);
}

TEST_F(DbTest, DbAddingRefusesBadObjectsAndOwners) {
    AcDbObjectId id;
    EXPECT_EQ(db()->addAcDbObject(id, nullptr), Acad::eNullObjectPointer);
    const AcDbObjectId existing = addNote(L"in");
    {
        dbtest::Held<dbtest::Note> note = dbtest::open<dbtest::Note>(existing, AcDb::kForRead);
        EXPECT_EQ(db()->addAcDbObject(id, note.get()), Acad::eAlreadyInDb);
    }
    AcDbDatabase other(false, true);
    auto* orphan = new dbtest::Note();
    EXPECT_EQ(other.addObject(orphan, existing, id), Acad::eWrongDatabase);
    EXPECT_EQ(orphan->objectId(), AcDbObjectId::kNull);
    delete orphan;
}

TEST_F(DbTest, DbDeletingAResidentObjectIsNotedAndSurvived) {
    const AcDbObjectId id = addNote(L"victim");
    dbtest::Note* note = nullptr;
    ASSERT_EQ(acdbOpenObject(note, id, AcDb::kForWrite), Acad::eOk);
    delete note;
    ASSERT_EQ(host::contractViolations().size(), 1u);
    host::clearContractViolations();
    AcDbObject* object = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eNullObjectPointer);
    EXPECT_TRUE(host::openObjects().empty());
}

TEST_F(DbTest, DbDestroyingTheWorkingDatabaseLeavesNone) {
    auto side = std::make_unique<AcDbDatabase>(false, true);
    acdbHostApplicationServices()->setWorkingDatabase(side.get());
    side.reset();
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
    EXPECT_EQ(host::undo(), Acad::eNoWorkingDatabase);
}

TEST_F(DbTest, DbDestroyingWithObjectsOpenIsNoted) {
    auto side = std::make_unique<AcDbDatabase>(false, true);
    const AcDbObjectId id = addNote(L"open", side.get());
    AcDbObject* object = nullptr;
    ASSERT_EQ(acdbOpenAcDbObject(object, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(host::openObjects().size(), 1u);
    side.reset();
    EXPECT_TRUE(host::openObjects().empty());
    EXPECT_EQ(host::contractViolations().size(), 1u);
    host::clearContractViolations();
}

}  // namespace
