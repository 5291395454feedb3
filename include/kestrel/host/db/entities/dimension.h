// Dimensions: AcDbDimension (text, style, text position, normal, the block that draws it) and the
// kinds the module makes: AcDbRotatedDimension, AcDb2LineAngularDimension and
// AcDb3PointAngularDimension, each given by its definition points. Setters need write
// (eNotOpenForWrite otherwise).
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/entity_support.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - The host makes no dimension block: the block stays as given (null for a new dimension). The
//   DXF writer gives a dimension without a block one that holds its graphics
//   (dimension_graphics.h). Extents are the box of the definition points and the text position.
// - Transforms that keep shapes (moves, rotations, uniform scaling, reflections) apply to every
//   point; others give eCannotScaleNonUniformly.
// - Stretch points: the definition points in the order of each kind's comment.
// - measurement() computes the distance along the rotation (rotated) or the angle between the
//   lines (angular, in [0, pi] for two lines; the angle at the centre, in [0, 2 pi), for
//   three points), whatever the text says.
// - DXF: 100 "AcDbDimension", 2 block name (when there is a block), 10 definition point,
//   11 text position (OCS), 70 kind (with 32), 1 text, 53 text rotation, 210 normal, 3 style
//   name; then the kind's subclasses.
class DRAWHOST_API AcDbDimension : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbDimension);
    ~AcDbDimension() override = default;

    // A new[] copy of the dimension text ("" stands for the measurement), released by the
    // caller.
    ACHAR* dimensionText() const;
    // eNullPtr for null.
    Acad::ErrorStatus setDimensionText(const ACHAR* text);
    AcDbObjectId dimensionStyle() const;
    Acad::ErrorStatus setDimensionStyle(AcDbObjectId style);
    AcGePoint3d textPosition() const;
    Acad::ErrorStatus setTextPosition(const AcGePoint3d& position);
    double textRotation() const;
    Acad::ErrorStatus setTextRotation(double angle);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the text position keeps its world place.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    AcDbObjectId dimBlockId() const;
    Acad::ErrorStatus setDimBlockId(AcDbObjectId id);
    // The measured value (see the class comment).
    Acad::ErrorStatus measurement(double& value) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        host::recordRef(v, 2, self.m_block);
        v.point3d(10, self.m_definitionPoint);
        v.point3d(11, self.m_textPosition);
        v.int16(70, self.m_kind);
        v.text(1, self.m_text);
        v.angle(53, self.m_textRotation);
        v.vector3d(210, self.m_normal);
        host::recordRef(v, 3, self.m_style);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    AcDbDimension(Adesk::Int16 kind, const ACHAR* text, AcDbObjectId style);

    // The world points a kind is defined by, the definition point among them (pointers into
    // the object, so transforms and stretches reach them).
    virtual void definitionPoints(std::vector<AcGePoint3d*>& points) = 0;
    void definitionPoints(std::vector<const AcGePoint3d*>& points) const;
    // The kind's measurement.
    virtual double measure() const = 0;
    // The kind's angles turn with a transform (the rotated dimension's rotation).
    virtual void transformAngles(const host::PlanarTransform& planar);

    AcGePoint3d m_definitionPoint;

private:
    AcDbObjectId m_block;
    AcGePoint3d m_textPosition;
    Adesk::Int16 m_kind = 0;
    std::wstring m_text;
    double m_textRotation = 0.0;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    AcDbObjectId m_style;
};

// Stretch points: first and second extension-line points, then the dimension-line point.
// DXF: then 100 "AcDbAlignedDimension", 13 first point, 14 second point, 50 rotation,
// 52 oblique angle, 100 "AcDbRotatedDimension".
class DRAWHOST_API AcDbRotatedDimension : public AcDbDimension {
public:
    ACRX_DECLARE_MEMBERS(AcDbRotatedDimension);
    AcDbRotatedDimension();
    AcDbRotatedDimension(double rotation, const AcGePoint3d& xLine1Point,
                         const AcGePoint3d& xLine2Point, const AcGePoint3d& dimLinePoint,
                         const ACHAR* dimText = nullptr,
                         AcDbObjectId dimStyle = AcDbObjectId::kNull);
    ~AcDbRotatedDimension() override = default;

