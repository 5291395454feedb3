// Registered-application records: filing through the field list.

#include "kestrel/host/db/regapp_table.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbRegAppTableRecord, AcDbSymbolTableRecord, 0, 0, 0, APPID, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbRegAppTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbRegAppTableRecord";

}  // namespace

Acad::ErrorStatus AcDbRegAppTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    return dwgOutRecord(filer, *this);
}

Acad::ErrorStatus AcDbRegAppTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    return dwgInRecord(filer, *this);
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbRegAppTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInRecord(filer, kSubclass, *this);
}
