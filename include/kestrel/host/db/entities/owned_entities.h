// host::OwnedEntities, the entities an entity owns in order (the vertices of 2D and 3D polylines,
// the attributes of block references) with the sequence end that closes them in drawing files,
// and AcDbObjectIterator, which walks them. Entities of an owner in a database are database
// objects owned by it; an owner not yet in a database keeps them in memory, and adds them to
// the database when it is added (subAddedToDatabase).
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"

class AcDbSequenceEnd;

// Walks the entities an entity owns, as they were when the iterator was made. Owned by the
// caller, who deletes it. For an owner in a database, objectId() names each entity (open it to
// use it) and entity() answers null; for an owner not in a database, entity() answers the
// entity itself (owned by the owner; do not delete or close it) and objectId() the null id.
class DRAWHOST_API AcDbObjectIterator : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbObjectIterator);

    // Host use: owners make iterators.
    AcDbObjectIterator(std::vector<AcDbObjectId> ids, std::vector<AcDbEntity*> entities);
    ~AcDbObjectIterator() override = default;

    // To the first entity, or the last when atEnd.
    void start(bool atEnd = false);
    bool done() const;
    // To the next (or previous when backwards) entity, passing erased ones when skipDeleted.
    void step(bool backwards = false, bool skipDeleted = true);
    AcDbObjectId objectId() const;
    AcDbEntity* entity();
    // To the entity with that id or pointer; false (position unchanged) when it is not walked.
    bool setPosition(AcDbObjectId id);
    bool setPosition(AcDbEntity* entity);

private:
    bool erasedAt(std::ptrdiff_t position) const;

    std::vector<AcDbObjectId> m_ids;
    std::vector<AcDbEntity*> m_entities;
    std::ptrdiff_t m_position = 0;
};

namespace host {

class DRAWHOST_API OwnedEntities {
public:
    OwnedEntities() = default;
    OwnedEntities(const OwnedEntities&) = delete;
    OwnedEntities& operator=(const OwnedEntities&) = delete;

    // Appends entity after the others. With owner in a database the entity is added to it,
    // owned by owner, and stays open for write (the caller closes it); id receives its id.
    // Otherwise owner keeps it and id is null. The caller has made owner write-enabled.
    // eNullObjectPointer for null, eAlreadyInDb for an entity in a database.
    Acad::ErrorStatus append(AcDbObject* owner, AcDbEntity* entity, AcDbObjectId& id);
    // As append, first giving an entity without a layer owner's layer, linetype and colour
    // when owner is in a database.
    Acad::ErrorStatus appendWithProperties(AcDbEntity* owner, AcDbEntity* entity, AcDbObjectId& id);
    // Closes entity when append put it into a database (id not null) and status is eOk; returns
    // status. For the append forms without an id, which leave nothing open.
    static Acad::ErrorStatus closeAppended(Acad::ErrorStatus status, AcDbObjectId id,
                                           AcDbEntity* entity);
    // owner was just added to its database: adds the entities kept in memory (each given
    // owner's layer, linetype and colour when it has no layer) and the sequence end.
    void ownerAdded(AcDbEntity* owner);
    // Makes the sequence end of an owner in a database when there is none yet.
    void ensureSequenceEnd(AcDbObject* owner);

    // Ids of the entities in a database, in order.
    const std::vector<AcDbObjectId>& ids() const { return m_ids; }
    AcDbObjectId sequenceEndId() const { return m_sequenceEnd; }
    // Opens the owned entity id as T; eInvalidInput (entity null) when id is not one of them.
    template <class T>
    Acad::ErrorStatus open(T*& entity, AcDbObjectId id, AcDb::OpenMode mode, bool openErased) const;
    // Opens the sequence end; eNullObjectId (end null) when there is none.
    Acad::ErrorStatus openSequenceEnd(AcDbSequenceEnd*& end, AcDb::OpenMode mode) const;
    bool empty() const { return m_ids.empty() && m_kept.empty(); }
    // A new iterator over the entities (see AcDbObjectIterator), owned by the caller.
    AcDbObjectIterator* newIterator() const;

    // Calls visit(entity) for every entity not erased, each opened in mode for the call (kept
    // ones directly). A write visit opens them all first: when one does not open, that status
    // comes back and visit is not called at all.
    template <class Visit>
    Acad::ErrorStatus forEach(AcDb::OpenMode mode, Visit visit) const;

    // Copies every entity (opened for read) into copy's memory, for a copy of the owner that is
    // not in a database; the open's status on failure.
    Acad::ErrorStatus cloneInto(OwnedEntities& copy) const;
    // Erases or unerases the entities and the sequence end with their owner (all or nothing).
    Acad::ErrorStatus erase(bool erasing) const;

    // Binary filing of the ids (hard ownership). A copy filer files nothing: copies get their
    // own entities through cloneInto. Null ids read (entities a deep clone left out) are
    // dropped.
    Acad::ErrorStatus dwgOut(AcDbDwgFiler* filer) const;
    Acad::ErrorStatus dwgIn(AcDbDwgFiler* filer);

private:
    // The live entities opened in mode, or the first failing open's status (none left open).
    Acad::ErrorStatus openAll(AcDb::OpenMode mode, std::vector<AcDbEntity*>& opened) const;

    std::vector<AcDbObjectId> m_ids;
    std::vector<std::unique_ptr<AcDbEntity>> m_kept;
    AcDbObjectId m_sequenceEnd;
};

template <class T>
Acad::ErrorStatus OwnedEntities::open(T*& entity, AcDbObjectId id, AcDb::OpenMode mode,
                                      bool openErased) const {
    entity = nullptr;
    if (std::find(m_ids.begin(), m_ids.end(), id) == m_ids.end()) {
        return Acad::eInvalidInput;
    }
    return acdbOpenObject(entity, id, mode, openErased);
}

template <class Visit>
Acad::ErrorStatus OwnedEntities::forEach(AcDb::OpenMode mode, Visit visit) const {
    std::vector<AcDbEntity*> opened;
    const Acad::ErrorStatus status = openAll(mode, opened);
    if (status != Acad::eOk) {
        return status;
    }
    for (AcDbEntity* entity : opened) {
        visit(*entity);
        entity->close();
    }
    for (const auto& kept : m_kept) {
        visit(*kept);
    }
    return Acad::eOk;
}

}  // namespace host
