// AcDb2dPolyline: owned vertices, geometry through host::PolylineShape, filing.
#include "kestrel/host/db/entities/polyline_2d.h"

#include <cmath>

ACRX_DXF_DEFINE_MEMBERS(AcDb2dPolyline, AcDbCurve, 0, 0, 0, POLYLINE, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDb2dPolyline";
constexpr Adesk::Int16 kClosedFlag = 1;
constexpr Adesk::Int16 kCurveFitFlag = 2;
constexpr Adesk::Int16 kSplineFitFlag = 4;
constexpr Adesk::Int16 kQuadraticCurve = 5;
constexpr Adesk::Int16 kCubicCurve = 6;

}  // namespace

AcDb2dPolyline::AcDb2dPolyline(AcDb::Poly2dType type, const AcGePoint3dArray& vertices,
                               double elevation, Adesk::Boolean closed, double defStartWidth,
                               double defEndWidth, const AcGeDoubleArray* bulges,
                               const AcArray<Adesk::Int32>* vertexIdentifiers)
    : m_elevation(elevation), m_defaultStartWidth(defStartWidth), m_defaultEndWidth(defEndWidth) {
    setPolyType(type);
    setFlag(kClosedFlag, closed);
    for (int i = 0; i < vertices.length(); ++i) {
        const double bulge = bulges != nullptr && i < bulges->length() ? (*bulges)[i] : 0.0;
        const Adesk::Int32 id = vertexIdentifiers != nullptr && i < vertexIdentifiers->length()
                                    ? (*vertexIdentifiers)[i]
                                    : 0;
        appendVertex(new AcDb2dVertex(vertices[i], bulge, defStartWidth, defEndWidth, 0.0, id));
    }
}

Acad::ErrorStatus AcDb2dPolyline::setFlag(Adesk::Int16 bit, bool on) {
    return host::writeField(this, m_flags, on ? (m_flags | bit) : (m_flags & ~bit));
}

AcDb::Poly2dType AcDb2dPolyline::polyType() const {
    const Adesk::Int16 flags = host::readField(this, m_flags);
    if ((flags & kSplineFitFlag) != 0) {
        return m_curveType == kQuadraticCurve ? AcDb::k2dQuadSplinePoly : AcDb::k2dCubicSplinePoly;
    }
    return (flags & kCurveFitFlag) != 0 ? AcDb::k2dFitCurvePoly : AcDb::k2dSimplePoly;
}

Acad::ErrorStatus AcDb2dPolyline::setPolyType(AcDb::Poly2dType type) {
    if (type < AcDb::k2dSimplePoly || type > AcDb::k2dCubicSplinePoly) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    m_flags = static_cast<Adesk::Int16>(m_flags & ~(kCurveFitFlag | kSplineFitFlag));
    m_curveType = 0;
    if (type == AcDb::k2dFitCurvePoly) {
        m_flags = static_cast<Adesk::Int16>(m_flags | kCurveFitFlag);
    } else if (type != AcDb::k2dSimplePoly) {
        m_flags = static_cast<Adesk::Int16>(m_flags | kSplineFitFlag);
        m_curveType = type == AcDb::k2dQuadSplinePoly ? kQuadraticCurve : kCubicCurve;
    }
    return Acad::eOk;
}

double AcDb2dPolyline::elevation() const {
    return host::readField(this, m_elevation);
}

Acad::ErrorStatus AcDb2dPolyline::setElevation(double elevation) {
    return std::isfinite(elevation) ? host::writeField(this, m_elevation, elevation)
                                    : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::makeClosed() {
    return setFlag(kClosedFlag, true);
}

Acad::ErrorStatus AcDb2dPolyline::makeOpen() {
    return setFlag(kClosedFlag, false);
}

AcGeVector3d AcDb2dPolyline::normal() const {
    return host::readField(this, m_normal);
}

Acad::ErrorStatus AcDb2dPolyline::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    const Acad::ErrorStatus status = host::unitNormal(normal, unit);
    return status == Acad::eOk ? host::writeField(this, m_normal, unit) : status;
}

double AcDb2dPolyline::thickness() const {
    return host::readField(this, m_thickness);
}

Acad::ErrorStatus AcDb2dPolyline::setThickness(double thickness) {
    return std::isfinite(thickness) ? host::writeField(this, m_thickness, thickness)
                                    : Acad::eInvalidInput;
}

double AcDb2dPolyline::defaultStartWidth() const {
    return host::readField(this, m_defaultStartWidth);
}

Acad::ErrorStatus AcDb2dPolyline::setDefaultStartWidth(double width) {
    return std::isfinite(width) ? host::writeField(this, m_defaultStartWidth, width)
                                : Acad::eInvalidInput;
}

double AcDb2dPolyline::defaultEndWidth() const {
    return host::readField(this, m_defaultEndWidth);
}

