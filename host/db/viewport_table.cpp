// Viewport records: corner and coordinate-system checks, and the aspect ratio that stands for
// the width in DXF.

#include "kestrel/host/db/viewport_table.h"

#include <cmath>

ACRX_DXF_DEFINE_MEMBERS(AcDbViewportTableRecord, AcDbAbstractViewTableRecord, 0, 0, 0, VPORT,
                        DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbViewportTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbViewportTableRecord";
constexpr int kAspectRatioCode = 41;

bool isScreenFraction(const AcGePoint2d& point) {
    return point.x >= 0.0 && point.x <= 1.0 && point.y >= 0.0 && point.y <= 1.0;
}

}  // namespace

Acad::ErrorStatus AcDbViewportTableRecord::setLowerLeftCorner(const AcGePoint2d& corner) {
    if (!isScreenFraction(corner) || corner.x >= m_upperRight.x || corner.y >= m_upperRight.y) {
        return Acad::eInvalidInput;
    }
    return writeField(m_lowerLeft, corner);
}

Acad::ErrorStatus AcDbViewportTableRecord::setUpperRightCorner(const AcGePoint2d& corner) {
    if (!isScreenFraction(corner) || corner.x <= m_lowerLeft.x || corner.y <= m_lowerLeft.y) {
        return Acad::eInvalidInput;
    }
    return writeField(m_upperRight, corner);
}

Acad::ErrorStatus AcDbViewportTableRecord::getUcs(AcGePoint3d& origin, AcGeVector3d& xAxis,
                                                  AcGeVector3d& yAxis) const {
    assertReadEnabled();
    origin = m_ucsOrigin;
    xAxis = m_ucsXAxis;
    yAxis = m_ucsYAxis;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbViewportTableRecord::setUcs(const AcGePoint3d& origin,
                                                  const AcGeVector3d& xAxis,
                                                  const AcGeVector3d& yAxis) {
    if (!(xAxis.length() > 0.0) || !(yAxis.length() > 0.0)) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_ucsOrigin = origin;
        m_ucsXAxis = xAxis;
        m_ucsYAxis = yAxis;
    }
    return status;
}

Acad::ErrorStatus AcDbViewportTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = dwgOutRecord(filer, *this);
    if (status == Acad::eOk) {
        filer->writeDouble(m_width);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewportTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = dwgInRecord(filer, *this);
    if (status == Acad::eOk) {
        filer->readDouble(&m_width);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewportTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = dxfOutRecord(filer, kSubclass, *this);
    if (status == Acad::eOk) {
        filer->writeDouble(kAspectRatioCode, m_height > 0.0 ? m_width / m_height : 1.0);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbViewportTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    double aspectRatio = 0.0;
    const Acad::ErrorStatus status =
        dxfInRecord(filer, kSubclass, *this, [&aspectRatio](const host::DxfItem& item) {
            if (item.code != kAspectRatioCode) {
                return false;
            }
            aspectRatio = item.real();
            return true;
        });
    if (status == Acad::eOk && std::isfinite(aspectRatio) && aspectRatio > 0.0) {
        m_width = aspectRatio * m_height;
    }
    return status;
}
