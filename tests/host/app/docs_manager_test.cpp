// Documents: creation, activation and closing, with the notification order of each, the
// working database that follows the current document, and the refusals.
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/open.h"
#include "tests/host/app/docs_fixture.h"

namespace {

using Names = std::vector<std::wstring>;

using DocsManagerTest = DocsTest;

TEST_F(DocsManagerTest, NewDocumentsAreAnnouncedAndActivated) {
    AcApDocument* first = host::newDocument();
    EXPECT_EQ(m_log.names(),
              (Names{L"documentCreateStarted", L"databaseConstructed", L"documentCreated",
                     L"documentToBeActivated", L"documentBecameCurrent", L"documentActivated"}));
    EXPECT_EQ(m_log.find(L"databaseConstructed").subject, first->database());
    m_log.clear();

    AcApDocument* second = host::newDocument();
    EXPECT_EQ(m_log.names(),
              (Names{L"documentCreateStarted", L"databaseConstructed", L"documentCreated",
                     L"documentToBeDeactivated", L"documentToBeActivated", L"documentBecameCurrent",
                     L"documentActivated"}));
    EXPECT_EQ(m_log.find(L"documentToBeDeactivated").subject, first);
    // The working database changes between being activated and becoming current.
    EXPECT_EQ(m_log.find(L"documentToBeActivated").working, first->database());
    EXPECT_EQ(m_log.find(L"documentBecameCurrent").working, second->database());

    EXPECT_EQ(acDocManager->curDocument(), second);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
    EXPECT_EQ(host::documents(), (std::vector<AcApDocument*>{first, second}));
    EXPECT_EQ(acDocManager->document(first->database()), first);
    EXPECT_EQ(acDocManager->documentCount(), 2);
    EXPECT_STRNE(first->fileName(), second->fileName());
    EXPECT_FALSE(first->isNamedDrawing());
}

TEST_F(DocsManagerTest, ActivationSwitchesTheWorkingDatabase) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    m_log.clear();
    EXPECT_EQ(host::activateDocument(second), Acad::eOk);
    EXPECT_TRUE(m_log.names().empty());
    EXPECT_EQ(host::activateDocument(first), Acad::eOk);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), first->database());
    EXPECT_EQ(host::activateDocument(nullptr), Acad::eNullPtr);

    m_log.clear();
    EXPECT_EQ(acDocManager->setCurDocument(second), Acad::eOk);
    EXPECT_EQ(m_log.names(), (Names{L"documentBecameCurrent"}));
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
}

TEST_F(DocsManagerTest, CloseAnnouncesWithTheClosedDatabaseWorking) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    AcDbDatabase* firstDb = first->database();
    m_log.clear();
    // Closing a document that is not current leaves the current one working afterwards.
    EXPECT_EQ(host::closeDocument(first), Acad::eOk);
    EXPECT_EQ(m_log.names(), (Names{L"beginClose", L"documentToBeDestroyed",
                                    L"databaseToBeDestroyed", L"documentDestroyed"}));
    for (const Note& note : m_log.notes()) {
        if (note.name != L"documentDestroyed") {
            EXPECT_EQ(note.working, firstDb) << std::string(note.name.begin(), note.name.end());
        }
    }
    EXPECT_EQ(acDocManager->curDocument(), second);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), second->database());
    EXPECT_EQ(host::documents(), (std::vector<AcApDocument*>{second}));
}

TEST_F(DocsManagerTest, ClosingTheCurrentDocumentActivatesTheLastOne) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    AcApDocument* third = host::newDocument();
    ASSERT_EQ(host::activateDocument(first), Acad::eOk);
    m_log.clear();
    EXPECT_EQ(host::closeDocument(first), Acad::eOk);
    const Names names = m_log.names();
    ASSERT_EQ(names.size(), 7u);
    EXPECT_EQ(Names(names.begin() + 4, names.end()),
              (Names{L"documentToBeActivated", L"documentBecameCurrent", L"documentActivated"}));
    EXPECT_EQ(acDocManager->curDocument(), third);

    ASSERT_EQ(host::closeDocument(third), Acad::eOk);
    ASSERT_EQ(host::closeDocument(second), Acad::eOk);
    EXPECT_EQ(acDocManager->curDocument(), nullptr);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
}

