// The slot pool, per-database object stores, their numbers and the registry of live databases.
#include "host/db/object_store.h"

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <utility>

#include "host/db/object_access.h"
#include "kestrel/host/db/object.h"

namespace host {
namespace {

struct DatabaseRegistry {
    std::uint64_t nextSerial = 1;
    std::unordered_map<std::uint64_t, AcDbDatabase*> bySerial;
};

DatabaseRegistry& registry() {
    static auto* instance = new DatabaseRegistry();
    return *instance;
}

// The database of each store by number (0 unused); numbers of dead stores are reused.
struct StoreNumbers {
    std::vector<AcDbDatabase*> databases{nullptr};
    std::vector<std::uint32_t> free;

    std::uint32_t take(AcDbDatabase* database) {
        if (free.empty()) {
            databases.push_back(database);
            return static_cast<std::uint32_t>(databases.size() - 1);
        }
        const std::uint32_t number = free.back();
        free.pop_back();
        databases[number] = database;
        return number;
    }

    void give(std::uint32_t number) {
        databases[number] = nullptr;
        free.push_back(number);
    }
};

StoreNumbers& storeNumbers() {
    static auto* instance = new StoreNumbers();
    return *instance;
}

}  // namespace

std::uint32_t SlotPool::acquire() {
    if (!m_free.empty()) {
        const std::uint32_t number = m_free.back();
        m_free.pop_back();
        return number;
    }
    if ((m_next >> kChunkBits) == m_chunks.size()) {
        m_chunks.push_back(std::make_unique<ObjectSlot[]>(std::size_t{kChunkMask} + 1));
    }
    return m_next++;
}

void SlotPool::release(std::uint32_t number) {
    ObjectSlot& slot = at(number);
    ++slot.generation;
    slot.object = nullptr;
    slot.store = 0;
    slot.handle.setNull();
    m_free.push_back(number);
}

AcDbDatabase* storeDatabase(std::uint32_t store) {
    return storeNumbers().databases[store];
}

std::size_t HandleIndex::placeOf(std::uint64_t handle) const {
    std::size_t at = handlePlace(handle, m_table.size());
    const std::uint32_t tag = tagOf(handle);
    SlotPool& pool = slotPool();
    for (;; at = nextHandlePlace(at, m_table.size())) {
        const Place& place = m_table[at];
        if (place.number == 0 ||
            (place.tag == tag && pool.at(place.number).handle.value() == handle)) {
            return at;
        }
    }
}

std::uint32_t HandleIndex::find(std::uint64_t handle) const {
    return m_table.empty() ? 0 : m_table[placeOf(handle)].number;
}

void HandleIndex::insert(std::uint32_t number) {
    if (2 * (m_count + 1) > m_table.size()) {
        grow();
    }
    const std::uint64_t handle = slotAt(number).handle.value();
    m_table[placeOf(handle)] = Place{number, tagOf(handle)};
    ++m_count;
}

void HandleIndex::grow() {
    std::vector<Place> old(std::max<std::size_t>(64, 2 * m_table.size()));
    old.swap(m_table);
    for (const Place& place : old) {
        if (place.number != 0) {
            m_table[placeOf(slotAt(place.number).handle.value())] = place;
        }
    }
}

void HandleIndex::swap(HandleIndex& other) noexcept {
    m_table.swap(other.m_table);
    std::swap(m_count, other.m_count);
}

ObjectStore::ObjectStore(AcDbDatabase* database) : m_number(storeNumbers().take(database)) {}

ObjectStore::~ObjectStore() {
    for (std::uint32_t number : m_slots) {
        slotPool().release(number);
    }
    storeNumbers().give(m_number);
}

std::uint32_t ObjectStore::newSlot(AcDbHandle handle) {
    const std::uint32_t number = slotPool().acquire();
    ObjectSlot& slot = slotAt(number);
    slot.store = m_number;
    slot.handle = handle;
    m_slots.push_back(number);
    m_byHandle.insert(number);
    m_nextHandle = std::max(m_nextHandle, handle.value() + 1);
    return number;
}

Acad::ErrorStatus ObjectStore::add(AcDbObject* object, AcDbHandle handle, std::uint32_t& slot) {
    if (handle.isNull() && m_nextPreset < m_presetHandles.size()) {
        handle = m_presetHandles[m_nextPreset++];
    }
    if (handle.isNull()) {
        if (m_seedOnDemand) {
            raiseHandseed(std::exchange(m_seedOnDemand, nullptr)());
        }
        handle = AcDbHandle(m_nextHandle);
    } else if (handle.value() == kLastHandle) {
        return Acad::eInvalidInput;
    }
    const std::uint32_t existing = find(handle);
    if (existing != 0 && slotAt(existing).object != nullptr) {
        return Acad::eHandleInUse;
    }
    slot = existing != 0 ? existing : newSlot(handle);
    slotAt(slot).object = object;
    return Acad::eOk;
}

std::uint32_t ObjectStore::find(AcDbHandle handle) const {
    return m_byHandle.find(handle.value());
}

AcDbObject* ObjectStore::objectOf(AcDbHandle handle) const {
    const std::uint32_t number = find(handle);
    return number != 0 ? slotAt(number).object : nullptr;
}

std::uint32_t ObjectStore::reserve(AcDbHandle handle) {
    if (handle.isNull() || handle.value() == kLastHandle) {
        return 0;
    }
    const std::uint32_t number = find(handle);
    return number != 0 ? number : newSlot(handle);
}

void ObjectStore::destroyObjects() {
    m_open.clear();
    for (auto it = m_slots.rbegin(); it != m_slots.rend(); ++it) {
        AcDbObject* object = std::exchange(slotAt(*it).object, nullptr);
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

void ObjectStore::raiseHandseedOnDemand(std::function<AcDbHandle()> seed) {
    m_seedOnDemand = std::move(seed);
}

void ObjectStore::placeFirst(const std::vector<std::uint32_t>& slots) {
    std::vector<std::uint32_t> order;
    order.reserve(m_slots.size());
    std::vector<bool> placed(slotPool().limit());
    const std::vector<std::uint32_t>* lists[] = {&slots, &m_slots};
    for (const std::vector<std::uint32_t>* list : lists) {
        for (std::uint32_t number : *list) {
            if (!placed[number]) {
                placed[number] = true;
                order.push_back(number);
            }
        }
    }
    m_slots = std::move(order);
}

void ObjectStore::swapContents(ObjectStore& other) {
    m_byHandle.swap(other.m_byHandle);
    std::swap(m_slots, other.m_slots);
    std::swap(m_nextHandle, other.m_nextHandle);
    for (std::uint32_t number : m_slots) {
        slotAt(number).store = m_number;
    }
    for (std::uint32_t number : other.m_slots) {
        slotAt(number).store = other.m_number;
    }
}

// Each open object keeps its place in the list plus one (0: not listed), so taking one out
// moves the last into its place.
void ObjectStore::linkOpen(AcDbObject* object) {
    m_open.push_back(object);
    ObjectAccess::state(object).openPlace = static_cast<std::uint32_t>(m_open.size());
}

void ObjectStore::unlinkOpen(AcDbObject* object) {
    ObjectState& state = ObjectAccess::state(object);
    if (state.openPlace == 0) {
        return;
    }
    AcDbObject* last = m_open.back();
    m_open[state.openPlace - 1] = last;
    ObjectAccess::state(last).openPlace = state.openPlace;
    m_open.pop_back();
    state.openPlace = 0;
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
