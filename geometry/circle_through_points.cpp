// The circle through three points: the crossing of the perpendicular bisectors of the two chords,
// solved as one 2x2 system so that vertical and horizontal chords need no case of their own; and
// CVLKCArcPtr::getCenterRadius, which exports it.
#include "kestrel/geometry/circle_through_points.h"

#include <cmath>
#include <utility>

#include "kestrel/drawing/arc_ptr.h"
#include "kestrel/host/ge/angles.h"

namespace kestrel {

namespace {

// The centre (x and y) where the bisectors of p1p2 and p2p3 cross; false when both chords have
// a finite slope and the slopes are within the tolerance. det is (p2 - p1) x (p3 - p1), which
// equals (p2 - p1) x (p3 - p2); it is not 0.
bool bisectorCrossing(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3,
                      double det, AcGePoint3d& centre) {
    const double dx1 = p2.x - p1.x;
    const double dy1 = p2.y - p1.y;
    const double dx2 = p3.x - p2.x;
    const double dy2 = p3.y - p2.y;
    // m1 - m2 = -det / (dx1 dx2), compared without dividing.
    if (dx1 != 0.0 && dx2 != 0.0 && std::fabs(det) <= kCollinearTolerance * std::fabs(dx1 * dx2)) {
        return false;
    }
    // A point c is on the bisector of a chord d with midpoint m when d . c = d . m.
    const double r1 = (dx1 * (p1.x + p2.x) + dy1 * (p1.y + p2.y)) / 2.0;
    const double r2 = (dx2 * (p2.x + p3.x) + dy2 * (p2.y + p3.y)) / 2.0;
    centre.x = (r1 * dy2 - r2 * dy1) / det;
    centre.y = (dx1 * r2 - dx2 * r1) / det;
    return true;
}

double angleFrom(const AcGePoint3d& centre, const AcGePoint3d& point) {
    const double from[3] = {centre.x, centre.y, centre.z};
    const double to[3] = {point.x, point.y, point.z};
    return acutAngle(from, to);
}

}  // namespace

bool circleThroughPoints(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3,
                         double* radius, double* startAngle, double* endAngle,
                         AcGePoint3d* centre) {
    const double det = (p3.y - p1.y) * (p2.x - p1.x) - (p3.x - p1.x) * (p2.y - p1.y);
    if (std::fabs(det) < kCollinearTolerance) {
        return false;
    }
    AcGePoint3d c;
    if (std::fabs(p2.x - p1.x) <= kCollinearTolerance &&
        std::fabs(p3.y - p2.y) <= kCollinearTolerance) {
        c.set((p2.x + p3.x) / 2.0, (p1.y + p2.y) / 2.0, 0.0);
    } else if (!bisectorCrossing(p1, p2, p3, det, c)) {
        return false;
    }
    c.z = p1.z;
    double start = angleFrom(c, p1);
    double end = angleFrom(c, p3);
    // Arcs run counter-clockwise from start to end; a clockwise turn p1 -> p2 swaps the ends.
    const double turn = (p1.x - c.x) * (p2.y - c.y) - (p1.y - c.y) * (p2.x - c.x);
    if (turn < 0.0) {
        std::swap(start, end);
    }
    if (radius != nullptr) {
        *radius = c.distanceTo(p1);
    }
    if (startAngle != nullptr) {
        *startAngle = start;
    }
    if (endAngle != nullptr) {
        *endAngle = end;
    }
    if (centre != nullptr) {
        *centre = c;
    }
    return true;
}

}  // namespace kestrel

bool CVLKCArcPtr::getCenterRadius(const AcGePoint3d& p1, const AcGePoint3d& p2,
                                  const AcGePoint3d& p3, double* radius, double* startAngle,
                                  double* endAngle, AcGePoint3d* centre) {
    return kestrel::circleThroughPoints(p1, p2, p3, radius, startAngle, endAngle, centre);
}
