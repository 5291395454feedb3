// Layers of the working database: the layer table's members, which open the table per call, and
// the layer record pointer's members.
#include "kestrel/drawing/layer_table_ptr.h"

#include <memory>

#include "drawing/symbol_records.h"
#include "kestrel/drawing/symbol_table_ptrs.h"
#include "kestrel/host/app/system_variables.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/platform/wide_runtime.h"

namespace {

constexpr wchar_t kCurrentLayerVariable[] = L"CLAYER";
constexpr wchar_t kContinuous[] = L"Continuous";
constexpr wchar_t kContinuousUpper[] = L"CONTINUOUS";

// The object as the record pointer holds it. Another kind of object is kept at its own address:
// the host's objects derive from AcDbObject alone, so the AcDbObject members the pointer uses
// (objectId, erase, close, upgradeOpen, downgradeOpen) reach it unchanged.
AcDbLayerTableRecord* asRecord(AcDbObject* object) {
    AcDbLayerTableRecord* record = AcDbLayerTableRecord::cast(object);
    return record != nullptr || object == nullptr ? record
                                                  : reinterpret_cast<AcDbLayerTableRecord*>(object);
}

}  // namespace

// --- CVLKCLayerPtr ---------------------------------------------------------------------------

CVLKCLayerPtr::CVLKCLayerPtr(const AcDbObjectId& id, AcDb::OpenMode mode) {
    open(id, mode);
}

CVLKCLayerPtr::CVLKCLayerPtr(const wchar_t* name, AcDb::OpenMode mode) {
    open(name, mode);
}

bool CVLKCLayerPtr::open(const AcDbObjectId& id, AcDb::OpenMode mode) {
    m_mode = mode;
    AcDbObject* opened = nullptr;
    m_status = acdbOpenAcDbObject(opened, id, mode, false);
    m_object = asRecord(opened);
    return m_status == Acad::eOk;
}

bool CVLKCLayerPtr::open(const wchar_t* name, AcDb::OpenMode mode) {
    m_mode = mode;
    CVLKCLayerTablePtr table;
    AcDbObjectId id;
    if (!table.getLayerObjectId(name, id)) {
        m_status = table.status() != Acad::eOk ? table.status() : Acad::eKeyNotFound;
        return false;
    }
    return open(id, mode);
}

AcDbObjectId CVLKCLayerPtr::getId() {
    if (m_object == nullptr) {
        return AcDbObjectId::kNull;
    }
    const bool lowered = lower();
    const AcDbObjectId id = m_object->objectId();
    if (lowered) {
        upgradeOpen();
    }
    return id;
}

int CVLKCLayerPtr::getAllEntity(AcDbObjectIdArray& ids) {
    if (m_object == nullptr) {
        ids.removeAll();
        return 0;
    }
    AcDbBlockTable* blocks = nullptr;
    m_status = kestrel::openWorkingTable(blocks, AcDb::kForRead);
    if (m_status != Acad::eOk) {
        return 0;
    }
    AcDbBlockTableIterator* rawBlocks = nullptr;
    m_status = blocks->newIterator(rawBlocks, true, true);
    blocks->close();
    const std::unique_ptr<AcDbBlockTableIterator> blockIterator(rawBlocks);
    if (m_status != Acad::eOk || blockIterator == nullptr) {
        return 0;
    }
    ids.removeAll();
    const AcDbObjectId layerId = getId();
    for (; !blockIterator->done(); blockIterator->step(true, true)) {
        AcDbBlockTableRecord* block = nullptr;
        m_status = blockIterator->getRecord(block, AcDb::kForRead, false);
        if (block == nullptr) {
            continue;
        }
        AcDbBlockTableRecordIterator* rawEntities = nullptr;
        m_status = block->newIterator(rawEntities, true, true);
        block->close();
        const std::unique_ptr<AcDbBlockTableRecordIterator> entities(rawEntities);
        if (m_status != Acad::eOk || entities == nullptr) {
            break;
        }
        for (; !entities->done(); entities->step(true, true)) {
            AcDbEntity* entity = nullptr;
            m_status = entities->getEntity(entity, AcDb::kForRead, false);
            if (entity == nullptr) {
                continue;
            }
            if (!entity->isErased() && entity->layerId() == layerId) {
                ids.append(entity->objectId());
            }
            entity->close();
        }
    }
    return ids.length();
}

