// File input and output of the markup engine: UTF-8 round trips with text outside ASCII, the
// result messages, failures that leave the document as it was, and saves that replace a file
// whole or, failing, leave it untouched.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/xmlrepo/xml_test_support.h"

namespace {

class XmlMarkupFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder = std::filesystem::path(KESTREL_BINARY_DIR) / "xml_markup_file_test" /
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::wstring path(const char* name) const { return (m_folder / name).wstring(); }

    std::string bytesOf(const char* name) const {
        std::ifstream in(m_folder / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    void write(const char* name, const std::string& bytes) const {
        std::ofstream(m_folder / name, std::ios::binary) << bytes;
    }

    // Names in the test's folder, to see that no temporary file is left behind.
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : std::filesystem::directory_iterator(m_folder)) {
            all.push_back(entry.path().filename().string());
        }
        std::sort(all.begin(), all.end());
        return all;
    }

    std::filesystem::path m_folder;
};

TEST_F(XmlMarkupFile, RoundTripWithNonAsciiText) {
    const std::wstring text = L"<r n='caf\u00e9'>\u4e2d\u6587 \U0001F600 &amp; \u0416</r>";
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(text.c_str()));
    ASSERT_TRUE(doc.SaveFile(path("a.xml").c_str()));
    const std::string bytes = bytesOf("a.xml");
    EXPECT_EQ(bytes, wideToUtf8(text));
    EXPECT_EQ(doc.GetParseError().str(), std::to_wstring(text.size()) + L" wide chars to " +
                                             std::to_wstring(bytes.size()) + L" bytes");

    CXMLMarkupDoc loaded;
    ASSERT_TRUE(loaded.LoadFile(path("a.xml").c_str()));
    EXPECT_EQ(loaded.GetDocument().str(), text);
    EXPECT_EQ(loaded.GetParseError().str(), std::to_wstring(bytes.size()) + L" bytes to " +
                                                std::to_wstring(text.size()) + L" wide chars");
    ASSERT_TRUE(loaded.FindElement(L"r"));
    EXPECT_EQ(loaded.GetAttribute(L"n"), L"caf\u00e9");
    EXPECT_EQ(loaded.GetElementText(), L"\u4e2d\u6587 \U0001F600 & \u0416");
}

TEST_F(XmlMarkupFile, NonAsciiNamesAndEditsSurviveTheRoundTrip) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.AddElement(L"\u00e9l\u00e9ment"));
    ASSERT_TRUE(doc.SetAttribute(L"\u540d", L"\u5024"));
    ASSERT_TRUE(doc.AddChildElement(L"x", L"\u00fc"));
    ASSERT_TRUE(doc.SaveFile(path("b.xml").c_str()));
    CXMLMarkupDoc loaded;
    ASSERT_TRUE(loaded.LoadFile(path("b.xml").c_str()));
    EXPECT_EQ(xmltest::dump(loaded), xmltest::dump(doc));
}

TEST_F(XmlMarkupFile, ParseProblemsFollowTheLoadMessage) {
    write("bad.xml", "<a><b>");
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.LoadFile(path("bad.xml").c_str()));
    EXPECT_EQ(doc.GetParseError(), L"6 bytes to 6 wide chars, Element 'b' at offset 3 not ended");
    write("empty.xml", "");
    EXPECT_FALSE(doc.LoadFile(path("empty.xml").c_str()));
    EXPECT_EQ(doc.GetParseError(), L"0 bytes to 0 wide chars, Empty document");
    // Bytes that are not UTF-8 become U+FFFD; the document still loads.
    write("latin1.xml", "<a>caf\xe9</a>");
    EXPECT_TRUE(doc.LoadFile(path("latin1.xml").c_str()));
    doc.FindElement();
    EXPECT_EQ(doc.GetElementContent(), L"caf\ufffd");
}

