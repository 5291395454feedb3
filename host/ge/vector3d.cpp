// AcGeVector3d: lengths, normalisation, directional tests, angles and rotation.
#include "kestrel/host/ge/vector3d.h"

#include <algorithm>
#include <cmath>

#include "kestrel/host/ge/matrix3d.h"

namespace {

constexpr double kTwoPi = 6.283185307179586476925;

}  // namespace

double AcGeVector3d::operator[](unsigned int i) const {
    hostCheckIndex("AcGeVector3d::operator[]", i, 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

double& AcGeVector3d::operator[](unsigned int i) {
    hostCheckIndex("AcGeVector3d::operator[]", i, 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

double AcGeVector3d::length() const {
    return std::hypot(x, y, z);
}

AcGeVector3d AcGeVector3d::normal(const AcGeTol& tol) const {
    AcGeVector3d result(*this);
    return result.normalize(tol);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol) {
    AcGe::ErrorCondition flag = AcGe::kOk;
    return normalize(tol, flag);
}

AcGeVector3d& AcGeVector3d::normalize(const AcGeTol& tol, AcGe::ErrorCondition& flag) {
    if (isZeroLength(tol)) {
        flag = AcGe::k0This;
        return *this;
    }
    flag = AcGe::kOk;
    return *this /= length();
}

bool AcGeVector3d::isZeroLength(const AcGeTol& tol) const {
    return length() <= tol.equalVector();
}

bool AcGeVector3d::isUnitLength(const AcGeTol& tol) const {
    return std::fabs(length() - 1.0) <= tol.equalVector();
}

bool AcGeVector3d::isParallelTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) {
        return false;
    }
    return normal(tol).crossProduct(v.normal(tol)).length() <= tol.equalVector();
}

bool AcGeVector3d::isCodirectionalTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) {
        return false;
    }
    return (normal(tol) - v.normal(tol)).length() <= tol.equalVector();
}

bool AcGeVector3d::isPerpendicularTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    if (isZeroLength(tol) || v.isZeroLength(tol)) {
        return false;
    }
    return std::fabs(normal(tol).dotProduct(v.normal(tol))) <= tol.equalVector();
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    const double e = tol.equalVector();
    return std::fabs(x - v.x) <= e && std::fabs(y - v.y) <= e && std::fabs(z - v.z) <= e;
}

double AcGeVector3d::angleTo(const AcGeVector3d& v) const {
    // atan2 of |a x b| and a . b stays accurate near 0 and pi, unlike acos of the cosine.
    return std::atan2(crossProduct(v).length(), dotProduct(v));
}

double AcGeVector3d::angleTo(const AcGeVector3d& v, const AcGeVector3d& reference) const {
    const double angle = angleTo(v);
    if (crossProduct(v).dotProduct(reference) >= 0.0 || angle == 0.0) {
        return angle;
    }
    const double turned = kTwoPi - angle;
    return turned >= kTwoPi ? 0.0 : turned;
}

AcGeVector3d& AcGeVector3d::rotateBy(double angle, const AcGeVector3d& axis) {
    return transformBy(AcGeMatrix3d::rotation(angle, axis));
}

AcGeVector3d AcGeVector3d::perpVector() const {
    if (isZeroLength()) {
        return kIdentity;
    }
    // Arbitrary-axis rule: a direction close to the Z axis takes the world Y axis as helper.
    const AcGeVector3d n = normal();
    constexpr double kLimit = 1.0 / 64.0;
    const AcGeVector3d helper =
        (std::fabs(n.x) < kLimit && std::fabs(n.y) < kLimit) ? kYAxis : kZAxis;
    return helper.crossProduct(n).normal();
}

AcGeVector3d& AcGeVector3d::transformBy(const AcGeMatrix3d& m) {
    return *this = m * *this;
}
