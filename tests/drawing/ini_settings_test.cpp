// The INI readers of client modules: the value found through the support path with the
// application prefixes, and the section and key lists of a file taken as given.
#include "kestrel/drawing/ini_settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/test_folder.h"

namespace fs = std::filesystem;

namespace {

class IniSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(m_files.path("Tools.ini")) << "[Tools_Paths]\r\nTools_Root=C:\\Data\r\n"
                                                 "Tools_Empty=\r\n[B]\r\nx=1\r\ny=2\r\nbare\r\n";
        host::setSupportPath({utf8ToWide(m_files.folder().string())});
    }
    void TearDown() override { host::setSupportPath({}); }

    std::wstring path(const char* name) const { return m_files.widePath(name); }

    static CString joined(const CStringArray& list) {
        CString text;
        for (int i = 0; i < list.GetSize(); ++i) {
            text += (i ? L"|" : L"") + list[i];
        }
        return text;
    }

    testsupport::TestFolder m_files;
};

TEST_F(IniSettingsTest, ReadsPrefixedKeysFromTheFileOnTheSearchPath) {
    CString value = L"previous";
    EXPECT_TRUE(VLKCacad_IniRead(L"Tools", L"Paths", L"Root", value));
    EXPECT_EQ(value, CString(L"C:\\Data"));
    value = L"previous";
    EXPECT_FALSE(VLKCacad_IniRead(L"Tools", L"Paths", L"Other", value));
    EXPECT_TRUE(value.IsEmpty());
    value = L"previous";
    EXPECT_FALSE(VLKCacad_IniRead(L"Tools", L"Paths", L"Empty", value));
    EXPECT_TRUE(value.IsEmpty());
    value = L"previous";
    EXPECT_FALSE(VLKCacad_IniRead(L"Missing", L"Paths", L"Root", value));
    EXPECT_EQ(value, CString(L"previous")) << "a file found nowhere leaves the value";
}

TEST_F(IniSettingsTest, ListsReplaceTheArrayOnlyWhenThereIsSomething) {
    CStringArray names;
    names.Add(L"old");
    EXPECT_EQ(VLKCacad_IniApplicationNames(path("Tools.ini").c_str(), names), 2);
    EXPECT_EQ(joined(names), CString(L"Tools_Paths|B"));
    CStringArray keys;
    keys.Add(L"old");
    EXPECT_EQ(VLKCacad_IniKeyNames(path("Tools.ini").c_str(), L"B", keys), 3);
    EXPECT_EQ(joined(keys), CString(L"x|y|bare"));

    EXPECT_EQ(VLKCacad_IniKeyNames(path("Tools.ini").c_str(), L"None", keys), 0);
    EXPECT_EQ(joined(keys), CString(L"x|y|bare"));
    EXPECT_EQ(VLKCacad_IniApplicationNames(L"Tools.ini", names), 0)
        << "list readers take the name as given, without the search path";
    EXPECT_EQ(joined(names), CString(L"Tools_Paths|B"));
}

}  // namespace
