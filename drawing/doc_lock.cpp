// CVLKCDocLock: the nesting count and the host calls of the outermost level.
#include "kestrel/drawing/doc_lock.h"

#include "kestrel/host/app/doc_manager.h"

int CVLKCDocLock::m_LockCounter = 0;

namespace {

// The host's document manager and current document, or null when either is missing.
AcApDocument* currentDocument(AcApDocManager*& manager) {
    manager = acDocManager;
    return manager != nullptr ? manager->curDocument() : nullptr;
}

}  // namespace

CVLKCDocLock::CVLKCDocLock() {
    Lock();
}

CVLKCDocLock::~CVLKCDocLock() {
    Unlock();
}

void CVLKCDocLock::Lock() {
    if (m_LockCounter == 0) {
        AcApDocManager* manager = nullptr;
        if (AcApDocument* doc = currentDocument(manager)) {
            manager->lockDocument(doc, AcAp::kWrite, nullptr, nullptr, true);
        }
    }
    ++m_LockCounter;
}

void CVLKCDocLock::Unlock() {
    if (m_LockCounter <= 0) {
        return;
    }
    if (--m_LockCounter == 0) {
        AcApDocManager* manager = nullptr;
        if (AcApDocument* doc = currentDocument(manager)) {
            manager->unlockDocument(doc);
        }
    }
}
