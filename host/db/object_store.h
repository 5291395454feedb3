// Host internals of the object store: slots (object, database, handle, generation), the process's
// slot pool, each database's handle map and list of open objects, and the registry of live
// databases. Used by the database, object, opening, undo and harness code only. Everything here
// runs on the application thread; nothing is locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "kestrel/host/db/handle.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDatabase;
class AcDbObject;

namespace host {

// What an id names. A slot stays with its database until the database dies; the pool then
// recycles it with the next generation, which turns every id of the old generation stale. Slots
// are numbered from 1 (0 is the null id) and never move, so a slot pointer stays good as long as
// the process.
struct ObjectSlot {
    AcDbObject* object = nullptr;  // null while the handle is only reserved
    AcDbHandle handle;
    std::uint32_t generation = 1;
    std::uint32_t store = 0;  // the number of the database's store; 0 while the slot is free
};

// The process's slots, in chunks that are never freed, so an id can always read its slot's
// generation.
class SlotPool {
public:
    static constexpr int kChunkBits = 12;
    static constexpr std::uint32_t kChunkMask = (1u << kChunkBits) - 1;

    // Slot number number, which the pool has given out before.
    ObjectSlot& at(std::uint32_t number) {
        return m_chunks[number >> kChunkBits][number & kChunkMask];
    }
    // True for numbers the pool has given out, 0 excluded.
    bool has(std::uint32_t number) const { return number != 0 && number < m_next; }
    // One past the highest number given out.
    std::uint32_t limit() const { return m_next; }
    // A free slot's number, a recycled one first.
    std::uint32_t acquire();
    // Frees the slot (next generation, no object, no store).
    void release(std::uint32_t number);

private:
    std::vector<std::unique_ptr<ObjectSlot[]>> m_chunks;
    std::vector<std::uint32_t> m_free;
    std::uint32_t m_next = 1;
};

// The pool, never destroyed: ids held by statics must stay checkable during process exit.
inline SlotPool& slotPool() {
    static SlotPool* const pool = new SlotPool();
    return *pool;
}

// Slot number number, which must have been given out.
inline ObjectSlot& slotAt(std::uint32_t number) {
    return slotPool().at(number);
}

// The id of live slot number number.
inline AcDbObjectId idOf(std::uint32_t number) {
    return AcDbObjectId(number, slotAt(number).generation);
}

// The database whose store numbered store holds a slot; null for 0 (a free slot).
AcDbDatabase* storeDatabase(std::uint32_t store);

// One database's slots by handle: an open-addressed table of slot numbers keyed by the slots'
// own handles, at most half full. Insert-only, like the store: no allocation per slot and no
// node per entry.
class HandleIndex {
public:
    // The number of the slot of handle, or 0.
    std::uint32_t find(std::uint64_t handle) const;
    // Adds slot number, whose handle the index must not hold yet.
    void insert(std::uint32_t number);
    void swap(HandleIndex& other) noexcept;

private:
    // A slot number with the low half of its handle: a search passes places of other handles
    // without reading their slots, which lie anywhere in the pool.
    struct Place {
        std::uint32_t number = 0;  // 0: empty
        std::uint32_t tag = 0;
    };

    static std::uint32_t tagOf(std::uint64_t handle) { return static_cast<std::uint32_t>(handle); }
    // The place of handle, or the empty place where it goes.
    std::size_t placeOf(std::uint64_t handle) const;
    void grow();

    std::vector<Place> m_table;
    std::size_t m_count = 0;
};

// One database's objects: the handle index, every slot in creation order, the open objects.
// Slots are handed around by number.
class ObjectStore {
public:
    explicit ObjectStore(AcDbDatabase* database);
    // Returns every slot to the pool; objects must have been destroyed (destroyObjects).
    ~ObjectStore();

    ObjectStore(const ObjectStore&) = delete;
    ObjectStore& operator=(const ObjectStore&) = delete;

    // The one handle value never given out, so the next handle always exists.
    static constexpr std::uint64_t kLastHandle = ~std::uint64_t{0};

    // A slot for object under handle (a new handle when null); eHandleInUse when another object
    // holds the handle, eInvalidInput for kLastHandle. A reserved empty slot is filled.
    Acad::ErrorStatus add(AcDbObject* object, AcDbHandle handle, std::uint32_t& slot);
    // The slot number of handle, or 0.
    std::uint32_t find(AcDbHandle handle) const;
    // The object of handle, or null (none, or the handle is only reserved).
    AcDbObject* objectOf(AcDbHandle handle) const;
    // The slot number of handle, reserving an empty slot when there is none; 0 for the null
    // handle and kLastHandle.
    std::uint32_t reserve(AcDbHandle handle);
    AcDbHandle handseed() const { return AcDbHandle(m_nextHandle); }
    std::size_t size() const { return m_slots.size(); }
    // Every slot number in creation order (reserved empty ones included); invalidated by
    // add/reserve.
    const std::vector<std::uint32_t>& slots() const { return m_slots; }

    // Destroys every object (creation order reversed); their slots stay until the store dies.
    void destroyObjects();

    // Host use (file reading): the next objects added without a handle take these handles, in
    // order, instead of new ones, so that objects their owners create on being added (vertices,
    // sequence ends) keep the handles a file gave them. Cleared by clearPresetHandles.
    void presetHandles(std::vector<AcDbHandle> handles);
    void clearPresetHandles();
    // Raises the next handle given out to at least seed (never lowers it).
    void raiseHandseed(AcDbHandle seed);
    // Host use (file reading): the first time add gives out a new handle, the seed is raised to
    // what seed() answers, so that the new handle stays clear of handles the file has not yet
    // reserved; asked once at most. An empty function withdraws it.
    void raiseHandseedOnDemand(std::function<AcDbHandle()> seed);
    // Host use (file reading): puts these slots of the store first in creation order, in the
    // order given (repeats ignored); the others follow in their own order.
    void placeFirst(const std::vector<std::uint32_t>& slots);
    // Exchanges every slot (with its object and handle) and the handle seed with other; each
    // slot then names the other store's database, so ids follow their objects. Both stores must
    // have no object open.
    void swapContents(ObjectStore& other);

    // The open objects, in no particular order (maintained by the open-state code).
    void linkOpen(AcDbObject* object);
    void unlinkOpen(AcDbObject* object);
    const std::vector<AcDbObject*>& openObjects() const { return m_open; }

private:
    std::uint32_t newSlot(AcDbHandle handle);

    std::uint32_t m_number;  // in the slots' store field
    HandleIndex m_byHandle;
    std::vector<std::uint32_t> m_slots;
    std::uint64_t m_nextHandle = 1;
    std::vector<AcDbObject*> m_open;
    std::vector<AcDbHandle> m_presetHandles;
    std::size_t m_nextPreset = 0;
    std::function<AcDbHandle()> m_seedOnDemand;
};

// Live databases, by serial number.
std::uint64_t registerDatabase(AcDbDatabase* database);
void unregisterDatabase(std::uint64_t serial);
// The live database of that serial, or null.
AcDbDatabase* databaseBySerial(std::uint64_t serial);
// Every live database in order of creation.
std::vector<AcDbDatabase*> liveDatabases();

}  // namespace host
