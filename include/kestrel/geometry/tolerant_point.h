// CVLKCPoint3d: a 3D point carrying its own comparison tolerance. Equal means no farther apart
// than the tolerance; the ordering compares x, and y where the x values are close. Only the left
// operand's tolerance counts, so the comparisons are not symmetric and the ordering is not a
// strict weak ordering: do not key sorted containers with it.
#pragma once

#include <cmath>

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

// The coordinates are the AcGePoint3d base, so the point serves wherever a const AcGePoint3d& is
// expected; the tolerance follows them. Any tolerance is stored as given (zero or negative
// included); with a tolerance of 0 only coincident points are equal.
class KESTREL_API CVLKCPoint3d : public AcGePoint3d {
public:
    // The origin with the tolerance given.
    CVLKCPoint3d(double tolerance = 0.001) : m_tolerance(tolerance) {}
    CVLKCPoint3d(const AcGePoint3d& point, double tolerance)
        : AcGePoint3d(point), m_tolerance(tolerance) {}
    CVLKCPoint3d(const CVLKCPoint3d&) = default;

    CVLKCPoint3d& operator=(const CVLKCPoint3d&) = default;
    // Takes the coordinates only; the tolerance stays.
    CVLKCPoint3d& operator=(const AcGePoint3d& point) {
        AcGePoint3d::operator=(point);
        return *this;
    }

    // True when the distance is at most this point's tolerance (other's is ignored).
    bool operator==(const AcGePoint3d& other) const { return distanceTo(other) <= m_tolerance; }
    bool operator==(const CVLKCPoint3d& other) const {
        return *this == static_cast<const AcGePoint3d&>(other);
    }
    // True when other.x is greater, or the x values are closer than the tolerance and other.y
    // is greater.
    bool operator<(const AcGePoint3d& other) const {
        if (other.x > x) {
            return true;
        }
        return std::fabs(x - other.x) < m_tolerance && other.y > y;
    }
    bool operator<(const CVLKCPoint3d& other) const {
        return *this < static_cast<const AcGePoint3d&>(other);
    }
    // The mirror image of operator<.
    bool operator>(const AcGePoint3d& other) const {
        if (x > other.x) {
            return true;
        }
        return std::fabs(x - other.x) < m_tolerance && y > other.y;
    }
    bool operator>(const CVLKCPoint3d& other) const {
        return *this > static_cast<const AcGePoint3d&>(other);
    }

    double GetTolerance() { return m_tolerance; }
    void SetTolerance(double tolerance) { m_tolerance = tolerance; }

private:
    double m_tolerance;
};
