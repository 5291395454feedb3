// AcDbFace: a three- or four-sided face in space (3DFACE) with a visibility flag per edge.
// Setters need write (eNotOpenForWrite otherwise); corner and edge indices run from 0 to 3.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - The three-corner constructor repeats the third corner as the fourth. A face whose fourth
//   corner equals its third has three stretch points (moving the third moves both); otherwise
//   the four corners are its stretch points.
// - An index above 3 gives eInvalidIndex (point or flag unchanged).
// - Every regular affine transform applies (corners are world points).
// - DXF: 100 "AcDbFace", 10, 11, 12, 13 corners, 70 invisible-edge flags (1, 2, 4, 8 for edges
//   0 to 3).
class DRAWHOST_API AcDbFace : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbFace);
    AcDbFace() = default;
    AcDbFace(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
             const AcGePoint3d& pt3, Adesk::Boolean e0vis = true, Adesk::Boolean e1vis = true,
             Adesk::Boolean e2vis = true, Adesk::Boolean e3vis = true);
    AcDbFace(const AcGePoint3d& pt0, const AcGePoint3d& pt1, const AcGePoint3d& pt2,
             Adesk::Boolean e0vis = true, Adesk::Boolean e1vis = true, Adesk::Boolean e2vis = true,
             Adesk::Boolean e3vis = true);
    ~AcDbFace() override = default;

    Acad::ErrorStatus getVertexAt(Adesk::UInt16 index, AcGePoint3d& point) const;
    Acad::ErrorStatus setVertexAt(Adesk::UInt16 index, const AcGePoint3d& point);
    Acad::ErrorStatus isEdgeVisibleAt(Adesk::UInt16 index, Adesk::Boolean& visible) const;
    Acad::ErrorStatus makeEdgeVisibleAt(Adesk::UInt16 index);
    Acad::ErrorStatus makeEdgeInvisibleAt(Adesk::UInt16 index);

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
        v.int16(70, self.m_invisibleEdges);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    Acad::ErrorStatus setEdgeVisible(Adesk::UInt16 index, bool visible);

    AcGePoint3d m_corners[4];
    Adesk::Int16 m_invisibleEdges = 0;
};
