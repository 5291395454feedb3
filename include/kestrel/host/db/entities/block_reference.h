// AcDbBlockReference: an insertion of a block definition (a block table record) at a position,
// turned, scaled and placed in the plane of a normal, owning the attributes made for it.
// Setters need write (eNotOpenForWrite otherwise); attributes are opened and closed by callers.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/db/entities/sequence_end.h"
#include "kestrel/host/ge/scale3d.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - blockTransform() = translation to the position, then the OCS of the normal, the rotation
//   about it, the scale factors, and the move of the block's origin to the insertion point.
// - Transforms: the new block transform must still be a rotation with scale factors per axis
//   (any mix of moves, rotations, reflections and scalings along the block's axes). A
//   reflection becomes a negative X scale. Otherwise eCannotScaleNonUniformly. The attributes
//   are transformed with the reference, so a reference with attributes takes only transforms
//   that texts take; all attributes must open for write or nothing changes.
// - Extents (getGeomExtents = geomExtentsBestFit with the identity): the block's entities
//   through the block transform, exactly for curves even under non-uniform scaling; an entity
//   that can be neither transformed nor split into curve pieces adds its own box transformed.
//   Attribute definitions of the block are not counted; the reference's attributes are. Nested
//   references are followed to a depth of 64 (eSelfReference beyond). A block without any
//   extents gives eInvalidExtents.
// - Stretch points: the position; moving it moves the reference with its attributes.
// - explode: copies of the block's entities (attribute definitions excepted) through the block
//   transform; eCannotScaleNonUniformly when one of them cannot take it.
// - setBlockTableRecord refuses an object that is not a block table record
//   (eNotThatKindOfClass).
// - Attributes and the sequence end are kept and added to the database as the vertices of
//   AcDb2dPolyline are; an attribute without a layer takes the reference's properties.
// - DXF: 100 "AcDbBlockReference", 66 1 (only when attributes follow), 2 block name,
//   10 position (OCS), 41, 42, 43 scale factors, 50 rotation, 210 normal.
class DRAWHOST_API AcDbBlockReference : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbBlockReference);
    AcDbBlockReference() = default;
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockTableRecord);
    ~AcDbBlockReference() override = default;

    AcDbObjectId blockTableRecord() const;
    Acad::ErrorStatus setBlockTableRecord(AcDbObjectId id);
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    AcGeScale3d scaleFactors() const;
    // eInvalidInput for a zero or non-finite factor.
    Acad::ErrorStatus setScaleFactors(const AcGeScale3d& scale);
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the position keeps its world place.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    // See the class comment.
    AcGeMatrix3d blockTransform() const;
    // Sets position, normal, rotation and scale from a transform of the kind the class comment
    // names (eCannotScaleNonUniformly otherwise, nothing changed).
    Acad::ErrorStatus setBlockTransform(const AcGeMatrix3d& xform);

    // Appends attribute, which the reference then owns (see the class comment).
    Acad::ErrorStatus appendAttribute(AcDbAttribute* attribute);
    Acad::ErrorStatus appendAttribute(AcDbObjectId& id, AcDbAttribute* attribute);
    // A new iterator over the attributes, owned by the caller.
    AcDbObjectIterator* attributeIterator() const;
    // Opens one of this reference's attributes (eInvalidInput for another object).
    Acad::ErrorStatus openAttribute(AcDbAttribute*& attribute, AcDbObjectId id, AcDb::OpenMode mode,
                                    bool openErased = false) const;
    // Opens the sequence end; eNullObjectId while the reference has none (no attributes yet).
    Acad::ErrorStatus openSequenceEnd(AcDbSequenceEnd*& end, AcDb::OpenMode mode) const;

    // The extents of the reference seen through parentXform (see the class comment).
    Acad::ErrorStatus geomExtentsBestFit(
        AcDbExtents& extents, const AcGeMatrix3d& parentXform = AcGeMatrix3d::kIdentity) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
    AcRxObject* clone() const override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        host::recordRef(v, 2, self.m_block);
        v.point3d(10, self.m_position);
        v.real(41, self.m_scale.sx);
        v.real(42, self.m_scale.sy);
        v.real(43, self.m_scale.sz);
        v.angle(50, self.m_rotation);
        v.vector3d(210, self.m_normal);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    Acad::ErrorStatus subErase(bool erasing) override;
    void subAddedToDatabase() override;

private:
    // Applies a decomposed transform to the reference's own fields.
    Acad::ErrorStatus applyTransform(const AcGeMatrix3d& blockTransform);

    AcDbObjectId m_block;
    AcGePoint3d m_position;  // OCS
    AcGeScale3d m_scale;
    double m_rotation = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    host::OwnedEntities m_attributes;
};

namespace host {

// The extents of entity seen through xform: see AcDbBlockReference's class comment. depth
// counts the references entered so far.
DRAWHOST_API Acad::ErrorStatus extentsUnder(const AcDbEntity& entity, const AcGeMatrix3d& xform,
                                            int depth, AcDbExtents& extents);

}  // namespace host
