// AcDb3dPolyline: a polyline in space whose vertices are AcDb3dPolylineVertex entities it owns
// (world points joined by straight segments), closed by a sequence end in drawing files.
// Setters need write (eNotOpenForWrite otherwise); vertices are opened and closed by callers.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/db/entities/sequence_end.h"
#include "kestrel/host/db/entities/vertex.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Vertices are kept and added to the database as for AcDb2dPolyline; spline control vertices
//   are skipped by the geometry, and spline fitting is not computed.
// - Every regular affine transform applies (the vertices are transformed).
// - Stretch points: the drawn vertices. explode gives lines.
// - DXF: 100 "AcDb3dPolyline", 66 1, 10 (0, 0, 0), 70 flags (8 always: a 3D polyline; 1 closed,
//   4 spline fit), 75 curve type (0, 5 quadratic, 6 cubic).
class DRAWHOST_API AcDb3dPolyline : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDb3dPolyline);
    AcDb3dPolyline() = default;
    AcDb3dPolyline(AcDb::Poly3dType type, const AcGePoint3dArray& vertices,
                   Adesk::Boolean closed = false);
    ~AcDb3dPolyline() override = default;

    AcDb::Poly3dType polyType() const;
    // eInvalidInput for a value outside the enumeration.
    Acad::ErrorStatus setPolyType(AcDb::Poly3dType type);
    Acad::ErrorStatus makeClosed();
    Acad::ErrorStatus makeOpen();

    // Appends vertex, which the polyline then owns (see AcDb2dPolyline).
    Acad::ErrorStatus appendVertex(AcDb3dPolylineVertex* vertex);
    Acad::ErrorStatus appendVertex(AcDbObjectId& id, AcDb3dPolylineVertex* vertex);
    // A new iterator over the vertices, owned by the caller.
    AcDbObjectIterator* vertexIterator() const;
    // Opens one of this polyline's vertices (eInvalidInput for another object).
    Acad::ErrorStatus openVertex(AcDb3dPolylineVertex*& vertex, AcDbObjectId id,
                                 AcDb::OpenMode mode, bool openErased = false) const;
    // Opens the sequence end; eNullObjectId while the polyline is not in a database.
    Acad::ErrorStatus openSequenceEnd(AcDbSequenceEnd*& end, AcDb::OpenMode mode) const;

    bool isClosed() const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    bool getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const override;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;
    Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const override;
    AcRxObject* clone() const override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.int16(70, self.m_flags);
        v.int16(75, self.m_curveType);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    Acad::ErrorStatus subErase(bool erasing) override;
    void subAddedToDatabase() override;

private:
    static constexpr Adesk::Int16 k3dFlag = 8;

    // The drawn vertices' positions; the status of a vertex that does not open.
    Acad::ErrorStatus gatherPoints(std::vector<AcGePoint3d>& points) const;
    Acad::ErrorStatus setFlag(Adesk::Int16 bit, bool on);

    Adesk::Int16 m_flags = k3dFlag;
    Adesk::Int16 m_curveType = 0;
    host::OwnedEntities m_vertices;
};
