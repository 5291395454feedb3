// The symbol-table bases. A table keeps its record ids in the order they were added and a name
// index built from the records' names; the index is rebuilt after any resident record's name
// changed (setName, undo, filing), which a process-wide counter tells it.

#include "kestrel/host/db/symbol_table.h"

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_name.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject);
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject);

namespace {

constexpr wchar_t kRecordSubclass[] = L"AcDbSymbolTableRecord";
constexpr wchar_t kTableSubclass[] = L"AcDbSymbolTable";
constexpr int kCountCode = 70;

// Changes whenever a database-resident record's name may have changed; 0 is never current.
std::uint64_t gNameEpoch = 1;

void noteNameChange() {
    ++gNameEpoch;
}

const AcDbSymbolTableRecord* residentRecord(AcDbDatabase* db, AcDbObjectId id) {
    return db == nullptr ? nullptr : AcDbSymbolTableRecord::cast(db->objectAt(id));
}

}  // namespace

// --- AcDbSymbolTableRecord ------------------------------------------------------------------

Acad::ErrorStatus AcDbSymbolTableRecord::getName(wchar_t*& name) const {
    assertReadEnabled();
    name = acutRbNewString(m_name.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::getName(const wchar_t*& name) const {
    assertReadEnabled();
    name = m_name.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const wchar_t* name) {
    Acad::ErrorStatus status = validateSymbolName(name, allowsStarPrefix());
    if (status != Acad::eOk) {
        return status;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    const bool resident = !objectId().isNull();
    if (resident && foldName(name) != foldName(m_name)) {
        if (isNameFixed()) {
            return Acad::eIllegalReplacement;
        }
        const auto* table = AcDbSymbolTable::cast(database()->objectAt(ownerId()));
        if (table != nullptr && !table->findLive(foldName(name), objectId()).isNull()) {
            return Acad::eDuplicateRecordName;
        }
    }
    status = requireWrite();
    if (status == Acad::eOk) {
        m_name = name;
        if (resident) {
            noteNameChange();
        }
    }
    return status;
}

bool AcDbSymbolTableRecord::flagBit(Adesk::Int16 bit) const {
    assertReadEnabled();
    return (m_flags & bit) != 0;
}

Acad::ErrorStatus AcDbSymbolTableRecord::setFlagBit(Adesk::Int16 bit, bool on) {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_flags = static_cast<Adesk::Int16>(on ? (m_flags | bit) : (m_flags & ~bit));
    }
    return status;
}

Acad::ErrorStatus AcDbSymbolTableRecord::nameFiledIn(AcDbDxfFiler* filer,
                                                     const std::wstring& formerName) {
    if (filer != nullptr && validateSymbolName(m_name.c_str(), allowsStarPrefix()) != Acad::eOk) {
        const std::wstring bad = m_name;
        m_name = formerName;
        return filer->setError(Acad::eInvalidSymbolTableName, L"invalid record name \"%s\"",
                               bad.c_str());
    }
    if (!objectId().isNull()) {
        noteNameChange();
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    return AcDbObject::dwgInFields(filer);
}

Acad::ErrorStatus AcDbSymbolTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    return AcDbObject::dwgOutFields(filer);
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kRecordSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s",
                               kRecordSubclass);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    return filer->writeString(100, kRecordSubclass);
}

// --- AcDbSymbolTable ------------------------------------------------------------------------

void AcDbSymbolTable::rebuildIndex() const {
    m_index.clear();
    AcDbDatabase* db = database();
    for (const AcDbObjectId& id : m_records) {
        if (const AcDbSymbolTableRecord* record = residentRecord(db, id)) {
            m_index[foldName(record->nameForLookup())].push_back(id);
        }
    }
    m_indexEpoch = gNameEpoch;
}

const std::vector<AcDbObjectId>& AcDbSymbolTable::index(const std::wstring& key) const {
    static const std::vector<AcDbObjectId> kNone;
    if (m_indexEpoch != gNameEpoch) {
        rebuildIndex();
    }
    const auto found = m_index.find(key);
    return found == m_index.end() ? kNone : found->second;
}

AcDbObjectId AcDbSymbolTable::findLive(const std::wstring& key, AcDbObjectId except) const {
    for (const AcDbObjectId& id : index(key)) {
        if (id != except && !id.isErased()) {
            return id;
        }
    }
    return AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const wchar_t* name, AcDbObjectId& id,
                                         bool getErased) const {
    if (name == nullptr) {
        return Acad::eNullPtr;
    }
    assertReadEnabled();
    const std::wstring key = foldName(name);
    AcDbObjectId found = findLive(key, AcDbObjectId::kNull);
    if (found.isNull() && getErased) {
        const std::vector<AcDbObjectId>& candidates = index(key);
        if (!candidates.empty()) {
            found = candidates.back();
        }
    }
    if (found.isNull()) {
        return Acad::eKeyNotFound;
    }
    id = found;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const wchar_t* name, AcDbSymbolTableRecord*& record,
                                         AcDb::OpenMode mode, bool openErased) const {
    record = nullptr;
    AcDbObjectId id;
    const Acad::ErrorStatus status = getAt(name, id, openErased);
    return status == Acad::eOk ? acdbOpenObject(record, id, mode, openErased) : status;
}

bool AcDbSymbolTable::has(const wchar_t* name) const {
    AcDbObjectId id;
    return name != nullptr && getAt(name, id, false) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
    assertReadEnabled();
    const AcDbSymbolTableRecord* record = residentRecord(database(), id);
    return record != nullptr && !id.isErased() && record->ownerId() == objectId() &&
           !objectId().isNull();
}

std::vector<AcDbObjectId> AcDbSymbolTable::recordIds() const {
    assertReadEnabled();
    return m_records;
}

Acad::ErrorStatus AcDbSymbolTable::newIterator(AcDbSymbolTableIterator*& iterator, bool atBeginning,
                                               bool skipDeleted) const {
    iterator = new AcDbSymbolTableIterator(recordIds(), atBeginning, skipDeleted);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
    return addRecord(id, record);
}

Acad::ErrorStatus AcDbSymbolTable::addRecord(AcDbObjectId& id, AcDbSymbolTableRecord* record,
                                             AcDbHandle handle) {
    if (record == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!record->objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    AcDbDatabase* db = database();
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (!record->isKindOf(recordClass())) {
        return Acad::eNotThatKindOfClass;
    }
    const std::wstring& name = record->nameForLookup();
    if (name.empty()) {
        return Acad::eInvalidSymbolTableName;
    }
    const std::wstring key = foldName(name);
    if (!findLive(key, AcDbObjectId::kNull).isNull()) {
        return Acad::eDuplicateRecordName;
    }
    AcDbObjectId newId;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = db->addObject(record, objectId(), newId, handle);
    }
    if (status != Acad::eOk) {
        return status;
    }
    m_records.push_back(newId);
    m_index[key].push_back(newId);
    id = newId;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::subErase(bool erasing) {
    return erasing ? Acad::eCannotBeErased : Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTable::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeUInt32(static_cast<Adesk::UInt32>(m_records.size()));
    for (const AcDbObjectId& id : m_records) {
        filer->writeHardOwnershipId(id);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Adesk::UInt32 count = 0;
    filer->readUInt32(&count);
    std::vector<AcDbObjectId> records;
    for (Adesk::UInt32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        AcDbHardOwnershipId id;
        filer->readHardOwnershipId(&id);
        records.push_back(id);
    }
    if (filer->filerStatus() == Acad::eOk) {
        m_records = std::move(records);
        m_indexEpoch = 0;
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dxfOutFields(AcDbDxfFiler* filer) const {
    const Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    Adesk::Int16 live = 0;
    for (const AcDbObjectId& id : m_records) {
        live += id.isErased() ? 0 : 1;
    }
    filer->writeString(100, kTableSubclass);
    filer->writeInt16(kCountCode, live);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbSymbolTable::dxfInFields(AcDbDxfFiler* filer) {
    const Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kTableSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s",
                               kTableSubclass);
    }
    // The record count is advisory in files; the records themselves say which table they are in.
    return host::readSubclassGroups(
        filer, [](const host::DxfItem& item) { return item.code == kCountCode; });
}

// --- AcDbSymbolTableIterator ----------------------------------------------------------------

AcDbSymbolTableIterator::AcDbSymbolTableIterator(std::vector<AcDbObjectId> ids, bool atBeginning,
                                                 bool skipDeleted)
    : m_cursor(std::move(ids), atBeginning, skipDeleted) {}

void AcDbSymbolTableIterator::start(bool atBeginning, bool skipDeleted) {
    m_cursor.start(atBeginning, skipDeleted);
}

bool AcDbSymbolTableIterator::done() const {
    return m_cursor.done();
}

void AcDbSymbolTableIterator::step(bool forward, bool skipDeleted) {
    m_cursor.step(forward, skipDeleted);
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecordId(AcDbObjectId& id) const {
    if (m_cursor.done()) {
        return Acad::eInvalidIndex;
    }
    id = m_cursor.current();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbSymbolTableIterator::getRecord(AcDbSymbolTableRecord*& record,
                                                     AcDb::OpenMode mode,
                                                     bool openErasedRecord) const {
    return getTypedRecord(record, mode, openErasedRecord);
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(AcDbObjectId id) {
    return m_cursor.seek(id) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbSymbolTableIterator::seek(const AcDbSymbolTableRecord* record) {
    return record == nullptr ? Acad::eNullObjectPointer : seek(record->objectId());
}
