// The handle index under every shape of handles drawings use: each handle finds its own id, a
// handle not held is reported missing, and the search order of tables keyed by handle keeps
// every search in a half-full table short whatever the shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/handle.h"
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

// A table of tableSize places searched in the order handlePlace and nextHandlePlace give, holding
// handles: how many places each search visits before an empty one.
class SearchedTable {
public:
    explicit SearchedTable(std::size_t tableSize) : m_taken(tableSize) {}

    // The places the search for a handle not held visits; with take, the handle takes the last.
    std::size_t search(std::uint64_t handle, bool take) {
        std::size_t at = host::handlePlace(handle, m_taken.size());
        std::size_t visited = 1;
        for (; m_taken[at]; ++visited) {
            at = host::nextHandlePlace(at, m_taken.size());
        }
        m_taken[at] = take;
        return visited;
    }

private:
    std::vector<bool> m_taken;
};

// 100,000 handles in the 2^18 places the index holds them in: keys placed at random give
// searches of at most about 25 places there; handles placed side by side leave one cluster of
// them all, which misses landing in it walk.
TEST(DbHandlePlaceTest, DbHandleSearchesStayShortForEveryPattern) {
    for (const testsupport::HandlePattern& pattern : testsupport::handlePatterns(kHandles)) {
        SearchedTable table(std::size_t{1} << 18);
        std::size_t longest = 0;
        for (std::uint64_t handle : pattern.handles) {
            longest = std::max(longest, table.search(handle, true));
        }
        for (std::uint64_t handle : pattern.handles) {
            longest = std::max(longest, table.search(handle | kNotHeld, false));
        }
        EXPECT_LE(longest, 64u) << pattern.name;
    }
}

}  // namespace
