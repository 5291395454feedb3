// The symbol-table bases: AcDbSymbolTableRecord (a named record), AcDbSymbolTable (the records
// of one kind, looked up by name) and AcDbSymbolTableIterator, plus the typed templates each table
// kind builds on. A table owns its records; records are looked up by name without regard to case
// and keep their spelling. Changes need write opens and are recorded for undo.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/field_filer.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/owned_objects.h"

class AcDbSymbolTableIterator;

// Decisions where the host SDK leaves the behaviour to the host:
// - Names follow validateSymbolName (host/db/symbol_name.h); block and viewport records may start
//   with '*'. A record needs a name before it is added.
// - Two live records of one table never share a name; an erased record frees its name, so a new
//   record may take it. getAt prefers the live record; with getErased and no live record it
//   answers the last one added with that name.
// - setName on a record in a table refuses a name another live record has
//   (eDuplicateRecordName); a change of spelling only is accepted. Records the drawing depends on
//   (layer "0", linetypes "ByBlock" and "ByLayer", "*Model_Space", "*Paper_Space") keep their
//   names (eIllegalReplacement).
// - Iteration runs in the order records were added; an iterator walks the records as they were
//   when it was made (records added later are not visited), so changing the table meanwhile is
//   safe. skipDeleted is decided at each step, so a record erased meanwhile is skipped.
// - has(id) is true for a live record of this table only.
// - Tables cannot be erased (eCannotBeErased).
// - DXF: a table writes 100 "AcDbSymbolTable" and 70 (its number of live records); records write
//   100 "AcDbSymbolTableRecord", then their own marker, 2 (name), 70 (flags) and their fields.
class DRAWHOST_API AcDbSymbolTableRecord : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
    ~AcDbSymbolTableRecord() override = default;

    // A new[] copy of the name, released by the caller with acutDelString or delete[].
    Acad::ErrorStatus getName(wchar_t*& name) const;
    // The name itself, valid until the record changes or is closed.
    Acad::ErrorStatus getName(const wchar_t*& name) const;
    // Statuses in the class comment; eNotOpenForWrite when the record may not change.
    Acad::ErrorStatus setName(const wchar_t* name);

    // Host use: the name and flags without the read assertion, for look-ups that must work while
    // the record is open elsewhere.
    const std::wstring& nameForLookup() const { return m_name; }
    Adesk::Int16 flagsForLookup() const { return m_flags; }

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    AcDbSymbolTableRecord() = default;

    // Whether names of this kind may start with '*'.
    virtual bool allowsStarPrefix() const { return false; }
    // Whether this record's name may not change (a record the drawing depends on).
    virtual bool isNameFixed() const { return false; }

    // Name and flags, the two fields every record files first.
    template <class Self, class Visitor>
    static void visitNameAndFlags(Self& self, Visitor& v) {
        v.text(2, self.m_name);
        v.int16(70, self.m_flags);
    }

    // The four filings of a derived record: base part, then Self::visitFields (under marker in
    // DXF); a name read in must be valid (eInvalidSymbolTableName with a message otherwise).
    template <class Self>
    static Acad::ErrorStatus dwgOutRecord(AcDbDwgFiler* filer, const Self& self);
    template <class Self>
    static Acad::ErrorStatus dwgInRecord(AcDbDwgFiler* filer, Self& self);
    template <class Self>
    static Acad::ErrorStatus dxfOutRecord(AcDbDxfFiler* filer, const wchar_t* marker,
                                          const Self& self);
    template <class Self>
    static Acad::ErrorStatus dxfInRecord(AcDbDxfFiler* filer, const wchar_t* marker, Self& self);
    // As above; groups the field list does not take go to extra(item) (see dxfInSubclass).
    template <class Self, class Extra>
    static Acad::ErrorStatus dxfInRecord(AcDbDxfFiler* filer, const wchar_t* marker, Self& self,
                                         Extra extra);

    // A field's value under the read assertion.
    template <class T>
    T readField(const T& field) const {
        assertReadEnabled();
        return field;
    }
    // Sets a field; eNotOpenForWrite (field unchanged) when the record may not change.
    template <class T, class U>
    Acad::ErrorStatus writeField(T& field, const U& value) {
        const Acad::ErrorStatus status = requireWrite();
        if (status == Acad::eOk) {
            field = static_cast<T>(value);
        }
        return status;
    }

    // The flag bits of the kind (layers: frozen, locked, ...).
    bool flagBit(Adesk::Int16 bit) const;
    // Sets or clears a flag bit; needs write.
    Acad::ErrorStatus setFlagBit(Adesk::Int16 bit, bool on);

    std::wstring m_name;
    Adesk::Int16 m_flags = 0;

    // Called after a name was read in: a DXF name must be valid (else the former name is put
    // back and the filer's error set); notes the change for the tables' look-ups.
    Acad::ErrorStatus nameFiledIn(AcDbDxfFiler* filer, const std::wstring& formerName);
};