Acad::ErrorStatus AcDb2dPolyline::setDefaultEndWidth(double width) {
    return std::isfinite(width) ? host::writeField(this, m_defaultEndWidth, width)
                                : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDb2dVertex* vertex) {
    AcDbObjectId id;
    return host::OwnedEntities::closeAppended(appendVertex(id, vertex), id, vertex);
}

Acad::ErrorStatus AcDb2dPolyline::appendVertex(AcDbObjectId& id, AcDb2dVertex* vertex) {
    const Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    return m_vertices.appendWithProperties(this, vertex, id);
}

AcDbObjectIterator* AcDb2dPolyline::vertexIterator() const {
    assertReadEnabled();
    return m_vertices.newIterator();
}

Acad::ErrorStatus AcDb2dPolyline::openVertex(AcDb2dVertex*& vertex, AcDbObjectId id,
                                             AcDb::OpenMode mode, bool openErased) const {
    assertReadEnabled();
    return m_vertices.open(vertex, id, mode, openErased);
}

Acad::ErrorStatus AcDb2dPolyline::openSequenceEnd(AcDbSequenceEnd*& end,
                                                  AcDb::OpenMode mode) const {
    assertReadEnabled();
    return m_vertices.openSequenceEnd(end, mode);
}

AcGePoint3d AcDb2dPolyline::vertexPosition(const AcDb2dVertex& vertex) const {
    const AcGePoint3d p = vertex.position();
    return host::ocsToWorld(normal(), AcGePoint3d(p.x, p.y, m_elevation));
}

Acad::ErrorStatus AcDb2dPolyline::gatherShape(host::PolylineShape& shape) const {
    assertReadEnabled();
    shape.normal = m_normal;
    shape.elevation = m_elevation;
    shape.closed = (m_flags & kClosedFlag) != 0;
    shape.vertices.clear();
    return m_vertices.forEach(AcDb::kForRead, [&](const AcDbEntity& entity) {
        const AcDb2dVertex* vertex = AcDb2dVertex::cast(&entity);
        if (vertex != nullptr && vertex->vertexType() != AcDb::k2dSplineCtlVertex) {
            const AcGePoint3d p = vertex->position();
            shape.vertices.push_back(host::PolyVertex{AcGePoint2d(p.x, p.y), vertex->bulge(),
                                                      vertex->startWidth(), vertex->endWidth(),
                                                      vertex->vertexIdentifier()});
        }
    });
}

bool AcDb2dPolyline::isClosed() const {
    return (host::readField(this, m_flags) & kClosedFlag) != 0;
}

Acad::ErrorStatus AcDb2dPolyline::getStartPoint(AcGePoint3d& point) const {
    host::PolylineShape shape;
    Acad::ErrorStatus status = gatherShape(shape);
    if (status == Acad::eOk && shape.vertices.empty()) {
        status = Acad::eDegenerateGeometry;
    }
    if (status == Acad::eOk) {
        point = shape.worldPoint(0);
    }
    return status;
}

Acad::ErrorStatus AcDb2dPolyline::getEndPoint(AcGePoint3d& point) const {
    host::PolylineShape shape;
    Acad::ErrorStatus status = gatherShape(shape);
    if (status == Acad::eOk && shape.vertices.empty()) {
        status = Acad::eDegenerateGeometry;
    }
    if (status == Acad::eOk) {
        point = shape.worldPoint(shape.closed ? 0 : shape.vertices.size() - 1);
    }
    return status;
}

bool AcDb2dPolyline::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool) const {
    host::PolylineShape shape;
    if (gatherShape(shape) != Acad::eOk) {
        return false;
    }
    shape.appendPieces(pieces);
    return true;
}

Acad::ErrorStatus AcDb2dPolyline::getGeomExtents(AcDbExtents& extents) const {
    host::PolylineShape shape;
    Acad::ErrorStatus status = gatherShape(shape);
    if (status == Acad::eOk && shape.vertices.empty()) {
        status = Acad::eInvalidExtents;
    }
    if (status == Acad::eOk) {
        AcDbExtents box;
        shape.addExtents(box);
        host::addExtrusion(box, m_normal, m_thickness);
        extents = box;
    }
    return status;
}

Acad::ErrorStatus AcDb2dPolyline::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    host::PolylineShape shape;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_normal, planar);
    }
    if (status == Acad::eOk) {
        status = gatherShape(shape);
    }
    if (status == Acad::eOk) {
        status = shape.checkTransform(planar);
    }
    if (status != Acad::eOk) {
        return status;
    }
    const double oldElevation = m_elevation;
    const double newElevation = (planar.ocsToOcs * AcGePoint3d(0.0, 0.0, oldElevation)).z;
    status = m_vertices.forEach(AcDb::kForWrite, [&](AcDbEntity& entity) {
        AcDb2dVertex* vertex = AcDb2dVertex::cast(&entity);
        if (vertex == nullptr) {
            return;
        }
        const AcGePoint3d p = vertex->position();
        const AcGePoint3d moved = planar.ocsToOcs * AcGePoint3d(p.x, p.y, oldElevation);
        vertex->setPosition(AcGePoint3d(moved.x, moved.y, newElevation));
        vertex->setBulge(planar.mirrored ? -vertex->bulge() : vertex->bulge());
        vertex->setStartWidth(vertex->startWidth() * planar.scale);
        vertex->setEndWidth(vertex->endWidth() * planar.scale);
    });
    if (status == Acad::eOk) {
        m_elevation = newElevation;
        m_normal = planar.normal;
        m_thickness *= planar.normalStretch;
        m_defaultStartWidth *= planar.scale;
        m_defaultEndWidth *= planar.scale;
    }
    return status;
}

