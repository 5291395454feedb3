// The reader's and writer's marks by handle under every shape of handles drawings use: each key
// keeps its own mark while the table grows, and keys never set read as unmarked.
#include <gtest/gtest.h>

#include <cstdint>

#include "host/dxf/flat_marks.h"
#include "tests/support/handle_patterns.h"

namespace {

// No pattern holds a handle with this bit set.
constexpr std::uint64_t kNotHeld = std::uint64_t{1} << 62;

// The mark given to the handle at index i: never 0, and neighbours differ.
std::uint8_t markOf(std::size_t i) {
    return static_cast<std::uint8_t>(1 + i % 255);
}

TEST(DxfFlatMarks, DxfFlatMarksKeepEveryPatternsMarks) {
    for (const testsupport::HandlePattern& pattern : testsupport::handlePatterns(100000)) {
        SCOPED_TRACE(pattern.name);
        host::dxf::FlatMarks marks;
        for (std::size_t i = 0; i < pattern.handles.size(); ++i) {
            marks.set(pattern.handles[i], markOf(i));
        }
        for (std::size_t i = 0; i < pattern.handles.size(); ++i) {
            ASSERT_EQ(marks.get(pattern.handles[i]), markOf(i)) << pattern.handles[i];
            ASSERT_EQ(marks.get(pattern.handles[i] | kNotHeld), 0);
        }
    }
}

TEST(DxfFlatMarks, DxfFlatMarksNeverMarkKeyZero) {
    host::dxf::FlatMarks marks(4);
    marks.set(0, 7);
    marks.set(2, 9);
    EXPECT_EQ(marks.get(0), 0);
    EXPECT_EQ(marks.get(2), 9);
}

}  // namespace
