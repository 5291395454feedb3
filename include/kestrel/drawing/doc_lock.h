// CVLKCDocLock: a scoped write lock of the host's current document. Locks nest through one
// module-wide count, so only the outermost level asks the host to lock and unlock. Main thread
// only; Lock() and Unlock() are called in pairs.
#pragma once

#include "kestrel/export.h"

// The document locked and the one unlocked are each the current document at the time of the
// call. The host's answer to lockDocument is not looked at: the count rises even when the host
// refuses, and the matching Unlock() still asks the host to unlock.
//
// Decisions where the interface leaves the behaviour open:
// - The count never goes below 0: Unlock() at count 0 calls nothing and leaves the count at 0,
//   so a surplus Unlock() (for instance an object unlocked by hand and then destroyed) cannot
//   make later locks skip the host.
// - Without a document manager (or without a current document) the levels are still counted,
//   but no host call is made.
class KESTREL_API CVLKCDocLock {
public:
    // Adds one level (Lock()).
    CVLKCDocLock();
    // Removes one level (Unlock()).
    ~CVLKCDocLock();
    CVLKCDocLock(const CVLKCDocLock&) = delete;
    // Does nothing: the object has no data.
    CVLKCDocLock& operator=(const CVLKCDocLock&) {
        return *this;
    }

    // Adds one level; the first level locks the current document for write (kWrite, prompt).
    static void Lock();
    // Removes one level; the level that brings the count to 0 unlocks the current document.
    static void Unlock();

    // The module-wide nesting count, 0 at load.
    static int m_LockCounter;
};
