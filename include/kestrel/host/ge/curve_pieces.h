// Pieces of curves (straight lines and conic arcs) and their intersections: pure geometry.
// Every curve kind of the database describes itself as pieces, so that intersecting two
// entities intersects every piece of one with every piece of the other.
#pragma once

#include <limits>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"

namespace host {

// One piece of a curve. A line is origin + t u for t in [start, end] (infinite ends allowed);
// a conic is origin + cos t u + sin t v for t in [start, start + sweep], u and v perpendicular
// (a circle when they have equal lengths), sweep in [0, 2 pi].
struct DRAWHOST_API CurvePiece {
    enum class Kind { kLine, kConic };

    Kind kind = Kind::kLine;
    AcGePoint3d origin;
    AcGeVector3d u;
    AcGeVector3d v;
    double start = 0.0;
    double end = 0.0;  // lines: the last parameter; conics: start + sweep

    static constexpr double kInfinity = std::numeric_limits<double>::infinity();

    static CurvePiece segment(const AcGePoint3d& from, const AcGePoint3d& to);
    static CurvePiece ray(const AcGePoint3d& base, const AcGeVector3d& direction);
    static CurvePiece line(const AcGePoint3d& base, const AcGeVector3d& direction);
    static CurvePiece conic(const AcGePoint3d& center, const AcGeVector3d& u, const AcGeVector3d& v,
                            double start, double sweep);

    // The same piece without ends: an infinite line, or the whole conic.
    CurvePiece extended() const;
};

// Appends to points the intersections of two pieces, each point once.
DRAWHOST_API void intersectPieces(const CurvePiece& a, const CurvePiece& b,
                                  std::vector<AcGePoint3d>& points);

// The distance below which points found for pieces a and b count as one: it grows with the
// size of their coordinates, since the rounding error of the computations does.
DRAWHOST_API double pieceTolerance(const CurvePiece& a, const CurvePiece& b);

}  // namespace host
