// AcDbLine: a straight segment between two world points, with an optional thickness along its
// extrusion direction. Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/db/entities/extrusion.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Any regular affine transform applies (the end points are transformed, the normal follows the
//   plane of the transform); a singular one is refused with eDegenerateGeometry.
// - Stretch points: start (0) and end (1).
// - DXF: 100 "AcDbLine", 39 thickness, 10 start, 11 end, 210 extrusion direction.
class DRAWHOST_API AcDbLine : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbLine);
    AcDbLine() = default;
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
    ~AcDbLine() override = default;

    AcGePoint3d startPoint() const;
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& point);
    AcGePoint3d endPoint() const;
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& point);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    bool getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const override;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        host::ExtrusionFields extrusion(self.m_extrusion);
        v.real(39, extrusion.thickness);
        v.point3d(10, self.m_start);
        v.point3d(11, self.m_end);
        v.vector3d(210, extrusion.normal);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    AcGePoint3d m_start;
    AcGePoint3d m_end;
    host::Extrusion m_extrusion;
};
