// Exact-key AcDbDictionary::getAt in dictionaries of 100 and 100,000 entries (the cost must not
// grow much with the size), beside a plain std::map of the same keys as a peer. "Cold" looks up
// every key in turn, so in the large dictionary each look-up misses the caches; "Warm" looks up
// the same 100 keys in both sizes, which leaves the cost of the look-up itself.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/xrecord.h"

namespace {

std::wstring keyOf(int index) {
    return L"Entry_" + std::to_wstring(index * 7919 % 1000003);
}

// A database whose named object dictionary holds one dictionary of `size` Xrecords.
struct Fixture {
    explicit Fixture(int size) : db(std::make_unique<AcDbDatabase>(true, true)) {
        AcDbDictionary* nod = nullptr;
        db->getNamedObjectsDictionary(nod, AcDb::kForWrite);
        auto* dictionary = new AcDbDictionary();
        AcDbObjectId id;
        nod->setAt(L"BENCH", dictionary, id);
        nod->close();
        for (int i = 0; i < size; ++i) {
            keys.push_back(keyOf(i));
            auto* record = new AcDbXrecord();
            dictionary->setAt(keys.back().c_str(), record, id);
            record->close();
        }
        dictionary->downgradeOpen();
        this->dictionary = dictionary;
    }
    ~Fixture() { dictionary->close(); }

    std::unique_ptr<AcDbDatabase> db;
    AcDbDictionary* dictionary = nullptr;
    std::vector<std::wstring> keys;
};

Fixture& fixture(int size) {
    static std::map<int, std::unique_ptr<Fixture>> fixtures;
    auto& slot = fixtures[size];
    if (!slot) {
        slot = std::make_unique<Fixture>(size);
    }
    return *slot;
}

constexpr std::size_t kWarmKeys = 100;

void lookUp(benchmark::State& state, std::size_t keyCount) {
    Fixture& f = fixture(static_cast<int>(state.range(0)));
    const std::size_t count = std::min(keyCount, f.keys.size());
    std::size_t next = 0;
    for (auto _ : state) {
        AcDbObjectId id;
        benchmark::DoNotOptimize(f.dictionary->getAt(f.keys[next].c_str(), id));
        benchmark::DoNotOptimize(id);
        next = next + 1 == count ? 0 : next + 1;
    }
}

void BM_DictionaryGetAtCold(benchmark::State& state) {
    lookUp(state, SIZE_MAX);
}
BENCHMARK(BM_DictionaryGetAtCold)->Arg(100)->Arg(100000);

void BM_DictionaryGetAtWarm(benchmark::State& state) {
    lookUp(state, kWarmKeys);
}
BENCHMARK(BM_DictionaryGetAtWarm)->Arg(100)->Arg(100000);

void BM_PeerStdMapFind(benchmark::State& state) {
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    std::map<std::wstring, int> map;
    for (std::size_t i = 0; i < f.keys.size(); ++i) {
        map.emplace(f.keys[i], static_cast<int>(i));
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(map.find(f.keys[next]));
        next = next + 1 == f.keys.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_PeerStdMapFind)->Arg(100)->Arg(100000);

}  // namespace

BENCHMARK_MAIN();
