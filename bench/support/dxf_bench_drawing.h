// Shared by the drawing-file benchmarks: the drawings they save and load. The plain one holds
// lightweight polylines, each with XData and an extension dictionary holding an Xrecord with a
// binary chunk; its shapes add what drawings in long use carry (handles far apart, high or in
// runs, many binary chunks, long XData); the line drawing holds plain lines.
#pragma once

#include <cstdint>

#include "host/db/object_store.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"

namespace dxfbench {

constexpr int kEntities = 10000;

// How a drawing departs from the plain one. Entities are added in runs: the handles within a
// run follow each other, and gap handles are left out after each run, as erasing and pasting
// leave them in drawings of long use.
struct DrawingShape {
    const char* name = "plain";
    std::uint64_t firstHandle = 0;  // the first entity's handle, when above the next free one
    int run = 0;                    // entities per run (0: one run)
    std::uint64_t gap = 0;
    int extraChunks = 0;      // 127-byte chunks in each entity's Xrecord beyond its 16-byte one
    int thumbnailChunks = 0;  // 127-byte chunks of an Xrecord in the named object dictionary
    int extraXData = 0;       // XData items of each entity beyond its first three
};

// The shapes of drawings in long use that the load benchmarks read.
inline constexpr DrawingShape kShapes[] = {
    {.name = "sparse handles", .run = 1, .gap = 1000},
    {.name = "high handles", .firstHandle = 0xC000000},
    {.name = "handle runs", .run = 50, .gap = 50000},
    {.name = "binary chunks", .extraChunks = 4, .thumbnailChunks = 8192},
    {.name = "long XData", .extraXData = 40},
};

// Line i of the line drawing: from a point of a grid 1000 wide to a neighbour.
struct GridLine {
    double start[3];
    double end[3];
};
inline GridLine gridLine(int i) {
    const double x = i % 1000;
    const double y = i / 1000;
    return {{x, y, 0.0}, {x + 0.75, y + 0.5, 0.0}};
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

inline resbuf* lastItem(resbuf* list) {
    while (list->rbnext != nullptr) {
        list = list->rbnext;
    }
    return list;
}

// Appends count binary chunks of 127 bytes (a thumbnail's share) to list.
inline void appendChunks(resbuf* list, int count) {
    static char bytes[127] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ads_binary chunk{sizeof bytes, bytes};
    for (list = lastItem(list); count > 0; --count, list = list->rbnext) {
        list->rbnext = acutBuildList(310, &chunk, 0);
    }
}

// Appends count XData items to list: texts, reals, 16-bit integers and points in turn.
inline void appendXData(resbuf* list, int count, int index) {
    const double point[3] = {index * 0.5, 1.0, 2.0};
    list = lastItem(list);
    for (int i = 0; i < count; ++i, list = list->rbnext) {
        switch (i % 4) {
            case 0:
                list->rbnext = acutBuildList(1000, L"a longer text of XData", 0);
                break;
            case 1:
                list->rbnext = acutBuildList(1040, index + i * 0.5, 0);
                break;
            case 2:
                list->rbnext = acutBuildList(1070, i, 0);
                break;
            default:
                list->rbnext = acutBuildList(1010, point, 0);
                break;
        }
    }
}

// An Xrecord holding data (released here).
inline AcDbXrecord* newXrecord(resbuf* data) {
    auto* xrecord = new AcDbXrecord();
    xrecord->setFromRbChain(data);
    acutRelRb(data);
    return xrecord;
}

// Gives entity XData and an extension dictionary with one Xrecord, as shape says.
inline void decorate(AcDbEntity* entity, int index, const DrawingShape& shape) {
    resbuf* xdata = acutBuildList(1001, L"KESTREL_BENCH", 1000, L"part", 1070, index % 1000, 1040,
                                  index * 0.5, 0);
    appendXData(xdata, shape.extraXData, index);
    entity->setXData(xdata);
    acutRelRb(xdata);
    entity->createExtensionDictionary();
    AcDbDictionary* dict = nullptr;
    acdbOpenObject(dict, entity->extensionDictionary(), AcDb::kForWrite);
    char bytes[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ads_binary chunk{sizeof bytes, bytes};
    resbuf* data = acutBuildList(1, L"bench data", 40, index * 0.25, 90, static_cast<long>(index),
                                 310, &chunk, 0);
    appendChunks(data, shape.extraChunks);
    AcDbXrecord* xrecord = newXrecord(data);
    AcDbObjectId id;
    dict->setAt(L"KESTREL_DATA", xrecord, id);
    xrecord->close();
    dict->close();
}

// Adds an Xrecord of count chunks to db's named object dictionary, as previews are kept.
inline void addThumbnail(AcDbDatabase& db, int count) {
    resbuf* data = acutBuildList(1, L"preview", 0);
    appendChunks(data, count);
    AcDbXrecord* xrecord = newXrecord(data);
    AcDbDictionary* named = nullptr;
    db.getNamedObjectsDictionary(named, AcDb::kForWrite);
    AcDbObjectId id;
    named->setAt(L"KESTREL_THUMBNAIL", xrecord, id);
    xrecord->close();
    named->close();
}

// Leaves the handles before entity index out, as shape says.
inline void skipHandles(AcDbDatabase& db, int index, const DrawingShape& shape) {
    host::ObjectStore& store = *db.objectStore();
    if (index == 0) {
        store.raiseHandseed(AcDbHandle(shape.firstHandle));
    } else if (shape.run > 0 && index % shape.run == 0) {
        store.raiseHandseed(AcDbHandle(store.handseed().value() + shape.gap));
    }
}

// Fills db's model space with kEntities decorated polylines of vertices vertices each, in shape.
inline void fillDrawing(AcDbDatabase& db, int vertices, const DrawingShape& shape = {}) {
    registerApp(db, L"KESTREL_BENCH");
    if (shape.thumbnailChunks > 0) {
        addThumbnail(db, shape.thumbnailChunks);
    }
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < kEntities; ++i) {
        auto* pline = new AcDbPolyline();
        for (int v = 0; v < vertices; ++v) {
            pline->addVertexAt(static_cast<unsigned>(v), AcGePoint2d(i + v * 0.125, v * 0.5),
                               v % 3 == 0 ? 0.25 : 0.0);
        }
        skipHandles(db, i, shape);
        space->appendAcDbEntity(pline);
        decorate(pline, i, shape);
        pline->close();
    }
    space->close();
}

// Fills db's model space with count lines (gridLine).
inline void fillLines(AcDbDatabase& db, int count) {
    AcDbBlockTableRecord* space = nullptr;
    acdbOpenObject(space, db.modelSpaceId(), AcDb::kForWrite);
    for (int i = 0; i < count; ++i) {
        const GridLine ends = gridLine(i);
        auto* line = new AcDbLine(AcGePoint3d(ends.start[0], ends.start[1], ends.start[2]),
                                  AcGePoint3d(ends.end[0], ends.end[1], ends.end[2]));
        space->appendAcDbEntity(line);
        line->close();
    }
    space->close();
}

}  // namespace dxfbench
