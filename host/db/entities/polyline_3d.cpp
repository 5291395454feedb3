// AcDb3dPolyline: owned vertices, straight-segment geometry, filing.
#include "kestrel/host/db/entities/polyline_3d.h"

#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_shape.h"

ACRX_DXF_DEFINE_MEMBERS(AcDb3dPolyline, AcDbCurve, 0, 0, 0, POLYLINE, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDb3dPolyline";
constexpr Adesk::Int16 kClosedFlag = 1;
constexpr Adesk::Int16 kSplineFitFlag = 4;
constexpr Adesk::Int16 kQuadraticCurve = 5;
constexpr Adesk::Int16 kCubicCurve = 6;

bool isDrawn(const AcDb3dPolylineVertex& vertex) {
    return vertex.vertexType() != AcDb::k3dControlVertex;
}

}  // namespace

AcDb3dPolyline::AcDb3dPolyline(AcDb::Poly3dType type, const AcGePoint3dArray& vertices,
                               Adesk::Boolean closed) {
    setPolyType(type);
    setFlag(kClosedFlag, closed);
    for (int i = 0; i < vertices.length(); ++i) {
        appendVertex(new AcDb3dPolylineVertex(vertices[i]));
    }
}

Acad::ErrorStatus AcDb3dPolyline::setFlag(Adesk::Int16 bit, bool on) {
    return host::writeField(this, m_flags, on ? (m_flags | bit) : (m_flags & ~bit));
}

AcDb::Poly3dType AcDb3dPolyline::polyType() const {
    if ((host::readField(this, m_flags) & kSplineFitFlag) == 0) {
        return AcDb::k3dSimplePoly;
    }
    return m_curveType == kQuadraticCurve ? AcDb::k3dQuadSplinePoly : AcDb::k3dCubicSplinePoly;
}

Acad::ErrorStatus AcDb3dPolyline::setPolyType(AcDb::Poly3dType type) {
    if (type < AcDb::k3dSimplePoly || type > AcDb::k3dCubicSplinePoly) {
        return Acad::eInvalidInput;
    }
    Acad::ErrorStatus status = setFlag(kSplineFitFlag, type != AcDb::k3dSimplePoly);
    if (status == Acad::eOk) {
        m_curveType = type == AcDb::k3dSimplePoly
                          ? 0
                          : (type == AcDb::k3dQuadSplinePoly ? kQuadraticCurve : kCubicCurve);
    }
    return status;
}

Acad::ErrorStatus AcDb3dPolyline::makeClosed() {
    return setFlag(kClosedFlag, true);
}

Acad::ErrorStatus AcDb3dPolyline::makeOpen() {
    return setFlag(kClosedFlag, false);
}

Acad::ErrorStatus AcDb3dPolyline::appendVertex(AcDb3dPolylineVertex* vertex) {
    AcDbObjectId id;
    return host::OwnedEntities::closeAppended(appendVertex(id, vertex), id, vertex);
}

Acad::ErrorStatus AcDb3dPolyline::appendVertex(AcDbObjectId& id, AcDb3dPolylineVertex* vertex) {
    const Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    return m_vertices.appendWithProperties(this, vertex, id);
}

AcDbObjectIterator* AcDb3dPolyline::vertexIterator() const {
    assertReadEnabled();
    return m_vertices.newIterator();
}

Acad::ErrorStatus AcDb3dPolyline::openVertex(AcDb3dPolylineVertex*& vertex, AcDbObjectId id,
                                             AcDb::OpenMode mode, bool openErased) const {
    assertReadEnabled();
    return m_vertices.open(vertex, id, mode, openErased);
}

Acad::ErrorStatus AcDb3dPolyline::openSequenceEnd(AcDbSequenceEnd*& end,
                                                  AcDb::OpenMode mode) const {
    assertReadEnabled();
    return m_vertices.openSequenceEnd(end, mode);
}

Acad::ErrorStatus AcDb3dPolyline::gatherPoints(std::vector<AcGePoint3d>& points) const {
    assertReadEnabled();
    points.clear();
    return m_vertices.forEach(AcDb::kForRead, [&](const AcDbEntity& entity) {
        const AcDb3dPolylineVertex* vertex = AcDb3dPolylineVertex::cast(&entity);
        if (vertex != nullptr && isDrawn(*vertex)) {
            points.push_back(vertex->position());
        }
    });
}

bool AcDb3dPolyline::isClosed() const {
    return (host::readField(this, m_flags) & kClosedFlag) != 0;
}

Acad::ErrorStatus AcDb3dPolyline::getStartPoint(AcGePoint3d& point) const {
    std::vector<AcGePoint3d> points;
    Acad::ErrorStatus status = gatherPoints(points);
    if (status == Acad::eOk && points.empty()) {
        status = Acad::eDegenerateGeometry;
    }
    if (status == Acad::eOk) {
        point = points.front();
    }
    return status;
}

Acad::ErrorStatus AcDb3dPolyline::getEndPoint(AcGePoint3d& point) const {
    std::vector<AcGePoint3d> points;
    Acad::ErrorStatus status = gatherPoints(points);
    if (status == Acad::eOk && points.empty()) {
        status = Acad::eDegenerateGeometry;
    }
    if (status == Acad::eOk) {
        point = isClosed() ? points.front() : points.back();
    }
    return status;
}

