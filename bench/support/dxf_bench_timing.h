// Shared by the drawing-file benchmarks: the processor clock they time with, the timing of one
// run of ours or of a peer library per benchmark iteration, and the timing of a program run
// apart (a peer in /usr/bin/python3, an earlier build of the host).
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace dxfbench {

// The process's processor time in seconds: other work on the machine does not tilt the ratios.
inline double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// What one timed run leaves: what it made (a loaded document, a text), destroyed once the timing
// has stopped, or the error that stopped it.
struct RunResult {
    std::shared_ptr<void> made;
    std::string error;
};

// Calls run once per iteration of state and sets the counter cpu_seconds to the least processor
// seconds of one call (other work on a busy machine only adds time); what a call made is destroyed
// outside the timing. The first error is reported to state; false then.
template <class Run>
bool timeRuns(benchmark::State& state, Run run) {
    double least = std::numeric_limits<double>::infinity();
    for (auto _ : state) {
        const double start = processSeconds();
        RunResult result = run();
        least = std::min(least, processSeconds() - start);
        if (!result.error.empty()) {
            state.SkipWithError(result.error.c_str());
            return false;
        }
        state.PauseTiming();
        result.made.reset();
        state.ResumeTiming();
    }
    state.counters["cpu_seconds"] = least;
    return true;
}

// Runs a shell command that prints numbers of seconds; the first count of them, or zeros when it
// cannot run or prints fewer.
inline std::vector<double> commandSeconds(const std::string& command, int count = 1) {
    std::vector<double> values(static_cast<std::size_t>(count), 0.0);
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return values;
    }
    int read = 0;
    while (read < count && std::fscanf(pipe, "%lf", &values[static_cast<std::size_t>(read)]) == 1) {
        ++read;
    }
    if (pclose(pipe) != 0 || read < count) {
        std::fill(values.begin(), values.end(), 0.0);
    }
    return values;
}

// Runs a Python program that prints numbers of seconds; as commandSeconds.
inline std::vector<double> pythonSeconds(const std::string& program, int count = 1) {
    return commandSeconds("/usr/bin/python3 -c \"" + program + "\" 2>/dev/null", count);
}

}  // namespace dxfbench
