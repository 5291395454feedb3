// AcApDocManager: the open documents in order of opening, the current document (whose database
// is the working database), document locks, and the reactors that hear about documents. The
// manager owns its documents; they come and go through host::newDocument, openDocument and
// closeDocument. Reactors are not owned: a reactor removes itself before it is destroyed.
#pragma once

#include <memory>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/app/document.h"
#include "kestrel/host/app/reactor_list.h"
#include "kestrel/host/rx/dictionary.h"
#include "kestrel/host/rx/error_status.h"

// The system registry's name of the document manager.
#define ACAP_DOC_MANAGER_SERVICE L"AcApDocManager"

// Notifications about documents, in the host's order; each does nothing unless overridden.
class DRAWHOST_API AcApDocManagerReactor : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcApDocManagerReactor);
    ~AcApDocManagerReactor() override = default;

    virtual void documentCreateStarted(AcApDocument* /*pDocCreating*/) {}
    virtual void documentCreated(AcApDocument* /*pDocCreating*/) {}
    virtual void documentToBeDestroyed(AcApDocument* /*pDocToDestroy*/) {}
    virtual void documentDestroyed(const ACHAR* /*fileName*/) {}
    virtual void documentCreateCanceled(AcApDocument* /*pDocCreateCancelled*/) {}
    virtual void documentLockModeWillChange(AcApDocument* /*doc*/,
                                            AcAp::DocLockMode /*myCurrentMode*/,
                                            AcAp::DocLockMode /*myNewMode*/,
                                            AcAp::DocLockMode /*currentMode*/,
                                            const ACHAR* /*pGlobalCmdName*/) {}
    virtual void documentLockModeChangeVetoed(AcApDocument* /*doc*/,
                                              const ACHAR* /*pGlobalCmdName*/) {}
    virtual void documentLockModeChanged(AcApDocument* /*doc*/,
                                         AcAp::DocLockMode /*myPreviousMode*/,
                                         AcAp::DocLockMode /*myCurrentMode*/,
                                         AcAp::DocLockMode /*currentMode*/,
                                         const ACHAR* /*pGlobalCmdName*/) {}
    virtual void documentBecameCurrent(AcApDocument* /*doc*/) {}
    virtual void documentToBeActivated(AcApDocument* /*pActivatingDoc*/) {}
    virtual void documentToBeDeactivated(AcApDocument* /*pDeActivatedDoc*/) {}
    virtual void documentActivationModified(bool /*bActivation*/) {}
    virtual void documentActivated(AcApDocument* /*pActivatedDoc*/) {}
};

// Walks the documents in order of opening; made by newAcApDocumentIterator, deleted by the
// caller. Closing a document while walking invalidates the iterator.
class DRAWHOST_API AcApDocumentIterator {
public:
    explicit AcApDocumentIterator(std::vector<AcApDocument*> documents)
        : m_documents(std::move(documents)) {}
    bool done() const { return m_index >= m_documents.size(); }
    void step() { ++m_index; }
    // The document at the position, or null when done.
    AcApDocument* document() const { return done() ? nullptr : m_documents[m_index]; }

private:
    std::vector<AcApDocument*> m_documents;
    std::size_t m_index = 0;
};

