// Shared by the tests and benchmarks of tables keyed by handle: handle sets of the shapes drawings
// give their objects. Each set is distinct, increasing, free of 0 and below 2^40, so that a
// handle with bit 62 set is never in one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace testsupport {

struct HandlePattern {
    std::string name;
    std::vector<std::uint64_t> handles;
};

// count handles from first on, each gap drawn by nextGap (1 for handles in sequence).
template <class NextGap>
std::vector<std::uint64_t> handlesFrom(std::uint64_t first, std::size_t count, NextGap nextGap) {
    std::vector<std::uint64_t> handles;
    handles.reserve(count);
    for (std::uint64_t handle = first; handles.size() < count; handle += nextGap(handles.size())) {
        handles.push_back(handle);
    }
    return handles;
}

// Every pattern with count handles: in sequence from 1, from past 0xC000 and from past
// 0xC000000; sparse (gaps of 1 to 64); runs of 100 handles 0x100000 apart; spaced by 0x10000;
// and a map's shape, 0x300 table handles and then entities from 0xC000.
inline std::vector<HandlePattern> handlePatterns(std::size_t count) {
    const auto inSequence = [](std::size_t) { return std::uint64_t{1}; };
    std::mt19937_64 random(42);
    const auto sparse = [&random](std::size_t) { return 1 + random() % 64; };
    const auto runs = [](std::size_t done) { return done % 100 == 0 ? 0x100000 - 99 : 1; };
    const auto spaced = [](std::size_t) { return std::uint64_t{0x10000}; };
    const auto map = [](std::size_t done) { return done == 0x300 ? 0xC000 - 0x300 : 1; };
    return {{"dense from 1", handlesFrom(1, count, inSequence)},
            {"from 0xC000", handlesFrom(0xC000, count, inSequence)},
            {"from 0xC000000", handlesFrom(0xC000000, count, inSequence)},
            {"sparse", handlesFrom(1, count, sparse)},
            {"runs far apart", handlesFrom(1, count, runs)},
            {"spaced by 0x10000", handlesFrom(0x10000, count, spaced)},
            {"map from 0xC000", handlesFrom(1, count, map)}};
}

}  // namespace testsupport
