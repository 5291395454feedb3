// AcDbObjectId: queries that go through the slot, each safe on null and stale ids.
#include "host/db/object_id.h"

#include "host/db/object.h"
#include "host/db/object_store.h"

host::ObjectSlot* AcDbObjectId::liveSlot() const {
    if (m_slot == nullptr || m_slot->generation != m_generation || m_slot->database == nullptr) {
        return nullptr;
    }
    return m_slot;
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
    return slot != nullptr ? slot->database : nullptr;
}

AcRxClass* AcDbObjectId::objectClass() const {
    const host::ObjectSlot* slot = liveSlot();
    return slot != nullptr && slot->object != nullptr ? slot->object->isA() : nullptr;
}
