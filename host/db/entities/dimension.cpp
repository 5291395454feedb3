// Dimensions: the shared text, style and point handling, and the three kinds' points,
// measurements and filing.
#include "kestrel/host/db/entities/dimension.h"

#include <cmath>

#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/ge/angles.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDimension, AcDbEntity);
ACRX_DXF_DEFINE_MEMBERS(AcDbRotatedDimension, AcDbDimension, 0, 0, 0, DIMENSION, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDb2LineAngularDimension, AcDbDimension, 0, 0, 0, DIMENSION, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDb3PointAngularDimension, AcDbDimension, 0, 0, 0, DIMENSION, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbDimension";
constexpr const wchar_t* kAlignedSubclass = L"AcDbAlignedDimension";
constexpr const wchar_t* kRotatedSubclass = L"AcDbRotatedDimension";
constexpr const wchar_t* k2LineSubclass = L"AcDb2LineAngularDimension";
constexpr const wchar_t* k3PointSubclass = L"AcDb3PointAngularDimension";
// Group 70: the kind, plus 32 (the block belongs to this dimension only).
constexpr Adesk::Int16 kRotatedKind = 0 | 32;
constexpr Adesk::Int16 kAngularKind = 2 | 32;
constexpr Adesk::Int16 k3PointKind = 5 | 32;

// A subclass marker alone, for the rotated dimension's closing marker.
struct NoFields {
    template <class Self, class Visitor>
    static void visitFields(Self&, Visitor&) {}
};

}  // namespace

// --- AcDbDimension -------------------------------------------------------------------------------

AcDbDimension::AcDbDimension(Adesk::Int16 kind, const ACHAR* text, AcDbObjectId style)
    : m_kind(kind), m_text(text != nullptr ? text : L""), m_style(style) {}

ACHAR* AcDbDimension::dimensionText() const {
    return host::copyText(host::readField(this, m_text));
}

Acad::ErrorStatus AcDbDimension::setDimensionText(const ACHAR* text) {
    return text == nullptr ? Acad::eNullPtr : host::writeField(this, m_text, text);
}

AcDbObjectId AcDbDimension::dimensionStyle() const {
    return host::readField(this, m_style);
}

Acad::ErrorStatus AcDbDimension::setDimensionStyle(AcDbObjectId style) {
    return host::writeField(this, m_style, style);
}

AcGePoint3d AcDbDimension::textPosition() const {
    assertReadEnabled();
    return host::ocsToWorld(m_normal, m_textPosition);
}

Acad::ErrorStatus AcDbDimension::setTextPosition(const AcGePoint3d& position) {
    return host::writeField(this, m_textPosition, host::worldToOcs(m_normal, position));
}

double AcDbDimension::textRotation() const {
    return host::readField(this, m_textRotation);
}

Acad::ErrorStatus AcDbDimension::setTextRotation(double angle) {
    return std::isfinite(angle) ? host::writeField(this, m_textRotation, normalizeAngle(angle))
                                : Acad::eInvalidInput;
}

AcGeVector3d AcDbDimension::normal() const {
    return host::readField(this, m_normal);
}

Acad::ErrorStatus AcDbDimension::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::unitNormal(normal, unit);
    }
    if (status == Acad::eOk) {
        const AcGePoint3d world = host::ocsToWorld(m_normal, m_textPosition);
        m_normal = unit;
        m_textPosition = host::worldToOcs(unit, world);
    }
    return status;
}

AcDbObjectId AcDbDimension::dimBlockId() const {
    return host::readField(this, m_block);
}

Acad::ErrorStatus AcDbDimension::setDimBlockId(AcDbObjectId id) {
    return host::writeField(this, m_block, id);
}

Acad::ErrorStatus AcDbDimension::measurement(double& value) const {
    assertReadEnabled();
    value = measure();
    return Acad::eOk;
}

