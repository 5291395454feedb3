// AcDbObjectId: queries that go through the slot, each safe on null and stale ids.
#include "kestrel/host/db/object_id.h"

#include "host/db/object_store.h"
#include "kestrel/host/db/object.h"

host::ObjectSlot* AcDbObjectId::liveSlot() const {
    host::SlotPool& pool = host::slotPool();
    if (!pool.has(m_slot)) {
        return nullptr;
    }
    host::ObjectSlot& slot = pool.at(m_slot);
    return slot.generation == m_generation && slot.store != 0 ? &slot : nullptr;
}

bool AcDbObjectId::isValid() const {
    const host::ObjectSlot* slot = liveSlot();
    return slot != nullptr && slot->object != nullptr;
}

bool AcDbObjectId::isErased() const {
    const host::ObjectSlot* slot = liveSlot();
    return slot != nullptr && slot->object != nullptr && slot->object->isErased();
}

AcDbHandle AcDbObjectId::handle() const {
    const host::ObjectSlot* slot = liveSlot();
    return slot != nullptr ? slot->handle : AcDbHandle();
}

AcDbDatabase* AcDbObjectId::database() const {
    const host::ObjectSlot* slot = liveSlot();
    return slot != nullptr ? host::storeDatabase(slot->store) : nullptr;
}

AcRxClass* AcDbObjectId::objectClass() const {
    const host::ObjectSlot* slot = liveSlot();
    return slot != nullptr && slot->object != nullptr ? slot->object->isA() : nullptr;
}