TEST_F(XmlMarkupFile, FailuresKeepTheDocument) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<kept/>"));
    EXPECT_FALSE(doc.LoadFile(path("missing.xml").c_str()));
    EXPECT_EQ(doc.GetParseError(), CString(std::strerror(ENOENT)));
    EXPECT_EQ(doc.GetDocument(), L"<kept/>");
    EXPECT_FALSE(doc.LoadFile(m_folder.wstring().c_str()));
    EXPECT_EQ(doc.GetParseError(), CString(std::strerror(EISDIR)));
    EXPECT_FALSE(doc.SaveFile(path("no/such/folder.xml").c_str()));
    EXPECT_EQ(doc.GetParseError(), CString(std::strerror(ENOENT)));
    EXPECT_FALSE(doc.LoadFile(nullptr));
    EXPECT_FALSE(doc.SaveFile(nullptr));
    EXPECT_EQ(doc.GetDocument(), L"<kept/>");
    EXPECT_TRUE(doc.FindElement(L"kept"));
}

TEST_F(XmlMarkupFile, SaveReplacesTheFileWholeAndKeepsItsPermissions) {
    write("a.xml", std::string(100, 'x'));
    std::filesystem::permissions(m_folder / "a.xml", std::filesystem::perms(0640));
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<new/>"));
    ASSERT_TRUE(doc.SaveFile(path("a.xml").c_str()));
    EXPECT_EQ(bytesOf("a.xml"), "<new/>");
    EXPECT_EQ(std::filesystem::status(m_folder / "a.xml").permissions(),
              std::filesystem::perms(0640));
    // A privileged process keeps the owner and group of the file it replaces.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown((m_folder / "a.xml").c_str(), 4321, 4322), 0);
        ASSERT_TRUE(doc.SaveFile(path("a.xml").c_str()));
        struct stat status {};
        ASSERT_EQ(::stat((m_folder / "a.xml").c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 4321u);
        EXPECT_EQ(status.st_gid, 4322u);
    }
    // A symbolic link stays one; the file it names gets the text.
    std::filesystem::create_symlink("a.xml", m_folder / "link.xml");
    ASSERT_TRUE(doc.SetDocument(L"<linked/>"));
    ASSERT_TRUE(doc.SaveFile(path("link.xml").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(m_folder / "link.xml"));
    EXPECT_EQ(bytesOf("a.xml"), "<linked/>");
    EXPECT_EQ(names(), (std::vector<std::string>{"a.xml", "link.xml"}));
}

TEST_F(XmlMarkupFile, FailedSaveKeepsTheOldFile) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<replacement>a text longer than the limit below</replacement>"));
    // A folder as the target is refused and kept with what it holds.
    std::filesystem::create_directory(m_folder / "folder.xml");
    write("folder.xml/inside", "kept");
    EXPECT_FALSE(doc.SaveFile(path("folder.xml").c_str()));
    EXPECT_EQ(doc.GetParseError(), CString(std::strerror(EISDIR)));
    EXPECT_EQ(bytesOf("folder.xml/inside"), "kept");
    // A folder that is a file.
    write("old.xml", "<old/>");
    EXPECT_FALSE(doc.SaveFile(path("old.xml/new.xml").c_str()));
    EXPECT_EQ(doc.GetParseError(), CString(std::strerror(ENOTDIR)));
    // A write that fails half-way: the file size limit stops it after a few bytes.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit small{8, limit.rlim_max};
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = doc.SaveFile(path("old.xml").c_str());
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(doc.GetParseError(), CString(std::strerror(EFBIG)));
    EXPECT_EQ(bytesOf("old.xml"), "<old/>");
    EXPECT_EQ(names(), (std::vector<std::string>{"folder.xml", "old.xml"}));
    // The document is untouched and saves once the way is clear.
    EXPECT_TRUE(doc.FindElement(L"replacement"));
    ASSERT_TRUE(doc.SaveFile(path("old.xml").c_str()));
    EXPECT_EQ(bytesOf("old.xml"), wideToUtf8(doc.GetDocument().str()));
}

}  // namespace
