// Curve sampling: arcs by their sweep (kSegmentsPerTurn), B-splines by de Boor's algorithm on
// homogeneous points, a fixed number of samples per non-empty knot span.
#include "tools/svg_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

int segmentsFor(double sweep) {
    return std::max(2, static_cast<int>(std::ceil(std::abs(sweep) / (2 * kPi) * kSegmentsPerTurn)));
}

}  // namespace

void appendBulge(const AcGePoint3d& a, const AcGePoint3d& b, double bulge,
                 std::vector<AcGePoint3d>& points) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double chord = std::hypot(dx, dy);
    if (bulge == 0.0 || !std::isfinite(bulge) || chord == 0.0) {
        points.push_back(b);
        return;
    }
    const double sweep = 4 * std::atan(bulge);
    const double offset = chord * (1 - bulge * bulge) / (4 * bulge);
    const double cx = (a.x + b.x) / 2 - dy / chord * offset;
    const double cy = (a.y + b.y) / 2 + dx / chord * offset;
    const double radius = std::hypot(a.x - cx, a.y - cy);
    const double start = std::atan2(a.y - cy, a.x - cx);
    const int segments = segmentsFor(sweep);
    for (int i = 1; i < segments; ++i) {
        const double t = start + sweep * i / segments;
        const double z = a.z + (b.z - a.z) * i / segments;
        points.emplace_back(cx + radius * std::cos(t), cy + radius * std::sin(t), z);
    }
    points.push_back(b);
}

void appendEllipticArc(const AcGePoint3d& centre, const AcGeVector3d& u, const AcGeVector3d& v,
                       double t0, double sweep, std::vector<AcGePoint3d>& points) {
    if (!std::isfinite(sweep) || !std::isfinite(t0)) {
        return;
    }
    const int segments = segmentsFor(sweep);
    for (int i = 0; i <= segments; ++i) {
        const double t = t0 + sweep * i / segments;
        points.push_back(centre + u * std::cos(t) + v * std::sin(t));
    }
}

double sweepBetween(double start, double end) {
    const double sweep = std::fmod(end - start, 2 * kPi);
    return sweep > 0 ? sweep : sweep + 2 * kPi;
}

std::vector<AcGePoint3d> bsplinePoints(int degree, const std::vector<double>& knots,
                                       const std::vector<AcGePoint3d>& controls,
                                       const std::vector<double>& weights, int samplesPerSpan) {
    const std::size_t n = controls.size();
    if (degree < 1 || n < static_cast<std::size_t>(degree) + 1 ||
        knots.size() != n + static_cast<std::size_t>(degree) + 1 ||
        (!weights.empty() && weights.size() != n) || !std::is_sorted(knots.begin(), knots.end())) {
        return {};
    }
    const auto p = static_cast<std::size_t>(degree);
    std::vector<AcGePoint3d> out;
    std::vector<double> hx(p + 1), hy(p + 1), hz(p + 1), hw(p + 1);
    for (std::size_t span = p; span < n; ++span) {
        const double from = knots[span];
        const double to = knots[span + 1];
        if (!(to > from)) {
            continue;
        }
        for (int s = out.empty() ? 0 : 1; s <= samplesPerSpan; ++s) {
            const double t = from + (to - from) * s / samplesPerSpan;
            for (std::size_t j = 0; j <= p; ++j) {
                const std::size_t k = span - p + j;
                const double w = weights.empty() ? 1.0 : weights[k];
                hx[j] = controls[k].x * w;
                hy[j] = controls[k].y * w;
                hz[j] = controls[k].z * w;
                hw[j] = w;
            }
            for (std::size_t r = 1; r <= p; ++r) {
                for (std::size_t j = p; j >= r; --j) {
                    const std::size_t k = span - p + j;
                    const double denominator = knots[k + p + 1 - r] - knots[k];
                    const double a = denominator > 0 ? (t - knots[k]) / denominator : 0.0;
                    hx[j] = (1 - a) * hx[j - 1] + a * hx[j];
                    hy[j] = (1 - a) * hy[j - 1] + a * hy[j];
                    hz[j] = (1 - a) * hz[j - 1] + a * hz[j];
                    hw[j] = (1 - a) * hw[j - 1] + a * hw[j];
                }
            }
            if (hw[p] != 0.0 && std::isfinite(hw[p])) {
                out.emplace_back(hx[p] / hw[p], hy[p] / hw[p], hz[p] / hw[p]);
            }
        }
    }
    return out;
}

std::vector<AcGePoint3d> arrowHead(const AcGePoint3d& tip, const AcGePoint3d& from, double length) {
    AcGeVector3d back = from - tip;
    const double distance = back.length();
    if (distance == 0.0 || !std::isfinite(distance) || !std::isfinite(length)) {
        return {};
    }
    back = back * (length / distance);
    const AcGeVector3d side(-back.y / 6, back.x / 6, 0);
    return {tip, tip + back + side, tip + back - side};
}

bool patternSegments(const PatternFamily& family, const AcGePoint2d& low, const AcGePoint2d& high,
                     std::size_t limit, std::vector<PatternSegment>& segments) {
    const AcGeVector2d along(std::cos(family.angle), std::sin(family.angle));
    const AcGeVector2d across(-along.y, along.x);
    const double spacing = family.offset.dotProduct(across);
    if (!(std::fabs(spacing) > 1e-12 * std::max(1.0, family.offset.length()))) {
        return false;
    }
    const AcGePoint2d corners[4] = {low, AcGePoint2d(high.x, low.y), high,
                                    AcGePoint2d(low.x, high.y)};
    double nearest = INFINITY;
    double farthest = -INFINITY;
    for (const AcGePoint2d& corner : corners) {
        const double distance = (corner - family.base).dotProduct(across) / spacing;
        nearest = std::min(nearest, distance);
        farthest = std::max(farthest, distance);
    }
    if (!std::isfinite(nearest) || !std::isfinite(farthest) ||
        farthest - nearest > static_cast<double>(limit)) {
        return false;
    }
    double period = 0.0;
    for (const double dash : family.dashes) {
        period += std::fabs(dash);
    }
    const std::size_t before = segments.size();
    for (double k = std::ceil(nearest); k <= farthest; ++k) {
        const AcGePoint2d origin = family.base + family.offset * k;
        double first = INFINITY;
        double last = -INFINITY;
        for (const AcGePoint2d& corner : corners) {
            first = std::min(first, (corner - origin).dotProduct(along));
            last = std::max(last, (corner - origin).dotProduct(along));
        }
        const auto add = [&](double from, double to) {
            segments.push_back({origin + along * from, origin + along * to});
        };
        if (!(period > 0.0)) {
            add(first, last);
        } else {
            // The dashes repeat from the line's origin: start at the last repeat before first.
            for (double t = std::floor(first / period) * period; t < last;) {
                for (const double dash : family.dashes) {
                    if (dash > 0.0 && t + dash > first && t < last) {
                        add(std::max(t, first), std::min(t + dash, last));
                    }
                    t += std::fabs(dash);
                }
                if (segments.size() - before > limit) {
                    break;
                }
            }
        }
        if (segments.size() - before > limit) {
            segments.resize(before);
            return false;
        }
    }
    return true;
}
