// Curves as chains of points for the SVG picture: bulged polyline segments, elliptic arcs and
// B-splines, sampled finely enough to look smooth. Pure functions.
#pragma once

#include <vector>

#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector2d.h"
#include "kestrel/host/ge/vector3d.h"

// Segments per whole turn of a curve drawn as a chain.
constexpr double kSegmentsPerTurn = 72.0;

// Appends the points of a bulged segment from a to b (after a, up to and including b), taken
// counter-clockwise about +Z for a positive bulge, in the XY plane; a straight segment (bulge 0,
// not finite, or a == b) appends b only.
void appendBulge(const AcGePoint3d& a, const AcGePoint3d& b, double bulge,
                 std::vector<AcGePoint3d>& points);

// Appends centre + cos t u + sin t v for t from t0 over sweep (negative: clockwise), both ends
// included; nothing when sweep is not finite.
void appendEllipticArc(const AcGePoint3d& centre, const AcGeVector3d& u, const AcGeVector3d& v,
                       double t0, double sweep, std::vector<AcGePoint3d>& points);

// The turn from start to end counter-clockwise, in (0, 2 pi]; not finite for angles that are not.
double sweepBetween(double start, double end);

// Points along the B-spline of degree with knots, control points and weights (empty: all 1),
// samplesPerSpan per knot span, ends included; empty when the data do not make a spline
// (knot count not controls + degree + 1, knots falling, weights of another count).
std::vector<AcGePoint3d> bsplinePoints(int degree, const std::vector<double>& knots,
                                       const std::vector<AcGePoint3d>& controls,
                                       const std::vector<double>& weights, int samplesPerSpan);

// The corners of a closed arrowhead with its tip at tip, pointing away from from, length long
// and a third of that wide; empty when tip and from coincide or are not finite.
std::vector<AcGePoint3d> arrowHead(const AcGePoint3d& tip, const AcGePoint3d& from, double length);

// One line family of a hatch pattern in the hatch's plane: lines at angle (radians) through
// base, each next one offset further, dashed by dashes (positive a dash, negative a gap, zero a
// dot; none for solid lines).
struct PatternFamily {
    double angle = 0.0;
    AcGePoint2d base;
    AcGeVector2d offset;
    std::vector<double> dashes;
};

// A piece of a pattern line, from start to end.
struct PatternSegment {
    AcGePoint2d start;
    AcGePoint2d end;
};

// Appends the dashes of family's lines that cross the box from low to high to segments; dots
// are left out. False, with segments as they were, when the lines are parallel to their offset
// or segments would exceed limit pieces.
bool patternSegments(const PatternFamily& family, const AcGePoint2d& low, const AcGePoint2d& high,
                     std::size_t limit, std::vector<PatternSegment>& segments);
