// AcGePoint2d: a position in the plane. isEqualTo and == compare the distance with
// tol.equalPoint() (AcGeContext::gTol by default).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/tolerance.h"
#include "kestrel/host/ge/vector2d.h"
#include "kestrel/host/rx/array.h"

class DRAWHOST_API AcGePoint2d {
public:
    constexpr AcGePoint2d() = default;
    constexpr AcGePoint2d(double xx, double yy) : x(xx), y(yy) {}

    static const AcGePoint2d kOrigin;

    AcGePoint2d& set(double xx, double yy) {
        x = xx;
        y = yy;
        return *this;
    }

    AcGePoint2d operator+(const AcGeVector2d& v) const { return {x + v.x, y + v.y}; }
    AcGePoint2d operator-(const AcGeVector2d& v) const { return {x - v.x, y - v.y}; }
    AcGeVector2d operator-(const AcGePoint2d& p) const { return {x - p.x, y - p.y}; }
    AcGePoint2d& operator+=(const AcGeVector2d& v) { return *this = *this + v; }
    AcGePoint2d& operator-=(const AcGeVector2d& v) { return *this = *this - v; }

    // Coordinate 0 or 1; aborts on any other index.
    double operator[](unsigned int i) const {
        hostCheckIndex("AcGePoint2d::operator[]", i, 2);
        return i == 0 ? x : y;
    }
    double& operator[](unsigned int i) {
        hostCheckIndex("AcGePoint2d::operator[]", i, 2);
        return i == 0 ? x : y;
    }

    double distanceTo(const AcGePoint2d& p) const { return (*this - p).length(); }
    bool isEqualTo(const AcGePoint2d& p, const AcGeTol& tol = AcGeContext::gTol) const {
        return distanceTo(p) <= tol.equalPoint();
    }
    bool operator==(const AcGePoint2d& p) const { return isEqualTo(p); }
    bool operator!=(const AcGePoint2d& p) const { return !isEqualTo(p); }

    AcGeVector2d asVector() const { return {x, y}; }

    double x = 0.0;
    double y = 0.0;
};

inline constexpr AcGePoint2d AcGePoint2d::kOrigin{0.0, 0.0};

using AcGePoint2dArray = AcArray<AcGePoint2d>;
