// AcDbPolyline: vertex access, geometry through host::PolylineShape, and filing of the vertex
// list (binary: count and vertices; DXF: the LWPOLYLINE groups).
#include "kestrel/host/db/entities/polyline.h"

#include <cmath>

ACRX_DXF_DEFINE_MEMBERS(AcDbPolyline, AcDbCurve, 0, 0, 0, LWPOLYLINE, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbPolyline";
constexpr Adesk::Int16 kClosedFlag = 1;
constexpr Adesk::Int16 kPlinegenFlag = 128;
// More vertices than a binary or DXF description may announce.
constexpr Adesk::Int32 kMaxVertices = 100000000;

bool finite2d(const AcGePoint2d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// The width all vertices share, or false.
bool sharedWidth(const host::PolylineShape& shape, double& width) {
    if (shape.vertices.empty()) {
        width = 0.0;
        return true;
    }
    width = shape.vertices.front().startWidth;
    for (const host::PolyVertex& v : shape.vertices) {
        if (v.startWidth != width || v.endWidth != width) {
            return false;
        }
    }
    return true;
}

}  // namespace

AcDbPolyline::AcDbPolyline(unsigned int num_verts) {
    m_shape.vertices.reserve(num_verts);
}

const host::PolyVertex* AcDbPolyline::vertexAt(unsigned int index) const {
    assertReadEnabled();
    return index < m_shape.vertices.size() ? &m_shape.vertices[index] : nullptr;
}

template <class Change>
Acad::ErrorStatus AcDbPolyline::changeVertex(unsigned int index, Change change) {
    if (index >= m_shape.vertices.size()) {
        return Acad::eInvalidIndex;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        change(m_shape.vertices[index]);
    }
    return status;
}

unsigned int AcDbPolyline::numVerts() const {
    assertReadEnabled();
    return static_cast<unsigned int>(m_shape.vertices.size());
}

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned int index, const AcGePoint2d& point,
                                            double bulge, double startWidth, double endWidth,
                                            Adesk::Int32 vertexIdentifier) {
    if (!finite2d(point) || !std::isfinite(bulge) || !std::isfinite(startWidth) ||
        !std::isfinite(endWidth)) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    double constant = 0.0;
    if (!sharedWidth(m_shape, constant)) {
        constant = 0.0;
    }
    host::PolyVertex vertex{point, bulge, startWidth < 0.0 ? constant : startWidth,
                            endWidth < 0.0 ? constant : endWidth, vertexIdentifier};
    const std::size_t at = std::min<std::size_t>(index, m_shape.vertices.size());
    m_shape.vertices.insert(m_shape.vertices.begin() + static_cast<std::ptrdiff_t>(at), vertex);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::removeVertexAt(unsigned int index) {
    if (index >= m_shape.vertices.size()) {
        return Acad::eInvalidIndex;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_shape.vertices.erase(m_shape.vertices.begin() + index);
    }
    return status;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint3d& point) const {
    if (vertexAt(index) == nullptr) {
        return Acad::eInvalidIndex;
    }
    point = m_shape.worldPoint(index);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned int index, AcGePoint2d& point) const {
    const host::PolyVertex* vertex = vertexAt(index);
    if (vertex == nullptr) {
        return Acad::eInvalidIndex;
    }
    point = vertex->point;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setPointAt(unsigned int index, const AcGePoint2d& point) {
    if (!finite2d(point)) {
        return Acad::eInvalidInput;
    }
    return changeVertex(index, [&](host::PolyVertex& v) { v.point = point; });
}

Acad::ErrorStatus AcDbPolyline::getBulgeAt(unsigned int index, double& bulge) const {
    const host::PolyVertex* vertex = vertexAt(index);
    if (vertex == nullptr) {
        return Acad::eInvalidIndex;
    }
    bulge = vertex->bulge;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setBulgeAt(unsigned int index, double bulge) {
    if (!std::isfinite(bulge)) {
        return Acad::eInvalidInput;
    }
    return changeVertex(index, [&](host::PolyVertex& v) { v.bulge = bulge; });
}

Acad::ErrorStatus AcDbPolyline::getWidthsAt(unsigned int index, double& startWidth,
                                            double& endWidth) const {
    const host::PolyVertex* vertex = vertexAt(index);
    if (vertex == nullptr) {
        return Acad::eInvalidIndex;
    }
    startWidth = vertex->startWidth;
    endWidth = vertex->endWidth;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setWidthsAt(unsigned int index, double startWidth,
                                            double endWidth) {
    if (!std::isfinite(startWidth) || !std::isfinite(endWidth) || startWidth < 0.0 ||
        endWidth < 0.0) {
        return Acad::eInvalidInput;
    }
    return changeVertex(index, [&](host::PolyVertex& v) {
        v.startWidth = startWidth;
        v.endWidth = endWidth;
    });
}

Acad::ErrorStatus AcDbPolyline::getVertexIdentifierAt(unsigned int index, Adesk::Int32& id) const {
    const host::PolyVertex* vertex = vertexAt(index);
    if (vertex == nullptr) {
        return Acad::eInvalidIndex;
    }
    id = vertex->identifier;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setVertexIdentifierAt(unsigned int index, Adesk::Int32 id) {
    return changeVertex(index, [&](host::PolyVertex& v) { v.identifier = id; });
}

Acad::ErrorStatus AcDbPolyline::getConstantWidth(double& width) const {
    assertReadEnabled();
    double shared = 0.0;
    if (!sharedWidth(m_shape, shared)) {
        return Acad::eNotApplicable;
    }
    width = shared;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setConstantWidth(double width) {
    if (!std::isfinite(width) || width < 0.0) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        for (host::PolyVertex& v : m_shape.vertices) {
            v.startWidth = width;
            v.endWidth = width;
        }
    }
    return status;
}

double AcDbPolyline::elevation() const {
    return host::readField(this, m_shape.elevation);
}

Acad::ErrorStatus AcDbPolyline::setElevation(double elevation) {
    return std::isfinite(elevation) ? host::writeField(this, m_shape.elevation, elevation)
                                    : Acad::eInvalidInput;
}

double AcDbPolyline::thickness() const {
    return host::readField(this, m_thickness);
}

Acad::ErrorStatus AcDbPolyline::setThickness(double thickness) {
    return std::isfinite(thickness) ? host::writeField(this, m_thickness, thickness)
                                    : Acad::eInvalidInput;
}

AcGeVector3d AcDbPolyline::normal() const {
    return host::readField(this, m_shape.normal);
}

Acad::ErrorStatus AcDbPolyline::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    const Acad::ErrorStatus status = host::unitNormal(normal, unit);
    return status == Acad::eOk ? host::writeField(this, m_shape.normal, unit) : status;
}

Acad::ErrorStatus AcDbPolyline::setClosed(bool closed) {
    return host::writeField(this, m_shape.closed, closed);
}

bool AcDbPolyline::hasPlinegen() const {
    return host::readField(this, m_plinegen);
}

Acad::ErrorStatus AcDbPolyline::setPlinegen(bool plinegen) {
    return host::writeField(this, m_plinegen, plinegen);
}

bool AcDbPolyline::hasBulges() const {
    assertReadEnabled();
    return m_shape.hasBulges();
}

bool AcDbPolyline::hasWidth() const {
    assertReadEnabled();
    return m_shape.hasWidths();
}

bool AcDbPolyline::isOnlyLines() const {
    return !hasBulges();
}

Acad::ErrorStatus AcDbPolyline::minimizeMemory() {
    return requireWrite();
}

Acad::ErrorStatus AcDbPolyline::maximizeMemory() {
    return requireWrite();
}

bool AcDbPolyline::isClosed() const {
    return host::readField(this, m_shape.closed);
}

Acad::ErrorStatus AcDbPolyline::getStartPoint(AcGePoint3d& point) const {
    return numVerts() == 0 ? Acad::eDegenerateGeometry : getPointAt(0, point);
}

Acad::ErrorStatus AcDbPolyline::getEndPoint(AcGePoint3d& point) const {
    const unsigned int count = numVerts();
    if (count == 0) {
        return Acad::eDegenerateGeometry;
    }
    return getPointAt(m_shape.closed ? 0 : count - 1, point);
}

bool AcDbPolyline::getCurvePieces(std::vector<host::CurvePiece>& pieces, bool) const {
    assertReadEnabled();
    m_shape.appendPieces(pieces);
    return true;
}

Acad::ErrorStatus AcDbPolyline::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    if (m_shape.vertices.empty()) {
        return Acad::eInvalidExtents;
    }
    AcDbExtents box;
    m_shape.addExtents(box);
    host::addExtrusion(box, m_shape.normal, m_thickness);
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_shape.normal, planar);
    }
    if (status == Acad::eOk) {
        status = m_shape.checkTransform(planar);
    }
    if (status == Acad::eOk) {
        m_shape.transform(planar);
        m_thickness *= planar.normalStretch;
    }
    return status;
}

Acad::ErrorStatus AcDbPolyline::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    for (std::size_t i = 0; i < m_shape.vertices.size(); ++i) {
        points.append(m_shape.worldPoint(i));
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::moveStretchPointsAt(const AcDbIntArray& indices,
                                                    const AcGeVector3d& offset) {
    const host::OcsAxes axes = host::ocsAxes(m_shape.normal);
    const AcGeVector2d inPlane(offset.dotProduct(axes.x), offset.dotProduct(axes.y));
    return host::moveStretchPoints(this, indices, static_cast<int>(m_shape.vertices.size()),
                                   [&](int i) { m_shape.vertices[i].point += inPlane; });
}

Acad::ErrorStatus AcDbPolyline::explode(AcDbVoidPtrArray& entitySet) const {
    assertReadEnabled();
    m_shape.explode(*this, m_thickness, entitySet);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeInt32(static_cast<Adesk::Int32>(m_shape.vertices.size()));
    for (const host::PolyVertex& v : m_shape.vertices) {
        filer->writePoint2d(v.point);
        filer->writeDouble(v.bulge);
        filer->writeDouble(v.startWidth);
        filer->writeDouble(v.endWidth);
        filer->writeInt32(v.identifier);
    }
    filer->writeBool(m_shape.closed);
    filer->writeBool(m_plinegen);
    filer->writeDouble(m_shape.elevation);
    filer->writeDouble(m_thickness);
    return filer->writeVector3d(m_shape.normal);
}

Acad::ErrorStatus AcDbPolyline::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dwgInFields(filer);
    Adesk::Int32 count = 0;
    if (status == Acad::eOk) {
        status = filer->readInt32(&count);
    }
    if (status == Acad::eOk && (count < 0 || count > kMaxVertices)) {
        filer->setFilerStatus(Acad::eFilerError);
        return Acad::eFilerError;
    }
    host::PolylineShape shape;
    shape.vertices.resize(static_cast<std::size_t>(count));
    for (host::PolyVertex& v : shape.vertices) {
        filer->readPoint2d(&v.point);
        filer->readDouble(&v.bulge);
        filer->readDouble(&v.startWidth);
        filer->readDouble(&v.endWidth);
        filer->readInt32(&v.identifier);
    }
    bool plinegen = false;
    double thickness = 0.0;
    filer->readBool(&shape.closed);
    filer->readBool(&plinegen);
    filer->readDouble(&shape.elevation);
    filer->readDouble(&thickness);
    status = filer->readVector3d(&shape.normal);
    if (status == Acad::eOk) {
        m_shape = std::move(shape);
        m_plinegen = plinegen;
        m_thickness = thickness;
    }
    return status;
}

Acad::ErrorStatus AcDbPolyline::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbCurve::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeInt32(90, static_cast<Adesk::Int32>(m_shape.vertices.size()));
    filer->writeInt16(70, static_cast<Adesk::Int16>((m_shape.closed ? kClosedFlag : 0) |
                                                    (m_plinegen ? kPlinegenFlag : 0)));
    double constant = 0.0;
    if (sharedWidth(m_shape, constant)) {
        filer->writeDouble(43, constant);
    }
    filer->writeDouble(38, m_shape.elevation);
    filer->writeDouble(39, m_thickness);
    for (const host::PolyVertex& v : m_shape.vertices) {
        filer->writePoint2d(10, v.point);
        filer->writeDouble(40, v.startWidth);
        filer->writeDouble(41, v.endWidth);
        filer->writeDouble(42, v.bulge);
        filer->writeInt32(91, v.identifier);
    }
    return filer->writeVector3d(210, m_shape.normal);
}