bool CVLKCLayerPtr::moveEntityToLayer(const AcDbObjectId& entityId) {
    if (m_object == nullptr) {
        m_status = Acad::eNullObjectPointer;
        return false;
    }
    CxPtr<AcDbEntity> entity(entityId, AcDb::kForWrite);
    m_status = entity.status();
    return entity != nullptr && putOnLayer(*entity) == Acad::eOk;
}

bool CVLKCLayerPtr::moveEntityToLayer(const AcDbObjectIdArray& entityIds) {
    if (m_object == nullptr) {
        m_status = Acad::eNullObjectPointer;
        return false;
    }
    Acad::ErrorStatus last = m_status;
    for (const AcDbObjectId& entityId : entityIds) {
        CxPtr<AcDbEntity> entity(entityId, AcDb::kForWrite);
        last = m_status = entity.status();
        if (entity != nullptr) {
            last = putOnLayer(*entity);
        }
        if (last != Acad::eOk) {
            break;
        }
    }
    return last == Acad::eOk;
}

void CVLKCLayerPtr::hold(AcDbLayerTableRecord* record) {
    m_object = record;
    // The host answers eWasOpenForWrite, which records write mode.
    upgradeOpen();
}

Acad::ErrorStatus CVLKCLayerPtr::putOnLayer(AcDbEntity& entity) {
    const bool lowered = lower();
    const Acad::ErrorStatus moved = entity.setLayer(m_object->objectId(), true, false);
    m_status = moved;
    if (lowered) {
        upgradeOpen();
    }
    return moved;
}

bool CVLKCLayerPtr::lower() {
    if (m_mode != AcDb::kForWrite) {
        return false;
    }
    downgradeOpen();
    return true;
}

// --- CVLKCLayerTablePtr ----------------------------------------------------------------------

bool CVLKCLayerTablePtr::createLayer(const wchar_t* name, CVLKCLayerPtr& layer, bool makeCurrent) {
    AcDbLayerTable* table = nullptr;
    m_status = kestrel::openWorkingTable(table, AcDb::kForWrite);
    if (m_status != Acad::eOk) {
        return false;
    }
    if (name == nullptr) {
        table->close();
        m_status = Acad::eNullPtr;
        return false;
    }
    bool held = false;
    if (table->has(name)) {
        table->close();
        held = layer.open(name, AcDb::kForWrite);
    } else {
        held = addLayer(*table, name, layer);
        table->close();
    }
    return held && makeCurrent ? setCurrent(name) : held;
}

bool CVLKCLayerTablePtr::createLayer(const wchar_t* name, int colour, bool makeCurrent,
                                     const wchar_t* linetype, bool off, bool frozen, bool locked) {
    CVLKCLayerPtr layer;
    if (!createLayer(name, layer, makeCurrent) || layer == nullptr) {
        return false;
    }
    if (colour >= 1 && colour <= 255) {
        AcCmColor color;
        color.setColorIndex(static_cast<std::uint16_t>(colour));
        layer->setColor(color);
    }
    layer->setIsOff(off);
    layer->setIsFrozen(frozen);
    layer->setIsLocked(locked);
    if (linetype != nullptr && _wcsicmp(linetype, kContinuous) != 0) {
        setLinetype(*layer, linetype);
    }
    return true;
}

bool CVLKCLayerTablePtr::deleteLayer(const AcDbObjectId& layerId) {
    CVLKCLayerPtr layer;
    const bool opened = layer.open(layerId, AcDb::kForWrite);
    m_status = layer.status();
    if (!opened) {
        return false;
    }
    AcDbObjectIdArray entityIds;
    layer.getAllEntity(entityIds);
    for (const AcDbObjectId& entityId : entityIds) {
        CxPtr<AcDbEntity> entity(entityId, AcDb::kForWrite);
        if (entity != nullptr) {
            entity->erase(true);
        }
    }
    m_status = layer->erase(true);
    return m_status == Acad::eOk;
}

bool CVLKCLayerTablePtr::deleteLayer(const wchar_t* name) {
    AcDbObjectId layerId;
    AcDbLayerTable* table = nullptr;
    m_status = kestrel::openWorkingTable(table, AcDb::kForRead);
    if (m_status == Acad::eOk) {
        lookUp(*table, name, layerId);
        table->close();
    }
    return deleteLayer(layerId);
}

AcDbObjectId CVLKCLayerTablePtr::getCurrent() {
    CString name;
    AcDbObjectId layerId;
    if (currentLayerName(name)) {
        getLayerObjectId(name, layerId);
    }
    return layerId;
}

