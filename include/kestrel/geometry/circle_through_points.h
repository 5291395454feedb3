// The circle and the counter-clockwise arc through three points given in order, worked out in the
// XY plane of the first point. Pure computation: opens nothing and keeps no state.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

namespace kestrel {

// The points count as collinear, and nothing is written, when the doubled triangle area
// |(p3 - p1) x (p2 - p1)| is below kCollinearTolerance, or when both chords p1p2 and p2p3 have a
// finite slope (a chord counts as vertical only when its x values are exactly equal) and the
// slopes differ by at most kCollinearTolerance. A first chord within the tolerance of vertical
// followed by a second within the tolerance of horizontal takes the centre from their midpoints.
constexpr double kCollinearTolerance = 0.0001;

// The circle through p1, p2 and p3 (the z of p2 and p3 is ignored; the centre takes p1's z) and
// the angles of p1 and p3 seen from the centre, exchanged when needed so that the
// counter-clockwise arc from start to end runs through p2. False, outputs untouched, for
// collinear points; null outputs are skipped.
KESTREL_API bool circleThroughPoints(const AcGePoint3d& p1, const AcGePoint3d& p2,
                                     const AcGePoint3d& p3, double* radius, double* startAngle,
                                     double* endAngle, AcGePoint3d* centre);

}  // namespace kestrel
