// AcDb2dPolyline: a planar polyline whose vertices are AcDb2dVertex entities it owns (in its
// object coordinate system, at its elevation), closed by a sequence end in drawing files.
// Setters need write (eNotOpenForWrite otherwise); vertices are opened and closed by callers.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/db/entities/polyline_shape.h"
#include "kestrel/host/db/entities/sequence_end.h"
#include "kestrel/host/db/entities/vertex.h"
#include "kestrel/host/ge/ge_arrays.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A polyline not in a database keeps its vertices in memory; appending it to a block adds
//   them (and its sequence end) to the database, owned by it, with its layer, linetype and
//   colour. appendVertex then adds a vertex directly and leaves it open for write.
// - The vertex list is a curve only through its drawn vertices: spline control vertices are
//   skipped by extents, intersections, stretch points and explode. Curve and spline fitting is
//   not computed: a fitted polyline is drawn through the vertices it has.
// - openVertex opens only this polyline's vertices (eInvalidInput for another object).
// - Geometry needs every vertex to open for read (for write when transforming or stretching);
//   otherwise that open's status comes back and nothing changes.
// - Transforms, extents and explode as for AcDbPolyline (host::PolylineShape).
// - Erasing the polyline erases its vertices and sequence end with it (all or nothing).
// - A copy not in a database (clone, getTransformedCopy) holds copies of the vertices.
// - DXF: 100 "AcDb2dPolyline", 66 1, 10 (0, 0, elevation), 39 thickness, 70 flags (1 closed,
//   2 curve fit, 4 spline fit, 128 linetype generation), 40 and 41 default widths, 75 curve type
//   (0, 5 quadratic, 6 cubic), 210 normal. The vertices and the sequence end are entities of
//   their own in a drawing file.
class DRAWHOST_API AcDb2dPolyline : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDb2dPolyline);
    AcDb2dPolyline() = default;
    // Vertices at the given points (x and y in the polyline's OCS); bulges and identifiers per
    // vertex when given (missing entries count as 0).
    AcDb2dPolyline(AcDb::Poly2dType type, const AcGePoint3dArray& vertices, double elevation = 0.0,
                   Adesk::Boolean closed = false, double defStartWidth = 0.0,
                   double defEndWidth = 0.0, const AcGeDoubleArray* bulges = nullptr,
                   const AcArray<Adesk::Int32>* vertexIdentifiers = nullptr);
    ~AcDb2dPolyline() override = default;

    AcDb::Poly2dType polyType() const;
    // eInvalidInput for a value outside the enumeration.
    Acad::ErrorStatus setPolyType(AcDb::Poly2dType type);
    double elevation() const;
    Acad::ErrorStatus setElevation(double elevation);
    Acad::ErrorStatus makeClosed();
    Acad::ErrorStatus makeOpen();
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; vertices keep their OCS coordinates.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    double defaultStartWidth() const;
    Acad::ErrorStatus setDefaultStartWidth(double width);
    double defaultEndWidth() const;
    Acad::ErrorStatus setDefaultEndWidth(double width);

    // Appends vertex, which the polyline then owns (see the class comment).
    Acad::ErrorStatus appendVertex(AcDb2dVertex* vertex);
    Acad::ErrorStatus appendVertex(AcDbObjectId& id, AcDb2dVertex* vertex);
    // A new iterator over the vertices, owned by the caller.
    AcDbObjectIterator* vertexIterator() const;
    Acad::ErrorStatus openVertex(AcDb2dVertex*& vertex, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false) const;
    // Opens the sequence end; eNullObjectId while the polyline is not in a database.
    Acad::ErrorStatus openSequenceEnd(AcDbSequenceEnd*& end, AcDb::OpenMode mode) const;
    // The world point of a vertex of this polyline.
    AcGePoint3d vertexPosition(const AcDb2dVertex& vertex) const;

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
        v.real(40, self.m_defaultStartWidth);
        v.real(41, self.m_defaultEndWidth);
        v.real(39, self.m_thickness);
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
    // The drawn outline: the polyline's plane and its vertices that are not spline control
    // points; the status of a vertex that does not open.
    Acad::ErrorStatus gatherShape(host::PolylineShape& shape) const;
    Acad::ErrorStatus setFlag(Adesk::Int16 bit, bool on);

    Adesk::Int16 m_flags = 0;
    Adesk::Int16 m_curveType = 0;
    double m_elevation = 0.0;
    double m_defaultStartWidth = 0.0;
    double m_defaultEndWidth = 0.0;
    double m_thickness = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    host::OwnedEntities m_vertices;
};
