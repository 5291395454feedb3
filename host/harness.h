// The host's control interface for programs and tests (namespace host), the one header they
// include: what is open, command boundaries, undo and redo (declared here; they act on the
// working database, acdbHostApplicationServices(), and answer eNoWorkingDatabase without one),
// the contract violations the host noticed (host/rx/contract_violations.h) and the session of
// documents, editor and modules (host/app/session.h). It sits above the whole host: no part of
// the host includes it.
#pragma once

#include <string>
#include <vector>

#include "host/app/session.h"
#include "host/db/db_enums.h"
#include "host/db/object_id.h"
#include "host/rx/contract_violations.h"
#include "host/rx/error_status.h"

namespace host {

// One object that is open now.
struct OpenObject {
    AcDbObjectId id;
    std::wstring className;
    AcDb::OpenMode mode;  // kForWrite or kForRead
    int count;            // readers (1 for a write open)
    bool transaction;     // one of the opens is held by a transaction
};

// Every object open in any live database, ordered by database then handle.
std::vector<OpenObject> openObjects();
// One line per open object ("3A AcDbLayerTableRecord write 1"), for test failure messages.
std::wstring describeOpenObjects(const std::vector<OpenObject>& objects);

// Command boundaries, undo and redo of the working database (see AcDbUndoController).
Acad::ErrorStatus beginCommand(const wchar_t* name);
Acad::ErrorStatus endCommand();
Acad::ErrorStatus undo(int count = 1);
Acad::ErrorStatus redo(int count = 1);

}  // namespace host

