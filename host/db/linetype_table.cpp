// Linetype records: the dash pattern's accessors and its repeated DXF groups.

#include "kestrel/host/db/linetype_table.h"

#include "kestrel/host/db/database.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, 0, 0, 0, LTYPE, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbLinetypeTableRecord";
constexpr int kDashCountCode = 73;
constexpr int kDashLengthCode = 49;
constexpr int kDashFlagsCode = 74;
constexpr int kShapeNumberCode = 75;
constexpr int kStyleCode = 340;
constexpr int kScaleCode = 46;
constexpr int kRotationCode = 50;
constexpr int kOffsetXCode = 44;
constexpr int kOffsetYCode = 45;
constexpr int kTextCode = 9;
constexpr Adesk::Int16 kAbsoluteRotation = 1;
constexpr Adesk::Int16 kTextElement = 2;
constexpr Adesk::Int16 kShapeElement = 4;

}  // namespace

Acad::ErrorStatus AcDbLinetypeTableRecord::comments(const wchar_t*& text) const {
    assertReadEnabled();
    text = m_comments.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const wchar_t* text) {
    return writeField(m_comments, std::wstring(text != nullptr ? text : L""));
}

int AcDbLinetypeTableRecord::numDashes() const {
    assertReadEnabled();
    return static_cast<int>(m_dashes.size());
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setNumDashes(int count) {
    if (count < 0) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_dashes.resize(static_cast<std::size_t>(count));
    }
    return status;
}

const AcDbLinetypeTableRecord::Dash* AcDbLinetypeTableRecord::dashAt(int index) const {
    assertReadEnabled();
    return index >= 0 && index < static_cast<int>(m_dashes.size())
               ? &m_dashes[static_cast<std::size_t>(index)]
               : nullptr;
}

template <class Change>
Acad::ErrorStatus AcDbLinetypeTableRecord::changeDash(int index, Change change) {
    if (index < 0 || index >= static_cast<int>(m_dashes.size())) {
        return Acad::eInvalidIndex;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        change(m_dashes[static_cast<std::size_t>(index)]);
    }
    return status;
}

double AcDbLinetypeTableRecord::dashLengthAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr ? dash->length : 0.0;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setDashLengthAt(int index, double length) {
    return changeDash(index, [length](Dash& dash) { dash.length = length; });
}

AcDbObjectId AcDbLinetypeTableRecord::shapeStyleAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr ? dash->styleId : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setShapeStyleAt(int index, AcDbObjectId styleId) {
    return changeDash(index, [styleId](Dash& dash) { dash.styleId = styleId; });
}

int AcDbLinetypeTableRecord::shapeNumberAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr ? dash->shapeNumber : 0;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setShapeNumberAt(int index, int shapeNumber) {
    if (shapeNumber < 0 || shapeNumber > INT16_MAX) {
        return Acad::eOutOfRange;
    }
    return changeDash(index, [shapeNumber](Dash& dash) {
        dash.shapeNumber = static_cast<Adesk::Int16>(shapeNumber);
    });
}

AcGeVector2d AcDbLinetypeTableRecord::shapeOffsetAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr ? dash->offset : AcGeVector2d();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setShapeOffsetAt(int index, const AcGeVector2d& offset) {
    return changeDash(index, [&offset](Dash& dash) { dash.offset = offset; });
}

double AcDbLinetypeTableRecord::shapeScaleAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr ? dash->scale : 0.0;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setShapeScaleAt(int index, double scale) {
    return changeDash(index, [scale](Dash& dash) { dash.scale = scale; });
}

double AcDbLinetypeTableRecord::shapeRotationAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr ? dash->rotation : 0.0;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setShapeRotationAt(int index, double rotation) {
    return changeDash(index, [rotation](Dash& dash) { dash.rotation = rotation; });
}

