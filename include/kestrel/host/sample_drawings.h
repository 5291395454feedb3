// Sample drawings to run client code, tests and benchmarks against: one with an entity of every
// kind the host models and the data that travels with entities, and big ones of polylines or
// lines in the shapes drawings take after years of use. Each function fills a database (a
// default drawing) and closes every object it opened again.
//
//   AcDbDatabase db;
//   host::addEveryKind(db);  // then run the module over db, or save it
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/rx/error_status.h"

namespace host {

// The application registered for the XData of the every-kind drawing.
inline constexpr wchar_t kEveryKindApp[] = L"KESTREL_SAMPLE";

// Adds to db: layers Walls, Doors and "Notes ä"; a block DOOR with attribute definitions and two
// references to it with attributes; in model space a line with XData of every kind, a circle with
// an extension dictionary (an Xrecord with binary chunks, a nested dictionary), an arc, the three
// kinds of polyline, ellipse, point, ray, solid, 3D face, spline, hatch, text, multiline text,
// three kinds of dimension and a table; a line and a text in paper space; and KESTREL_DATA in the
// named object dictionary, two levels of dictionaries whose Xrecords hold an item of each value
// class. The first status that was not eOk, if any; the steps after it still run.
DRAWHOST_API Acad::ErrorStatus addEveryKind(AcDbDatabase& db);

// How a big drawing departs from a plain one. Entities come in runs: the handles within a run
// follow each other, and gap handles are left out after each run, as erasing and pasting leave
// them in drawings of long use.
struct DRAWHOST_API SampleShape {
    const char* name = "plain";
    std::uint64_t firstHandle = 0;  // the first entity's handle, when above the next free one
    int run = 0;                    // entities per run (0: one run)
    std::uint64_t gap = 0;
    int extraChunks = 0;      // 127-byte chunks in each entity's Xrecord beyond its 16-byte one
    int thumbnailChunks = 0;  // 127-byte chunks of an Xrecord in the named object dictionary
    int extraXData = 0;       // XData items of each entity beyond its first three
};

// The shapes of drawings in long use.
inline constexpr SampleShape kSampleShapes[] = {
    {.name = "sparse handles", .run = 1, .gap = 1000},
    {.name = "high handles", .firstHandle = 0xC000000},
    {.name = "handle runs", .run = 50, .gap = 50000},
    {.name = "binary chunks", .extraChunks = 4, .thumbnailChunks = 8192},
    {.name = "long XData", .extraXData = 40},
};

// Appends count lightweight polylines of vertices vertices each to db's model space, in shape.
// Each carries XData of the application KESTREL_SAMPLE and an extension dictionary whose
// Xrecord KESTREL_DATA holds a text, a real, an integer and a binary chunk.
DRAWHOST_API Acad::ErrorStatus addSamplePolylines(AcDbDatabase& db, int count, int vertices,
                                                  const SampleShape& shape = {});

// The ends of line i of the line drawing: from a point of a grid 1000 wide to a neighbour.
struct DRAWHOST_API SampleLine {
    AcGePoint3d start;
    AcGePoint3d end;
};
inline SampleLine sampleLine(int i) {
    const double x = i % 1000;
    const double y = i / 1000;
    return {AcGePoint3d(x, y, 0.0), AcGePoint3d(x + 0.75, y + 0.5, 0.0)};
}

// Appends lines 0 to count - 1 (sampleLine) to db's model space.
DRAWHOST_API Acad::ErrorStatus addSampleLines(AcDbDatabase& db, int count);

}  // namespace host
