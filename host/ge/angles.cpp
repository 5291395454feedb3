// Plane angles and the ads_point utilities.
#include "kestrel/host/ge/angles.h"

#include <cmath>

double normalizeAngle(double angle) {
    if (!std::isfinite(angle)) {
        return 0.0;
    }
    double result = std::fmod(angle, kGeTwoPi);
    if (result < 0.0) {
        result += kGeTwoPi;
    }
    // A tiny negative angle rounds up to exactly 2 pi, and -0.0 must read as 0.
    if (result >= kGeTwoPi || result == 0.0) {
        return 0.0;
    }
    return result;
}

double acutAngle(const double* p1, const double* p2) {
    return normalizeAngle(std::atan2(p2[1] - p1[1], p2[0] - p1[0]));
}

double acutDistance(const double* p1, const double* p2) {
    return std::hypot(p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]);
}

void acutPolar(const double* p, double angle, double distance, double* result) {
    const double x = p[0] + distance * std::cos(angle);
    const double y = p[1] + distance * std::sin(angle);
    result[2] = p[2];
    result[0] = x;
    result[1] = y;
}
