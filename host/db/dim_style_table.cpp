// Dimension style records: filing through the variable list, and the erase rule.

#include "kestrel/host/db/dim_style_table.h"

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/raw_object.h"

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
    const Acad::ErrorStatus status = dwgOutRecord(filer, *this);
    if (status == Acad::eOk) {
        host::dwgOutGroups(filer, m_keptGroups);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = dwgInRecord(filer, *this);
    return status == Acad::eOk ? host::dwgInGroups(filer, m_keptGroups) : status;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = dxfOutRecord(filer, kSubclass, *this);
    for (const host::DxfItem& item : m_keptGroups) {
        if (status == Acad::eOk) {
            filer->writeItem(item);
        }
    }
    return status == Acad::eOk ? filer->filerStatus() : status;
}

Acad::ErrorStatus AcDbDimStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    host::DxfItemList kept;
    const Acad::ErrorStatus status =
        dxfInRecord(filer, kSubclass, *this, [&kept](const host::DxfItem& item) {
            kept.push_back(item);
            return true;
        });
    if (status == Acad::eOk) {
        m_keptGroups = std::move(kept);
    }
    return status;
}
