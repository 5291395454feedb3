// Xrecords kept under keys of one dictionary: looking a record up by exact or partial key,
// replacing it, and reading it back with type conversion. Shared by the entity's extension-
// dictionary store and the named-dictionary pointer; the caller opens and closes the dictionary,
// these functions close every record they open.
#pragma once

#include <variant>

#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/rx/error_status.h"

class AcDbDictionary;
class AcDbObject;
class AcGePoint3d;
class CString;
struct CVLKCBinaryData;
struct resbuf;

namespace kestrel {

// Opens the entry key of dictionary in mode into record: exactly (the dictionary's getAt), or with
// partialKey the first entry in iteration order whose name contains key (case-sensitive);
// eNoMatchingEntry (44) when none does, or the open's refusal. The caller closes the record.
Acad::ErrorStatus openRecord(AcDbDictionary* dictionary, const wchar_t* key, bool partialKey,
                             AcDb::OpenMode mode, AcDbObject*& record);

// Puts a new Xrecord holding items under key in place of any former entry; with add, the former
// record's values are kept before (atEnd) or after the new ones. Takes items over (non-null,
// in record encoding); the former entry is opened in mode. Returns the status of
// setFromRbChain, else of setAt; on failure the former entry stays.
Acad::ErrorStatus replaceRecord(AcDbDictionary* dictionary, const wchar_t* key, resbuf* items,
                                bool add, bool atEnd, AcDb::OpenMode mode);

// Where a reader puts what it read.
using RecordOutput =
    std::variant<int*, long*, double*, AcGePoint3d*, CString*, resbuf**, CVLKCBinaryData*>;

// Reads the record found as openRecord finds it (opened in mode) into output; status receives
// the host results of the look-up and of rbChain. The single values convert the first item
// (see the stores' class comments); an empty record gives false for them. resbuf** receives a
// list owned by the caller. Every output is unchanged on false.
bool readRecord(AcDbDictionary* dictionary, const wchar_t* key, bool partialKey,
                AcDb::OpenMode mode, Acad::ErrorStatus& status, const RecordOutput& output);

// The binary record layout of data into items (owned by the caller): one code-1 item per text,
// then the block in chunks under groupCode. eInvalidInput (items null) when groupCode is not
// 310 (other chunks would not be kept), when the block is null with a size, or when there is
// neither text nor block.
Acad::ErrorStatus binaryItems(const CVLKCBinaryData& data, int groupCode, resbuf*& items);

}  // namespace kestrel
