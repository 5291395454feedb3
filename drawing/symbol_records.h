// Shared steps of the symbol-table pointers: opening a table of the working database, reading a
// record's name by id and listing a table's live records. Every record these open is closed
// again before they return; a table passed in stays open.
#pragma once

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/symbol_table.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/cstring_array.h"

namespace kestrel {

// Opens the working database's table of Table's kind in mode: getSymbolTable's status, or
// eNoWorkingDatabase (table null) when there is no working database. The caller closes it.
template <class Table>
Acad::ErrorStatus openWorkingTable(Table*& table, AcDb::OpenMode mode) {
    table = nullptr;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    return db != nullptr ? db->getSymbolTable(table, mode) : Acad::eNoWorkingDatabase;
}

// The name of the symbol-table record id (opened for read, closed again): eOk with name set, or
// the open's status (eNotThatKindOfClass for an object that is no record) with name untouched.
Acad::ErrorStatus recordName(const AcDbObjectId& id, CString& name);

// How a listing treats the reading of each record's name.
enum class NameRead {
    kChecked,  // its status goes to status, and only names read with eOk are listed
    kTrusted,  // its status is not looked at and every name is listed
};

// Replaces names by the names of table's live records in table order and answers their number.
// Each record is opened for read and status receives the status of each open (and, kChecked,
// of each name read); records that do not open are left out. 0, names unchanged, without an
// iterator.
int recordNames(const AcDbSymbolTable& table, Acad::ErrorStatus& status, CStringArray& names,
                NameRead nameRead);
// As recordNames for the records' ids.
int recordIds(const AcDbSymbolTable& table, Acad::ErrorStatus& status, AcDbObjectIdArray& ids);

}  // namespace kestrel
