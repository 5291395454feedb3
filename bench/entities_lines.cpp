// Lines in model space: appending n lines and walking them back (items per second must stay
// the same from 100,000 to 1,000,000 lines: linear cost), and the heap a line costs with its
// share of the block's entity list and of the object store (counter bytes_per_line, from the
// allocator's own count). A plain vector of segments runs alongside as the floor.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/open.h"

namespace {

// Appends n lines to db's model space.
void appendLines(AcDbDatabase& db, int n) {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < n; ++i) {
        auto* line = new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
        space->appendAcDbEntity(line);
        line->close();
    }
    space->close();
}

// Opens every entity of db's model space for read and sums the lines' start x.
double walkLines(AcDbDatabase& db) {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForRead);
    AcDbBlockTableRecordIterator* raw = nullptr;
    space->newIterator(raw);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    space->close();
    double sum = 0.0;
    for (; !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        if (it->getEntity(entity, AcDb::kForRead) == Acad::eOk) {
            if (const AcDbLine* line = AcDbLine::cast(entity)) {
                sum += line->startPoint().x;
            }
            entity->close();
        }
    }
    return sum;
}

void BM_AppendAndWalkLines(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<AcDbDatabase>(true, true);
        state.ResumeTiming();
        appendLines(*db, n);
        benchmark::DoNotOptimize(walkLines(*db));
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AppendAndWalkLines)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_WalkLines(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto db = std::make_unique<AcDbDatabase>(true, true);
    appendLines(*db, n);
    for (auto _ : state) {
        benchmark::DoNotOptimize(walkLines(*db));
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_WalkLines)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Bytes the allocator has handed out, large blocks (which it maps on their own) included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_LineMemory(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double perLine = 0.0;
    for (auto _ : state) {
        auto db = std::make_unique<AcDbDatabase>(true, true);
        const std::size_t before = heapInUse();
        appendLines(*db, n);
        const std::size_t after = heapInUse();
        perLine = static_cast<double>(after - before) / n;
    }
    state.counters["bytes_per_line"] = perLine;
    state.counters["sizeof_AcDbLine"] = sizeof(AcDbLine);
}
BENCHMARK(BM_LineMemory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

// The floor: the same segments in a plain vector, appended and summed.
void BM_PlainSegments(benchmark::State& state) {
    struct Segment {
        AcGePoint3d from;
        AcGePoint3d to;
    };
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        std::vector<Segment> segments;
        for (int i = 0; i < n; ++i) {
            segments.push_back({AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0)});
        }
        double sum = 0.0;
        for (const Segment& s : segments) {
            sum += s.from.x;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PlainSegments)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