bool AcDb3dPolyline::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool) const {
    std::vector<AcGePoint3d> points;
    if (gatherPoints(points) != Acad::eOk) {
        return false;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        pieces.push_back(host::CurvePiece::segment(points[i - 1], points[i]));
    }
    if (isClosed() && points.size() > 1) {
        pieces.push_back(host::CurvePiece::segment(points.back(), points.front()));
    }
    return true;
}

Acad::ErrorStatus AcDb3dPolyline::getGeomExtents(AcDbExtents& extents) const {
    std::vector<AcGePoint3d> points;
    Acad::ErrorStatus status = gatherPoints(points);
    if (status == Acad::eOk && points.empty()) {
        status = Acad::eInvalidExtents;
    }
    if (status == Acad::eOk) {
        AcDbExtents box;
        for (const AcGePoint3d& p : points) {
            box.addPoint(p);
        }
        extents = box;
    }
    return status;
}

Acad::ErrorStatus AcDb3dPolyline::transformBy(const AcGeMatrix3d& xform) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !host::isRegularTransform(xform)) {
        status = Acad::eDegenerateGeometry;
    }
    if (status != Acad::eOk) {
        return status;
    }
    return m_vertices.forEach(AcDb::kForWrite, [&](AcDbEntity& entity) {
        if (AcDb3dPolylineVertex* vertex = AcDb3dPolylineVertex::cast(&entity)) {
            vertex->setPosition(xform * vertex->position());
        }
    });
}

Acad::ErrorStatus AcDb3dPolyline::getStretchPoints(AcGePoint3dArray& points) const {
    std::vector<AcGePoint3d> drawn;
    const Acad::ErrorStatus status = gatherPoints(drawn);
    for (const AcGePoint3d& p : drawn) {
        points.append(p);
    }
    return status;
}

Acad::ErrorStatus AcDb3dPolyline::moveStretchPointsAt(const AcDbIntArray& indices,
                                                      const AcGeVector3d& offset) {
    std::vector<AcGePoint3d> drawn;
    Acad::ErrorStatus status = gatherPoints(drawn);
    if (status != Acad::eOk) {
        return status;
    }
    std::vector<bool> chosen(drawn.size(), false);
    status = host::moveStretchPoints(this, indices, static_cast<int>(drawn.size()),
                                     [&](int i) { chosen[static_cast<std::size_t>(i)] = true; });
    if (status != Acad::eOk) {
        return status;
    }
    std::size_t index = 0;
    return m_vertices.forEach(AcDb::kForWrite, [&](AcDbEntity& entity) {
        AcDb3dPolylineVertex* vertex = AcDb3dPolylineVertex::cast(&entity);
        if (vertex != nullptr && isDrawn(*vertex) && chosen[index++]) {
            vertex->setPosition(vertex->position() + offset);
        }
    });
}

Acad::ErrorStatus AcDb3dPolyline::explode(AcDbVoidPtrArray& entitySet) const {
    std::vector<AcGePoint3d> points;
    const Acad::ErrorStatus status = gatherPoints(points);
    if (status != Acad::eOk || points.size() < 2) {
        return status;
    }
    const std::size_t segments = isClosed() ? points.size() : points.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        auto* line = new AcDbLine(points[i], points[(i + 1) % points.size()]);
        host::copyEntityProperties(*this, *line);
        entitySet.append(line);
    }
    return Acad::eOk;
}

AcRxObject* AcDb3dPolyline::clone() const {
    std::unique_ptr<AcDb3dPolyline> copy(AcDb3dPolyline::cast(AcDbCurve::clone()));
    if (copy == nullptr || m_vertices.cloneInto(copy->m_vertices) != Acad::eOk) {
        return nullptr;
    }
    return copy.release();
}

Acad::ErrorStatus AcDb3dPolyline::subErase(bool erasing) {
    const Acad::ErrorStatus status = AcDbCurve::subErase(erasing);
    return status == Acad::eOk ? m_vertices.erase(erasing) : status;
}

void AcDb3dPolyline::subAddedToDatabase() {
    AcDbCurve::subAddedToDatabase();
    m_vertices.ownerAdded(this);
}

Acad::ErrorStatus AcDb3dPolyline::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = host::dwgOutEntity<AcDbCurve>(*this, filer);
    return status == Acad::eOk ? m_vertices.dwgOut(filer) : status;
}

Acad::ErrorStatus AcDb3dPolyline::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = host::dwgInEntity<AcDbCurve>(*this, filer);
    return status == Acad::eOk ? m_vertices.dwgIn(filer) : status;
}

Acad::ErrorStatus AcDb3dPolyline::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeInt16(66, 1);
    filer->writePoint3d(10, AcGePoint3d::kOrigin);
    host::DxfFieldWriter writer(filer);
    visitFields(*this, writer);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDb3dPolyline::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfInSubclass(filer, kSubclass, *this, [](const host::DxfItem& item) {
            return item.code == 10 || item.code == 66;
        });
    }
    m_flags = static_cast<Adesk::Int16>(m_flags | k3dFlag);
    return status;
}
