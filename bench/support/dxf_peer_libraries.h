// The C++ DXF libraries the drawing-file benchmarks measure the host against, one run each as
// timeRuns takes it: dxflib (a streaming reader that reports what it reads to an application
// class, and a writer) and DIME (a document model that reads and writes whole files). Linked into
// the bench programs only.
#pragma once

#include <memory>
#include <string>

#include "bench/support/dxf_bench_timing.h"

class dimeModel;

namespace dxfbench {

// Reads the ASCII file at path with dxflib into an application class that keeps every entity,
// XData item, Xrecord value and dictionary entry it is given (the result's made).
RunResult loadWithDxflib(const std::string& path);
// Reads the file at path into a DIME model (the result's made); the error holds what DIME printed
// about it.
RunResult loadWithDime(const std::string& path);

// Writes a file of count LINE entities (host::sampleLine) with dxflib, with the header, tables and
// blocks dxflib's documentation writes.
RunResult saveLinesWithDxflib(int count, const std::string& path);
// A DIME model of count LINE entities (host::sampleLine); never null.
std::shared_ptr<dimeModel> dimeLineModel(int count);
// Writes model to path with DIME.
RunResult saveWithDime(dimeModel& model, const std::string& path);

}  // namespace dxfbench
