// Intersections of curve pieces: lines with lines and conics in closed form, conics in
// different planes through the plane of one, coplanar circles in closed form and other coplanar
// conics by bracketing the roots of an implicit equation along one of them.
#include "kestrel/host/ge/curve_pieces.h"

#include <algorithm>
#include <cmath>

#include "kestrel/host/ge/angles.h"

namespace host {

namespace {

// Distances below tolerance() count as zero; it grows with the size of the coordinates, since
// the rounding error of the computations does.
constexpr double kRelativeTolerance = 1e-10;
constexpr double kAbsoluteTolerance = 1e-10;
// Samples per turn when a conic's roots are bracketed.
constexpr int kSamples = 720;

using Kind = CurvePiece::Kind;

double pieceSize(const CurvePiece& p) {
    double size = p.origin.asVector().length() + p.v.length();
    if (p.kind == Kind::kConic || (std::isfinite(p.start) && std::isfinite(p.end))) {
        size += p.u.length() * std::max(std::fabs(p.start), std::fabs(p.end));
    }
    return size;
}

double tolerance(const CurvePiece& a, const CurvePiece& b) {
    return kAbsoluteTolerance + kRelativeTolerance * std::max(pieceSize(a), pieceSize(b));
}

AcGePoint3d pointAt(const CurvePiece& p, double t) {
    return p.kind == Kind::kLine ? p.origin + p.u * t
                                 : p.origin + p.u * std::cos(t) + p.v * std::sin(t);
}

bool isFull(const CurvePiece& conic) {
    return conic.end - conic.start >= kGeTwoPi - 1e-12;
}

// Whether parameter t lies on the piece, with a tolerance of tol in length.
bool inRange(const CurvePiece& p, double t, double tol) {
    if (p.kind == Kind::kLine) {
        const double slack = tol / p.u.length();
        return t >= p.start - slack && t <= p.end + slack;
    }
    if (isFull(p)) {
        return true;
    }
    const double slack = tol / std::min(p.u.length(), p.v.length());
    const double offset = normalizeAngle(t - p.start);
    return offset <= (p.end - p.start) + slack || offset >= kGeTwoPi - slack;
}

// Coordinates of a point in a conic's frame, in which the conic is the unit circle.
struct UnitCoords {
    double x;
    double y;
    double radius() const { return std::hypot(x, y); }
    double angle() const { return std::atan2(y, x); }
};

UnitCoords unitCoords(const CurvePiece& conic, const AcGePoint3d& p) {
    const AcGeVector3d d = p - conic.origin;
    return {d.dotProduct(conic.u) / conic.u.lengthSqrd(),
            d.dotProduct(conic.v) / conic.v.lengthSqrd()};
}

AcGeVector3d unitNormal(const CurvePiece& conic) {
    return conic.u.crossProduct(conic.v).normal();
}

double minorRadius(const CurvePiece& conic) {
    return std::min(conic.u.length(), conic.v.length());
}

// Whether p, known to lie in the conic's plane, lies on the conic.
bool onConic(const CurvePiece& conic, const AcGePoint3d& p, double tol) {
    return std::fabs(unitCoords(conic, p).radius() - 1.0) * minorRadius(conic) <= tol;
}

// Collects points that lie on both pieces, merging coincident ones.
class Collector {
public:
    Collector(const CurvePiece& a, const CurvePiece& b, std::vector<AcGePoint3d>& points)
        : m_a(a), m_b(b), m_tol(tolerance(a, b)), m_points(points) {}

    double tol() const { return m_tol; }

    void add(const AcGePoint3d& p) {
        if (!inRange(m_a, parameterOn(m_a, p), m_tol) ||
            !inRange(m_b, parameterOn(m_b, p), m_tol)) {
            return;
        }
        for (const AcGePoint3d& known : m_points) {
            if (known.distanceTo(p) <= m_tol) {
                return;
            }
        }
        m_points.push_back(p);
    }

private:
    static double parameterOn(const CurvePiece& piece, const AcGePoint3d& p) {
        if (piece.kind == Kind::kLine) {
            return (p - piece.origin).dotProduct(piece.u) / piece.u.lengthSqrd();
        }
        return unitCoords(piece, p).angle();
    }

