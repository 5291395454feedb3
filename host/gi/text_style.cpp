// AcGiTextStyle and fromAcDbTextStyle.
#include "kestrel/host/gi/text_style.h"

#include "kestrel/host/db/open.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/gi/text_metric.h"

Acad::ErrorStatus AcGiTextStyle::setStyleName(const ACHAR* name) {
    if (name == nullptr) {
        return Acad::eNullPtr;
    }
    m_styleName = name;
    return Acad::eOk;
}

void AcGiTextStyle::setFileName(const ACHAR* name) {
    m_fileName = name != nullptr ? name : L"";
}

void AcGiTextStyle::setBigFontFileName(const ACHAR* name) {
    m_bigFontFileName = name != nullptr ? name : L"";
}

int AcGiTextStyle::loadStyleRec(AcDbDatabase*) const {
    return 1;
}

AcGePoint2d AcGiTextStyle::extents(const ACHAR* text, bool, int length, bool raw) const {
    if (text == nullptr) {
        return AcGePoint2d::kOrigin;
    }
    std::wstring_view view(text);
    if (length >= 0 && static_cast<std::size_t>(length) < view.size()) {
        view = view.substr(0, static_cast<std::size_t>(length));
    }
    const host::TextBox box = host::measureText(view, m_textSize, m_xScale, m_obliquingAngle, !raw);
    return {box.width(), box.maxY - box.minY};
}

Acad::ErrorStatus fromAcDbTextStyle(AcGiTextStyle& style, const AcDbObjectId& styleId) {
    AcDbTextStyleTableRecord* record = nullptr;
    const Acad::ErrorStatus status = acdbOpenObject(record, styleId, AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    const wchar_t* text = nullptr;
    AcGiTextStyle filled(style);
    record->getName(text);
    filled.setStyleName(text);
    record->fileName(text);
    filled.setFileName(text);
    record->bigFontFileName(text);
    filled.setBigFontFileName(text);
    filled.setTextSize(record->textSize() > 0.0 ? record->textSize() : 1.0);
    filled.setXScale(record->xScale());
    filled.setObliquingAngle(record->obliquingAngle());
    filled.setVertical(record->isVertical());
    filled.setBackward((record->flagBits() & 2) != 0);
    filled.setUpsideDown((record->flagBits() & 4) != 0);
    record->close();
    style = filled;
    return Acad::eOk;
}