TEST_F(DocsManagerTest, CloseRefusals) {
    AcApDocument* doc = host::newDocument();
    EXPECT_EQ(host::closeDocument(nullptr), Acad::eNullPtr);
    ASSERT_EQ(acDocManager->lockDocument(doc), Acad::eOk);
    EXPECT_EQ(host::closeDocument(doc), Acad::eNotApplicable);
    ASSERT_EQ(acDocManager->unlockDocument(doc), Acad::eOk);
    ASSERT_EQ(host::closeDocument(doc), Acad::eOk);
    EXPECT_EQ(host::closeDocument(doc), Acad::eInvalidInput);
    EXPECT_EQ(host::activateDocument(doc), Acad::eInvalidInput);
    EXPECT_EQ(acDocManager->lockDocument(doc), Acad::eInvalidInput);
}

// Closes a document from inside documentToBeDestroyed of another.
class ClosingReactor : public AcApDocManagerReactor {
public:
    void documentToBeDestroyed(AcApDocument*) override {
        status = host::closeDocument(target);
        acDocManager->removeReactor(this);
    }
    AcApDocument* target = nullptr;
    Acad::ErrorStatus status = Acad::eOk;
};

TEST_F(DocsManagerTest, AReactorMayCloseOrRemoveWhileNotified) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    ClosingReactor reactor;
    reactor.target = first;
    acDocManager->addReactor(&reactor);
    // The reactor tries to close the document being closed: refused, and it hears nothing more.
    EXPECT_EQ(host::closeDocument(first), Acad::eOk);
    EXPECT_EQ(reactor.status, Acad::eInvalidInput);
    EXPECT_FALSE(acDocManager->hasReactor(&reactor));
    EXPECT_EQ(host::documents(), (std::vector<AcApDocument*>{second}));
}

TEST_F(DocsManagerTest, UndoFollowsTheCurrentDocument) {
    AcApDocument* first = host::newDocument();
    testsupport::addRecord<AcDbLayerTable>(first->database(), new AcDbLayerTableRecord(), L"Added");

    host::newDocument();
    EXPECT_NE(host::undo(1), Acad::eOk);
    ASSERT_EQ(host::activateDocument(first), Acad::eOk);
    ASSERT_EQ(host::undo(1), Acad::eOk);
    EXPECT_FALSE(
        testsupport::open<AcDbLayerTable>(first->database()->layerTableId())->has(L"Added"));
}

TEST_F(DocsManagerTest, IteratorWalksDocumentsInOrder) {
    AcApDocument* first = host::newDocument();
    AcApDocument* second = host::newDocument();
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    std::vector<AcApDocument*> walked;
    for (; !it->done(); it->step()) {
        walked.push_back(it->document());
    }
    EXPECT_EQ(it->document(), nullptr);
    delete it;
    EXPECT_EQ(walked, (std::vector<AcApDocument*>{first, second}));
}

TEST_F(DocsManagerTest, ServicesCanBeAbsent) {
    host::setEditorServicesPresent(false);
    EXPECT_EQ(acedEditor, nullptr);
    EXPECT_EQ(acDocManagerPtr(), nullptr);
    AcApDocument* doc = host::newDocument();
    // The document manager still works; only the editor's reactors go unheard.
    EXPECT_EQ(m_log.names(),
              (Names{L"documentCreateStarted", L"documentCreated", L"documentToBeActivated",
                     L"documentBecameCurrent", L"documentActivated"}));
    host::setEditorServicesPresent(true);
    EXPECT_EQ(acDocManager->curDocument(), doc);
    EXPECT_TRUE(acedEditor->hasReactor(&m_editorRecorder));
}

}  // namespace
