// AcDbCurve, the base of the entity kinds that are curves (lines, rays, arcs, circles, ellipses,
// polylines, splines): start and end points, closedness, and the curve pieces that
// intersectWith works on (host/ge/curve_pieces.h).
#pragma once

#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/ge/curve_pieces.h"

class DRAWHOST_API AcDbCurve : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbCurve);
    ~AcDbCurve() override = default;

    // Whether the curve ends where it starts (circles, full ellipses, closed polylines).
    virtual bool isClosed() const;
    // The curve's first and last points; a curve without one (a ray's end) answers
    // eNotApplicable, an empty polyline eDegenerateGeometry, with point unchanged.
    virtual Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const = 0;
    virtual Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const = 0;

    // Host use: appends the curve's pieces, unbounded where the kind can be extended (lines and
    // rays become infinite lines, arcs whole circles or ellipses) when extended is true. False
    // when the kind has no piecewise form (intersections are then not available).
    virtual bool getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const = 0;

protected:
    AcDbCurve() = default;
};
