// Plane angles and the host's point utilities on ads_point coordinates (three doubles):
// acutAngle, acutDistance, acutPolar. Angles are radians, counter-clockwise from the X axis.
#pragma once

#include "kestrel/export.h"

constexpr double kGePi = 3.14159265358979323846;
constexpr double kGeTwoPi = 2.0 * kGePi;

// The angle mapped into [0, 2 pi); NaN and infinities give 0.
DRAWHOST_API double normalizeAngle(double angle);

// Angle of p2 seen from p1 in the XY plane, in [0, 2 pi); 0 for coincident points.
DRAWHOST_API double acutAngle(const double* p1, const double* p2);

// 3D distance between the two points.
DRAWHOST_API double acutDistance(const double* p1, const double* p2);

// result := p moved by distance along angle in the XY plane (z kept). result may be p itself.
DRAWHOST_API void acutPolar(const double* p, double angle, double distance, double* result);
