// AcDbEntity: the common properties of entities, their look-up by name in the symbol tables, and
// their filing after the object's base data.
#include "kestrel/host/db/entity.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/field_filer.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/symbol_name.h"
#include "kestrel/host/rx/class.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbEntity, AcDbObject)

namespace {

constexpr int kLinetypeCode = 6;
constexpr int kLayerCode = 8;
constexpr int kVisibilityCode = 60;
constexpr int kColorCode = 62;
constexpr int kTrueColorCode = 420;
constexpr const wchar_t* kSubclass = L"AcDbEntity";

// The kept groups, or null when there are none (most entities).
template <class Kept>
std::unique_ptr<Kept> keptGroups(host::DxfItemList items) {
    return items.empty() ? nullptr : std::make_unique<Kept>(Kept{std::move(items)});
}

// Entity groups without an accessor, kept as read (see entity.h).
bool isKeptCode(int code) {
    constexpr int kCodes[] = {48, 92, 160, 284, 310, 347, 348, 370, 380, 390, 430, 440};
    return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

AcDbDatabase* lookupDatabase(const AcDbObject* entity) {
    AcDbDatabase* db = entity->database();
    return db != nullptr ? db : acdbHostApplicationServices()->workingDatabase();
}

std::wstring recordName(AcDbObjectId id) {
    AcDbDatabase* db = id.database();
    const auto* record = AcDbSymbolTableRecord::cast(db != nullptr ? db->objectAt(id) : nullptr);
    return record != nullptr ? record->nameForLookup() : std::wstring();
}

// Looks name up in the table without opening it, so a table open for write elsewhere does not
// stand in the way (as for records given by id).
Acad::ErrorStatus findRecord(AcDbObjectId tableId, const wchar_t* name, AcDbObjectId& id) {
    AcDbDatabase* db = tableId.database();
    const auto* table = AcDbSymbolTable::cast(db != nullptr ? db->objectAt(tableId) : nullptr);
    if (table == nullptr) {
        return Acad::eNoDatabase;
    }
    const AcDbObjectId found = table->findLive(foldName(name), AcDbObjectId::kNull);
    if (found.isNull()) {
        return Acad::eKeyNotFound;
    }
    id = found;
    return Acad::eOk;
}

// eOk when id is a live record of class cls that an entity of database db may refer to.
Acad::ErrorStatus checkRecord(const AcDbDatabase* db, AcDbObjectId id, const AcRxClass* cls) {
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    if (id.liveSlot() == nullptr) {
        return Acad::eStaleObjectId;
    }
    if (db != nullptr && id.database() != db) {
        return Acad::eWrongDatabase;
    }
    const AcRxClass* actual = id.objectClass();
    if (actual == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!actual->isDerivedFrom(cls)) {
        return Acad::eNotThatKindOfClass;
    }
    return id.isErased() ? Acad::eWasErased : Acad::eOk;
}

// The record the filer's resolver gives for a name the table lacks, or null.
AcDbObjectId resolveMissing(AcDbDxfFiler* filer, AcDbObjectId tableId, const std::wstring& name) {
    host::RecordResolver* resolver = filer->recordResolver();
    return resolver != nullptr ? resolver->missingRecord(tableId, name) : AcDbObjectId::kNull;
}

// The layer called name in db; when db lacks it, the filer's resolver decides, else it is added
// with default properties.
Acad::ErrorStatus layerForReading(AcDbDxfFiler* filer, AcDbDatabase* db, const std::wstring& name,
                                  AcDbObjectId& id) {
    if (findRecord(db->layerTableId(), name.c_str(), id) == Acad::eOk) {
        return Acad::eOk;
    }
    id = resolveMissing(filer, db->layerTableId(), name);
    if (!id.isNull()) {
        return Acad::eOk;
    }
    AcDbLayerTable* table = nullptr;
    Acad::ErrorStatus status = db->getLayerTable(table, AcDb::kForWrite);
    if (status != Acad::eOk) {
        return status;
    }
    auto* layer = new AcDbLayerTableRecord();
    status = layer->setName(name.c_str());
    if (status == Acad::eOk) {
        status = table->add(id, layer);
    }
    if (status == Acad::eOk) {
        layer->setLinetypeObjectId(db->continuousLinetype());
        layer->close();
    } else {
        delete layer;
    }
    table->close();
    return status;
}

}  // namespace

struct AcDbEntity::KeptGroups {
    host::DxfItemList items;
};

AcDbEntity::AcDbEntity() = default;
AcDbEntity::~AcDbEntity() = default;

namespace {

// The last kept item of code, or null.
const host::DxfItem* keptItem(const host::DxfItemList* items, int code) {
    if (items == nullptr) {
        return nullptr;
    }
    const auto found =
        std::find_if(items->rbegin(), items->rend(),
                     [code](const host::DxfItem& item) { return item.code == code; });
    return found != items->rend() ? &*found : nullptr;
}

}  // namespace

Adesk::Int16 AcDbEntity::lineWeight() const {
    assertReadEnabled();
    const host::DxfItem* weight = keptItem(m_kept ? &m_kept->items : nullptr, 370);
    const std::int64_t value = weight != nullptr ? weight->integer() : -1;
    return static_cast<Adesk::Int16>(value >= -3 && value <= 211 ? value : -1);
}

double AcDbEntity::linetypeScale() const {
    assertReadEnabled();
    const host::DxfItem* scale = keptItem(m_kept ? &m_kept->items : nullptr, 48);
    const double value = scale != nullptr ? scale->real() : 1.0;
    return std::isfinite(value) && value > 0 ? value : 1.0;
}

AcDbObjectId AcDbEntity::blockId() const {
    assertReadEnabled();
    return ownerId();
}

AcCmColor AcDbEntity::color() const {
    assertReadEnabled();
    return m_color;
}

Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& color, bool) {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_color = color;
    }
    return status;
}

