// AcAxDocLock over the document manager's locks.
#include "kestrel/host/app/doc_lock.h"

#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/db/database.h"

AcAxDocLock::AcAxDocLock() {
    AcApDocManager* manager = acDocManagerPtr();
    AcApDocument* current = manager != nullptr ? manager->curDocument() : nullptr;
    lock(current != nullptr ? current->database() : nullptr, kNormal);
}

AcAxDocLock::AcAxDocLock(const AcDbObjectId& objectId, DocLockType lockType) {
    if (objectId.isNull()) {
        m_status = Acad::eNullObjectId;
        return;
    }
    lock(objectId.database(), lockType);
}

AcAxDocLock::AcAxDocLock(AcDbDatabase* pDatabase, DocLockType lockType) {
    lock(pDatabase, lockType);
}

void AcAxDocLock::lock(AcDbDatabase* db, DocLockType lockType) {
    AcApDocManager* manager = acDocManagerPtr();
    if (db == nullptr) {
        m_status = Acad::eNoDatabase;
        return;
    }
    m_document = manager != nullptr ? manager->document(db) : nullptr;
    if (m_document == nullptr) {
        m_status = Acad::eNotApplicable;
        return;
    }
    if (lockType == kCurDocSwitch && manager->curDocument() != m_document) {
        m_formerCurrent = manager->curDocument();
        m_switched = manager->setCurDocument(m_document) == Acad::eOk;
    }
    m_status = manager->lockDocument(m_document, AcAp::kWrite);
}

AcAxDocLock::~AcAxDocLock() {
    // The manager that gave the lock, even if it left the registry meanwhile.
    AcApDocManager* manager = host::hostDocManager();
    if (m_status == Acad::eOk) {
        manager->unlockDocument(m_document);
    }
    if (m_switched && m_formerCurrent != nullptr && manager->owns(m_formerCurrent)) {
        manager->setCurDocument(m_formerCurrent);
    }
}
