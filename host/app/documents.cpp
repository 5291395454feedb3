// The harness's document operations: new, open, save, close and activate, each with the
// notifications the host sends in its order (see host/harness.h).
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "kestrel/host/app/command_line.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/drawing_files.h"
#include "kestrel/host/app/editor.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/rx/dynamic_linker.h"
#include "kestrel/platform/cstring.h"
#include "kestrel/platform/utf8.h"

namespace {

AcApDocManager* manager() {
    return host::hostDocManager();
}

// Sends an editor notification when the editor is present.
template <class Target, class... Params, class... Args>
void editorNotify(void (Target::*notification)(Params...), Args&&... args) {
    if (AcEditor* editor = acedEditor) {
        editor->notify(notification, std::forward<Args>(args)...);
    }
}

std::wstring untitledName() {
    static int count = 0;
    return L"Drawing" + std::to_wstring(++count) + L".dxf";
}

std::wstring absolutePath(const wchar_t* path) {
    std::error_code error;
    const std::filesystem::path absolute =
        std::filesystem::absolute(std::filesystem::path(wideToUtf8(path)), error);
    return error ? std::wstring(path) : utf8ToWide(absolute.lexically_normal().string());
}

// One line on the command line: the status, and where and what the file's fault was when the
// reader or writer said.
void reportFailure(const wchar_t* action, const std::wstring& path, Acad::ErrorStatus status) {
    CString line;
    line.Format(L"Cannot %s %s: %s", action, path, acadErrorStatusText(status));
    if (!host::lastDrawingFileMessage().empty()) {
        line += L" (" + CString(host::lastDrawingFileMessage().c_str()) + L")";
    }
    host::printToCommandLine((line + L"\n").str());
}

// Builds a document around a new database and announces the start of its creation.
std::unique_ptr<AcApDocument> startDocument(bool defaultDrawing, std::wstring name, bool named) {
    auto doc = std::make_unique<AcApDocument>(std::make_unique<AcDbDatabase>(defaultDrawing, false),
                                              std::move(name), named);
    manager()->notify(&AcApDocManagerReactor::documentCreateStarted, doc.get());
    editorNotify(&AcRxEventReactor::databaseConstructed, doc->database());
    return doc;
}

// Hands the document to the manager, announces it and makes it the active document.
AcApDocument* finishDocument(std::unique_ptr<AcApDocument> owned) {
    AcApDocument* doc = owned.get();
    manager()->adopt(std::move(owned));
    manager()->notify(&AcApDocManagerReactor::documentCreated, doc);
    manager()->activateDocument(doc);
    if (AcRxDynamicLinker* linker = acrxDynamicLinker) {
        linker->broadcast(AcRx::kLoadDwgMsg, doc);
    }
    return doc;
}

// After a close: the next document becomes active, or the working database is put back.
void afterClose(bool wasCurrent, AcDbDatabase* formerWorking, AcDbDatabase* closed) {
    const std::vector<AcApDocument*> remaining = manager()->documents();
    if (wasCurrent) {
        if (remaining.empty()) {
            manager()->makeCurrent(nullptr);
        } else {
            manager()->activateDocument(remaining.back());
        }
        return;
    }
    AcApDocument* current = manager()->curDocument();
    acdbHostApplicationServices()->setWorkingDatabase(
        formerWorking != closed ? formerWorking
                                : (current != nullptr ? current->database() : nullptr));
}

}  // namespace