bool AcDbLinetypeTableRecord::shapeIsUcsOrientedAt(int index) const {
    const Dash* dash = dashAt(index);
    return dash != nullptr && dash->absoluteRotation;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setShapeIsUcsOrientedAt(int index, bool absolute) {
    return changeDash(index, [absolute](Dash& dash) { dash.absoluteRotation = absolute; });
}

Acad::ErrorStatus AcDbLinetypeTableRecord::textAt(int index, const wchar_t*& text) const {
    const Dash* dash = dashAt(index);
    if (dash == nullptr) {
        return Acad::eInvalidIndex;
    }
    text = dash->text.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setTextAt(int index, const wchar_t* text) {
    std::wstring value(text != nullptr ? text : L"");
    return changeDash(index, [&value](Dash& dash) { dash.text = std::move(value); });
}

bool AcDbLinetypeTableRecord::isNameFixed() const {
    AcDbDatabase* db = database();
    return db != nullptr &&
           (db->byLayerLinetype() == objectId() || db->byBlockLinetype() == objectId());
}

Acad::ErrorStatus AcDbLinetypeTableRecord::subErase(bool erasing) {
    AcDbDatabase* db = database();
    return erasing && (isNameFixed() || (db != nullptr && db->continuousLinetype() == objectId()))
               ? Acad::eCannotBeErased
               : Acad::eOk;
}

Adesk::Int16 AcDbLinetypeTableRecord::dxfFlags(const Dash& dash) const {
    Adesk::Int16 flags = dash.absoluteRotation ? kAbsoluteRotation : 0;
    if (!dash.text.empty()) {
        flags |= kTextElement;
    } else if (!dash.styleId.isNull()) {
        flags |= kShapeElement;
    }
    return flags;
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = dwgOutRecord(filer, *this);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeBool(m_scaledToFit);
    filer->writeUInt32(static_cast<Adesk::UInt32>(m_dashes.size()));
    for (const Dash& dash : m_dashes) {
        filer->writeDouble(dash.length);
        filer->writeHardPointerId(dash.styleId);
        filer->writeInt16(dash.shapeNumber);
        filer->writeDouble(dash.scale);
        filer->writeDouble(dash.rotation);
        filer->writeVector2d(dash.offset);
        filer->writeBool(dash.absoluteRotation);
        filer->writeString(dash.text);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = dwgInRecord(filer, *this);
    if (status != Acad::eOk) {
        return status;
    }
    bool scaledToFit = false;
    Adesk::UInt32 count = 0;
    filer->readBool(&scaledToFit);
    filer->readUInt32(&count);
    std::vector<Dash> dashes;
    for (Adesk::UInt32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        Dash dash;
        AcDbHardPointerId styleId;
        filer->readDouble(&dash.length);
        filer->readHardPointerId(&styleId);
        filer->readInt16(&dash.shapeNumber);
        filer->readDouble(&dash.scale);
        filer->readDouble(&dash.rotation);
        filer->readVector2d(&dash.offset);
        filer->readBool(&dash.absoluteRotation);
        filer->readString(dash.text);
        dash.styleId = styleId;
        dashes.push_back(std::move(dash));
    }
    if (filer->filerStatus() == Acad::eOk) {
        m_scaledToFit = scaledToFit;
        m_dashes = std::move(dashes);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = dxfOutRecord(filer, kSubclass, *this);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeInt16(kDashCountCode, static_cast<Adesk::Int16>(m_dashes.size()));
    for (const Dash& dash : m_dashes) {
        const Adesk::Int16 flags = dxfFlags(dash);
        filer->writeDouble(kDashLengthCode, dash.length);
        filer->writeInt16(kDashFlagsCode, flags);
        if ((flags & (kTextElement | kShapeElement)) == 0) {
            continue;
        }
        filer->writeInt16(kShapeNumberCode, dash.shapeNumber);
        filer->writeObjectId(kStyleCode, dash.styleId);
        filer->writeDouble(kScaleCode, dash.scale);
        filer->writeDouble(kRotationCode, dash.rotation);  // files hold this one in radians
        filer->writeDouble(kOffsetXCode, dash.offset.x);
        filer->writeDouble(kOffsetYCode, dash.offset.y);
        if ((flags & kTextElement) != 0) {
            filer->writeString(kTextCode, dash.text);
        }
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLinetypeTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    std::vector<Dash> dashes;
    auto takeDashGroup = [&dashes](const host::DxfItem& item) {
        if (item.code == kDashCountCode) {
            return true;
        }
        if (item.code == kDashLengthCode) {
            dashes.emplace_back().length = item.real();
            return true;
        }
        if (dashes.empty()) {
            return false;
        }
        Dash& dash = dashes.back();
        switch (item.code) {
            case kDashFlagsCode:
                dash.absoluteRotation = (item.integer() & kAbsoluteRotation) != 0;
                return true;
            case kShapeNumberCode:
                dash.shapeNumber = static_cast<Adesk::Int16>(item.integer());
                return true;
            case kStyleCode:
                dash.styleId = item.id();
                return true;
            case kScaleCode:
                dash.scale = item.real();
                return true;
            case kRotationCode:
                dash.rotation = item.real();
                return true;
            case kOffsetXCode:
                dash.offset.x = item.real();
                return true;
            case kOffsetYCode:
                dash.offset.y = item.real();
                return true;
            case kTextCode:
                dash.text = item.text();
                return true;
            default:
                return false;
        }
    };
    const Acad::ErrorStatus status = dxfInRecord(filer, kSubclass, *this, takeDashGroup);
    if (status == Acad::eOk) {
        m_dashes = std::move(dashes);
    }
    return status;
}
