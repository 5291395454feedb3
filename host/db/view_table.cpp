// View geometry shared by views and viewports, and the view records' filing.

#include "kestrel/host/db/view_table.h"

#include <cmath>

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbAbstractViewTableRecord, AcDbSymbolTableRecord);
ACRX_DXF_DEFINE_MEMBERS(AcDbViewTableRecord, AcDbAbstractViewTableRecord, 0, 0, 0, VIEW, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbViewTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbViewTableRecord";

bool isPositive(double value) {
    return std::isfinite(value) && value > 0.0;
}

}  // namespace

Acad::ErrorStatus AcDbAbstractViewTableRecord::setHeight(double height) {
    return isPositive(height) ? writeField(m_height, height) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbAbstractViewTableRecord::setWidth(double width) {
    return isPositive(width) ? writeField(m_width, width) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbAbstractViewTableRecord::setLensLength(double length) {
    return isPositive(length) ? writeField(m_lensLength, length) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbAbstractViewTableRecord::setViewDirection(const AcGeVector3d& direction) {
    return direction.length() > 0.0 ? writeField(m_direction, direction) : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbAbstractViewTableRecord::setModeBit(Adesk::Int16 bit, bool on) {
    return writeField(m_viewMode, on ? (m_viewMode | bit) : (m_viewMode & ~bit));
}

Acad::ErrorStatus AcDbViewTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    return dwgOutRecord(filer, *this);
}

Acad::ErrorStatus AcDbViewTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    return dwgInRecord(filer, *this);
}

Acad::ErrorStatus AcDbViewTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbViewTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInRecord(filer, kSubclass, *this);
}
