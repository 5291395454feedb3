// Host internals of the object store: slots (object, database, handle, generation), the process's
// slot pool, each database's handle map and list of open objects, and the registry of live
// databases. Used by the database, object, opening, undo and harness code only. Everything here
// runs on the application thread; nothing is locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/db/error_status.h"
#include "host/db/handle.h"
#include "host/db/object_id.h"

class AcDbDatabase;
class AcDbObject;

namespace host {

// What an id points at. A slot stays with its database until the database dies; the pool then
// recycles it with the next generation, which turns every id of the old generation stale.
struct ObjectSlot {
    AcDbObject* object = nullptr;  // null while the handle is only reserved
    AcDbDatabase* database = nullptr;
    std::uint64_t generation = 1;
    AcDbHandle handle;
    ObjectSlot* nextFree = nullptr;
};

// The id of a live slot.
inline AcDbObjectId idOf(ObjectSlot* slot) {
    return AcDbObjectId(slot, slot->generation);
}

// One database's slots by handle: an open-addressed table of slot pointers keyed by the slots'
// own handles, at most half full. Insert-only, like the store: no allocation per slot and no
// node per entry.
class HandleIndex {
public:
    // The slot of handle, or null.
    ObjectSlot* find(std::uint64_t handle) const;
    // Adds slot, whose handle the index must not hold yet.
    void insert(ObjectSlot* slot);
    void swap(HandleIndex& other) noexcept;

private:
    // The place of handle, or the empty place where it goes.
    std::size_t placeOf(std::uint64_t handle) const;
    void grow();

    std::vector<ObjectSlot*> m_table;
    std::size_t m_count = 0;
};

// One database's objects: the handle index, every slot in creation order, the open list.
class ObjectStore {
public:
    explicit ObjectStore(AcDbDatabase* database) : m_database(database) {}
    // Returns every slot to the pool; objects must have been destroyed (destroyObjects).
    ~ObjectStore();

    ObjectStore(const ObjectStore&) = delete;
    ObjectStore& operator=(const ObjectStore&) = delete;

    // The one handle value never given out, so the next handle always exists.
    static constexpr std::uint64_t kLastHandle = ~std::uint64_t{0};

    // A slot for object under handle (a new handle when null); eHandleInUse when another object
    // holds the handle, eInvalidInput for kLastHandle. A reserved empty slot is filled.
    Acad::ErrorStatus add(AcDbObject* object, AcDbHandle handle, ObjectSlot*& slot);
    // The slot of handle, or null.
    ObjectSlot* find(AcDbHandle handle) const;
    // The slot of handle, reserving an empty one when there is none; null for the null handle
    // and kLastHandle.
    ObjectSlot* reserve(AcDbHandle handle);
    AcDbHandle handseed() const { return AcDbHandle(m_nextHandle); }
    std::size_t size() const { return m_slots.size(); }
    // Every slot in creation order (reserved empty ones included); invalidated by add/reserve.
    const std::vector<ObjectSlot*>& slots() const { return m_slots; }

    // Destroys every object (creation order reversed); their slots stay until the store dies.
    void destroyObjects();

    // Host use (file reading): the next objects added without a handle take these handles, in
    // order, instead of new ones, so that objects their owners create on being added (vertices,
    // sequence ends) keep the handles a file gave them. Cleared by clearPresetHandles.
    void presetHandles(std::vector<AcDbHandle> handles);
    void clearPresetHandles();
    // Raises the next handle given out to at least seed (never lowers it).
    void raiseHandseed(AcDbHandle seed);
    // Exchanges every slot (with its object and handle) and the handle seed with other; each
    // slot then names the other store's database, so ids follow their objects. Both stores must
    // have no object open.
    void swapContents(ObjectStore& other);

    // The list of open objects (maintained by the open-state code).
    void linkOpen(AcDbObject* object);
    void unlinkOpen(AcDbObject* object);
    AcDbObject* firstOpen() const { return m_openHead; }

private:
    ObjectSlot* newSlot(AcDbHandle handle);

    AcDbDatabase* m_database;
    HandleIndex m_byHandle;
    std::vector<ObjectSlot*> m_slots;
    std::uint64_t m_nextHandle = 1;
    AcDbObject* m_openHead = nullptr;
    std::vector<AcDbHandle> m_presetHandles;
    std::size_t m_nextPreset = 0;
};

// Live databases, by serial number.
std::uint64_t registerDatabase(AcDbDatabase* database);
void unregisterDatabase(std::uint64_t serial);
// The live database of that serial, or null.
AcDbDatabase* databaseBySerial(std::uint64_t serial);
// Every live database in order of creation.
std::vector<AcDbDatabase*> liveDatabases();

}  // namespace host
