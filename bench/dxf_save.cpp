// Saving a drawing of about 1,000,000 lines: 10,000 entities (lightweight polylines), each with
// XData and an extension dictionary holding an Xrecord with a binary chunk. Measured: the text
// made in memory (writeDrawing) and the whole saveAs (text streamed to a temporary file, rename).
// Peers in the same run: a plain pass that formats the same count of numbers with snprintf into a
// buffer (the floor of any text writer), and ezdxf saving the same drawing (/usr/bin/python3: the
// file is read first, then doc.saveas is timed inside the interpreter, best of three). Times are
// the process's CPU time on both sides, so that a busy machine does not tilt the ratio. Counters:
// lines/s (target >= 1,250,000) and x_faster_than_ezdxf (target >= 50).
// Then saving 1,000,000 LINE entities (BM_DxfSaveMillionLines) against DIME writing a model of
// the same lines (BM_DimeSaveMillionLines) and the floor, the bytes of our file written from
// memory (BM_PlainWriteMillionLines); BM_DxfPlanMillionLines is the writer's first pass alone
// (what the header needs, no text). Each reports cpu_seconds, the least processor seconds of one
// run, and the save's memory: save_growth_mb, the growth of the process's peak resident memory
// during one save, and footprint_mb, that plus what the drawing or model being saved took.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/support/dxf_bench_files.h"
#include "bench/support/dxf_bench_timing.h"
#include "bench/support/dxf_peer_libraries.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/dxf_writer.h"
#include "kestrel/host/sample_drawings.h"
#include "kestrel/platform/utf8.h"

