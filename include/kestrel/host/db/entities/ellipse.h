// AcDbEllipse: an ellipse or elliptical arc in world coordinates, given by its centre, normal,
// major axis (centre to the end of the major axis), the ratio of minor to major radius, and the
// start and end parameters of the arc. Setters need write (eNotOpenForWrite otherwise).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - The point at parameter t is center + cos t major + sin t minor, minor = ratio (normal x
//   major). Angles (startAngle, endAngle, the constructor) are measured from the major axis
//   around the normal; parameters are what the entity keeps and files. Equal start and end
//   parameters (or ones a whole turn apart) make a full ellipse.
// - set() and the setters refuse, with nothing changed: a zero normal or major axis, a major
//   axis not perpendicular to the normal, a ratio outside (0, 1], non-finite values
//   (eInvalidInput). A constructor given such values leaves the default ellipse (a unit circle
//   about the origin in the XY plane).
// - Every regular affine transform applies, non-uniform ones included (an ellipse stays an
//   ellipse: the new axes are the principal axes of the transformed conjugate diameters).
// - Stretch points: the centre and the four axis ends (centre, +major, +minor, -major, -minor);
//   moving the centre moves the ellipse, moving an axis end is not supported (eNotApplicable).
// - DXF: 100 "AcDbEllipse", 10 centre, 11 major axis, 210 normal, 40 ratio, 41 start and 42 end
//   parameter.
class DRAWHOST_API AcDbEllipse : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbEllipse);
    AcDbEllipse() = default;
    AcDbEllipse(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                const AcGeVector3d& majorAxis, double radiusRatio, double startAngle = 0.0,
                double endAngle = 6.283185307179586);
    ~AcDbEllipse() override = default;

    AcGePoint3d center() const;
    Acad::ErrorStatus setCenter(const AcGePoint3d& center);
    AcGeVector3d normal() const;
    AcGeVector3d majorAxis() const;
    AcGeVector3d minorAxis() const;
    double radiusRatio() const;
    Acad::ErrorStatus setRadiusRatio(double ratio);
    // Sets every value at once (angles, not parameters); statuses in the class comment.
    Acad::ErrorStatus set(const AcGePoint3d& center, const AcGeVector3d& unitNormal,
                          const AcGeVector3d& majorAxis, double radiusRatio,
                          double startAngle = 0.0, double endAngle = 6.283185307179586);
    double startAngle() const;
    Acad::ErrorStatus setStartAngle(double angle);
    double endAngle() const;
    Acad::ErrorStatus setEndAngle(double angle);
    double startParam() const;
    Acad::ErrorStatus setStartParam(double param);
    double endParam() const;
    Acad::ErrorStatus setEndParam(double param);
    // The parameter of the point at an angle from the major axis, and back.
    double paramAtAngle(double angle) const;
    double angleAtParam(double param) const;

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
        Shape::visitFields(self.m_shape, v);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    // The filed values. The start parameter lies in [0, 2 pi), the end parameter in
    // (start, start + 2 pi].
    struct Shape {
        AcGePoint3d center;
        AcGeVector3d normal = AcGeVector3d::kZAxis;
        AcGeVector3d major = AcGeVector3d::kXAxis;
        double ratio = 1.0;
        double startParam = 0.0;
        double endParam = 6.283185307179586;

        template <class Self, class Visitor>
        static void visitFields(Self& self, Visitor& v) {
            v.point3d(10, self.center);
            v.vector3d(11, self.major);
            v.vector3d(210, self.normal);
            v.real(40, self.ratio);
            v.real(41, self.startParam);
            v.real(42, self.endParam);
        }
    };

    double sweep() const;
    AcGeVector3d minor() const;
    AcGePoint3d pointAtParam(double param) const;

    Shape m_shape;
};
