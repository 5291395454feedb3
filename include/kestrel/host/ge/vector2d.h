// AcGeVector2d: a direction and length in the plane. Comparisons use AcGeContext::gTol unless a
// tolerance is given; a zero-length vector normalises to itself and has angle 0.
#pragma once

#include <cmath>

#include "kestrel/export.h"
#include "kestrel/host/ge/tolerance.h"
#include "kestrel/host/rx/array.h"

class DRAWHOST_API AcGeVector2d {
public:
    constexpr AcGeVector2d() = default;
    constexpr AcGeVector2d(double xx, double yy) : x(xx), y(yy) {}

    static const AcGeVector2d kIdentity;  // the zero vector
    static const AcGeVector2d kXAxis;
    static const AcGeVector2d kYAxis;

    AcGeVector2d& set(double xx, double yy) {
        x = xx;
        y = yy;
        return *this;
    }

    AcGeVector2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    AcGeVector2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    AcGeVector2d operator-() const { return {-x, -y}; }
    AcGeVector2d operator*(double s) const { return {x * s, y * s}; }
    AcGeVector2d operator/(double s) const { return {x / s, y / s}; }
    AcGeVector2d& operator+=(const AcGeVector2d& v) { return *this = *this + v; }
    AcGeVector2d& operator-=(const AcGeVector2d& v) { return *this = *this - v; }
    AcGeVector2d& operator*=(double s) { return *this = *this * s; }
    AcGeVector2d& operator/=(double s) { return *this = *this / s; }

    // Component 0 or 1; aborts on any other index.
    double operator[](unsigned int i) const {
        hostCheckIndex("AcGeVector2d::operator[]", i, 2);
        return i == 0 ? x : y;
    }
    double& operator[](unsigned int i) {
        hostCheckIndex("AcGeVector2d::operator[]", i, 2);
        return i == 0 ? x : y;
    }

    double dotProduct(const AcGeVector2d& v) const { return x * v.x + y * v.y; }
    double length() const { return std::hypot(x, y); }
    double lengthSqrd() const { return dotProduct(*this); }
    bool isZeroLength(const AcGeTol& tol = AcGeContext::gTol) const {
        return length() <= tol.equalVector();
    }
    // The unit vector of the same direction; a zero-length vector comes back unchanged.
    AcGeVector2d normal(const AcGeTol& tol = AcGeContext::gTol) const {
        return isZeroLength(tol) ? *this : *this / length();
    }
    AcGeVector2d& normalize(const AcGeTol& tol = AcGeContext::gTol) { return *this = normal(tol); }
    // Angle from the X axis, counter-clockwise, in [0, 2 pi).
    double angle() const;
    // Unsigned angle between the two directions, in [0, pi].
    double angleTo(const AcGeVector2d& v) const;
    // Rotates counter-clockwise by angle (radians).
    AcGeVector2d& rotateBy(double angle);
    // Componentwise equality within tol.equalVector().
    bool isEqualTo(const AcGeVector2d& v, const AcGeTol& tol = AcGeContext::gTol) const {
        return std::fabs(x - v.x) <= tol.equalVector() && std::fabs(y - v.y) <= tol.equalVector();
    }
    bool operator==(const AcGeVector2d& v) const { return isEqualTo(v); }
    bool operator!=(const AcGeVector2d& v) const { return !isEqualTo(v); }

    double x = 0.0;
    double y = 0.0;
};

inline constexpr AcGeVector2d AcGeVector2d::kIdentity{0.0, 0.0};
inline constexpr AcGeVector2d AcGeVector2d::kXAxis{1.0, 0.0};
inline constexpr AcGeVector2d AcGeVector2d::kYAxis{0.0, 1.0};

inline AcGeVector2d operator*(double s, const AcGeVector2d& v) {
    return v * s;
}

using AcGeVector2dArray = AcArray<AcGeVector2d>;
