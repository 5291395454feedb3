// The handle index under every shape of handles drawings use: each handle finds its own id, a
// handle not held is reported missing, and handles are placed so that the clusters of a
// half-full linearly probed table stay short, which bounds every search whatever the shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "db_fixture.h"
#include "host/db/handle.h"
#include "tests/support/handle_patterns.h"

namespace {

using dbtest::DbTest;

constexpr std::size_t kHandles = 100000;
// No pattern holds a handle with this bit set.
constexpr std::uint64_t kNotHeld = std::uint64_t{1} << 62;

TEST_F(DbTest, DbHandleIndexFindsEveryPatternAndMissesOthers) {
    for (const testsupport::HandlePattern& pattern : testsupport::handlePatterns(kHandles)) {
        SCOPED_TRACE(pattern.name);
        AcDbDatabase side(false, true);
        std::vector<AcDbObjectId> ids(pattern.handles.size());
        for (std::size_t i = 0; i < ids.size(); ++i) {
            ASSERT_EQ(side.getAcDbObjectId(ids[i], true, AcDbHandle(pattern.handles[i])),
                      Acad::eOk);
        }
        for (std::size_t i = 0; i < ids.size(); ++i) {
            AcDbObjectId found;
            ASSERT_EQ(side.getAcDbObjectId(found, false, AcDbHandle(pattern.handles[i])),
                      Acad::eOk);
            ASSERT_EQ(found, ids[i]);
            ASSERT_EQ(found.handle().value(), pattern.handles[i]);
        }
        for (std::uint64_t handle : pattern.handles) {
            AcDbObjectId missing;
            ASSERT_EQ(side.getAcDbObjectId(missing, false, AcDbHandle(handle | kNotHeld)),
                      Acad::eKeyNotFound);
        }
    }
}

// The longest run of taken places once handles are put, by linear probing from their
// handlePlace, into a table of tableSize places; a search in that table stops within one run.
std::size_t longestCluster(const std::vector<std::uint64_t>& handles, std::size_t tableSize) {
    std::vector<bool> taken(tableSize);
    for (std::uint64_t handle : handles) {
        std::size_t at = host::handlePlace(handle, tableSize);
        while (taken[at]) {
            at = (at + 1) % tableSize;
        }
        taken[at] = true;
    }
    std::size_t longest = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < 2 * tableSize; ++i) {  // twice round: a run may wrap
        run = taken[i % tableSize] ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// 100,000 handles in the 2^18 places the index holds them in; keys placed at random give runs
// of about 25 places there, handles placed side by side one run of them all.
TEST(DbHandlePlaceTest, DbHandlePlacesKeepClustersShortForEveryPattern) {
    for (const testsupport::HandlePattern& pattern : testsupport::handlePatterns(kHandles)) {
        EXPECT_LE(longestCluster(pattern.handles, std::size_t{1} << 18), 64u) << pattern.name;
    }
}

}  // namespace
