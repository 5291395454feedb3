// AcDbMText: a multiline text at a world location, laid out from its attachment point along its
// direction with the host's font metric (host/gi/text_metric.h). Setters need write
// (eNotOpenForWrite otherwise).
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/entity_support.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - Layout: lines break only at \P (the reference width does not wrap); each line is measured
//   as a single-line text of the text height; line pitch is 5/3 of the height times the line
//   spacing factor. The box is as wide as the widest line and as tall as the first line plus
//   the pitch of every further line; the attachment point is its top, middle or bottom and its
//   left, centre or right.
// - Extents: that box at the location along the direction, in the plane of the normal.
// - Transforms that keep the plane's shape apply (height and width scale); a reflection keeps
//   the text readable (the location and direction are reflected, the text is not mirrored).
//   Others give eCannotScaleNonUniformly.
// - Stretch points: the location.
// - A height must be positive, a width and a spacing factor not negative (eInvalidInput).
// - DXF: 100 "AcDbMText", 10 location, 40 height, 41 reference width, 71 attachment,
//   72 drawing direction, 3 and 1 contents (3 for each 250-character piece before the last,
//   1 for the last), 7 style name, 210 normal, 11 direction, 73 line spacing style,
//   44 line spacing factor. Reading takes 50 (rotation) in place of 11 as well. The other
//   groups of the subclass (background fill, defined height, and from 101 on the columns'
//   embedded object) are kept as read and written back after these; a transform scales the
//   columns' lengths with the text.
// - Columns are read only, as the embedded object gives them (a column break is \N in the
//   contents); the layout above, and so the extents, keep the text in one column.
class DRAWHOST_API AcDbMText : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbMText);
    AcDbMText() = default;
    ~AcDbMText() override = default;

    enum AttachmentPoint {
        kTopLeft = 1,
        kTopCenter = 2,
        kTopRight = 3,
        kMiddleLeft = 4,
        kMiddleCenter = 5,
        kMiddleRight = 6,
        kBottomLeft = 7,
        kBottomCenter = 8,
        kBottomRight = 9,
    };

    AcGePoint3d location() const;
    Acad::ErrorStatus setLocation(const AcGePoint3d& location);
    AcGeVector3d normal() const;
    // eInvalidInput for a zero vector; the direction is brought into the new plane.
    Acad::ErrorStatus setNormal(const AcGeVector3d& normal);
    // The x axis of the text: a unit vector in its plane.
    AcGeVector3d direction() const;
    // eInvalidInput for a vector along the normal.
    Acad::ErrorStatus setDirection(const AcGeVector3d& direction);
    // The direction's angle from the OCS x axis.
    double rotation() const;
    Acad::ErrorStatus setRotation(double angle);
    double textHeight() const;
    Acad::ErrorStatus setTextHeight(double height);
    double width() const;
    Acad::ErrorStatus setWidth(double width);
    AttachmentPoint attachment() const;
    Acad::ErrorStatus setAttachment(AttachmentPoint attachment);
    double lineSpacingFactor() const;
    Acad::ErrorStatus setLineSpacingFactor(double factor);
    // A new[] copy of the contents (format codes included), released by the caller.
    ACHAR* contents() const;
    // eNullPtr for null; returns eOk.
    Acad::ErrorStatus setContents(const ACHAR* text);
    AcDbObjectId textStyle() const;
    Acad::ErrorStatus setTextStyle(AcDbObjectId style);
    // The laid-out box's width and height.
    double actualWidth() const;
    double actualHeight() const;

    enum ColumnType { kNoColumns = 0, kStaticColumns = 1, kDynamicColumns = 2 };
    // The columns a drawing file gave the text: kind, count, width, gutter, whether they share
    // one height (auto height), and the height of column index (the shared one when auto or
    // static). kNoColumns, 0 and 0.0 for a text without columns; eInvalidIndex for an index
    // outside the columns.
    ColumnType columnType() const;
    int columnCount() const;
    double columnWidth() const;
    double columnGutterWidth() const;
    bool columnAutoHeight() const;
    Acad::ErrorStatus getColumnHeight(int index, double& height) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
    Acad::ErrorStatus getStretchPoints(AcGePoint3dArray& points) const override;
    Acad::ErrorStatus moveStretchPointsAt(const AcDbIntArray& indices,
                                          const AcGeVector3d& offset) override;

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        v.point3d(10, self.m_location);
        v.real(40, self.m_height);
        v.real(41, self.m_width);
        v.int16(71, self.m_attachment);
        v.int16(72, self.m_drawingDirection);
    }
    // The fields after the contents.
    template <class Self, class Visitor>
    static void visitTrailingFields(Self& self, Visitor& v) {
        host::recordRef(v, 7, self.m_style);
        v.vector3d(210, self.m_normal);
        v.vector3d(11, self.m_direction);
        v.int16(73, self.m_spacingStyle);
        v.real(44, self.m_spacingFactor);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    // The box corners in the text's frame (x along the direction) relative to the location.
    void layout(double& left, double& bottom, double& right, double& top) const;

    AcGePoint3d m_location;
    double m_height = 0.2;
    double m_width = 0.0;
    Adesk::Int16 m_attachment = kTopLeft;
    Adesk::Int16 m_drawingDirection = 1;
    std::wstring m_contents;
    AcDbObjectId m_style;
    AcGeVector3d m_normal = AcGeVector3d::kZAxis;
    AcGeVector3d m_direction = AcGeVector3d::kXAxis;
    Adesk::Int16 m_spacingStyle = 1;
    double m_spacingFactor = 1.0;
    host::DxfItemList m_keptGroups;  // groups of the subclass read but not modelled
};