    AcGePoint3d xLine1Point() const;
    Acad::ErrorStatus setXLine1Point(const AcGePoint3d& point);
    AcGePoint3d xLine2Point() const;
    Acad::ErrorStatus setXLine2Point(const AcGePoint3d& point);
    AcGePoint3d dimLinePoint() const;
    Acad::ErrorStatus setDimLinePoint(const AcGePoint3d& point);
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    double oblique() const;
    Acad::ErrorStatus setOblique(double angle);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(13, self.m_xLine1);
        v.point3d(14, self.m_xLine2);
        v.angle(50, self.m_rotation);
        v.angle(52, self.m_oblique);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    void definitionPoints(std::vector<AcGePoint3d*>& points) override;
    double measure() const override;
    void transformAngles(const host::PlanarTransform& planar) override;

private:
    AcGePoint3d m_xLine1;
    AcGePoint3d m_xLine2;
    double m_rotation = 0.0;
    double m_oblique = 0.0;
};

// Stretch points: start and end of the first line, start and end of the second line, the arc
// point. The definition point (10) is the second line's end.
// DXF: then 100 "AcDb2LineAngularDimension", 13 and 14 first line, 15 second line's start,
// 16 arc point (OCS).
class DRAWHOST_API AcDb2LineAngularDimension : public AcDbDimension {
public:
    ACRX_DECLARE_MEMBERS(AcDb2LineAngularDimension);
    AcDb2LineAngularDimension();
    AcDb2LineAngularDimension(const AcGePoint3d& xLine1Start, const AcGePoint3d& xLine1End,
                              const AcGePoint3d& xLine2Start, const AcGePoint3d& xLine2End,
                              const AcGePoint3d& arcPoint, const ACHAR* dimText = nullptr,
                              AcDbObjectId dimStyle = AcDbObjectId::kNull);
    ~AcDb2LineAngularDimension() override = default;

    AcGePoint3d xLine1Start() const;
    AcGePoint3d xLine1End() const;
    AcGePoint3d xLine2Start() const;
    AcGePoint3d xLine2End() const;
    AcGePoint3d arcPoint() const;
    Acad::ErrorStatus setArcPoint(const AcGePoint3d& point);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(13, self.m_xLine1Start);
        v.point3d(14, self.m_xLine1End);
        v.point3d(15, self.m_xLine2Start);
        v.point3d(16, self.m_arcPoint);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    void definitionPoints(std::vector<AcGePoint3d*>& points) override;
    double measure() const override;

private:
    AcGePoint3d m_xLine1Start;
    AcGePoint3d m_xLine1End;
    AcGePoint3d m_xLine2Start;
    AcGePoint3d m_arcPoint;
};

// Stretch points: centre, first and second extension-line points, the arc point (the
// definition point). DXF: then 100 "AcDb3PointAngularDimension", 13 first point, 14 second
// point, 15 centre.
class DRAWHOST_API AcDb3PointAngularDimension : public AcDbDimension {
public:
    ACRX_DECLARE_MEMBERS(AcDb3PointAngularDimension);
    AcDb3PointAngularDimension();
    AcDb3PointAngularDimension(const AcGePoint3d& centerPoint, const AcGePoint3d& xLine1Point,
                               const AcGePoint3d& xLine2Point, const AcGePoint3d& arcPoint,
                               const ACHAR* dimText = nullptr,
                               AcDbObjectId dimStyle = AcDbObjectId::kNull);
    ~AcDb3PointAngularDimension() override = default;

    AcGePoint3d centerPoint() const;
    AcGePoint3d xLine1Point() const;
    AcGePoint3d xLine2Point() const;
    AcGePoint3d arcPoint() const;
    Acad::ErrorStatus setArcPoint(const AcGePoint3d& point);

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(13, self.m_xLine1);
        v.point3d(14, self.m_xLine2);
        v.point3d(15, self.m_center);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    void definitionPoints(std::vector<AcGePoint3d*>& points) override;
    double measure() const override;

private:
    AcGePoint3d m_center;
    AcGePoint3d m_xLine1;
    AcGePoint3d m_xLine2;
};
