// Deep cloning: AcDbIdMapping, the pairs of original and copy ids that
// AcDbDatabase::deepCloneObjects and AcDbDatabase::insert fill, its iterator, and
// host::CloneSession, the copying both share. Mappings and iterators are plain values owned by
// their creator; an iterator must not outlive its mapping.
#pragma once

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object.h"

class AcDbBlockTableRecord;

namespace AcDb {

// What a deep clone is for (the host keeps it for callers to read).
enum DeepCloneType {
    kDcCopy = 0,
    kDcExplode = 1,
    kDcBlock = 2,
    kDcXrefBind = 3,
    kDcSymTableMerge = 4,
    kDcInsert = 6,
    kDcWblock = 7,
    kDcObjects = 8,
    kDcXrefInsert = 9,
    kDcInsertCopy = 10,
    kDcWblkObjects = 11,
};

// What happens to a symbol record whose name the destination already has.
enum DuplicateRecordCloning {
    kDrcNotApplicable = 0,
    kDrcIgnore = 1,
    kDrcReplace = 2,
    kDrcXrefMangleName = 3,
    kDrcMangleName = 4,
    kDrcUnmangleName = 5,
};

}  // namespace AcDb

// One original id and what stands for it in the destination: its copy (isCloned) or an
// existing object taken in its place (a symbol record of the same name).
class DRAWHOST_API AcDbIdPair {
public:
    AcDbIdPair() = default;
    AcDbIdPair(AcDbObjectId key, AcDbObjectId value, bool isCloned, bool isPrimary = false,
               bool isOwnerXlated = true)
        : m_key(key),
          m_value(value),
          m_cloned(isCloned),
          m_primary(isPrimary),
          m_ownerXlated(isOwnerXlated) {}

    AcDbObjectId key() const { return m_key; }
    AcDbObjectId value() const { return m_value; }
    bool isCloned() const { return m_cloned; }
    // True for the objects the caller asked to copy (not the ones they own).
    bool isPrimary() const { return m_primary; }
    bool isOwnerXlated() const { return m_ownerXlated; }
    void setKey(AcDbObjectId key) { m_key = key; }
    void setValue(AcDbObjectId value) { m_value = value; }
    void setIsCloned(bool isCloned) { m_cloned = isCloned; }
    void setIsPrimary(bool isPrimary) { m_primary = isPrimary; }
    void setIsOwnerXlated(bool isOwnerXlated) { m_ownerXlated = isOwnerXlated; }

private:
    AcDbObjectId m_key;
    AcDbObjectId m_value;
    bool m_cloned = false;
    bool m_primary = false;
    bool m_ownerXlated = true;
};

// The pairs of one clone operation, in the order they were made (each primary object before
// the objects it owns). Keys are unique: assigning a pair with a known key replaces it.
class DRAWHOST_API AcDbIdMapping : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbIdMapping);
    AcDbIdMapping() = default;
    ~AcDbIdMapping() override = default;

    // Adds the pair, or replaces the pair of the same key; eNullObjectId for a null key.
    Acad::ErrorStatus assign(const AcDbIdPair& pair);
    // Fills pair from the pair of pair.key(); false (pair unchanged) when there is none.
    bool compute(AcDbIdPair& pair) const;
    // eKeyNotFound when no pair has that key.
    Acad::ErrorStatus del(AcDbObjectId key);
    int numPairs() const { return static_cast<int>(m_pairs.size()); }

    AcDbDatabase* origDb() const { return m_origDb; }
    AcDbDatabase* destDb() const { return m_destDb; }
    AcDb::DeepCloneType deepCloneContext() const { return m_context; }
    AcDb::DuplicateRecordCloning duplicateRecordCloning() const { return m_duplicates; }
    // Host use: set by the clone operations.
    void setDatabases(AcDbDatabase* origDb, AcDbDatabase* destDb);
    void setDeepCloneContext(AcDb::DeepCloneType context) { m_context = context; }
    void setDuplicateRecordCloning(AcDb::DuplicateRecordCloning drc) { m_duplicates = drc; }
    // Host use: the pair at a position of the order (position checked by the caller).
    const AcDbIdPair& pairAt(std::size_t position) const { return m_pairs[position]; }
    // Host use: whether the ids of the copy at a position were translated already.
    bool isTranslated(std::size_t position) const { return m_translated[position]; }
    void markTranslated(std::size_t position) { m_translated[position] = true; }

