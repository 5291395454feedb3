// Host internals the entity kinds share: guarded field access, object coordinate systems (OCS),
// how a transform acts on a planar entity, exact extents of conic arcs, the four filings built
// from a class's field list, and symbol-record names for DXF groups that name records.
// Not for callers of the host.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/entity_enums.h"
#include "kestrel/host/db/field_filer.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/ge/extents.h"
#include "kestrel/host/ge/matrix3d.h"

namespace host {

// --- Fields ---------------------------------------------------------------------------------

// A field's value under the object's read assertion.
template <class T>
const T& readField(const AcDbObject* object, const T& field) {
    object->assertReadEnabled();
    return field;
}

// Sets a field after requireWrite; eNotOpenForWrite leaves it unchanged.
template <class T, class U>
Acad::ErrorStatus writeField(AcDbObject* object, T& field, const U& value) {
    const Acad::ErrorStatus status = object->requireWrite();
    if (status == Acad::eOk) {
        field = static_cast<T>(value);
    }
    return status;
}

// Moves stretch points: every index must lie in [0, count) (eInvalidIndex, nothing moved), then
// requireWrite, then move(i) once per distinct index.
template <class Move>
Acad::ErrorStatus moveStretchPoints(AcDbObject* object, const AcDbIntArray& indices, int count,
                                    Move move) {
    std::vector<bool> chosen(static_cast<std::size_t>(count), false);
    for (int i = 0; i < indices.length(); ++i) {
        if (indices[i] < 0 || indices[i] >= count) {
            return Acad::eInvalidIndex;
        }
        chosen[static_cast<std::size_t>(indices[i])] = true;
    }
    const Acad::ErrorStatus status = object->requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    for (int i = 0; i < count; ++i) {
        if (chosen[static_cast<std::size_t>(i)]) {
            move(i);
        }
    }
    return Acad::eOk;
}

// Faces and solids: a quadrilateral whose fourth corner equals its third is the three-corner
// form, which has three stretch points; moving the third also moves the fourth.
DRAWHOST_API int cornerStretchCount(const AcGePoint3d (&corners)[4]);
DRAWHOST_API Acad::ErrorStatus moveCornerStretchPoints(AcDbObject* object,
                                                       AcGePoint3d (&corners)[4],
                                                       const AcDbIntArray& indices,
                                                       const AcGeVector3d& offset);
DRAWHOST_API void appendCornerStretchPoints(const AcGePoint3d (&corners)[4],
                                            AcGePoint3dArray& points);

// --- Object coordinate systems -----------------------------------------------------------------

// The OCS axes of a normal by the arbitrary-axis rule: x, y and the unit normal z.
struct DRAWHOST_API OcsAxes {
    AcGeVector3d x;
    AcGeVector3d y;
    AcGeVector3d z;
};
DRAWHOST_API OcsAxes ocsAxes(const AcGeVector3d& normal);
DRAWHOST_API AcGePoint3d ocsToWorld(const AcGeVector3d& normal, const AcGePoint3d& ocsPoint);
DRAWHOST_API AcGePoint3d worldToOcs(const AcGeVector3d& normal, const AcGePoint3d& worldPoint);
// The world direction of an angle measured in the OCS plane from its x axis.
DRAWHOST_API AcGeVector3d ocsDirection(const AcGeVector3d& normal, double angle);
// The angle of a world direction projected into the OCS plane, in [0, 2 pi).
DRAWHOST_API double ocsAngle(const AcGeVector3d& normal, const AcGeVector3d& direction);
// The unit normal, or eInvalidInput (out unchanged) for a zero or non-finite vector.
DRAWHOST_API Acad::ErrorStatus unitNormal(const AcGeVector3d& normal, AcGeVector3d& out);

// --- Transforms ---------------------------------------------------------------------------------

// True when m is affine (last row 0 0 0 1) and its linear part is not singular.
DRAWHOST_API bool isRegularTransform(const AcGeMatrix3d& m);

// How an affine transform acts on the plane of an OCS entity. The new normal is the transformed
// plane's normal, oriented as M^-T n, so a reflection in a plane containing the normal keeps it
// and reverses the turning sense in the plane instead.
struct DRAWHOST_API PlanarTransform {
    AcGeVector3d normal;       // the new unit normal
    bool conformal = false;    // the plane is scaled alike in every direction (angles kept)
    bool mirrored = false;     // turning sense reversed, seen along the new normal
    double scale = 1.0;        // in-plane scale of a conformal transform
    double rotation = 0.0;     // new OCS angle of the image of the old OCS x axis
    double normalStretch = 1;  // how a length along the old normal scales (thickness)
    AcGeMatrix3d ocsToOcs;     // old OCS coordinates to new OCS coordinates

