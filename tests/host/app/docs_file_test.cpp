// Opening and saving drawing files through the harness: the notification order of each, and
// what a failed open or save leaves behind (nothing, and a line on the command line).
#include <filesystem>

#include "kestrel/host/dxf/file_message.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/app/docs_fixture.h"
#include "tests/support/test_folder.h"

namespace fs = std::filesystem;

namespace {

using Names = std::vector<std::wstring>;

class DocsFileTest : public DocsTest {
protected:
    std::wstring path(const char* name) const { return m_files.widePath(name); }

    testsupport::TestFolder m_files;
};

TEST_F(DocsFileTest, AFailedOpenLeavesNothing) {
    AcApDocument* current = host::newDocument();
    m_log.clear();
    Acad::ErrorStatus status = Acad::eOk;
    EXPECT_EQ(host::openDocument(path("missing.dxf").c_str(), &status), nullptr);
    EXPECT_NE(status, Acad::eOk);
    EXPECT_EQ(m_log.names(),
              (Names{L"beginDwgOpen", L"documentCreateStarted", L"databaseConstructed",
                     L"documentCreateCanceled", L"databaseToBeDestroyed"}));
    EXPECT_EQ(host::documents(), (std::vector<AcApDocument*>{current}));
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), current->database());
    EXPECT_NE(host::commandLine().find(L"Cannot open"), std::wstring::npos);

    EXPECT_EQ(host::openDocument(L"", &status), nullptr);
    EXPECT_EQ(status, Acad::eInvalidInput);
    EXPECT_EQ(host::openDocument(nullptr), nullptr);
}

TEST_F(DocsFileTest, SaveSendsBeginSaveFirst) {
    AcApDocument* doc = host::newDocument();
    m_log.clear();
    EXPECT_EQ(host::saveDocument(doc, nullptr), Acad::eInvalidInput);
    EXPECT_EQ(host::saveDocument(nullptr, path("a.dxf").c_str()), Acad::eNullPtr);
    EXPECT_TRUE(m_log.names().empty());

    ASSERT_EQ(host::saveDocument(doc, path("a.dxf").c_str()), Acad::eOk);
    ASSERT_FALSE(m_log.names().empty());
    EXPECT_EQ(m_log.find(L"beginSave").subject, doc->database());
    EXPECT_EQ(m_log.names(), (Names{L"beginSave", L"saveComplete"}));
    EXPECT_TRUE(fs::exists(m_files.path("a.dxf")));
    EXPECT_TRUE(doc->isNamedDrawing());
    EXPECT_EQ(std::wstring(doc->fileName()), path("a.dxf"));
}

TEST_F(DocsFileTest, SaveOpenAndCloseInTheHostsOrder) {
    AcApDocument* doc = host::newDocument();
    ASSERT_EQ(host::saveDocument(doc, path("round.dxf").c_str()), Acad::eOk);
    m_log.clear();
    Acad::ErrorStatus status = Acad::eNotApplicable;
    AcApDocument* opened = host::openDocument(path("round.dxf").c_str(), &status);
    ASSERT_EQ(status, Acad::eOk);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(m_log.names(),
              (Names{L"beginDwgOpen", L"documentCreateStarted", L"databaseConstructed",
                     L"dwgFileOpened", L"initialDwgFileOpenComplete", L"endDwgOpen",
                     L"documentCreated", L"documentToBeDeactivated", L"documentToBeActivated",
                     L"documentBecameCurrent", L"documentActivated"}));
    EXPECT_TRUE(opened->isNamedDrawing());
    m_log.clear();
    ASSERT_EQ(host::saveDocument(opened), Acad::eOk);
    EXPECT_EQ(m_log.names(), (Names{L"beginSave", L"saveComplete"}));
}

TEST_F(DocsFileTest, AFailedSaveSendsAbortSaveAndKeepsTheFormerFile) {
    AcApDocument* doc = host::newDocument();
    m_log.clear();
    EXPECT_NE(host::saveDocument(doc, path("missing-folder/a.dxf").c_str()), Acad::eOk);
    EXPECT_EQ(m_log.names(), (Names{L"beginSave", L"abortSave"}));
    EXPECT_FALSE(doc->isNamedDrawing());
    EXPECT_NE(host::commandLine().find(L"Cannot save"), std::wstring::npos);
}

TEST_F(DocsFileTest, OpeningADamagedDrawingLeavesNothingAndSaysWhy) {
    AcApDocument* doc = host::newDocument();
    ASSERT_EQ(host::saveDocument(doc, path("whole.dxf").c_str()), Acad::eOk);
    const fs::path whole = m_files.path("whole.dxf");
    fs::resize_file(whole, fs::file_size(whole) / 2);
    m_log.clear();
    Acad::ErrorStatus status = Acad::eOk;
    EXPECT_EQ(host::openDocument(path("whole.dxf").c_str(), &status), nullptr);
    EXPECT_NE(status, Acad::eOk);
    EXPECT_EQ(m_log.names(),
              (Names{L"beginDwgOpen", L"documentCreateStarted", L"databaseConstructed",
                     L"documentCreateCanceled", L"databaseToBeDestroyed"}));
    EXPECT_EQ(host::documents(), (std::vector<AcApDocument*>{doc}));
    EXPECT_NE(host::lastDrawingFileMessage().find(L"line "), std::wstring::npos);
    EXPECT_NE(host::commandLine().find(host::lastDrawingFileMessage()), std::wstring::npos)
        << "the user sees where and what";
}

TEST_F(DocsFileTest, AnOpenedDrawingHoldsWhatWasSaved) {
    AcApDocument* doc = host::newDocument();
    AcDbDatabase* db = doc->database();
    const AcDbHandle layerZero = db->layerZero().handle();
    const AcDbHandle modelSpace = db->modelSpaceId().handle();
    ASSERT_EQ(host::saveDocument(doc, path("kept.dxf").c_str()), Acad::eOk);
    AcApDocument* opened = host::openDocument(path("kept.dxf").c_str());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->database()->layerZero().handle(), layerZero);
    EXPECT_EQ(opened->database()->modelSpaceId().handle(), modelSpace);
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), opened->database());
}

}  // namespace