class DRAWHOST_API AcDbSymbolTable : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
    ~AcDbSymbolTable() override = default;

    // The record named `name`; eNullPtr for null, eKeyNotFound when none (id unchanged).
    Acad::ErrorStatus getAt(const wchar_t* name, AcDbObjectId& id, bool getErased = false) const;
    // Opens the record named `name` in mode; record null on failure.
    Acad::ErrorStatus getAt(const wchar_t* name, AcDbSymbolTableRecord*& record,
                            AcDb::OpenMode mode, bool openErased = false) const;
    // Whether a live record has that name.
    bool has(const wchar_t* name) const;
    // Whether id is a live record of this table.
    bool has(AcDbObjectId id) const;
    // A new iterator over the records, owned by the caller; eOk.
    Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const;

    // Host use (file reading): adds record as add does, under handle when not null.
    Acad::ErrorStatus addRecord(AcDbObjectId& id, AcDbSymbolTableRecord* record,
                                AcDbHandle handle = AcDbHandle());
    // Host use: the live record whose folded name is key, other than except; null when none.
    AcDbObjectId findLive(const std::wstring& key, AcDbObjectId except) const;
    // The class of the records this table holds.
    virtual AcRxClass* recordClass() const = 0;

    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer) override;
    Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const override;

protected:
    AcDbSymbolTable() = default;
    Acad::ErrorStatus subErase(bool erasing) override;

    // The records in the order they were added (a read of the table).
    std::vector<AcDbObjectId> recordIds() const;

    // Adds record to the database, owned by this table; it stays open for write (the caller
    // closes it). Refusals, nothing changed: eNullObjectPointer, eAlreadyInDb, eNoDatabase,
    // eNotOpenForWrite, eNotThatKindOfClass (another kind of record), eInvalidSymbolTableName
    // (no name), eDuplicateRecordName.
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);

private:
    const std::vector<AcDbObjectId>& index(const std::wstring& key) const;
    void rebuildIndex() const;

    std::vector<AcDbObjectId> m_records;  // in the order they were added
    mutable std::unordered_map<std::wstring, std::vector<AcDbObjectId>> m_index;
    mutable std::uint64_t m_indexEpoch = 0;
};

// Walks the records of a table as they were when the iterator was made.
class DRAWHOST_API AcDbSymbolTableIterator {
public:
    // Host use: AcDbSymbolTable::newIterator makes iterators.
    AcDbSymbolTableIterator(std::vector<AcDbObjectId> ids, bool atBeginning, bool skipDeleted);
    virtual ~AcDbSymbolTableIterator() = default;

    // To the first (atBeginning) or last record, skipping erased ones when skipDeleted.
    void start(bool atBeginning = true, bool skipDeleted = true);
    bool done() const;
    // eInvalidIndex when done (id unchanged).
    Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
    // Opens the current record; eInvalidIndex when done, else the open's status; null on failure.
    Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& record, AcDb::OpenMode mode,
                                bool openErasedRecord = false) const;
    void step(bool forward = true, bool skipDeleted = true);
    // To the record id; eInvalidInput (position unchanged) when it is not walked.
    Acad::ErrorStatus seek(AcDbObjectId id);
    Acad::ErrorStatus seek(const AcDbSymbolTableRecord* record);

protected:
    // The current record opened as T (class-checked); null on failure.
    template <class T>
    Acad::ErrorStatus getTypedRecord(T*& record, AcDb::OpenMode mode, bool openErased) const {
        record = nullptr;
        AcDbObjectId id;
        const Acad::ErrorStatus status = getRecordId(id);
        return status == Acad::eOk ? acdbOpenObject(record, id, mode, openErased) : status;
    }