// Decisions where the host SDK leaves the behaviour to the host:
// - The current document and the active one are the same; making a document current makes its
//   database the working database.
// - Locks nest per document: each lockDocument adds one level and each unlockDocument removes
//   the innermost; the document's lock mode is that of the innermost level. Locks of the host's
//   one execution context never conflict. Every level change is announced with
//   documentLockModeWillChange and documentLockModeChanged.
// - lockDocument refuses a null document (eNullPtr), a document of no manager (eInvalidInput)
//   and a mode other than kAutoWrite, kWrite, kProtectedAutoWrite, kRead and kXWrite
//   (eInvalidInput, announced with documentLockModeChangeVetoed). unlockDocument refuses the
//   same documents and answers eNotApplicable for a document that is not locked.
// - Every lockDocument and unlockDocument call is counted, refused ones included
//   (host::documentLockCalls).
class DRAWHOST_API AcApDocManager : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcApDocManager);
    AcApDocManager() = default;
    ~AcApDocManager() override;

    AcApDocManager(const AcApDocManager&) = delete;
    AcApDocManager& operator=(const AcApDocManager&) = delete;

    // The current document, or null while none is open.
    AcApDocument* curDocument() const { return m_current; }
    AcApDocument* mdiActiveDocument() const { return m_current; }
    // The document whose database is db, or null.
    AcApDocument* document(const AcDbDatabase* db) const;
    int documentCount() const { return static_cast<int>(m_documents.size()); }
    // A new iterator over the documents in order of opening; the caller deletes it.
    AcApDocumentIterator* newAcApDocumentIterator() const;

    Acad::ErrorStatus lockDocument(AcApDocument* pDoc, AcAp::DocLockMode lockMode = AcAp::kWrite,
                                   const ACHAR* pGlobalCmdName = nullptr,
                                   const ACHAR* pLocalCmdName = nullptr, bool prompt = true);
    Acad::ErrorStatus unlockDocument(AcApDocument* pDoc);

    // Makes pDoc current (documentBecameCurrent), then locks it in mode unless mode is kNone,
    // then activates it when activate is true. eNullPtr, eInvalidInput as for locks.
    Acad::ErrorStatus setCurDocument(AcApDocument* pDoc, AcAp::DocLockMode mode = AcAp::kNone,
                                     bool activate = false);
    // Activates pDoc: documentToBeDeactivated (the former one), documentToBeActivated,
    // documentBecameCurrent, documentActivated; nothing when it is active already. eNullPtr,
    // eInvalidInput as for locks.
    Acad::ErrorStatus activateDocument(AcApDocument* pAcTargetDocument, bool bPassScript = false);

    // Adds a reactor (null and one already added are ignored); the caller keeps ownership.
    void addReactor(AcApDocManagerReactor* reactor) { m_reactors.add(reactor); }
    // Removes a reactor; one that was not added is ignored.
    void removeReactor(AcApDocManagerReactor* reactor) { m_reactors.remove(reactor); }
    bool hasReactor(const AcApDocManagerReactor* reactor) const {
        return m_reactors.contains(reactor);
    }
    // The number of reactors added.
    int numReactors() const { return m_reactors.size(); }

    // Host use: the bookkeeping behind host::newDocument, openDocument and closeDocument.
    template <class... Params, class... Args>
    void notify(void (AcApDocManagerReactor::*notification)(Params...), Args&&... args) const {
        m_reactors.notify(notification, std::forward<Args>(args)...);
    }
    const std::vector<AcApDocManagerReactor*>& reactors() const { return m_reactors.reactors(); }
    bool owns(const AcApDocument* doc) const;
    std::vector<AcApDocument*> documents() const;
    void adopt(std::unique_ptr<AcApDocument> doc);
    std::unique_ptr<AcApDocument> release(AcApDocument* doc);
    void makeCurrent(AcApDocument* doc);
    int lockCalls() const { return m_lockCalls; }
    int unlockCalls() const { return m_unlockCalls; }
    void resetLockCalls();

private:
    Acad::ErrorStatus check(const AcApDocument* doc) const;

    std::vector<std::unique_ptr<AcApDocument>> m_documents;
    AcApDocument* m_current = nullptr;
    host::ReactorList<AcApDocManagerReactor> m_reactors;
    int m_lockCalls = 0;
    int m_unlockCalls = 0;
};

// The document manager registered in the system registry, or null when there is none.
DRAWHOST_API AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()

namespace host {

// Host use: the process's document manager, registered or not; never null.
DRAWHOST_API AcApDocManager* hostDocManager();

}  // namespace host
