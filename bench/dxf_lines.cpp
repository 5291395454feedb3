// Saving and loading a drawing of 1,000,000 lines (LINE entities). Peers in the same run: ezdxf
// loading the file the host saved and saving it again (/usr/bin/python3, timed inside the
// interpreter, once each); DIME writing a model of the same lines built in memory
// (dimeModel::write) and dxflib writing as many lines with its writer; dxflib and DIME reading
// the file the host saved. Floors: the bytes of the host's file written from memory (save), the
// file mapped and split into lines (load). Each reports the least processor seconds of one run
// (cpu_seconds, timeRuns); loaded documents are destroyed outside the timing. Counters of the
// host's save: entities/s and x_faster_than_ezdxf; its load: BM_DxfLoad/lines
// (dxf_load_benchmarks.h).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/support/dxf_bench_files.h"
#include "bench/support/dxf_bench_timing.h"
#include "bench/support/dxf_load_benchmarks.h"
#include "bench/support/dxf_peer_libraries.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/sample_drawings.h"
#include "kestrel/platform/utf8.h"

namespace {

using namespace dxfbench;

constexpr int kLines = 1000000;
// Iterations of each benchmark but dxflib's save, which takes some 20 seconds and has no target:
// the least time of one run is taken from as many runs on every side.
constexpr int kRuns = 3;

AcDbDatabase& benchDrawing() {
    static const std::unique_ptr<AcDbDatabase> db = [] {
        auto built = std::make_unique<AcDbDatabase>(true, true);
        host::addSampleLines(*built, kLines);
        return built;
    }();
    return *db;
}

RunResult saveWithHost(const std::string& path) {
    if (benchDrawing().saveAs(utf8ToWide(path).c_str()) != Acad::eOk) {
        return {nullptr, "the drawing does not save"};
    }
    return {};
}

// The file the host saved, written once per process and removed at its end.
const std::string& benchFile() {
    static const TempFile file(
        "dxf_lines_host", [](const std::string& path) { return saveWithHost(path).error.empty(); });
    return file.path();
}

// ezdxf's seconds to load the file (first) and to save it again (second), in one run; 0 when it
// cannot run.
std::pair<double, double> ezdxfSeconds() {
    static const std::pair<double, double> seconds = [] {
        const std::string target = TempFile::pathFor("dxf_lines_ezdxf");
        const std::vector<double> values = pythonSeconds(
            "import time, ezdxf; t = time.process_time(); doc = ezdxf.readfile('" + benchFile() +
                "'); print(time.process_time() - t); t = time.process_time(); doc.saveas('" +
                target + "'); print(time.process_time() - t)",
            2);
        std::filesystem::remove(target);
        return std::make_pair(values[0], values[1]);
    }();
    return seconds;
}

// Times save once per iteration of state, writing to a temporary file removed afterwards; counter
// bytes: the size of the file.
template <class Save>
bool timeSaves(benchmark::State& state, const char* what, Save save) {
    const std::string path = TempFile::pathFor(what);
    const bool saved = timeRuns(state, [&] { return save(path); });
    if (saved) {
        state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    }
    std::filesystem::remove(path);
    return saved;
}

void BM_DxfSaveLines(benchmark::State& state) {
    if (!timeSaves(state, "dxf_lines_saveas", saveWithHost)) {
        return;
    }
    const double perSave = state.counters["cpu_seconds"];
    state.counters["entities/s"] = kLines / perSave;
    if (ezdxfSeconds().second > 0.0) {
        state.counters["x_faster_than_ezdxf"] = ezdxfSeconds().second / perSave;
    }
}
BENCHMARK(BM_DxfSaveLines)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

void BM_DimeSaveLines(benchmark::State& state) {
    const std::shared_ptr<dimeModel> model = dimeLineModel(kLines);
    timeSaves(state, "dxf_lines_dime",
              [&](const std::string& path) { return saveWithDime(*model, path); });
}
BENCHMARK(BM_DimeSaveLines)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

void BM_DxflibSaveLines(benchmark::State& state) {
    timeSaves(state, "dxf_lines_dxflib",
              [](const std::string& path) { return saveLinesWithDxflib(kLines, path); });
}
BENCHMARK(BM_DxflibSaveLines)->Iterations(1)->Unit(benchmark::kMillisecond);

// The floor: the bytes of the host's file written from memory.
void BM_PlainWriteLines(benchmark::State& state) {
    const std::string bytes = fileBytes(benchFile());
    timeSaves(state, "dxf_lines_plain",
              [&](const std::string& path) { return writeBytes(bytes, path); });
}
BENCHMARK(BM_PlainWriteLines)->Iterations(kRuns)->Unit(benchmark::kMillisecond);

double ezdxfLoadSeconds() {
    return ezdxfSeconds().first;
}

void registerLoadsOfLines() {
    registerLoads(
        {.name = "lines", .path = benchFile, .runs = kRuns, .ezdxfSeconds = ezdxfLoadSeconds});
}

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, registerLoadsOfLines);
}
