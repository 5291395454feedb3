// The vertex walk shared by the 2D and 3D polyline pointers: every vertex entity the polyline
// owns, opened for read and closed again in turn. Module-internal.
#pragma once

#include <memory>

#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/ge/point3d.h"

namespace kestrel {

// Empties points, then appends position(vertex) for every vertex of polyline that opens for read
// (through polyline.openVertex; the others are skipped); the number of points. The iterator and
// every vertex are released before it returns.
template <class Vertex, class Polyline, class Position>
int appendVertexPositions(const Polyline& polyline, AcGePoint3dArray& points, Position position) {
    points.removeAll();
    std::unique_ptr<AcDbObjectIterator> it(polyline.vertexIterator());
    if (it == nullptr) {
        return 0;
    }
    for (it->start(); !it->done(); it->step(false, true)) {
        Vertex* vertex = nullptr;
        if (polyline.openVertex(vertex, it->objectId(), AcDb::kForRead, false) == Acad::eOk) {
            points.append(position(*vertex));
            vertex->close();
        }
    }
    return points.length();
}

}  // namespace kestrel
