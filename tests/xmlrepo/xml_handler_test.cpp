// The client interface: texts per application and per drawing, the host's undo and redo with
// OnXMLRestored, registration of notifiers, and the refusals of bad calls.
#include <algorithm>

#include "kestrel/drawing/entity_creation.h"
#include "kestrel/host/db/open.h"
#include "tests/xmlrepo/repository_fixture.h"
#include "xmlrepo/xml_undo_object.h"
#include "xmlrepo/xml_undo_object_table.h"

namespace {

using repotest::HeardList;
using repotest::RepositoryTest;

TEST_F(RepositoryTest, HandlerFirstReadOfANameGivesAnEmptyTextAndKeepsTheName) {
    CString xml(L"untouched");
    EXPECT_EQ(_CXMLHandler::GetXML(L"App", xml), Acad::eOk);
    EXPECT_EQ(xml, L"");
    ASSERT_EQ(GetUndoTable()->applications().size(), 1u);
    EXPECT_EQ(GetUndoTable()->applications().begin()->first, L"App");
}

TEST_F(RepositoryTest, HandlerNamesCompareExactly) {
    ASSERT_EQ(_CXMLHandler::SetXML(L"app", L"<lower/>"), Acad::eOk);
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", L"<upper/>"), Acad::eOk);
    ASSERT_EQ(_CXMLHandler::SetXML(L"app ", L"<space/>"), Acad::eOk);
    EXPECT_EQ(textOf(L"app"), L"<lower/>");
    EXPECT_EQ(textOf(L"App"), L"<upper/>");
    EXPECT_EQ(textOf(L"app "), L"<space/>");
    EXPECT_EQ(GetUndoTable()->applications().size(), 3u);
}

TEST_F(RepositoryTest, HandlerStoresTheTextUnchangedDeclarationIncluded) {
    const wchar_t* text = L"<?xml version=\"1.0\"?>\r\n<a x='&amp;'>\x20AC</a>";
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", text), Acad::eOk);
    EXPECT_EQ(textOf(L"App"), text);
    // A null text is the empty text.
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", nullptr), Acad::eOk);
    EXPECT_EQ(textOf(L"App"), L"");
}

TEST_F(RepositoryTest, HandlerUndoAndRedoRestoreTheTextAndTellTheNotifiers) {
    auto notifier = registerNotifier();
    ASSERT_EQ(setInCommand(L"App", L"<one/>"), Acad::eOk);
    ASSERT_EQ(setInCommand(L"App", L"<two/>"), Acad::eOk);
    // SetXML itself tells nobody.
    EXPECT_TRUE(notifier->heard.empty());

    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(textOf(L"App"), L"<one/>");
    EXPECT_EQ(notifier->heard, (HeardList{{'R', L"App", L"<one/>"}}));

    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(textOf(L"App"), L"<two/>");
    ASSERT_EQ(notifier->heard.size(), 2u);
    EXPECT_EQ(notifier->heard.back(), (repotest::Heard{'R', L"App", L"<two/>"}));
}

TEST_F(RepositoryTest, HandlerFirstTextsAreUndoneToTheEmptyTextWithTheCommandsEntities) {
    auto notifier = registerNotifier();
    const auto heardSorted = [&notifier] {
        HeardList heard = std::move(notifier->heard);
        notifier->heard.clear();
        std::sort(heard.begin(), heard.end(),
                  [](const auto& x, const auto& y) { return x.appName < y.appName; });
        return heard;
    };
    // The first texts of two new names and an entity in one command, a second text in another.
    host::beginCommand(L"FIRST");
    const AcDbObjectId line = CVLKCDraw::line(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 0, 0));
    ASSERT_EQ(_CXMLHandler::SetXML(L"A", L"<a1/>"), Acad::eOk);
    ASSERT_EQ(_CXMLHandler::SetXML(L"B", L"<b1/>"), Acad::eOk);
    host::endCommand();
    ASSERT_EQ(setInCommand(L"A", L"<a2/>"), Acad::eOk);

    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(heardSorted(), (HeardList{{'R', L"A", L"<a1/>"}}));
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(heardSorted(), (HeardList{{'R', L"A", L""}, {'R', L"B", L""}}));
    EXPECT_EQ(textOf(L"A"), L"");
    EXPECT_EQ(textOf(L"B"), L"");
    EXPECT_TRUE(testsupport::open<AcDbObject>(line, AcDb::kForRead, true)->isErased());

    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(heardSorted(), (HeardList{{'R', L"A", L"<a1/>"}, {'R', L"B", L"<b1/>"}}));
    ASSERT_EQ(host::redo(), Acad::eOk);
    EXPECT_EQ(heardSorted(), (HeardList{{'R', L"A", L"<a2/>"}}));
    EXPECT_EQ(textOf(L"A"), L"<a2/>");
    EXPECT_EQ(textOf(L"B"), L"<b1/>");
}

