// AcDbCircle: a circle given by its centre, radius and normal, with an optional thickness; and
// host::CircleGeometry, the circle data that arcs share. Setters need write (eNotOpenForWrite).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/db/entity_support.h"

namespace host {

// A circle in its object coordinate system: the centre is kept in OCS coordinates (as DXF files
// it), accessors answer world coordinates. The DXF fields are those of the subclass
// "AcDbCircle": 39 thickness, 10 centre (OCS), 40 radius, 210 normal.
struct DRAWHOST_API CircleGeometry {
    AcGePoint3d ocsCenter;
    double radius = 0.0;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    double thickness = 0.0;

    AcGePoint3d center() const { return ocsToWorld(normal, ocsCenter); }
    void setCenter(const AcGePoint3d& center) { ocsCenter = worldToOcs(normal, center); }
    // eInvalidInput for a zero vector; the world centre stays where it was.
    Acad::ErrorStatus setNormal(const AcGeVector3d& newNormal);
    // The world vectors from the centre to the points at OCS angles 0 and pi/2.
    AcGeVector3d axisU() const;
    AcGeVector3d axisV() const;
    AcGePoint3d pointAt(double angle) const;
    // Applies the analysed transform (which must be conformal).
    void transform(const AcGeMatrix3d& xform, const PlanarTransform& planar);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.real(39, self.thickness);
        v.point3d(10, self.ocsCenter);
        v.real(40, self.radius);
        v.vector3d(210, self.normal);
    }
};

// A radius must be finite and not negative (eInvalidInput otherwise).
DRAWHOST_API Acad::ErrorStatus checkRadius(double radius);
// Analyses xform for a circle or arc: eCannotScaleNonUniformly when the circle would not stay
// a circle, eDegenerateGeometry for a singular transform.
DRAWHOST_API Acad::ErrorStatus analyseCircleTransform(const AcGeMatrix3d& xform,
                                                      const AcGeVector3d& normal,
                                                      PlanarTransform& planar);
// Reads the "AcDbCircle" subclass and checks the normal and radius read.
DRAWHOST_API Acad::ErrorStatus dxfInCircle(AcDbDxfFiler* filer, const wchar_t* className,
                                           CircleGeometry& circle);

}  // namespace host

namespace host {

// The curve base of circles and arcs: their circle data and its accessors (world coordinates;
// setters need write and refuse a negative or non-finite radius and a zero normal with
// eInvalidInput, changing nothing).
class DRAWHOST_API CircularCurve : public AcDbCurve {
public:
    AcGePoint3d center() const;
    Acad::ErrorStatus setCenter(const AcGePoint3d& center);
    double radius() const;
    Acad::ErrorStatus setRadius(double radius);
    AcGeVector3d normal() const;
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    double thickness() const;
    Acad::ErrorStatus setThickness(double thickness);

protected:
    CircleGeometry m_circle;
};

}  // namespace host

// Decisions where the host SDK leaves the behaviour to the host:
// - A radius may be 0 (a point-like circle); negative or non-finite radii are refused.
// - Transforms that keep circles circles apply (moves, rotations, uniform scaling, reflections,
//   and scalings that are uniform in the circle's plane); others give eCannotScaleNonUniformly.
//   A reflection keeps the normal where the transform keeps it (M^-T n).
// - Stretch points: the centre (moving it moves the circle).
// - DXF: the "AcDbCircle" subclass as host::CircleGeometry says.
class DRAWHOST_API AcDbCircle : public host::CircularCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbCircle);
    AcDbCircle() = default;
    // An invalid normal or radius leaves the default (Z axis, radius 0) in its place.
    AcDbCircle(const AcGePoint3d& center, const AcGeVector3d& normal, double radius);
    ~AcDbCircle() override = default;

    bool isClosed() const override;
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
        host::CircleGeometry::visitFields(self.m_circle, v);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;
};
