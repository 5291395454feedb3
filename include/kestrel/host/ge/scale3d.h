// AcGeScale3d: scale factors along the three axes, as block references carry them.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/matrix3d.h"
#include "kestrel/host/ge/tolerance.h"

class DRAWHOST_API AcGeScale3d {
public:
    constexpr AcGeScale3d() = default;
    // The same factor on all three axes.
    constexpr explicit AcGeScale3d(double factor) : sx(factor), sy(factor), sz(factor) {}
    constexpr AcGeScale3d(double x, double y, double z) : sx(x), sy(y), sz(z) {}

    static const AcGeScale3d kIdentity;

    AcGeScale3d& set(double x, double y, double z) {
        sx = x;
        sy = y;
        sz = z;
        return *this;
    }
    AcGeScale3d operator*(double factor) const { return {sx * factor, sy * factor, sz * factor}; }
    // Componentwise product.
    AcGeScale3d operator*(const AcGeScale3d& s) const { return {sx * s.sx, sy * s.sy, sz * s.sz}; }
    AcGeScale3d& operator*=(double factor) { return *this = *this * factor; }
    AcGeScale3d& operator*=(const AcGeScale3d& s) { return *this = *this * s; }

    // Factor 0, 1 or 2; aborts on any other index.
    double operator[](unsigned int i) const {
        hostCheckIndex("AcGeScale3d::operator[]", i, 3);
        return i == 0 ? sx : (i == 1 ? sy : sz);
    }
    double& operator[](unsigned int i) {
        hostCheckIndex("AcGeScale3d::operator[]", i, 3);
        return i == 0 ? sx : (i == 1 ? sy : sz);
    }

    // Each factor within tol.equalVector() of s's.
    bool isEqualTo(const AcGeScale3d& s, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeScale3d& s) const { return isEqualTo(s); }
    bool operator!=(const AcGeScale3d& s) const { return !isEqualTo(s); }
    // All three factors equal within tol.equalVector().
    bool isProportional(const AcGeTol& tol = AcGeContext::gTol) const;

    // The diagonal scaling matrix about the origin, written to m and returned.
    AcGeMatrix3d& getMatrix(AcGeMatrix3d& m) const;
    operator AcGeMatrix3d() const {
        AcGeMatrix3d m;
        return getMatrix(m);
    }
    // Takes the lengths of m's three linear columns as factors (always positive).
    AcGeScale3d& extractScale(const AcGeMatrix3d& m);

    double sx = 1.0;
    double sy = 1.0;
    double sz = 1.0;
};

inline constexpr AcGeScale3d AcGeScale3d::kIdentity{1.0, 1.0, 1.0};
