// AcDbBlockReference: the block transform and its decomposition, attributes, extents through
// the block (nested references included), transforms, explode and filing.
#include "kestrel/host/db/entities/block_reference.h"

#include <cmath>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/db/entities/polyline_shape.h"
#include "kestrel/host/ge/angles.h"
#include "kestrel/host/rx/class.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity, 0, 0, 0, INSERT, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbBlockReference";
constexpr int kMaxNesting = 64;
constexpr double kOrthoTolerance = 1e-9;

// The origin (base point) of a block definition; the origin of space when it cannot be read.
AcGePoint3d blockOrigin(AcDbObjectId id) {
    AcDbBlockTableRecord* record = nullptr;
    if (acdbOpenObject(record, id, AcDb::kForRead) == Acad::eOk) {
        const AcGePoint3d origin = record->origin();
        record->close();
        return origin;
    }
    // Open for write elsewhere: read it in place.
    AcDbDatabase* db = id.database();
    const auto* held = db != nullptr ? AcDbBlockTableRecord::cast(db->objectAt(id)) : nullptr;
    return held != nullptr && held->isReadEnabled() ? held->origin() : AcGePoint3d::kOrigin;
}

AcGeVector3d column(const AcGeMatrix3d& m, int c) {
    return {m.entry[0][c], m.entry[1][c], m.entry[2][c]};
}

// The parts of a block transform's linear part: normal, rotation about it and scale factors.
struct BlockAxes {
    AcGeVector3d normal;
    double rotation = 0.0;
    AcGeScale3d scale;
};

// Splits linear = OCS(normal) x rotation x scale; false when the columns are not perpendicular
// (or one is zero).
bool decompose(const AcGeMatrix3d& m, BlockAxes& axes) {
    const AcGeVector3d c0 = column(m, 0);
    const AcGeVector3d c1 = column(m, 1);
    const AcGeVector3d c2 = column(m, 2);
    const double l0 = c0.length();
    const double l1 = c1.length();
    const double l2 = c2.length();
    if (!(l0 > 0.0 && l1 > 0.0 && l2 > 0.0) || !std::isfinite(l0 + l1 + l2) ||
        std::fabs(c0.dotProduct(c1)) > kOrthoTolerance * l0 * l1 ||
        std::fabs(c0.dotProduct(c2)) > kOrthoTolerance * l0 * l2 ||
        std::fabs(c1.dotProduct(c2)) > kOrthoTolerance * l1 * l2) {
        return false;
    }
    // A reflection goes into a negative X factor, so the OCS stays right-handed.
    const bool reflected = c0.dotProduct(c1.crossProduct(c2)) < 0.0;
    const AcGeVector3d xAxis = c0 / (reflected ? -l0 : l0);
    axes.normal = c2 / l2;
    axes.rotation = host::ocsAngle(axes.normal, xAxis);
    axes.scale.set(reflected ? -l0 : l0, l1, l2);
    return true;
}

AcGeMatrix3d composeTransform(const AcGePoint3d& worldPosition, const AcGeVector3d& normal,
                              double rotation, const AcGeScale3d& scale,
                              const AcGePoint3d& origin) {
    return AcGeMatrix3d::translation(worldPosition.asVector()) *
           AcGeMatrix3d::planeToWorld(normal) *
           AcGeMatrix3d::rotation(rotation, AcGeVector3d::kZAxis) * AcGeMatrix3d(scale) *
           AcGeMatrix3d::translation(-origin.asVector());
}

bool validScale(const AcGeScale3d& scale) {
    for (unsigned i = 0; i < 3; ++i) {
        if (!std::isfinite(scale[i]) || scale[i] == 0.0) {
            return false;
        }
    }
    return true;
}

// Extents of a curve's pieces seen through xform; false when a piece is unbounded.
bool curveExtentsUnder(const AcDbCurve& curve, const AcGeMatrix3d& xform, AcDbExtents& extents) {
    std::vector<host::CurvePiece> pieces;
    if (!curve.getCurvePieces(pieces, false) || pieces.empty()) {
        return false;
    }
    AcDbExtents box;
    for (const host::CurvePiece& piece : pieces) {
        if (piece.kind == host::CurvePiece::Kind::kLine) {
            if (!std::isfinite(piece.start) || !std::isfinite(piece.end)) {
                return false;
            }
            box.addPoint(xform * (piece.origin + piece.u * piece.start));
            box.addPoint(xform * (piece.origin + piece.u * piece.end));
        } else {
            host::addConicArcExtents(box, xform * piece.origin, xform * piece.u, xform * piece.v,
                                     piece.start, piece.end - piece.start);
        }
    }
    extents = box;
    return true;
}

