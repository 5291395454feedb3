// AcAxDocLock: a scoped lock of the document that holds a database (or an object's database, or
// the current document), taken at construction and released at destruction.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"

class AcApDocument;
class AcDbDatabase;

// Decisions where the host SDK leaves the behaviour to the host:
// - The lock is a kWrite lock through AcApDocManager::lockDocument (so it nests and counts like
//   any other). kCurDocSwitch also makes the document current for the lock's lifetime and makes
//   the former current document current again afterwards (if it is still open).
// - lockStatus: eOk while locked; eNullObjectId for a null id, eNoDatabase for a stale id or a
//   null database, eNotApplicable when no document holds the database or there is no document
//   manager, else the status of lockDocument. Nothing is released for a lock not taken.
class DRAWHOST_API AcAxDocLock {
public:
    enum DocLockType { kNormal = 0, kCurDocSwitch = 1 };

    // Locks the current document.
    AcAxDocLock();
    explicit AcAxDocLock(const AcDbObjectId& objectId, DocLockType lockType = kNormal);
    explicit AcAxDocLock(AcDbDatabase* pDatabase, DocLockType lockType = kNormal);
    ~AcAxDocLock();

    AcAxDocLock(const AcAxDocLock&) = delete;
    AcAxDocLock& operator=(const AcAxDocLock&) = delete;

    Acad::ErrorStatus lockStatus() const { return m_status; }
    // The locked document, or null when the lock was not taken.
    AcApDocument* document() const { return m_status == Acad::eOk ? m_document : nullptr; }

private:
    void lock(AcDbDatabase* db, DocLockType lockType);

    AcApDocument* m_document = nullptr;
    AcApDocument* m_formerCurrent = nullptr;
    bool m_switched = false;
    Acad::ErrorStatus m_status = Acad::eNotApplicable;
};
