// AcDbSolid: corners in OCS, geometry and filing.
#include "kestrel/host/db/entities/solid.h"

#include "kestrel/host/db/entity_support.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbSolid, AcDbEntity, 0, 0, 0, SOLID, DrawHost);

namespace {
constexpr const wchar_t* kSubclass = L"AcDbTrace";
constexpr Adesk::UInt16 kCorners = 4;
}  // namespace

AcDbSolid::AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
                     const AcGePoint3d& pt3)
    : m_corners{pt0, pt1, pt2, pt3} {}

AcDbSolid::AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2)
    : AcDbSolid(pt0, pt1, pt2, pt2) {}

void AcDbSolid::worldCorners(AcGePoint3d (&corners)[4]) const {
    for (int i = 0; i < 4; ++i) {
        corners[i] = host::ocsToWorld(m_normal, m_corners[i]);
    }
}

void AcDbSolid::setWorldCorners(const AcGePoint3d (&corners)[4]) {
    for (int i = 0; i < 4; ++i) {
        m_corners[i] = host::worldToOcs(m_normal, corners[i]);
    }
}

Acad::ErrorStatus AcDbSolid::getPointAt(Adesk::UInt16 index, AcGePoint3d& point) const {
    assertReadEnabled();
    if (index >= kCorners) {
        return Acad::eInvalidIndex;
    }
    point = host::ocsToWorld(m_normal, m_corners[index]);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSolid::setPointAt(Adesk::UInt16 index, const AcGePoint3d& point) {
    if (index >= kCorners) {
        return Acad::eInvalidIndex;
    }
    return host::writeField(this, m_corners[index], host::worldToOcs(m_normal, point));
}

double AcDbSolid::thickness() const {
    return host::readField(this, m_thickness);
}

Acad::ErrorStatus AcDbSolid::setThickness(double thickness) {
    return host::writeField(this, m_thickness, thickness);
}

AcGeVector3d AcDbSolid::normal() const {
    return host::readField(this, m_normal);
}

Acad::ErrorStatus AcDbSolid::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::unitNormal(normal, unit);
    }
    if (status == Acad::eOk) {
        AcGePoint3d corners[4];
        worldCorners(corners);
        m_normal = unit;
        setWorldCorners(corners);
    }
    return status;
}

Acad::ErrorStatus AcDbSolid::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcGePoint3d corners[4];
    worldCorners(corners);
    AcDbExtents box;
    for (const AcGePoint3d& corner : corners) {
        box.addPoint(corner);
    }
    host::addExtrusion(box, m_normal, m_thickness);
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSolid::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_normal, planar);
    }
    if (status == Acad::eOk) {
        for (AcGePoint3d& corner : m_corners) {
            corner = planar.ocsToOcs * corner;
        }
        m_normal = planar.normal;
        m_thickness *= planar.normalStretch;
    }
    return status;
}

Acad::ErrorStatus AcDbSolid::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    AcGePoint3d corners[4];
    worldCorners(corners);
    host::appendCornerStretchPoints(corners, points);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSolid::moveStretchPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
    AcGePoint3d corners[4];
    worldCorners(corners);
    const Acad::ErrorStatus status = host::moveCornerStretchPoints(this, corners, indices, offset);
    if (status == Acad::eOk) {
        setWorldCorners(corners);
    }
    return status;
}

Acad::ErrorStatus AcDbSolid::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbSolid::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbSolid::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = host::dxfInEntity<AcDbEntity>(*this, filer, kSubclass);
    return status == Acad::eOk ? host::checkDxfNormal(filer, kSubclass, m_normal) : status;
}

Acad::ErrorStatus AcDbSolid::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbEntity>(*this, filer, kSubclass);
}