private:
    host::IdCursor m_cursor;
};

// The typed iterator of one table kind.
template <class Record>
class AcDbSymbolTableIteratorOf : public AcDbSymbolTableIterator {
public:
    using AcDbSymbolTableIterator::AcDbSymbolTableIterator;
    using AcDbSymbolTableIterator::getRecord;
    // Opens the current record as a Record; see the base.
    Acad::ErrorStatus getRecord(Record*& record, AcDb::OpenMode mode,
                                bool openErasedRecord = false) const {
        return this->getTypedRecord(record, mode, openErasedRecord);
    }
};

// The typed members of one table kind: records of Record, iterators of Iterator.
template <class Record, class Iterator>
class AcDbSymbolTableOf : public AcDbSymbolTable {
public:
    using AcDbSymbolTable::getAt;
    // Opens the record named `name` as a Record; see the base.
    Acad::ErrorStatus getAt(const wchar_t* name, Record*& record, AcDb::OpenMode mode,
                            bool openErased = false) const {
        record = nullptr;
        AcDbObjectId id;
        const Acad::ErrorStatus status = getAt(name, id, openErased);
        return status == Acad::eOk ? acdbOpenObject(record, id, mode, openErased) : status;
    }
    // Adds record; see AcDbSymbolTable::add.
    Acad::ErrorStatus add(Record* record) {
        AcDbObjectId id;
        return AcDbSymbolTable::add(id, record);
    }
    Acad::ErrorStatus add(AcDbObjectId& id, Record* record) {
        return AcDbSymbolTable::add(id, record);
    }
    using AcDbSymbolTable::newIterator;
    // A new typed iterator owned by the caller; eOk.
    Acad::ErrorStatus newIterator(Iterator*& iterator, bool atBeginning = true,
                                  bool skipDeleted = true) const {
        iterator = new Iterator(recordIds(), atBeginning, skipDeleted);
        return Acad::eOk;
    }
    AcRxClass* recordClass() const override { return Record::desc(); }

protected:
    AcDbSymbolTableOf() = default;
};

// --- Template members ---------------------------------------------------------------------

template <class Self>
Acad::ErrorStatus AcDbSymbolTableRecord::dwgOutRecord(AcDbDwgFiler* filer, const Self& self) {
    const Acad::ErrorStatus status = self.AcDbSymbolTableRecord::dwgOutFields(filer);
    return status == Acad::eOk ? host::dwgOutFieldList(filer, self) : status;
}

template <class Self>
Acad::ErrorStatus AcDbSymbolTableRecord::dwgInRecord(AcDbDwgFiler* filer, Self& self) {
    Acad::ErrorStatus status = self.AcDbSymbolTableRecord::dwgInFields(filer);
    if (status == Acad::eOk) {
        status = host::dwgInFieldList(filer, self);
    }
    return status == Acad::eOk ? self.nameFiledIn(nullptr, std::wstring()) : status;
}

template <class Self>
Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutRecord(AcDbDxfFiler* filer, const wchar_t* marker,
                                                      const Self& self) {
    const Acad::ErrorStatus status = self.AcDbSymbolTableRecord::dxfOutFields(filer);
    return status == Acad::eOk ? host::dxfOutSubclass(filer, marker, self) : status;
}

template <class Self, class Extra>
Acad::ErrorStatus AcDbSymbolTableRecord::dxfInRecord(AcDbDxfFiler* filer, const wchar_t* marker,
                                                     Self& self, Extra extra) {
    const std::wstring formerName = self.m_name;
    Acad::ErrorStatus status = self.AcDbSymbolTableRecord::dxfInFields(filer);
    if (status == Acad::eOk) {
        status = host::dxfInSubclass(filer, marker, self, extra);
    }
    return status == Acad::eOk ? self.nameFiledIn(filer, formerName) : status;
}

template <class Self>
Acad::ErrorStatus AcDbSymbolTableRecord::dxfInRecord(AcDbDxfFiler* filer, const wchar_t* marker,
                                                     Self& self) {
    return dxfInRecord(filer, marker, self, [](const host::DxfItem&) { return false; });
}