namespace {

using dxfbench::processSeconds;

// The benchmark drawing, built once per process.
AcDbDatabase& benchDrawing() {
    static const std::unique_ptr<AcDbDatabase> db = [] {
        auto built = std::make_unique<AcDbDatabase>(true, true);
        host::addSamplePolylines(*built, 10000, 2);  // about 1,000,000 lines
        return built;
    }();
    return *db;
}

std::string benchPath(const char* what) {
    return dxfbench::TempFile::pathFor(std::string("dxf_save_") + what);
}

// Lines of the drawing's text.
std::size_t lineCount() {
    static const std::size_t count = [] {
        std::string text;
        return host::dxf::writeDrawing(&benchDrawing(), text).lines;
    }();
    return count;
}

// Seconds ezdxf takes to save the drawing (best of three), or 0 when it cannot run.
double ezdxfSeconds() {
    static const double seconds = [] {
        const std::string source = benchPath("host");
        const std::string target = benchPath("ezdxf");
        if (benchDrawing().saveAs(utf8ToWide(source).c_str()) != Acad::eOk) {
            return 0.0;
        }
        const double value =
            dxfbench::pythonSeconds(
                "import time, ezdxf; doc = ezdxf.readfile('" + source +
                "'); best = 1e9\nfor _ in range(3):\n t = time.process_time(); doc.saveas('" +
                target + "'); best = min(best, time.process_time() - t)\nprint(best)")
                .front();
        std::filesystem::remove(source);
        std::filesystem::remove(target);
        return value;
    }();
    return seconds;
}

void setCounters(benchmark::State& state, double seconds) {
    const double perSave = seconds / static_cast<double>(state.iterations());
    state.counters["lines"] = static_cast<double>(lineCount());
    state.counters["lines/s"] = static_cast<double>(lineCount()) / perSave;
    if (ezdxfSeconds() > 0.0) {
        state.counters["x_faster_than_ezdxf"] = ezdxfSeconds() / perSave;
    }
}

void BM_DxfWriteText(benchmark::State& state) {
    AcDbDatabase& db = benchDrawing();
    double seconds = 0.0;
    for (auto _ : state) {
        std::string text;
        const double start = processSeconds();
        const host::dxf::WriteResult result = host::dxf::writeDrawing(&db, text);
        seconds += processSeconds() - start;
        if (result.status != Acad::eOk) {
            state.SkipWithError("the drawing does not write");
            return;
        }
        benchmark::DoNotOptimize(text.data());
    }
    setCounters(state, seconds);
}
BENCHMARK(BM_DxfWriteText)->Unit(benchmark::kMillisecond);

void BM_DxfSaveAs(benchmark::State& state) {
    AcDbDatabase& db = benchDrawing();
    const std::wstring path = utf8ToWide(benchPath("saveas"));
    double seconds = 0.0;
    for (auto _ : state) {
        const double start = processSeconds();
        if (db.saveAs(path.c_str()) != Acad::eOk) {
            state.SkipWithError("the drawing does not save");
            return;
        }
        seconds += processSeconds() - start;
    }
    std::filesystem::remove(wideToUtf8(path));
    setCounters(state, seconds);
}
BENCHMARK(BM_DxfSaveAs)->Unit(benchmark::kMillisecond);

// The floor: formatting as many code and value lines with snprintf into one buffer.
void BM_PlainSnprintfLines(benchmark::State& state) {
    const std::size_t pairs = lineCount() / 2;
    for (auto _ : state) {
        std::string text;
        text.reserve(pairs * 16);
        char line[48];
        for (std::size_t i = 0; i < pairs; ++i) {
            const int n = std::snprintf(line, sizeof line, " 10\n%.17g\n", i * 0.125);
            text.append(line, static_cast<std::size_t>(n));
        }
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["lines/s"] = benchmark::Counter(
        static_cast<double>(lineCount()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainSnprintfLines)->Unit(benchmark::kMillisecond);

void BM_EzdxfSave(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(ezdxfSeconds());
    }
    if (ezdxfSeconds() <= 0.0) {
        state.SkipWithError("ezdxf did not run");
        return;
    }
    state.counters["lines/s"] = static_cast<double>(lineCount()) / ezdxfSeconds();
}
BENCHMARK(BM_EzdxfSave)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

constexpr int kMillionLines = 1000000;
// Runs of each side of the million-line comparisons; the least time of one is taken.
constexpr int kLineRuns = 3;

// A figure of /proc/self/status in kB (VmRSS: resident now, VmHWM: its peak), or 0.
double residentKb(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::atof(line.c_str() + field.size() + 1);
        }
    }
    return 0.0;
}

// Megabytes the peak resident memory grows by while run runs: memory freed earlier is given back
// to the system and the peak reset to the current size first (clear_refs 5, Linux 4.0 on), so
// that what run takes is not hidden in pages an earlier benchmark left resident.
template <class Run>
double peakGrowthMb(Run run) {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
    const double before = residentKb("VmRSS");
    run();
    return (residentKb("VmHWM") - before) / 1024.0;
}

// The million lines and the megabytes building them took.
struct MillionLines {
    std::unique_ptr<AcDbDatabase> db;
    double builtMb = 0.0;
};

const MillionLines& millionLines() {
    static const MillionLines lines = [] {
        MillionLines built;
        built.builtMb = peakGrowthMb([&] {
            built.db = std::make_unique<AcDbDatabase>(true, true);
            host::addSampleLines(*built.db, kMillionLines);
        });
        return built;
    }();
    return lines;
}

dxfbench::RunResult saveMillionLines(const std::string& path) {
    if (millionLines().db->saveAs(utf8ToWide(path).c_str()) != Acad::eOk) {
        return {nullptr, "the drawing does not save"};
    }
    return {};
}

// Times save (of a path) once per iteration, then measures the memory of one more save; the
// temporary file is removed afterwards.
template <class Save>
bool timeLineSaves(benchmark::State& state, const char* what, double builtMb, Save save) {
    const std::string path = benchPath(what);
    bool saved = dxfbench::timeRuns(state, [&] { return save(path); });
    if (saved) {
        state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
        const double growth = peakGrowthMb([&] { saved = save(path).error.empty(); });
        state.counters["save_growth_mb"] = growth;
        state.counters["footprint_mb"] = builtMb + growth;
    }
    std::filesystem::remove(path);
    return saved;
}

void BM_DxfSaveMillionLines(benchmark::State& state) {
    timeLineSaves(state, "million_lines", millionLines().builtMb, saveMillionLines);
}
BENCHMARK(BM_DxfSaveMillionLines)->Iterations(kLineRuns)->Unit(benchmark::kMillisecond);

void BM_DxfPlanMillionLines(benchmark::State& state) {
    dxfbench::timeRuns(state, []() -> dxfbench::RunResult {
        if (host::dxf::planDrawing(millionLines().db.get()).status != Acad::eOk) {
            return {nullptr, "the drawing does not plan"};
        }
        return {};
    });
}
BENCHMARK(BM_DxfPlanMillionLines)->Iterations(kLineRuns)->Unit(benchmark::kMillisecond);

void BM_DimeSaveMillionLines(benchmark::State& state) {
    std::shared_ptr<dimeModel> model;
    const double builtMb =
        peakGrowthMb([&] { model = dxfbench::dimeLineModel(kMillionLines); });
    timeLineSaves(state, "million_lines_dime", builtMb, [&](const std::string& path) {
        return dxfbench::saveWithDime(*model, path);
    });
}
BENCHMARK(BM_DimeSaveMillionLines)->Iterations(kLineRuns)->Unit(benchmark::kMillisecond);

// The floor: the bytes of our file written from memory.
void BM_PlainWriteMillionLines(benchmark::State& state) {
    const std::string path = benchPath("million_lines_source");
    if (!saveMillionLines(path).error.empty()) {
        state.SkipWithError("the drawing does not save");
        return;
    }
    const std::string bytes = dxfbench::fileBytes(path);
    std::filesystem::remove(path);
    timeLineSaves(state, "million_lines_plain", 0.0, [&](const std::string& target) {
        return dxfbench::writeBytes(bytes, target);
    });
}
BENCHMARK(BM_PlainWriteMillionLines)->Iterations(kLineRuns)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
