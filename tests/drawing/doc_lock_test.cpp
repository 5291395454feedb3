// Document locks: one host lock for nested levels, counted against the host's recorded lock
// calls, the guard against surplus unlocks, and locks without a document manager.
#include "kestrel/drawing/doc_lock.h"

#include "drawing_fixture.h"
#include "kestrel/host/app/doc_manager.h"

namespace {

using drawing_test::DrawingTest;

class DrawingLockTest : public DrawingTest {
protected:
    static int lockCalls() { return host::documentLockCalls().lockCalls; }
    static int unlockCalls() { return host::documentLockCalls().unlockCalls; }
    static AcAp::DocLockMode currentMode() { return acDocManager->curDocument()->lockMode(); }
};

TEST_F(DrawingLockTest, DrawingLocksNestWithOneHostLock) {
    {
        CVLKCDocLock outer;
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 1);
        EXPECT_EQ(lockCalls(), 1);
        EXPECT_EQ(currentMode(), AcAp::kWrite);
        {
            CVLKCDocLock inner;
            EXPECT_EQ(CVLKCDocLock::m_LockCounter, 2);
            EXPECT_EQ(lockCalls(), 1);
        }
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 1);
        EXPECT_EQ(unlockCalls(), 0);
        EXPECT_EQ(currentMode(), AcAp::kWrite);
    }
    EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
    EXPECT_EQ(lockCalls(), 1);
    EXPECT_EQ(unlockCalls(), 1);
    EXPECT_NE(currentMode(), AcAp::kWrite);
}

TEST_F(DrawingLockTest, DrawingLocksUnlockAndRelockInsideAnObject) {
    {
        CVLKCDocLock lock;
        CVLKCDocLock::Unlock();
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
        EXPECT_EQ(unlockCalls(), 1);
        CVLKCDocLock::Lock();
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 1);
        EXPECT_EQ(lockCalls(), 2);
    }
    EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
    EXPECT_EQ(unlockCalls(), 2);
}

TEST_F(DrawingLockTest, DrawingLocksAnUnlockInsideAnOuterLockRemovesTwoLevels) {
    CVLKCDocLock::Lock();
    {
        CVLKCDocLock inner;
        CVLKCDocLock::Unlock();
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 1);
    }
    // The inner object's destructor removed the outer level.
    EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
    EXPECT_EQ(lockCalls(), 1);
    EXPECT_EQ(unlockCalls(), 1);
}

TEST_F(DrawingLockTest, DrawingLocksSurplusUnlocksStopAtZero) {
    {
        CVLKCDocLock lock;
        CVLKCDocLock::Unlock();
    }
    CVLKCDocLock::Unlock();
    EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
    EXPECT_EQ(unlockCalls(), 1);
    // The next lock still reaches the host.
    {
        CVLKCDocLock lock;
        EXPECT_EQ(lockCalls(), 2);
    }
    EXPECT_EQ(unlockCalls(), 2);
}

TEST_F(DrawingLockTest, DrawingLocksFollowTheCurrentDocument) {
    AcApDocument* first = acDocManager->curDocument();
    CVLKCDocLock::Lock();
    EXPECT_EQ(first->lockMode(), AcAp::kWrite);
    AcApDocument* second = host::newDocument();
    host::resetDocumentLockCalls();
    // Unlock asks the host about the document that is current now, which is not locked: the
    // host refuses, the count still drops.
    CVLKCDocLock::Unlock();
    EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
    EXPECT_EQ(unlockCalls(), 1);
    EXPECT_EQ(first->lockMode(), AcAp::kWrite);
    EXPECT_EQ(host::activateDocument(first), Acad::eOk);
    EXPECT_EQ(acDocManager->unlockDocument(first), Acad::eOk);
    EXPECT_NE(second, nullptr);
}

TEST_F(DrawingLockTest, DrawingLocksWithoutDocumentManagerOnlyCount) {
    host::setEditorServicesPresent(false);
    {
        CVLKCDocLock lock;
        EXPECT_EQ(CVLKCDocLock::m_LockCounter, 1);
    }
    host::setEditorServicesPresent(true);
    EXPECT_EQ(CVLKCDocLock::m_LockCounter, 0);
    EXPECT_EQ(lockCalls(), 0);
    EXPECT_EQ(unlockCalls(), 0);
}

}  // namespace
