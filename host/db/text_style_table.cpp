// Text style records: range checks of the setters and their filing through the field list.

#include "kestrel/host/db/text_style_table.h"

#include <cmath>

#include "kestrel/host/db/database.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, 0, 0, 0, STYLE, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbTextStyleTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbTextStyleTableRecord";

bool isSize(double value) {
    return std::isfinite(value) && value >= 0.0;
}

std::wstring textOrEmpty(const wchar_t* text) {
    return text != nullptr ? text : L"";
}

}  // namespace

Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double size) {
    return isSize(size) ? writeField(m_textSize, size) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double factor) {
    return isSize(factor) && factor > 0.0 ? writeField(m_xScale, factor) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double angle) {
    return std::isfinite(angle) ? writeField(m_obliquingAngle, angle) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setPriorSize(double size) {
    return isSize(size) ? writeField(m_priorSize, size) : Acad::eOutOfRange;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::fileName(const wchar_t*& name) const {
    assertReadEnabled();
    name = m_fileName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const wchar_t* name) {
    return writeField(m_fileName, textOrEmpty(name));
}

Acad::ErrorStatus AcDbTextStyleTableRecord::bigFontFileName(const wchar_t*& name) const {
    assertReadEnabled();
    name = m_bigFontFileName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const wchar_t* name) {
    return writeField(m_bigFontFileName, textOrEmpty(name));
}

Acad::ErrorStatus AcDbTextStyleTableRecord::subErase(bool erasing) {
    AcDbDatabase* db = database();
    return erasing && db != nullptr && db->textstyle() == objectId() ? Acad::eCannotBeErased
                                                                     : Acad::eOk;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    return dwgOutRecord(filer, *this);
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    return dwgInRecord(filer, *this);
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbTextStyleTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInRecord(filer, kSubclass, *this);
}
