// AcDbPoint: accessors, geometry and filing.
#include "kestrel/host/db/entities/point.h"

#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbPoint, AcDbEntity, 0, 0, 0, POINT, DrawHost);

namespace {
constexpr const wchar_t* kSubclass = L"AcDbPoint";
}  // namespace

AcGePoint3d AcDbPoint::position() const {
    return host::readField(this, m_position);
}

Acad::ErrorStatus AcDbPoint::setPosition(const AcGePoint3d& position) {
    return host::writeField(this, m_position, position);
}

double AcDbPoint::thickness() const {
    assertReadEnabled();
    return m_extrusion.thickness();
}

Acad::ErrorStatus AcDbPoint::setThickness(double thickness) {
    return m_extrusion.setThickness(this, thickness);
}

AcGeVector3d AcDbPoint::normal() const {
    assertReadEnabled();
    return m_extrusion.normal();
}

Acad::ErrorStatus AcDbPoint::setNormal(const AcGeVector3d& normal) {
    return m_extrusion.setNormal(this, normal);
}

double AcDbPoint::ecsRotation() const {
    return host::readField(this, m_rotation);
}

Acad::ErrorStatus AcDbPoint::setEcsRotation(double rotation) {
    return host::writeField(this, m_rotation, normalizeAngle(rotation));
}

Acad::ErrorStatus AcDbPoint::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcDbExtents box;
    box.addPoint(m_position);
    host::addExtrusion(box, m_extrusion.normal(), m_extrusion.thickness());
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_extrusion.normal(), planar);
    }
    if (status == Acad::eOk) {
        m_position = xform * m_position;
        m_rotation = normalizeAngle(planar.mapAngle(m_rotation));
        m_extrusion.set(m_extrusion.thickness() * planar.normalStretch, planar.normal);
    }
    return status;
}

Acad::ErrorStatus AcDbPoint::getStretchPoints(AcGePoint3dArray& points) const {
    points.append(position());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPoint::moveStretchPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
    return host::moveStretchPoints(this, indices, 1, [&](int) { m_position += offset; });
}

Acad::ErrorStatus AcDbPoint::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbPoint::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbPoint::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = host::dxfInEntity<AcDbEntity>(*this, filer, kSubclass);
    return status == Acad::eOk ? m_extrusion.checkDxf(filer, kSubclass) : status;
}

Acad::ErrorStatus AcDbPoint::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbEntity>(*this, filer, kSubclass);
}
