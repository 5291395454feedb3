// The polyline vertex kinds: accessors and filing.
#include "kestrel/host/db/entities/vertex.h"

#include <cmath>

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbVertex, AcDbEntity);
ACRX_DXF_DEFINE_MEMBERS(AcDb2dVertex, AcDbVertex, 0, 0, 0, VERTEX, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDb3dPolylineVertex, AcDbVertex, 0, 0, 0, VERTEX, DrawHost);

namespace {

constexpr const wchar_t* kVertexSubclass = L"AcDbVertex";
constexpr const wchar_t* k2dSubclass = L"AcDb2dVertex";
constexpr const wchar_t* k3dSubclass = L"AcDb3dPolylineVertex";

bool finiteValue(double value) {
    return std::isfinite(value);
}

bool finitePoint(const AcGePoint3d& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Sets a field after requireWrite when check accepts the value (eInvalidInput otherwise).
template <class T, class Check>
Acad::ErrorStatus setChecked(AcDbObject* object, T& field, const T& value, Check check) {
    return check(value) ? host::writeField(object, field, value) : Acad::eInvalidInput;
}

}  // namespace

// --- AcDbVertex ------------------------------------------------------------------------------

Acad::ErrorStatus AcDbVertex::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    return status == Acad::eOk ? filer->writeString(100, kVertexSubclass) : status;
}

Acad::ErrorStatus AcDbVertex::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status == Acad::eOk && !filer->atSubclassData(kVertexSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s",
                               kVertexSubclass);
    }
    return status;
}

// --- AcDb2dVertex ------------------------------------------------------------------------------

AcDb2dVertex::AcDb2dVertex(const AcGePoint3d& position, double bulge, double startWidth,
                           double endWidth, double tangent, Adesk::Int32 vertexIdentifier)
    : m_position(position),
      m_startWidth(startWidth),
      m_endWidth(endWidth),
      m_bulge(bulge),
      m_tangent(tangent),
      m_identifier(vertexIdentifier) {}

AcDb::Vertex2dType AcDb2dVertex::vertexType() const {
    const Adesk::Int16 flags = host::readField(this, m_flags);
    if ((flags & kSplineControlFlag) != 0) {
        return AcDb::k2dSplineCtlVertex;
    }
    if ((flags & kSplineFitFlag) != 0) {
        return AcDb::k2dSplineFitVertex;
    }
    return (flags & kCurveFitFlag) != 0 ? AcDb::k2dCurveFitVertex : AcDb::k2dVertex;
}

AcGePoint3d AcDb2dVertex::position() const {
    return host::readField(this, m_position);
}

Acad::ErrorStatus AcDb2dVertex::setPosition(const AcGePoint3d& position) {
    return setChecked(this, m_position, position, finitePoint);
}

double AcDb2dVertex::startWidth() const {
    return host::readField(this, m_startWidth);
}

Acad::ErrorStatus AcDb2dVertex::setStartWidth(double width) {
    return setChecked(this, m_startWidth, width, finiteValue);
}

double AcDb2dVertex::endWidth() const {
    return host::readField(this, m_endWidth);
}

Acad::ErrorStatus AcDb2dVertex::setEndWidth(double width) {
    return setChecked(this, m_endWidth, width, finiteValue);
}

double AcDb2dVertex::bulge() const {
    return host::readField(this, m_bulge);
}

Acad::ErrorStatus AcDb2dVertex::setBulge(double bulge) {
    return setChecked(this, m_bulge, bulge, finiteValue);
}

bool AcDb2dVertex::isTangentUsed() const {
    return (host::readField(this, m_flags) & kTangentFlag) != 0;
}

Acad::ErrorStatus AcDb2dVertex::useTangent() {
    return host::writeField(this, m_flags, m_flags | kTangentFlag);
}

Acad::ErrorStatus AcDb2dVertex::ignoreTangent() {
    return host::writeField(this, m_flags, m_flags & ~kTangentFlag);
}

double AcDb2dVertex::tangent() const {
    return host::readField(this, m_tangent);
}

Acad::ErrorStatus AcDb2dVertex::setTangent(double tangent) {
    return setChecked(this, m_tangent, tangent, finiteValue);
}

Adesk::Int32 AcDb2dVertex::vertexIdentifier() const {
    return host::readField(this, m_identifier);
}

Acad::ErrorStatus AcDb2dVertex::setVertexIdentifier(Adesk::Int32 id) {
    return host::writeField(this, m_identifier, id);
}

Acad::ErrorStatus AcDb2dVertex::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDb2dVertex::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbVertex>(*this, filer);
}

Acad::ErrorStatus AcDb2dVertex::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbVertex>(*this, filer);
}

Acad::ErrorStatus AcDb2dVertex::dxfInFields(AcDbDxfFiler* filer) {
    return host::dxfInEntity<AcDbVertex>(*this, filer, k2dSubclass);
}

Acad::ErrorStatus AcDb2dVertex::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbVertex>(*this, filer, k2dSubclass);
}

// --- AcDb3dPolylineVertex ----------------------------------------------------------------------

AcDb::Vertex3dType AcDb3dPolylineVertex::vertexType() const {
    const Adesk::Int16 flags = host::readField(this, m_flags);
    if ((flags & 16) != 0) {
        return AcDb::k3dControlVertex;
    }
    return (flags & 8) != 0 ? AcDb::k3dFitVertex : AcDb::k3dSimpleVertex;
}

AcGePoint3d AcDb3dPolylineVertex::position() const {
    return host::readField(this, m_position);
}

Acad::ErrorStatus AcDb3dPolylineVertex::setPosition(const AcGePoint3d& position) {
    return setChecked(this, m_position, position, finitePoint);
}

Acad::ErrorStatus AcDb3dPolylineVertex::getGeomExtents(AcDbExtents& extents) const {
    extents = AcDbExtents(position(), position());
    return Acad::eOk;
}

Acad::ErrorStatus AcDb3dPolylineVertex::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDb3dPolylineVertex::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbVertex>(*this, filer);
}

Acad::ErrorStatus AcDb3dPolylineVertex::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbVertex>(*this, filer);
}

Acad::ErrorStatus AcDb3dPolylineVertex::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = host::dxfInEntity<AcDbVertex>(*this, filer, k3dSubclass);
    m_flags = static_cast<Adesk::Int16>(m_flags | k3dVertexFlag);
    return status;
}

Acad::ErrorStatus AcDb3dPolylineVertex::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbVertex>(*this, filer, k3dSubclass);
}
