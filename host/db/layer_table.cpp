// Layer records: flags and colour rules, and the colour and linetype groups of their DXF form.

#include "kestrel/host/db/layer_table.h"

#include <cstdlib>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/symbol_name.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, 0, 0, 0, LAYER, DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbLayerTableRecord";
constexpr int kColorCode = 62;
constexpr int kTrueColorCode = 420;
constexpr int kLinetypeCode = 6;
constexpr std::uint16_t kDefaultColorIndex = 7;
constexpr wchar_t kContinuous[] = L"Continuous";

bool isLayerColor(const AcCmColor& color) {
    return color.isByColor() || (color.isByACI() && color.colorIndex() >= 1);
}

}  // namespace

AcDbLayerTableRecord::AcDbLayerTableRecord() {
    m_color.setColorIndex(kDefaultColorIndex);
}

Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool frozen) {
    AcDbDatabase* db = database();
    if (frozen && db != nullptr && db->clayer() == objectId()) {
        return isWriteEnabled() ? Acad::eInvalidLayer : Acad::eNotOpenForWrite;
    }
    return setFlagBit(kFrozen, frozen);
}

Acad::ErrorStatus AcDbLayerTableRecord::setColor(const AcCmColor& color) {
    if (!isLayerColor(color)) {
        return Acad::eInvalidInput;
    }
    return writeField(m_color, color);
}

bool AcDbLayerTableRecord::isNameFixed() const {
    AcDbDatabase* db = database();
    return db != nullptr && db->layerZero() == objectId();
}

Acad::ErrorStatus AcDbLayerTableRecord::subErase(bool erasing) {
    AcDbDatabase* db = database();
    if (erasing && db != nullptr && (db->layerZero() == objectId() || db->clayer() == objectId())) {
        return Acad::eCannotBeErased;
    }
    return Acad::eOk;
}

void AcDbLayerTableRecord::subAddedToDatabase() {
    if (m_linetypeId.isNull()) {
        m_linetypeId = database()->continuousLinetype();
    }
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = dwgOutRecord(filer, *this);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeUInt32(m_color.color());
    filer->writeBool(m_off);
    filer->writeHardPointerId(m_linetypeId);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = dwgInRecord(filer, *this);
    if (status != Acad::eOk) {
        return status;
    }
    host::DwgFieldReader reader(filer);
    reader.color(kColorCode, m_color);
    filer->readBool(&m_off);
    reader.id(kLinetypeCode, m_linetypeId, host::RefKind::kHardPointer);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = dxfOutRecord(filer, kSubclass, *this);
    if (status != Acad::eOk) {
        return status;
    }
    const auto index = static_cast<Adesk::Int16>(m_color.colorIndex());
    filer->writeInt16(kColorCode, m_off ? static_cast<Adesk::Int16>(-index) : index);
    if (m_color.isByColor()) {
        filer->writeInt32(kTrueColorCode, static_cast<Adesk::Int32>(m_color.color() & 0xFFFFFF));
    }
    AcDbDatabase* db = database();
    const auto* linetype =
        db == nullptr ? nullptr : AcDbSymbolTableRecord::cast(db->objectAt(m_linetypeId));
    filer->writeString(kLinetypeCode,
                       linetype != nullptr ? linetype->nameForLookup().c_str() : kContinuous);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbLayerTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    std::wstring linetypeName;
    Adesk::Int16 index = 0;
    Adesk::Int32 rgb = -1;
    Acad::ErrorStatus status = dxfInRecord(filer, kSubclass, *this, [&](const host::DxfItem& item) {
        switch (item.code) {
            case kColorCode:
                index = static_cast<Adesk::Int16>(item.integer());
                return true;
            case kTrueColorCode:
                rgb = static_cast<Adesk::Int32>(item.integer() & 0xFFFFFF);
                return true;
            case kLinetypeCode:
                linetypeName = item.text();
                return true;
            default:
                return false;
        }
    });
    if (status != Acad::eOk) {
        return status;
    }
    AcCmColor color;
    if (rgb >= 0) {
        color.setRGB(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb));
    } else if (color.setColorIndex(static_cast<std::uint16_t>(std::abs(index))) != Acad::eOk ||
               !isLayerColor(color)) {
        color.setColorIndex(kDefaultColorIndex);
    }
    m_color = color;
    m_off = index < 0;
    AcDbDatabase* db = filer->database() != nullptr ? filer->database() : database();
    if (!linetypeName.empty() && db != nullptr) {
        const auto* table = AcDbLinetypeTable::cast(db->objectAt(db->linetypeTableId()));
        AcDbObjectId id = table != nullptr
                              ? table->findLive(foldName(linetypeName), AcDbObjectId::kNull)
                              : AcDbObjectId::kNull;
        if (id.isNull() && filer->recordResolver() != nullptr) {
            id = filer->recordResolver()->missingRecord(db->linetypeTableId(), linetypeName);
        }
        if (id.isNull()) {
            return filer->setError(Acad::eKeyNotFound, L"layer \"%s\": unknown linetype \"%s\"",
                                   m_name.c_str(), linetypeName.c_str());
        }
        m_linetypeId = id;
    }
    return Acad::eOk;
}
