// The viewport table: the model-space viewport configurations ("*Active" is the current one),
// each a view with its place on screen, snap, grid and coordinate-system settings. Several
// records may share a name in files; this host keeps names unique like every other table.
// Setters need the record open for write (eNotOpenForWrite).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/view_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new viewport covers the screen ((0,0) to (1,1)) with the view defaults of
//   AcDbAbstractViewTableRecord, snap and grid off with spacing 0.5 and 10, 1000 circle sides,
//   UCS icon on at the origin (flags 3), and the world coordinate system.
// - Corners are given in screen fractions 0..1 and must keep lower left below and left of upper
//   right (eInvalidInput otherwise).
// - The width is filed in DXF as the aspect ratio (41 = width / height); reading it back gives
//   width = aspect ratio * height.
// - DXF: 100 "AcDbViewportTableRecord", 2 name, 70 flags, 10 lower left, 11 upper right,
//   12 centre, 13 snap base, 14 snap spacing, 15 grid spacing, 16 direction, 17 target,
//   40 height, 41 aspect ratio, 42 lens, 43 front, 44 back, 50 snap angle, 51 twist, 71 view mode,
//   72 circle sides, 73 fast zoom (1), 74 UCS icon, 75 snap, 76 grid, 77 snap style,
//   78 snap isopair, 281 render mode, 65 UCS follows (1), 110 UCS origin, 111 UCS x axis,
//   112 UCS y axis, 79 orthographic type (0), 146 elevation.
class DRAWHOST_API AcDbViewportTableRecord : public AcDbAbstractViewTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbViewportTableRecord);
    AcDbViewportTableRecord() = default;
    ~AcDbViewportTableRecord() override = default;

    AcGePoint2d lowerLeftCorner() const { return readField(m_lowerLeft); }
    Acad::ErrorStatus setLowerLeftCorner(const AcGePoint2d& corner);
    AcGePoint2d upperRightCorner() const { return readField(m_upperRight); }
    Acad::ErrorStatus setUpperRightCorner(const AcGePoint2d& corner);
    bool snapEnabled() const { return readField(m_snapOn); }
    Acad::ErrorStatus setSnapEnabled(bool on) { return writeField(m_snapOn, on); }
    AcGePoint2d snapBase() const { return readField(m_snapBase); }
    Acad::ErrorStatus setSnapBase(const AcGePoint2d& base) { return writeField(m_snapBase, base); }
    AcGeVector2d snapIncrements() const { return readField(m_snapSpacing); }
    Acad::ErrorStatus setSnapIncrements(const AcGeVector2d& spacing) {
        return writeField(m_snapSpacing, spacing);
    }
    double snapAngle() const { return readField(m_snapAngle); }
    Acad::ErrorStatus setSnapAngle(double angle) { return writeField(m_snapAngle, angle); }
    bool gridEnabled() const { return readField(m_gridOn); }
    Acad::ErrorStatus setGridEnabled(bool on) { return writeField(m_gridOn, on); }
    AcGeVector2d gridIncrements() const { return readField(m_gridSpacing); }
    Acad::ErrorStatus setGridIncrements(const AcGeVector2d& spacing) {
        return writeField(m_gridSpacing, spacing);
    }
    Adesk::Int16 circleSides() const { return readField(m_circleSides); }
    Acad::ErrorStatus setCircleSides(Adesk::Int16 sides) {
        return writeField(m_circleSides, sides);
    }
    bool iconEnabled() const { return (readField(m_ucsIcon) & 1) != 0; }
    Acad::ErrorStatus setIconEnabled(bool on) {
        return writeField(m_ucsIcon, on ? (m_ucsIcon | 1) : (m_ucsIcon & ~1));
    }
    // The viewport's coordinate system.
    Acad::ErrorStatus getUcs(AcGePoint3d& origin, AcGeVector3d& xAxis, AcGeVector3d& yAxis) const;
    // eInvalidInput for a zero axis.
    Acad::ErrorStatus setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                             const AcGeVector3d& yAxis);
    double elevation() const { return readField(m_elevation); }
    Acad::ErrorStatus setElevation(double elevation) { return writeField(m_elevation, elevation); }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        v.point2d(10, self.m_lowerLeft);
        v.point2d(11, self.m_upperRight);
        v.point2d(13, self.m_snapBase);
        v.vector2d(14, self.m_snapSpacing);
        v.vector2d(15, self.m_gridSpacing);
        visitViewFields(self, v, ViewCodes{12, 16, 17, 51});
        v.angle(50, self.m_snapAngle);
        v.int16(72, self.m_circleSides);
        v.int16(73, self.m_fastZoom);
        v.int16(74, self.m_ucsIcon);
        v.flag(75, self.m_snapOn);
        v.flag(76, self.m_gridOn);
        v.int16(77, self.m_snapStyle);
        v.int16(78, self.m_snapIsopair);
        v.int16(65, self.m_ucsFollows);
        v.point3d(110, self.m_ucsOrigin);
        v.vector3d(111, self.m_ucsXAxis);
        v.vector3d(112, self.m_ucsYAxis);
        v.int16(79, self.m_orthographicType);
        v.real(146, self.m_elevation);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    bool allowsStarPrefix() const override { return true; }

private:
    AcGePoint2d m_lowerLeft{0.0, 0.0};
    AcGePoint2d m_upperRight{1.0, 1.0};
    AcGePoint2d m_snapBase;
    AcGeVector2d m_snapSpacing{0.5, 0.5};
    AcGeVector2d m_gridSpacing{10.0, 10.0};
    double m_snapAngle = 0.0;
    Adesk::Int16 m_circleSides = 1000;
    Adesk::Int16 m_fastZoom = 1;
    Adesk::Int16 m_ucsIcon = 3;
    bool m_snapOn = false;
    bool m_gridOn = false;
    Adesk::Int16 m_snapStyle = 0;
    Adesk::Int16 m_snapIsopair = 0;
    Adesk::Int16 m_ucsFollows = 1;
    AcGePoint3d m_ucsOrigin;
    AcGeVector3d m_ucsXAxis{1.0, 0.0, 0.0};
    AcGeVector3d m_ucsYAxis{0.0, 1.0, 0.0};
    Adesk::Int16 m_orthographicType = 0;
    double m_elevation = 0.0;
};

class DRAWHOST_API AcDbViewportTableIterator
    : public AcDbSymbolTableIteratorOf<AcDbViewportTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The viewport table: viewport configurations by name.
class DRAWHOST_API AcDbViewportTable
    : public AcDbSymbolTableOf<AcDbViewportTableRecord, AcDbViewportTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbViewportTable);
    AcDbViewportTable() = default;
    ~AcDbViewportTable() override = default;
};
