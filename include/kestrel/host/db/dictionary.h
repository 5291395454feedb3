// AcDbDictionary: a database object that maps names to the objects it owns, and
// AcDbDictionaryIterator, which walks its entries. Names compare without regard to case and keep
// the spelling they were given; an entry belongs to its dictionary, which erases it with itself.
// Changes need the dictionary open for write and are recorded for undo like any other change.
#pragma once

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/object.h"

class AcDbDictionaryIterator;

// Decisions where the host SDK leaves the behaviour to the host:
// - Keys follow validateDictionaryKey (host/db/symbol_name.h): not empty, no control characters.
// - Iteration runs in sorted order of the case-folded names; an iterator walks the entries as they
//   were when it was made, so changing the dictionary meanwhile is safe.
// - An entry whose object was erased by other means (not through this dictionary) stays recorded
//   but is invisible: getAt, has, numEntries and iterators skip it, setAt replaces it without
//   erasing it again, and undoing the erasure brings it back.
// - setAt puts a new object (not yet in a database) into the dictionary's database, owned by it;
//   an object already in a database is refused with eAlreadyInDb. A former entry of the same name
//   is erased; when it cannot be opened for write nothing changes and that status is returned.
// - remove (every form) erases the removed object, as nothing else owns it; when it cannot be
//   opened for write nothing changes and that status is returned.
// - setName to a name that only differs in case changes the spelling; to another entry's name, an
//   invalid name, or from a missing name it answers false and changes nothing.
// - Erasing the dictionary erases its entries (all of them must open for write, else nothing is
//   erased); unerasing it unerases the entries it still records. The named object dictionary
//   cannot be erased (eCannotBeErased).
// - Exact-key look-ups are hashed: their cost does not grow with the number of entries. Look-ups
//   and removal by object id walk the entries.
// - DXF: 100 "AcDbDictionary", 280 hard-owner flag, 281 duplicate-record cloning (1, keep
//   existing), then per live entry 3 (name) and 350 (soft owner) or 360 (hard owner, when the
//   flag is set). Erased entries are not written; an entry read with the null handle (a file's
//   "0", a reference the reader dropped) names nothing and is left out.
class DRAWHOST_API AcDbDictionary : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbDictionary);
    AcDbDictionary() = default;
    ~AcDbDictionary() override = default;

    // Opens the entry `name` in mode; eKeyNotFound (22) when there is none (entry null), or the
    // open's refusal.
    Acad::ErrorStatus getAt(const wchar_t* name, AcDbObject*& entry, AcDb::OpenMode mode) const;
    // The id of the entry `name`; eKeyNotFound (22) when there is none (id unchanged).
    Acad::ErrorStatus getAt(const wchar_t* name, AcDbObjectId& id) const;
    // The entry's name as stored (a new[] copy released with acutDelString or delete[]);
    // eKeyNotFound when the object is no live entry of this dictionary.
    Acad::ErrorStatus nameAt(AcDbObjectId id, wchar_t*& name) const;

    bool has(const wchar_t* name) const;
    bool has(AcDbObjectId id) const;
    // Live entries.
    Adesk::UInt32 numEntries() const;

    // Puts newValue under key (see the class comment); id receives its id. Refusals: eNullPtr /
    // eInvalidKey for the key, eNullObjectPointer, eAlreadyInDb, eNoDatabase (dictionary not in
    // a database), eNotOpenForWrite, or the former entry's open or erase status.
    Acad::ErrorStatus setAt(const wchar_t* key, AcDbObject* newValue, AcDbObjectId& id);
    // Removes and erases the entry; eKeyNotFound when missing; see the class comment.
    Acad::ErrorStatus remove(const wchar_t* key);
    Acad::ErrorStatus remove(const wchar_t* key, AcDbObjectId& removedId);
    Acad::ErrorStatus remove(AcDbObjectId id);
    // Renames an entry; false (nothing changed) as described in the class comment.
    bool setName(const wchar_t* oldName, const wchar_t* newName);

    // A new iterator over the live entries in sorted order; the caller deletes it.
    AcDbDictionaryIterator* newIterator() const;

    // Whether entries are hard-owned (filed as 360 in DXF). Default true.
    bool isTreatElementsAsHard() const;
    Acad::ErrorStatus setTreatElementsAsHard(bool doIt);

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    Acad::ErrorStatus subErase(bool erasing) override;

private:
    struct Entry {
        std::wstring name;  // as given
        AcDbObjectId id;
    };
    using EntryMap = std::map<std::wstring, Entry>;  // by folded name, in iteration order
    // The hash index beside the sorted map: packed folded name to the entry and its id, kept
    // together so that a look-up reads one node.
    struct Lookup {
        EntryMap::iterator entry;
        AcDbObjectId id;
    };

    const Lookup* findLiveLookup(const wchar_t* name) const;
    EntryMap::const_iterator findLive(const wchar_t* name) const;
    EntryMap::const_iterator findById(AcDbObjectId id) const;
    Acad::ErrorStatus removeEntry(EntryMap::const_iterator entry);
    void insertEntry(std::wstring key, Entry entry);
    void eraseEntry(EntryMap::const_iterator entry);
    void clearEntries();
    std::vector<AcDbObjectId> entryIds() const;

    EntryMap m_entries;
    std::unordered_map<std::string, Lookup> m_lookup;
    bool m_hardOwner = true;
};

// Walks a dictionary's live entries in sorted name order, as they were when it was made.
class DRAWHOST_API AcDbDictionaryIterator {
public:
    // Host use: AcDbDictionary::newIterator makes iterators.
    struct Item {
        std::wstring name;
        AcDbObjectId id;
    };
    explicit AcDbDictionaryIterator(std::vector<Item> items) : m_items(std::move(items)) {}
    virtual ~AcDbDictionaryIterator() = default;

    // The current entry's name; the empty text when done. Valid while the iterator lives.
    const wchar_t* name() const;
    // The current entry's id; null when done.
    AcDbObjectId objectId() const;
    // Opens the current entry in mode (not erased); eKeyNotFound when done, else the open's status.
    Acad::ErrorStatus getObject(AcDbObject*& object, AcDb::OpenMode mode);
    bool done() const { return m_position >= m_items.size(); }
    // Moves to the next entry; false when there is none left.
    bool next();
    // Moves to the entry with that id; false (position unchanged) when it is not walked.
    bool setPosition(AcDbObjectId id);

private:
    std::vector<Item> m_items;
    std::size_t m_position = 0;
};