Acad::ErrorStatus referenceExtents(const AcDbBlockReference& reference, const AcGeMatrix3d& xform,
                                   int depth, AcDbExtents& extents);

// Adds the extents of the entities of a block definition seen through xform.
Acad::ErrorStatus blockExtents(AcDbObjectId blockId, const AcGeMatrix3d& xform, int depth,
                               AcDbExtents& extents) {
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(record, blockId, AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbBlockTableRecordIterator* raw = nullptr;
    record->newIterator(raw);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    record->close();
    for (; status == Acad::eOk && !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        status = it->getEntity(entity, AcDb::kForRead);
        if (status != Acad::eOk) {
            break;
        }
        if (AcDbAttributeDefinition::cast(entity) == nullptr) {
            AcDbExtents box;
            status = host::extentsUnder(*entity, xform, depth, box);
            if (status == Acad::eOk) {
                extents.addExt(box);
            } else if (status == Acad::eInvalidExtents) {
                status = Acad::eOk;
            }
        }
        entity->close();
    }
    return status;
}

Acad::ErrorStatus referenceExtents(const AcDbBlockReference& reference, const AcGeMatrix3d& xform,
                                   int depth, AcDbExtents& extents) {
    if (depth >= kMaxNesting) {
        return Acad::eSelfReference;
    }
    AcDbExtents box;
    Acad::ErrorStatus status = Acad::eOk;
    if (!reference.blockTableRecord().isNull()) {
        status = blockExtents(reference.blockTableRecord(), xform * reference.blockTransform(),
                              depth + 1, box);
    }
    std::unique_ptr<AcDbObjectIterator> it(reference.attributeIterator());
    for (; status == Acad::eOk && !it->done(); it->step()) {
        AcDbExtents attributeBox;
        if (AcDbEntity* kept = it->entity()) {
            status = host::extentsUnder(*kept, xform, depth, attributeBox);
        } else {
            AcDbAttribute* attribute = nullptr;
            status = reference.openAttribute(attribute, it->objectId(), AcDb::kForRead);
            if (status == Acad::eOk) {
                status = host::extentsUnder(*attribute, xform, depth, attributeBox);
                attribute->close();
            }
        }
        box.addExt(attributeBox);
    }
    if (status == Acad::eOk && box.isEmpty()) {
        status = Acad::eInvalidExtents;
    }
    if (status == Acad::eOk) {
        extents = box;
    }
    return status;
}

}  // namespace

namespace host {

Acad::ErrorStatus extentsUnder(const AcDbEntity& entity, const AcGeMatrix3d& xform, int depth,
                               AcDbExtents& extents) {
    // Kinds derived from block references (tables) draw no block: they measure themselves.
    if (entity.isA() == AcDbBlockReference::desc()) {
        return referenceExtents(static_cast<const AcDbBlockReference&>(entity), xform, depth,
                                extents);
    }
    if (xform == AcGeMatrix3d::kIdentity) {
        return entity.getGeomExtents(extents);
    }
    AcDbEntity* copy = nullptr;
    if (entity.getTransformedCopy(xform, copy) == Acad::eOk) {
        const std::unique_ptr<AcDbEntity> owned(copy);
        return copy->getGeomExtents(extents);
    }
    const AcDbCurve* curve = AcDbCurve::cast(&entity);
    if (curve != nullptr && curveExtentsUnder(*curve, xform, extents)) {
        return Acad::eOk;
    }
    AcDbExtents box;
    const Acad::ErrorStatus status = entity.getGeomExtents(box);
    if (status == Acad::eOk) {
        box.transformBy(xform);
        extents = box;
    }
    return status;
}

}  // namespace host

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord)
    : m_block(blockTableRecord), m_position(position) {}

AcDbObjectId AcDbBlockReference::blockTableRecord() const {
    return host::readField(this, m_block);
}

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId id) {
    const AcRxClass* kind = id.objectClass();
    if (!id.isNull() && (kind == nullptr || !kind->isDerivedFrom(AcDbBlockTableRecord::desc()))) {
        return Acad::eNotThatKindOfClass;
    }
    return host::writeField(this, m_block, id);
}