Acad::ErrorStatus AcDbPolyline::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbCurve::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    host::PolylineShape shape;
    Adesk::Int16 flags = 0;
    std::int64_t announced = 0;
    double constant = 0.0;
    double thickness = 0.0;
    bool vertexGroupFirst = false;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        host::PolyVertex* last = shape.vertices.empty() ? nullptr : &shape.vertices.back();
        switch (item.code) {
            case 90:
                announced = item.integer();
                return true;
            case 70:
                flags = static_cast<Adesk::Int16>(item.integer());
                return true;
            case 43:
                constant = item.real();
                return true;
            case 38:
                shape.elevation = item.real();
                return true;
            case 39:
                thickness = item.real();
                return true;
            case 210:
                shape.normal = item.point().asVector();
                return true;
            case 10:
                shape.vertices.push_back(host::PolyVertex{
                    AcGePoint2d(item.point().x, item.point().y), 0.0, constant, constant, 0});
                return true;
            case 40:
            case 41:
            case 42:
            case 91:
                if (last == nullptr) {
                    vertexGroupFirst = true;
                    return true;
                }
                if (item.code == 40) {
                    last->startWidth = item.real();
                } else if (item.code == 41) {
                    last->endWidth = item.real();
                } else if (item.code == 42) {
                    last->bulge = item.real();
                } else {
                    last->identifier = static_cast<Adesk::Int32>(item.integer());
                }
                return true;
            default:
                return false;
        }
    });
    if (status != Acad::eOk) {
        return status;
    }
    if (vertexGroupFirst) {
        return filer->setError(Acad::eDxfReadFailed,
                               L"AcDbPolyline: a vertex group (40, 41, 42, 91) before any 10");
    }
    if (announced != static_cast<std::int64_t>(shape.vertices.size())) {
        return filer->setError(
            Acad::eDxfReadFailed, L"AcDbPolyline: 90 announces %lld vertices, %lld were read",
            static_cast<long long>(announced), static_cast<long long>(shape.vertices.size()));
    }
    status = host::checkDxfNormal(filer, kSubclass, shape.normal);
    if (status == Acad::eOk) {
        shape.closed = (flags & kClosedFlag) != 0;
        m_plinegen = (flags & kPlinegenFlag) != 0;
        m_thickness = thickness;
        m_shape = std::move(shape);
    }
    return status;
}
