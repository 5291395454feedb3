// The harness functions: open objects, the end of a session, command boundaries, undo and redo
// of the working database.
#include "kestrel/host/harness.h"

#include <algorithm>

#include "host/db/object_access.h"
#include "host/db/object_store.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/undo.h"
#include "kestrel/host/rx/class.h"

namespace host {
namespace {

AcDbUndoController* workingUndo() {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    return db != nullptr ? db->undoController() : nullptr;
}

}  // namespace

std::vector<OpenObject> openObjects() {
    std::vector<OpenObject> result;
    for (AcDbDatabase* db : liveDatabases()) {
        std::vector<OpenObject> inDatabase;
        for (AcDbObject* object : db->objectStore()->openObjects()) {
            const ObjectState& state = ObjectAccess::state(object);
            const AcRxClass* cls = object->isA();
            inDatabase.push_back({object->objectId(), cls != nullptr ? cls->name() : L"",
                                  state.writer ? AcDb::kForWrite : AcDb::kForRead,
                                  state.writer ? 1 : static_cast<int>(state.readers),
                                  state.transactionHeld});
        }
        std::sort(
            inDatabase.begin(), inDatabase.end(),
            [](const OpenObject& a, const OpenObject& b) { return a.id.handle() < b.id.handle(); });
        result.insert(result.end(), inDatabase.begin(), inDatabase.end());
    }
    return result;
}

std::wstring describeOpenObjects(const std::vector<OpenObject>& objects) {
    std::wstring text;
    for (const OpenObject& object : objects) {
        text += object.id.handle().text() + L" " + object.className +
                (object.mode == AcDb::kForWrite ? L" write " : L" read ") +
                std::to_wstring(object.count) + (object.transaction ? L" transaction" : L"") +
                L"\n";
    }
    return text;
}

std::wstring tearDown() {
    std::wstring failures;
    if (const Acad::ErrorStatus status = closeAllDocuments(); status != Acad::eOk) {
        failures += L"closing the documents: " + std::wstring(acadErrorStatusText(status)) + L", " +
                    std::to_wstring(documents().size()) + L" still open\n";
    }
    const std::vector<std::wstring> modules = loadedModules();
    for (auto module = modules.rbegin(); module != modules.rend(); ++module) {
        const std::size_t printed = commandLine().size();
        const ModuleStatus status = unloadModule(module->c_str());
        if (status != ModuleStatus::kOk && status != ModuleStatus::kKeptMapped) {
            failures += commandLine().substr(printed);  // the linker's line, with its reason
        }
    }
    return failures;
}

Acad::ErrorStatus beginCommand(const wchar_t* name) {
    AcDbUndoController* undo = workingUndo();
    return undo != nullptr ? undo->beginCommand(name) : Acad::eNoWorkingDatabase;
}

Acad::ErrorStatus endCommand() {
    AcDbUndoController* undo = workingUndo();
    return undo != nullptr ? undo->endCommand() : Acad::eNoWorkingDatabase;
}

Acad::ErrorStatus undo(int count) {
    AcDbUndoController* controller = workingUndo();
    return controller != nullptr ? controller->undo(count) : Acad::eNoWorkingDatabase;
}

Acad::ErrorStatus redo(int count) {
    AcDbUndoController* controller = workingUndo();
    return controller != nullptr ? controller->redo(count) : Acad::eNoWorkingDatabase;
}

}  // namespace host
