// The private-profile functions over real files: encodings, the Windows look-up rules, and the
// buffer limits with their returned counts.
#include "kestrel/platform/private_profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kestrel/platform/utf8.h"
#include "tests/support/test_folder.h"

namespace fs = std::filesystem;

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    // Writes bytes to name in the test folder; its path as wide text.
    std::wstring write(const std::string& name, const std::string& bytes) {
        return m_files.write(name, bytes);
    }

    // The value of section/key, or "<default>" when the file does not have it.
    static std::wstring value(const std::wstring& file, const wchar_t* section,
                              const wchar_t* key) {
        wchar_t buffer[64];
        GetPrivateProfileStringW(section, key, L"<default>", buffer, 64, file.c_str());
        return buffer;
    }

    // A returned list as its entries.
    static std::vector<std::wstring> entries(const wchar_t* buffer, DWORD count) {
        std::vector<std::wstring> list;
        for (DWORD at = 0; at < count;) {
            list.emplace_back(buffer + at);
            at += static_cast<DWORD>(list.back().size()) + 1;
        }
        return list;
    }

    testsupport::TestFolder m_files;
};

// UTF-16 little-endian bytes of text, with a byte-order mark.
std::string utf16le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

TEST_F(PrivateProfileTest, LookUpIgnoresCaseAndTrimsBlanks) {
    const std::wstring file = write("a.ini",
                                    "; settings\n"
                                    "orphan=before any section\n"
                                    "  [ Tools_Paths ]  trailing\n"
                                    "  Tools_Root =  C:\\Data  \n"
                                    ";Tools_Hidden=1\n"
                                    "Quoted=\"  spaced  \"\n"
                                    "Single='x'\n"
                                    "Unbalanced=\"x'\n"
                                    "Bare\n");
    EXPECT_EQ(value(file, L"tools_paths", L"TOOLS_ROOT"), L"C:\\Data");
    EXPECT_EQ(value(file, L"Tools_Paths", L";Tools_Hidden"), L"<default>");
    EXPECT_EQ(value(file, L"Tools_Paths", L"Quoted"), L"  spaced  ");
    EXPECT_EQ(value(file, L"Tools_Paths", L"Single"), L"x");
    EXPECT_EQ(value(file, L"Tools_Paths", L"Unbalanced"), L"\"x'");
    EXPECT_EQ(value(file, L"Tools_Paths", L"Bare"), L"");
    EXPECT_EQ(value(file, L"Tools_Paths", L"orphan"), L"<default>");
    EXPECT_EQ(value(file, L"Other", L"Tools_Root"), L"<default>");
}

TEST_F(PrivateProfileTest, FirstOccurrenceOfSectionAndKeyCounts) {
    const std::wstring file = write("dup.ini", "[s]\nk=1\nK=2\n[S]\nk=3\nj=4\n");
    EXPECT_EQ(value(file, L"s", L"k"), L"1");
    EXPECT_EQ(value(file, L"s", L"j"), L"<default>");
    wchar_t buffer[32];
    const DWORD count = GetPrivateProfileSectionNamesW(buffer, 32, file.c_str());
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"s", L"S"}));
}

TEST_F(PrivateProfileTest, ReadsEveryEncodingAndLineEnd) {
    const std::string body = "[Caf\xC3\xA9]\r\nk\xC3\xBC=\xE2\x82\xAC \xF0\x9F\x98\x80\rx=1\n";
    const std::wstring expected = L"\u20AC \U0001F600";
    for (const std::string& bytes : {body, "\xEF\xBB\xBF" + body}) {
        const std::wstring file = write("utf8.ini", bytes);
        EXPECT_EQ(value(file, L"Caf\u00E9", L"k\u00FC"), expected);
        EXPECT_EQ(value(file, L"Caf\u00E9", L"x"), L"1");
    }
    const std::wstring le =
        write("le.ini", utf16le(u"[Caf\u00E9]\r\nk\u00FC=\u20AC \U0001F600\r\n"));
    EXPECT_EQ(value(le, L"Caf\u00E9", L"k\u00FC"), expected);
    std::string be = utf16le(u"[s]\nk=\u20AC\n");
    for (std::size_t i = 0; i + 1 < be.size(); i += 2) {
        std::swap(be[i], be[i + 1]);
    }
    EXPECT_EQ(value(write("be.ini", be), L"s", L"k"), L"\u20AC");
    EXPECT_EQ(value(write("lone.ini", utf16le(u"[s]\nk=\xD800x\n")), L"s", L"k"), L"\uFFFDx");
}

