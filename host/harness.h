// The host's control interface for programs and tests (namespace host): what is open, command
// boundaries, undo and redo, and the contract violations the host noticed. Everything acts on the
// working database (acdbHostApplicationServices()) and answers eNoWorkingDatabase without one.
#pragma once

#include <string>
#include <vector>

#include "host/db/db_enums.h"
#include "host/db/error_status.h"
#include "host/db/object_id.h"

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

// Misuses of the host contract that the host survived (an object read while closed, a resident
// object deleted, a database destroyed with objects open, ...), oldest first.
std::vector<std::wstring> contractViolations();
void clearContractViolations();
// Host use: notes one violation.
void noteContractViolation(const std::wstring& text);

}  // namespace host
