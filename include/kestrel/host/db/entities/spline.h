// AcDbSpline: a NURBS curve given by its control points, knots and weights, or by fit points it
// passes through (the control points are then computed). Setters need write
// (eNotOpenForWrite otherwise).
#pragma once

#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/entities/curve.h"
#include "kestrel/host/ge/ge_arrays.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Fit points give a clamped spline of degree min(order - 1, points - 1) that passes through
//   every fit point, by global interpolation with chord-length parameters and averaged knots;
//   end tangents and the fit tolerance are kept but not used. Fewer than two distinct fit points
//   give no curve. A fitted spline is open even when asked to be closed.
// - NURBS data is refused (eInvalidInput, nothing changed) unless degree >= 1, there are at
//   least degree + 1 control points, degree + 1 more knots than control points, the knots do
//   not decrease and span a range, and (rational) one positive weight per control point.
// - Extents are those of the curve itself, its axis extremes found per knot span to 1e-12.
//   A spline without control points has none (eInvalidExtents).
// - Every regular affine transform applies (to control and fit points).
// - Stretch points: the fit points when the spline has them, else the control points; moving
//   fit points computes the control points again.
// - intersectWith does not handle splines (eNotApplicable).
// - DXF: 100 "AcDbSpline", 210 normal, 70 flags (1 closed, 2 periodic, 4 rational, 8 planar),
//   71 degree, 72, 73, 74 counts of knots, control and fit points, 42, 43, 44 knot, control and
//   fit tolerances, 40 knots, 41 weights (rational only), 10 control points, 11 fit points.
class DRAWHOST_API AcDbSpline : public AcDbCurve {
public:
    ACRX_DECLARE_MEMBERS(AcDbSpline);
    AcDbSpline() = default;
    explicit AcDbSpline(const AcGePoint3dArray& fitPoints, int order = 4,
                        double fitTolerance = 0.0);
    AcDbSpline(int degree, Adesk::Boolean rational, Adesk::Boolean closed, Adesk::Boolean periodic,
               const AcGePoint3dArray& controlPoints, const AcGeDoubleArray& knots,
               const AcGeDoubleArray& weights, double controlPtTol = 0.0, double knotTol = 0.0);
    ~AcDbSpline() override = default;

    int degree() const;
    bool isRational() const;
    bool isPeriodic() const;
    int numControlPoints() const;
    // eInvalidIndex for an index without a point (point unchanged).
    Acad::ErrorStatus getControlPointAt(int index, AcGePoint3d& point) const;
    // Drops the fit data (the spline is then defined by its control points).
    Acad::ErrorStatus setControlPointAt(int index, const AcGePoint3d& point);
    int numFitPoints() const;
    bool hasFitData() const;
    Acad::ErrorStatus getFitPointAt(int index, AcGePoint3d& point) const;
    // Computes the control points again.
    Acad::ErrorStatus setFitPointAt(int index, const AcGePoint3d& point);
    Acad::ErrorStatus purgeFitData();
    Acad::ErrorStatus getNurbsData(int& degree, Adesk::Boolean& rational, Adesk::Boolean& closed,
                                   Adesk::Boolean& periodic, AcGePoint3dArray& controlPoints,
                                   AcGeDoubleArray& knots, AcGeDoubleArray& weights,
                                   double& controlPtTol, double& knotTol) const;
    // See the class comment for what is refused; drops the fit data.
    Acad::ErrorStatus setNurbsData(int degree, Adesk::Boolean rational, Adesk::Boolean closed,
                                   Adesk::Boolean periodic, const AcGePoint3dArray& controlPoints,
                                   const AcGeDoubleArray& knots, const AcGeDoubleArray& weights,
                                   double controlPtTol = 0.0, double knotTol = 0.0);
    // The point at a parameter of the knot range; eInvalidInput outside it.
    Acad::ErrorStatus getPointAtParam(double param, AcGePoint3d& point) const;
    double startParam() const;
    double endParam() const;

    bool isClosed() const override;
    Acad::ErrorStatus getStartPoint(AcGePoint3d& point) const override;
    Acad::ErrorStatus getEndPoint(AcGePoint3d& point) const override;
    bool getCurvePieces(std::vector<host::CurvePiece>& pieces, bool extended) const override;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

    // The filed data; public for the host's own use (filing and interpolation helpers).
    struct Data {
        int degree = 3;
        Adesk::Int16 flags = 0;
        std::vector<AcGePoint3d> controlPoints;
        std::vector<double> knots;
        std::vector<double> weights;  // empty unless rational
        std::vector<AcGePoint3d> fitPoints;
        double knotTolerance = 1e-10;
        double controlTolerance = 1e-10;
        double fitTolerance = 0.0;
        AcGeVector3d normal = AcGeVector3d::kZAxis;
    };

private:
    Acad::ErrorStatus checkedPoint(const std::vector<AcGePoint3d>& points, int index,
                                   AcGePoint3d& point) const;

    Data m_data;
};