Acad::ErrorStatus AcDb2dPolyline::getStretchPoints(AcGePoint3dArray& points) const {
    host::PolylineShape shape;
    const Acad::ErrorStatus status = gatherShape(shape);
    for (std::size_t i = 0; status == Acad::eOk && i < shape.vertices.size(); ++i) {
        points.append(shape.worldPoint(i));
    }
    return status;
}

Acad::ErrorStatus AcDb2dPolyline::moveStretchPointsAt(const AcDbIntArray& indices,
                                                      const AcGeVector3d& offset) {
    host::PolylineShape shape;
    Acad::ErrorStatus status = gatherShape(shape);
    if (status != Acad::eOk) {
        return status;
    }
    std::vector<bool> chosen(shape.vertices.size(), false);
    status = host::moveStretchPoints(this, indices, static_cast<int>(shape.vertices.size()),
                                     [&](int i) { chosen[static_cast<std::size_t>(i)] = true; });
    if (status != Acad::eOk) {
        return status;
    }
    const host::OcsAxes axes = host::ocsAxes(m_normal);
    const AcGeVector3d inPlane =
        AcGeVector3d(offset.dotProduct(axes.x), offset.dotProduct(axes.y), 0.0);
    std::size_t drawn = 0;
    return m_vertices.forEach(AcDb::kForWrite, [&](AcDbEntity& entity) {
        AcDb2dVertex* vertex = AcDb2dVertex::cast(&entity);
        if (vertex == nullptr || vertex->vertexType() == AcDb::k2dSplineCtlVertex) {
            return;
        }
        if (chosen[drawn++]) {
            vertex->setPosition(vertex->position() + inPlane);
        }
    });
}

Acad::ErrorStatus AcDb2dPolyline::explode(AcDbVoidPtrArray& entitySet) const {
    host::PolylineShape shape;
    const Acad::ErrorStatus status = gatherShape(shape);
    if (status == Acad::eOk) {
        shape.explode(*this, m_thickness, entitySet);
    }
    return status;
}

AcRxObject* AcDb2dPolyline::clone() const {
    std::unique_ptr<AcDb2dPolyline> copy(AcDb2dPolyline::cast(AcDbCurve::clone()));
    if (copy == nullptr || m_vertices.cloneInto(copy->m_vertices) != Acad::eOk) {
        return nullptr;
    }
    return copy.release();
}

Acad::ErrorStatus AcDb2dPolyline::subErase(bool erasing) {
    const Acad::ErrorStatus status = AcDbCurve::subErase(erasing);
    return status == Acad::eOk ? m_vertices.erase(erasing) : status;
}

void AcDb2dPolyline::subAddedToDatabase() {
    AcDbCurve::subAddedToDatabase();
    m_vertices.ownerAdded(this);
}

Acad::ErrorStatus AcDb2dPolyline::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = host::dwgOutEntity<AcDbCurve>(*this, filer);
    if (status == Acad::eOk) {
        status = filer->writeDouble(m_elevation);
    }
    return status == Acad::eOk ? m_vertices.dwgOut(filer) : status;
}

Acad::ErrorStatus AcDb2dPolyline::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = host::dwgInEntity<AcDbCurve>(*this, filer);
    if (status == Acad::eOk) {
        status = filer->readDouble(&m_elevation);
    }
    return status == Acad::eOk ? m_vertices.dwgIn(filer) : status;
}

Acad::ErrorStatus AcDb2dPolyline::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeInt16(66, 1);
    filer->writePoint3d(10, AcGePoint3d(0.0, 0.0, m_elevation));
    host::DxfFieldWriter writer(filer);
    visitFields(*this, writer);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDb2dPolyline::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    double elevation = m_elevation;
    if (status == Acad::eOk) {
        status = host::dxfInSubclass(filer, kSubclass, *this, [&](const host::DxfItem& item) {
            if (item.code == 10) {
                elevation = item.point().z;
            }
            return item.code == 10 || item.code == 66;
        });
    }
    if (status == Acad::eOk) {
        m_elevation = elevation;
        status = host::checkDxfNormal(filer, kSubclass, m_normal);
    }
    return status;
}
