// AcGeMatrix3d: construction of the usual transformations, products, determinant, inverse and
// the shape tests.
#include "kestrel/host/ge/matrix3d.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

using Grid = double[4][4];

// Gauss-Jordan elimination with partial pivoting on the matrix with each column scaled to a
// largest entry of 1, so that the test measures linear dependence, not the size of an axis or a
// translation. Writes the inverse to out (when given) and the determinant to det (when given);
// false (det 0) when a column is zero or a pivot falls to relTol or below.
bool eliminate(const Grid in, Grid out, double relTol, double* det) {
    double colMax[4] = {0.0, 0.0, 0.0, 0.0};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            colMax[c] = std::max(colMax[c], std::fabs(in[r][c]));
        }
    }
    double a[4][4];
    double inv[4][4];
    double product = 1.0;
    for (int c = 0; c < 4; ++c) {
        if (colMax[c] == 0.0) {
            if (det != nullptr) {
                *det = 0.0;
            }
            return false;
        }
        product *= colMax[c];
    }
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            a[r][c] = in[r][c] / colMax[c];
            inv[r][c] = r == c ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][col]) <= relTol || a[pivot][col] == 0.0) {
            if (det != nullptr) {
                *det = 0.0;
            }
            return false;
        }
        if (pivot != col) {
            std::swap(a[pivot], a[col]);
            std::swap(inv[pivot], inv[col]);
            product = -product;
        }
        const double p = a[col][col];
        product *= p;
        for (int c = 0; c < 4; ++c) {
            a[col][c] /= p;
            inv[col][c] /= p;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col || a[r][col] == 0.0) {
                continue;
            }
            const double f = a[r][col];
            for (int c = 0; c < 4; ++c) {
                a[r][c] -= f * a[col][c];
                inv[r][c] -= f * inv[col][c];
            }
        }
    }
    // inv inverts A D^-1 (D the column scales), so A^-1 = D^-1 inv: row r divides by colMax[r].
    if (out != nullptr) {
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                out[r][c] = inv[r][c] / colMax[r];
            }
        }
    }
    if (det != nullptr) {
        *det = product;
    }
    return true;
}

AcGeVector3d column(const AcGeMatrix3d& m, int c) {
    return {m.entry[0][c], m.entry[1][c], m.entry[2][c]};
}

void setColumn(AcGeMatrix3d& m, int c, double x, double y, double z) {
    m.entry[0][c] = x;
    m.entry[1][c] = y;
    m.entry[2][c] = z;
}

bool isAffine(const AcGeMatrix3d& m, double tol) {
    return std::fabs(m.entry[3][0]) <= tol && std::fabs(m.entry[3][1]) <= tol &&
           std::fabs(m.entry[3][2]) <= tol && std::fabs(m.entry[3][3] - 1.0) <= tol;
}

