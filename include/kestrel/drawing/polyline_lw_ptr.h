// CVLKCPolylineLWPtr: the typed pointer for lightweight polylines, a CxEntity<AcDbPolyline> that
// opens by id, handle text or selection name and closes with the pointer. It is never copied or
// re-pointed by assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

class KESTREL_API CVLKCPolylineLWPtr : public CxEntity<AcDbPolyline> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbPolyline>::CxEntity;

    // Empties points and appends the vertices in order, each world point with z replaced by the
    // polyline's elevation; their number. 0, points untouched, when the pointer is empty.
    int getVertexPoints(AcGePoint3dArray & points);
    // Draws the segments between consecutive vertices as temporary screen vectors (no closing
    // segment for a closed polyline); false with fewer than two vertices or when the editor refuses
    // a vector (the rest are not drawn).
    bool mark(int colour, int highlight);

    // Changes nothing and returns this pointer.
    CVLKCPolylineLWPtr& operator=(CVLKCPolylineLWPtr& /*other*/) { return *this; }
};
