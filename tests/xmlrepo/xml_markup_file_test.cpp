// File input and output of the markup engine: UTF-8 round trips with text outside ASCII, the
// result messages, and failures that leave the document as it was.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

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

}  // namespace
