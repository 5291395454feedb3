// AcDbDictionary: entries kept in a sorted map by folded name, with a hash index beside it for
// exact look-ups; AcDbDictionaryIterator over a snapshot of the live entries.

#include "kestrel/host/db/dictionary.h"

#include <cstring>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/field_filer.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/owned_objects.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_name.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, 0, 0, 0, DICTIONARY, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbDictionary";
constexpr int kHardOwnerFlagCode = 280;
constexpr int kCloningCode = 281;
constexpr int kNameCode = 3;
constexpr int kSoftOwnerCode = 350;
constexpr int kHardOwnerCode = 360;
constexpr Adesk::Int8 kKeepExisting = 1;

}  // namespace

const AcDbDictionary::Lookup* AcDbDictionary::findLiveLookup(const wchar_t* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    const auto found = m_lookup.find(packedFoldedName(name));
    return found == m_lookup.end() || found->second.id.isErased() ? nullptr : &found->second;
}

AcDbDictionary::EntryMap::const_iterator AcDbDictionary::findLive(const wchar_t* name) const {
    const Lookup* lookup = findLiveLookup(name);
    return lookup == nullptr ? m_entries.end() : EntryMap::const_iterator(lookup->entry);
}

AcDbDictionary::EntryMap::const_iterator AcDbDictionary::findById(AcDbObjectId id) const {
    if (id.isNull() || id.isErased()) {
        return m_entries.end();
    }
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->second.id == id) {
            return entry;
        }
    }
    return m_entries.end();
}

void AcDbDictionary::insertEntry(std::wstring key, Entry entry) {
    const auto former = m_entries.find(key);
    if (former != m_entries.end()) {
        eraseEntry(former);
    }
    const AcDbObjectId id = entry.id;
    std::string packed = packedFoldedName(key);
    const auto inserted = m_entries.emplace(std::move(key), std::move(entry)).first;
    m_lookup.emplace(std::move(packed), Lookup{inserted, id});
}

void AcDbDictionary::eraseEntry(EntryMap::const_iterator entry) {
    m_lookup.erase(packedFoldedName(entry->first));
    m_entries.erase(entry);
}

void AcDbDictionary::clearEntries() {
    m_lookup.clear();
    m_entries.clear();
}

std::vector<AcDbObjectId> AcDbDictionary::entryIds() const {
    std::vector<AcDbObjectId> ids;
    ids.reserve(m_entries.size());
    for (const auto& [key, entry] : m_entries) {
        ids.push_back(entry.id);
    }
    return ids;
}

Acad::ErrorStatus AcDbDictionary::getAt(const wchar_t* name, AcDbObject*& entry,
                                        AcDb::OpenMode mode) const {
    entry = nullptr;
    AcDbObjectId id;
    const Acad::ErrorStatus status = getAt(name, id);
    return status == Acad::eOk ? acdbOpenAcDbObject(entry, id, mode, false) : status;
}

Acad::ErrorStatus AcDbDictionary::getAt(const wchar_t* name, AcDbObjectId& id) const {
    if (name == nullptr) {
        return Acad::eNullPtr;
    }
    assertReadEnabled();
    const Lookup* lookup = findLiveLookup(name);
    if (lookup == nullptr) {
        return Acad::eKeyNotFound;
    }
    id = lookup->id;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, wchar_t*& name) const {
    assertReadEnabled();
    const auto entry = findById(id);
    if (entry == m_entries.end()) {
        return Acad::eKeyNotFound;
    }
    name = acutRbNewString(entry->second.name.c_str());
    return Acad::eOk;
}

bool AcDbDictionary::has(const wchar_t* name) const {
    assertReadEnabled();
    return findLive(name) != m_entries.end();
}

bool AcDbDictionary::has(AcDbObjectId id) const {
    assertReadEnabled();
    return findById(id) != m_entries.end();
}

Adesk::UInt32 AcDbDictionary::numEntries() const {
    assertReadEnabled();
    Adesk::UInt32 count = 0;
    for (const auto& [key, entry] : m_entries) {
        count += entry.id.isErased() ? 0 : 1;
    }
    return count;
}

