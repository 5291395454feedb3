// The headless session a program drives (namespace host): documents, scripted editor input,
// screen vectors, the command line, the view, the UCS, the support path and modules. Documents:
// new, open, save and close send the editor and document-manager notifications in the host's
// order (host/app/documents.cpp); the current document's database is the working database.
// Modules load and unload through the dynamic linker (host/rx/dynamic_linker.h). Programs and
// tests reach this through host/harness.h.
#pragma once

#include <string>
#include <vector>

#include "host/app/editor_state.h"
#include "host/app/screen.h"
#include "host/rx/dynamic_linker.h"

class AcApDocument;

namespace host {

// A new document with the default drawing, made current; never null. Order: documentCreateStarted,
// databaseConstructed, documentCreated, the activation (documentToBeDeactivated of the former
// document, documentToBeActivated, documentBecameCurrent, documentActivated), kLoadDwgMsg.
AcApDocument* newDocument();
// Opens a drawing file as a new current document; null (status set, one line on the command line)
// when it cannot be read. Order: beginDwgOpen, documentCreateStarted, databaseConstructed, the
// read, dwgFileOpened, initialDwgFileOpenComplete, endDwgOpen, then as newDocument from
// documentCreated; a failed read sends documentCreateCanceled and databaseToBeDestroyed.
AcApDocument* openDocument(const wchar_t* path, Acad::ErrorStatus* status = nullptr);
// Saves the document to path (null: its own file, eInvalidInput for one never saved): beginSave,
// the write, then saveComplete (the document takes the name) or abortSave.
Acad::ErrorStatus saveDocument(AcApDocument* doc, const wchar_t* path = nullptr);
// Closes the document with its database as the working database during the notifications:
// beginClose, documentToBeDestroyed, kUnloadDwgMsg, databaseToBeDestroyed, the destruction,
// documentDestroyed; then the last remaining document is activated if the closed one was
// current. eNullPtr, eInvalidInput (not open), eNotApplicable while the document is locked.
Acad::ErrorStatus closeDocument(AcApDocument* doc);
// Closes every document in order; the first failure's status.
Acad::ErrorStatus closeAllDocuments();
// Activates the document (see AcApDocManager::activateDocument).
Acad::ErrorStatus activateDocument(AcApDocument* doc);
// The open documents in order of opening.
std::vector<AcApDocument*> documents();

// Calls of AcApDocManager::lockDocument and unlockDocument since the last reset.
struct DocumentLockCalls {
    int lockCalls;
    int unlockCalls;
};
DocumentLockCalls documentLockCalls();
void resetDocumentLockCalls();
// Takes the editor and the document manager out of the system registry (false) or puts them
// back (true), to test code that must work without them.
void setEditorServicesPresent(bool present);

// Scripted input for acedGetPoint and acedDragGen: a pick, a cursor position (drags only), a
// cancel; the number of items still queued; dropping them.
void queuePoint(const AcGePoint3d& point);
void queueCursor(const AcGePoint3d& point);
void queueCancel();
int pendingInput();
void clearInput();

// The temporary vectors drawn since the last redraw; clearing them.
std::vector<ScreenVector> screenVectors();
void clearScreen();

// The command-line text since the last clear; echo copies new text to the standard output.
std::wstring commandLine();
void clearCommandLine();
void setCommandLineEcho(bool echo);

// The current document's view (or the editor's own without a document).
ViewState currentView();
// Sets the current UCS; eInvalidInput (nothing changes) for axes that are zero, not finite or not
// perpendicular. The axes are stored at unit length.
Acad::ErrorStatus setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                         const AcGeVector3d& yAxis);
// The folders acedFindFile searches after the drawing's folder (before KESTREL_SUPPORT_PATH).
void setSupportPath(const std::vector<std::wstring>& folders);
std::vector<std::wstring> supportPath();
// The number of selection sets not yet freed.
int selectionSetCount();

// Loads and unloads a module (see AcRxDynamicLinker); failures print one line to the command
// line. The loaded modules' canonical paths in order of loading.
ModuleStatus loadModule(const wchar_t* path);
ModuleStatus unloadModule(const wchar_t* path);
std::vector<std::wstring> loadedModules();

}  // namespace host