TEST_F(RepositoryTest, HandlerOneCommandIsOneUndoStepForSeveralApplications) {
    ASSERT_EQ(textOf(L"B"), L"");
    ASSERT_EQ(setInCommand(L"A", L"<a1/>"), Acad::eOk);
    host::beginCommand(L"BOTH");
    _CXMLHandler::SetXML(L"A", L"<a2/>");
    _CXMLHandler::SetXML(L"A", L"<a3/>");
    _CXMLHandler::SetXML(L"B", L"<b1/>");
    host::endCommand();
    auto notifier = registerNotifier();
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(textOf(L"A"), L"<a1/>");
    EXPECT_EQ(textOf(L"B"), L"");
    // Each restored object is heard once, with its own application and text.
    std::sort(notifier->heard.begin(), notifier->heard.end(),
              [](const auto& x, const auto& y) { return x.appName < y.appName; });
    EXPECT_EQ(notifier->heard, (HeardList{{'R', L"A", L"<a1/>"}, {'R', L"B", L""}}));
}

TEST_F(RepositoryTest, HandlerNotifierSeesTheRestoredTextDuringTheCall) {
    struct Reader : repotest::RecordingNotifier {
        void OnXMLRestored(boost::shared_ptr<CString> appName, const CString& xml) override {
            CString current;
            _CXMLHandler::GetXML(*appName, current);
            heard.push_back({'R', appName->str(), current.str()});
        }
    };
    auto reader = boost::make_shared<Reader>();
    _CXMLHandler::Register(reader);
    textOf(L"App");
    setInCommand(L"App", L"<one/>");
    setInCommand(L"App", L"<two/>");
    ASSERT_EQ(host::undo(), Acad::eOk);
    EXPECT_EQ(reader->heard, (HeardList{{'R', L"App", L"<one/>"}}));
}

TEST_F(RepositoryTest, HandlerRegisteringTwiceTellsOnce) {
    auto notifier = registerNotifier();
    _CXMLHandler::Register(notifier);
    textOf(L"App");
    setInCommand(L"App", L"<one/>");
    host::undo();
    EXPECT_EQ(notifier->heard.size(), 1u);
    // A null notifier is ignored.
    _CXMLHandler::Register(boost::shared_ptr<_CXMLHandlerNotifier>());
    host::redo();
    EXPECT_EQ(notifier->heard.size(), 2u);
}