void AcDbDimension::definitionPoints(std::vector<const AcGePoint3d*>& points) const {
    // The kinds list their points through one non-const member; reading them changes nothing.
    std::vector<AcGePoint3d*> mutablePoints;
    const_cast<AcDbDimension*>(this)->definitionPoints(mutablePoints);
    points.assign(mutablePoints.begin(), mutablePoints.end());
}

void AcDbDimension::transformAngles(const host::PlanarTransform&) {}

Acad::ErrorStatus AcDbDimension::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    std::vector<const AcGePoint3d*> points;
    definitionPoints(points);
    AcDbExtents box;
    for (const AcGePoint3d* p : points) {
        box.addPoint(*p);
    }
    box.addPoint(host::ocsToWorld(m_normal, m_textPosition));
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_normal, planar);
    }
    if (status == Acad::eOk && !planar.conformal) {
        status = Acad::eCannotScaleNonUniformly;
    }
    if (status != Acad::eOk) {
        return status;
    }
    std::vector<AcGePoint3d*> points;
    definitionPoints(points);
    for (AcGePoint3d* p : points) {
        *p = xform * *p;
    }
    m_textPosition = planar.ocsToOcs * m_textPosition;
    m_textRotation = normalizeAngle(planar.mapAngle(m_textRotation));
    transformAngles(planar);
    m_normal = planar.normal;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    std::vector<const AcGePoint3d*> list;
    definitionPoints(list);
    for (const AcGePoint3d* p : list) {
        points.append(*p);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDimension::moveStretchPointsAt(const AcDbIntArray& indices,
                                                     const AcGeVector3d& offset) {
    std::vector<AcGePoint3d*> points;
    definitionPoints(points);
    return host::moveStretchPoints(this, indices, static_cast<int>(points.size()),
                                   [&](int i) { *points[static_cast<std::size_t>(i)] += offset; });
}

Acad::ErrorStatus AcDbDimension::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbDimension::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbEntity>(*this, filer);
}

Acad::ErrorStatus AcDbDimension::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbEntity>(*this, filer, kSubclass);
}

Acad::ErrorStatus AcDbDimension::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    std::wstring blockName;
    std::wstring styleName;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        if (item.code == 2 || item.code == 3) {
            (item.code == 2 ? blockName : styleName) = item.text();
            return true;
        }
        host::DxfFieldReader reader(filer, item);
        visitFields(*this, reader);
        return reader.matched();
    });
    if (status == Acad::eOk) {
        status = host::resolveRecordName(filer, this, &AcDbDatabase::blockTableId, blockName,
                                         L"block", m_block);
    }
    if (status == Acad::eOk) {
        status = host::resolveRecordName(filer, this, &AcDbDatabase::dimStyleTableId, styleName,
                                         L"dimension style", m_style);
    }
    return status == Acad::eOk ? host::checkDxfNormal(filer, kSubclass, m_normal) : status;
}

// --- AcDbRotatedDimension ------------------------------------------------------------------------

AcDbRotatedDimension::AcDbRotatedDimension()
    : AcDbDimension(kRotatedKind, nullptr, AcDbObjectId::kNull) {}

AcDbRotatedDimension::AcDbRotatedDimension(double rotation, const AcGePoint3d& xLine1Point,
                                           const AcGePoint3d& xLine2Point,
                                           const AcGePoint3d& dimLinePoint, const ACHAR* dimText,
                                           AcDbObjectId dimStyle)
    : AcDbDimension(kRotatedKind, dimText, dimStyle),
      m_xLine1(xLine1Point),
      m_xLine2(xLine2Point),
      m_rotation(std::isfinite(rotation) ? normalizeAngle(rotation) : 0.0) {
    m_definitionPoint = dimLinePoint;
}

AcGePoint3d AcDbRotatedDimension::xLine1Point() const {
    return host::readField(this, m_xLine1);
}

Acad::ErrorStatus AcDbRotatedDimension::setXLine1Point(const AcGePoint3d& point) {
    return host::writeField(this, m_xLine1, point);
}

AcGePoint3d AcDbRotatedDimension::xLine2Point() const {
    return host::readField(this, m_xLine2);
}