    // The new OCS angle of a direction at old OCS angle a (conformal transforms).
    double mapAngle(double a) const { return mirrored ? rotation - a : rotation + a; }
};
// eDegenerateGeometry for a singular or non-affine m or a zero normal; out unchanged then.
DRAWHOST_API Acad::ErrorStatus analysePlanar(const AcGeMatrix3d& m, const AcGeVector3d& normal,
                                             PlanarTransform& out);

// --- Extents and angles
// ---------------------------------------------------------------------------

// True when angle lies in the sweep from start (counter-clockwise, sweep in [0, 2 pi]), with a
// small tolerance at both ends.
DRAWHOST_API bool angleInSweep(double angle, double start, double sweep);
// The counter-clockwise sweep from start to end in [0, 2 pi); equal angles sweep nothing.
DRAWHOST_API double sweepAngle(double start, double end);
// Adds the exact box of the conic arc center + cos t u + sin t v, t from t0 over sweep: its ends
// and every axis extreme inside the sweep.
DRAWHOST_API void addConicArcExtents(AcDbExtents& extents, const AcGePoint3d& center,
                                     const AcGeVector3d& u, const AcGeVector3d& v, double t0,
                                     double sweep);
// The point of the conic at parameter t.
DRAWHOST_API AcGePoint3d conicPoint(const AcGePoint3d& center, const AcGeVector3d& u,
                                    const AcGeVector3d& v, double t);
// Adds thickness along normal to every point of a box (an extruded outline).
DRAWHOST_API void addExtrusion(AcDbExtents& extents, const AcGeVector3d& normal, double thickness);

// --- Filing -----------------------------------------------------------------------------------

// The four filings of a class: Base's part first, then Self::visitFields (DXF: under marker).
template <class Base, class Self>
Acad::ErrorStatus dwgOutEntity(const Self& self, AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = self.Base::dwgOutFields(filer);
    return status == Acad::eOk ? dwgOutFieldList(filer, self) : status;
}
template <class Base, class Self>
Acad::ErrorStatus dwgInEntity(Self& self, AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = self.Base::dwgInFields(filer);
    return status == Acad::eOk ? dwgInFieldList(filer, self) : status;
}
template <class Base, class Self>
Acad::ErrorStatus dxfOutEntity(const Self& self, AcDbDxfFiler* filer, const wchar_t* marker) {
    const Acad::ErrorStatus status = self.Base::dxfOutFields(filer);
    return status == Acad::eOk ? dxfOutSubclass(filer, marker, self) : status;
}
template <class Base, class Self>
Acad::ErrorStatus dxfInEntity(Self& self, AcDbDxfFiler* filer, const wchar_t* marker) {
    const Acad::ErrorStatus status = self.Base::dxfInFields(filer);
    return status == Acad::eOk ? dxfInSubclass(filer, marker, self) : status;
}

// Reads a normal from DXF: a zero vector is refused with a message naming the class.
DRAWHOST_API Acad::ErrorStatus checkDxfNormal(AcDbDxfFiler* filer, const wchar_t* className,
                                              AcGeVector3d& normal);

// --- Symbol records -----------------------------------------------------------------------------

// The name of the symbol-table record id, read without opening it; empty for a null id or an
// object that is not a record.
DRAWHOST_API std::wstring recordName(AcDbObjectId id);
// The live record called name in the table tableId of db; null when there is none.
DRAWHOST_API AcDbObjectId findRecord(AcDbDatabase* db, AcDbObjectId tableId,
                                     const std::wstring& name);
// The database a DXF filer resolves names in: the filer's, else the object's.
DRAWHOST_API AcDbDatabase* nameDatabase(AcDbDxfFiler* filer, const AcDbObject* object);
// The id of one of a database's symbol tables.
using TableIdOf = AcDbObjectId (AcDbDatabase::*)() const;
// Resolves a record name read from DXF into id: an empty name gives the null id; eNoDatabase or
// eKeyNotFound (with a message naming what) when it cannot be found, id unchanged then.
DRAWHOST_API Acad::ErrorStatus resolveRecordName(AcDbDxfFiler* filer, const AcDbObject* object,
                                                 TableIdOf table, const std::wstring& name,
                                                 const wchar_t* what, AcDbObjectId& id);

// A field list's reference to a symbol record: binary filing files the id, DXF the record's
// name (left out while the id is null). DXF reading leaves the group to dxfInNamedSubclass.
inline void recordRef(DwgFieldWriter& v, int code, const AcDbObjectId& id) {
    v.id(code, id, RefKind::kHardPointer);
}
inline void recordRef(DwgFieldReader& v, int code, AcDbObjectId& id) {
    v.id(code, id, RefKind::kHardPointer);
}
inline void recordRef(DxfFieldWriter& v, int code, const AcDbObjectId& id) {
    const std::wstring name = recordName(id);
    if (!name.empty()) {
        v.text(code, name);
    }
}
inline void recordRef(DxfFieldReader&, int, const AcDbObjectId&) {}

// Reads one subclass whose field list holds a recordRef under nameCode: the name read is
// looked up in the table (resolveRecordName) and stored in id; id is unchanged when the group
// is absent.
template <class Self>
Acad::ErrorStatus dxfInNamedSubclass(AcDbDxfFiler* filer, const wchar_t* marker, Self& self,
                                     const AcDbObject* object, int nameCode, TableIdOf table,
                                     const wchar_t* what, AcDbObjectId& id) {
    std::wstring name;
    bool named = false;
    Acad::ErrorStatus status = dxfInSubclass(filer, marker, self, [&](const DxfItem& item) {
        if (item.code != nameCode) {
            return false;
        }
        name = item.text();
        named = true;
        return true;
    });
    if (status == Acad::eOk && named) {
        status = resolveRecordName(filer, object, table, name, what, id);
    }
    return status;
}

}  // namespace host
