// CVLKC2dPolylinePtr: the typed pointer for 2D polylines (with vertex entities), a
// CxEntity<AcDb2dPolyline> that opens by id, handle text or selection name and closes with the
// pointer. It is never copied or re-pointed by assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

class KESTREL_API CVLKC2dPolylinePtr : public CxEntity<AcDb2dPolyline> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDb2dPolyline>::CxEntity;

    // Empties points and appends the vertices in order, each vertex's position with z replaced
    // by the polyline's elevation (vertices that do not open are skipped); their number. 0,
    // points untouched, when the pointer is empty.
    int getVertexPoints(AcGePoint3dArray & points);
    // Draws the segments between consecutive vertices as temporary screen vectors (no closing
    // segment for a closed polyline); false with fewer than two vertices or when the editor refuses
    // a vector (the rest are not drawn).
    bool mark(int colour, int highlight);

    // Changes nothing and returns this pointer.
    CVLKC2dPolylinePtr& operator=(CVLKC2dPolylinePtr& /*other*/) { return *this; }
};