Acad::ErrorStatus AcDbRotatedDimension::setXLine2Point(const AcGePoint3d& point) {
    return host::writeField(this, m_xLine2, point);
}

AcGePoint3d AcDbRotatedDimension::dimLinePoint() const {
    return host::readField(this, m_definitionPoint);
}

Acad::ErrorStatus AcDbRotatedDimension::setDimLinePoint(const AcGePoint3d& point) {
    return host::writeField(this, m_definitionPoint, point);
}

double AcDbRotatedDimension::rotation() const {
    return host::readField(this, m_rotation);
}

Acad::ErrorStatus AcDbRotatedDimension::setRotation(double angle) {
    return std::isfinite(angle) ? host::writeField(this, m_rotation, normalizeAngle(angle))
                                : Acad::eInvalidInput;
}

double AcDbRotatedDimension::oblique() const {
    return host::readField(this, m_oblique);
}

Acad::ErrorStatus AcDbRotatedDimension::setOblique(double angle) {
    return std::isfinite(angle) ? host::writeField(this, m_oblique, angle) : Acad::eInvalidInput;
}

void AcDbRotatedDimension::definitionPoints(std::vector<AcGePoint3d*>& points) {
    points = {&m_xLine1, &m_xLine2, &m_definitionPoint};
}

double AcDbRotatedDimension::measure() const {
    return std::fabs((m_xLine2 - m_xLine1).dotProduct(host::ocsDirection(normal(), m_rotation)));
}

void AcDbRotatedDimension::transformAngles(const host::PlanarTransform& planar) {
    m_rotation = normalizeAngle(planar.mapAngle(m_rotation));
}

Acad::ErrorStatus AcDbRotatedDimension::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbDimension>(*this, filer);
}

Acad::ErrorStatus AcDbRotatedDimension::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbDimension>(*this, filer);
}

Acad::ErrorStatus AcDbRotatedDimension::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = host::dxfInEntity<AcDbDimension>(*this, filer, kAlignedSubclass);
    NoFields none;
    return status == Acad::eOk ? host::dxfInSubclass(filer, kRotatedSubclass, none) : status;
}

Acad::ErrorStatus AcDbRotatedDimension::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status =
        host::dxfOutEntity<AcDbDimension>(*this, filer, kAlignedSubclass);
    return status == Acad::eOk ? filer->writeString(100, kRotatedSubclass) : status;
}

// --- AcDb2LineAngularDimension -------------------------------------------------------------------

AcDb2LineAngularDimension::AcDb2LineAngularDimension()
    : AcDbDimension(kAngularKind, nullptr, AcDbObjectId::kNull) {}

AcDb2LineAngularDimension::AcDb2LineAngularDimension(const AcGePoint3d& xLine1Start,
                                                     const AcGePoint3d& xLine1End,
                                                     const AcGePoint3d& xLine2Start,
                                                     const AcGePoint3d& xLine2End,
                                                     const AcGePoint3d& arcPoint,
                                                     const ACHAR* dimText, AcDbObjectId dimStyle)
    : AcDbDimension(kAngularKind, dimText, dimStyle),
      m_xLine1Start(xLine1Start),
      m_xLine1End(xLine1End),
      m_xLine2Start(xLine2Start),
      m_arcPoint(arcPoint) {
    m_definitionPoint = xLine2End;
}

AcGePoint3d AcDb2LineAngularDimension::xLine1Start() const {
    return host::readField(this, m_xLine1Start);
}

AcGePoint3d AcDb2LineAngularDimension::xLine1End() const {
    return host::readField(this, m_xLine1End);
}

AcGePoint3d AcDb2LineAngularDimension::xLine2Start() const {
    return host::readField(this, m_xLine2Start);
}

AcGePoint3d AcDb2LineAngularDimension::xLine2End() const {
    return host::readField(this, m_definitionPoint);
}

AcGePoint3d AcDb2LineAngularDimension::arcPoint() const {
    return host::readField(this, m_arcPoint);
}

