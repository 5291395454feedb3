// Dimension graphics: the rotated dimension's lines, the angular dimensions' arc, and the arrows
// and text both share.
#include "kestrel/host/db/entities/dimension_graphics.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <system_error>

#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/ge/angles.h"

namespace host {
namespace {

constexpr double kTiny = 1e-9;

const AcGeVector3d kZ(0.0, 0.0, 1.0);

AcGeVector3d direction(double angle) {
    return AcGeVector3d(std::cos(angle), std::sin(angle), 0.0);
}

double angleOf(const AcGeVector3d& v) {
    return normalizeAngle(std::atan2(v.y, v.x));
}

// The measurement with up to four decimals, trailing zeros dropped.
std::wstring formatted(double value) {
    char digits[64];
    auto written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4);
    if (written.ec != std::errc()) {
        written = std::to_chars(digits, digits + sizeof digits, value);
    }
    std::string text(digits, written.ptr);
    if (text.find('e') != std::string::npos) {
        return std::wstring(text.begin(), text.end());
    }
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') {
        text.pop_back();
    }
    return text == "-0" ? L"0" : std::wstring(text.begin(), text.end());
}

// The sizes of the dimension's style (its values times its overall scale); the default style's
// when the dimension names no style that opens.
struct Sizes {
    double arrow = 0.18;
    double text = 0.18;
    double offset = 0.0625;  // from the measured point to the extension line
    double beyond = 0.18;    // of the extension line past the dimension line
};

Sizes sizesOf(const AcDbDimension* dimension) {
    Sizes sizes;
    AcDbDimStyleTableRecord* style = nullptr;
    if (acdbOpenObject(style, dimension->dimensionStyle(), AcDb::kForRead) != Acad::eOk) {
        return sizes;
    }
    const double scale = style->dimscale() > 0.0 ? style->dimscale() : 1.0;
    sizes = {style->dimasz() * scale, style->dimtxt() * scale, style->dimexo() * scale,
             style->dimexe() * scale};
    style->close();
    return sizes;
}

// A filled arrowhead with its tip at tip, pointing along pointing.
DimensionGraphics::Arrow arrow(const AcGePoint3d& tip, const AcGeVector3d& pointing, double size) {
    const AcGePoint3d base = tip - pointing * size;
    const AcGeVector3d side = kZ.crossProduct(pointing) * (size / 6.0);
    return {tip, base + side, base - side};
}

// Text reads from left to right: a rotation pointing left turns half a turn.
double readable(double angle) {
    angle = normalizeAngle(angle);
    return angle > kGePi / 2 + kTiny && angle <= 3 * kGePi / 2 + kTiny
               ? normalizeAngle(angle - kGePi)
               : angle;
}

// An extension line from a measured point to the dimension line or arc through foot.
void addExtension(DimensionGraphics& g, const Sizes& sizes, const AcGePoint3d& from,
                  const AcGePoint3d& foot) {
    const AcGeVector3d along = foot - from;
    const double length = along.length();
    if (length <= sizes.offset) {
        return;
    }
    const AcGeVector3d unit = along / length;
    g.lines.push_back({from + unit * sizes.offset, foot + unit * sizes.beyond});
}

DimensionGraphics rotated(const AcDbRotatedDimension* dimension, const Sizes& sizes) {
    DimensionGraphics g;
    const AcGeVector3d u = direction(dimension->rotation());
    const AcGePoint3d through = dimension->dimLinePoint();
    const AcGePoint3d p1 = dimension->xLine1Point();
    const AcGePoint3d p2 = dimension->xLine2Point();
    const AcGePoint3d q1 = through + u * (p1 - through).dotProduct(u);
    const AcGePoint3d q2 = through + u * (p2 - through).dotProduct(u);
    const double length = q1.distanceTo(q2);
    if (length < kTiny) {
        return g;
    }
    const AcGeVector3d w = (q2 - q1) / length;
    addExtension(g, sizes, p1, q1);
    addExtension(g, sizes, p2, q2);
    g.lines.push_back({q1, q2});
    g.arrows.push_back(arrow(q1, -w, sizes.arrow));
    g.arrows.push_back(arrow(q2, w, sizes.arrow));
    const double rotation = readable(angleOf(w));
    const AcGePoint3d middle = q1 + (q2 - q1) * 0.5;
    g.labels.push_back({middle + kZ.crossProduct(direction(rotation)) * (sizes.text / 2), rotation,
                        sizes.text, dimensionLabel(dimension)});
    return g;
}