TEST_F(PrivateProfileTest, ValuesAreCutToTheBuffer) {
    const std::wstring file = write("long.ini", "[s]\nk=abcdef\n");
    wchar_t buffer[8] = {L'?', L'?', L'?', L'?', L'?', L'?', L'?', L'?'};
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"k", L"", buffer, 4, file.c_str()), 3u);
    EXPECT_STREQ(buffer, L"abc");
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"k", L"", buffer, 7, file.c_str()), 6u);
    EXPECT_STREQ(buffer, L"abcdef");
    buffer[0] = L'?';
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"k", L"", buffer, 0, file.c_str()), 0u);
    EXPECT_EQ(buffer[0], L'?') << "nSize 0 writes nothing";
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"none", L"dflt \t", buffer, 8, file.c_str()), 4u);
    EXPECT_STREQ(buffer, L"dflt");
    EXPECT_EQ(GetPrivateProfileStringW(L"s", L"none", nullptr, buffer, 8, file.c_str()), 0u);
    EXPECT_STREQ(buffer, L"");
}

TEST_F(PrivateProfileTest, ListsEndInTwoTerminatorsAndAreCutToFit) {
    const std::wstring file = write("list.ini", "[one]\n[two]\n[three]\n");
    wchar_t buffer[32];
    DWORD count = GetPrivateProfileSectionNamesW(buffer, 32, file.c_str());
    EXPECT_EQ(count, 14u);
    EXPECT_EQ(buffer[14], L'\0');
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"one", L"two", L"three"}));
    count = GetPrivateProfileSectionNamesW(buffer, 10, file.c_str());
    EXPECT_EQ(count, 8u);
    EXPECT_EQ(buffer[8], L'\0');
    EXPECT_EQ(buffer[9], L'\0');
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"one", L"two"}));
    // A name that does not fit is cut, and the list still ends in two terminators.
    count = GetPrivateProfileSectionNamesW(buffer, 7, file.c_str());
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"one", L"t"}));
    EXPECT_EQ(GetPrivateProfileSectionNamesW(buffer, 1, file.c_str()), 0u);
    EXPECT_EQ(buffer[0], L'\0');
    // Null section or key list names through the value function.
    count = GetPrivateProfileStringW(nullptr, nullptr, L"", buffer, 32, file.c_str());
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"one", L"two", L"three"}));
}

TEST_F(PrivateProfileTest, SectionLinesAndKeysWithoutComments) {
    const std::wstring file = write("sec.ini", "[s]\n x = 1 \n;note\ny=\"2\"\nflag\n\n[t]\nz=3\n");
    wchar_t buffer[64];
    DWORD count = GetPrivateProfileSectionW(L"S", buffer, 64, file.c_str());
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"x=1", L"y=\"2\"", L"flag"}));
    count = GetPrivateProfileStringW(L"s", nullptr, L"", buffer, 64, file.c_str());
    EXPECT_EQ(entries(buffer, count), (std::vector<std::wstring>{L"x", L"y", L"flag"}));
    buffer[0] = L'?';
    EXPECT_EQ(GetPrivateProfileSectionW(L"missing", buffer, 64, file.c_str()), 0u);
    EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(PrivateProfileTest, MissingFilesAndFoldersReadAsEmpty) {
    wchar_t buffer[16];
    const std::wstring missing = m_files.widePath("none.ini");
    const std::wstring folder = utf8ToWide(m_files.folder().string());
    for (const std::wstring& file : {missing, folder}) {
        EXPECT_EQ(value(file, L"s", L"k"), L"<default>");
        EXPECT_EQ(GetPrivateProfileSectionNamesW(buffer, 16, file.c_str()), 0u);
        EXPECT_EQ(buffer[0], L'\0');
    }
    EXPECT_EQ(GetPrivateProfileSectionNamesW(buffer, 16, nullptr), 0u);
    EXPECT_EQ(value(write("empty.ini", ""), L"s", L"k"), L"<default>");
}

}  // namespace
