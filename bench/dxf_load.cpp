// Loading a drawing file of about 1,000,000 lines: 10,000 entities (lightweight polylines), each
// with XData and an extension dictionary holding an Xrecord, written by the host. Peers in the
// same run: a plain pass that splits the same bytes into lines (the floor), and ezdxf reading
// the same file (/usr/bin/python3, timed inside the interpreter, once). All three are timed in
// processor time, so that other work on the machine does not skew the ratios. Counters: lines/s,
// and the ratios x_faster_than_ezdxf (target >= 50) and x_slower_than_split (target <= 10).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/support/dxf_bench_drawing.h"
#include "host/db/database.h"
#include "platform/utf8.h"

namespace {

using dxfbench::processSeconds;

// Removes the benchmark file when the process ends.
struct RemoveAtExit {
    std::string path;
    ~RemoveAtExit() { std::filesystem::remove(path); }
};

// The benchmark file, written once per process.
const std::string& benchFile() {
    static const RemoveAtExit file{[] {
        const std::string file = (std::filesystem::temp_directory_path() /
                                  ("kestrel_bench_dxf_load_" + std::to_string(getpid()) + ".dxf"))
                                     .string();
        AcDbDatabase db(true, true);
        dxfbench::fillDrawing(db, 4);  // about 1,000,000 lines
        if (db.saveAs(utf8ToWide(file).c_str()) != Acad::eOk) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::abort();
        }
        return file;
    }()};
    return file.path;
}

std::string fileBytes() {
    std::ifstream in(benchFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file's lines, as views into bytes.
std::vector<std::string_view> splitLines(const std::string& bytes) {
    std::vector<std::string_view> lines;
    lines.reserve(bytes.size() / 8);
    const char* pos = bytes.data();
    const char* end = pos + bytes.size();
    while (pos < end) {
        const auto* newline = static_cast<const char*>(std::memchr(pos, '\n', end - pos));
        const char* lineEnd = newline != nullptr ? newline : end;
        lines.emplace_back(pos, static_cast<std::size_t>(lineEnd - pos));
        pos = lineEnd + 1;
    }
    return lines;
}

std::size_t lineCount() {
    static const std::size_t count = splitLines(fileBytes()).size();
    return count;
}

// Seconds of one load: the file read and split into lines.
double plainSeconds() {
    static const double seconds = [] {
        double best = 1e9;
        for (int i = 0; i < 5; ++i) {
            const double start = processSeconds();
            const std::string bytes = fileBytes();
            benchmark::DoNotOptimize(splitLines(bytes).size());
            best = std::min(best, processSeconds() - start);
        }
        return best;
    }();
    return seconds;
}

// Seconds ezdxf takes to read the file, or 0 when it cannot run.
double ezdxfSeconds() {
    static const double seconds = [] {
        return dxfbench::pythonSeconds(
            "import time, ezdxf; t = time.process_time(); ezdxf.readfile('" + benchFile() +
            "'); print(time.process_time() - t)");
    }();
    return seconds;
}

void BM_DxfLoad(benchmark::State& state) {
    const std::wstring path = utf8ToWide(benchFile());
    const double seconds = dxfbench::timedLoads(state, path);
    if (seconds < 0.0) {
        return;
    }
    const double perLoad = seconds / static_cast<double>(state.iterations());
    state.counters["lines"] = static_cast<double>(lineCount());
    state.counters["lines/s"] = static_cast<double>(lineCount()) / perLoad;
    state.counters["x_slower_than_split"] = perLoad / plainSeconds();
    if (ezdxfSeconds() > 0.0) {
        state.counters["x_faster_than_ezdxf"] = ezdxfSeconds() / perLoad;
    }
}
BENCHMARK(BM_DxfLoad)->Unit(benchmark::kMillisecond);

void BM_PlainLineSplit(benchmark::State& state) {
    for (auto _ : state) {
        const std::string bytes = fileBytes();
        benchmark::DoNotOptimize(splitLines(bytes).size());
    }
    state.counters["lines/s"] = benchmark::Counter(
        static_cast<double>(lineCount()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PlainLineSplit)->Unit(benchmark::kMillisecond);

void BM_EzdxfLoad(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(ezdxfSeconds());
    }
    if (ezdxfSeconds() <= 0.0) {
        state.SkipWithError("ezdxf did not run");
    }
}
BENCHMARK(BM_EzdxfLoad)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
