// The document manager: documents, current document, locks and their notifications.
#include "kestrel/host/app/doc_manager.h"

#include <algorithm>

#include "kestrel/host/app/session.h"
#include "kestrel/host/db/database.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManagerReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcApDocManager, AcRxObject)

namespace {

// The manager lives as long as the process; host::setEditorServicesPresent takes it out of the
// registry and puts it back.
AcApDocManager* theManager() {
    static auto* manager = new AcApDocManager();
    return manager;
}

[[maybe_unused]] const bool kManagerRegistered =
    (acrxSysRegistry()->atPut(ACAP_DOC_MANAGER_SERVICE, theManager()), true);

bool lockableMode(AcAp::DocLockMode mode) {
    switch (mode) {
        case AcAp::kAutoWrite:
        case AcAp::kWrite:
        case AcAp::kProtectedAutoWrite:
        case AcAp::kRead:
        case AcAp::kXWrite:
            return true;
        default:
            return false;
    }
}

}  // namespace

AcApDocManager* acDocManagerPtr() {
    return AcApDocManager::cast(acrxSysRegistry()->at(ACAP_DOC_MANAGER_SERVICE));
}

AcApDocManager::~AcApDocManager() = default;

AcApDocument* AcApDocManager::document(const AcDbDatabase* db) const {
    for (const auto& doc : m_documents) {
        if (db != nullptr && doc->database() == db) {
            return doc.get();
        }
    }
    return nullptr;
}

AcApDocumentIterator* AcApDocManager::newAcApDocumentIterator() const {
    return new AcApDocumentIterator(documents());
}

Acad::ErrorStatus AcApDocManager::check(const AcApDocument* doc) const {
    if (doc == nullptr) {
        return Acad::eNullPtr;
    }
    return owns(doc) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcApDocManager::lockDocument(AcApDocument* pDoc, AcAp::DocLockMode lockMode,
                                               const ACHAR* pGlobalCmdName,
                                               const ACHAR* pLocalCmdName, bool prompt) {
    ++m_lockCalls;
    const Acad::ErrorStatus status = check(pDoc);
    if (status != Acad::eOk) {
        return status;
    }
    const ACHAR* command = pGlobalCmdName != nullptr ? pGlobalCmdName : L"";
    if (!lockableMode(lockMode)) {
        notify(&AcApDocManagerReactor::documentLockModeChangeVetoed, pDoc, command);
        return Acad::eInvalidInput;
    }
    const AcAp::DocLockMode before = pDoc->myLockMode();
    notify(&AcApDocManagerReactor::documentLockModeWillChange, pDoc, before, lockMode, before,
           command);
    pDoc->pushLock(lockMode);
    notify(&AcApDocManagerReactor::documentLockModeChanged, pDoc, before, lockMode, lockMode,
           command);
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::unlockDocument(AcApDocument* pDoc) {
    ++m_unlockCalls;
    const Acad::ErrorStatus status = check(pDoc);
    if (status != Acad::eOk) {
        return status;
    }
    if (pDoc->lockCount() == 0) {
        return Acad::eNotApplicable;
    }
    const AcAp::DocLockMode before = pDoc->myLockMode();
    const AcAp::DocLockMode after = pDoc->outerLockMode();
    notify(&AcApDocManagerReactor::documentLockModeWillChange, pDoc, before, after, before, L"");
    pDoc->popLock();
    notify(&AcApDocManagerReactor::documentLockModeChanged, pDoc, before, after, after, L"");
    return Acad::eOk;
}

Acad::ErrorStatus AcApDocManager::setCurDocument(AcApDocument* pDoc, AcAp::DocLockMode mode,
                                                 bool activate) {
    Acad::ErrorStatus status = check(pDoc);
    if (status != Acad::eOk) {
        return status;
    }
    if (pDoc != m_current) {
        makeCurrent(pDoc);
        notify(&AcApDocManagerReactor::documentBecameCurrent, pDoc);
    }
    if (mode != AcAp::kNone) {
        status = lockDocument(pDoc, mode);
    }
    return activate && status == Acad::eOk ? activateDocument(pDoc) : status;
}

Acad::ErrorStatus AcApDocManager::activateDocument(AcApDocument* pAcTargetDocument,
                                                   bool bPassScript) {
    const Acad::ErrorStatus status = check(pAcTargetDocument);
    if (status != Acad::eOk || pAcTargetDocument == m_current) {
        return status;
    }
    if (m_current != nullptr) {
        notify(&AcApDocManagerReactor::documentToBeDeactivated, m_current);
    }
    notify(&AcApDocManagerReactor::documentToBeActivated, pAcTargetDocument);
    makeCurrent(pAcTargetDocument);
    notify(&AcApDocManagerReactor::documentBecameCurrent, pAcTargetDocument);
    notify(&AcApDocManagerReactor::documentActivated, pAcTargetDocument);
    return Acad::eOk;
}

bool AcApDocManager::owns(const AcApDocument* doc) const {
    return std::any_of(m_documents.begin(), m_documents.end(),
                       [doc](const auto& owned) { return owned.get() == doc; });
}

std::vector<AcApDocument*> AcApDocManager::documents() const {
    std::vector<AcApDocument*> list;
    for (const auto& doc : m_documents) {
        list.push_back(doc.get());
    }
    return list;
}

void AcApDocManager::adopt(std::unique_ptr<AcApDocument> doc) {
    m_documents.push_back(std::move(doc));
}

std::unique_ptr<AcApDocument> AcApDocManager::release(AcApDocument* doc) {
    auto found = std::find_if(m_documents.begin(), m_documents.end(),
                              [doc](const auto& owned) { return owned.get() == doc; });
    if (found == m_documents.end()) {
        return nullptr;
    }
    std::unique_ptr<AcApDocument> released = std::move(*found);
    m_documents.erase(found);
    if (m_current == doc) {
        m_current = nullptr;
    }
    return released;
}

void AcApDocManager::makeCurrent(AcApDocument* doc) {
    m_current = doc;
    acdbHostApplicationServices()->setWorkingDatabase(doc != nullptr ? doc->database() : nullptr);
}

void AcApDocManager::resetLockCalls() {
    m_lockCalls = 0;
    m_unlockCalls = 0;
}

namespace host {

AcApDocManager* hostDocManager() {
    return theManager();
}

EditorState& editorState() {
    static auto* ownState = new EditorState();
    AcApDocument* doc = theManager()->curDocument();
    return doc != nullptr ? doc->editorState() : *ownState;
}

DocumentLockCalls documentLockCalls() {
    return {theManager()->lockCalls(), theManager()->unlockCalls()};
}

void resetDocumentLockCalls() {
    theManager()->resetLockCalls();
}

}  // namespace host
