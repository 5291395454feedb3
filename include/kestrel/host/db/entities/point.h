// AcDbPoint: a point entity at a world position, with an optional thickness along its extrusion
// direction and the angle of its display axes. Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/extrusion.h"
#include "kestrel/host/db/entity.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Every regular affine transform applies; the position is transformed, the normal follows the
//   transform's plane rule (host::PlanarTransform), the axis angle turns with it.
// - Extents: the position (and its extrusion when the thickness is not 0).
// - Stretch points: the position.
// - DXF: 100 "AcDbPoint", 10 position, 39 thickness, 210 extrusion direction, 50 angle of the
//   X axis.
class DRAWHOST_API AcDbPoint : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbPoint);
    AcDbPoint() = default;
    explicit AcDbPoint(const AcGePoint3d& position) : m_position(position) {}
    ~AcDbPoint() override = default;

    AcGePoint3d position() const;
    Acad::ErrorStatus setPosition(const AcGePoint3d& position);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double ecsRotation() const;
    Acad::ErrorStatus setEcsRotation(double rotation);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        host::ExtrusionFields extrusion(self.m_extrusion);
        v.point3d(10, self.m_position);
        v.real(39, extrusion.thickness);
        v.vector3d(210, extrusion.normal);
        v.angle(50, self.m_rotation);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    AcGePoint3d m_position;
    double m_rotation = 0.0;
    host::Extrusion m_extrusion;
};
