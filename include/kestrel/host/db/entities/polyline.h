// AcDbPolyline: the lightweight polyline, its vertices kept inside the entity as 2D points in its
// object coordinate system at one elevation, with bulges and widths per vertex. Setters need
// write (eNotOpenForWrite otherwise); vertex indices start at 0.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/db/entities/polyline_shape.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - addVertexAt with an index past the last vertex appends. A negative width takes the
//   polyline's constant width (0 when the widths differ).
// - An index without a vertex gives eInvalidIndex, a non-finite value eInvalidInput; nothing
//   changes then.
// - minimizeMemory and maximizeMemory change nothing (vertices are always kept compactly).
// - Extents are those of the centre line (widths are not counted), bulged segments exactly.
// - Transforms: see host::PolylineShape::checkTransform; the thickness follows the normal.
// - Stretch points: the vertices; moving one moves it in the polyline's plane.
// - An empty polyline has no extents (eInvalidExtents) and no start or end point
//   (eDegenerateGeometry).
// - explode gives lines and arcs.
// - DXF: 100 "AcDbPolyline", 90 vertex count, 70 flags (1 closed, 128 linetype generation),
//   43 constant width (only when every width is the same), 38 elevation, 39 thickness, then per
//   vertex 10 point, 40 start width, 41 end width, 42 bulge, 91 identifier; last 210 normal.
class DRAWHOST_API AcDbPolyline : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbPolyline);
    // num_verts is accepted for the SDK's shape (room to reserve).
    explicit AcDbPolyline(unsigned int num_verts = 0);
    ~AcDbPolyline() override = default;

    unsigned int numVerts() const;
    Acad::ErrorStatus addVertexAt(unsigned int index, const AcGePoint2d& point, double bulge = 0.0,
                                  double startWidth = -1.0, double endWidth = -1.0,
                                  Adesk::Int32 vertexIdentifier = 0);
    Acad::ErrorStatus removeVertexAt(unsigned int index);
    // The vertex in world coordinates (elevation applied).
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint3d& point) const;
    // The vertex in the polyline's OCS.
    Acad::ErrorStatus getPointAt(unsigned int index, AcGePoint2d& point) const;
    Acad::ErrorStatus setPointAt(unsigned int index, const AcGePoint2d& point);
    Acad::ErrorStatus getBulgeAt(unsigned int index, double& bulge) const;
    Acad::ErrorStatus setBulgeAt(unsigned int index, double bulge);
    Acad::ErrorStatus getWidthsAt(unsigned int index, double& startWidth, double& endWidth) const;
    Acad::ErrorStatus setWidthsAt(unsigned int index, double startWidth, double endWidth);
    Acad::ErrorStatus getVertexIdentifierAt(unsigned int index, Adesk::Int32& id) const;
    Acad::ErrorStatus setVertexIdentifierAt(unsigned int index, Adesk::Int32 id);
    // The width every segment has; eNotApplicable (width unchanged) when the widths differ.
    Acad::ErrorStatus getConstantWidth(double& width) const;
    Acad::ErrorStatus setConstantWidth(double width);
    double elevation() const;
    Acad::ErrorStatus setElevation(double elevation);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the vertices keep their OCS coordinates.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    Acad::ErrorStatus setClosed(bool closed);
    bool hasPlinegen() const;
    Acad::ErrorStatus setPlinegen(bool plinegen);
    bool hasBulges() const;
    bool hasWidth() const;
    bool isOnlyLines() const;
    Acad::ErrorStatus minimizeMemory();
    Acad::ErrorStatus maximizeMemory();

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

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    // The vertex at index for reading (null when there is none).
    const host::PolyVertex* vertexAt(unsigned int index) const;
    // Changes the vertex at index through change(vertex) after requireWrite.
    template <class Change>
    Acad::ErrorStatus changeVertex(unsigned int index, Change change);

    host::PolylineShape m_shape;
    double m_thickness = 0.0;
    bool m_plinegen = false;
};
