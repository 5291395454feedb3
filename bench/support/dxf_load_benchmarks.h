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
#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/platform/utf8.h"

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
    // Iterations of each of its benchmarks, the same for all, so that the least time of one run
    // is taken from as many runs on every side.
    int runs = 5;
    // A peer timed outside the process: its seconds for one load of the file, 0 when it did not
    // run; BM_DxfLoad/<name> reports x_faster_than_ezdxf.
    std::function<double()> ezdxfSeconds = {};
};

// Times the host loading file (loadWithHost); counters items (group code and value pairs),
// items/s and, with file.ezdxfSeconds, x_faster_than_ezdxf.
inline void timeHostLoads(benchmark::State& state, const LoadFile& file) {
    const std::string& path = file.path();
    if (!timeRuns(state, [&] { return loadWithHost(path); })) {
        return;
    }
    const FileParts parts = splitFile(path);
    const double seconds = state.counters["cpu_seconds"];
    const double items = static_cast<double>(parts.count) / (parts.binary ? 1 : 2);
    state.counters["items"] = items;
    state.counters["items/s"] = items / seconds;
    const double ezdxf = file.ezdxfSeconds ? file.ezdxfSeconds() : 0.0;
    if (ezdxf > 0.0) {
        state.counters["x_faster_than_ezdxf"] = ezdxf / seconds;
    }
}

// Times run on file.
inline void timeFileRuns(benchmark::State& state, const LoadFile& file,
                         RunResult (*run)(const std::string&)) {
    const std::string& path = file.path();
    timeRuns(state, [&] { return run(path); });
}

// Registers BM_DxfLoad/<name> (the host), BM_PlainSplit/<name> (the floor, readAndSplit), and
// with file.peers BM_DxflibLoad/<name> and BM_DimeLoad/<name>, file.runs iterations each.
inline void registerLoads(const LoadFile& file) {
    const auto registerRun = [&file](const std::string& kind,
                                     RunResult (*run)(const std::string&)) {
        benchmark::RegisterBenchmark(("BM_" + kind + "/" + file.name).c_str(), timeFileRuns, file,
                                     run)
            ->Iterations(file.runs)
            ->Unit(benchmark::kMillisecond);
    };
    benchmark::RegisterBenchmark(("BM_DxfLoad/" + file.name).c_str(), timeHostLoads, file)
        ->Iterations(file.runs)
        ->Unit(benchmark::kMillisecond);
    registerRun("PlainSplit", readAndSplit);
    if (file.peers) {
        registerRun("DxflibLoad", loadWithDxflib);
        registerRun("DimeLoad", loadWithDime);
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
