// Selection names (database serial and handle) and the entity-data lists built from the
// objects' DXF filing.
#include "kestrel/host/db/ent_get.h"

#include <cwchar>

#include "host/db/object_store.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"

namespace {

// The object's entity-data list without XData; null when it cannot be opened or filed.
resbuf* entityData(const std::int64_t* ent, AcDbObjectId& id) {
    if (acdbGetObjectId(id, ent) != Acad::eOk) {
        return nullptr;
    }
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, id, AcDb::kForRead) != Acad::eOk) {
        return nullptr;
    }
    host::DxfResbufFiler filer(nullptr, id.database(), AcDb::kBagFiler);
    filer.writeObjectId(-1, id);
    const Acad::ErrorStatus status = object->dxfOut(&filer, false);
    object->close();
    return status == Acad::eOk ? filer.takeChain() : nullptr;
}

void appendChain(resbuf*& tail, resbuf* chain) {
    if (chain != nullptr) {
        tail->rbnext = chain;
        tail = acutRbChainLast(chain);
    }
}

}  // namespace

Acad::ErrorStatus acdbGetAdsName(std::int64_t* objName, AcDbObjectId objId) {
    if (objName == nullptr) {
        return Acad::eNullPtr;
    }
    if (objId.isNull()) {
        return Acad::eNullObjectId;
    }
    const host::ObjectSlot* slot = objId.liveSlot();
    if (slot == nullptr) {
        return Acad::eStaleObjectId;
    }
    objName[0] = static_cast<std::int64_t>(host::storeDatabase(slot->store)->serial());
    objName[1] = static_cast<std::int64_t>(slot->handle.value());
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& objId, const std::int64_t* objName) {
    if (objName == nullptr) {
        return Acad::eNullPtr;
    }
    const AcDbDatabase* db = host::databaseBySerial(static_cast<std::uint64_t>(objName[0]));
    const std::uint32_t slot =
        db != nullptr ? db->objectStore()->find(AcDbHandle(static_cast<std::uint64_t>(objName[1])))
                      : 0;
    if (slot == 0 || host::slotAt(slot).object == nullptr) {
        return Acad::eInvalidAdsName;
    }
    objId = host::idOf(slot);
    return Acad::eOk;
}

resbuf* acdbEntGet(const std::int64_t* ent) {
    AcDbObjectId id;
    return entityData(ent, id);
}

resbuf* acdbEntGetX(const std::int64_t* ent, const resbuf* apps) {
    AcDbObjectId id;
    resbuf* head = entityData(ent, id);
    if (head == nullptr || apps == nullptr) {
        return head;
    }
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, id, AcDb::kForRead) != Acad::eOk) {
        acutRelRb(head);
        return nullptr;
    }
    resbuf* tail = acutRbChainLast(head);
    appendChain(tail, acutNewRb(-3));
    for (const resbuf* app = apps; app != nullptr; app = app->rbnext) {
        if (groupValueClass(app->restype) != GroupValueClass::kText ||
            app->resval.rstring == nullptr) {
            continue;
        }
        const bool all = std::wcscmp(app->resval.rstring, L"*") == 0;
        appendChain(tail, object->xData(all ? nullptr : app->resval.rstring));
        if (all) {
            break;
        }
    }
    object->close();
    return head;
}
