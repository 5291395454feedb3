// AcDbEllipse: parameters and angles, geometry (affine transforms through the principal axes of
// the transformed conjugate diameters) and filing.
#include "kestrel/host/db/entities/ellipse.h"

#include <cmath>

#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbEllipse, AcDbCurve, 0, 0, 0, ELLIPSE, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbEllipse";

bool finite(const AcGeVector3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// The sweep from start to end in (0, 2 pi]: equal values sweep a whole turn.
double sweepOf(double start, double end) {
    const double sweep = normalizeAngle(end - start);
    return sweep == 0.0 ? kGeTwoPi : sweep;
}

// Checks an ellipse's defining values; the normal comes back as a unit vector.
Acad::ErrorStatus checkShape(const AcGePoint3d& center, AcGeVector3d& normal,
                             const AcGeVector3d& major, double ratio) {
    if (!std::isfinite(center.x) || !std::isfinite(center.y) || !std::isfinite(center.z) ||
        !finite(major) || major.isZeroLength() || !std::isfinite(ratio) || ratio <= 0.0 ||
        ratio > 1.0 + 1e-12 || host::unitNormal(normal, normal) != Acad::eOk) {
        return Acad::eInvalidInput;
    }
    if (std::fabs(major.dotProduct(normal)) > 1e-9 * major.length()) {
        return Acad::eInvalidInput;
    }
    return Acad::eOk;
}

}  // namespace

AcDbEllipse::AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                         const AcGeVector3d& majorAxis, double radiusRatio, double startAngle,
                         double endAngle) {
    set(center, unitNormal, majorAxis, radiusRatio, startAngle, endAngle);
}

AcGePoint3d AcDbEllipse::center() const {
    return host::readField(this, m_shape.center);
}

Acad::ErrorStatus AcDbEllipse::setCenter(const AcGePoint3d& center) {
    return host::writeField(this, m_shape.center, center);
}

AcGeVector3d AcDbEllipse::normal() const {
    return host::readField(this, m_shape.normal);
}

AcGeVector3d AcDbEllipse::majorAxis() const {
    return host::readField(this, m_shape.major);
}

AcGeVector3d AcDbEllipse::minorAxis() const {
    assertReadEnabled();
    return minor();
}

AcGeVector3d AcDbEllipse::minor() const {
    return m_shape.normal.crossProduct(m_shape.major) * m_shape.ratio;
}

double AcDbEllipse::radiusRatio() const {
    return host::readField(this, m_shape.ratio);
}

Acad::ErrorStatus AcDbEllipse::setRadiusRatio(double ratio) {
    Acad::ErrorStatus status = requireWrite();
    AcGeVector3d normal = m_shape.normal;
    if (status == Acad::eOk) {
        status = checkShape(m_shape.center, normal, m_shape.major, ratio);
    }
    if (status == Acad::eOk) {
        m_shape.ratio = ratio;
    }
    return status;
}

Acad::ErrorStatus AcDbEllipse::set(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                                   const AcGeVector3d& majorAxis, double radiusRatio,
                                   double startAngle, double endAngle) {
    Acad::ErrorStatus status = requireWrite();
    AcGeVector3d normal = unitNormal;
    if (status == Acad::eOk) {
        status = checkShape(center, normal, majorAxis, radiusRatio);
    }
    if (status == Acad::eOk && (!std::isfinite(startAngle) || !std::isfinite(endAngle))) {
        status = Acad::eInvalidInput;
    }
    if (status == Acad::eOk) {
        m_shape.center = center;
        m_shape.normal = normal;
        m_shape.major = majorAxis;
        m_shape.ratio = radiusRatio;
        const double start = normalizeAngle(paramAtAngle(startAngle));
        const double end = paramAtAngle(endAngle);
        const double turn = endAngle - startAngle;
        m_shape.startParam = start;
        m_shape.endParam =
            start +
            (std::fabs(std::fabs(turn) - kGeTwoPi) <= 1e-12 ? kGeTwoPi : sweepOf(start, end));
    }
    return status;
}

double AcDbEllipse::paramAtAngle(double angle) const {
    // Along the direction at angle, the ellipse point has parameter atan2(sin a, ratio cos a);
    // the whole turns of angle are kept.
    const double wrapped = std::atan2(std::sin(angle), std::cos(angle));
    return angle + (std::atan2(std::sin(angle), m_shape.ratio * std::cos(angle)) - wrapped);
}

double AcDbEllipse::angleAtParam(double param) const {
    const double wrapped = std::atan2(std::sin(param), std::cos(param));
    return param + (std::atan2(m_shape.ratio * std::sin(param), std::cos(param)) - wrapped);
}

double AcDbEllipse::startAngle() const {
    assertReadEnabled();
    return normalizeAngle(angleAtParam(m_shape.startParam));
}

Acad::ErrorStatus AcDbEllipse::setStartAngle(double angle) {
    return setStartParam(paramAtAngle(angle));
}

double AcDbEllipse::endAngle() const {
    assertReadEnabled();
    return angleAtParam(m_shape.endParam);
}

Acad::ErrorStatus AcDbEllipse::setEndAngle(double angle) {
    return setEndParam(paramAtAngle(angle));
}

double AcDbEllipse::startParam() const {
    return host::readField(this, m_shape.startParam);
}

