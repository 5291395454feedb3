// The editor and document reactors: the repository written into the drawing when it is saved,
// texts brought back when the file is opened again, tables dropped when a document closes, and
// the reactors' own attach and detach rules.
#include "host/db/object_store.h"
#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/host/app/doc_manager.h"
#include "kestrel/host/app/editor.h"
#include "tests/xmlrepo/repository_fixture.h"
#include "xmlrepo/document_reactor.h"
#include "xmlrepo/editor_reactor.h"
#include "xmlrepo/xml_undo_object.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

using repotest::HeardList;
using repotest::RepositoryTest;

// The working database's repository record, or "<none>".
std::wstring storedDocument() {
    CVLKCDictionaryPtr dictionary(AcDb::kForRead);
    CString text(L"<none>");
    dictionary.dctReadBigString(L"VLKX_XMLUndo", L"Repository", text);
    return text.str();
}

// Objects of the undo object's class in db, erased ones included.
int undoObjectsIn(AcDbDatabase* db) {
    int count = 0;
    for (std::uint32_t slot : db->objectStore()->slots()) {
        const AcDbObject* object = host::slotAt(slot).object;
        count += object != nullptr && object->isA() == CVLKXMLUndoObject::desc();
    }
    return count;
}

class RepositoryReactorsTest : public RepositoryTest {
protected:
    // Saves the current document to name, closes it and opens the file again as current.
    AcApDocument* saveAndReopen(const char* name) {
        EXPECT_EQ(host::saveDocument(m_doc, path(name).c_str()), Acad::eOk);
        EXPECT_EQ(host::closeDocument(m_doc), Acad::eOk);
        Acad::ErrorStatus status = Acad::eOk;
        m_doc = host::openDocument(path(name).c_str(), &status);
        EXPECT_EQ(status, Acad::eOk);
        return m_doc;
    }
};

TEST_F(RepositoryReactorsTest, ReactorsSaveWritesTheEmptyRepositoryOfAnUnusedDrawing) {
    ASSERT_EQ(host::saveDocument(m_doc, path("empty.dxf").c_str()), Acad::eOk);
    EXPECT_EQ(storedDocument(), L"<appRepository></appRepository>");
    ASSERT_NE(saveAndReopen("empty.dxf"), nullptr);
    EXPECT_EQ(storedDocument(), L"<appRepository></appRepository>");
}

TEST_F(RepositoryReactorsTest, ReactorsTextsComeBackFromTheSavedFile) {
    ASSERT_EQ(setInCommand(L"Beta", L"<?xml version=\"1.0\"?><b>\x00FC</b>"), Acad::eOk);
    ASSERT_EQ(setInCommand(L"Alpha", L"<a n=\"1\">&amp;</a>"), Acad::eOk);
    auto before = registerNotifier();
    ASSERT_NE(saveAndReopen("texts.dxf"), nullptr);
    EXPECT_EQ(before->heard, (HeardList{{'S', L"Alpha", L"<a n=\"1\">&amp;</a>"},
                                        {'S', L"Beta", L"<?xml version=\"1.0\"?><b>\x00FC</b>"}}));
    // The undo objects were not written; the opened drawing has none until first use.
    EXPECT_EQ(undoObjectsIn(db()), 0);
    auto after = registerNotifier();
    EXPECT_EQ(after->heard, (HeardList{{'L', L"Alpha", L"<a n=\"1\">&amp;</a>"},
                                       {'L', L"Beta", L"<b>\x00FC</b>"}}));
    EXPECT_EQ(undoObjectsIn(db()), 2);
    EXPECT_EQ(textOf(L"Beta"), L"<b>\x00FC</b>");
    // The closed drawing's notifier heard nothing of the new one.
    EXPECT_EQ(before->heard.size(), 2u);
}

TEST_F(RepositoryReactorsTest, ReactorsSaveKeepsEntriesOfADrawingNobodyUsed) {
    ASSERT_EQ(_CXMLHandler::SetXML(L"Kept", L"<k/>"), Acad::eOk);
    ASSERT_NE(saveAndReopen("first.dxf"), nullptr);
    // No client touches the reopened drawing before it is saved again.
    ASSERT_NE(saveAndReopen("second.dxf"), nullptr);
    EXPECT_EQ(storedDocument(),
              L"<appRepository><repositoryEntry refId=\"Kept\"><k/></repositoryEntry>"
              L"</appRepository>");
    EXPECT_EQ(textOf(L"Kept"), L"<k/>");
}

