// The undo table: making each application's undo object once, building from the drawing's
// repository with OnXMLLoaded, the loaded texts told to notifiers that register later, saving
// into the repository, the document lock, and registry entries of other databases.
#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/host/db/open.h"
#include "tests/xmlrepo/repository_fixture.h"
#include "xmlrepo/application_repository.h"
#include "xmlrepo/xml_undo_object.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

using repotest::HeardList;
using repotest::RepositoryTest;

void storeDocument(const wchar_t* text) {
    CVLKCDictionaryPtr dictionary(AcDb::kForWrite);
    ASSERT_EQ(dictionary.dctWriteBigString(L"VLKX_XMLUndo", L"Repository", text), Acad::eOk);
}

const wchar_t kTwoApplications[] =
    L"<appRepository><repositoryEntry refId=\"B\"><b/></repositoryEntry>"
    L"<repositoryEntry refId=\"A\"><a/></repositoryEntry></appRepository>";

TEST_F(RepositoryTest, UndoTableMakesOneObjectPerApplication) {
    boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable();
    const std::int64_t before = db()->approxNumObjects();
    CVLKXMLUndoObject* object = nullptr;
    ASSERT_EQ(table->OpenUndoObject(L"App", object, AcDb::kForWrite), Acad::eOk);
    const AcDbObjectId id = object->objectId();
    object->close();
    EXPECT_EQ(db()->approxNumObjects(), before + 1);
    EXPECT_TRUE(id.isErased());
    ASSERT_EQ(table->applications().size(), 1u);
    EXPECT_EQ(table->applications().at(L"App"), id);

    ASSERT_EQ(table->OpenUndoObject(L"App", object, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(object->objectId(), id);
    object->close();
    EXPECT_EQ(db()->approxNumObjects(), before + 1);
}

TEST_F(RepositoryTest, UndoTableMakesObjectsUnderTheDocumentLock) {
    host::resetDocumentLockCalls();
    CVLKXMLUndoObject* object = nullptr;
    ASSERT_EQ(GetUndoTable()->OpenUndoObject(L"App", object, AcDb::kForRead), Acad::eOk);
    object->close();
    // Once around making the object, once around the final open.
    EXPECT_EQ(host::documentLockCalls().lockCalls, 2);
    EXPECT_EQ(host::documentLockCalls().unlockCalls, 2);
    ASSERT_EQ(GetUndoTable()->OpenUndoObject(L"App", object, AcDb::kForRead), Acad::eOk);
    object->close();
    EXPECT_EQ(host::documentLockCalls().lockCalls, 3);
}

TEST_F(RepositoryTest, UndoTableOfAFreshDrawingIsEmpty) {
    CVLKXMLUndoObjectTable table;
    EXPECT_FALSE(table.Build());
    EXPECT_TRUE(table.applications().empty());
}

TEST_F(RepositoryTest, UndoTableBuildsFromTheRepositoryInNameOrder) {
    storeDocument(kTwoApplications);
    boost::shared_ptr<CVLKXMLUndoObjectTable> table = GetUndoTable();
    ASSERT_EQ(table->applications().size(), 2u);
    // Made in ascending name order: A's object before B's.
    EXPECT_LT(table->applications().at(L"A").handle(), table->applications().at(L"B").handle());
    EXPECT_EQ(textOf(L"A"), L"<a/>");
    EXPECT_EQ(textOf(L"B"), L"<b/>");

    // A second Build sets the stored texts again and tells the notifiers, in name order.
    auto notifier = registerNotifier();
    notifier->heard.clear();
    _CXMLHandler::SetXML(L"A", L"<changed/>");
    EXPECT_TRUE(table->Build());
    EXPECT_EQ(textOf(L"A"), L"<a/>");
    EXPECT_EQ(notifier->heard, (HeardList{{'L', L"A", L"<a/>"}, {'L', L"B", L"<b/>"}}));
}

TEST_F(RepositoryTest, UndoTableTellsANewNotifierOfTheLoadedTexts) {
    storeDocument(kTwoApplications);
    _CXMLHandler::SetXML(L"B", L"<b2/>");
    _CXMLHandler::SetXML(L"C", L"<c/>");
    auto notifier = registerNotifier();
    // Loaded applications only, with their current texts.
    EXPECT_EQ(notifier->heard, (HeardList{{'L', L"A", L"<a/>"}, {'L', L"B", L"<b2/>"}}));
    _CXMLHandler::Register(notifier);
    EXPECT_EQ(notifier->heard.size(), 2u);
}

TEST_F(RepositoryTest, UndoTableSavesEveryTextWithoutDeclarations) {
    storeDocument(kTwoApplications);
    _CXMLHandler::SetXML(L"C", L"<?xml version=\"1.0\"?><c/>");
    auto notifier = registerNotifier();
    notifier->heard.clear();
    ASSERT_TRUE(GetUndoTable()->SaveToRepository());
    // Told in name order with the text as it is, declaration included.
    EXPECT_EQ(notifier->heard, (HeardList{{'S', L"A", L"<a/>"},
                                          {'S', L"B", L"<b/>"},
                                          {'S', L"C", L"<?xml version=\"1.0\"?><c/>"}}));
    CApplicationRepository stored;
    CString document;
    EXPECT_EQ(stored.BuildDocument(document),
              L"<appRepository><repositoryEntry refId=\"A\"><a/></repositoryEntry>"
              L"<repositoryEntry refId=\"B\"><b/></repositoryEntry>"
              L"<repositoryEntry refId=\"C\"><c/></repositoryEntry></appRepository>");
}

TEST_F(RepositoryTest, UndoTableSaveSkipsAnObjectThatCannotBeOpened) {
    _CXMLHandler::SetXML(L"A", L"<a/>");
    _CXMLHandler::SetXML(L"B", L"<b/>");
    ASSERT_TRUE(GetUndoTable()->SaveToRepository());
    _CXMLHandler::SetXML(L"A", L"<a2/>");
    _CXMLHandler::SetXML(L"B", L"<b2/>");
    CVLKXMLUndoObject* held = nullptr;
    ASSERT_EQ(GetUndoTable()->OpenUndoObject(L"A", held, AcDb::kForWrite), Acad::eOk);
    EXPECT_TRUE(GetUndoTable()->SaveToRepository());
    held->close();
    // A keeps what the repository had.
    CApplicationRepository stored;
    EXPECT_EQ(stored.GetEntry(L"A"), L"<a/>");
    EXPECT_EQ(stored.GetEntry(L"B"), L"<b2/>");
}

TEST_F(RepositoryTest, UndoTableLeftByAnotherDatabaseAtTheAddressIsReplaced) {
    _CXMLHandler::SetXML(L"Old", L"<old/>");
    boost::shared_ptr<CVLKXMLUndoObjectTable> own = GetUndoTable();
    AcApDocument* other = host::newDocument();
    kestrel::undoTableRegistry()[other->database()] = own;
    EXPECT_EQ(textOf(L"Old"), L"");
    EXPECT_NE(GetUndoTable(), own);
    EXPECT_EQ(GetUndoTable()->databaseSerial(), other->database()->serial());
    host::activateDocument(m_doc);
    EXPECT_EQ(GetUndoTable(), own);
    EXPECT_EQ(textOf(L"Old"), L"<old/>");
}

TEST_F(RepositoryTest, UndoTableOfASideDatabaseIsDroppedWithItsEntryNeverReused) {
    AcDbDatabase* working = db();
    auto side = std::make_unique<AcDbDatabase>(true, true);
    acdbHostApplicationServices()->setWorkingDatabase(side.get());
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", L"<side/>"), Acad::eOk);
    ASSERT_EQ(kestrel::undoTableRegistry().count(side.get()), 1u);
    AcDbDatabase* address = side.get();
    acdbHostApplicationServices()->setWorkingDatabase(working);
    side.reset();
    // Whatever database comes next at that address gets a table of its own.
    auto next = std::make_unique<AcDbDatabase>(true, true);
    acdbHostApplicationServices()->setWorkingDatabase(next.get());
    EXPECT_EQ(textOf(L"App"), L"");
    acdbHostApplicationServices()->setWorkingDatabase(working);
    kestrel::undoTableRegistry().erase(address);
    kestrel::undoTableRegistry().erase(next.get());
    kestrel::repositoryRegistry().erase(address);
    kestrel::repositoryRegistry().erase(next.get());
}

TEST_F(RepositoryTest, UndoTableMadeWithoutAWorkingDatabaseOpensNothing) {
    ASSERT_EQ(host::closeDocument(m_doc), Acad::eOk);
    CVLKXMLUndoObjectTable table;
    EXPECT_FALSE(table.Build());
    CVLKXMLUndoObject* object = nullptr;
    EXPECT_EQ(table.OpenUndoObject(L"App", object, AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(table.applications().empty());
    CApplicationRepository repository;
    EXPECT_FALSE(repository.Load());
    EXPECT_FALSE(repository.Save());
    EXPECT_EQ(GetRepository(), nullptr);
    EXPECT_EQ(GetUndoTable(), nullptr);
}

}  // namespace