namespace host {

AcApDocument* newDocument() {
    return finishDocument(startDocument(true, untitledName(), false));
}

AcApDocument* openDocument(const wchar_t* path, Acad::ErrorStatus* status) {
    Acad::ErrorStatus result = Acad::eOk;
    AcApDocument* doc = nullptr;
    if (path == nullptr || *path == L'\0') {
        result = Acad::eInvalidInput;
    } else {
        const std::wstring file = absolutePath(path);
        editorNotify(&AcEditorReactor::beginDwgOpen, file.c_str());
        std::unique_ptr<AcApDocument> owned = startDocument(false, file, true);
        result = readDrawingFile(owned->database(), file.c_str());
        if (result == Acad::eOk) {
            AcDbDatabase* db = owned->database();
            editorNotify(&AcRxEventReactor::dwgFileOpened, db, file.c_str());
            editorNotify(&AcRxEventReactor::initialDwgFileOpenComplete, db);
            editorNotify(&AcEditorReactor::endDwgOpen, file.c_str(), db);
            doc = finishDocument(std::move(owned));
        } else {
            manager()->notify(&AcApDocManagerReactor::documentCreateCanceled, owned.get());
            editorNotify(&AcRxEventReactor::databaseToBeDestroyed, owned->database());
            reportFailure(L"open", file, result);
        }
    }
    if (status != nullptr) {
        *status = result;
    }
    return doc;
}

Acad::ErrorStatus saveDocument(AcApDocument* doc, const wchar_t* path) {
    if (doc == nullptr) {
        return Acad::eNullPtr;
    }
    if (!manager()->owns(doc) || doc->closing()) {
        return Acad::eInvalidInput;
    }
    const bool ownFile = path == nullptr || *path == L'\0';
    if (ownFile && !doc->isNamedDrawing()) {
        return Acad::eInvalidInput;
    }
    const std::wstring file = ownFile ? std::wstring(doc->fileName()) : absolutePath(path);
    AcDbDatabase* db = doc->database();
    editorNotify(&AcRxEventReactor::beginSave, db, file.c_str());
    const Acad::ErrorStatus status = writeDrawingFile(db, file.c_str());
    if (status != Acad::eOk) {
        editorNotify(&AcRxEventReactor::abortSave, db);
        reportFailure(L"save", file, status);
        return status;
    }
    doc->setFile(file);
    editorNotify(&AcRxEventReactor::saveComplete, db, file.c_str());
    return Acad::eOk;
}

Acad::ErrorStatus closeDocument(AcApDocument* doc) {
    if (doc == nullptr) {
        return Acad::eNullPtr;
    }
    if (!manager()->owns(doc) || doc->closing()) {
        return Acad::eInvalidInput;
    }
    if (doc->lockCount() > 0) {
        return Acad::eNotApplicable;
    }
    doc->setClosing();
    AcDbDatabase* db = doc->database();
    AcDbDatabase* formerWorking = acdbHostApplicationServices()->workingDatabase();
    const bool wasCurrent = manager()->curDocument() == doc;
    const std::wstring fileName = doc->fileName();
    acdbHostApplicationServices()->setWorkingDatabase(db);
    editorNotify(&AcEditorReactor::beginClose, db);
    manager()->notify(&AcApDocManagerReactor::documentToBeDestroyed, doc);
    if (AcRxDynamicLinker* linker = acrxDynamicLinker) {
        linker->broadcast(AcRx::kUnloadDwgMsg, doc);
    }
    editorNotify(&AcRxEventReactor::databaseToBeDestroyed, db);
    manager()->release(doc).reset();
    manager()->notify(&AcApDocManagerReactor::documentDestroyed, fileName.c_str());
    afterClose(wasCurrent, formerWorking, db);
    return Acad::eOk;
}

Acad::ErrorStatus activateDocument(AcApDocument* doc) {
    if (doc != nullptr && manager()->owns(doc) && doc->closing()) {
        return Acad::eInvalidInput;
    }
    return manager()->activateDocument(doc);
}

Acad::ErrorStatus closeAllDocuments() {
    Acad::ErrorStatus result = Acad::eOk;
    for (AcApDocument* doc : manager()->documents()) {
        const Acad::ErrorStatus status = closeDocument(doc);
        result = result == Acad::eOk ? status : result;
    }
    return result;
}

std::vector<AcApDocument*> documents() {
    return manager()->documents();
}

void setEditorServicesPresent(bool present) {
    AcRxDictionary* registry = acrxSysRegistry();
    if (present) {
        registry->atPut(ACRX_EDITOR_SERVICE, hostEditor());
        registry->atPut(ACAP_DOC_MANAGER_SERVICE, hostDocManager());
    } else {
        registry->remove(ACRX_EDITOR_SERVICE);
        registry->remove(ACAP_DOC_MANAGER_SERVICE);
    }
}

}  // namespace host