Acad::ErrorStatus AcDbDictionary::setAt(const wchar_t* key, AcDbObject* newValue,
                                        AcDbObjectId& id) {
    Acad::ErrorStatus status = validateDictionaryKey(key);
    if (status != Acad::eOk) {
        return status;
    }
    if (newValue == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!newValue->objectId().isNull() || newValue == this) {
        return Acad::eAlreadyInDb;
    }
    AcDbDatabase* db = database();
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    AcDbObject* former = nullptr;
    const auto live = findLive(key);
    if (live != m_entries.end()) {
        status = acdbOpenAcDbObject(former, live->second.id, AcDb::kForWrite, false);
        if (status != Acad::eOk) {
            return status;
        }
        status = former->erase(true);
        if (status != Acad::eOk) {
            former->close();
            return status;
        }
    }
    AcDbObjectId newId;
    status = db->addObject(newValue, objectId(), newId);
    if (former != nullptr) {
        if (status != Acad::eOk) {
            former->erase(false);
        }
        former->close();
    }
    if (status != Acad::eOk) {
        return status;
    }
    requireWrite();
    insertEntry(foldName(key), Entry{key, newId});
    id = newId;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::removeEntry(EntryMap::const_iterator entry) {
    if (entry == m_entries.end()) {
        return Acad::eKeyNotFound;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    AcDbObject* object = nullptr;
    Acad::ErrorStatus status = acdbOpenAcDbObject(object, entry->second.id, AcDb::kForWrite, false);
    if (status != Acad::eOk) {
        return status;
    }
    status = object->erase(true);
    object->close();
    if (status != Acad::eOk) {
        return status;
    }
    requireWrite();
    eraseEntry(entry);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const wchar_t* key) {
    AcDbObjectId removedId;
    return remove(key, removedId);
}

Acad::ErrorStatus AcDbDictionary::remove(const wchar_t* key, AcDbObjectId& removedId) {
    if (key == nullptr) {
        return Acad::eNullPtr;
    }
    const auto entry = findLive(key);
    const AcDbObjectId id = entry != m_entries.end() ? entry->second.id : AcDbObjectId::kNull;
    const Acad::ErrorStatus status = removeEntry(entry);
    if (status == Acad::eOk) {
        removedId = id;
    }
    return status;
}

Acad::ErrorStatus AcDbDictionary::remove(AcDbObjectId id) {
    return removeEntry(findById(id));
}

bool AcDbDictionary::setName(const wchar_t* oldName, const wchar_t* newName) {
    if (!isWriteEnabled() || validateDictionaryKey(newName) != Acad::eOk) {
        return false;
    }
    const auto entry = findLive(oldName);
    if (entry == m_entries.end()) {
        return false;
    }
    std::wstring newKey = foldName(newName);
    if (newKey != entry->first && findLive(newName) != m_entries.end()) {
        return false;
    }
    Entry renamed{newName, entry->second.id};
    requireWrite();
    eraseEntry(entry);
    insertEntry(std::move(newKey), std::move(renamed));
    return true;
}

AcDbDictionaryIterator* AcDbDictionary::newIterator() const {
    assertReadEnabled();
    std::vector<AcDbDictionaryIterator::Item> items;
    items.reserve(m_entries.size());
    for (const auto& [key, entry] : m_entries) {
        if (!entry.id.isErased()) {
            items.push_back({entry.name, entry.id});
        }
    }
    return new AcDbDictionaryIterator(std::move(items));
}

bool AcDbDictionary::isTreatElementsAsHard() const {
    assertReadEnabled();
    return m_hardOwner;
}

Acad::ErrorStatus AcDbDictionary::setTreatElementsAsHard(bool doIt) {
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_hardOwner = doIt;
    }
    return status;
}

Acad::ErrorStatus AcDbDictionary::subErase(bool erasing) {
    AcDbDatabase* db = database();
    if (erasing && db != nullptr && db->namedObjectsDictionaryId() == objectId()) {
        return Acad::eCannotBeErased;
    }
    return host::eraseOwnedObjects(entryIds(), erasing);
}

Acad::ErrorStatus AcDbDictionary::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = AcDbObject::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeBool(m_hardOwner);
    filer->writeUInt32(static_cast<Adesk::UInt32>(m_entries.size()));
    for (const auto& [key, entry] : m_entries) {
        filer->writeString(entry.name);
        filer->writeHardOwnershipId(entry.id);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = AcDbObject::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    bool hardOwner = true;
    Adesk::UInt32 count = 0;
    filer->readBool(&hardOwner);
    filer->readUInt32(&count);
    EntryMap entries;
    for (Adesk::UInt32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        Entry entry;
        AcDbHardOwnershipId id;
        filer->readString(entry.name);
        filer->readHardOwnershipId(&id);
        entry.id = id;
        entries.emplace(foldName(entry.name), std::move(entry));
    }
    if (filer->filerStatus() != Acad::eOk) {
        return filer->filerStatus();
    }
    m_hardOwner = hardOwner;
    clearEntries();
    for (auto& [key, entry] : entries) {
        insertEntry(key, std::move(entry));
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbObject::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writeInt8(kHardOwnerFlagCode, m_hardOwner ? 1 : 0);
    filer->writeInt8(kCloningCode, kKeepExisting);
    for (const auto& [key, entry] : m_entries) {
        if (!entry.id.isErased()) {
            filer->writeString(kNameCode, entry.name);
            filer->writeObjectId(m_hardOwner ? kHardOwnerCode : kSoftOwnerCode, entry.id);
        }
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbDictionary::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    bool hardOwner = m_hardOwner;
    std::vector<Entry> read;
    std::wstring pendingName;
    bool havePending = false;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        if (item.code == kHardOwnerFlagCode) {
            hardOwner = item.integer() != 0;
        } else if (item.code == kNameCode) {
            pendingName = item.text();
            havePending = true;
        } else if ((item.code == kSoftOwnerCode || item.code == kHardOwnerCode) && havePending) {
            if (!item.id().isNull()) {  // an entry of nothing is no entry
                read.push_back(Entry{std::move(pendingName), item.id()});
            }
            havePending = false;
        } else {
            return item.code == kCloningCode;
        }
        return true;
    });
    if (status != Acad::eOk) {
        return status;
    }
    for (const Entry& entry : read) {
        if (validateDictionaryKey(entry.name.c_str()) != Acad::eOk) {
            return filer->setError(Acad::eInvalidKey, L"invalid dictionary key \"%s\"",
                                   entry.name.c_str());
        }
    }
    if (havePending) {
        return filer->setError(Acad::eMissingDxfField, L"dictionary entry \"%s\" has no object",
                               pendingName.c_str());
    }
    m_hardOwner = hardOwner;
    clearEntries();
    for (Entry& entry : read) {
        std::wstring key = foldName(entry.name);
        insertEntry(std::move(key), std::move(entry));
    }
    return Acad::eOk;
}

const wchar_t* AcDbDictionaryIterator::name() const {
    return done() ? L"" : m_items[m_position].name.c_str();
}

AcDbObjectId AcDbDictionaryIterator::objectId() const {
    return done() ? AcDbObjectId::kNull : m_items[m_position].id;
}

Acad::ErrorStatus AcDbDictionaryIterator::getObject(AcDbObject*& object, AcDb::OpenMode mode) {
    object = nullptr;
    if (done()) {
        return Acad::eKeyNotFound;
    }
    return acdbOpenAcDbObject(object, m_items[m_position].id, mode, false);
}

bool AcDbDictionaryIterator::next() {
    if (!done()) {
        ++m_position;
    }
    return !done();
}

bool AcDbDictionaryIterator::setPosition(AcDbObjectId id) {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].id == id) {
            m_position = i;
            return true;
        }
    }
    return false;
}
