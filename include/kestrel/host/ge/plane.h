// AcGePlane: an infinite plane given by a point on it and a unit normal. Kept to what mirroring
// and projections need; a zero normal makes a degenerate plane that isDegenerate() reports.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"

class DRAWHOST_API AcGePlane {
public:
    // The XY plane through the origin.
    AcGePlane() = default;
    // The plane through origin with the given normal (normalised here).
    AcGePlane(const AcGePoint3d& origin, const AcGeVector3d& normal)
        : m_origin(origin), m_normal(normal.normal()) {}

    const AcGePoint3d& pointOnPlane() const { return m_origin; }
    const AcGeVector3d& normal() const { return m_normal; }
    bool isDegenerate(const AcGeTol& tol = AcGeContext::gTol) const {
        return m_normal.isZeroLength(tol);
    }
    // Signed distance of p from the plane, positive on the normal's side.
    double signedDistanceTo(const AcGePoint3d& p) const {
        return (p - m_origin).dotProduct(m_normal);
    }
    // The foot of the perpendicular from p.
    AcGePoint3d closestPointTo(const AcGePoint3d& p) const {
        return p - m_normal * signedDistanceTo(p);
    }

private:
    AcGePoint3d m_origin;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
};
