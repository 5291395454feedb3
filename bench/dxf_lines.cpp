// Saving and loading a drawing of 1,000,000 lines (LINE entities). Peer in the same run: ezdxf
// loading the file the host saved and saving it again (/usr/bin/python3, timed inside the
// interpreter, once each). Processor time on both sides. Counters: entities/s and the ratios
// x_faster_than_ezdxf (target >= 50 both ways).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "bench/support/dxf_bench_drawing.h"
#include "host/db/database.h"
#include "platform/utf8.h"

namespace {

using dxfbench::processSeconds;

constexpr int kLines = 1000000;

std::string benchPath(const char* what) {
    return (std::filesystem::temp_directory_path() /
            ("kestrel_bench_dxf_lines_" + std::string(what) + std::to_string(getpid()) + ".dxf"))
        .string();
}

AcDbDatabase& benchDrawing() {
    static const std::unique_ptr<AcDbDatabase> db = [] {
        auto built = std::make_unique<AcDbDatabase>(true, true);
        dxfbench::fillLines(*built, kLines);
        return built;
    }();
    return *db;
}

// The file the host saved, written once per process and removed at its end.
const std::string& benchFile() {
    struct RemoveAtExit {
        std::string path;
        ~RemoveAtExit() { std::filesystem::remove(path); }
    };
    static const RemoveAtExit file{[] {
        const std::string path = benchPath("host");
        if (benchDrawing().saveAs(utf8ToWide(path).c_str()) != Acad::eOk) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::abort();
        }
        return path;
    }()};
    return file.path;
}

// ezdxf's seconds to load the file (first) and to save it again (second); 0 when it cannot run.
std::pair<double, double> ezdxfSeconds() {
    static const std::pair<double, double> seconds = [] {
        const std::string target = benchPath("ezdxf");
        const double load = dxfbench::pythonSeconds(
            "import time, ezdxf; t = time.process_time(); doc = ezdxf.readfile('" + benchFile() +
            "'); print(time.process_time() - t)");
        const double save =
            dxfbench::pythonSeconds("import time, ezdxf; doc = ezdxf.readfile('" + benchFile() +
                                    "'); t = time.process_time(); doc.saveas('" + target +
                                    "'); print(time.process_time() - t)");
        std::filesystem::remove(target);
        return std::make_pair(load, save);
    }();
    return seconds;
}

void setCounters(benchmark::State& state, double seconds, double peerSeconds) {
    const double perRun = seconds / static_cast<double>(state.iterations());
    state.counters["entities/s"] = kLines / perRun;
    if (peerSeconds > 0.0) {
        state.counters["x_faster_than_ezdxf"] = peerSeconds / perRun;
    }
}

void BM_DxfSaveLines(benchmark::State& state) {
    const std::wstring path = utf8ToWide(benchPath("saveas"));
    double seconds = 0.0;
    for (auto _ : state) {
        const double start = processSeconds();
        if (benchDrawing().saveAs(path.c_str()) != Acad::eOk) {
            state.SkipWithError("the drawing does not save");
            return;
        }
        seconds += processSeconds() - start;
    }
    std::filesystem::remove(wideToUtf8(path));
    setCounters(state, seconds, ezdxfSeconds().second);
}
BENCHMARK(BM_DxfSaveLines)->Unit(benchmark::kMillisecond);

void BM_DxfLoadLines(benchmark::State& state) {
    const std::wstring path = utf8ToWide(benchFile());
    const double seconds = dxfbench::timedLoads(state, path);
    if (seconds < 0.0) {
        return;
    }
    setCounters(state, seconds, ezdxfSeconds().first);
}
BENCHMARK(BM_DxfLoadLines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
