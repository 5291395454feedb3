// Shared by the drawing-file benchmarks: the loads of one file they register (the host, the floor,
// dxflib and DIME), each timed by timeRuns, so that every file is measured the same way.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>

#include "bench/support/dxf_bench_files.h"
#include "bench/support/dxf_bench_timing.h"
#include "bench/support/dxf_peer_libraries.h"
#include "host/db/database.h"
#include "host/dxf/file_message.h"
#include "platform/utf8.h"

namespace dxfbench {

// Reads the file at path into a new database (the result's made).
inline RunResult loadWithHost(const std::string& path) {
    auto db = std::make_shared<AcDbDatabase>(false, true);
    if (db->readDwgFile(utf8ToWide(path).c_str()) != Acad::eOk) {
        return {nullptr,
                "the host cannot read the file: " + wideToUtf8(host::lastDrawingFileMessage())};
    }
    return {db, {}};
}

// A file the load benchmarks read, made on first use by path.
struct LoadFile {
    std::string name;  // in the benchmark names: BM_DxfLoad/<name>
    std::function<const std::string&()> path;
    bool peers = true;  // whether dxflib and DIME read it too (ASCII files)
    // A peer timed outside the process: its seconds for one load of the file, 0 when it did not
    // run; BM_DxfLoad/<name> reports x_faster_than_ezdxf.
    std::function<double()> ezdxfSeconds = {};
};

// Registers benchmark name, timing run on the file of path.
inline benchmark::internal::Benchmark* registerRun(
    const std::string& name, const std::function<const std::string&()>& path,
    const std::function<RunResult(const std::string&)>& run) {
    return benchmark::RegisterBenchmark(name.c_str(),
                                        [path, run](benchmark::State& state) {
                                            const std::string& file = path();
                                            timeRuns(state, [&] { return run(file); });
                                        })
        ->Unit(benchmark::kMillisecond);
}

// Sets items (group code and value pairs) and items/s of a timed load of the file at path.
inline void setItemCounters(benchmark::State& state, const std::string& path) {
    const FileParts parts = splitFile(path);
    const double items = static_cast<double>(parts.count) / (parts.binary ? 1 : 2);
    state.counters["items"] = items;
    state.counters["items/s"] = items / state.counters["cpu_seconds"];
}

// Registers BM_DxfLoad/<name> (the host), BM_PlainSplit/<name> (the floor, readAndSplit), and
// with file.peers BM_DxflibLoad/<name> and BM_DimeLoad/<name>.
inline void registerLoads(const LoadFile& file) {
    benchmark::RegisterBenchmark(("BM_DxfLoad/" + file.name).c_str(), [file](
                                                                          benchmark::State& state) {
        const std::string& path = file.path();
        if (!timeRuns(state, [&] { return loadWithHost(path); })) {
            return;
        }
        setItemCounters(state, path);
        const double ezdxf = file.ezdxfSeconds ? file.ezdxfSeconds() : 0.0;
        if (ezdxf > 0.0) {
            state.counters["x_faster_than_ezdxf"] = ezdxf / state.counters["cpu_seconds"];
        }
    })->Unit(benchmark::kMillisecond);
    registerRun("BM_PlainSplit/" + file.name, file.path, readAndSplit);
    if (file.peers) {
        registerRun("BM_DxflibLoad/" + file.name, file.path, loadWithDxflib);
        registerRun("BM_DimeLoad/" + file.name, file.path, loadWithDime);
    }
}

// The main of a bench program that registers benchmarks at run time: registerAll, then what
// BENCHMARK_MAIN does.
inline int runBenchmarks(int argc, char** argv, const std::function<void()>& registerAll) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace dxfbench
