// AcGeVector2d: angles and rotation.
#include "kestrel/host/ge/vector2d.h"

#include "kestrel/host/ge/angles.h"

double AcGeVector2d::angle() const {
    return normalizeAngle(std::atan2(y, x));
}

double AcGeVector2d::angleTo(const AcGeVector2d& v) const {
    return std::atan2(std::fabs(x * v.y - y * v.x), dotProduct(v));
}

AcGeVector2d& AcGeVector2d::rotateBy(double angle) {
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return set(c * x - s * y, s * x + c * y);
}
