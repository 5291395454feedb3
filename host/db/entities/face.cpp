// AcDbFace: corners, edge visibility, geometry and filing.
#include "kestrel/host/db/entities/face.h"

#include "kestrel/host/db/entity_support.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbFace, AcDbEntity, 0, 0, 0, 3DFACE, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbFace";
constexpr Adesk::UInt16 kCorners = 4;

Adesk::Int16 invisibleBits(bool e0, bool e1, bool e2, bool e3) {
    return static_cast<Adesk::Int16>((e0 ? 0 : 1) | (e1 ? 0 : 2) | (e2 ? 0 : 4) | (e3 ? 0 : 8));
}

}  // namespace

AcDbFace::AcDbFace(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
                   const AcGePoint3d& pt3, Adesk::Boolean e0vis, Adesk::Boolean e1vis,
                   Adesk::Boolean e2vis, Adesk::Boolean e3vis)
    : m_corners{pt0, pt1, pt2, pt3}, m_invisibleEdges(invisibleBits(e0vis, e1vis, e2vis, e3vis)) {}

AcDbFace::AcDbFace(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
                   Adesk::Boolean e0vis, Adesk::Boolean e1vis, Adesk::Boolean e2vis,
                   Adesk::Boolean e3vis)
    : AcDbFace(pt0, pt1, pt2, pt2, e0vis, e1vis, e2vis, e3vis) {}

Acad::ErrorStatus AcDbFace::getVertexAt(Adesk::UInt16 index, AcGePoint3d& point) const {
    assertReadEnabled();
    if (index >= kCorners) {
        return Acad::eInvalidIndex;
    }
    point = m_corners[index];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::setVertexAt(Adesk::UInt16 index, const AcGePoint3d& point) {
    if (index >= kCorners) {
        return Acad::eInvalidIndex;
    }
    return host::writeField(this, m_corners[index], point);
}

Acad::ErrorStatus AcDbFace::isEdgeVisibleAt(Adesk::UInt16 index, Adesk::Boolean& visible) const {
    assertReadEnabled();
    if (index >= kCorners) {
        return Acad::eInvalidIndex;
    }
    visible = (m_invisibleEdges & (1 << index)) == 0;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::makeEdgeVisibleAt(Adesk::UInt16 index) {
    return setEdgeVisible(index, true);
}

Acad::ErrorStatus AcDbFace::makeEdgeInvisibleAt(Adesk::UInt16 index) {
    return setEdgeVisible(index, false);
}

Acad::ErrorStatus AcDbFace::setEdgeVisible(Adesk::UInt16 index, bool visible) {
    if (index >= kCorners) {
        return Acad::eInvalidIndex;
    }
    const int bit = 1 << index;
    return host::writeField(this, m_invisibleEdges,
                            visible ? (m_invisibleEdges & ~bit) : (m_invisibleEdges | bit));
}

Acad::ErrorStatus AcDbFace::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcDbExtents box;
    for (const AcGePoint3d& corner : m_corners) {
        box.addPoint(corner);
    }
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::transformBy(const AcGeMatrix3d& xform) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !host::isRegularTransform(xform)) {
        status = Acad::eDegenerateGeometry;
    }
    if (status == Acad::eOk) {
        for (AcGePoint3d& corner : m_corners) {
            corner = xform * corner;
        }
    }
    return status;
}

Acad::ErrorStatus AcDbFace::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    host::appendCornerStretchPoints(m_corners, points);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbFace::moveStretchPointsAt(const AcDbIntArray& indices,
                                                const AcGeVector3d& offset) {
    return host::moveCornerStretchPoints(this, m_corners, indices, offset);
}

Acad::ErrorStatus AcDbFace::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbFace::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbFace::dxfInFields(AcDbDxfFiler* filer) {
    return host::dxfInEntity<AcDbEntity>(*this, filer, kSubclass);
}

Acad::ErrorStatus AcDbFace::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbEntity>(*this, filer, kSubclass);
}
