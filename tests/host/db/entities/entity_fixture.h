// Shared by the entity, deep clone and insert tests: a default drawing as working database that
// every test must leave with nothing open (tables_fixture.h), point and box comparisons, entities
// appended to model space, and filing round trips of entities both ways.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/ge/extents.h"
#include "tests/host/db/tables_fixture.h"

namespace entity_test {

using tables_test::Held;
using tables_test::open;

constexpr double kTol = 1e-9;

inline std::string describe(const AcGePoint3d& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) +
           ")";
}

using testsupport::near;

inline ::testing::AssertionResult boxIs(const AcDbExtents& box, const AcGePoint3d& min,
                                        const AcGePoint3d& max, double tol = kTol) {
    if (box.minPoint().distanceTo(min) <= tol && box.maxPoint().distanceTo(max) <= tol) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "box " << describe(box.minPoint()) << " - " << describe(box.maxPoint()) << " is not "
           << describe(min) << " - " << describe(max);
}

// The box an entity reports; the test fails when it reports none.
inline AcDbExtents extentsOf(const AcDbEntity& entity) {
    AcDbExtents box;
    EXPECT_EQ(entity.getGeomExtents(box), Acad::eOk);
    return box;
}

// Whether points holds p (once or more) within tolerance.
inline bool holds(const AcGePoint3dArray& points, const AcGePoint3d& p, double tol = 1e-7) {
    for (int i = 0; i < points.length(); ++i) {
        if (points[i].distanceTo(p) <= tol) {
            return true;
        }
    }
    return false;
}

class EntityTest : public tables_test::DatabaseTest {
protected:
    // Appends entity to model space and returns its id; the entity is closed again.
    AcDbObjectId append(AcDbEntity* entity) {
        AcDbObjectId id;
        auto space = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForWrite);
        EXPECT_EQ(space->appendAcDbEntity(id, entity), Acad::eOk);
        EXPECT_EQ(entity->close(), Acad::eOk);
        return id;
    }

    // The groups entity's dxfOutFields writes, without the handle.
    host::DxfItemList groupsOf(const AcDbObject& object) {
        host::DxfItemList items = tables_test::dxfItems(object, db());
        std::erase_if(items, [](const host::DxfItem& item) { return item.code == 5; });
        return items;
    }

    // A binary copy and a DXF read of source both write the groups source writes.
    template <class T>
    void expectRoundTrips(const T& source) {
        const host::DxfItemList items = groupsOf(source);
        T binary;
        ASSERT_EQ(tables_test::dwgCopy(source, binary), Acad::eOk);
        EXPECT_TRUE(sameGroups(groupsOf(binary), items)) << "binary copy";
        T read;
        ASSERT_EQ(tables_test::dxfRead(read, items, db()), Acad::eOk);
        EXPECT_TRUE(sameGroups(groupsOf(read), items)) << "DXF read";
    }

    // Equal lists, or the first group where they differ.
    static ::testing::AssertionResult sameGroups(const host::DxfItemList& actual,
                                                 const host::DxfItemList& expected) {
        const std::size_t common = std::min(actual.size(), expected.size());
        for (std::size_t i = 0; i < common; ++i) {
            if (!(actual[i] == expected[i])) {
                return ::testing::AssertionFailure()
                       << "group " << i << ": code " << actual[i].code << " where "
                       << expected[i].code << " was expected, or another value";
            }
        }
        if (actual.size() != expected.size()) {
            return ::testing::AssertionFailure()
                   << actual.size() << " groups where " << expected.size() << " were expected";
        }
        return ::testing::AssertionSuccess();
    }

    // The groups after the given subclass marker up to the next marker.
    static host::DxfItemList subclass(const host::DxfItemList& items, const wchar_t* marker) {
        auto found = std::find(items.begin(), items.end(), tables_test::text(100, marker));
        if (found == items.end()) {
            return {};
        }
        ++found;
        const auto end = std::find_if(found, items.end(),
                                      [](const host::DxfItem& item) { return item.code == 100; });
        return host::DxfItemList(found, end);
    }
};

}  // namespace entity_test
