// Dimension style records: filing through the variable list, and the erase rule.

#include "host/db/dim_style_table.h"

#include "host/db/database.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbDimStyleTableRecord, AcDbSymbolTableRecord, 0, 0, 0, DIMSTYLE,
                        DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbDimStyleTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbDimStyleTableRecord";

}  // namespace

Acad::ErrorStatus AcDbDimStyleTableRecord::setDimpost(const wchar_t* text) {
    return writeField(m_dimpost, std::wstring(text != nullptr ? text : L""));
}

Acad::ErrorStatus AcDbDimStyleTableRecord::setDimapost(const wchar_t* text) {
    return writeField(m_dimapost, std::wstring(text != nullptr ? text : L""));
}

Acad::ErrorStatus AcDbDimStyleTableRecord::subErase(bool erasing) {
    AcDbDatabase* db = database();
    return erasing && db != nullptr && db->dimstyle() == objectId() ? Acad::eCannotBeErased
                                                                    : Acad::eOk;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    return dwgOutRecord(filer, *this);
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    return dwgInRecord(filer, *this);
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInRecord(filer, kSubclass, *this);
}
