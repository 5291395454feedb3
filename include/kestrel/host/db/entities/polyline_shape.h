// host::PolylineShape, the planar outline that lightweight polylines, 2D polylines and hatch
// loops share: vertices in the object coordinate system of a normal at an elevation, with a
// bulge (tan of a quarter of the segment's included angle, positive counter-clockwise) and
// widths per vertex. Host internals: geometry only, nothing opened.
#pragma once

#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/ge/curve_pieces.h"
#include "kestrel/host/ge/point2d.h"

class AcDbEntity;

namespace host {

// One vertex of the outline, with the bulge and widths of the segment it starts.
struct DRAWHOST_API PolyVertex {
    AcGePoint2d point;
    double bulge = 0.0;
    double startWidth = 0.0;
    double endWidth = 0.0;
    Adesk::Int32 identifier = 0;
};

// The arc of a bulged segment in the OCS plane, counter-clockwise from start over sweep.
struct DRAWHOST_API BulgeArc {
    AcGePoint2d center;
    double radius = 0.0;
    double start = 0.0;
    double sweep = 0.0;
};
// False for a straight segment (no bulge, or coincident ends).
DRAWHOST_API bool bulgeArc(const AcGePoint2d& from, const AcGePoint2d& to, double bulge,
                           BulgeArc& arc);

struct DRAWHOST_API PolylineShape {
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    double elevation = 0.0;
    bool closed = false;
    std::vector<PolyVertex> vertices;

    // The world point of vertex i.
    AcGePoint3d worldPoint(std::size_t i) const;
    // Segments: one per vertex pair, and the closing one of a closed outline of two or more.
    std::size_t segmentCount() const;
    bool hasBulges() const;
    bool hasWidths() const;

    // Adds the vertices and the extremes of the bulged segments (the centre line; widths are
    // not counted).
    void addExtents(AcDbExtents& extents) const;
    // Appends one curve piece per segment (nothing for a single vertex).
    void appendPieces(std::vector<CurvePiece>& pieces) const;
    // eCannotScaleNonUniformly when the transform is not conformal in the plane and a segment
    // is bulged or a width is set; eOk otherwise.
    Acad::ErrorStatus checkTransform(const PlanarTransform& planar) const;
    // Applies a checked transform: points and elevation into the new OCS, bulges reversed by a
    // reflection, widths scaled.
    void transform(const PlanarTransform& planar);
    // Appends a line or an arc (not in any database, owned by the caller) per segment, with
    // from's layer, linetype, colour and visibility and the given thickness.
    void explode(const AcDbEntity& from, double thickness, AcDbVoidPtrArray& entities) const;
};

// Gives to the properties every entity has (layer, linetype, colour, visibility) from's values.
DRAWHOST_API void copyEntityProperties(const AcDbEntity& from, AcDbEntity& to);

}  // namespace host
