// The vertices that 2D and 3D polylines own: AcDbVertex (their base), AcDb2dVertex (a point in
// the polyline's object coordinate system with bulge, widths and tangent) and
// AcDb3dPolylineVertex (a world point). Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/entity_support.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A vertex is moved and transformed by its polyline: transformBy on a vertex alone answers
//   eNotApplicable (so a polyline and its vertices transformed one after the other, as copies
//   from a deep clone are, move once). A 2D vertex alone has no extents (eInvalidExtents); a 3D
//   vertex's extents are its point.
// - DXF: 100 "AcDbVertex", then the kind's subclass.
class DRAWHOST_API AcDbVertex : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbVertex);
    ~AcDbVertex() override = default;

    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    AcDbVertex() = default;
};

// DXF: 100 "AcDb2dVertex", 10 position (OCS), 40 start width, 41 end width, 42 bulge, 70 flags
// (1 curve-fit vertex, 2 tangent used, 8 spline-fit vertex, 16 spline control point),
// 50 tangent, 91 identifier.
class DRAWHOST_API AcDb2dVertex : public AcDbVertex {
public:
    ACRX_DECLARE_MEMBERS(AcDb2dVertex);
    AcDb2dVertex() = default;
    AcDb2dVertex(const AcGePoint3d& position, double bulge = 0.0, double startWidth = 0.0,
                 double endWidth = 0.0, double tangent = 0.0, Adesk::Int32 vertexIdentifier = 0);
    ~AcDb2dVertex() override = default;

    static constexpr Adesk::Int16 kCurveFitFlag = 1;
    static constexpr Adesk::Int16 kTangentFlag = 2;
    static constexpr Adesk::Int16 kSplineFitFlag = 8;
    static constexpr Adesk::Int16 kSplineControlFlag = 16;

    AcDb::Vertex2dType vertexType() const;
    // The position in the polyline's OCS (its z is not used: the polyline's elevation is).
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    double startWidth() const;
    Acad::ErrorStatus setStartWidth(double width);
    double endWidth() const;
    Acad::ErrorStatus setEndWidth(double width);
    double bulge() const;
    Acad::ErrorStatus setBulge(double bulge);
    bool isTangentUsed() const;
    Acad::ErrorStatus useTangent();
    Acad::ErrorStatus ignoreTangent();
    double tangent() const;
    Acad::ErrorStatus setTangent(double tangent);
    Adesk::Int32 vertexIdentifier() const;
    Acad::ErrorStatus setVertexIdentifier(Adesk::Int32 id);

    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(10, self.m_position);
        v.real(40, self.m_startWidth);
        v.real(41, self.m_endWidth);
        v.real(42, self.m_bulge);
        v.int16(70, self.m_flags);
        v.angle(50, self.m_tangent);
        v.int32(91, self.m_identifier);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    AcGePoint3d m_position;
    double m_startWidth = 0.0;
    double m_endWidth = 0.0;
    double m_bulge = 0.0;
    Adesk::Int16 m_flags = 0;
    double m_tangent = 0.0;
    Adesk::Int32 m_identifier = 0;
};

// DXF: 100 "AcDb3dPolylineVertex", 10 position, 70 flags (32 always: a 3D polyline vertex;
// 8 spline-fit vertex, 16 spline control point).
class DRAWHOST_API AcDb3dPolylineVertex : public AcDbVertex {
public:
    ACRX_DECLARE_MEMBERS(AcDb3dPolylineVertex);
    AcDb3dPolylineVertex() = default;
    explicit AcDb3dPolylineVertex(const AcGePoint3d& position) : m_position(position) {}
    ~AcDb3dPolylineVertex() override = default;

    static constexpr Adesk::Int16 k3dVertexFlag = 32;

    AcDb::Vertex3dType vertexType() const;
    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(10, self.m_position);
        v.int16(70, self.m_flags);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    AcGePoint3d m_position;
    Adesk::Int16 m_flags = k3dVertexFlag;
};