Acad::ErrorStatus AcDbEllipse::setStartParam(double param) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !std::isfinite(param)) {
        status = Acad::eInvalidInput;
    }
    if (status == Acad::eOk) {
        const double start = normalizeAngle(param);
        m_shape.endParam = start + sweepOf(start, m_shape.endParam);
        m_shape.startParam = start;
    }
    return status;
}

double AcDbEllipse::endParam() const {
    return host::readField(this, m_shape.endParam);
}

Acad::ErrorStatus AcDbEllipse::setEndParam(double param) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !std::isfinite(param)) {
        status = Acad::eInvalidInput;
    }
    if (status == Acad::eOk) {
        m_shape.endParam = m_shape.startParam + sweepOf(m_shape.startParam, param);
    }
    return status;
}

double AcDbEllipse::sweep() const {
    return m_shape.endParam - m_shape.startParam;
}

AcGePoint3d AcDbEllipse::pointAtParam(double param) const {
    return host::conicPoint(m_shape.center, m_shape.major, minor(), param);
}

bool AcDbEllipse::isClosed() const {
    assertReadEnabled();
    return sweep() >= kGeTwoPi - 1e-12;
}

Acad::ErrorStatus AcDbEllipse::getStartPoint(AcGePoint3d& point) const {
    assertReadEnabled();
    point = pointAtParam(m_shape.startParam);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getEndPoint(AcGePoint3d& point) const {
    assertReadEnabled();
    point = pointAtParam(m_shape.endParam);
    return Acad::eOk;
}

bool AcDbEllipse::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const {
    assertReadEnabled();
    const host::CurvePiece piece = host::CurvePiece::conic(m_shape.center, m_shape.major, minor(),
                                                           m_shape.startParam, sweep());
    pieces.push_back(extended ? piece.extended() : piece);
    return true;
}

Acad::ErrorStatus AcDbEllipse::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcDbExtents box;
    host::addConicArcExtents(box, m_shape.center, m_shape.major, minor(), m_shape.startParam,
                             sweep());
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::transformBy(const AcGeMatrix3d& xform) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !host::isRegularTransform(xform)) {
        status = Acad::eDegenerateGeometry;
    }
    if (status != Acad::eOk) {
        return status;
    }
    // The images of the axes are conjugate semi-diameters a, b of the new ellipse; its principal
    // axes lie at parameter t0 with tan 2 t0 = 2 a.b / (a.a - b.b).
    const AcGeVector3d a = xform * m_shape.major;
    const AcGeVector3d b = xform * minor();
    const double t0 = 0.5 * std::atan2(2.0 * a.dotProduct(b), a.dotProduct(a) - b.dotProduct(b));
    AcGeVector3d major = a * std::cos(t0) + b * std::sin(t0);
    AcGeVector3d minorAxis = b * std::cos(t0) - a * std::sin(t0);
    double shift = t0;
    if (minorAxis.length() > major.length()) {
        const AcGeVector3d oldMajor = major;
        major = minorAxis;
        minorAxis = -oldMajor;
        shift += kGePi / 2.0;
    }
    const double sweepValue = sweep();
    double start = m_shape.startParam - shift;
    AcGeVector3d normal = major.crossProduct(minorAxis).normal();
    if (xform.det() < 0.0) {
        // A reflection: keep the normal where M^-T n points and run the parameters backwards.
        normal = -normal;
        start = -(m_shape.endParam - shift);
    }
    m_shape.center = xform * m_shape.center;
    m_shape.normal = normal;
    m_shape.major = major;
    m_shape.ratio = std::min(1.0, minorAxis.length() / major.length());
    m_shape.startParam = normalizeAngle(start);
    m_shape.endParam = m_shape.startParam + sweepValue;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    const AcGeVector3d minorAxis = minor();
    points.append(m_shape.center);
    points.append(m_shape.center + m_shape.major);
    points.append(m_shape.center + minorAxis);
    points.append(m_shape.center - m_shape.major);
    points.append(m_shape.center - minorAxis);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEllipse::moveStretchPointsAt(const AcDbIntArray& indices,
                                                   const AcGeVector3d& offset) {
    for (int i = 0; i < indices.length(); ++i) {
        if (indices[i] > 0 && indices[i] < 5) {
            return Acad::eNotApplicable;
        }
    }
    return host::moveStretchPoints(this, indices, 5, [&](int) { m_shape.center += offset; });
}

Acad::ErrorStatus AcDbEllipse::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbEllipse::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbEllipse::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    Shape read = m_shape;
    if (status == Acad::eOk) {
        status = host::dxfInSubclass(filer, kSubclass, read);
    }
    if (status == Acad::eOk &&
        (checkShape(read.center, read.normal, read.major, read.ratio) != Acad::eOk ||
         !std::isfinite(read.startParam) || !std::isfinite(read.endParam))) {
        status = filer->setError(Acad::eDxfReadFailed,
                                 L"AcDbEllipse: invalid centre, axis, normal, ratio or parameter");
    }
    if (status == Acad::eOk) {
        read.startParam = normalizeAngle(read.startParam);
        read.endParam = read.startParam + sweepOf(read.startParam, read.endParam);
        m_shape = read;
    }
    return status;
}

Acad::ErrorStatus AcDbEllipse::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbCurve>(*this, filer, kSubclass);
}
