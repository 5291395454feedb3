// Opening and closing an object by id in databases of 1,000 and 1,000,000 objects. Each run walks
// 1,000 ids: a block of objects added one after the other (the working set of a command), which
// makes the two sizes touch the same amount of memory, so the figures compare the cost of the
// open itself; and ids spread evenly over the database, where every open also pays for memory
// that is far apart (cache and address-translation misses that grow with the spacing, not with
// the open). The handle look-up that precedes an open by handle text is measured alongside.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"

namespace {

constexpr int kWalked = 1000;

class BenchRecord : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(BenchRecord);
    int value = 0;
};

// A side database of n records, with kWalked ids in a block from its middle and kWalked ids
// evenly spaced over it.
struct Drawing {
    explicit Drawing(int n) : db(std::make_unique<AcDbDatabase>(false, true)) {
        const int step = n / kWalked;
        const int blockStart = (n - kWalked) / 2;
        for (int i = 0; i < n; ++i) {
            auto* record = new BenchRecord();
            AcDbObjectId id;
            db->addAcDbObject(id, record);
            record->close();
            if (i % step == 0 && static_cast<int>(spread.size()) < kWalked) {
                spread.push_back(id);
            }
            if (i >= blockStart && i < blockStart + kWalked) {
                block.push_back(id);
            }
        }
    }
    std::unique_ptr<AcDbDatabase> db;
    std::vector<AcDbObjectId> block;
    std::vector<AcDbObjectId> spread;
};

Drawing& drawing(int n) {
    static Drawing small(1000);
    static Drawing large(1000000);
    return n == 1000 ? small : large;
}

// range(0): database size; range(1): 0 walks the block, 1 the spread ids.
const std::vector<AcDbObjectId>& walked(const benchmark::State& state) {
    Drawing& d = drawing(static_cast<int>(state.range(0)));
    return state.range(1) == 0 ? d.block : d.spread;
}

void BM_OpenCloseById(benchmark::State& state) {
    const std::vector<AcDbObjectId>& ids = walked(state);
    for (auto _ : state) {
        for (const AcDbObjectId& id : ids) {
            AcDbObject* object = nullptr;
            acdbOpenAcDbObject(object, id, AcDb::kForRead);
            benchmark::DoNotOptimize(object);
            object->close();
        }
    }
    state.SetItemsProcessed(state.iterations() * kWalked);
}
BENCHMARK(BM_OpenCloseById)->ArgsProduct({{1000, 1000000}, {0, 1}});

void BM_OpenWriteCloseById(benchmark::State& state) {
    const std::vector<AcDbObjectId>& ids = walked(state);
    for (auto _ : state) {
        for (const AcDbObjectId& id : ids) {
            AcDbObject* object = nullptr;
            acdbOpenAcDbObject(object, id, AcDb::kForWrite);
            benchmark::DoNotOptimize(object);
            object->close();
        }
    }
    state.SetItemsProcessed(state.iterations() * kWalked);
}
BENCHMARK(BM_OpenWriteCloseById)->ArgsProduct({{1000, 1000000}, {0, 1}});

void BM_HandleLookUp(benchmark::State& state) {
    Drawing& d = drawing(static_cast<int>(state.range(0)));
    std::vector<AcDbHandle> handles;
    for (const AcDbObjectId& id : walked(state)) {
        handles.push_back(id.handle());
    }
    for (auto _ : state) {
        for (const AcDbHandle& handle : handles) {
            AcDbObjectId id;
            d.db->getAcDbObjectId(id, false, handle);
            benchmark::DoNotOptimize(id);
        }
    }
    state.SetItemsProcessed(state.iterations() * kWalked);
}
BENCHMARK(BM_HandleLookUp)->ArgsProduct({{1000, 1000000}, {0, 1}});

}  // namespace

ACRX_DXF_DEFINE_MEMBERS(BenchRecord, AcDbObject, 0, 0, 0, BENCHRECORD, BenchApp)

BENCHMARK_MAIN();
