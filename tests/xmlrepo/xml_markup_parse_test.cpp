// Parsing of the markup engine: well-formedness, the exact message and offset of every kind of
// problem, and the shape of the index that a damaged document still gets.
#include <gtest/gtest.h>

#include <string>

#include "kestrel/xmlrepo/xml_markup_doc.h"

namespace {

struct ErrorCase {
    const wchar_t* document;
    const wchar_t* message;
};

// Parses `document` and returns the error text, expecting the parse to fail.
std::wstring parseError(const wchar_t* document, int flags = 0) {
    CXMLMarkupDoc doc;
    doc.SetDocFlags(flags);
    EXPECT_FALSE(doc.SetDocument(document)) << std::wstring(document);
    return doc.GetParseError().str();
}

TEST(XmlMarkupParse, NewObjectIsAnEmptyDocument) {
    CXMLMarkupDoc doc;
    EXPECT_EQ(doc.GetParseError(), L"Empty document");
    EXPECT_TRUE(doc.GetDocument().IsEmpty());
    EXPECT_FALSE(doc.FindElement());
    EXPECT_GE(doc.GetIndexSize(), 8);
}

TEST(XmlMarkupParse, WellFormedDocumentsHaveNoError) {
    for (const wchar_t* text :
         {L"<a/>", L"<a></a>", L"<?xml version=\"1.0\"?>\r\n<r a='1' b=\"2\"><x/>text</r>\r\n",
          L"<!-- c --><r><![CDATA[<not/>]]><?pi x?><!-- in --></r><!-- after -->",
          L"<!DOCTYPE r [<!ELEMENT r ANY>]><r/>", L"<!DOCTYPE r [<!ENTITY e \"a>b\">]><r/>",
          L"<r><a b='>'/></r>", L"<r>a > b</r>", L"<r><x:y/><_z/><\u00e9/></r>"}) {
        CXMLMarkupDoc doc;
        EXPECT_TRUE(doc.SetDocument(text))
            << std::wstring(text) << L": " << doc.GetParseError().str();
        EXPECT_TRUE(doc.GetParseError().IsEmpty());
    }
}

// Every kind of problem, with its message and offset; the first problem wins.
TEST(XmlMarkupParse, ProblemMessages) {
    const ErrorCase cases[] = {
        {L"", L"Empty document"},
        {nullptr, L"Empty document"},
        {L"hello", L"No root element"},
        {L"<!-- only -->", L"No root element"},
        {L"<a/><b/>", L"Root element has sibling"},
        // The root-level message replaces what the element parser found, unless the root element
        // itself had no end tag.
        {L"<a/><b>", L"Root element has sibling"},
        {L"<a><b/>", L"Element 'a' at offset 0 not ended"},
        {L"<a><b></a>", L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
        {L"<a><b>", L"Element 'b' at offset 3 not ended"},
        {L"<a></b></a>", L"No start tag for end tag 'b' at offset 3"},
        {L"<a></>", L"No start tag for end tag '' at offset 3"},
        {L"<a><b><c></a>", L"End tag 'a' at offset 10 does not match start tag 'c' at offset 6"},
        {L"<A></a>", L"No start tag for end tag 'a' at offset 3"},
        // With an unquoted value, the "/" is part of the value: the element stays open.
        {L"<r><a b=1/></r>", L"End tag 'r' at offset 12 does not match start tag 'a' at offset 3"},
        {L"<r><i disabled/></r>",
         L"End tag 'r' at offset 17 does not match start tag 'i' at offset 3"},
        {L"<a><1/></a>", L"Incorrect tag name character at offset 3"},
        {L"<a>< b/></a>", L"Incorrect tag name character at offset 3"},
        {L"<a><></a>", L"Incorrect tag name character at offset 3"},
        {L"<a><!-x--></a>", L"Incorrect comment tag at offset 3"},
        {L"<a><![X[y]]></a>", L"Incorrect tag at offset 3"},
        {L"<a><!x></a>", L"Incorrect ! tag at offset 3"},
        {L"<a><!-- x", L"Comment at offset 3 unterminated"},
        {L"<a><b c='>'", L"Element tag at offset 3 unterminated"},
        {L"<a></a", L"Element end tag at offset 3 unterminated"},
        {L"<a><![CDATA[x]]", L"CDATA Section at offset 3 unterminated"},
        {L"<a><?pi x", L"Processing instruction at offset 3 unterminated"},
        {L"<r><!DOCTYPE r [<!ENTITY e 'x>'", L"Doctype at offset 3 unterminated"},
        {L"<a><", L"tag at offset 3 unterminated"},
        {L"<a><!", L"tag at offset 3 unterminated"},
        {L"<a><!-", L"tag at offset 3 unterminated"},
        {L"<a><![", L"tag at offset 3 unterminated"},
        {L"<a><!ELEMENT x", L"tag at offset 3 unterminated"},
        // A comment's "-->" cannot use the hyphens of "<!--".
        {L"<a><!--></a>", L"Comment at offset 3 unterminated"},
        {L"<a><1/></b><c>", L"Incorrect tag name character at offset 3"},
        {L"<a></b><1/>", L"No start tag for end tag 'b' at offset 3"},
    };
    for (const ErrorCase& c : cases) {
        EXPECT_EQ(parseError(c.document), c.message);
    }
}

TEST(XmlMarkupParse, RecordLimitsAreRejectedWithAMessage) {
    auto withEndTag = [](std::size_t nameLength) {
        const std::wstring name(nameLength, L'n');
        return L"<r><" + name + L"></" + name + L"></r>";
    };
    const std::size_t longest = CXMLMarkupDoc::kMaxEndTagLength - 3;
    CXMLMarkupDoc doc;
    EXPECT_TRUE(doc.SetDocument(withEndTag(longest).c_str()));
    EXPECT_EQ(parseError(withEndTag(longest + 1).c_str()),
              L"Element end tag at offset " + std::to_wstring(5 + longest + 1) + L" too long");

    auto withStartTag = [](std::size_t valueLength) {
        return L"<x><r a='" + std::wstring(valueLength, L'v') + L"'/></x>";
    };
    const std::size_t widest = CXMLMarkupDoc::kMaxStartTagLength - 9;
    EXPECT_TRUE(doc.SetDocument(withStartTag(widest).c_str()));
    EXPECT_EQ(parseError(withStartTag(widest + 1).c_str()), L"Element tag at offset 3 too long");

    std::wstring deep;
    for (int i = 0; i <= CXMLMarkupDoc::kMaxLevel + 1; ++i) {
        deep += L"<d>";
    }
    EXPECT_EQ(parseError(deep.c_str()), L"Element 'd' at offset " +
                                            std::to_wstring(3 * (CXMLMarkupDoc::kMaxLevel + 1)) +
                                            L" nested too deep");
}

TEST(XmlMarkupParse, IgnoreCaseFlagMatchesEndTags) {
    EXPECT_EQ(parseError(L"<A></a>"), L"No start tag for end tag 'a' at offset 3");
    CXMLMarkupDoc doc;
    doc.SetDocFlags(CXMLMarkupDoc::kIgnoreCase);
    EXPECT_TRUE(doc.SetDocument(L"<A><B></b></a>"));
    EXPECT_TRUE(doc.FindElement(L"a"));
    EXPECT_TRUE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement(L"b"));
    EXPECT_EQ(doc.GetTagName(), L"B");
}

TEST(XmlMarkupParse, UnendedElementBecomesEmptyWithChildrenAfterIt) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<a><b><c/>t<d></d></a>"));
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetElementFlags() & CXMLMarkupDoc::kElementNotEnded, 0);
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"b");
    EXPECT_NE(doc.GetElementFlags() & CXMLMarkupDoc::kElementNotEnded, 0);
    EXPECT_NE(doc.GetElementFlags() & CXMLMarkupDoc::kElementFirstChild, 0);
    EXPECT_TRUE(doc.GetElementContent().IsEmpty());
    EXPECT_EQ(doc.GetNodeText(), L"<b>");
    EXPECT_FALSE(doc.FindChildElement());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetElementPath(), L"/a/c");
    EXPECT_EQ(doc.GetElementFlags() & CXMLMarkupDoc::kElementFirstChild, 0);
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetElementPath(), L"/a/d");
    EXPECT_FALSE(doc.FindElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"a");
}

