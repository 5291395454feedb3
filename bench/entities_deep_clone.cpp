// Deep-cloning every entity of a block definition into model space, for blocks of 1,000, 10,000
// and 100,000 entities (lines, circles, texts and 2D polylines with their vertices): items per
// second must stay the same (linear cost) apart from the cache, which the smallest block fits
// and the largest does not. Copying the same entities with clone(), which makes copies outside
// any database, runs alongside as the floor.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/deep_clone.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/open.h"

namespace {

AcDbEntity* entityNumber(int i) {
    switch (i % 4) {
        case 0:
            return new AcDbLine(AcGePoint3d(i, 0, 0), AcGePoint3d(i, 1, 0));
        case 1:
            return new AcDbCircle(AcGePoint3d(i, 0, 0), AcGeVector3d::kZAxis, 1.0);
        case 2:
            return new AcDbText(AcGePoint3d(i, 0, 0), L"label", AcDbObjectId::kNull, 1.0);
        default: {
            AcGePoint3dArray points;
            points.append(AcGePoint3d(i, 0, 0));
            points.append(AcGePoint3d(i, 1, 0));
            points.append(AcGePoint3d(i + 1, 1, 0));
            return new AcDb2dPolyline(AcDb::k2dSimplePoly, points);
        }
    }
}

// A side database with a block "B" of n entities; ids receives them.
std::unique_ptr<AcDbDatabase> drawingWithBlock(int n, AcDbObjectIdArray& ids) {
    auto db = std::make_unique<AcDbDatabase>(true, true);
    AcDbBlockTable* table = nullptr;
    acdbOpenObject(table, db->blockTableId(), AcDb::kForWrite);
    auto* block = new AcDbBlockTableRecord;
    block->setName(L"B");
    table->add(block);
    table->close();
    for (int i = 0; i < n; ++i) {
        AcDbEntity* entity = entityNumber(i);
        AcDbObjectId id;
        block->appendAcDbEntity(id, entity);
        entity->close();
        ids.append(id);
    }
    block->close();
    return db;
}

void BM_DeepCloneBlock(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        AcDbObjectIdArray ids;
        auto db = drawingWithBlock(n, ids);
        AcDbObjectId owner = db->modelSpaceId();
        AcDbIdMapping mapping;
        state.ResumeTiming();
        db->deepCloneObjects(ids, owner, mapping);
        benchmark::DoNotOptimize(mapping.numPairs());
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_DeepCloneBlock)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_CloneOutsideDatabase(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<std::unique_ptr<AcDbEntity>> entities;
    for (int i = 0; i < n; ++i) {
        entities.emplace_back(entityNumber(i));
    }
    for (auto _ : state) {
        for (const auto& entity : entities) {
            std::unique_ptr<AcRxObject> copy(entity->clone());
            benchmark::DoNotOptimize(copy.get());
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CloneOutsideDatabase)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
