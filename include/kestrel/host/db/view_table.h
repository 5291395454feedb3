// The view table (named views) and AcDbAbstractViewTableRecord, the view geometry it shares with
// viewport records: centre, size, target, direction, twist, lens and clipping. Setters need the
// record open for write when it is in a database; a view made for acedSetCurrentView is not.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/symbol_table.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - A new view looks down the z axis at the origin: centre (0,0), height and width 1, target
//   (0,0,0), direction (0,0,1), twist 0, lens length 50, clip distances 0, no perspective or
//   clipping, front clip at the eye.
// - setHeight, setWidth and setLensLength refuse values that are not positive and finite
//   (eOutOfRange); setViewDirection refuses the zero vector (eInvalidInput).
// - The view mode (DXF 71) holds 1 perspective, 2 front clip, 4 back clip, 16 front clip not at
//   the eye.
// - DXF of a view: 100 "AcDbViewTableRecord", 2 name, 70 flags (1 paper space), 40 height,
//   10 centre, 41 width, 11 direction, 12 target, 42 lens, 43 front, 44 back, 50 twist,
//   71 view mode, 281 render mode, 72 UCS associated (0).
class DRAWHOST_API AcDbAbstractViewTableRecord : public AcDbSymbolTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbAbstractViewTableRecord);
    ~AcDbAbstractViewTableRecord() override = default;

    static constexpr Adesk::Int16 kPerspective = 1;
    static constexpr Adesk::Int16 kFrontClip = 2;
    static constexpr Adesk::Int16 kBackClip = 4;
    static constexpr Adesk::Int16 kFrontClipNotAtEye = 16;

    AcGePoint2d centerPoint() const { return readField(m_center); }
    Acad::ErrorStatus setCenterPoint(const AcGePoint2d& center) {
        return writeField(m_center, center);
    }
    double height() const { return readField(m_height); }
    Acad::ErrorStatus setHeight(double height);
    double width() const { return readField(m_width); }
    Acad::ErrorStatus setWidth(double width);
    AcGePoint3d target() const { return readField(m_target); }
    Acad::ErrorStatus setTarget(const AcGePoint3d& target) { return writeField(m_target, target); }
    AcGeVector3d viewDirection() const { return readField(m_direction); }
    Acad::ErrorStatus setViewDirection(const AcGeVector3d& direction);
    double viewTwist() const { return readField(m_twist); }
    Acad::ErrorStatus setViewTwist(double angle) { return writeField(m_twist, angle); }
    double lensLength() const { return readField(m_lensLength); }
    Acad::ErrorStatus setLensLength(double length);
    double frontClipDistance() const { return readField(m_frontClip); }
    Acad::ErrorStatus setFrontClipDistance(double distance) {
        return writeField(m_frontClip, distance);
    }
    double backClipDistance() const { return readField(m_backClip); }
    Acad::ErrorStatus setBackClipDistance(double distance) {
        return writeField(m_backClip, distance);
    }
    bool perspectiveEnabled() const { return modeBit(kPerspective); }
    Acad::ErrorStatus setPerspectiveEnabled(bool on) { return setModeBit(kPerspective, on); }
    bool frontClipEnabled() const { return modeBit(kFrontClip); }
    Acad::ErrorStatus setFrontClipEnabled(bool on) { return setModeBit(kFrontClip, on); }
    bool backClipEnabled() const { return modeBit(kBackClip); }
    Acad::ErrorStatus setBackClipEnabled(bool on) { return setModeBit(kBackClip, on); }
    bool frontClipAtEye() const { return !modeBit(kFrontClipNotAtEye); }
    Acad::ErrorStatus setFrontClipAtEye(bool atEye) {
        return setModeBit(kFrontClipNotAtEye, !atEye);
    }
    Adesk::Int16 renderMode() const { return readField(m_renderMode); }
    Acad::ErrorStatus setRenderMode(Adesk::Int16 mode) { return writeField(m_renderMode, mode); }

protected:
    AcDbAbstractViewTableRecord() = default;

    // The DXF codes that differ between views and viewports.
    struct ViewCodes {
        int center;
        int direction;
        int target;
        int twist;
    };
    // The view geometry every kind files (width excepted: views file it, viewports file their
    // aspect ratio).
    template <class Self, class Visitor>
    static void visitViewFields(Self& self, Visitor& v, const ViewCodes& codes) {
        v.real(40, self.m_height);
        v.point2d(codes.center, self.m_center);
        v.vector3d(codes.direction, self.m_direction);
        v.point3d(codes.target, self.m_target);
        v.real(42, self.m_lensLength);
        v.real(43, self.m_frontClip);
        v.real(44, self.m_backClip);
        v.angle(codes.twist, self.m_twist);
        v.int16(71, self.m_viewMode);
        v.int16(281, self.m_renderMode);
    }

    AcGePoint2d m_center;
    double m_height = 1.0;
    double m_width = 1.0;
    AcGePoint3d m_target;
    AcGeVector3d m_direction{0.0, 0.0, 1.0};
    double m_twist = 0.0;
    double m_lensLength = 50.0;
    double m_frontClip = 0.0;
    double m_backClip = 0.0;
    Adesk::Int16 m_viewMode = 0;
    Adesk::Int16 m_renderMode = 0;

private:
    bool modeBit(Adesk::Int16 bit) const { return (readField(m_viewMode) & bit) != 0; }
    Acad::ErrorStatus setModeBit(Adesk::Int16 bit, bool on);
};

// A named view: the shared view geometry plus whether it shows paper space.
class DRAWHOST_API AcDbViewTableRecord : public AcDbAbstractViewTableRecord {
public:
    ACRX_DECLARE_MEMBERS(AcDbViewTableRecord);
    AcDbViewTableRecord() = default;
    ~AcDbViewTableRecord() override = default;

    static constexpr Adesk::Int16 kPaperspaceView = 1;

    bool isPaperspaceView() const { return flagBit(kPaperspaceView); }
    Acad::ErrorStatus setIsPaperspaceView(bool paper) { return setFlagBit(kPaperspaceView, paper); }

    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        visitNameAndFlags(self, v);
        visitViewFields(self, v, ViewCodes{10, 11, 12, 50});
        v.real(41, self.m_width);
        v.int16(72, self.m_ucsAssociated);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    Adesk::Int16 m_ucsAssociated = 0;
};

class DRAWHOST_API AcDbViewTableIterator : public AcDbSymbolTableIteratorOf<AcDbViewTableRecord> {
public:
    using AcDbSymbolTableIteratorOf::AcDbSymbolTableIteratorOf;
};

// The view table: named views by name.
class DRAWHOST_API AcDbViewTable
    : public AcDbSymbolTableOf<AcDbViewTableRecord, AcDbViewTableIterator> {
public:
    ACRX_DECLARE_MEMBERS(AcDbViewTable);
    AcDbViewTable() = default;
    ~AcDbViewTable() override = default;
};
