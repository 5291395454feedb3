// Plane angles and the host's point utilities on ads_point coordinates (three doubles):
// acutAngle, acutDistance, acutPolar. Angles are radians, counter-clockwise from the X axis.
#pragma once

constexpr double kGePi = 3.14159265358979323846;
constexpr double kGeTwoPi = 2.0 * kGePi;

// The angle mapped into [0, 2 pi); NaN and infinities give 0.
double normalizeAngle(double angle);

// Angle of p2 seen from p1 in the XY plane, in [0, 2 pi); 0 for coincident points.
double acutAngle(const double* p1, const double* p2);

// 3D distance between the two points.
double acutDistance(const double* p1, const double* p2);

// result := p moved by distance along angle in the XY plane (z kept). result may be p itself.
void acutPolar(const double* p, double angle, double distance, double* result);