Adesk::UInt16 AcDbEntity::colorIndex() const {
    assertReadEnabled();
    return m_color.colorIndex();
}

Acad::ErrorStatus AcDbEntity::setColorIndex(Adesk::UInt16 color, bool doSubents) {
    AcCmColor changed;
    const Acad::ErrorStatus status = changed.setColorIndex(color);
    return status == Acad::eOk ? setColor(changed, doSubents) : status;
}

std::wstring AcDbEntity::layer() const {
    assertReadEnabled();
    return recordName(m_layerId);
}

AcDbObjectId AcDbEntity::layerId() const {
    assertReadEnabled();
    return m_layerId;
}

Acad::ErrorStatus AcDbEntity::setLayer(const ACHAR* newVal, bool doSubents, bool allowHidden) {
    if (newVal == nullptr) {
        return Acad::eNullPtr;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    AcDbDatabase* db = lookupDatabase(this);
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    AcDbObjectId id;
    const Acad::ErrorStatus status = findRecord(db->layerTableId(), newVal, id);
    return status == Acad::eOk ? setLayer(id, doSubents, allowHidden) : status;
}

Acad::ErrorStatus AcDbEntity::setLayer(AcDbObjectId newVal, bool, bool) {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    Acad::ErrorStatus status = checkRecord(database(), newVal, AcDbLayerTableRecord::desc());
    if (status == Acad::eOk) {
        status = requireWrite();
    }
    if (status == Acad::eOk) {
        m_layerId = newVal;
    }
    return status;
}

std::wstring AcDbEntity::linetype() const {
    assertReadEnabled();
    return recordName(m_linetypeId);
}

AcDbObjectId AcDbEntity::linetypeId() const {
    assertReadEnabled();
    return m_linetypeId;
}

Acad::ErrorStatus AcDbEntity::setLinetype(const ACHAR* newVal, bool doSubents) {
    if (newVal == nullptr) {
        return Acad::eNullPtr;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    AcDbDatabase* db = lookupDatabase(this);
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    AcDbObjectId id;
    const Acad::ErrorStatus status = findRecord(db->linetypeTableId(), newVal, id);
    return status == Acad::eOk ? setLinetype(id, doSubents) : status;
}

Acad::ErrorStatus AcDbEntity::setLinetype(AcDbObjectId newVal, bool) {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    Acad::ErrorStatus status = checkRecord(database(), newVal, AcDbLinetypeTableRecord::desc());
    if (status == Acad::eOk) {
        status = requireWrite();
    }
    if (status == Acad::eOk) {
        m_linetypeId = newVal;
    }
    return status;
}

AcDb::Visibility AcDbEntity::visibility() const {
    assertReadEnabled();
    return m_visibility;
}

Acad::ErrorStatus AcDbEntity::setVisibility(AcDb::Visibility newVal, bool) {
    if (newVal != AcDb::kVisible && newVal != AcDb::kInvisible) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_visibility = newVal;
    }
    return status;
}

Acad::ErrorStatus AcDbEntity::setDatabaseDefaults(AcDbDatabase* db) {
    if (db == nullptr) {
        db = lookupDatabase(this);
    }
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_layerId = db->clayer();
        m_linetypeId = db->byLayerLinetype();
    }
    return status;
}

