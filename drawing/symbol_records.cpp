// Shared steps of the symbol-table pointers: record names and the walk over a table's records.
#include "drawing/symbol_records.h"

#include <functional>
#include <memory>

namespace kestrel {

namespace {

// Opens each live record of table for read in table order, hands it to visit and closes it;
// status receives each open's status. False, with the iterator's status, without an iterator.
bool walkRecords(const AcDbSymbolTable& table, Acad::ErrorStatus& status,
                 const std::function<void(AcDbSymbolTableRecord&)>& visit) {
    AcDbSymbolTableIterator* raw = nullptr;
    status = table.newIterator(raw, true, true);
    const std::unique_ptr<AcDbSymbolTableIterator> iterator(raw);
    if (status != Acad::eOk || iterator == nullptr) {
        return false;
    }
    for (; !iterator->done(); iterator->step(true, true)) {
        AcDbSymbolTableRecord* record = nullptr;
        status = iterator->getRecord(record, AcDb::kForRead, false);
        if (record != nullptr) {
            visit(*record);
            record->close();
        }
    }
    return true;
}

}  // namespace

Acad::ErrorStatus recordName(const AcDbObjectId& id, CString& name) {
    AcDbSymbolTableRecord* record = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(record, id, AcDb::kForRead, false);
    if (status != Acad::eOk) {
        return status;
    }
    const wchar_t* text = nullptr;
    status = record->getName(text);
    if (status == Acad::eOk) {
        name = text;
    }
    record->close();
    return status;
}

int recordNames(const AcDbSymbolTable& table, Acad::ErrorStatus& status, CStringArray& names,
                NameRead nameRead) {
    CStringArray found;
    const bool walked = walkRecords(table, status, [&](AcDbSymbolTableRecord& record) {
        const wchar_t* name = nullptr;
        const Acad::ErrorStatus read = record.getName(name);
        if (nameRead == NameRead::kTrusted) {
            found.Add(name != nullptr ? name : L"");
        } else if ((status = read) == Acad::eOk) {
            found.Add(name);
        }
    });
    if (!walked) {
        return 0;
    }
    names = std::move(found);
    return names.GetSize();
}

int recordIds(const AcDbSymbolTable& table, Acad::ErrorStatus& status, AcDbObjectIdArray& ids) {
    AcDbObjectIdArray found;
    const bool walked = walkRecords(
        table, status, [&](AcDbSymbolTableRecord& record) { found.append(record.objectId()); });
    if (!walked) {
        return 0;
    }
    ids = std::move(found);
    return ids.length();
}

}  // namespace kestrel