AcGePoint3d AcDbBlockReference::position() const {
    assertReadEnabled();
    return host::ocsToWorld(m_normal, m_position);
}

Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& position) {
    return host::writeField(this, m_position, host::worldToOcs(m_normal, position));
}

AcGeScale3d AcDbBlockReference::scaleFactors() const {
    return host::readField(this, m_scale);
}

Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeScale3d& scale) {
    return validScale(scale) ? host::writeField(this, m_scale, scale) : Acad::eInvalidInput;
}

double AcDbBlockReference::rotation() const {
    return host::readField(this, m_rotation);
}

Acad::ErrorStatus AcDbBlockReference::setRotation(double angle) {
    return std::isfinite(angle) ? host::writeField(this, m_rotation, normalizeAngle(angle))
                                : Acad::eInvalidInput;
}

AcGeVector3d AcDbBlockReference::normal() const {
    return host::readField(this, m_normal);
}

Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::unitNormal(normal, unit);
    }
    if (status == Acad::eOk) {
        const AcGePoint3d world = host::ocsToWorld(m_normal, m_position);
        m_normal = unit;
        m_position = host::worldToOcs(unit, world);
    }
    return status;
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
    assertReadEnabled();
    return composeTransform(host::ocsToWorld(m_normal, m_position), m_normal, m_rotation, m_scale,
                            blockOrigin(m_block));
}

Acad::ErrorStatus AcDbBlockReference::setBlockTransform(const AcGeMatrix3d& xform) {
    const Acad::ErrorStatus status = requireWrite();
    return status == Acad::eOk ? applyTransform(xform) : status;
}

Acad::ErrorStatus AcDbBlockReference::applyTransform(const AcGeMatrix3d& blockTransform) {
    BlockAxes axes;
    if (!host::isRegularTransform(blockTransform) || !decompose(blockTransform, axes)) {
        return Acad::eCannotScaleNonUniformly;
    }
    const AcGePoint3d world = blockTransform * blockOrigin(m_block);
    m_normal = axes.normal;
    m_rotation = normalizeAngle(axes.rotation);
    m_scale = axes.scale;
    m_position = host::worldToOcs(m_normal, world);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbAttribute* attribute) {
    AcDbObjectId id;
    return host::OwnedEntities::closeAppended(appendAttribute(id, attribute), id, attribute);
}

Acad::ErrorStatus AcDbBlockReference::appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute) {
    Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    status = m_attributes.appendWithProperties(this, attribute, id);
    if (status == Acad::eOk) {
        m_attributes.ensureSequenceEnd(this);
    }
    return status;
}

AcDbObjectIterator* AcDbBlockReference::attributeIterator() const {
    assertReadEnabled();
    return m_attributes.newIterator();
}

Acad::ErrorStatus AcDbBlockReference::openAttribute(AcDbAttribute*& attribute, AcDbObjectId id,
                                                    AcDb::OpenMode mode, bool openErased) const {
    assertReadEnabled();
    return m_attributes.open(attribute, id, mode, openErased);
}

Acad::ErrorStatus AcDbBlockReference::openSequenceEnd(AcDbSequenceEnd*& end,
                                                      AcDb::OpenMode mode) const {
    assertReadEnabled();
    return m_attributes.openSequenceEnd(end, mode);
}

Acad::ErrorStatus AcDbBlockReference::geomExtentsBestFit(AcDbExtents& extents,
                                                         const AcGeMatrix3d& parentXform) const {
    assertReadEnabled();
    return referenceExtents(*this, parentXform, 0, extents);
}