// Affine with mutually perpendicular, non-zero columns; their lengths go to lengths.
bool hasOrthogonalColumns(const AcGeMatrix3d& m, const AcGeTol& tol, double lengths[3]) {
    const double e = tol.equalVector();
    if (!isAffine(m, e)) {
        return false;
    }
    AcGeVector3d cols[3];
    for (int c = 0; c < 3; ++c) {
        cols[c] = column(m, c);
        lengths[c] = cols[c].length();
        if (lengths[c] <= e) {
            return false;
        }
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (std::fabs(cols[i].dotProduct(cols[j])) > e * lengths[i] * lengths[j]) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

double AcGeMatrix3d::operator()(unsigned int row, unsigned int col) const {
    hostCheckIndex("AcGeMatrix3d::operator() row", row, 4);
    hostCheckIndex("AcGeMatrix3d::operator() col", col, 4);
    return entry[row][col];
}

double& AcGeMatrix3d::operator()(unsigned int row, unsigned int col) {
    hostCheckIndex("AcGeMatrix3d::operator() row", row, 4);
    hostCheckIndex("AcGeMatrix3d::operator() col", col, 4);
    return entry[row][col];
}

AcGeMatrix3d& AcGeMatrix3d::setToIdentity() {
    return *this = kIdentity;
}

AcGeMatrix3d& AcGeMatrix3d::setToTranslation(const AcGeVector3d& v) {
    setToIdentity();
    return setTranslation(v);
}

AcGeMatrix3d& AcGeMatrix3d::setTranslation(const AcGeVector3d& v) {
    setColumn(*this, 3, v.x, v.y, v.z);
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToRotation(double angle, const AcGeVector3d& axis,
                                          const AcGePoint3d& center) {
    setToIdentity();
    if (axis.isZeroLength()) {
        return *this;
    }
    const AcGeVector3d u = axis.normal();
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double t = 1.0 - c;
    setColumn(*this, 0, t * u.x * u.x + c, t * u.x * u.y + s * u.z, t * u.x * u.z - s * u.y);
    setColumn(*this, 1, t * u.x * u.y - s * u.z, t * u.y * u.y + c, t * u.y * u.z + s * u.x);
    setColumn(*this, 2, t * u.x * u.z + s * u.y, t * u.y * u.z - s * u.x, t * u.z * u.z + c);
    // The centre stays fixed: translation = center - R center.
    const AcGeVector3d moved = *this * center.asVector();
    return setTranslation(center.asVector() - moved);
}

AcGeMatrix3d& AcGeMatrix3d::setToScaling(double scale, const AcGePoint3d& center) {
    setToIdentity();
    for (int i = 0; i < 3; ++i) {
        entry[i][i] = scale;
    }
    return setTranslation(center.asVector() * (1.0 - scale));
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePoint3d& p) {
    setToScaling(-1.0, p);
    return *this;
}

AcGeMatrix3d& AcGeMatrix3d::setToMirroring(const AcGePlane& plane) {
    setToIdentity();
    if (plane.isDegenerate()) {
        return *this;
    }
    const AcGeVector3d n = plane.normal();
    const double nn[3] = {n.x, n.y, n.z};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            entry[r][c] -= 2.0 * nn[r] * nn[c];
        }
    }
    return setTranslation(n * (2.0 * plane.pointOnPlane().asVector().dotProduct(n)));
}

AcGeMatrix3d& AcGeMatrix3d::setCoordSystem(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                           const AcGeVector3d& yAxis, const AcGeVector3d& zAxis) {
    setToIdentity();
    setColumn(*this, 0, xAxis.x, xAxis.y, xAxis.z);
    setColumn(*this, 1, yAxis.x, yAxis.y, yAxis.z);
    setColumn(*this, 2, zAxis.x, zAxis.y, zAxis.z);
    return setTranslation(origin.asVector());
}

void AcGeMatrix3d::getCoordSystem(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis,
                                  AcGeVector3d& zAxis) const {
    xAxis = column(*this, 0);
    yAxis = column(*this, 1);
    zAxis = column(*this, 2);
    const AcGeVector3d t = column(*this, 3);
    origin.set(t.x, t.y, t.z);
}

AcGeMatrix3d& AcGeMatrix3d::setToAlignCoordSys(
    const AcGePoint3d& fromOrigin, const AcGeVector3d& fromXAxis, const AcGeVector3d& fromYAxis,
    const AcGeVector3d& fromZAxis, const AcGePoint3d& toOrigin, const AcGeVector3d& toXAxis,
    const AcGeVector3d& toYAxis, const AcGeVector3d& toZAxis) {
    AcGeMatrix3d from;
    from.setCoordSystem(fromOrigin, fromXAxis, fromYAxis, fromZAxis);
    AcGeMatrix3d fromInverse;
    if (!from.inverse(fromInverse, AcGeContext::gTol.equalVector())) {
        return setToIdentity();
    }
    setCoordSystem(toOrigin, toXAxis, toYAxis, toZAxis);
    return postMultBy(fromInverse);
}

AcGeMatrix3d& AcGeMatrix3d::setToPlaneToWorld(const AcGeVector3d& normal) {
    if (normal.isZeroLength()) {
        return setToIdentity();
    }
    const AcGeVector3d n = normal.normal();
    const AcGeVector3d xAxis = n.perpVector();
    const AcGeVector3d yAxis = n.crossProduct(xAxis).normal();
    return setCoordSystem(AcGePoint3d::kOrigin, xAxis, yAxis, n);
}

AcGeMatrix3d& AcGeMatrix3d::setToWorldToPlane(const AcGeVector3d& normal) {
    // The plane-to-world matrix is orthonormal, so its transpose is its inverse.
    return setToPlaneToWorld(normal).transposeIt();
}

AcGeMatrix3d& AcGeMatrix3d::setToProduct(const AcGeMatrix3d& a, const AcGeMatrix3d& b) {
    AcGeMatrix3d result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += a.entry[r][k] * b.entry[k][c];
            }
            result.entry[r][c] = sum;
        }
    }
    return *this = result;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
    return AcGeMatrix3d().setToTranslation(v);
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis,
                                    const AcGePoint3d& center) {
    return AcGeMatrix3d().setToRotation(angle, axis, center);
}

AcGeMatrix3d AcGeMatrix3d::scaling(double scale, const AcGePoint3d& center) {
    return AcGeMatrix3d().setToScaling(scale, center);
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePoint3d& p) {
    return AcGeMatrix3d().setToMirroring(p);
}

AcGeMatrix3d AcGeMatrix3d::mirroring(const AcGePlane& plane) {
    return AcGeMatrix3d().setToMirroring(plane);
}

