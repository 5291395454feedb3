// AcDbSolid: a filled three- or four-sided area (SOLID) in its object coordinate system, with
// an optional thickness. Corners are taken and given in world coordinates; setters need write.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Corners are kept in OCS coordinates (as DXF files them); getPointAt/setPointAt convert.
//   The three-corner constructor repeats the third corner as the fourth; the stretch points
//   follow AcDbFace's rule.
// - An index above 3 gives eInvalidIndex (point unchanged).
// - Every regular affine transform applies (straight edges stay straight); the normal follows
//   the transform's plane rule (host::PlanarTransform).
// - DXF: 100 "AcDbTrace", 10, 11, 12, 13 corners (OCS), 39 thickness, 210 normal.
class DRAWHOST_API AcDbSolid : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbSolid);
    AcDbSolid() = default;
    AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
              const AcGePoint3d& pt3);
    AcDbSolid(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2);
    ~AcDbSolid() override = default;

    Acad::ErrorStatus getPointAt(Adesk::UInt16 index, AcGePoint3d& point) const;
    Acad::ErrorStatus setPointAt(Adesk::UInt16 index, const AcGePoint3d& point);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the corners keep their world positions.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(10, self.m_corners[0]);
        v.point3d(11, self.m_corners[1]);
        v.point3d(12, self.m_corners[2]);
        v.point3d(13, self.m_corners[3]);
        v.real(39, self.m_thickness);
        v.vector3d(210, self.m_normal);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    void worldCorners(AcGePoint3d (&corners)[4]) const;
    void setWorldCorners(const AcGePoint3d (&corners)[4]);

    AcGePoint3d m_corners[4];  // OCS
    double m_thickness = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
};
