// AcDbRay: a half-infinite line from a base point along a unit direction. Setters need write.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - setUnitDir refuses a vector that is not of unit length (within 1e-9) with eInvalidInput;
//   the default direction is the X axis.
// - A ray has no end point (getEndPoint: eNotApplicable) and no finite extents
//   (getGeomExtents: eInvalidExtents).
// - Every regular affine transform applies; the direction is normalised after transforming.
// - Stretch points: the base point (moving it moves the ray).
// - Extended (intersectWith), a ray is the whole infinite line.
// - DXF: 100 "AcDbRay", 10 base point, 11 unit direction.
class DRAWHOST_API AcDbRay : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbRay);
    AcDbRay() = default;
    ~AcDbRay() override = default;

    AcGePoint3d basePoint() const;
    Acad::ErrorStatus setBasePoint(const AcGePoint3d& point);
    AcGeVector3d unitDir() const;
    Acad::ErrorStatus setUnitDir(const AcGeVector3d& direction);
    // The point one unit from the base along the direction.
    AcGePoint3d secondPoint() const;
    // Sets the direction towards point; eInvalidInput when it is the base point.
    Acad::ErrorStatus setSecondPoint(const AcGePoint3d& point);

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
        v.point3d(10, self.m_base);
        v.vector3d(11, self.m_direction);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    AcGePoint3d m_base;
    AcGeVector3d m_direction = AcGeVector3d::kXAxis;
};
