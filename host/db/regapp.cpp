// acdbRegApp: adds a record to the working database's regapp table.

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_name.h"

int acdbRegApp(const wchar_t* appName) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr || validateSymbolName(appName, false) != Acad::eOk) {
        return RTERROR;
    }
    AcDbRegAppTable* table = nullptr;
    if (db->getRegAppTable(table, AcDb::kForWrite) != Acad::eOk) {
        return RTERROR;
    }
    int result = RTERROR;
    if (!table->has(appName)) {
        auto* record = new AcDbRegAppTableRecord();
        record->setName(appName);
        if (table->add(record) == Acad::eOk) {
            record->close();
            result = RTNORM;
        } else {
            delete record;
        }
    }
    table->close();
    return result;
}