TEST_F(RepositoryReactorsTest, ReactorsSavingAnotherDocumentWritesTheWorkingOnesTexts) {
    AcApDocument* other = m_doc;
    m_doc = host::newDocument();
    ASSERT_EQ(_CXMLHandler::SetXML(L"Current", L"<c/>"), Acad::eOk);
    ASSERT_EQ(host::saveDocument(other, path("other.dxf").c_str()), Acad::eOk);
    EXPECT_EQ(storedDocument(),
              L"<appRepository><repositoryEntry refId=\"Current\"><c/></repositoryEntry>"
              L"</appRepository>");
    ASSERT_EQ(host::activateDocument(other), Acad::eOk);
    EXPECT_EQ(storedDocument(), L"<none>");
}

TEST_F(RepositoryReactorsTest, ReactorsAfterDestructionTheNextUseBuildsFromTheDrawing) {
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", L"<saved/>"), Acad::eOk);
    ASSERT_EQ(host::saveDocument(m_doc, path("d.dxf").c_str()), Acad::eOk);
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", L"<unsaved/>"), Acad::eOk);
    auto notifier = registerNotifier();
    // As the host does when the document goes: the reactor hears it with its database working.
    CVLKXDocumentReactor reactor(false);
    reactor.documentToBeDestroyed(m_doc);
    EXPECT_TRUE(kestrel::undoTableRegistry().empty());
    EXPECT_EQ(textOf(L"App"), L"<saved/>");
    auto fresh = registerNotifier();
    ASSERT_EQ(setInCommand(L"App", L"<x/>"), Acad::eOk);
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(fresh->heard, (HeardList{{'L', L"App", L"<saved/>"}, {'R', L"App", L"<saved/>"}}));
    EXPECT_TRUE(notifier->heard.empty());
}

TEST_F(RepositoryReactorsTest, ReactorsAttachAndDetachFollowTheirFlag) {
    const int editorReactors = acedEditor->numReactors();
    const int documentReactors = acDocManager->numReactors();
    {
        VLKXEditorReactor editor(false);
        CVLKXDocumentReactor document(false);
        EXPECT_FALSE(editor.IsAttached());
        EXPECT_FALSE(document.IsAttached());
        editor.Detach();
        document.Detach();
        EXPECT_EQ(acedEditor->numReactors(), editorReactors);
        editor.Attach();
        document.Attach();
        editor.Attach();
        document.Attach();
        EXPECT_TRUE(editor.IsAttached());
        EXPECT_TRUE(document.IsAttached());
        EXPECT_EQ(acedEditor->numReactors(), editorReactors + 1);
        EXPECT_EQ(acDocManager->numReactors(), documentReactors + 1);
        EXPECT_EQ(editor.Subject(), acedEditor);
        EXPECT_EQ(document.Subject(), acDocManager);
        editor.Detach();
        EXPECT_FALSE(editor.IsAttached());
        EXPECT_EQ(acedEditor->numReactors(), editorReactors);
    }
    // The attached one took itself off when destroyed.
    EXPECT_EQ(acDocManager->numReactors(), documentReactors);
}

TEST_F(RepositoryReactorsTest, ReactorsWithoutHostServicesStayDetached) {
    host::setEditorServicesPresent(false);
    {
        VLKXEditorReactor editor;
        CVLKXDocumentReactor document;
        EXPECT_FALSE(editor.IsAttached());
        EXPECT_FALSE(document.IsAttached());
        EXPECT_EQ(editor.Subject(), nullptr);
        EXPECT_EQ(document.Subject(), nullptr);
    }
    host::setEditorServicesPresent(true);
    VLKXEditorReactor editor;
    EXPECT_TRUE(editor.IsAttached());
}

TEST_F(RepositoryReactorsTest, ReactorsEditorReactorClassIsNeverRegistered) {
    VLKXEditorReactor editor(false);
    EXPECT_EQ(VLKXEditorReactor::desc(), nullptr);
    EXPECT_EQ(editor.isA(), nullptr);
}

}  // namespace