TEST_F(RepositoryTest, HandlerNotifiersHearInAddressOrderWithNewNameStrings) {
    std::vector<const _CXMLHandlerNotifier*> order;
    struct Ordered : repotest::RecordingNotifier {
        explicit Ordered(std::vector<const _CXMLHandlerNotifier*>& order) : order(order) {}
        void OnXMLRestored(boost::shared_ptr<CString> appName, const CString& xml) override {
            order.push_back(this);
            RecordingNotifier::OnXMLRestored(appName, xml);
        }
        std::vector<const _CXMLHandlerNotifier*>& order;
    };
    std::vector<boost::shared_ptr<Ordered>> notifiers;
    for (int i = 0; i < 4; ++i) {
        notifiers.push_back(boost::make_shared<Ordered>(order));
    }
    for (auto it = notifiers.rbegin(); it != notifiers.rend(); ++it) {
        _CXMLHandler::Register(*it);
    }
    textOf(L"App");
    setInCommand(L"App", L"<one/>");
    host::undo();
    ASSERT_EQ(order.size(), 4u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), std::less<>()));
    EXPECT_NE(notifiers[0]->names[0].get(), notifiers[1]->names[0].get());
}

TEST_F(RepositoryTest, HandlerDrawingsKeepSeparateTextsAndNotifiers) {
    auto inA = registerNotifier();
    textOf(L"App");
    setInCommand(L"App", L"<a/>");
    AcApDocument* b = host::newDocument();
    EXPECT_EQ(textOf(L"App"), L"");
    auto inB = registerNotifier();
    setInCommand(L"App", L"<b/>");
    EXPECT_EQ(textOf(L"App"), L"<b/>");
    host::undo();
    EXPECT_TRUE(inA->heard.empty());
    EXPECT_EQ(inB->heard, (HeardList{{'R', L"App", L""}}));

    host::activateDocument(m_doc);
    EXPECT_EQ(textOf(L"App"), L"<a/>");
    host::undo();
    EXPECT_EQ(inA->heard, (HeardList{{'R', L"App", L""}}));
    EXPECT_EQ(inB->heard.size(), 1u);
    EXPECT_EQ(kestrel::undoTableRegistry().size(), 2u);
    EXPECT_EQ(host::closeDocument(b), Acad::eOk);
    EXPECT_EQ(kestrel::undoTableRegistry().size(), 1u);
}

TEST_F(RepositoryTest, HandlerAConflictingOpenIsReturnedAndChangesNothing) {
    ASSERT_EQ(_CXMLHandler::SetXML(L"App", L"<one/>"), Acad::eOk);
    CVLKXMLUndoObject* held = nullptr;
    ASSERT_EQ(GetUndoTable()->OpenUndoObject(L"App", held, AcDb::kForWrite), Acad::eOk);
    CString xml(L"kept");
    EXPECT_EQ(_CXMLHandler::GetXML(L"App", xml), Acad::eWasOpenForWrite);
    EXPECT_EQ(xml, L"kept");
    EXPECT_EQ(_CXMLHandler::SetXML(L"App", L"<two/>"), Acad::eWasOpenForWrite);
    held->close();
    EXPECT_EQ(textOf(L"App"), L"<one/>");
}

TEST_F(RepositoryTest, HandlerRefusesANullNameAndWorksWithoutADrawingOnlyToRefuse) {
    CString xml(L"kept");
    EXPECT_EQ(_CXMLHandler::GetXML(nullptr, xml), Acad::eNullPtr);
    EXPECT_EQ(_CXMLHandler::SetXML(nullptr, L"<a/>"), Acad::eNullPtr);
    EXPECT_EQ(xml, L"kept");

    ASSERT_EQ(host::closeDocument(m_doc), Acad::eOk);
    ASSERT_EQ(acdbHostApplicationServices()->workingDatabase(), nullptr);
    EXPECT_EQ(_CXMLHandler::GetXML(L"App", xml), Acad::eNoWorkingDatabase);
    EXPECT_EQ(_CXMLHandler::SetXML(L"App", L"<a/>"), Acad::eNoWorkingDatabase);
    _CXMLHandler::Register(boost::make_shared<repotest::RecordingNotifier>());
    EXPECT_EQ(xml, L"kept");
    EXPECT_TRUE(kestrel::undoTableRegistry().empty());
}

}  // namespace
