// Selection sets and acedXformSS: membership, names, limits, and the all-or-nothing transform.
#include <array>

#include "kestrel/host/app/selection_set.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/host/app/editor_fixture.h"

namespace {

class SelectionTest : public EditorTest {
protected:
    static AcGePoint3d startOf(const AcDbObjectId& id) {
        return testsupport::open<AcDbLine>(id)->startPoint();
    }

    static double radiusOf(const AcDbObjectId& id) {
        return testsupport::open<AcDbCircle>(id)->radius();
    }

    // A set holding the given entities in order; the caller frees it.
    void makeSet(std::initializer_list<AcDbObjectId> ids, ads_name set) {
        ASSERT_EQ(acedSSAdd(nullptr, nullptr, set), RTNORM);
        for (const AcDbObjectId& id : ids) {
            ads_name name;
            ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
            ASSERT_EQ(acedSSAdd(name, set, set), RTNORM);
        }
    }
};

TEST_F(SelectionTest, SetsHoldEachEntityOnceInOrder) {
    const AcDbObjectId a = addLine({0, 0, 0}, {1, 0, 0});
    const AcDbObjectId b = addLine({0, 1, 0}, {1, 1, 0});
    ads_name set;
    makeSet({a, b, a}, set);
    Adesk::Int32 length = -1;
    ASSERT_EQ(acedSSLength(set, &length), RTNORM);
    EXPECT_EQ(length, 2);
    ads_name second;
    ASSERT_EQ(acedSSName(set, 1, second), RTNORM);
    AcDbObjectId id;
    ASSERT_EQ(acdbGetObjectId(id, second), Acad::eOk);
    EXPECT_EQ(id, b);
    EXPECT_EQ(acedSSName(set, 2, second), RTERROR);
    EXPECT_EQ(acedSSName(set, -1, second), RTERROR);
    EXPECT_EQ(acedSSFree(set), RTNORM);
    EXPECT_EQ(acedSSFree(set), RTERROR);
    EXPECT_EQ(acedSSLength(set, &length), RTERROR);
}

TEST_F(SelectionTest, AddWithAnEntityAloneStartsANewSet) {
    const AcDbObjectId a = addLine({0, 0, 0}, {1, 0, 0});
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, a), Acad::eOk);
    ads_name first;
    ads_name second;
    ASSERT_EQ(acedSSAdd(name, nullptr, first), RTNORM);
    ASSERT_EQ(acedSSAdd(name, nullptr, second), RTNORM);
    EXPECT_FALSE(first[0] == second[0] && first[1] == second[1]);
    Adesk::Int32 length = 0;
    ASSERT_EQ(acedSSLength(second, &length), RTNORM);
    EXPECT_EQ(length, 1);
    // A set name is no entity name.
    AcDbObjectId id;
    EXPECT_NE(acdbGetObjectId(id, first), Acad::eOk);
    ads_name result;
    EXPECT_EQ(acedSSAdd(first, second, result), RTERROR);
    acedSSFree(first);
    acedSSFree(second);
}

TEST_F(SelectionTest, AddRefusesWhatIsNoLiveEntity) {
    const AcDbObjectId line = addLine({0, 0, 0}, {1, 0, 0});
    ads_name set;
    makeSet({}, set);
    ads_name result = {7, 7};
    ads_name layer;
    ASSERT_EQ(acdbGetAdsName(layer, db()->layerZero()), Acad::eOk);
    EXPECT_EQ(acedSSAdd(layer, set, result), RTERROR);
    ads_name bogus = {set[0], set[1] + 1000};
    EXPECT_EQ(acedSSAdd(nullptr, bogus, result), RTERROR);
    EXPECT_EQ(acedSSAdd(nullptr, set, nullptr), RTERROR);
    ASSERT_EQ(testsupport::open<AcDbEntity>(line, AcDb::kForWrite)->erase(), Acad::eOk);
    ads_name erased;
    ASSERT_EQ(acdbGetAdsName(erased, line), Acad::eOk);
    EXPECT_EQ(acedSSAdd(erased, set, result), RTERROR);
    EXPECT_EQ(result[0], 7);
    Adesk::Int32 length = -1;
    ASSERT_EQ(acedSSLength(set, &length), RTNORM);
    EXPECT_EQ(length, 0);
    acedSSFree(set);
}

TEST_F(SelectionTest, AtMost128SetsLiveAtOnce) {
    std::vector<std::array<std::int64_t, 2>> sets(128);
    for (auto& set : sets) {
        ASSERT_EQ(acedSSAdd(nullptr, nullptr, set.data()), RTNORM);
    }
    ads_name extra;
    EXPECT_EQ(acedSSAdd(nullptr, nullptr, extra), RTERROR);
    acedSSFree(sets[5].data());
    EXPECT_EQ(acedSSAdd(nullptr, nullptr, extra), RTNORM);
    acedSSFree(extra);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (i != 5) {
            acedSSFree(sets[i].data());
        }
    }
}

TEST_F(SelectionTest, XformMovesEveryEntity) {
    const AcDbObjectId a = addLine({0, 0, 0}, {1, 0, 0});
    const AcDbObjectId c = addCircle({5, 5, 0}, 1.0);
    ads_name set;
    makeSet({a, c}, set);
    ads_matrix scale = {{2, 0, 0, 1}, {0, 2, 0, 2}, {0, 0, 2, 3}, {0, 0, 0, 1}};
    EXPECT_EQ(acedXformSS(set, scale), RTNORM);
    acedSSFree(set);
    EXPECT_TRUE(startOf(a).isEqualTo({1, 2, 3}));
    EXPECT_DOUBLE_EQ(radiusOf(c), 2.0);
}

TEST_F(SelectionTest, XformIsAllOrNothing) {
    const AcDbObjectId a = addLine({0, 0, 0}, {1, 0, 0});
    const AcDbObjectId c = addCircle({5, 5, 0}, 1.0);
    ads_name set;
    makeSet({a, c}, set);
    // A circle cannot be stretched along x alone; the line, transformed first, goes back.
    ads_matrix stretch = {{3, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    EXPECT_EQ(acedXformSS(set, stretch), RTERROR);
    EXPECT_TRUE(startOf(a).isEqualTo({0, 0, 0}));
    EXPECT_DOUBLE_EQ(radiusOf(c), 1.0);

    // An entity the caller holds open cannot be transformed either.
    ads_matrix move = {{1, 0, 0, 1}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    {
        const auto held = testsupport::open<AcDbObject>(c);
        EXPECT_EQ(acedXformSS(set, move), RTERROR);
    }
    EXPECT_TRUE(startOf(a).isEqualTo({0, 0, 0}));
    ads_name bogus = {set[0], set[1] + 1000};
    EXPECT_EQ(acedXformSS(bogus, move), RTERROR);
    acedSSFree(set);
}

TEST_F(SelectionTest, XformIsOneUndoStep) {
    const AcDbObjectId a = addLine({0, 0, 0}, {1, 0, 0});
    ASSERT_EQ(host::beginCommand(L"MOVE"), Acad::eOk);
    ads_name set;
    makeSet({a}, set);
    ads_matrix move = {{1, 0, 0, 4}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    EXPECT_EQ(acedXformSS(set, move), RTNORM);
    acedSSFree(set);
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    EXPECT_TRUE(startOf(a).isEqualTo({4, 0, 0}));
    ASSERT_EQ(host::undo(1), Acad::eOk);
    EXPECT_TRUE(startOf(a).isEqualTo({0, 0, 0}));
}

}  // namespace
