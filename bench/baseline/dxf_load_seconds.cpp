// Times the host's DXF reader the way bench_dxf_load does, as a program of its own, so that the
// same source can be built against another commit's host (bench/baseline/build_reader.sh) and
// both readers load one file in one benchmark run.
// usage: dxf_load_seconds FILE LOADS; prints the least processor seconds of one load among LOADS
// (other work on a busy machine only adds time), after one untimed load that warms the file cache
// and the allocator. Exit status 1 when the file does not read.
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

#include "kestrel/host/db/database.h"
#include "kestrel/platform/utf8.h"

namespace {

double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The processor seconds of making a database and reading path into it (the database is
// destroyed outside the timing), or a negative value when it does not read.
double loadSeconds(const std::wstring& path) {
    const double start = processSeconds();
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (db->readDwgFile(path.c_str()) != Acad::eOk) {
        return -1.0;
    }
    return processSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: dxf_load_seconds FILE LOADS\n");
        return 2;
    }
    const std::wstring path = utf8ToWide(argv[1]);
    const int loads = std::atoi(argv[2]);
    double least = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= loads; ++i) {
        const double seconds = loadSeconds(path);
        if (seconds < 0.0) {
            std::fprintf(stderr, "%s does not read\n", argv[1]);
            return 1;
        }
        if (i > 0) {  // load 0 only warms up
            least = std::min(least, seconds);
        }
    }
    std::printf("%.9f\n", least);
    return 0;
}