// The arc of an angular dimension around center from angle start counter-clockwise over sweep,
// through the radius of arcPoint, with the extension lines from the measured points.
DimensionGraphics angular(const AcDbDimension* dimension, const Sizes& sizes,
                          const AcGePoint3d& center, double start, double sweep,
                          const AcGePoint3d& arcPoint, const AcGePoint3d& from1,
                          const AcGePoint3d& from2) {
    DimensionGraphics g;
    const double radius = center.distanceTo(arcPoint);
    if (radius < kTiny || sweep < kTiny) {
        return g;
    }
    const double end = start + sweep;
    const AcGePoint3d a1 = center + direction(start) * radius;
    const AcGePoint3d a2 = center + direction(end) * radius;
    // A measured point beyond the arc needs no extension line.
    if (center.distanceTo(from1) < radius) {
        addExtension(g, sizes, from1, a1);
    }
    if (center.distanceTo(from2) < radius) {
        addExtension(g, sizes, from2, a2);
    }
    g.arcs.push_back({center, radius, normalizeAngle(start), normalizeAngle(end)});
    g.arrows.push_back(arrow(a1, -direction(start + kGePi / 2), sizes.arrow));
    g.arrows.push_back(arrow(a2, direction(end + kGePi / 2), sizes.arrow));
    const double middle = start + sweep / 2;
    const double upright = normalizeAngle(middle - kGePi / 2);
    const double rotation = readable(upright);
    // Turned text hangs below its baseline, so its baseline goes one text height further out.
    const double lift = (rotation == upright ? 0.5 : 1.5) * sizes.text;
    g.labels.push_back(
        {center + direction(middle) * (radius + lift), rotation, sizes.text, dimensionLabel(dimension)});
    return g;
}

DimensionGraphics threePoint(const AcDb3PointAngularDimension* dimension, const Sizes& sizes) {
    const AcGePoint3d center = dimension->centerPoint();
    const AcGePoint3d p1 = dimension->xLine1Point();
    const AcGePoint3d p2 = dimension->xLine2Point();
    const double start = angleOf(p1 - center);
    return angular(dimension, sizes, center, start, normalizeAngle(angleOf(p2 - center) - start),
                   dimension->arcPoint(), p1, p2);
}

// The arc runs between the two lines' directions (start to end), the shorter way round, from
// where the lines cross.
DimensionGraphics twoLine(const AcDb2LineAngularDimension* dimension, const Sizes& sizes) {
    const AcGePoint3d s1 = dimension->xLine1Start();
    const AcGePoint3d s2 = dimension->xLine2Start();
    const AcGeVector3d d1 = dimension->xLine1End() - s1;
    const AcGeVector3d d2 = dimension->xLine2End() - s2;
    const double cross = d1.x * d2.y - d1.y * d2.x;
    if (std::fabs(cross) < kTiny * d1.length() * d2.length()) {
        return {};
    }
    const AcGeVector3d between = s2 - s1;
    const double t = (between.x * d2.y - between.y * d2.x) / cross;
    const AcGePoint3d center = s1 + d1 * t;
    const double a1 = angleOf(d1);
    const double a2 = angleOf(d2);
    const bool firstToSecond = normalizeAngle(a2 - a1) <= kGePi;
    const double start = firstToSecond ? a1 : a2;
    const double sweep = firstToSecond ? normalizeAngle(a2 - a1) : normalizeAngle(a1 - a2);
    const AcGePoint3d far1 = dimension->xLine1End();
    const AcGePoint3d far2 = dimension->xLine2End();
    return angular(dimension, sizes, center, start, sweep, dimension->arcPoint(),
                   firstToSecond ? far1 : far2, firstToSecond ? far2 : far1);
}

}  // namespace

DimensionGraphics dimensionGraphics(const AcDbDimension* dimension) {
    if (!dimension->normal().isCodirectionalTo(kZ)) {
        return {};
    }
    const Sizes sizes = sizesOf(dimension);
    if (const auto* r = AcDbRotatedDimension::cast(dimension)) {
        return rotated(r, sizes);
    }
    if (const auto* a = AcDb3PointAngularDimension::cast(dimension)) {
        return threePoint(a, sizes);
    }
    if (const auto* a = AcDb2LineAngularDimension::cast(dimension)) {
        return twoLine(a, sizes);
    }
    return {};
}

std::wstring dimensionLabel(const AcDbDimension* dimension) {
    double value = 0.0;
    std::wstring measured;
    if (dimension->measurement(value) == Acad::eOk) {
        measured = AcDbRotatedDimension::cast(dimension) != nullptr
                       ? formatted(value)
                       : formatted(value * 180.0 / kGePi) + L"\u00B0";
    }
    const std::unique_ptr<ACHAR[]> own(dimension->dimensionText());
    std::wstring text = own != nullptr ? own.get() : L"";
    if (text.empty()) {
        return measured;
    }
    if (const std::size_t at = text.find(L"<>"); at != std::wstring::npos) {
        text.replace(at, 2, measured);
    }
    return text;
}

}  // namespace host
