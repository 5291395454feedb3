// CVLKCArcPtr: the typed pointer for arcs, a CxEntity<AcDbArc> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"
#include "host/ge/point3d.h"

class [[gnu::visibility("default")]] CVLKCArcPtr : public CxEntity<AcDbArc> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbArc>::CxEntity;

    // The circle through p1, p2, p3 in the XY plane (z of p1) and the counter-clockwise arc from
    // p1 through p2 to p3 (geometry/circle_through_points.h); false, outputs untouched, for
    // collinear points; null outputs are skipped. Needs no open entity.
    static bool getCenterRadius(const AcGePoint3d& p1, const AcGePoint3d& p2,
                                const AcGePoint3d& p3, double* radius, double* startAngle,
                                double* endAngle, AcGePoint3d* centre);

    // Changes nothing and returns this pointer.
    CVLKCArcPtr& operator=(CVLKCArcPtr& other) {
        return *this;
    }
};
