// The headless session a program drives (namespace host): documents, scripted editor input,
// screen vectors, the command line, the view, the UCS, the support path and modules. Documents:
// new, open, save and close send the editor and document-manager notifications in the host's
// order (host/app/documents.cpp); the current document's database is the working database.
// Modules load and unload through the dynamic linker (host/rx/dynamic_linker.h). Programs and
// tests reach this through host/harness.h.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/app/editor_state.h"
#include "kestrel/host/app/screen.h"
#include "kestrel/host/rx/dynamic_linker.h"

class AcApDocument;

namespace host {

// A new document with the default drawing, made current; never null. Order: documentCreateStarted,
// databaseConstructed, documentCreated, the activation (documentToBeDeactivated of the former
// document, documentToBeActivated, documentBecameCurrent, documentActivated), kLoadDwgMsg.
DRAWHOST_API AcApDocument* newDocument();
// Opens a drawing file as a new current document; null (status set, one line on the command line)
// when it cannot be read. Order: beginDwgOpen, documentCreateStarted, databaseConstructed, the
// read, dwgFileOpened, initialDwgFileOpenComplete, endDwgOpen, then as newDocument from
// documentCreated; a failed read sends documentCreateCanceled and databaseToBeDestroyed.
DRAWHOST_API AcApDocument* openDocument(const wchar_t* path, Acad::ErrorStatus* status = nullptr);
// Saves the document to path (null: its own file, eInvalidInput for one never saved): beginSave,
// the write, then saveComplete (the document takes the name) or abortSave.
DRAWHOST_API Acad::ErrorStatus saveDocument(AcApDocument* doc, const wchar_t* path = nullptr);
// Closes the document with its database as the working database during the notifications:
// beginClose, documentToBeDestroyed, kUnloadDwgMsg, databaseToBeDestroyed, the destruction,
// documentDestroyed; then the last remaining document is activated if the closed one was
// current. eNullPtr, eInvalidInput (not open), eNotApplicable while the document is locked.
DRAWHOST_API Acad::ErrorStatus closeDocument(AcApDocument* doc);
// Closes every document in order; the first failure's status.
DRAWHOST_API Acad::ErrorStatus closeAllDocuments();
// Activates the document (see AcApDocManager::activateDocument).
DRAWHOST_API Acad::ErrorStatus activateDocument(AcApDocument* doc);
// The open documents in order of opening.
DRAWHOST_API std::vector<AcApDocument*> documents();

// Calls of AcApDocManager::lockDocument and unlockDocument since the last reset.
struct DRAWHOST_API DocumentLockCalls {
    int lockCalls;
    int unlockCalls;
};
DRAWHOST_API DocumentLockCalls documentLockCalls();
DRAWHOST_API void resetDocumentLockCalls();
// Takes the editor and the document manager out of the system registry (false) or puts them
// back (true), to test code that must work without them.
DRAWHOST_API void setEditorServicesPresent(bool present);

// Scripted input for acedGetPoint and acedDragGen: a pick, a cursor position (drags only), a
// cancel; the number of items still queued; dropping them.
DRAWHOST_API void queuePoint(const AcGePoint3d& point);
DRAWHOST_API void queueCursor(const AcGePoint3d& point);
DRAWHOST_API void queueCancel();
DRAWHOST_API int pendingInput();
DRAWHOST_API void clearInput();

// The temporary vectors drawn since the last redraw; clearing them.
DRAWHOST_API std::vector<ScreenVector> screenVectors();
DRAWHOST_API void clearScreen();

// The command-line text since the last clear; echo copies new text to the standard output.
DRAWHOST_API std::wstring commandLine();
DRAWHOST_API void clearCommandLine();
DRAWHOST_API void setCommandLineEcho(bool echo);

// The current document's view (or the editor's own without a document).
DRAWHOST_API ViewState currentView();
// Sets the current UCS; eInvalidInput (nothing changes) for axes that are zero, not finite or not
// perpendicular. The axes are stored at unit length.
DRAWHOST_API Acad::ErrorStatus setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                                      const AcGeVector3d& yAxis);
// The folders acedFindFile searches after the drawing's folder (before KESTREL_SUPPORT_PATH).
DRAWHOST_API void setSupportPath(const std::vector<std::wstring>& folders);
DRAWHOST_API std::vector<std::wstring> supportPath();
// The number of selection sets not yet freed.
DRAWHOST_API int selectionSetCount();

// Loads and unloads a module (see AcRxDynamicLinker); failures print one line to the command
// line. The loaded modules' canonical paths in order of loading.
DRAWHOST_API ModuleStatus loadModule(const wchar_t* path);
DRAWHOST_API ModuleStatus unloadModule(const wchar_t* path);
DRAWHOST_API std::vector<std::wstring> loadedModules();

}  // namespace host
