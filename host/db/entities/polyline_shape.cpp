// The planar polyline outline: bulged segments, extents, curve pieces, transforms, explode.
#include "kestrel/host/db/entities/polyline_shape.h"

#include <cmath>

#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/ge/angles.h"

namespace host {

bool bulgeArc(const AcGePoint2d& from, const AcGePoint2d& to, double bulge, BulgeArc& arc) {
    const AcGeVector2d chord = to - from;
    const double length = chord.length();
    if (bulge == 0.0 || !std::isfinite(bulge) || length == 0.0) {
        return false;
    }
    const AcGeVector2d left(-chord.y / length, chord.x / length);
    const double half = length / 2.0;
    // The centre lies (L/2)(1 - b^2)/(2b) to the left of the chord's middle; the radius is
    // (L/2)(1 + b^2)/(2|b|) and the included angle 4 atan|b|.
    arc.center = from + chord / 2.0 + left * (half * (1.0 - bulge * bulge) / (2.0 * bulge));
    arc.radius = half * (1.0 + bulge * bulge) / (2.0 * std::fabs(bulge));
    const AcGePoint2d& first = bulge > 0.0 ? from : to;
    arc.start = normalizeAngle(std::atan2(first.y - arc.center.y, first.x - arc.center.x));
    arc.sweep = 4.0 * std::atan(std::fabs(bulge));
    return true;
}

AcGePoint3d PolylineShape::worldPoint(std::size_t i) const {
    const AcGePoint2d& p = vertices[i].point;
    return ocsToWorld(normal, AcGePoint3d(p.x, p.y, elevation));
}

std::size_t PolylineShape::segmentCount() const {
    if (vertices.size() < 2) {
        return 0;
    }
    return closed ? vertices.size() : vertices.size() - 1;
}

bool PolylineShape::hasBulges() const {
    for (const PolyVertex& v : vertices) {
        if (v.bulge != 0.0) {
            return true;
        }
    }
    return false;
}

bool PolylineShape::hasWidths() const {
    for (const PolyVertex& v : vertices) {
        if (v.startWidth != 0.0 || v.endWidth != 0.0) {
            return true;
        }
    }
    return false;
}

namespace {

// The world conic of a bulge arc of the shape.
CurvePiece arcPiece(const PolylineShape& shape, const BulgeArc& arc) {
    const OcsAxes axes = ocsAxes(shape.normal);
    const AcGePoint3d center =
        ocsToWorld(shape.normal, AcGePoint3d(arc.center.x, arc.center.y, shape.elevation));
    return CurvePiece::conic(center, axes.x * arc.radius, axes.y * arc.radius, arc.start,
                             arc.sweep);
}

}  // namespace

void PolylineShape::addExtents(AcDbExtents& extents) const {
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        extents.addPoint(worldPoint(i));
    }
    for (std::size_t i = 0; i < segmentCount(); ++i) {
        const std::size_t next = (i + 1) % vertices.size();
        BulgeArc arc;
        if (bulgeArc(vertices[i].point, vertices[next].point, vertices[i].bulge, arc)) {
            const CurvePiece piece = arcPiece(*this, arc);
            addConicArcExtents(extents, piece.origin, piece.u, piece.v, piece.start,
                               piece.end - piece.start);
        }
    }
}

void PolylineShape::appendPieces(std::vector<CurvePiece>& pieces) const {
    for (std::size_t i = 0; i < segmentCount(); ++i) {
        const std::size_t next = (i + 1) % vertices.size();
        BulgeArc arc;
        if (bulgeArc(vertices[i].point, vertices[next].point, vertices[i].bulge, arc)) {
            pieces.push_back(arcPiece(*this, arc));
        } else {
            pieces.push_back(CurvePiece::segment(worldPoint(i), worldPoint(next)));
        }
    }
}

Acad::ErrorStatus PolylineShape::checkTransform(const PlanarTransform& planar) const {
    return planar.conformal || (!hasBulges() && !hasWidths()) ? Acad::eOk
                                                              : Acad::eCannotScaleNonUniformly;
}

void PolylineShape::transform(const PlanarTransform& planar) {
    const double oldElevation = elevation;
    elevation = (planar.ocsToOcs * AcGePoint3d(0.0, 0.0, oldElevation)).z;
    for (PolyVertex& v : vertices) {
        const AcGePoint3d moved = planar.ocsToOcs * AcGePoint3d(v.point.x, v.point.y, oldElevation);
        v.point.set(moved.x, moved.y);
        if (planar.mirrored) {
            v.bulge = -v.bulge;
        }
        v.startWidth *= planar.scale;
        v.endWidth *= planar.scale;
    }
    normal = planar.normal;
}

void PolylineShape::explode(const AcDbEntity& from, double thickness,
                            AcDbVoidPtrArray& entities) const {
    for (std::size_t i = 0; i < segmentCount(); ++i) {
        const std::size_t next = (i + 1) % vertices.size();
        BulgeArc arc;
        AcDbEntity* piece = nullptr;
        if (bulgeArc(vertices[i].point, vertices[next].point, vertices[i].bulge, arc)) {
            auto* curve =
                new AcDbArc(ocsToWorld(normal, AcGePoint3d(arc.center.x, arc.center.y, elevation)),
                            normal, arc.radius, arc.start, arc.start + arc.sweep);
            curve->setThickness(thickness);
            piece = curve;
        } else {
            auto* line = new AcDbLine(worldPoint(i), worldPoint(next));
            line->setNormal(normal);
            line->setThickness(thickness);
            piece = line;
        }
        copyEntityProperties(from, *piece);
        entities.append(piece);
    }
}

void copyEntityProperties(const AcDbEntity& from, AcDbEntity& to) {
    if (!from.layerId().isNull()) {
        to.setLayer(from.layerId());
    }
    if (!from.linetypeId().isNull()) {
        to.setLinetype(from.linetypeId());
    }
    to.setColor(from.color());
    to.setVisibility(from.visibility());
}

}  // namespace host