Acad::ErrorStatus AcDbBlockReference::getGeomExtents(AcDbExtents& extents) const {
    return geomExtentsBestFit(extents);
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& xform) {
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk && !host::isRegularTransform(xform)) {
        status = Acad::eDegenerateGeometry;
    }
    BlockAxes axes;
    const AcGeMatrix3d moved = xform * blockTransform();
    if (status == Acad::eOk && !decompose(moved, axes)) {
        status = Acad::eCannotScaleNonUniformly;
    }
    // Every attribute must take the transform before anything changes.
    bool attributesTakeIt = true;
    if (status == Acad::eOk) {
        status = m_attributes.forEach(AcDb::kForRead, [&](const AcDbEntity& attribute) {
            host::PlanarTransform planar;
            const AcDbText* text = AcDbText::cast(&attribute);
            if (text != nullptr &&
                (host::analysePlanar(xform, text->normal(), planar) != Acad::eOk ||
                 !planar.conformal)) {
                attributesTakeIt = false;
            }
        });
    }
    if (status == Acad::eOk && !attributesTakeIt) {
        status = Acad::eCannotScaleNonUniformly;
    }
    if (status == Acad::eOk) {
        status = m_attributes.forEach(AcDb::kForWrite,
                                      [&](AcDbEntity& attribute) { attribute.transformBy(xform); });
    }
    return status == Acad::eOk ? applyTransform(moved) : status;
}

Acad::ErrorStatus AcDbBlockReference::getStretchPoints(AcGePoint3dArray& points) const {
    points.append(position());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::moveStretchPointsAt(const AcDbIntArray& indices,
                                                          const AcGeVector3d& offset) {
    for (int i = 0; i < indices.length(); ++i) {
        if (indices[i] != 0) {
            return Acad::eInvalidIndex;
        }
    }
    return indices.length() == 0 ? requireWrite() : transformBy(AcGeMatrix3d::translation(offset));
}

Acad::ErrorStatus AcDbBlockReference::explode(AcDbVoidPtrArray& entitySet) const {
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(record, blockTableRecord(), AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbBlockTableRecordIterator* raw = nullptr;
    record->newIterator(raw);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    record->close();
    const AcGeMatrix3d xform = blockTransform();
    AcDbVoidPtrArray made;
    for (; status == Acad::eOk && !it->done(); it->step()) {
        AcDbEntity* entity = nullptr;
        status = it->getEntity(entity, AcDb::kForRead);
        if (status != Acad::eOk) {
            break;
        }
        if (AcDbAttributeDefinition::cast(entity) == nullptr) {
            AcDbEntity* copy = nullptr;
            status = entity->getTransformedCopy(xform, copy);
            if (status == Acad::eOk) {
                made.append(copy);
            }
        }
        entity->close();
    }
    if (status != Acad::eOk) {
        for (int i = 0; i < made.length(); ++i) {
            delete static_cast<AcDbEntity*>(made[i]);
        }
        return status;
    }
    entitySet.append(made);
    return Acad::eOk;
}

AcRxObject* AcDbBlockReference::clone() const {
    std::unique_ptr<AcDbBlockReference> copy(AcDbBlockReference::cast(AcDbEntity::clone()));
    if (copy == nullptr || m_attributes.cloneInto(copy->m_attributes) != Acad::eOk) {
        return nullptr;
    }
    return copy.release();
}

Acad::ErrorStatus AcDbBlockReference::subErase(bool erasing) {
    const Acad::ErrorStatus status = AcDbEntity::subErase(erasing);
    return status == Acad::eOk ? m_attributes.erase(erasing) : status;
}

void AcDbBlockReference::subAddedToDatabase() {
    AcDbEntity::subAddedToDatabase();
    if (!m_attributes.empty()) {
        m_attributes.ownerAdded(this);
    }
}

Acad::ErrorStatus AcDbBlockReference::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = host::dwgOutEntity<AcDbEntity>(*this, filer);
    return status == Acad::eOk ? m_attributes.dwgOut(filer) : status;
}

Acad::ErrorStatus AcDbBlockReference::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = host::dwgInEntity<AcDbEntity>(*this, filer);
    return status == Acad::eOk ? m_attributes.dwgIn(filer) : status;
}

Acad::ErrorStatus AcDbBlockReference::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    if (!m_attributes.empty()) {
        filer->writeInt16(66, 1);
    }
    host::DxfFieldWriter writer(filer);
    visitFields(*this, writer);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockReference::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfInNamedSubclass(filer, kSubclass, *this, this, 2,
                                          &AcDbDatabase::blockTableId, L"block", m_block);
    }
    if (status == Acad::eOk && !validScale(m_scale)) {
        status = filer->setError(Acad::eDxfReadFailed, L"AcDbBlockReference: zero scale factor");
    }
    if (status == Acad::eOk) {
        status = host::checkDxfNormal(filer, kSubclass, m_normal);
    }
    return status;
}
