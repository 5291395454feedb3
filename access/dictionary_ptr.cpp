// CVLKCDictionaryPtr: opening the named object dictionary, its sub-dictionaries and their
// records. Record encoding, replacement and typed reading come from record_store, the same code
// the entity's extension-dictionary store runs.
#include "kestrel/access/dictionary_ptr.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "access/record_store.h"
#include "kestrel/access/store_codes.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_name.h"
#include "kestrel/host/db/transaction.h"

namespace {

using kestrel::ItemValue;
using kestrel::RecordOutput;

constexpr short kTextCode = kestrel::kRecordCodes.text;

// The dictionary entry when it is exactly a dictionary, else null.
AcDbDictionary* asDictionary(AcDbObject* entry) {
    return entry != nullptr && entry->isA() == AcDbDictionary::desc()
               ? static_cast<AcDbDictionary*>(entry)
               : nullptr;
}

// Empties entries and fills it from dictionary in iteration order; the count.
int collect(const AcDbDictionary* dictionary, CStringArray& entries) {
    entries.RemoveAll();
    const std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
    for (; !it->done(); it->next()) {
        entries.Add(CString(it->name()));
    }
    return entries.GetSize();
}

int collect(const AcDbDictionary* dictionary, AcDbObjectIdArray& entries) {
    entries.removeAll();
    const std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
    for (; !it->done(); it->next()) {
        entries.append(it->objectId());
    }
    return entries.length();
}

// One record text item per piece of text, in order; at least one item. Null when memory runs
// out. Each piece is copied once, straight into its item: a big text is not worth a copy more.
resbuf* bigStringItems(const wchar_t* text) {
    const std::size_t length = std::wcslen(text);
    const std::size_t pieceLength = CVLKCDictionaryPtr::kBigStringPiece;
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    std::size_t start = 0;
    do {
        const std::size_t count = std::min(pieceLength, length - start);
        resbuf* item = acutNewRb(kTextCode);
        wchar_t* piece = item != nullptr ? new (std::nothrow) wchar_t[count + 1] : nullptr;
        if (piece == nullptr) {
            acutRelRb(item);
            acutRelRb(head);
            return nullptr;
        }
        std::wmemcpy(piece, text + start, count);
        piece[count] = L'\0';
        item->resval.rstring = piece;
        (tail != nullptr ? tail->rbnext : head) = item;
        tail = item;
        start += count;
    } while (start < length);
    return head;
}

// Opens the entry name of parent in mode into sub: getAt's status, or eNotThatKindOfClass (34,
// the entry closed again) when it is not a dictionary.
Acad::ErrorStatus openSubDictionary(AcDbDictionary* parent, const wchar_t* name,
                                    AcDb::OpenMode mode, AcDbDictionary*& sub) {
    AcDbObject* entry = nullptr;
    const Acad::ErrorStatus status = parent->getAt(name, entry, mode);
    if (status != Acad::eOk) {
        return status;
    }
    sub = asDictionary(entry);
    if (sub == nullptr) {
        entry->close();
        return Acad::eNotThatKindOfClass;
    }
    return Acad::eOk;
}

// Opens the sub-dictionary name (valid) of parent for write, adding a new one when it is
// missing: setAt's refusal (the new dictionary then deleted), 34 for an entry that is not a
// dictionary, 45 when it cannot be opened.
Acad::ErrorStatus subDictionaryForWrite(AcDbDictionary* parent, const wchar_t* name,
                                        AcDbDictionary*& sub) {
    const Acad::ErrorStatus status = openSubDictionary(parent, name, AcDb::kForWrite, sub);
    if (status == Acad::eKeyNotFound) {
        auto* created = new AcDbDictionary();
        AcDbObjectId id;
        const Acad::ErrorStatus added = parent->setAt(name, created, id);
        if (added != Acad::eOk) {
            delete created;
            return added;
        }
        sub = created;
        return Acad::eOk;
    }
    return status == Acad::eOk || status == Acad::eNotThatKindOfClass ? status
                                                                      : Acad::eNotOpenForWrite;
}

}  // namespace

CVLKCDictionaryPtr::CVLKCDictionaryPtr(AcDb::OpenMode mode) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbDictionary* dictionary = nullptr;
    m_status =
        db != nullptr ? db->getNamedObjectsDictionary(dictionary, mode) : Acad::eNoWorkingDatabase;
    if (m_status == Acad::eOk) {
        m_object = dictionary;
        m_mode = mode;
    }
}

CVLKCDictionaryPtr::CVLKCDictionaryPtr(AcTransaction* transaction, AcDb::OpenMode mode) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbDictionary* dictionary = nullptr;
    if (transaction == nullptr || db == nullptr) {
        m_status = transaction == nullptr ? Acad::eNullPtr : Acad::eNoWorkingDatabase;
        return;
    }
    m_status = db->getNamedObjectsDictionary(dictionary, AcDb::kForRead);
    if (m_status != Acad::eOk) {
        return;
    }
    const AcDbObjectId id = dictionary->objectId();
    dictionary->close();
    AcDbObject* object = nullptr;
    m_status = transaction->getObject(object, id, mode, false);
    adopt(object);
    if (m_status == Acad::eOk) {
        m_mode = mode;
    }
}