Acad::ErrorStatus AcDbEntity::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeHardPointerId(m_layerId);
    filer->writeHardPointerId(m_linetypeId);
    filer->writeUInt32(m_color.color());
    filer->writeInt16(static_cast<Adesk::Int16>(m_visibility));
    host::dwgOutGroups(filer, m_kept != nullptr ? m_kept->items : host::DxfItemList());
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbHardPointerId layerId;
    AcDbHardPointerId linetypeId;
    Adesk::UInt32 packed = 0;
    Adesk::Int16 visibility = 0;
    filer->readHardPointerId(&layerId);
    filer->readHardPointerId(&linetypeId);
    filer->readUInt32(&packed);
    filer->readInt16(&visibility);
    host::DxfItemList kept;
    host::dwgInGroups(filer, kept);
    AcCmColor color;
    if (filer->filerStatus() == Acad::eOk &&
        (color.setColor(packed) != Acad::eOk || (visibility != 0 && visibility != 1))) {
        filer->setFilerStatus(Acad::eFilerError);
    }
    if (filer->filerStatus() != Acad::eOk) {
        return filer->filerStatus();
    }
    m_layerId = layerId;
    m_linetypeId = linetypeId;
    m_kept = keptGroups<KeptGroups>(std::move(kept));
    m_color = color;
    m_visibility = static_cast<AcDb::Visibility>(visibility);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    const AcDbDatabase* db = m_linetypeId.database();
    filer->writeString(100, kSubclass);
    filer->writeString(kLayerCode, recordName(m_layerId));
    if (!m_linetypeId.isNull() && (db == nullptr || m_linetypeId != db->byLayerLinetype())) {
        filer->writeString(kLinetypeCode, recordName(m_linetypeId));
    }
    if (!m_color.isByLayer()) {
        filer->writeInt16(kColorCode, static_cast<Adesk::Int16>(m_color.colorIndex()));
    }
    if (m_color.isByColor()) {
        filer->writeInt32(kTrueColorCode, static_cast<Adesk::Int32>(m_color.color() & 0xFFFFFF));
    }
    if (m_visibility == AcDb::kInvisible) {
        filer->writeInt16(kVisibilityCode, 1);
    }
    if (m_kept != nullptr) {
        for (const host::DxfItem& item : m_kept->items) {
            filer->writeItem(item);
        }
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbEntity::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    AcDbDatabase* db = filer->database() != nullptr ? filer->database() : lookupDatabase(this);
    std::wstring layerName;
    std::wstring linetypeName;
    AcCmColor color;
    AcDb::Visibility visibility = AcDb::kVisible;
    host::DxfItemList kept;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        switch (item.code) {
            case kLayerCode:
                layerName = item.text();
                return true;
            case kLinetypeCode:
                linetypeName = item.text();
                return true;
            case kColorCode:
                if (!color.isByColor() &&
                    color.setColorIndex(static_cast<Adesk::UInt16>(item.integer())) != Acad::eOk) {
                    filer->setError(Acad::eInvalidInput, L"bad colour index %d",
                                    static_cast<int>(item.integer()));
                }
                return true;
            case kTrueColorCode:
                color.setRGB(static_cast<std::uint8_t>(item.integer() >> 16),
                             static_cast<std::uint8_t>(item.integer() >> 8),
                             static_cast<std::uint8_t>(item.integer()));
                return true;
            case kVisibilityCode:
                visibility = item.integer() != 0 ? AcDb::kInvisible : AcDb::kVisible;
                return true;
            default:
                if (isKeptCode(item.code)) {
                    kept.push_back(item);
                    return true;
                }
                return false;
        }
    });
    if (status != Acad::eOk) {
        return status;
    }
    AcDbObjectId layerId;
    AcDbObjectId linetypeId = db != nullptr ? db->byLayerLinetype() : AcDbObjectId::kNull;
    if (db != nullptr && !layerName.empty()) {
        status = layerForReading(filer, db, layerName, layerId);
        if (status != Acad::eOk) {
            return filer->setError(status, L"layer %s cannot be found or added", layerName.c_str());
        }
    }
    if (db != nullptr && !linetypeName.empty() &&
        findRecord(db->linetypeTableId(), linetypeName.c_str(), linetypeId) != Acad::eOk) {
        linetypeId = resolveMissing(filer, db->linetypeTableId(), linetypeName);
        if (linetypeId.isNull()) {
            return filer->setError(Acad::eKeyNotFound, L"unknown linetype %s",
                                   linetypeName.c_str());
        }
    }
    m_layerId = layerId;
    m_linetypeId = linetypeId;
    m_color = color;
    m_visibility = visibility;
    m_kept = keptGroups<KeptGroups>(std::move(kept));
    return Acad::eOk;
}