    const CurvePiece& m_a;
    const CurvePiece& m_b;
    double m_tol;
    std::vector<AcGePoint3d>& m_points;
};

void lineLine(const CurvePiece& a, const CurvePiece& b, Collector& out) {
    const AcGeVector3d w = a.origin - b.origin;
    const double aa = a.u.dotProduct(a.u);
    const double ab = a.u.dotProduct(b.u);
    const double bb = b.u.dotProduct(b.u);
    const double den = aa * bb - ab * ab;
    if (den <= 1e-20 * aa * bb) {
        return;  // parallel: no point, or infinitely many when they overlap
    }
    const double da = a.u.dotProduct(w);
    const double db = b.u.dotProduct(w);
    const double s = (ab * db - bb * da) / den;
    const double t = (aa * db - ab * da) / den;
    const AcGePoint3d pa = a.origin + a.u * s;
    const AcGePoint3d pb = b.origin + b.u * t;
    if (pa.distanceTo(pb) <= out.tol()) {
        out.add(pa + (pb - pa) * 0.5);
    }
}

void lineConic(const CurvePiece& line, const CurvePiece& conic, Collector& out) {
    const AcGeVector3d n = unitNormal(conic);
    const double along = line.u.dotProduct(n);
    if (std::fabs(along) > 1e-12 * line.u.length()) {
        // The line crosses the conic's plane once.
        const double s = (conic.origin - line.origin).dotProduct(n) / along;
        const AcGePoint3d p = line.origin + line.u * s;
        if (onConic(conic, p, out.tol())) {
            out.add(p);
        }
        return;
    }
    if (std::fabs((line.origin - conic.origin).dotProduct(n)) > out.tol()) {
        return;  // parallel to the plane, off it
    }
    // In the plane: the conic is the unit circle in its own frame, the line stays a line there.
    const UnitCoords o = unitCoords(conic, line.origin);
    const double dx = line.u.dotProduct(conic.u) / conic.u.lengthSqrd();
    const double dy = line.u.dotProduct(conic.v) / conic.v.lengthSqrd();
    const double qa = dx * dx + dy * dy;
    const double closest = -(o.x * dx + o.y * dy) / qa;
    const double h = std::hypot(o.x + closest * dx, o.y + closest * dy);
    if (std::fabs(h - 1.0) * minorRadius(conic) <= out.tol()) {
        out.add(line.origin + line.u * closest);  // tangent
    } else if (h < 1.0) {
        const double half = std::sqrt((1.0 - h * h) / qa);
        out.add(line.origin + line.u * (closest - half));
        out.add(line.origin + line.u * (closest + half));
    }
}

void coplanarCircles(const CurvePiece& a, const CurvePiece& b, Collector& out) {
    const double ra = a.u.length();
    const double rb = b.u.length();
    const AcGeVector3d between = b.origin - a.origin;
    const double d = between.length();
    if (d <= out.tol()) {
        return;  // concentric: no point, or the same circle
    }
    const AcGeVector3d e = between / d;
    const double along = (ra * ra - rb * rb + d * d) / (2.0 * d);
    const double h2 = ra * ra - along * along;
    const bool touching =
        std::fabs(d - (ra + rb)) <= out.tol() || std::fabs(d - std::fabs(ra - rb)) <= out.tol();
    if (touching || (h2 >= 0.0 && std::sqrt(h2) <= out.tol())) {
        out.add(a.origin + e * std::clamp(along, -ra, ra));
        return;
    }
    if (h2 < 0.0) {
        return;
    }
    const AcGeVector3d f = unitNormal(a).crossProduct(e) * std::sqrt(h2);
    out.add(a.origin + e * along + f);
    out.add(a.origin + e * along - f);
}

// Coplanar conics in general: the roots of f(t) = |frame of b (a(t))|^2 - 1 along a, bracketed
// between samples (crossings) or found as minima of |f| (tangencies). Near a tangency both may
// find the same point, only to about the square root of the rounding error: candidates closer
// than kClusterTolerance (relative) are one point, the one with the smallest |f|.
void coplanarConics(const CurvePiece& a, const CurvePiece& b, Collector& out) {
    constexpr double kClusterTolerance = 1e-6;
    constexpr double kGolden = 0.6180339887498949;
    auto f = [&](double t) {
        const UnitCoords c = unitCoords(b, pointAt(a, t));
        return c.x * c.x + c.y * c.y - 1.0;
    };
    const double step = kGeTwoPi / kSamples;
    std::vector<double> values(kSamples + 2);
    for (int i = 0; i <= kSamples + 1; ++i) {
        values[i] = f(i * step);
    }
    std::vector<double> candidates;
    for (int i = 0; i < kSamples; ++i) {
        double lo = i * step;
        double hi = lo + step;
        if (values[i] == 0.0) {
            candidates.push_back(lo);
        } else if ((values[i] < 0.0) != (values[i + 1] < 0.0)) {
            const bool rising = values[i] < 0.0;
            for (int k = 0; k < 100 && hi - lo > 1e-15; ++k) {
                const double mid = 0.5 * (lo + hi);
                ((f(mid) < 0.0) == rising ? lo : hi) = mid;
            }
            candidates.push_back(0.5 * (lo + hi));
        } else if (std::fabs(values[i + 1]) < std::fabs(values[i]) &&
                   std::fabs(values[i + 1]) <= std::fabs(values[i + 2])) {
            double left = lo;
            double right = hi + step;
            for (int k = 0; k < 100 && right - left > 1e-15; ++k) {
                const double m1 = right - kGolden * (right - left);
                const double m2 = left + kGolden * (right - left);
                if (std::fabs(f(m1)) < std::fabs(f(m2))) {
                    right = m2;
                } else {
                    left = m1;
                }
            }
            candidates.push_back(0.5 * (left + right));
        }
    }
    const double cluster = kClusterTolerance * (1.0 + pieceSize(a));
    std::vector<double> kept;
    for (double t : candidates) {
        auto same = std::find_if(kept.begin(), kept.end(), [&](double k) {
            return pointAt(a, k).distanceTo(pointAt(a, t)) <= cluster;
        });
        if (same == kept.end()) {
            kept.push_back(t);
        } else if (std::fabs(f(t)) < std::fabs(f(*same))) {
            *same = t;
        }
    }
    for (double t : kept) {
        const AcGePoint3d p = pointAt(a, t);
        if (onConic(b, p, out.tol())) {
            out.add(p);
        }
    }
}

// Conics in planes that cross: the points of a on b's plane that also lie on b.
void crossingConics(const CurvePiece& a, const CurvePiece& b, Collector& out) {
    const AcGeVector3d n = unitNormal(b);
    const double c0 = (a.origin - b.origin).dotProduct(n);
    const double cu = a.u.dotProduct(n);
    const double cv = a.v.dotProduct(n);
    const double amplitude = std::hypot(cu, cv);
    if (amplitude == 0.0) {
        return;
    }
    const double cosine = -c0 / amplitude;  // cos(t - phase) on b's plane
    const double slack = out.tol() / amplitude;
    if (std::fabs(cosine) > 1.0 + slack) {
        return;
    }
    const double phase = std::atan2(cv, cu);
    const double offset = std::acos(std::clamp(cosine, -1.0, 1.0));
    for (double t : {phase + offset, phase - offset}) {
        const AcGePoint3d p = pointAt(a, t);
        if (onConic(b, p, out.tol())) {
            out.add(p);
        }
    }
}

void conicConic(const CurvePiece& a, const CurvePiece& b, Collector& out) {
    const AcGeVector3d na = unitNormal(a);
    if (!na.crossProduct(unitNormal(b)).isZeroLength(AcGeTol())) {
        crossingConics(a, b, out);
        return;
    }
    if (std::fabs((b.origin - a.origin).dotProduct(na)) > out.tol()) {
        return;  // parallel planes
    }
    auto isCircle = [](const CurvePiece& c) {
        return std::fabs(c.u.length() - c.v.length()) <= 1e-12 * c.u.length();
    };
    if (isCircle(a) && isCircle(b)) {
        coplanarCircles(a, b, out);
    } else {
        coplanarConics(a, b, out);
    }
}

bool isDegenerate(const CurvePiece& p) {
    return p.u.isZeroLength(AcGeTol()) || (p.kind == Kind::kConic && p.v.isZeroLength(AcGeTol()));
}

}  // namespace

CurvePiece CurvePiece::segment(const AcGePoint3d& from, const AcGePoint3d& to) {
    return {Kind::kLine, from, to - from, AcGeVector3d(), 0.0, 1.0};
}

CurvePiece CurvePiece::ray(const AcGePoint3d& base, const AcGeVector3d& direction) {
    return {Kind::kLine, base, direction, AcGeVector3d(), 0.0, kInfinity};
}

CurvePiece CurvePiece::line(const AcGePoint3d& base, const AcGeVector3d& direction) {
    return {Kind::kLine, base, direction, AcGeVector3d(), -kInfinity, kInfinity};
}

CurvePiece CurvePiece::conic(const AcGePoint3d& center, const AcGeVector3d& u,
                             const AcGeVector3d& v, double start, double sweep) {
    return {Kind::kConic, center, u, v, start, start + std::clamp(sweep, 0.0, kGeTwoPi)};
}

CurvePiece CurvePiece::extended() const {
    CurvePiece whole = *this;
    if (kind == Kind::kLine) {
        whole.start = -kInfinity;
        whole.end = kInfinity;
    } else {
        whole.end = start + kGeTwoPi;
    }
    return whole;
}

void intersectPieces(const CurvePiece& a, const CurvePiece& b, std::vector<AcGePoint3d>& points) {
    if (isDegenerate(a) || isDegenerate(b)) {
        return;
    }
    Collector out(a, b, points);
    if (a.kind == Kind::kLine && b.kind == Kind::kLine) {
        lineLine(a, b, out);
    } else if (a.kind == Kind::kLine) {
        lineConic(a, b, out);
    } else if (b.kind == Kind::kLine) {
        lineConic(b, a, out);
    } else {
        conicConic(a, b, out);
    }
}

double pieceTolerance(const CurvePiece& a, const CurvePiece& b) {
    return tolerance(a, b);
}

}  // namespace host
