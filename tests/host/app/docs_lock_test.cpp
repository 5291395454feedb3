// Document locks: nesting, modes, call counts, notifications, refusals, and AcAxDocLock.
#include "kestrel/host/app/doc_lock.h"
#include "kestrel/host/db/database.h"
#include "tests/host/app/docs_fixture.h"

namespace {

using Names = std::vector<std::wstring>;
using Modes = std::vector<std::pair<AcAp::DocLockMode, AcAp::DocLockMode>>;

using DocsLockTest = DocsTest;

TEST_F(DocsLockTest, LocksNestAndTheInnermostModeCounts) {
    AcApDocument* doc = host::newDocument();
    m_log.clear();
    EXPECT_EQ(doc->myLockMode(), AcAp::kNotLocked);
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kWrite, nullptr, nullptr, true), Acad::eOk);
    ASSERT_EQ(acDocManager->lockDocument(doc, AcAp::kRead), Acad::eOk);
    EXPECT_EQ(doc->myLockMode(), AcAp::kRead);
    EXPECT_EQ(doc->lockCount(), 2);
    ASSERT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    EXPECT_EQ(doc->myLockMode(), AcAp::kWrite);
    ASSERT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    EXPECT_EQ(doc->lockMode(), AcAp::kNotLocked);

    EXPECT_EQ(m_log.names(), (Names{L"documentLockModeWillChange", L"documentLockModeChanged",
                                    L"documentLockModeWillChange", L"documentLockModeChanged",
                                    L"documentLockModeWillChange", L"documentLockModeChanged",
                                    L"documentLockModeWillChange", L"documentLockModeChanged"}));
    EXPECT_EQ(m_docRecorder.m_modes, (Modes{{AcAp::kNotLocked, AcAp::kWrite},
                                            {AcAp::kNotLocked, AcAp::kWrite},
                                            {AcAp::kWrite, AcAp::kRead},
                                            {AcAp::kWrite, AcAp::kRead},
                                            {AcAp::kRead, AcAp::kWrite},
                                            {AcAp::kRead, AcAp::kWrite},
                                            {AcAp::kWrite, AcAp::kNotLocked},
                                            {AcAp::kWrite, AcAp::kNotLocked}}));
    EXPECT_EQ(host::documentLockCalls().lockCalls, 2);
    EXPECT_EQ(host::documentLockCalls().unlockCalls, 2);
}

TEST_F(DocsLockTest, RefusedCallsAreCountedAndChangeNothing) {
    AcApDocument* doc = host::newDocument();
    m_log.clear();
    EXPECT_EQ(acDocManager->unlockDocument(doc), Acad::eNotApplicable);
    EXPECT_EQ(acDocManager->lockDocument(doc, AcAp::kNotLocked), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->lockDocument(doc, AcAp::kNone), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->lockDocument(nullptr), Acad::eNullPtr);
    EXPECT_EQ(acDocManager->unlockDocument(nullptr), Acad::eNullPtr);
    EXPECT_EQ(doc->lockCount(), 0);
    EXPECT_EQ(m_log.names(),
              (Names{L"documentLockModeChangeVetoed", L"documentLockModeChangeVetoed"}));
    EXPECT_EQ(host::documentLockCalls().lockCalls, 3);
    EXPECT_EQ(host::documentLockCalls().unlockCalls, 2);
    host::resetDocumentLockCalls();
    EXPECT_EQ(host::documentLockCalls().lockCalls, 0);
}

TEST_F(DocsLockTest, DocLockLocksTheDocumentOfAnObject) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    {
        AcAxDocLock lock(first->database()->layerZero());
        EXPECT_EQ(lock.lockStatus(), Acad::eOk);
        EXPECT_EQ(lock.document(), first);
        EXPECT_EQ(first->myLockMode(), AcAp::kWrite);
        EXPECT_EQ(second->lockCount(), 0);
        EXPECT_EQ(acDocManager->curDocument(), second);
    }
    EXPECT_EQ(first->lockCount(), 0);
    {
        AcAxDocLock current;
        EXPECT_EQ(current.document(), second);
        AcAxDocLock nested(second->database());
        EXPECT_EQ(second->lockCount(), 2);
    }
    EXPECT_EQ(second->lockCount(), 0);
    EXPECT_EQ(host::documentLockCalls().lockCalls, 3);
    EXPECT_EQ(host::documentLockCalls().unlockCalls, 3);
}

TEST_F(DocsLockTest, DocLockCanSwitchTheCurrentDocumentForItsLifetime) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    {
        AcAxDocLock lock(first->database(), AcAxDocLock::kCurDocSwitch);
        EXPECT_EQ(lock.lockStatus(), Acad::eOk);
        EXPECT_EQ(acDocManager->curDocument(), first);
        EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
    }
    EXPECT_EQ(acDocManager->curDocument(), second);
    EXPECT_EQ(first->lockCount(), 0);
}

TEST_F(DocsLockTest, DocLockWithoutADocumentTakesNothing) {
    host::newDocument();
    AcDbDatabase side(true, true);
    {
        AcAxDocLock nullId{AcDbObjectId()};
        EXPECT_EQ(nullId.lockStatus(), Acad::eNullObjectId);
        AcAxDocLock sideLock(side.layerZero());
        EXPECT_EQ(sideLock.lockStatus(), Acad::eNotApplicable);
        EXPECT_EQ(sideLock.document(), nullptr);
        AcAxDocLock nullDb(static_cast<AcDbDatabase*>(nullptr));
        EXPECT_EQ(nullDb.lockStatus(), Acad::eNoDatabase);
    }
    EXPECT_EQ(host::documentLockCalls().lockCalls, 0);
    EXPECT_EQ(host::documentLockCalls().unlockCalls, 0);
    ASSERT_EQ(host::closeAllDocuments(), Acad::eOk);
    AcAxDocLock noCurrent;
    EXPECT_EQ(noCurrent.lockStatus(), Acad::eNoDatabase);
}

}  // namespace
