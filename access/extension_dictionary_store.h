// The extension-dictionary store behind CxEntity<T>: one Xrecord per key in the entity's
// extension dictionary (made on the first write), written from values, lists or binary blocks
// and read back with type conversion. Every record and dictionary opened here is closed again.
#pragma once

#include "access/record_store.h"
#include "kestrel/access/entity_fields.h"
#include "kestrel/access/store_codes.h"

namespace kestrel {

// Stores the record conversion of values (not changed) under key. The entity is lowered to read
// while its extension dictionary opens and raised again. Refusals before anything changes:
// 45 unless open for write, the key's validation status, eInvalidInput when no item converts.
// Otherwise the status of the dictionary's open, of the entity's upgrade, of setFromRbChain or
// of setAt.
Acad::ErrorStatus writeEntityRecord(const EntityFields& fields, const wchar_t* key,
                                    const resbuf* values, bool add, bool atEnd);
// As writeEntityRecord with the one item (groupCode, value); buildItem's refusals first.
Acad::ErrorStatus writeEntityValue(const EntityFields& fields, const wchar_t* key,
                                   const ItemValue& value, bool add, bool atEnd, int groupCode);
// As writeEntityRecord with the binary record layout of data; binaryItems' refusals first.
Acad::ErrorStatus writeEntityBinary(const EntityFields& fields, const wchar_t* key,
                                    const CVLKCBinaryData& data, bool add, bool atEnd,
                                    int groupCode);
// readRecord on the entity's extension dictionary (opened for read); false without an open
// entity or an extension dictionary.
bool readEntityRecord(const EntityFields& fields, const wchar_t* key, bool partialKey,
                      const RecordOutput& output);
// Removes the record under key: the dictionary's remove status; eOk without an extension
// dictionary; 45 unless open for write. The extension dictionary stays, empty or not.
Acad::ErrorStatus eraseEntityRecord(const EntityFields& fields, const wchar_t* key);

}  // namespace kestrel
