// AcGePoint3d: a position in 3D space. Points minus points give vectors; points plus vectors give
// points. isEqualTo and == compare the distance with tol.equalPoint() (AcGeContext::gTol by
// default).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/tolerance.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/array.h"

class AcGeMatrix3d;

class DRAWHOST_API AcGePoint3d {
public:
    constexpr AcGePoint3d() = default;
    constexpr AcGePoint3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}

    static const AcGePoint3d kOrigin;

    AcGePoint3d& set(double xx, double yy, double zz) {
        x = xx;
        y = yy;
        z = zz;
        return *this;
    }

    AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    AcGePoint3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
    AcGePoint3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }
    // Scales the position about the origin.
    AcGePoint3d operator*(double s) const { return {x * s, y * s, z * s}; }
    AcGePoint3d operator/(double s) const { return {x / s, y / s, z / s}; }

    // Coordinate 0, 1 or 2; aborts on any other index.
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);

    double distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }
    bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint();
    }
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
    bool operator!=(const AcGePoint3d& p) const { return !isEqualTo(p); }

    AcGeVector3d asVector() const { return {x, y, z}; }

    // Applies the whole transformation, translation included.
    AcGePoint3d& transformBy(const AcGeMatrix3d& m);
    // Rotates about the axis through wrtPoint.
    AcGePoint3d& rotateBy(double angle, const AcGeVector3d& axis,
                          const AcGePoint3d& wrtPoint = kOrigin);
    // Scales the distance from wrtPoint by factor.
    AcGePoint3d& scaleBy(double factor, const AcGePoint3d& wrtPoint = kOrigin);

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline constexpr AcGePoint3d AcGePoint3d::kOrigin{0.0, 0.0, 0.0};

inline AcGePoint3d operator*(double s, const AcGePoint3d& p) {
    return p * s;
}

using AcGePoint3dArray = AcArray<AcGePoint3d>;
