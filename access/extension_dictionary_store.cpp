// The entity side of the extension-dictionary store: finding, creating and opening the
// extension dictionary around the record operations of record_store. The entity stays open in
// the wrapper; only its mode moves (down to read and back up) while the dictionary opens.
#include "access/extension_dictionary_store.h"

#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_name.h"

namespace kestrel {

namespace {

// Creates the extension dictionary when needed and opens it for write, lowering the entity to
// read for the open and raising it again. The open's refusal wins over the upgrade's status.
Acad::ErrorStatus openForWrite(const EntityFields& fields, AcDbDictionary*& dictionary) {
    fields.entity->createExtensionDictionary();
    const AcDbObjectId id = fields.entity->extensionDictionary();
    fields.status = fields.entity->downgradeOpen();
    if (fields.status == Acad::eOk || fields.status == Acad::eWasOpenForRead) {
        fields.mode = AcDb::kForRead;
    }
    const Acad::ErrorStatus opened = acdbOpenObject(dictionary, id, AcDb::kForWrite, false);
    const Acad::ErrorStatus raised = fields.entity->upgradeOpen();
    if (raised == Acad::eOk || raised == Acad::eWasOpenForWrite) {
        fields.mode = AcDb::kForWrite;
    }
    fields.status = opened != Acad::eOk ? opened : raised;
    return opened;
}

// Writes items (taken over; null means nothing converted) under key.
Acad::ErrorStatus writeItems(const EntityFields& fields, const wchar_t* key, resbuf* items,
                             bool add, bool atEnd) {
    fields.status = validateDictionaryKey(key);
    if (fields.status == Acad::eOk && items == nullptr) {
        fields.status = Acad::eInvalidInput;
    }
    AcDbDictionary* dictionary = nullptr;
    if (fields.status != Acad::eOk || openForWrite(fields, dictionary) != Acad::eOk) {
        acutRelRb(items);
        return fields.status;
    }
    fields.status = replaceRecord(dictionary, key, items, add, atEnd, fields.mode);
    dictionary->close();
    return fields.status;
}

}  // namespace

Acad::ErrorStatus writeEntityRecord(const EntityFields& fields, const wchar_t* key,
                                    const resbuf* values, bool add, bool atEnd) {
    if (!fields.writable()) {
        return fields.status;
    }
    return writeItems(fields, key, convertValues(values, kRecordCodes), add, atEnd);
}

Acad::ErrorStatus writeEntityValue(const EntityFields& fields, const wchar_t* key,
                                   const ItemValue& value, bool add, bool atEnd, int groupCode) {
    if (!fields.writable()) {
        return fields.status;
    }
    resbuf* item = nullptr;
    fields.status = buildItem(groupCode, value, item);
    if (fields.status != Acad::eOk) {
        return fields.status;
    }
    const Acad::ErrorStatus status = writeEntityRecord(fields, key, item, add, atEnd);
    acutRelRb(item);
    return status;
}

Acad::ErrorStatus writeEntityBinary(const EntityFields& fields, const wchar_t* key,
                                    const CVLKCBinaryData& data, bool add, bool atEnd,
                                    int groupCode) {
    if (!fields.writable()) {
        return fields.status;
    }
    resbuf* items = nullptr;
    fields.status = binaryItems(data, groupCode, items);
    if (fields.status != Acad::eOk) {
        return fields.status;
    }
    const Acad::ErrorStatus status = writeEntityRecord(fields, key, items, add, atEnd);
    acutRelRb(items);
    return status;
}

bool readEntityRecord(const EntityFields& fields, const wchar_t* key, bool partialKey,
                      const RecordOutput& output) {
    if (fields.entity == nullptr || fields.entity->extensionDictionary().isNull()) {
        return false;
    }
    AcDbDictionary* dictionary = nullptr;
    fields.status =
        acdbOpenObject(dictionary, fields.entity->extensionDictionary(), AcDb::kForRead, false);
    if (fields.status != Acad::eOk) {
        return false;
    }
    const bool read = readRecord(dictionary, key, partialKey, fields.mode, fields.status, output);
    dictionary->close();
    return read;
}

Acad::ErrorStatus eraseEntityRecord(const EntityFields& fields, const wchar_t* key) {
    if (!fields.writable()) {
        return fields.status;
    }
    fields.status = Acad::eOk;
    if (fields.entity->extensionDictionary().isNull()) {
        return fields.status;
    }
    AcDbDictionary* dictionary = nullptr;
    fields.status =
        acdbOpenObject(dictionary, fields.entity->extensionDictionary(), AcDb::kForWrite, false);
    if (fields.status != Acad::eOk) {
        return fields.status;
    }
    fields.status = dictionary->remove(key);
    dictionary->close();
    return fields.status;
}

}  // namespace kestrel
