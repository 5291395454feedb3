// acedFindFile: the name as given, the drawing's folder, the support path and the environment
// variable, in that order.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "kestrel/host/app/find_file.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/app/editor_fixture.h"
#include "tests/support/test_folder.h"

namespace fs = std::filesystem;

namespace {

class FindFileTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        fs::create_directories(m_files.folder() / "first");
        fs::create_directories(m_files.folder() / "second");
        fs::create_directories(m_files.folder() / "env");
        unsetenv(kSupportPathVariable);
    }
    void TearDown() override {
        host::setSupportPath({});
        unsetenv(kSupportPathVariable);
        EditorTest::TearDown();
    }

    std::wstring folder(const char* name) const { return utf8ToWide((m_files.folder() / name).string()); }
    void touch(const fs::path& path) const { std::ofstream(path) << "x"; }

    // The found path, or "<none>".
    static std::wstring find(const wchar_t* name) {
        wchar_t result[260];
        return acedFindFile(name, result) == RTNORM ? std::wstring(result) : L"<none>";
    }

    testsupport::TestFolder m_files;
};

TEST_F(FindFileTest, SupportFoldersAreSearchedInOrderThenTheEnvironment) {
    touch(m_files.folder() / "second" / "a.ini");
    touch(m_files.folder() / "env" / "a.ini");
    touch(m_files.folder() / "env" / "b.ini");
    host::setSupportPath({folder("first"), folder("second")});
    const std::string env = (m_files.folder() / "missing").string() + "::" + (m_files.folder() / "env").string();
    setenv(kSupportPathVariable, env.c_str(), 1);
    EXPECT_EQ(find(L"a.ini"), folder("second") + L"/a.ini");
    EXPECT_EQ(find(L"b.ini"), folder("env") + L"/b.ini");
    touch(m_files.folder() / "first" / "a.ini");
    EXPECT_EQ(find(L"a.ini"), folder("first") + L"/a.ini");
    EXPECT_EQ(find(L"c.ini"), L"<none>");
}

TEST_F(FindFileTest, TheNameAsGivenComesFirstAndAbsoluteNamesOnlyAsGiven) {
    touch(m_files.folder() / "first" / "a.ini");
    touch(m_files.folder() / "second" / "a.ini");
    host::setSupportPath({folder("second")});
    const std::wstring absolute = folder("first") + L"/a.ini";
    EXPECT_EQ(find(absolute.c_str()), absolute);
    const std::wstring missing = folder("first") + L"/zzz.ini";
    touch(m_files.folder() / "second" / "zzz.ini");
    EXPECT_EQ(find(missing.c_str()), L"<none>");
    // A folder is no file.
    EXPECT_EQ(find(folder("first").c_str()), L"<none>");
}

TEST_F(FindFileTest, BadArgumentsAndShortBuffersAreRefused) {
    touch(m_files.folder() / "first" / "a.ini");
    host::setSupportPath({folder("first")});
    wchar_t small[8] = L"keep";
    EXPECT_EQ(acedFindFile(L"a.ini", small), RTERROR);
    EXPECT_EQ(std::wstring(small), L"keep");
    wchar_t result[260];
    EXPECT_EQ(acedFindFile(L"", result), RTERROR);
    EXPECT_EQ(acedFindFile(nullptr, result), RTERROR);
    EXPECT_EQ(acedFindFile(L"a.ini", nullptr, 260), RTERROR);
    EXPECT_EQ(host::supportPath().size(), 1u);
}

TEST_F(FindFileTest, TheDrawingsFolderComesBeforeTheSupportPath) {
    fs::create_directories(m_files.folder() / "drawing");
    const std::wstring drawing = folder("drawing") + L"/plan.dxf";
    ASSERT_EQ(host::saveDocument(m_doc, drawing.c_str()), Acad::eOk);
    touch(m_files.folder() / "drawing" / "a.ini");
    touch(m_files.folder() / "first" / "a.ini");
    host::setSupportPath({folder("first")});
    EXPECT_EQ(find(L"a.ini"), folder("drawing") + L"/a.ini");
}

}  // namespace
