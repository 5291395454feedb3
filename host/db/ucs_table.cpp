// User coordinate system records: axis checks and filing through the field list.

#include "kestrel/host/db/ucs_table.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbUCSTableRecord, AcDbSymbolTableRecord, 0, 0, 0, UCS, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbUCSTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbUCSTableRecord";

bool isAxis(const AcGeVector3d& axis) {
    return axis.length() > 0.0;
}

}  // namespace

Acad::ErrorStatus AcDbUCSTableRecord::setXAxis(const AcGeVector3d& axis) {
    return isAxis(axis) ? writeField(m_xAxis, axis) : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbUCSTableRecord::setYAxis(const AcGeVector3d& axis) {
    return isAxis(axis) ? writeField(m_yAxis, axis) : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbUCSTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    return dwgOutRecord(filer, *this);
}

Acad::ErrorStatus AcDbUCSTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    return dwgInRecord(filer, *this);
}

Acad::ErrorStatus AcDbUCSTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbUCSTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInRecord(filer, kSubclass, *this);
}
