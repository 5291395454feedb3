// AcDbObjectId: the identifier of a database object, naming the slot its database keeps for the
// object (object, handle, database) by the slot's number in the process's slot pool. Ids are
// plain 8-byte values, freely copied and compared; they stay valid as long as their database
// lives. An id whose database was destroyed is "stale": it is not null, but every query answers
// as for a missing object and opening it gives eStaleObjectId. Slots are recycled after their
// database dies, with a 32-bit generation number that tells an old id from a new one, so no
// query on a stale id touches freed memory (a stale id could only meet a new object again after
// its slot was recycled 2^32 times).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "kestrel/export.h"
#include "kestrel/host/db/handle.h"
#include "kestrel/host/rx/array.h"

class AcDbDatabase;
class AcRxClass;

namespace host {
struct ObjectSlot;
}

class DRAWHOST_API AcDbObjectId {
public:
    AcDbObjectId() = default;
    // Host use: the id of slot number slot in its generation.
    AcDbObjectId(std::uint32_t slot, std::uint32_t generation)
        : m_slot(slot), m_generation(generation) {}

    static const AcDbObjectId kNull;

    bool isNull() const { return m_slot == 0; }
    // True when not null, the database lives and the slot holds an object (erased or not).
    bool isValid() const;
    // True when the object exists and is erased; false for null, stale and missing objects.
    bool isErased() const;
    // The object's handle; the null handle for null and stale ids.
    AcDbHandle handle() const;
    // The database; null for null and stale ids.
    AcDbDatabase* database() const;
    // The object's runtime class, read without opening it; null for null, stale and empty slots.
    AcRxClass* objectClass() const;
    AcDbObjectId& setNull() {
        m_slot = 0;
        m_generation = 0;
        return *this;
    }

    // Host use: the slot when the id is not null and its database lives, else null.
    host::ObjectSlot* liveSlot() const;
    std::size_t hash() const {
        return std::hash<std::uint64_t>()(std::uint64_t{m_generation} << 32 | m_slot);
    }

    bool operator==(const AcDbObjectId& other) const {
        return m_slot == other.m_slot && m_generation == other.m_generation;
    }
    bool operator!=(const AcDbObjectId& other) const { return !(*this == other); }
    // An arbitrary but fixed total order, for sorted containers.
    bool operator<(const AcDbObjectId& other) const {
        return m_slot != other.m_slot ? m_slot < other.m_slot : m_generation < other.m_generation;
    }
    bool operator>(const AcDbObjectId& other) const { return other < *this; }
    bool operator<=(const AcDbObjectId& other) const { return !(other < *this); }
    bool operator>=(const AcDbObjectId& other) const { return !(*this < other); }

private:
    std::uint32_t m_slot = 0;  // 0 for the null id
    std::uint32_t m_generation = 0;
};

inline const AcDbObjectId AcDbObjectId::kNull{};

// The four kinds of reference an object files: soft and hard pointers (references), soft and
// hard ownership (the referencing object owns the target). Plain ids with a kind in their type.
class DRAWHOST_API AcDbSoftPointerId : public AcDbObjectId {
public:
    AcDbSoftPointerId() = default;
    AcDbSoftPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class DRAWHOST_API AcDbHardPointerId : public AcDbObjectId {
public:
    AcDbHardPointerId() = default;
    AcDbHardPointerId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class DRAWHOST_API AcDbSoftOwnershipId : public AcDbObjectId {
public:
    AcDbSoftOwnershipId() = default;
    AcDbSoftOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};
class DRAWHOST_API AcDbHardOwnershipId : public AcDbObjectId {
public:
    AcDbHardOwnershipId() = default;
    AcDbHardOwnershipId(const AcDbObjectId& id) : AcDbObjectId(id) {}
};

using AcDbObjectIdArray = AcArray<AcDbObjectId>;

template <>
struct std::hash<AcDbObjectId> {
    std::size_t operator()(const AcDbObjectId& id) const { return id.hash(); }
};
