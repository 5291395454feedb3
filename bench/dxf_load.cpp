// Loading drawing files of about 1,000,000 lines with the host, against floors and peers measured
// in the same run. The files, temporary and written once per process:
// - plain: 10,000 lightweight polylines, each with XData and an extension dictionary holding an
//   Xrecord (host::addSamplePolylines), written by the host (release 2010, ASCII);
// - r12 and binary: ezdxf's copies of plain as release 12 (without the objects that release
//   lacks) and as binary DXF (bench/support/dxf_other_releases.py);
// - the shapes of drawings in long use (host::kSampleShapes): plain with handles far apart, high
//   or in runs, with many binary chunks, with long XData; written by the host.
// Each file has BM_DxfLoad/<file> (the host) and BM_PlainSplit/<file> (the floor: the file mapped
// and split into lines, or into the items of a binary file); the files the host writes also
// BM_DxflibLoad and BM_DimeLoad. Each reports the least processor seconds of one load
// (cpu_seconds, timeRuns).
// BM_EzdxfLoad: ezdxf reading plain (/usr/bin/python3, timed inside the interpreter, once).
// BM_DxfLoadBeforeRewrite: the reader of today and the reader before its rewrite to every release
// (built by scripts/bench.sh, which names the commit) load plain in turn through the same timing
// program, bench/baseline/dxf_load_seconds.cpp, five loads a turn for five turns;
// x_slower_than_before is today's least seconds of a load over before's (other work on a busy
// machine only adds time, and alternating spreads it over both).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/dxf_bench_files.h"
#include "bench/support/dxf_bench_timing.h"
#include "bench/support/dxf_load_benchmarks.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/sample_drawings.h"
#include "kestrel/platform/utf8.h"

namespace {

using namespace dxfbench;

// Writes a drawing of shape to path with the host.
bool saveDrawing(const host::SampleShape& shape, const std::string& path) {
    AcDbDatabase db(true, true);
    host::addSamplePolylines(db, 10000, 4, shape);  // about 1,000,000 lines
    return db.saveAs(utf8ToWide(path).c_str()) == Acad::eOk;
}

const std::string& plainFile() {
    static const TempFile file("dxf_load_plain",
                               [](const std::string& path) { return saveDrawing({}, path); });
    return file.path();
}

// The name of a shape in benchmark and file names: spaces become underscores.
std::string benchName(const char* name) {
    std::string text(name);
    std::replace(text.begin(), text.end(), ' ', '_');
    return text;
}

// The file of host::kSampleShapes[index], written on first use.
const std::string& shapeFile(std::size_t index) {
    static std::unique_ptr<TempFile> files[std::size(host::kSampleShapes)];
    if (!files[index]) {
        files[index] = std::make_unique<TempFile>(
            "dxf_load_" + benchName(host::kSampleShapes[index].name),
            [index](const std::string& path) { return saveDrawing(host::kSampleShapes[index], path); });
    }
    return files[index]->path();
}

// ezdxf's copies of plain, made by one run of bench/support/dxf_other_releases.py.
struct OtherReleases {
    TempFile r12{"dxf_load_r12", [](const std::string& path) {
                     const std::string command =
                         "/usr/bin/python3 " KESTREL_BENCH_DIR "/support/dxf_other_releases.py " +
                         plainFile() + " " + path + " " + TempFile::pathFor("dxf_load_binary") +
                         " >/dev/null";
                     return std::system(command.c_str()) == 0;
                 }};
    TempFile binary{"dxf_load_binary",
                    [](const std::string& path) { return std::filesystem::exists(path); }};
};

const OtherReleases& otherReleases() {
    static const OtherReleases files;
    return files;
}

// Seconds ezdxf takes to read plain, or 0 when it cannot run.
double ezdxfSeconds() {
    static const double seconds =
        pythonSeconds("import time, ezdxf; t = time.process_time(); ezdxf.readfile('" +
                      plainFile() + "'); print(time.process_time() - t)")
            .front();
    return seconds;
}

const std::string& r12File() {
    return otherReleases().r12.path();
}
const std::string& binaryFile() {
    return otherReleases().binary.path();
}

void registerFiles() {
    registerLoads({.name = "plain", .path = plainFile, .ezdxfSeconds = ezdxfSeconds});
    registerLoads({.name = "r12", .path = r12File, .peers = false});
    registerLoads({.name = "binary", .path = binaryFile, .peers = false});
    for (std::size_t i = 0; i < std::size(host::kSampleShapes); ++i) {
        registerLoads({.name = benchName(host::kSampleShapes[i].name),
                       .path = [i]() -> const std::string& { return shapeFile(i); }});
    }
}

void BM_EzdxfLoad(benchmark::State& state) {
    for (auto _ : state) {
        state.SetIterationTime(ezdxfSeconds());
    }
    if (ezdxfSeconds() <= 0.0) {
        state.SkipWithError("ezdxf did not run");
    }
}
BENCHMARK(BM_EzdxfLoad)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Seconds per load of plain by a build of bench/baseline/dxf_load_seconds.cpp, or 0.
double loaderSeconds(const std::string& program) {
    return commandSeconds("'" + program + "' '" + plainFile() + "' 5").front();
}

double least(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

void BM_DxfLoadBeforeRewrite(benchmark::State& state) {
    const char* before = std::getenv("KESTREL_READER_BEFORE_REWRITE");
    if (before == nullptr) {
        state.SkipWithError("KESTREL_READER_BEFORE_REWRITE is not set (scripts/bench.sh sets it)");
        return;
    }
    std::vector<double> thenSeconds;
    std::vector<double> nowSeconds;
    for (auto _ : state) {
        thenSeconds.push_back(loaderSeconds(before));
        nowSeconds.push_back(loaderSeconds(KESTREL_DXF_LOAD_SECONDS));
        state.SetIterationTime(thenSeconds.back() + nowSeconds.back());
    }
    if (least(thenSeconds) <= 0.0 || least(nowSeconds) <= 0.0) {
        state.SkipWithError("a timing program did not run or did not read the file");
        return;
    }
    state.counters["before_seconds"] = least(thenSeconds);
    state.counters["now_seconds"] = least(nowSeconds);
    state.counters["x_slower_than_before"] = least(nowSeconds) / least(thenSeconds);
}
BENCHMARK(BM_DxfLoadBeforeRewrite)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, registerFiles);
}
