// AcDbLine: accessors, geometry and filing.
#include "kestrel/host/db/entities/line.h"

#include "kestrel/host/db/entity_support.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbLine, AcDbCurve, 0, 0, 0, LINE, DrawHost);

namespace {
constexpr const wchar_t* kSubclass = L"AcDbLine";
}  // namespace

AcGePoint3d AcDbLine::startPoint() const {
    return host::readField(this, m_start);
}

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& point) {
    return host::writeField(this, m_start, point);
}

AcGePoint3d AcDbLine::endPoint() const {
    return host::readField(this, m_end);
}

Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& point) {
    return host::writeField(this, m_end, point);
}

double AcDbLine::thickness() const {
    assertReadEnabled();
    return m_extrusion.thickness();
}

Acad::ErrorStatus AcDbLine::setThickness(double thickness) {
    return m_extrusion.setThickness(this, thickness);
}

AcGeVector3d AcDbLine::normal() const {
    assertReadEnabled();
    return m_extrusion.normal();
}

Acad::ErrorStatus AcDbLine::setNormal(const AcGeVector3d& normal) {
    return m_extrusion.setNormal(this, normal);
}

Acad::ErrorStatus AcDbLine::getStartPoint(AcGePoint3d& point) const {
    point = startPoint();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::getEndPoint(AcGePoint3d& point) const {
    point = endPoint();
    return Acad::eOk;
}

bool AcDbLine::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const {
    assertReadEnabled();
    const host::CurvePiece piece = host::CurvePiece::segment(m_start, m_end);
    pieces.push_back(extended ? piece.extended() : piece);
    return true;
}

Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcDbExtents box;
    box.addPoint(m_start);
    box.addPoint(m_end);
    host::addExtrusion(box, m_extrusion.normal(), m_extrusion.thickness());
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_extrusion.normal(), planar);
    }
    if (status == Acad::eOk) {
        m_start = xform * m_start;
        m_end = xform * m_end;
        m_extrusion.set(m_extrusion.thickness() * planar.normalStretch, planar.normal);
    }
    return status;
}

Acad::ErrorStatus AcDbLine::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    points.append(m_start);
    points.append(m_end);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLine::moveStretchPointsAt(const AcDbIntArray& indices,
                                                const AcGeVector3d& offset) {
    return host::moveStretchPoints(this, indices, 2, [&](int i) {
        AcGePoint3d& point = i == 0 ? m_start : m_end;
        point += offset;
    });
}

Acad::ErrorStatus AcDbLine::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbLine::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbCurve>(*this, filer);
}

Acad::ErrorStatus AcDbLine::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = host::dxfInEntity<AcDbCurve>(*this, filer, kSubclass);
    return status == Acad::eOk ? m_extrusion.checkDxf(filer, kSubclass) : status;
}

Acad::ErrorStatus AcDbLine::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbCurve>(*this, filer, kSubclass);
}
