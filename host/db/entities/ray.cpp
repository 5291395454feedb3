// AcDbRay: accessors, geometry and filing.
#include "kestrel/host/db/entities/ray.h"

#include <cmath>

#include "kestrel/host/db/entity_support.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbRay, AcDbCurve, 0, 0, 0, RAY, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbRay";

bool isUnit(const AcGeVector3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) &&
           std::fabs(v.length() - 1.0) <= 1e-9;
}

}  // namespace

AcGePoint3d AcDbRay::basePoint() const {
    return host::readField(this, m_base);
}

Acad::ErrorStatus AcDbRay::setBasePoint(const AcGePoint3d& point) {
    return host::writeField(this, m_base, point);
}

AcGeVector3d AcDbRay::unitDir() const {
    return host::readField(this, m_direction);
}

Acad::ErrorStatus AcDbRay::setUnitDir(const AcGeVector3d& direction) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !isUnit(direction)) {
        status = Acad::eInvalidInput;
    }
    if (status == Acad::eOk) {
        m_direction = direction.normal();
    }
    return status;
}

AcGePoint3d AcDbRay::secondPoint() const {
    assertReadEnabled();
    return m_base + m_direction;
}

Acad::ErrorStatus AcDbRay::setSecondPoint(const AcGePoint3d& point) {
    const AcGeVector3d toward = point - basePoint();
    return toward.isZeroLength() ? Acad::eInvalidInput : setUnitDir(toward.normal());
}

Acad::ErrorStatus AcDbRay::getStartPoint(AcGePoint3d& point) const {
    point = basePoint();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::getEndPoint(AcGePoint3d&) const {
    assertReadEnabled();
    return Acad::eNotApplicable;
}

bool AcDbRay::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const {
    assertReadEnabled();
    pieces.push_back(extended ? host::CurvePiece::line(m_base, m_direction)
                              : host::CurvePiece::ray(m_base, m_direction));
    return true;
}

Acad::ErrorStatus AcDbRay::getGeomExtents(AcDbExtents&) const {
    assertReadEnabled();
    return Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbRay::transformBy(const AcGeMatrix3d& xform) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !host::isRegularTransform(xform)) {
        status = Acad::eDegenerateGeometry;
    }
    if (status == Acad::eOk) {
        m_base = xform * m_base;
        m_direction = (xform * m_direction).normal();
    }
    return status;
}

Acad::ErrorStatus AcDbRay::getStretchPoints(AcGePoint3dArray& points) const {
    points.append(basePoint());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbRay::moveStretchPointsAt(const AcDbIntArray& indices,
                                               const AcGeVector3d& offset) {
    return host::moveStretchPoints(this, indices, 1, [&](int) { m_base += offset; });
}

Acad::ErrorStatus AcDbRay::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbRay::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbRay::dxfInFields(AcDbDxfFiler* filer) {
    const AcGeVector3d before = m_direction;
    Acad::ErrorStatus status = host::dxfInEntity<AcDbCurve>(*this, filer, kSubclass);
    if (status == Acad::eOk && m_direction.isZeroLength()) {
        m_direction = before;
        status = filer->setError(Acad::eDxfReadFailed, L"AcDbRay: zero direction (11)");
    }
    if (status == Acad::eOk) {
        m_direction.normalize();
    }
    return status;
}

Acad::ErrorStatus AcDbRay::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbCurve>(*this, filer, kSubclass);
}
