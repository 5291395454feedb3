// AcGeMatrix3d: a 4x4 transformation of 3D space acting on column vectors (p' = M p), so
// A * B applies B first. entry[row][3] holds the translation.
// A singular matrix has no inverse: inverse() then returns the identity, invert() leaves the
// matrix unchanged, and inverse(out, tol) answers false leaving out unchanged. A degenerate
// argument (zero axis, zero normal) makes the setters produce the identity.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/plane.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/tolerance.h"
#include "kestrel/host/ge/vector3d.h"

class DRAWHOST_API AcGeMatrix3d {
public:
    // The identity.
    constexpr AcGeMatrix3d()
        : entry{{1.0, 0.0, 0.0, 0.0},
                {0.0, 1.0, 0.0, 0.0},
                {0.0, 0.0, 1.0, 0.0},
                {0.0, 0.0, 0.0, 1.0}} {}

    static const AcGeMatrix3d kIdentity;

    // Element access; abort when row or col is outside 0..3.
    double operator()(unsigned int row, unsigned int col) const;
    double& operator()(unsigned int row, unsigned int col);

    AcGeMatrix3d& setToIdentity();
    // The whole matrix becomes a pure translation by v.
    AcGeMatrix3d& setToTranslation(const AcGeVector3d& v);
    // Replaces only the translation column; the linear part stays.
    AcGeMatrix3d& setTranslation(const AcGeVector3d& v);
    // Rotation by angle (radians, right-handed) about the axis through center.
    AcGeMatrix3d& setToRotation(double angle, const AcGeVector3d& axis,
                                const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Uniform scaling about center.
    AcGeMatrix3d& setToScaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Point reflection through p.
    AcGeMatrix3d& setToMirroring(const AcGePoint3d& p);
    // Reflection in the plane.
    AcGeMatrix3d& setToMirroring(const AcGePlane& plane);
    // Maps the world axes onto the given axes at origin (columns xAxis, yAxis, zAxis, origin).
    AcGeMatrix3d& setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                 const AcGeVector3d& yAxis, const AcGeVector3d& zAxis);
    // Reads the columns back as set by setCoordSystem.
    void getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                        AcGeVector3d& zAxis) const;
    // Maps the system (fromOrigin, fromX, fromY, fromZ) onto (toOrigin, toX, toY, toZ); the
    // identity when the source system is singular.
    AcGeMatrix3d& setToAlignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                     const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                     const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                     const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis);
    // From the object coordinate system of normal (arbitrary-axis rule) to world coordinates.
    AcGeMatrix3d& setToPlaneToWorld(const AcGeVector3d& normal);
    // From world coordinates to the object coordinate system of normal.
    AcGeMatrix3d& setToWorldToPlane(const AcGeVector3d& normal);
    AcGeMatrix3d& setToProduct(const AcGeMatrix3d& a, const AcGeMatrix3d& b);

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d scaling(double scale, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d mirroring(const AcGePoint3d& p);
    static AcGeMatrix3d mirroring(const AcGePlane& plane);
    static AcGeMatrix3d alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis,
                                      const AcGeVector3d& fromYAxis, const AcGeVector3d& fromZAxis,
                                      const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
                                      const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis);
    static AcGeMatrix3d planeToWorld(const AcGeVector3d& normal);
    static AcGeMatrix3d worldToPlane(const AcGeVector3d& normal);

    // The translation column.
    AcGeVector3d translation() const;
    // The largest length of the three columns of the linear part.
    double scale() const;

    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    // this := this * m (m is applied first).
    AcGeMatrix3d& operator*=(const AcGeMatrix3d& m);
    // this := left * this.
    AcGeMatrix3d& preMultBy(const AcGeMatrix3d& left);
    // this := this * right.
    AcGeMatrix3d& postMultBy(const AcGeMatrix3d& right);

    double det() const;
    // Singular when the columns are linearly dependent: with each column scaled to a largest
    // entry of 1, elimination meets a pivot of tol.equalVector() or less. A tiny but independent
    // axis scale is not singular; a zero column is.
    bool isSingular(const AcGeTol& tol = AcGeContext::gTol) const;
    // The inverse, or the identity when singular.
    AcGeMatrix3d inverse() const;
    // Writes the inverse to out and answers true; false (out unchanged) when singular by tol.
    bool inverse(AcGeMatrix3d& out, double tol) const;
    // Inverts in place; a singular matrix stays unchanged.
    AcGeMatrix3d& invert();
    AcGeMatrix3d transpose() const;
    AcGeMatrix3d& transposeIt();

    // Affine (last row 0 0 0 1) with mutually perpendicular columns of one non-zero length,
    // compared relative to that length with tol.equalVector().
    bool isUniScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // Affine with mutually perpendicular non-zero columns of any lengths.
    bool isScaledOrtho(const AcGeTol& tol = AcGeContext::gTol) const;
    // Every entry within tol.equalVector() of m's.
    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = AcGeContext::gTol) const;
    bool operator==(const AcGeMatrix3d& m) const { return isEqualTo(m); }
    bool operator!=(const AcGeMatrix3d& m) const { return !isEqualTo(m); }

    double entry[4][4];
};

inline constexpr AcGeMatrix3d AcGeMatrix3d::kIdentity{};

// The transformed point, translation included.
DRAWHOST_API AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p);
// The transformed vector; translation ignored.
DRAWHOST_API AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v);
