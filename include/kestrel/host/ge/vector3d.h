// AcGeVector3d: a direction and length in 3D space, with the host SDK's vector operations.
// Comparisons use AcGeContext::gTol unless a tolerance is given. A vector of zero length (within
// tolerance) is neither parallel, codirectional nor perpendicular to anything, normalises to
// itself (zero) and makes angle 0 with every vector.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/tolerance.h"
#include "kestrel/host/rx/array.h"

class AcGeMatrix3d;

class DRAWHOST_API AcGeVector3d {
public:
    constexpr AcGeVector3d() = default;
    constexpr AcGeVector3d(double xx, double yy, double zz) : x(xx), y(yy), z(zz) {}

    static const AcGeVector3d kIdentity;  // the zero vector
    static const AcGeVector3d kXAxis;
    static const AcGeVector3d kYAxis;
    static const AcGeVector3d kZAxis;

    AcGeVector3d& set(double xx, double yy, double zz) {
        x = xx;
        y = yy;
        z = zz;
        return *this;
    }

    AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-() const { return {-x, -y, -z}; }
    AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    // Division by zero follows IEEE arithmetic (infinities), as for plain doubles.
    AcGeVector3d operator/(double s) const { return {x / s, y / s, z / s}; }
    AcGeVector3d& operator+=(const AcGeVector3d& v) { return *this = *this + v; }
    AcGeVector3d& operator-=(const AcGeVector3d& v) { return *this = *this - v; }
    AcGeVector3d& operator*=(double s) { return *this = *this * s; }
    AcGeVector3d& operator/=(double s) { return *this = *this / s; }
    AcGeVector3d& negate() { return *this = -*this; }

    // Component 0, 1 or 2; aborts on any other index.
    double operator[](unsigned int i) const;
    double& operator[](unsigned int i);

    double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    AcGeVector3d crossProduct(const AcGeVector3d& v) const {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
    double length() const;
    double lengthSqrd() const { return dotProduct(*this); }

    // The unit vector of the same direction; a zero-length vector comes back unchanged.
    AcGeVector3d normal(const AcGeTol& tol = AcGeContext::gTol) const;
    // Makes this a unit vector; a zero-length vector stays unchanged.
    AcGeVector3d& normalize(const AcGeTol& tol = AcGeContext::gTol);
    // As normalize; flag becomes AcGe::k0This when the vector has zero length, else AcGe::kOk.
    AcGeVector3d& normalize(const AcGeTol& tol, AcGe::ErrorCondition& flag);

    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const;
    bool isUnitLength(const AcGeTol& tol = AcGeContext::gTol) const;
    // Same or opposite direction.
    bool isParallelTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    // Same direction.
    bool isCodirectionalTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    bool isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    // Componentwise equality within tol.equalVector().
    bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = AcGeContext::gTol) const;
    // isEqualTo with AcGeContext::gTol.
    bool operator==(const AcGeVector3d& v) const { return isEqualTo(v); }
    bool operator!=(const AcGeVector3d& v) const { return !isEqualTo(v); }

    // Unsigned angle between the two directions, in [0, pi].
    double angleTo(const AcGeVector3d& v) const;
    // Angle from this to v counter-clockwise about reference, in [0, 2 pi).
    double angleTo(const AcGeVector3d& v, const AcGeVector3d& reference) const;

    // Rotates by angle (radians, right-handed) about axis; a zero axis leaves the vector as is.
    AcGeVector3d& rotateBy(double angle, const AcGeVector3d& axis);
    // A unit vector perpendicular to this (the arbitrary-axis choice of DXF object coordinate
    // systems); the zero vector for a zero-length vector.
    AcGeVector3d perpVector() const;
    // Applies the linear part of m; translation does not move vectors.
    AcGeVector3d& transformBy(const AcGeMatrix3d& m);

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline constexpr AcGeVector3d AcGeVector3d::kIdentity{0.0, 0.0, 0.0};
inline constexpr AcGeVector3d AcGeVector3d::kXAxis{1.0, 0.0, 0.0};
inline constexpr AcGeVector3d AcGeVector3d::kYAxis{0.0, 1.0, 0.0};
inline constexpr AcGeVector3d AcGeVector3d::kZAxis{0.0, 0.0, 1.0};

inline AcGeVector3d operator*(double s, const AcGeVector3d& v) {
    return v * s;
}

using AcGeVector3dArray = AcArray<AcGeVector3d>;
