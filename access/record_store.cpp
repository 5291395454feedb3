// Record look-up, replacement and typed reading inside one dictionary. Records are never edited
// in place: every write builds a new Xrecord and puts it under the key.
#include "access/record_store.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <limits>
#include <memory>
#include <type_traits>
#include <type_traits>

#include "kestrel/access/binary_data.h"
#include "kestrel/access/store_codes.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/platform/wide_runtime.h"

namespace kestrel {

namespace {

constexpr short kTextCode = kRecordCodes.text;
constexpr short kPointCode = kRecordCodes.point;
constexpr short kRealCode = kRecordCodes.real;
constexpr short kShortCode = kRecordCodes.shortInt;
constexpr short kLongCode = kRecordCodes.longInt;
constexpr short kChunkCode = kRecordCodes.binary;

// A real truncated toward zero into 32 bits, saturating (NaN gives 0), as the text readers do.
std::int32_t truncated(double value) {
    using Limits = std::numeric_limits<std::int32_t>;
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= Limits::min()) {
        return Limits::min();
    }
    if (value >= Limits::max()) {
        return Limits::max();
    }
    return static_cast<std::int32_t>(value);
}

const wchar_t* textOf(const resbuf& item) {
    return item.resval.rstring != nullptr ? item.resval.rstring : L"";
}

// The conversions of a record's first item by its code; other codes leave the output as it is.
// Texts go through parseText; reals are truncated (saturating) for integer outputs.
template <class T>
void convertNumber(const resbuf& item, T& value, T (*parseText)(const wchar_t*)) {
    switch (item.restype) {
        case kShortCode:
            value = item.resval.rint;
            break;
        case kTextCode:
            value = parseText(textOf(item));
            break;
        case kLongCode:
            value = item.resval.rlong;
            break;
        case kRealCode:
            if constexpr (std::is_floating_point_v<T>) {
                value = item.resval.rreal;
            } else {
                value = truncated(item.resval.rreal);
            }
            break;
    }
}

void convertFirst(const resbuf& item, int& value) {
    convertNumber(item, value, &_wtoi);
}

void convertFirst(const resbuf& item, long& value) {
    convertNumber(item, value, &_wtol);
}

void convertFirst(const resbuf& item, double& value) {
    convertNumber(item, value, &_wtof);
}

void convertFirst(const resbuf& item, CString& value) {
    switch (item.restype) {
        case kShortCode:
            value.Format(L"%d", static_cast<int>(item.resval.rint));
            break;
        case kTextCode:
            value.Format(L"%s", textOf(item));
            break;
        case kLongCode:
            value.Format(L"%d", static_cast<int>(item.resval.rlong));
            break;
        case kRealCode:
            value.Format(L"%.4f", item.resval.rreal);
            break;
    }
}

void convertFirst(const resbuf& item, AcGePoint3d& value) {
    if (item.restype == kPointCode) {
        value.set(item.resval.rpoint[0], item.resval.rpoint[1], item.resval.rpoint[2]);
    }
}

// The record's chain when it is exactly an Xrecord; status := rbChain's result.
bool xrecordChain(AcDbObject* record, Acad::ErrorStatus& status, resbuf*& chain) {
    if (record->isA() != AcDbXrecord::desc()) {
        return false;
    }
    status = static_cast<AcDbXrecord*>(record)->rbChain(chain);
    return status == Acad::eOk;
}

template <class Value>
bool readInto(AcDbObject* record, Acad::ErrorStatus& status, Value* value) {
    resbuf* chain = nullptr;
    if (!xrecordChain(record, status, chain) || chain == nullptr) {
        return false;
    }
    convertFirst(*chain, *value);
    acutRelRb(chain);
    return true;
}

// An Xrecord's chain, or another object's entity-data list.
bool readInto(AcDbObject* record, Acad::ErrorStatus& status, resbuf** list) {
    if (record->isA() == AcDbXrecord::desc()) {
        resbuf* chain = nullptr;
        if (!xrecordChain(record, status, chain)) {
            return false;
        }
        *list = chain;
        return true;
    }
    // acdbEntGet opens the object for read, which a write open would refuse.
    if (record->isWriteEnabled()) {
        record->downgradeOpen();
    }
    std::int64_t name[2] = {0, 0};
    acdbGetAdsName(name, record->objectId());
    *list = acdbEntGet(name);
    return true;
}

bool readInto(AcDbObject* record, Acad::ErrorStatus& status, CVLKCBinaryData* data) {
    resbuf* chain = nullptr;
    if (!xrecordChain(record, status, chain)) {
        return false;
    }
    std::uint32_t size = 0;
    for (const resbuf* item = chain; item != nullptr; item = item->rbnext) {
        if (item->restype == kTextCode) {
            data->m_texts.Add(CString(textOf(*item)));
        } else if (item->restype == kChunkCode && item->resval.rbinary.clen > 0) {
            size += static_cast<std::uint32_t>(item->resval.rbinary.clen);
        }
    }
    auto* block = static_cast<unsigned char*>(size > 0 ? std::malloc(size) : nullptr);
    std::uint32_t offset = 0;
    for (const resbuf* item = chain; block != nullptr && item != nullptr; item = item->rbnext) {
        if (item->restype == kChunkCode && item->resval.rbinary.clen > 0) {
            std::memcpy(block + offset, item->resval.rbinary.buf, item->resval.rbinary.clen);
            offset += static_cast<std::uint32_t>(item->resval.rbinary.clen);
        }
    }
    data->m_data = block;
    data->m_size = block != nullptr ? size : 0;
    acutRelRb(chain);
    return true;
}

// items with the former record's values put before (atEnd) or after them.
resbuf* mergedWithFormer(AcDbDictionary* dictionary, const wchar_t* key, resbuf* items, bool atEnd,
                         AcDb::OpenMode mode) {
    AcDbObject* entry = nullptr;
    if (dictionary->getAt(key, entry, mode) != Acad::eOk) {
        return items;
    }
    resbuf* former = nullptr;
    if (auto* record = AcDbXrecord::cast(entry)) {
        record->rbChain(former);
    }
    entry->close();
    if (former == nullptr) {
        return items;
    }
    if (atEnd) {
        acutRbChainLast(former)->rbnext = items;
        return former;
    }
    acutRbChainLast(items)->rbnext = former;
    return items;
}

// Appends item after tail (or as head); false when item is null.
bool link(resbuf*& head, resbuf*& tail, resbuf* item) {
    if (item == nullptr) {
        return false;
    }
    (tail != nullptr ? tail->rbnext : head) = item;
    tail = item;
    return true;
}

resbuf* chunkItem(int groupCode, const unsigned char* bytes, std::uint32_t length) {
    resbuf* chunk = acutNewRb(groupCode);
    if (chunk != nullptr && acutRbSetBinary(chunk, bytes, static_cast<int>(length)) != RTNORM) {
        acutRelRb(chunk);
        return nullptr;
    }
    return chunk;
}

}  // namespace

