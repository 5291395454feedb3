// Shared by the drawing-file benchmarks: the processor clock they time with, the drawings they save
// and load (lightweight polylines, each with XData and an extension dictionary holding an Xrecord
// with a binary chunk; plain lines), and the timing of a peer run in /usr/bin/python3.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <memory>
#include <string>

#include "host/db/block_table.h"
#include "host/db/database.h"
#include "host/db/dictionary.h"
#include "host/db/entities/line.h"
#include "host/db/entities/polyline.h"
#include "host/db/open.h"
#include "host/db/regapp_table.h"
#include "host/db/resbuf.h"
#include "host/db/xrecord.h"

namespace dxfbench {

constexpr int kEntities = 10000;

// The process's processor time in seconds: other work on the machine does not tilt the ratios.
inline double processSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

inline void registerApp(AcDbDatabase& db, const wchar_t* name) {
    AcDbRegAppTable* apps = nullptr;
    acdbOpenObject(apps, db.regAppTableId(), AcDb::kForWrite);
    auto* app = new AcDbRegAppTableRecord();
    app->setName(name);
    apps->add(app);
    app->close();
    apps->close();
}

// Gives entity XData and an extension dictionary with one Xrecord.
inline void decorate(AcDbEntity* entity, int index) {
    resbuf* xdata = acutBuildList(1001, L"KESTREL_BENCH", 1000, L"part", 1070, index % 1000, 1040,
                                  index * 0.5, 0);
    entity->setXData(xdata);
    acutRelRb(xdata);
    entity->createExtensionDictionary();
    AcDbDictionary* dict = nullptr;
    acdbOpenObject(dict, entity->extensionDictionary(), AcDb::kForWrite);
    char bytes[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ads_binary chunk{sizeof bytes, bytes};
    resbuf* data = acutBuildList(1, L"bench data", 40, index * 0.25, 90, static_cast<long>(index),
                                 310, &chunk, 0);
    auto* xrecord = new AcDbXrecord();
    xrecord->setFromRbChain(data);
    acutRelRb(data);
    AcDbObjectId id;
    dict->setAt(L"KESTREL_DATA", xrecord, id);
    xrecord->close();
    dict->close();
}

// Fills db's model space with kEntities decorated polylines of vertices vertices each.
inline void fillDrawing(AcDbDatabase& db, int vertices) {
    registerApp(db, L"KESTREL_BENCH");
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < kEntities; ++i) {
        auto* pline = new AcDbPolyline();
        for (int v = 0; v < vertices; ++v) {
            pline->addVertexAt(static_cast<unsigned>(v), AcGePoint2d(i + v * 0.125, v * 0.5),
                               v % 3 == 0 ? 0.25 : 0.0);
        }
        space->appendAcDbEntity(pline);
        decorate(pline, i);
        pline->close();
    }
    space->close();
}

// Fills db's model space with count lines, each from a point of a grid to its neighbour.
inline void fillLines(AcDbDatabase& db, int count) {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < count; ++i) {
        const AcGePoint3d start(i % 1000, i / 1000, 0.0);
        auto* line = new AcDbLine(start, start + AcGeVector3d(0.75, 0.5, 0.0));
        space->appendAcDbEntity(line);
        line->close();
    }
    space->close();
}

// Runs a Python program that prints a number of seconds; that number, or 0 when it cannot run.
inline double pythonSeconds(const std::string& program) {
    const std::string command = "/usr/bin/python3 -c \"" + program + "\" 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    double value = 0.0;
    if (pipe != nullptr) {
        if (std::fscanf(pipe, "%lf", &value) != 1) {
            value = 0.0;
        }
        pclose(pipe);
    }
    return value;
}

// Reads the file at path into a new database per iteration of state; the processor seconds of the
// reads alone (each database is destroyed outside the timing), or a negative value after
// reporting an error to state.
inline double timedLoads(benchmark::State& state, const std::wstring& path) {
    double seconds = 0.0;
    for (auto _ : state) {
        auto db = std::make_unique<AcDbDatabase>(false, true);
        const double start = processSeconds();
        if (db->readDwgFile(path.c_str()) != Acad::eOk) {
            state.SkipWithError("the bench file does not read");
            return -1.0;
        }
        seconds += processSeconds() - start;
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    return seconds;
}

}  // namespace dxfbench
