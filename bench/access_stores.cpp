// The value stores at scale. Big strings of 1 and 10 million characters written to and read
// from the named object dictionary (time per character must stay flat: linear cost), beside a
// plain copy of the same text as the floor (the larger text no longer fits in the caches, which
// shows in the floor too) and a copy into fresh memory each round (what any store that keeps
// its own copy pays). Partial-key reads over dictionaries of 1,000 and 10,000 records whose only
// match comes last in iteration order (time per record must stay flat), beside a scan of a
// vector of the same names, and exact-key reads for contrast.
// Everything runs in side databases made the working database: no document, no undo.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/host/db/database.h"

namespace {

const wchar_t* const kArea = L"BENCH_AREA";

std::wstring textOf(std::size_t length) {
    std::wstring text(length, L'x');
    for (std::size_t i = 0; i < length; i += 97) {
        text[i] = static_cast<wchar_t>(L'a' + i % 26);
    }
    return text;
}

// A side database that is the working database while it lives.
class WorkingDatabase {
public:
    WorkingDatabase() : m_db(std::make_unique<AcDbDatabase>(true, true)) {
        acdbHostApplicationServices()->setWorkingDatabase(m_db.get());
    }
    ~WorkingDatabase() { acdbHostApplicationServices()->setWorkingDatabase(nullptr); }

private:
    std::unique_ptr<AcDbDatabase> m_db;
};

void setCharacters(benchmark::State& state, std::size_t length) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * length));
    state.counters["ns_per_char"] =
        benchmark::Counter(static_cast<double>(state.iterations() * length),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Each write gets a fresh database, so that replaced records do not pile up between runs.
void BM_BigStringWrite(benchmark::State& state) {
    const std::wstring text = textOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<WorkingDatabase>();
        state.ResumeTiming();
        CVLKCDictionaryPtr pointer(AcDb::kForWrite);
        benchmark::DoNotOptimize(pointer.dctWriteBigString(kArea, L"text", text.c_str()));
        pointer.close();
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    setCharacters(state, text.size());
}
BENCHMARK(BM_BigStringWrite)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

void BM_BigStringRead(benchmark::State& state) {
    const std::wstring text = textOf(static_cast<std::size_t>(state.range(0)));
    WorkingDatabase db;
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    pointer.dctWriteBigString(kArea, L"text", text.c_str());
    for (auto _ : state) {
        CString read;
        benchmark::DoNotOptimize(pointer.dctReadBigString(kArea, L"text", read));
        benchmark::DoNotOptimize(read.GetLength());
    }
    setCharacters(state, text.size());
}
BENCHMARK(BM_BigStringRead)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Write and read back in one round, the client's view of keeping a text.
void BM_BigStringWriteRead(benchmark::State& state) {
    const std::wstring text = textOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto db = std::make_unique<WorkingDatabase>();
        state.ResumeTiming();
        CVLKCDictionaryPtr pointer(AcDb::kForWrite);
        pointer.dctWriteBigString(kArea, L"text", text.c_str());
        CString read;
        benchmark::DoNotOptimize(pointer.dctReadBigString(kArea, L"text", read));
        pointer.close();
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    setCharacters(state, text.size());
}
BENCHMARK(BM_BigStringWriteRead)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Copying the text into a buffer kept between rounds: the memory traffic alone.
void BM_PeerTextCopy(benchmark::State& state) {
    const std::wstring text = textOf(static_cast<std::size_t>(state.range(0)));
    std::wstring copy;
    for (auto _ : state) {
        copy.assign(text);
        benchmark::DoNotOptimize(copy.data());
    }
    setCharacters(state, text.size());
}
BENCHMARK(BM_PeerTextCopy)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Copying the text into memory of its own each round, as any store that keeps the text does:
// the memory traffic with the system's cost of handing out fresh pages.
void BM_PeerTextCopyFresh(benchmark::State& state) {
    const std::wstring text = textOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::wstring copy(text);
        benchmark::DoNotOptimize(copy.data());
    }
    setCharacters(state, text.size());
}
BENCHMARK(BM_PeerTextCopyFresh)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

std::wstring recordName(int index) {
    return L"record_" + std::to_wstring(100000 + index);
}

// A working database whose area holds `size` one-integer records.
struct Records {
    explicit Records(int size) : pointer(AcDb::kForWrite) {
        for (int i = 0; i < size; ++i) {
            names.push_back(recordName(i));
            pointer.dctWrite(kArea, names.back().c_str(), i);
        }
        last = std::to_wstring(100000 + size - 1);
    }

    WorkingDatabase db;
    CVLKCDictionaryPtr pointer;
    std::vector<std::wstring> names;
    std::wstring last;  // contained in the last record's name only
};

void setRecords(benchmark::State& state) {
    state.counters["ns_per_record"] =
        benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_PartialKeyRead(benchmark::State& state) {
    Records records(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int value = 0;
        benchmark::DoNotOptimize(records.pointer.dctRead(kArea, records.last.c_str(), value, true));
        benchmark::DoNotOptimize(value);
    }
    setRecords(state);
}
BENCHMARK(BM_PartialKeyRead)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond);

void BM_ExactKeyRead(benchmark::State& state) {
    Records records(static_cast<int>(state.range(0)));
    const std::wstring key = records.names.back();
    for (auto _ : state) {
        int value = 0;
        benchmark::DoNotOptimize(records.pointer.dctRead(kArea, key.c_str(), value, false));
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ExactKeyRead)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond);

void BM_PeerVectorScan(benchmark::State& state) {
    std::vector<std::wstring> names;
    for (int i = 0; i < state.range(0); ++i) {
        names.push_back(recordName(i));
    }
    const std::wstring last = std::to_wstring(100000 + state.range(0) - 1);
    for (auto _ : state) {
        std::size_t found = names.size();
        for (std::size_t i = 0; i < names.size() && found == names.size(); ++i) {
            found = names[i].find(last) != std::wstring::npos ? i : found;
        }
        benchmark::DoNotOptimize(found);
    }
    setRecords(state);
}
BENCHMARK(BM_PeerVectorScan)->Arg(1'000)->Arg(10'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
