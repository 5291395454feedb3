// The application repository: the exact document it writes, how it reads documents written by
// others (duplicates, foreign roots, damage), the declaration cut, and storage as a big string.
#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/xmlrepo/repository_fixture.h"
#include "xmlrepo/application_repository.h"

namespace {

using repotest::RepositoryTest;

class ApplicationRepositoryTest : public RepositoryTest {
protected:
    void TearDown() override {
        ReleaseRepository();
        RepositoryTest::TearDown();
    }

    // Stores text as the drawing's repository record.
    static void storeDocument(const wchar_t* text) {
        CVLKCDictionaryPtr dictionary(AcDb::kForWrite);
        ASSERT_EQ(dictionary.dctWriteBigString(L"VLKX_XMLUndo", L"Repository", text), Acad::eOk);
    }

    // The record's text items, in order.
    static std::vector<std::wstring> storedPieces() {
        CVLKCDictionaryPtr dictionary(AcDb::kForRead);
        resbuf* chain = nullptr;
        std::vector<std::wstring> pieces;
        if (dictionary.dctRead(L"VLKX_XMLUndo", L"Repository", chain)) {
            for (const resbuf* item = chain; item != nullptr; item = item->rbnext) {
                pieces.push_back(item->restype == 1 ? item->resval.rstring : L"<not text>");
            }
        }
        acutRelRb(chain);
        return pieces;
    }

