// AcDbArc: accessors, geometry, stretching and filing.
#include "kestrel/host/db/entities/arc.h"

#include <cmath>

#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbArc, AcDbCurve, 0, 0, 0, ARC, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbArc";

// The centre of the circle through three points of a plane; false when they are collinear.
bool circleCenter(const AcGePoint3d& a, const AcGePoint3d& b, const AcGePoint3d& c,
                  AcGePoint3d& center) {
    const double bx = b.x - a.x;
    const double by = b.y - a.y;
    const double cx = c.x - a.x;
    const double cy = c.y - a.y;
    const double d = 2.0 * (bx * cy - by * cx);
    const double scale = std::max({std::fabs(bx), std::fabs(by), std::fabs(cx), std::fabs(cy)});
    if (std::fabs(d) <= 1e-12 * scale * scale) {
        return false;
    }
    const double b2 = bx * bx + by * by;
    const double c2 = cx * cx + cy * cy;
    center.set(a.x + (cy * b2 - by * c2) / d, a.y + (bx * c2 - cx * b2) / d, a.z);
    return true;
}

}  // namespace

AcDbArc::AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle)
    : AcDbArc(center, AcGeVector3d::kZAxis, radius, startAngle, endAngle) {}

AcDbArc::AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius,
                 double startAngle, double endAngle) {
    m_circle.setNormal(normal);
    m_circle.setCenter(center);
    if (host::checkRadius(radius) == Acad::eOk) {
        m_circle.radius = radius;
    }
    setAngle(m_startAngle, startAngle);
    setAngle(m_endAngle, endAngle);
}

double AcDbArc::startAngle() const {
    return host::readField(this, m_startAngle);
}

Acad::ErrorStatus AcDbArc::setStartAngle(double angle) {
    const Acad::ErrorStatus status = requireWrite();
    return status == Acad::eOk ? setAngle(m_startAngle, angle) : status;
}

double AcDbArc::endAngle() const {
    return host::readField(this, m_endAngle);
}

Acad::ErrorStatus AcDbArc::setEndAngle(double angle) {
    const Acad::ErrorStatus status = requireWrite();
    return status == Acad::eOk ? setAngle(m_endAngle, angle) : status;
}

double AcDbArc::totalAngle() const {
    assertReadEnabled();
    return host::sweepAngle(m_startAngle, m_endAngle);
}

Acad::ErrorStatus AcDbArc::setAngle(double& field, double angle) {
    if (!std::isfinite(angle)) {
        return Acad::eInvalidInput;
    }
    field = normalizeAngle(angle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getStartPoint(AcGePoint3d& point) const {
    assertReadEnabled();
    point = m_circle.pointAt(m_startAngle);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::getEndPoint(AcGePoint3d& point) const {
    assertReadEnabled();
    point = m_circle.pointAt(m_endAngle);
    return Acad::eOk;
}

bool AcDbArc::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const {
    const host::CurvePiece piece = host::CurvePiece::conic(
        m_circle.center(), m_circle.axisU(), m_circle.axisV(), m_startAngle, totalAngle());
    pieces.push_back(extended ? piece.extended() : piece);
    return true;
}

Acad::ErrorStatus AcDbArc::getGeomExtents(AcDbExtents& extents) const {
    AcDbExtents box;
    host::addConicArcExtents(box, m_circle.center(), m_circle.axisU(), m_circle.axisV(),
                             m_startAngle, totalAngle());
    host::addExtrusion(box, m_circle.normal, m_circle.thickness);
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analyseCircleTransform(xform, m_circle.normal, planar);
    }
    if (status == Acad::eOk) {
        m_circle.transform(xform, planar);
        const double start = normalizeAngle(planar.mapAngle(m_startAngle));
        const double end = normalizeAngle(planar.mapAngle(m_endAngle));
        m_startAngle = planar.mirrored ? end : start;
        m_endAngle = planar.mirrored ? start : end;
    }
    return status;
}

Acad::ErrorStatus AcDbArc::getStretchPoints(AcGePoint3dArray& points) const {
    AcGePoint3d start;
    AcGePoint3d end;
    getStartPoint(start);
    getEndPoint(end);
    points.append(start);
    points.append(end);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::moveStretchPointsAt(const AcDbIntArray& indices,
                                               const AcGeVector3d& offset) {
    AcGePoint3d ends[2];
    getStartPoint(ends[0]);
    getEndPoint(ends[1]);
    const AcGePoint3d middle = m_circle.pointAt(m_startAngle + totalAngle() / 2.0);
    bool moved[2] = {false, false};
    Acad::ErrorStatus status =
        host::moveStretchPoints(this, indices, 2, [&](int i) { moved[i] = true; });
    if (status != Acad::eOk || (!moved[0] && !moved[1])) {
        return status;
    }
    if (moved[0] && moved[1]) {
        m_circle.setCenter(m_circle.center() + offset);
        return Acad::eOk;
    }
    ends[moved[0] ? 0 : 1] += offset;
    return fitThrough(ends[0], middle, ends[1]);
}

Acad::ErrorStatus AcDbArc::fitThrough(const AcGePoint3d& start, const AcGePoint3d& middle,
                                      const AcGePoint3d& end) {
    const AcGeVector3d n = m_circle.normal;
    const AcGePoint3d a = host::worldToOcs(n, start);
    const AcGePoint3d b = host::worldToOcs(n, middle);
    const AcGePoint3d c = host::worldToOcs(n, end);
    AcGePoint3d center;
    if (!circleCenter(a, b, c, center)) {
        return Acad::eDegenerateGeometry;
    }
    center.z = m_circle.ocsCenter.z;
    const double startAngle = normalizeAngle(std::atan2(a.y - center.y, a.x - center.x));
    const double middleAngle = std::atan2(b.y - center.y, b.x - center.x);
    const double endAngle = normalizeAngle(std::atan2(c.y - center.y, c.x - center.x));
    const bool counterClockwise =
        host::angleInSweep(middleAngle, startAngle, host::sweepAngle(startAngle, endAngle));
    m_circle.ocsCenter = center;
    m_circle.radius = std::hypot(a.x - center.x, a.y - center.y);
    m_startAngle = counterClockwise ? startAngle : endAngle;
    m_endAngle = counterClockwise ? endAngle : startAngle;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbArc::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
    if (status == Acad::eOk) {
        status = host::dwgInFieldList(filer, m_circle);
    }
    return status == Acad::eOk ? host::dwgInFieldList(filer, *this) : status;
}

Acad::ErrorStatus AcDbArc::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dwgOutFields(filer);
    if (status == Acad::eOk) {
        status = host::dwgOutFieldList(filer, m_circle);
    }
    return status == Acad::eOk ? host::dwgOutFieldList(filer, *this) : status;
}

Acad::ErrorStatus AcDbArc::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfInCircle(filer, kSubclass, m_circle);
    }
    double start = m_startAngle;
    double end = m_endAngle;
    if (status == Acad::eOk) {
        status = host::dxfInSubclass(filer, kSubclass, *this);
    }
    if (status == Acad::eOk && (setAngle(m_startAngle, m_startAngle) != Acad::eOk ||
                                setAngle(m_endAngle, m_endAngle) != Acad::eOk)) {
        m_startAngle = start;
        m_endAngle = end;
        status = filer->setError(Acad::eDxfReadFailed, L"AcDbArc: invalid angle (50/51)");
    }
    return status;
}

Acad::ErrorStatus AcDbArc::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dxfOutFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfOutSubclass(filer, L"AcDbCircle", m_circle);
    }
    return status == Acad::eOk ? host::dxfOutSubclass(filer, kSubclass, *this) : status;
}