AcGeMatrix3d AcGeMatrix3d::alignCoordSys(const AcGePoint3d& fromOrigin,
                                         const AcGeVector3d& fromXAxis,
                                         const AcGeVector3d& fromYAxis,
                                         const AcGeVector3d& fromZAxis, const AcGePoint3d& toOrigin,
                                         const AcGeVector3d& toXAxis, const AcGeVector3d& toYAxis,
                                         const AcGeVector3d& toZAxis) {
    return AcGeMatrix3d().setToAlignCoordSys(fromOrigin, fromXAxis, fromYAxis, fromZAxis, toOrigin,
                                             toXAxis, toYAxis, toZAxis);
}

AcGeMatrix3d AcGeMatrix3d::planeToWorld(const AcGeVector3d& normal) {
    return AcGeMatrix3d().setToPlaneToWorld(normal);
}

AcGeMatrix3d AcGeMatrix3d::worldToPlane(const AcGeVector3d& normal) {
    return AcGeMatrix3d().setToWorldToPlane(normal);
}

AcGeVector3d AcGeMatrix3d::translation() const {
    return column(*this, 3);
}

double AcGeMatrix3d::scale() const {
    return std::max(
        {column(*this, 0).length(), column(*this, 1).length(), column(*this, 2).length()});
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    return AcGeMatrix3d().setToProduct(*this, m);
}

AcGeMatrix3d& AcGeMatrix3d::operator*=(const AcGeMatrix3d& m) {
    return setToProduct(*this, m);
}

AcGeMatrix3d& AcGeMatrix3d::preMultBy(const AcGeMatrix3d& left) {
    return setToProduct(left, *this);
}

AcGeMatrix3d& AcGeMatrix3d::postMultBy(const AcGeMatrix3d& right) {
    return setToProduct(*this, right);
}

double AcGeMatrix3d::det() const {
    double result = 0.0;
    eliminate(entry, nullptr, 0.0, &result);
    return result;
}

bool AcGeMatrix3d::isSingular(const AcGeTol& tol) const {
    return !eliminate(entry, nullptr, tol.equalVector(), nullptr);
}

AcGeMatrix3d AcGeMatrix3d::inverse() const {
    AcGeMatrix3d result;
    inverse(result, AcGeContext::gTol.equalVector());
    return result;
}

bool AcGeMatrix3d::inverse(AcGeMatrix3d& out, double tol) const {
    return eliminate(entry, out.entry, std::fabs(tol), nullptr);
}

AcGeMatrix3d& AcGeMatrix3d::invert() {
    inverse(*this, AcGeContext::gTol.equalVector());
    return *this;
}

AcGeMatrix3d AcGeMatrix3d::transpose() const {
    AcGeMatrix3d result(*this);
    return result.transposeIt();
}

AcGeMatrix3d& AcGeMatrix3d::transposeIt() {
    for (int r = 0; r < 4; ++r) {
        for (int c = r + 1; c < 4; ++c) {
            std::swap(entry[r][c], entry[c][r]);
        }
    }
    return *this;
}

bool AcGeMatrix3d::isUniScaledOrtho(const AcGeTol& tol) const {
    double lengths[3];
    if (!hasOrthogonalColumns(*this, tol, lengths)) {
        return false;
    }
    const double e = tol.equalVector() * lengths[0];
    return std::fabs(lengths[1] - lengths[0]) <= e && std::fabs(lengths[2] - lengths[0]) <= e;
}

bool AcGeMatrix3d::isScaledOrtho(const AcGeTol& tol) const {
    double lengths[3];
    return hasOrthogonalColumns(*this, tol, lengths);
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (std::fabs(entry[r][c] - m.entry[r][c]) > tol.equalVector()) {
                return false;
            }
        }
    }
    return true;
}

AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
    const auto& e = m.entry;
    const double x = e[0][0] * p.x + e[0][1] * p.y + e[0][2] * p.z + e[0][3];
    const double y = e[1][0] * p.x + e[1][1] * p.y + e[1][2] * p.z + e[1][3];
    const double z = e[2][0] * p.x + e[2][1] * p.y + e[2][2] * p.z + e[2][3];
    const double w = e[3][0] * p.x + e[3][1] * p.y + e[3][2] * p.z + e[3][3];
    // Affine matrices have w == 1; a projective one divides through, unless w vanishes.
    if (w == 1.0 || w == 0.0) {
        return {x, y, z};
    }
    return {x / w, y / w, z / w};
}

AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
    const auto& e = m.entry;
    return {e[0][0] * v.x + e[0][1] * v.y + e[0][2] * v.z,
            e[1][0] * v.x + e[1][1] * v.y + e[1][2] * v.z,
            e[2][0] * v.x + e[2][1] * v.y + e[2][2] * v.z};
}
