// AcDbLayout: one layout of a drawing (the model space or a paper-space sheet), an entry of the
// ACAD_LAYOUT dictionary tied to its block table record both ways (the record's layout id names
// the layout, the layout's block table record id names the record). Setters need write
// (eNotOpenForWrite otherwise).
#pragma once

#include <string>

#include "kestrel/export.h"
#include "kestrel/host/db/field_filer.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - The class stands for the SDK's AcDbPlotSettings and AcDbLayout in one: nothing is plotted, so
//   the plot settings are values kept for drawing files and other programs only.
// - A new layout: empty name, tab order 0, no block table record, limits (0,0)-(420,297),
//   extents from (1e20,1e20,1e20) to (-1e20,-1e20,-1e20) (none), world coordinate system.
// - DXF: 100 "AcDbPlotSettings", 1 page setup name, 2 plot configuration, 4 paper size, 6 plot
//   view, 40-43 margins, 44/45 paper width and height, 46/47 plot origin, 48/49/140/141 plot
//   window, 142/143 custom scale, 70 plot flags, 72 paper units, 73 rotation, 74 plot type,
//   7 style sheet, 75 standard scale, 147 scale factor, 148/149 paper image origin; then
//   100 "AcDbLayout", 1 name, 70 flags, 71 tab order, 10/11 limits, 12 insertion base,
//   14/15 extents, 146 elevation, 13 UCS origin, 16/17 UCS axes, 76 orthographic type,
//   330 block table record.
class DRAWHOST_API AcDbLayout : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbLayout);
    AcDbLayout() = default;
    ~AcDbLayout() override = default;

    // The name, valid until the layout changes or is closed.
    Acad::ErrorStatus getLayoutName(const ACHAR*& name) const;
    // eNullPtr for null, eInvalidInput for an empty name.
    Acad::ErrorStatus setLayoutName(const ACHAR* name);
    int getTabOrder() const;
    // eInvalidInput for a negative order.
    Acad::ErrorStatus setTabOrder(int order);
    AcDbObjectId getBlockTableRecordId() const;
    // Does not change the record's layout id; the caller links both.
    Acad::ErrorStatus setBlockTableRecordId(AcDbObjectId id);
    void getLimits(AcGePoint2d& min, AcGePoint2d& max) const;
    Acad::ErrorStatus setLimits(const AcGePoint2d& min, const AcGePoint2d& max);

    // The plot-settings part of the field list.
    struct PlotSettingsFields {
        template <class Self, class Visitor>
        static void visitFields(Self& self, Visitor& v) {
            v.text(1, self.m_pageSetupName);
            v.text(2, self.m_plotConfiguration);
            v.text(4, self.m_paperSize);
            v.text(6, self.m_plotViewName);
            v.real(40, self.m_margins[0]);
            v.real(41, self.m_margins[1]);
            v.real(42, self.m_margins[2]);
            v.real(43, self.m_margins[3]);
            v.real(44, self.m_paperWidth);
            v.real(45, self.m_paperHeight);
            v.real(46, self.m_plotOrigin[0]);
            v.real(47, self.m_plotOrigin[1]);
            v.real(48, self.m_plotWindow[0]);
            v.real(49, self.m_plotWindow[1]);
            v.real(140, self.m_plotWindow[2]);
            v.real(141, self.m_plotWindow[3]);
            v.real(142, self.m_scaleNumerator);
            v.real(143, self.m_scaleDenominator);
            v.int16(70, self.m_plotFlags);
            v.int16(72, self.m_paperUnits);
            v.int16(73, self.m_plotRotation);
            v.int16(74, self.m_plotType);
            v.text(7, self.m_styleSheet);
            v.int16(75, self.m_standardScale);
            v.real(147, self.m_scaleFactor);
            v.real(148, self.m_imageOrigin[0]);
            v.real(149, self.m_imageOrigin[1]);
        }
    };
    // The layout part of the field list.
    struct LayoutFields {
        template <class Self, class Visitor>
        static void visitFields(Self& self, Visitor& v) {
            v.text(1, self.m_name);
            v.int16(70, self.m_layoutFlags);
            v.int16(71, self.m_tabOrder);
            v.point2d(10, self.m_limitsMin);
            v.point2d(11, self.m_limitsMax);
            v.point3d(12, self.m_insertionBase);
            v.point3d(14, self.m_extentsMin);
            v.point3d(15, self.m_extentsMax);
            v.real(146, self.m_elevation);
            v.point3d(13, self.m_ucsOrigin);
            v.vector3d(16, self.m_ucsXAxis);
            v.vector3d(17, self.m_ucsYAxis);
            v.int16(76, self.m_orthographicType);
            v.id(330, self.m_blockId, host::RefKind::kSoftPointer);
        }
    };
    template <class Self, class Visitor>
    static void visitFields(Self& self, Visitor& v) {
        PlotSettingsFields::visitFields(self, v);
        LayoutFields::visitFields(self, v);
    }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

private:
    std::wstring m_pageSetupName;
    std::wstring m_plotConfiguration = L"none_device";
    std::wstring m_paperSize = L"ISO_A4_(210.00_x_297.00_MM)";
    std::wstring m_plotViewName;
    double m_margins[4] = {7.5, 20.0, 7.5, 20.0};
    double m_paperWidth = 210.0;
    double m_paperHeight = 297.0;
    double m_plotOrigin[2] = {0.0, 0.0};
    double m_plotWindow[4] = {0.0, 0.0, 0.0, 0.0};
    double m_scaleNumerator = 1.0;
    double m_scaleDenominator = 1.0;
    Adesk::Int16 m_plotFlags = 688;
    Adesk::Int16 m_paperUnits = 1;
    Adesk::Int16 m_plotRotation = 0;
    Adesk::Int16 m_plotType = 5;
    std::wstring m_styleSheet;
    Adesk::Int16 m_standardScale = 16;
    double m_scaleFactor = 1.0;
    double m_imageOrigin[2] = {0.0, 0.0};

    std::wstring m_name;
    Adesk::Int16 m_layoutFlags = 1;
    Adesk::Int16 m_tabOrder = 0;
    AcGePoint2d m_limitsMin{0.0, 0.0};
    AcGePoint2d m_limitsMax{420.0, 297.0};
    AcGePoint3d m_insertionBase;
    AcGePoint3d m_extentsMin{1e20, 1e20, 1e20};
    AcGePoint3d m_extentsMax{-1e20, -1e20, -1e20};
    double m_elevation = 0.0;
    AcGePoint3d m_ucsOrigin;
    AcGeVector3d m_ucsXAxis{1.0, 0.0, 0.0};
    AcGeVector3d m_ucsYAxis{0.0, 1.0, 0.0};
    Adesk::Int16 m_orthographicType = 0;
    AcDbObjectId m_blockId;
};
