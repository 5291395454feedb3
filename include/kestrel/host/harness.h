// The host's control interface for programs and tests (namespace host), the one header they
// include: what is open, command boundaries, undo and redo (declared here; they act on the
// working database, acdbHostApplicationServices(), and answer eNoWorkingDatabase without one),
// the contract violations the host noticed (host/rx/contract_violations.h) and the session of
// documents, editor and modules (host/app/session.h). It sits above the whole host: no part of
// the host includes it.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/contract_violations.h"
#include "kestrel/host/rx/error_status.h"

namespace host {

// One object that is open now.
struct DRAWHOST_API OpenObject {
    AcDbObjectId id;
    std::wstring className;
    AcDb::OpenMode mode;  // kForWrite or kForRead
    int count;            // readers (1 for a write open)
    bool transaction;     // one of the opens is held by a transaction
};

// Every object open in any live database, ordered by database then handle.
DRAWHOST_API std::vector<OpenObject> openObjects();
// One line per open object ("3A AcDbLayerTableRecord write 1"), for test failure messages.
DRAWHOST_API std::wstring describeOpenObjects(const std::vector<OpenObject>& objects);

// Ends a test's session in the order the host requires: closes every document, then unloads
// the loaded modules, the last loaded first (a client before the module it depends on). Returns
// what failed, one line each (a module's line gives the linker's reason); empty when everything
// closed. A module that never unlocked itself stays mapped, which is no failure.
DRAWHOST_API std::wstring tearDown();

// Command boundaries, undo and redo of the working database (see AcDbUndoController).
DRAWHOST_API Acad::ErrorStatus beginCommand(const wchar_t* name);
DRAWHOST_API Acad::ErrorStatus endCommand();
DRAWHOST_API Acad::ErrorStatus undo(int count = 1);
DRAWHOST_API Acad::ErrorStatus redo(int count = 1);

}  // namespace host

