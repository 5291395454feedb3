// AcDbArc: a circular arc running counter-clockwise (about its normal) from its start angle to
// its end angle, angles measured in its object coordinate system. Setters need write.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/circle.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Angles are kept in [0, 2 pi); setters bring them there and refuse non-finite values
//   (eInvalidInput). Equal start and end angles make an arc that sweeps nothing.
// - Transforms as for circles (AcDbCircle); a reflection swaps the ends, so the arc keeps
//   running counter-clockwise about its normal.
// - Stretch points: start (0) and end (1). Moving both moves the arc; moving one keeps the other
//   end and the arc's midpoint and passes the arc through the three (eDegenerateGeometry when
//   they fall on one line, nothing changed).
// - DXF: the "AcDbCircle" subclass (host::CircleGeometry), then 100 "AcDbArc", 50 start angle,
//   51 end angle (radians in the filer; DXF files carry degrees).
class DRAWHOST_API AcDbArc : public host::CircularCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbArc);
    AcDbArc() = default;
    // Invalid values leave the defaults (normal Z, radius 0, angles 0) in their place.
    AcDbArc(const AcGePoint3d& center, double radius, double startAngle, double endAngle);
    AcDbArc(const AcGePoint3d& center, const AcGeVector3d& normal, double radius, double startAngle,
            double endAngle);
    ~AcDbArc() override = default;

    double startAngle() const;
    Acad::ErrorStatus setStartAngle(double angle);
    double endAngle() const;
    Acad::ErrorStatus setEndAngle(double angle);
    // The counter-clockwise sweep from start to end angle, in [0, 2 pi).
    double totalAngle() const;

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
        v.angle(50, self.m_startAngle);
        v.angle(51, self.m_endAngle);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    Acad::ErrorStatus setAngle(double& field, double angle);
    // Passes the arc through three world points (ends first and last) in its plane.
    Acad::ErrorStatus fitThrough(const AcGePoint3d& start, const AcGePoint3d& middle,
                                 const AcGePoint3d& end);

    double m_startAngle = 0.0;
    double m_endAngle = 0.0;
};
