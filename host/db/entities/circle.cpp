// AcDbCircle and the circle geometry that arcs share.
#include "kestrel/host/db/entities/circle.h"

#include <cmath>

#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbCircle, AcDbCurve, 0, 0, 0, CIRCLE, DrawHost);

namespace host {

Acad::ErrorStatus CircleGeometry::setNormal(const AcGeVector3d& newNormal) {
    AcGeVector3d unit;
    const Acad::ErrorStatus status = unitNormal(newNormal, unit);
    if (status == Acad::eOk) {
        const AcGePoint3d world = center();
        normal = unit;
        setCenter(world);
    }
    return status;
}

AcGeVector3d CircleGeometry::axisU() const {
    return ocsAxes(normal).x * radius;
}

AcGeVector3d CircleGeometry::axisV() const {
    return ocsAxes(normal).y * radius;
}

AcGePoint3d CircleGeometry::pointAt(double angle) const {
    return center() + ocsDirection(normal, angle) * radius;
}

void CircleGeometry::transform(const AcGeMatrix3d& xform, const PlanarTransform& planar) {
    const AcGePoint3d world = xform * center();
    normal = planar.normal;
    setCenter(world);
    radius *= planar.scale;
    thickness *= planar.normalStretch;
}

Acad::ErrorStatus checkRadius(double radius) {
    return std::isfinite(radius) && radius >= 0.0 ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus analyseCircleTransform(const AcGeMatrix3d& xform, const AcGeVector3d& normal,
                                         PlanarTransform& planar) {
    Acad::ErrorStatus status = analysePlanar(xform, normal, planar);
    if (status == Acad::eOk && !planar.conformal) {
        status = Acad::eCannotScaleNonUniformly;
    }
    return status;
}

Acad::ErrorStatus dxfInCircle(AcDbDxfFiler* filer, const wchar_t* className,
                              CircleGeometry& circle) {
    CircleGeometry read = circle;
    Acad::ErrorStatus status = dxfInSubclass(filer, L"AcDbCircle", read);
    if (status == Acad::eOk) {
        status = checkDxfNormal(filer, className, read.normal);
    }
    if (status == Acad::eOk && checkRadius(read.radius) != Acad::eOk) {
        status = filer->setError(Acad::eDxfReadFailed, L"%s: invalid radius (40)", className);
    }
    if (status == Acad::eOk) {
        circle = read;
    }
    return status;
}

AcGePoint3d CircularCurve::center() const {
    assertReadEnabled();
    return m_circle.center();
}

Acad::ErrorStatus CircularCurve::setCenter(const AcGePoint3d& center) {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_circle.setCenter(center);
    }
    return status;
}

double CircularCurve::radius() const {
    return host::readField(this, m_circle.radius);
}

Acad::ErrorStatus CircularCurve::setRadius(double radius) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::checkRadius(radius);
    }
    if (status == Acad::eOk) {
        m_circle.radius = radius;
    }
    return status;
}

AcGeVector3d CircularCurve::normal() const {
    return host::readField(this, m_circle.normal);
}

Acad::ErrorStatus CircularCurve::setNormal(const AcGeVector3d& normal) {
    const Acad::ErrorStatus status = requireWrite();
    return status == Acad::eOk ? m_circle.setNormal(normal) : status;
}

double CircularCurve::thickness() const {
    return host::readField(this, m_circle.thickness);
}

Acad::ErrorStatus CircularCurve::setThickness(double thickness) {
    return host::writeField(this, m_circle.thickness, thickness);
}

}  // namespace host

AcDbCircle::AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius) {
    m_circle.setNormal(normal);
    m_circle.setCenter(center);
    if (host::checkRadius(radius) == Acad::eOk) {
        m_circle.radius = radius;
    }
}

bool AcDbCircle::isClosed() const {
    assertReadEnabled();
    return true;
}

Acad::ErrorStatus AcDbCircle::getStartPoint(AcGePoint3d& point) const {
    assertReadEnabled();
    point = m_circle.pointAt(0.0);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::getEndPoint(AcGePoint3d& point) const {
    return getStartPoint(point);
}

bool AcDbCircle::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool) const {
    assertReadEnabled();
    pieces.push_back(host::CurvePiece::conic(m_circle.center(), m_circle.axisU(), m_circle.axisV(),
                                             0.0, kGeTwoPi));
    return true;
}

Acad::ErrorStatus AcDbCircle::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcDbExtents box;
    host::addConicArcExtents(box, m_circle.center(), m_circle.axisU(), m_circle.axisV(), 0.0,
                             kGeTwoPi);
    host::addExtrusion(box, m_circle.normal, m_circle.thickness);
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analyseCircleTransform(xform, m_circle.normal, planar);
    }
    if (status == Acad::eOk) {
        m_circle.transform(xform, planar);
    }
    return status;
}

Acad::ErrorStatus AcDbCircle::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    points.append(m_circle.center());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbCircle::moveStretchPointsAt(const AcDbIntArray& indices,
                                                  const AcGeVector3d& offset) {
    return host::moveStretchPoints(this, indices, 1,
                                   [&](int) { m_circle.setCenter(m_circle.center() + offset); });
}

Acad::ErrorStatus AcDbCircle::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbCircle::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbCircle::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    return status == Acad::eOk ? host::dxfInCircle(filer, L"AcDbCircle", m_circle) : status;
}

Acad::ErrorStatus AcDbCircle::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbCurve>(*this, filer, L"AcDbCircle");
}