    // The entries loaded from text, as "name=text" lines.
    static std::wstring loaded(const wchar_t* text, bool* result = nullptr) {
        storeDocument(text);
        CApplicationRepository repository;
        const bool loadResult = repository.Load();
        if (result != nullptr) {
            *result = loadResult;
        }
        CStringArray names;
        std::wstring out;
        for (int i = 0; i < repository.GetEntryNames(names); ++i) {
            out += names[i].str() + L"=" + repository.GetEntry(names[i]).str() + L"\n";
        }
        return out;
    }
};

TEST_F(ApplicationRepositoryTest, RepositoryDocumentHasTheExactLayout) {
    CApplicationRepository repository;
    CString document;
    EXPECT_EQ(repository.BuildDocument(document), L"<appRepository></appRepository>");
    repository.SetEntry(L"B", L"");
    repository.SetEntry(L"A", L"<a x=\"1\"/>");
    EXPECT_EQ(&repository.BuildDocument(document), &document);
    EXPECT_EQ(document,
              L"<appRepository><repositoryEntry refId=\"A\"><a x=\"1\"/></repositoryEntry>"
              L"<repositoryEntry refId=\"B\"></repositoryEntry></appRepository>");
}

TEST_F(ApplicationRepositoryTest, RepositoryOrdersNamesByCodeUnits) {
    CApplicationRepository repository;
    for (const wchar_t* name : {L"b", L"B", L"a", L"\x00E9", L"A"}) {
        repository.SetEntry(name, L"");
    }
    CStringArray names;
    names.Add(L"stale");
    ASSERT_EQ(repository.GetEntryNames(names), 5);
    EXPECT_EQ(names[0], L"A");
    EXPECT_EQ(names[1], L"B");
    EXPECT_EQ(names[2], L"a");
    EXPECT_EQ(names[3], L"b");
    EXPECT_EQ(names[4], L"\x00E9");
}

TEST_F(ApplicationRepositoryTest, RepositorySetEntryCutsEverythingUpToTheFirstDeclarationEnd) {
    CApplicationRepository repository;
    repository.SetEntry(L"Decl", L"<?xml version=\"1.0\"?><a/>");
    repository.SetEntry(L"Later", L"<a>x?>y</a>");
    repository.SetEntry(L"Two", L"<?a?><?b?><c/>");
    repository.SetEntry(L"None", L"<a/>");
    repository.SetEntry(L"Null", nullptr);
    EXPECT_EQ(repository.GetEntry(L"Decl"), L"<a/>");
    EXPECT_EQ(repository.GetEntry(L"Later"), L"y</a>");
    EXPECT_EQ(repository.GetEntry(L"Two"), L"<?b?><c/>");
    EXPECT_EQ(repository.GetEntry(L"None"), L"<a/>");
    EXPECT_EQ(repository.GetEntry(L"Null"), L"");
    EXPECT_EQ(repository.GetEntry(L"Missing"), L"");
    // A second SetEntry replaces.
    EXPECT_TRUE(repository.SetEntry(L"None", L"<b/>"));
    EXPECT_EQ(repository.GetEntry(L"None"), L"<b/>");
}

TEST_F(ApplicationRepositoryTest, RepositorySavesAndLoadsBack) {
    CApplicationRepository repository;
    repository.SetEntry(L"A", L"<a>&lt;raw&gt;<b/></a>");
    repository.SetEntry(L"B", L"");
    ASSERT_TRUE(repository.Save());
    EXPECT_EQ(storedPieces(),
              (std::vector<std::wstring>{
                  L"<appRepository><repositoryEntry refId=\"A\"><a>&lt;raw&gt;<b/></a>"
                  L"</repositoryEntry><repositoryEntry refId=\"B\"></repositoryEntry>"
                  L"</appRepository>"}));
    CApplicationRepository reread;
    EXPECT_EQ(reread.GetEntry(L"A"), L"<a>&lt;raw&gt;<b/></a>");
    CStringArray names;
    EXPECT_EQ(reread.GetEntryNames(names), 2);
}

TEST_F(ApplicationRepositoryTest, RepositoryOfNothingIsSavedAsTheEmptyDocument) {
    CApplicationRepository repository;
    EXPECT_FALSE(repository.Load());
    ASSERT_TRUE(repository.Save());
    EXPECT_EQ(storedPieces(), (std::vector<std::wstring>{L"<appRepository></appRepository>"}));
    EXPECT_TRUE(repository.Load());
}

TEST_F(ApplicationRepositoryTest, RepositoryReadsWhatOthersWrote) {
    bool result = false;
    // The first entry of a name wins; other elements are skipped; a missing refId is "".
    EXPECT_EQ(loaded(L"<appRepository>\r\n  <repositoryEntry refId='X'><one/></repositoryEntry>"
                     L"<other refId='Y'/><repositoryEntry refId=\"X\"><two/></repositoryEntry>"
                     L"<repositoryEntry><nameless/></repositoryEntry>"
                     L"<repositoryEntry refId='Z'/></appRepository>",
                     &result),
              L"=<nameless/>\nX=<one/>\nZ=\n");
    EXPECT_TRUE(result);
    // Entities in the name are decoded, the content is kept raw.
    EXPECT_EQ(loaded(L"<appRepository><repositoryEntry refId='a&amp;b'>&amp;</repositoryEntry>"
                     L"</appRepository>"),
              L"a&b=&amp;\n");
    // Another root element: no entries, yet true.
    EXPECT_EQ(loaded(L"<other><repositoryEntry refId='X'/></other>", &result), L"");
    EXPECT_TRUE(result);
}

TEST_F(ApplicationRepositoryTest, RepositoryThatIsNotWellFormedLoadsEmpty) {
    for (const wchar_t* text : {L"", L"plain text", L"<appRepository><repositoryEntry refId='X'>",
                                L"<appRepository></appRepository><x/>"}) {
        bool result = true;
        EXPECT_EQ(loaded(text, &result), L"") << std::wstring(text);
        EXPECT_FALSE(result);
    }
}

TEST_F(ApplicationRepositoryTest, RepositoryNamesAreWrittenUnescaped) {
    CApplicationRepository repository;
    repository.SetEntry(L"say \"hi\"", L"");
    repository.SetEntry(L"a&amp;b", L"<x/>");
    ASSERT_TRUE(repository.Save());
    CApplicationRepository reread;
    CStringArray names;
    reread.GetEntryNames(names);
    // The quote ends the attribute early; the entity is decoded.
    EXPECT_EQ(reread.GetEntry(L"a&b"), L"<x/>");
    EXPECT_EQ(reread.GetEntry(L"say \"hi\""), L"");
    EXPECT_EQ(names.GetSize(), 2);
    EXPECT_EQ(names[1], L"say ");
}

TEST_F(ApplicationRepositoryTest, RepositoryLongerThanOnePieceIsSplitAndJoined) {
    const int overhead = static_cast<int>(
        std::wstring(L"<appRepository><repositoryEntry refId=\"L\"></repositoryEntry>"
                     L"</appRepository>")
            .size());
    const std::wstring text = L"<t>" + std::wstring(65531 - overhead - 7, L'x') + L"</t>";
    CApplicationRepository repository;
    repository.SetEntry(L"L", text.c_str());
    ASSERT_TRUE(repository.Save());
    const std::vector<std::wstring> pieces = storedPieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].size(), 65530u);
    EXPECT_EQ(pieces[1], L">");
    CApplicationRepository reread;
    EXPECT_EQ(reread.GetEntry(L"L").str(), text);
}

TEST_F(ApplicationRepositoryTest, RepositorySaveFailsWhenTheDictionaryCannotBeWritten) {
    CApplicationRepository repository;
    repository.SetEntry(L"A", L"<a/>");
    CVLKCDictionaryPtr holder(AcDb::kForRead);
    // Another reader keeps the dictionary from being upgraded.
    CVLKCDictionaryPtr second(AcDb::kForRead);
    EXPECT_FALSE(repository.Save());
    EXPECT_EQ(repository.GetEntry(L"A"), L"<a/>");
}

TEST_F(ApplicationRepositoryTest, RepositoryRegistryKeepsOnePerDrawing) {
    boost::shared_ptr<CApplicationRepository> first = GetRepository();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetRepository(), first);
    host::newDocument();
    boost::shared_ptr<CApplicationRepository> second = GetRepository();
    EXPECT_NE(second, first);
    EXPECT_EQ(kestrel::repositoryRegistry().size(), 2u);
    ReleaseRepository();
    EXPECT_EQ(kestrel::repositoryRegistry().size(), 1u);
    host::activateDocument(m_doc);
    EXPECT_EQ(GetRepository(), first);
}

}  // namespace