Acad::ErrorStatus AcDb2LineAngularDimension::setArcPoint(const AcGePoint3d& point) {
    return host::writeField(this, m_arcPoint, point);
}

void AcDb2LineAngularDimension::definitionPoints(std::vector<AcGePoint3d*>& points) {
    points = {&m_xLine1Start, &m_xLine1End, &m_xLine2Start, &m_definitionPoint, &m_arcPoint};
}

double AcDb2LineAngularDimension::measure() const {
    return (m_xLine1End - m_xLine1Start).angleTo(m_definitionPoint - m_xLine2Start);
}

Acad::ErrorStatus AcDb2LineAngularDimension::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbDimension>(*this, filer);
}

Acad::ErrorStatus AcDb2LineAngularDimension::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbDimension>(*this, filer);
}

Acad::ErrorStatus AcDb2LineAngularDimension::dxfInFields(AcDbDxfFiler* filer) {
    return host::dxfInEntity<AcDbDimension>(*this, filer, k2LineSubclass);
}

Acad::ErrorStatus AcDb2LineAngularDimension::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbDimension>(*this, filer, k2LineSubclass);
}

// --- AcDb3PointAngularDimension ------------------------------------------------------------------

AcDb3PointAngularDimension::AcDb3PointAngularDimension()
    : AcDbDimension(k3PointKind, nullptr, AcDbObjectId::kNull) {}

AcDb3PointAngularDimension::AcDb3PointAngularDimension(const AcGePoint3d& centerPoint,
                                                       const AcGePoint3d& xLine1Point,
                                                       const AcGePoint3d& xLine2Point,
                                                       const AcGePoint3d& arcPoint,
                                                       const ACHAR* dimText, AcDbObjectId dimStyle)
    : AcDbDimension(k3PointKind, dimText, dimStyle),
      m_center(centerPoint),
      m_xLine1(xLine1Point),
      m_xLine2(xLine2Point) {
    m_definitionPoint = arcPoint;
}

AcGePoint3d AcDb3PointAngularDimension::centerPoint() const {
    return host::readField(this, m_center);
}

AcGePoint3d AcDb3PointAngularDimension::xLine1Point() const {
    return host::readField(this, m_xLine1);
}

AcGePoint3d AcDb3PointAngularDimension::xLine2Point() const {
    return host::readField(this, m_xLine2);
}

AcGePoint3d AcDb3PointAngularDimension::arcPoint() const {
    return host::readField(this, m_definitionPoint);
}

Acad::ErrorStatus AcDb3PointAngularDimension::setArcPoint(const AcGePoint3d& point) {
    return host::writeField(this, m_definitionPoint, point);
}

void AcDb3PointAngularDimension::definitionPoints(std::vector<AcGePoint3d*>& points) {
    points = {&m_center, &m_xLine1, &m_xLine2, &m_definitionPoint};
}

double AcDb3PointAngularDimension::measure() const {
    const AcGeVector3d n = normal();
    return normalizeAngle(host::ocsAngle(n, m_xLine2 - m_center) -
                          host::ocsAngle(n, m_xLine1 - m_center));
}

Acad::ErrorStatus AcDb3PointAngularDimension::dwgInFields(AcDbDwgFiler* filer) {
    return host::dwgInEntity<AcDbDimension>(*this, filer);
}

Acad::ErrorStatus AcDb3PointAngularDimension::dwgOutFields(AcDbDwgFiler* filer) const {
    return host::dwgOutEntity<AcDbDimension>(*this, filer);
}

Acad::ErrorStatus AcDb3PointAngularDimension::dxfInFields(AcDbDxfFiler* filer) {
    return host::dxfInEntity<AcDbDimension>(*this, filer, k3PointSubclass);
}

Acad::ErrorStatus AcDb3PointAngularDimension::dxfOutFields(AcDbDxfFiler* filer) const {
    return host::dxfOutEntity<AcDbDimension>(*this, filer, k3PointSubclass);
}