private:
    std::vector<AcDbIdPair> m_pairs;
    std::vector<bool> m_translated;
    std::unordered_map<AcDbObjectId, std::size_t> m_index;
    AcDbDatabase* m_origDb = nullptr;
    AcDbDatabase* m_destDb = nullptr;
    AcDb::DeepCloneType m_context = AcDb::kDcCopy;
    AcDb::DuplicateRecordCloning m_duplicates = AcDb::kDrcIgnore;
};

// Walks a mapping's pairs in their order. key(), value() and isCloned() read the current pair
// (null ids and false when done).
class DRAWHOST_API AcDbIdMappingIter : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbIdMappingIter);
    explicit AcDbIdMappingIter(const AcDbIdMapping& mapping) : m_mapping(&mapping) {}
    ~AcDbIdMappingIter() override = default;

    // Walks another mapping from its first pair; eOk.
    Acad::ErrorStatus iterateOn(const AcDbIdMapping& mapping);
    void start() { m_position = 0; }
    bool done() const;
    // To the next pair; false when that makes the walk done.
    bool next();
    // The current pair; false (pair unchanged) when done.
    bool getMap(AcDbIdPair& pair) const;
    AcDbObjectId key() const;
    AcDbObjectId value() const;
    bool isCloned() const;

private:
    const AcDbIdMapping* m_mapping;
    std::size_t m_position = 0;
};

namespace host {

// One copy of objects into a destination database (the source's own, or another), through
// binary filing: each object's copy reads what the original files, the objects it owns (hard
// or soft) are copied with it, owned by the copy, and finally every id the copies hold is
// translated. Ids of the source that were not copied become: the copy's id when copied; the
// destination's record of the same name for a symbol-table record of another database (the
// record is copied, with what it owns and refers to, when the destination has none of that
// name); themselves within one database; null otherwise. XData applications the copies use are
// registered in the destination. On failure the copies made so far stay.
class DRAWHOST_API CloneSession {
public:
    CloneSession(AcDbDatabase* source, AcDbDatabase* destination, AcDbIdMapping& mapping);

    // Copies the entity sourceId into block (open for write) as a primary object.
    Acad::ErrorStatus cloneEntityInto(AcDbObjectId sourceId, AcDbBlockTableRecord* block);
    // Translates the ids held by every copy of the mapping not translated yet (copies made by
    // earlier sessions with the same mapping included).
    Acad::ErrorStatus translate();
    // The destination's record standing for a record of the source, copying it when needed.
    Acad::ErrorStatus resolveRecord(AcDbObjectId sourceId, AcDbObjectId& destinationId);
    // The destination's id for an id a copy holds (see the class comment); ownership ids that
    // were not copied become null.
    AcDbObjectId translated(AcDbObjectId id, bool ownership);

private:
    // Files sourceId out and reads it into a new object of its class; owned receives the ids
    // of what it owns.
    Acad::ErrorStatus copyOf(AcDbObjectId sourceId, AcDbObject*& copy,
                             std::vector<AcDbObjectId>& owned);
    // Adds the copies of owned objects, owned by newOwner.
    Acad::ErrorStatus cloneOwned(const std::vector<AcDbObjectId>& owned, AcDbObjectId newOwner);
    void registerApplications(const AcDbObject& copy);

    AcDbDatabase* m_source;
    AcDbDatabase* m_destination;
    AcDbIdMapping& m_mapping;
    Acad::ErrorStatus m_resolveStatus = Acad::eOk;  // the first record that could not be copied
};

}  // namespace host