bool CVLKCLayerTablePtr::getCurrent(CString& name) {
    CString value;
    AcDbObjectId layerId;
    if (currentLayerName(value)) {
        AcDbLayerTable* table = nullptr;
        m_status = kestrel::openWorkingTable(table, AcDb::kForRead);
        if (m_status == Acad::eOk) {
            lookUp(*table, value, layerId);
            table->close();
        }
    }
    m_status = kestrel::recordName(layerId, name);
    return m_status == Acad::eOk;
}

bool CVLKCLayerTablePtr::setCurrent(const wchar_t* name) {
    AcDbLayerTable* table = nullptr;
    m_status = kestrel::openWorkingTable(table, AcDb::kForRead);
    if (m_status != Acad::eOk) {
        return false;
    }
    const bool found = name != nullptr && table->has(name);
    if (found) {
        resbuf value{};
        value.restype = RTSTR;
        value.resval.rstring = const_cast<wchar_t*>(name);
        acedSetVar(kCurrentLayerVariable, &value);
    }
    table->close();
    return found;
}

bool CVLKCLayerTablePtr::setCurrent(const AcDbObjectId& layerId) {
    CString name;
    m_status = kestrel::recordName(layerId, name);
    return m_status == Acad::eOk && setCurrent(name);
}

bool CVLKCLayerTablePtr::getLayer(const wchar_t* name, CVLKCLayerPtr& layer) {
    return layer.open(name, AcDb::kForRead);
}

bool CVLKCLayerTablePtr::getLayer(const AcDbObjectId& layerId, CVLKCLayerPtr& layer) {
    return layer.open(layerId, AcDb::kForRead);
}

bool CVLKCLayerTablePtr::getLayerName(const AcDbObjectId& layerId, CString& name) {
    m_status = kestrel::recordName(layerId, name);
    return m_status == Acad::eOk;
}

bool CVLKCLayerTablePtr::getLayerObjectId(const wchar_t* name, AcDbObjectId& id) {
    AcDbLayerTable* table = nullptr;
    m_status = kestrel::openWorkingTable(table, AcDb::kForRead);
    if (m_status != Acad::eOk) {
        return false;
    }
    const bool found = lookUp(*table, name, id);
    table->close();
    return found;
}

int CVLKCLayerTablePtr::allLayerNames(CStringArray& names) {
    AcDbLayerTable* table = nullptr;
    m_status = kestrel::openWorkingTable(table, AcDb::kForRead);
    if (m_status != Acad::eOk) {
        return 0;
    }
    const int count = kestrel::recordNames(*table, m_status, names, kestrel::NameRead::kTrusted);
    table->close();
    return count;
}

int CVLKCLayerTablePtr::allLayerObjectIds(AcDbObjectIdArray& ids) {
    AcDbLayerTable* table = nullptr;
    m_status = kestrel::openWorkingTable(table, AcDb::kForRead);
    if (m_status != Acad::eOk) {
        return 0;
    }
    const int count = kestrel::recordIds(*table, m_status, ids);
    table->close();
    return count;
}

bool CVLKCLayerTablePtr::lookUp(const AcDbLayerTable& table, const wchar_t* name,
                                AcDbObjectId& id) {
    if (name == nullptr || !table.has(name)) {
        return false;
    }
    m_status = table.getAt(name, id, false);
    return m_status == Acad::eOk;
}

bool CVLKCLayerTablePtr::addLayer(AcDbLayerTable& table, const wchar_t* name,
                                  CVLKCLayerPtr& layer) {
    auto record = std::make_unique<AcDbLayerTableRecord>();
    m_status = record->setName(name);
    if (m_status != Acad::eOk) {
        return false;
    }
    m_status = table.add(record.get());
    if (m_status != Acad::eOk) {
        return false;
    }
    layer.hold(record.release());
    return true;
}

void CVLKCLayerTablePtr::setLinetype(AcDbLayerTableRecord& record, const wchar_t* linetype) {
    AcDbObjectId linetypeId;
    {
        CVLKCLinetypeTablePtr linetypes;
        if (linetypes.getId(linetype, linetypeId) != Acad::eOk) {
            linetypes.getId(kContinuousUpper, linetypeId);
        }
    }
    record.setLinetypeObjectId(linetypeId);
}

bool CVLKCLayerTablePtr::currentLayerName(CString& name) {
    resbuf value{};
    if (acedGetVar(kCurrentLayerVariable, &value) != RTNORM) {
        return false;
    }
    const bool text = value.restype == RTSTR && value.resval.rstring != nullptr;
    if (text) {
        name = value.resval.rstring;
        acutDelString(value.resval.rstring);
    }
    return text;
}