TEST(XmlMarkupParse, UnendedElementsAtTheEndAreAllFlattened) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<a><b><c><e/>"));
    EXPECT_EQ(doc.GetParseError().str(), L"Element 'c' at offset 6 not ended");
    std::wstring seen;
    while (doc.FindElement()) {
        seen += doc.GetElementPath().str() + L" ";
        EXPECT_FALSE(doc.FindChildElement());
    }
    EXPECT_EQ(seen, L"/a /b /c /e ");
}

TEST(XmlMarkupParse, StrayEndTagIsIgnoredAndMarksIllData) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<r><a>x</q>y</a></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    EXPECT_EQ(doc.GetElementFlags() & CXMLMarkupDoc::kElementIllData, 0);
    ASSERT_TRUE(doc.FindChildElement(L"a"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_NE(doc.GetElementFlags() & CXMLMarkupDoc::kElementIllData, 0);
    EXPECT_EQ(doc.GetElementContent(), L"x</q>y");
}

TEST(XmlMarkupParse, IllDataMovesUpWithAnUnendedElement) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<r><a><1></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    EXPECT_NE(doc.GetElementFlags() & CXMLMarkupDoc::kElementIllData, 0);
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"a"));
    EXPECT_EQ(doc.GetElementFlags() & CXMLMarkupDoc::kElementIllData, 0);
}

