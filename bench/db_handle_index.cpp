// The handle index as loading a drawing fills it, for drawings of 10,000 and 1,000,000 objects
// and each shape of handles drawings use (tests/support/handle_patterns.h): "Load" reserves every
// handle in a fresh side database (the look-up that finds it new, then its slot and its place),
// "Find" looks every handle up again. The floor writes and reads one number per handle at
// scattered places of a table of the index's size, with no search: the cache and memory cost any
// hashed index of that size pays, which grows with the size whatever the placement.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "kestrel/host/db/database.h"
#include "tests/support/handle_patterns.h"

namespace {

constexpr std::size_t kSmall = 10000;
constexpr std::size_t kLarge = 1000000;

// range(0): the pattern's number in handlePatterns; range(1): the number of handles.
const testsupport::HandlePattern& patternOf(const benchmark::State& state) {
    static const std::vector<testsupport::HandlePattern> small =
        testsupport::handlePatterns(kSmall);
    static const std::vector<testsupport::HandlePattern> large =
        testsupport::handlePatterns(kLarge);
    const auto& patterns = static_cast<std::size_t>(state.range(1)) == kSmall ? small : large;
    return patterns[static_cast<std::size_t>(state.range(0))];
}

// Every handle of the pattern reserved in db, in order.
void reserveAll(AcDbDatabase& db, const std::vector<std::uint64_t>& handles) {
    for (std::uint64_t handle : handles) {
        AcDbObjectId id;
        db.getAcDbObjectId(id, true, AcDbHandle(handle));
        benchmark::DoNotOptimize(id);
    }
}

void BM_HandleIndexLoad(benchmark::State& state) {
    const testsupport::HandlePattern& pattern = patternOf(state);
    {
        // Grows the process's slot pool before timing, as the loads after it find it grown.
        AcDbDatabase warm(false, true);
        reserveAll(warm, pattern.handles);
    }
    for (auto _ : state) {
        AcDbDatabase db(false, true);
        reserveAll(db, pattern.handles);
    }
    state.SetItemsProcessed(state.iterations() * state.range(1));
    state.SetLabel(pattern.name);
}

void BM_HandleIndexFind(benchmark::State& state) {
    const testsupport::HandlePattern& pattern = patternOf(state);
    AcDbDatabase db(false, true);
    reserveAll(db, pattern.handles);
    for (auto _ : state) {
        for (std::uint64_t handle : pattern.handles) {
            AcDbObjectId id;
            db.getAcDbObjectId(id, false, AcDbHandle(handle));
            benchmark::DoNotOptimize(id);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(1));
    state.SetLabel(pattern.name);
}

const std::vector<std::vector<std::int64_t>> kPatternsBySize = {{0, 1, 2, 3, 4, 5, 6},
                                                                {kSmall, kLarge}};
BENCHMARK(BM_HandleIndexLoad)->ArgsProduct(kPatternsBySize)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HandleIndexFind)->ArgsProduct(kPatternsBySize)->Unit(benchmark::kMicrosecond);

// range(0): the number of handles. A fresh table of at least twice as many places, each number
// written to and then read back from places a golden-ratio stride apart, so that no two in a row
// share a page or a prefetched line.
void BM_ScatteredTableFloor(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    std::size_t size = 64;
    while (size < 2 * count) {
        size *= 2;
    }
    const auto stride = static_cast<std::size_t>(0.6180339887 * static_cast<double>(size)) | 1;
    for (auto _ : state) {
        std::vector<std::uint32_t> table(size, 0);
        std::size_t at = 0;
        for (std::size_t i = 1; i <= count; ++i) {
            at = (at + stride) & (size - 1);
            table[at] = static_cast<std::uint32_t>(i);
        }
        std::uint64_t sum = 0;
        for (std::size_t i = 1; i <= count; ++i) {
            at = (at + stride) & (size - 1);
            sum += table[at];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ScatteredTableFloor)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
