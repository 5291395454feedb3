// AcDbEntity, the base of every drawable object: layer, colour, linetype, visibility and the block
// it lies in. Entity kinds derive from it and file their own data after its groups.
// Setters need write (eNotOpenForWrite otherwise) and record undo, as for every AcDbObject.
#pragma once

#include <memory>
#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/color.h"
#include "kestrel/host/db/entity_enums.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/ge/extents.h"
#include "kestrel/host/ge/matrix3d.h"
#include "kestrel/host/ge/point3d.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new entity has no layer and no linetype (null ids), colour by layer, visible.
//   setDatabaseDefaults gives it the database's current layer and the ByLayer linetype.
// - Names are looked up in the entity's database, or in the working database for an entity not
//   in one (eNoDatabase when there is none); an unknown name gives eKeyNotFound.
// - setLayer/setLinetype by id accept a live record of the right kind (eNotThatKindOfClass
//   otherwise, eWasErased for an erased one, eWrongDatabase for another database's record),
//   also while the record is open for write elsewhere: the record is not opened. By name, the
//   table is not opened either.
// - layer() and linetype() answer the record's name, or an empty text while none is set.
// - DXF: groups 8 (layer name), 6 (linetype name, left out while null), 62 (colour index, left
//   out while by layer), 420 (RGB of a true colour), 60 (1 when invisible, left out otherwise).
//   Reading a layer name the database lacks adds that layer with default properties.
// - The entity groups of drawing files that have no setter here (48 linetype scale, 370 line
//   weight, 440 transparency, 430 colour name, 284 shadows, 347/348 material and visual style,
//   380/390 plot style, 92/160/310 proxy graphics) are kept as read and written back after the
//   groups above, so that they pass through unchanged.
class DRAWHOST_API AcDbEntity : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbEntity);
    ~AcDbEntity() override;

    // The block table record that holds the entity (its owner), or null.
    AcDbObjectId blockId() const;

    AcCmColor color() const;
    virtual Acad::ErrorStatus setColor(const AcCmColor& color, bool doSubents = true);
    Adesk::UInt16 colorIndex() const;
    // eOutOfRange outside 0..257.
    virtual Acad::ErrorStatus setColorIndex(Adesk::UInt16 color, bool doSubents = true);

    std::wstring layer() const;
    AcDbObjectId layerId() const;
    virtual Acad::ErrorStatus setLayer(const ACHAR* newVal, bool doSubents = true,
                                       bool allowHiddenLayer = false);
    virtual Acad::ErrorStatus setLayer(AcDbObjectId newVal, bool doSubents = true,
                                       bool allowHiddenLayer = false);

    std::wstring linetype() const;
    AcDbObjectId linetypeId() const;
    virtual Acad::ErrorStatus setLinetype(const ACHAR* newVal, bool doSubents = true);
    virtual Acad::ErrorStatus setLinetype(AcDbObjectId newVal, bool doSubents = true);

    AcDb::Visibility visibility() const;
    virtual Acad::ErrorStatus setVisibility(AcDb::Visibility newVal, bool doSubents = true);

    // The line weight (group 370: hundredths of a millimetre, -1 by layer, -2 by block, -3 the
    // default) and the linetype scale (group 48) a drawing file gave the entity; by layer and
    // 1.0 when it gave none. Kept with the groups below, they have no setters here.
    Adesk::Int16 lineWeight() const;
    double linetypeScale() const;

    // Current layer and ByLayer linetype of db (the entity's database, or the working database,
    // when null); needs write; eNoDatabase when there is no database to take them from.
    Acad::ErrorStatus setDatabaseDefaults(AcDbDatabase* db = nullptr);

    // --- Geometry (bodies in host/db/entities/entity_geometry.cpp; each kind overrides) ------
    // The default answers below are for an entity without geometry of its own.

    // The world-aligned box around the entity; eInvalidExtents when it has none (the default).
    virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const;
    // Applies xform; needs write. An entity that cannot take xform (eCannotScaleNonUniformly,
    // eDegenerateGeometry for a singular one) stays unchanged. Default: eNotApplicable.
    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);
    // A transformed copy not in any database, owned by the caller (ent null on failure).
    virtual Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform,
                                                 AcDbEntity*& ent) const;
    // Appends the points a stretch moves (default: none, eOk).
    virtual Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& stretchPoints) const;
    // Moves the stretch points of the given indices by offset; needs write; eInvalidIndex for an
    // index the entity lacks (nothing moved). Default: eNotApplicable.
    virtual Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                                  const AcGeVector3d& offset);
    // Appends the points where this entity meets pEnt (curves: lines, rays, arcs, circles,
    // ellipses, polylines), each operand unbounded as intType says; eNotApplicable when either
    // has no curve geometry, eInvalidInput for a null pEnt.
    virtual Acad::ErrorStatus intersectWith(const AcDbEntity* pEnt, AcDb::Intersect intType,
                                            AcGePoint3dArray& points,
                                            Adesk::GsMarker thisGsMarker = 0,
                                            Adesk::GsMarker otherGsMarker = 0) const;
    // Appends simpler entities (not in any database, owned by the caller) that together draw
    // this one; eNotApplicable when it has none (the default).
    virtual Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    AcDbEntity();

private:
    struct KeptGroups;  // the groups kept as read (see above); null while there are none

    AcDbObjectId m_layerId;
    AcDbObjectId m_linetypeId;
    AcCmColor m_color;
    AcDb::Visibility m_visibility = AcDb::kVisible;
    std::unique_ptr<KeptGroups> m_kept;
};