TEST(XmlMarkupParse, SetDocumentByMoveTakesTheText) {
    CXMLMarkupDoc doc;
    CString text(L"<r><e refId='k1'/></r>");
    const wchar_t* buffer = text.GetString();
    EXPECT_TRUE(doc.SetDocument(std::move(text)));
    EXPECT_EQ(doc.GetDocument().GetString(), buffer);
    EXPECT_TRUE(doc.FindElement(L"r"));
}

TEST(XmlMarkupParse, TakeDocumentHandsTheTextBackAndLeavesAnEmptyDocument) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><e refId='k1'/></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.SavePosition(L"r"));
    ASSERT_TRUE(doc.AddChildElement(L"f", L"x"));
    const wchar_t* buffer = doc.GetDocument().GetString();
    CString text = doc.TakeDocument();
    EXPECT_EQ(text.GetString(), buffer);
    EXPECT_EQ(text, L"<r><e refId='k1'/><f>x</f>\r\n</r>");
    EXPECT_TRUE(doc.GetDocument().IsEmpty());
    EXPECT_EQ(doc.GetParseError(), L"Empty document");
    EXPECT_FALSE(doc.FindElement());
    EXPECT_FALSE(doc.RestorePosition(L"r"));
    EXPECT_TRUE(doc.SetDocument(std::move(text)));
    ASSERT_TRUE(doc.FindElement(L"r"));
    EXPECT_TRUE(doc.FindChildElement(L"f"));
}

TEST(XmlMarkupParse, ReparseDropsPositionsAndSavedPositions) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><a/></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.SavePosition(L"here"));
    EXPECT_TRUE(doc.SetDocument(L"<s/>"));
    EXPECT_FALSE(doc.RestorePosition(L"here"));
    EXPECT_EQ(doc.GetNodeType(), CXMLMarkupDoc::kNodeNone);
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_TRUE(doc.FindElement(L"s"));
}

}  // namespace
