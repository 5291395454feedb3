// The slot pool, per-database object stores and the registry of live databases.
#include "host/db/object_store.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <unordered_map>
#include <utility>

#include "host/db/object.h"
#include "host/db/object_access.h"

namespace host {
namespace {

// Slots come in chunks that are never freed, so an id can always read its slot's generation.
class SlotPool {
public:
    ObjectSlot* acquire() {
        if (m_free == nullptr) {
            grow();
        }
        ObjectSlot* slot = m_free;
        m_free = slot->nextFree;
        slot->nextFree = nullptr;
        return slot;
    }

    void release(ObjectSlot* slot) {
        ++slot->generation;
        slot->object = nullptr;
        slot->database = nullptr;
        slot->handle.setNull();
        slot->nextFree = m_free;
        m_free = slot;
    }

private:
    static constexpr std::size_t kChunk = 4096;

    void grow() {
        m_chunks.push_back(std::make_unique<ObjectSlot[]>(kChunk));
        ObjectSlot* chunk = m_chunks.back().get();
        for (std::size_t i = kChunk; i-- > 0;) {
            chunk[i].nextFree = m_free;
            m_free = &chunk[i];
        }
    }

    std::vector<std::unique_ptr<ObjectSlot[]>> m_chunks;
    ObjectSlot* m_free = nullptr;
};

SlotPool& pool() {
    // Never destroyed: ids held by statics must stay checkable during process exit.
    static auto* instance = new SlotPool();
    return *instance;
}

struct DatabaseRegistry {
    std::uint64_t nextSerial = 1;
    std::unordered_map<std::uint64_t, AcDbDatabase*> bySerial;
};

DatabaseRegistry& registry() {
    static auto* instance = new DatabaseRegistry();
    return *instance;
}

}  // namespace

std::size_t HandleIndex::placeOf(std::uint64_t handle) const {
    const std::size_t mask = m_table.size() - 1;
    // Handles are mostly given out in sequence: the low bits place them in sequence, which keeps
    // neighbours together with no collisions among them; the bits above the table's size are
    // mixed in, so that handles spaced by a power of two do not pile up on one place.
    const std::uint64_t high = handle >> std::countr_zero(m_table.size());
    std::size_t at = static_cast<std::size_t>(handle + high * 0x9E3779B97F4A7C15ull) & mask;
    while (m_table[at] != nullptr && m_table[at]->handle.value() != handle) {
        at = (at + 1) & mask;
    }
    return at;
}

ObjectSlot* HandleIndex::find(std::uint64_t handle) const {
    return m_table.empty() ? nullptr : m_table[placeOf(handle)];
}

void HandleIndex::insert(ObjectSlot* slot) {
    if (2 * (m_count + 1) > m_table.size()) {
        grow();
    }
    m_table[placeOf(slot->handle.value())] = slot;
    ++m_count;
}

void HandleIndex::grow() {
    std::vector<ObjectSlot*> old(std::max<std::size_t>(64, 2 * m_table.size()), nullptr);
    old.swap(m_table);
    for (ObjectSlot* slot : old) {
        if (slot != nullptr) {
            m_table[placeOf(slot->handle.value())] = slot;
        }
    }
}

void HandleIndex::swap(HandleIndex& other) noexcept {
    m_table.swap(other.m_table);
    std::swap(m_count, other.m_count);
}

ObjectStore::~ObjectStore() {
    for (ObjectSlot* slot : m_slots) {
        pool().release(slot);
    }
}

ObjectSlot* ObjectStore::newSlot(AcDbHandle handle) {
    ObjectSlot* slot = pool().acquire();
    slot->database = m_database;
    slot->handle = handle;
    m_slots.push_back(slot);
    m_byHandle.insert(slot);
    m_nextHandle = std::max(m_nextHandle, handle.value() + 1);
    return slot;
}

Acad::ErrorStatus ObjectStore::add(AcDbObject* object, AcDbHandle handle, ObjectSlot*& slot) {
    if (handle.isNull() && m_nextPreset < m_presetHandles.size()) {
        handle = m_presetHandles[m_nextPreset++];
    }
    if (handle.isNull()) {
        handle = AcDbHandle(m_nextHandle);
    } else if (handle.value() == kLastHandle) {
        return Acad::eInvalidInput;
    }
    ObjectSlot* existing = find(handle);
    if (existing != nullptr && existing->object != nullptr) {
        return Acad::eHandleInUse;
    }
    slot = existing != nullptr ? existing : newSlot(handle);
    slot->object = object;
    return Acad::eOk;
}

ObjectSlot* ObjectStore::find(AcDbHandle handle) const {
    return m_byHandle.find(handle.value());
}

ObjectSlot* ObjectStore::reserve(AcDbHandle handle) {
    if (handle.isNull() || handle.value() == kLastHandle) {
        return nullptr;
    }
    ObjectSlot* slot = find(handle);
    return slot != nullptr ? slot : newSlot(handle);
}

void ObjectStore::destroyObjects() {
    m_openHead = nullptr;
    for (auto it = m_slots.rbegin(); it != m_slots.rend(); ++it) {
        AcDbObject* object = std::exchange((*it)->object, nullptr);
        delete object;
    }
}

void ObjectStore::presetHandles(std::vector<AcDbHandle> handles) {
    m_presetHandles = std::move(handles);
    m_nextPreset = 0;
}

void ObjectStore::clearPresetHandles() {
    m_presetHandles.clear();
    m_nextPreset = 0;
}

void ObjectStore::raiseHandseed(AcDbHandle seed) {
    m_nextHandle = std::max(m_nextHandle, seed.value());
}

void ObjectStore::swapContents(ObjectStore& other) {
    m_byHandle.swap(other.m_byHandle);
    std::swap(m_slots, other.m_slots);
    std::swap(m_nextHandle, other.m_nextHandle);
    for (ObjectSlot* slot : m_slots) {
        slot->database = m_database;
    }
    for (ObjectSlot* slot : other.m_slots) {
        slot->database = other.m_database;
    }
}

void ObjectStore::linkOpen(AcDbObject* object) {
    ObjectState& state = ObjectAccess::state(object);
    state.openPrev = nullptr;
    state.openNext = m_openHead;
    if (m_openHead != nullptr) {
        ObjectAccess::state(m_openHead).openPrev = object;
    }
    m_openHead = object;
}

void ObjectStore::unlinkOpen(AcDbObject* object) {
    ObjectState& state = ObjectAccess::state(object);
    if (state.openPrev != nullptr) {
        ObjectAccess::state(state.openPrev).openNext = state.openNext;
    } else if (m_openHead == object) {
        m_openHead = state.openNext;
    }
    if (state.openNext != nullptr) {
        ObjectAccess::state(state.openNext).openPrev = state.openPrev;
    }
    state.openPrev = nullptr;
    state.openNext = nullptr;
}

std::uint64_t registerDatabase(AcDbDatabase* database) {
    const std::uint64_t serial = registry().nextSerial++;
    registry().bySerial.emplace(serial, database);
    return serial;
}

void unregisterDatabase(std::uint64_t serial) {
    registry().bySerial.erase(serial);
}

AcDbDatabase* databaseBySerial(std::uint64_t serial) {
    auto found = registry().bySerial.find(serial);
    return found != registry().bySerial.end() ? found->second : nullptr;
}

std::vector<AcDbDatabase*> liveDatabases() {
    std::vector<std::pair<std::uint64_t, AcDbDatabase*>> entries(registry().bySerial.begin(),
                                                                 registry().bySerial.end());
    std::sort(entries.begin(), entries.end());
    std::vector<AcDbDatabase*> databases;
    for (const auto& entry : entries) {
        databases.push_back(entry.second);
    }
    return databases;
}

}  // namespace host