CVLKCDictionaryPtr& CVLKCDictionaryPtr::operator=(CVLKCDictionaryPtr& other) {
    return *this;
}

bool CVLKCDictionaryPtr::readable() const {
    return m_object != nullptr && (m_mode == AcDb::kForRead || m_mode == AcDb::kForWrite);
}

bool CVLKCDictionaryPtr::writable() {
    if (m_object != nullptr && m_mode == AcDb::kForWrite) {
        return true;
    }
    m_status = Acad::eNotOpenForWrite;
    return false;
}

Acad::ErrorStatus CVLKCDictionaryPtr::writeItems(const wchar_t* dctName, const wchar_t* key,
                                                 resbuf* items, bool add, bool atEnd) {
    m_status = validateDictionaryKey(dctName);
    if (m_status == Acad::eOk) {
        m_status = validateDictionaryKey(key);
    }
    if (m_status == Acad::eOk && items == nullptr) {
        m_status = Acad::eInvalidInput;
    }
    AcDbDictionary* sub = nullptr;
    if (m_status == Acad::eOk) {
        m_status = subDictionaryForWrite(m_object, dctName, sub);
    }
    if (m_status != Acad::eOk) {
        acutRelRb(items);
        return m_status;
    }
    m_status = kestrel::replaceRecord(sub, key, items, add, atEnd, m_mode);
    sub->close();
    return m_status;
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWrite(const wchar_t* dctName, const wchar_t* key,
                                               resbuf* values, bool add, bool atEnd) {
    if (!writable()) {
        return m_status;
    }
    return writeItems(dctName, key, kestrel::convertValues(values, kestrel::kRecordCodes), add,
                      atEnd);
}

Acad::ErrorStatus CVLKCDictionaryPtr::writeValue(const wchar_t* dctName, const wchar_t* key,
                                                 const ItemValue& value, bool add, bool atEnd,
                                                 int groupCode) {
    if (!writable()) {
        return m_status;
    }
    resbuf* item = nullptr;
    m_status = kestrel::buildItem(groupCode, value, item);
    if (m_status != Acad::eOk) {
        return m_status;
    }
    const Acad::ErrorStatus status = dctWrite(dctName, key, item, add, atEnd);
    acutRelRb(item);
    return status;
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWrite(const wchar_t* dctName, const wchar_t* key,
                                               const wchar_t* value, bool add, bool atEnd,
                                               int groupCode) {
    return writeValue(dctName, key, ItemValue(std::in_place_type<const wchar_t*>, value), add,
                      atEnd, groupCode);
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWrite(const wchar_t* dctName, const wchar_t* key,
                                               int value, bool add, bool atEnd, int groupCode) {
    return writeValue(dctName, key, ItemValue(std::in_place_type<int>, value), add, atEnd,
                      groupCode);
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWrite(const wchar_t* dctName, const wchar_t* key,
                                               long value, bool add, bool atEnd, int groupCode) {
    return writeValue(dctName, key, ItemValue(std::in_place_type<long>, value), add, atEnd,
                      groupCode);
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWrite(const wchar_t* dctName, const wchar_t* key,
                                               double value, bool add, bool atEnd, int groupCode) {
    return writeValue(dctName, key, ItemValue(std::in_place_type<double>, value), add, atEnd,
                      groupCode);
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWrite(const wchar_t* dctName, const wchar_t* key,
                                               const AcGePoint3d& value, bool add, bool atEnd,
                                               int groupCode) {
    return writeValue(dctName, key, ItemValue(std::in_place_type<const AcGePoint3d*>, &value), add,
                      atEnd, groupCode);
}

template <class Value>
bool CVLKCDictionaryPtr::readValue(const wchar_t* dctName, const wchar_t* key, bool partialKey,
                                   Value* value) {
    if (!readable()) {
        return false;
    }
    AcDbDictionary* sub = nullptr;
    m_status = openSubDictionary(m_object, dctName, AcDb::kForRead, sub);
    if (m_status != Acad::eOk) {
        return false;
    }
    const bool read =
        kestrel::readRecord(sub, key, partialKey, m_mode, m_status, RecordOutput(value));
    sub->close();
    return read;
}

bool CVLKCDictionaryPtr::dctRead(const wchar_t* dctName, const wchar_t* key, int& value,
                                 bool partialKey) {
    return readValue(dctName, key, partialKey, &value);
}

bool CVLKCDictionaryPtr::dctRead(const wchar_t* dctName, const wchar_t* key, long& value,
                                 bool partialKey) {
    return readValue(dctName, key, partialKey, &value);
}

bool CVLKCDictionaryPtr::dctRead(const wchar_t* dctName, const wchar_t* key, double& value,
                                 bool partialKey) {
    return readValue(dctName, key, partialKey, &value);
}

bool CVLKCDictionaryPtr::dctRead(const wchar_t* dctName, const wchar_t* key, AcGePoint3d& value,
                                 bool partialKey) {
    return readValue(dctName, key, partialKey, &value);
}

bool CVLKCDictionaryPtr::dctRead(const wchar_t* dctName, const wchar_t* key, CString& value,
                                 bool partialKey) {
    return readValue(dctName, key, partialKey, &value);
}

bool CVLKCDictionaryPtr::dctRead(const wchar_t* dctName, const wchar_t* key, resbuf*& values,
                                 bool partialKey) {
    return readValue(dctName, key, partialKey, &values);
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctWriteBigString(const wchar_t* dctName, const wchar_t* key,
                                                        const wchar_t* text) {
    if (!writable()) {
        return m_status;
    }
    if (text == nullptr) {
        return m_status = Acad::eNullPtr;
    }
    // The items are already of the record's codes: they go to the record as they are.
    resbuf* items = bigStringItems(text);
    if (items == nullptr) {
        return m_status = Acad::eOutOfMemory;
    }
    return writeItems(dctName, key, items, false, true);
}

bool CVLKCDictionaryPtr::dctReadBigString(const wchar_t* dctName, const wchar_t* key,
                                          CString& text) {
    resbuf* chain = nullptr;
    if (!dctRead(dctName, key, chain, false)) {
        return false;
    }
    // Each piece measured once: the lengths serve both the room and the copies.
    std::vector<std::size_t> lengths;
    std::size_t length = 0;
    bool allText = true;
    for (const resbuf* item = chain; item != nullptr && allText; item = item->rbnext) {
        allText = item->restype == kTextCode;
        lengths.push_back(
            allText && item->resval.rstring != nullptr ? std::wcslen(item->resval.rstring) : 0);
        length += lengths.back();
    }
    if (allText) {
        std::wstring joined;
        joined.reserve(length);
        std::size_t piece = 0;
        for (const resbuf* item = chain; item != nullptr; item = item->rbnext) {
            joined.append(item->resval.rstring != nullptr ? item->resval.rstring : L"",
                          lengths[piece++]);
        }
        text = CString(std::move(joined));
    }
    acutRelRb(chain);
    return allText;
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctErase(const wchar_t* dctName) {
    if (!writable()) {
        return m_status;
    }
    return m_status = m_object->remove(dctName);
}

Acad::ErrorStatus CVLKCDictionaryPtr::dctErase(const wchar_t* dctName, const wchar_t* key) {
    if (!writable()) {
        return m_status;
    }
    AcDbDictionary* sub = nullptr;
    m_status = openSubDictionary(m_object, dctName, AcDb::kForWrite, sub);
    if (m_status == Acad::eKeyNotFound) {
        return m_status = Acad::eOk;
    }
    if (m_status != Acad::eOk) {
        return m_status;
    }
    m_status = sub->remove(key);
    sub->close();
    return m_status;
}

bool CVLKCDictionaryPtr::dctRename(const wchar_t* oldDctName, const wchar_t* newDctName) {
    if (!writable()) {
        return false;
    }
    m_status = Acad::eOk;
    return m_object->setName(oldDctName, newDctName);
}

bool CVLKCDictionaryPtr::dctRename(const wchar_t* dctName, const wchar_t* oldKey,
                                   const wchar_t* newKey) {
    if (!writable()) {
        return false;
    }
    AcDbDictionary* sub = nullptr;
    m_status = openSubDictionary(m_object, dctName, AcDb::kForWrite, sub);
    if (m_status != Acad::eOk) {
        return false;
    }
    const bool renamed = sub->setName(oldKey, newKey);
    sub->close();
    return renamed;
}

int CVLKCDictionaryPtr::allDctNames(CStringArray& names) {
    return readable() ? collect(m_object, names) : 0;
}

int CVLKCDictionaryPtr::allDctObjectIds(AcDbObjectIdArray& ids) {
    return readable() ? collect(m_object, ids) : 0;
}

template <class Array>
int CVLKCDictionaryPtr::listRecords(const wchar_t* dctName, Array& entries) {
    if (!readable()) {
        return 0;
    }
    AcDbDictionary* sub = nullptr;
    m_status = openSubDictionary(m_object, dctName, m_mode, sub);
    if (m_status != Acad::eOk) {
        return 0;
    }
    const int count = collect(sub, entries);
    sub->close();
    return count;
}

int CVLKCDictionaryPtr::allRecNames(const wchar_t* dctName, CStringArray& names) {
    return listRecords(dctName, names);
}

int CVLKCDictionaryPtr::allRecObjectIds(const wchar_t* dctName, AcDbObjectIdArray& ids) {
    return listRecords(dctName, ids);
}

Acad::ErrorStatus CVLKCDictionaryPtr::openRecord(AcDbDictionary* dictionary, const wchar_t* key,
                                                 bool partialKey, AcDbObject*& record) {
    return m_status = kestrel::openRecord(dictionary, key, partialKey, m_mode, record);
}

resbuf* CVLKCDictionaryPtr::setDictionaryRestype(resbuf* values) {
    return kestrel::convertValues(values, kestrel::kRecordCodes);
}