Acad::ErrorStatus openRecord(AcDbDictionary* dictionary, const wchar_t* key, bool partialKey,
                             AcDb::OpenMode mode, AcDbObject*& record) {
    if (!partialKey) {
        return dictionary->getAt(key, record, mode);
    }
    if (key == nullptr) {
        return Acad::eNoMatchingEntry;
    }
    const std::unique_ptr<AcDbDictionaryIterator> entries(dictionary->newIterator());
    for (; entries != nullptr && !entries->done(); entries->next()) {
        if (std::wcsstr(entries->name(), key) != nullptr) {
            return acdbOpenAcDbObject(record, entries->objectId(), mode, false);
        }
    }
    return Acad::eNoMatchingEntry;
}

Acad::ErrorStatus replaceRecord(AcDbDictionary* dictionary, const wchar_t* key, resbuf* items,
                                bool add, bool atEnd, AcDb::OpenMode mode) {
    resbuf* chain = add ? mergedWithFormer(dictionary, key, items, atEnd, mode) : items;
    auto* record = new AcDbXrecord();
    Acad::ErrorStatus status = record->setFromRbChain(chain);
    AcDbObjectId id;
    if (status == Acad::eOk) {
        status = dictionary->setAt(key, record, id);
    }
    if (status == Acad::eOk) {
        record->close();
    } else {
        delete record;
    }
    acutRelRb(chain);
    return status;
}

bool readRecord(AcDbDictionary* dictionary, const wchar_t* key, bool partialKey,
                AcDb::OpenMode mode, Acad::ErrorStatus& status, const RecordOutput& output) {
    AcDbObject* record = nullptr;
    status = openRecord(dictionary, key, partialKey, mode, record);
    if (status != Acad::eOk) {
        return false;
    }
    const bool read = std::visit([&](auto* out) { return readInto(record, status, out); }, output);
    record->close();
    return read;
}

Acad::ErrorStatus binaryItems(const CVLKCBinaryData& data, int groupCode, resbuf*& items) {
    items = nullptr;
    if (storeClass(groupCode) != StoreClass::kBinary ||
        (data.m_data == nullptr && data.m_size > 0) ||
        (data.m_texts.IsEmpty() && data.m_size == 0)) {
        return Acad::eInvalidInput;
    }
    resbuf* tail = nullptr;
    bool built = true;
    for (int i = 0; built && i < data.m_texts.GetSize(); ++i) {
        built = link(items, tail, acutBuildList(kTextCode, data.m_texts[i].GetString(), 0));
    }
    for (std::uint32_t offset = 0; built && offset < data.m_size;
         offset += CVLKCBinaryData::kChunkBytes) {
        const std::uint32_t length = std::min(CVLKCBinaryData::kChunkBytes, data.m_size - offset);
        built = link(items, tail, chunkItem(groupCode, data.m_data + offset, length));
    }
    if (!built) {
        acutRelRb(items);
        items = nullptr;
        return Acad::eOutOfMemory;
    }
    return Acad::eOk;
}

}  // namespace kestrel
