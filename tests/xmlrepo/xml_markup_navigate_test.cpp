// Navigation of the markup engine: elements by name, children, nodes of every type, paths,
// attribute names, element text and saved positions, on sound and on damaged documents.
#include <gtest/gtest.h>

#include "tests/xmlrepo/xml_test_support.h"

namespace {

TEST(XmlMarkupNavigate, RepositoryReadingPattern) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><e refId='k1'>&lt;x/&gt;<y z='1'/></e></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"e"));
    EXPECT_EQ(doc.GetAttribute(L"refId"), L"k1");
    EXPECT_EQ(doc.GetElementContent(), L"&lt;x/&gt;<y z='1'/>");
    EXPECT_FALSE(doc.FindElement(L"e"));
    EXPECT_EQ(doc.GetTagName(), L"e");  // a failed search changes nothing
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"r");
    EXPECT_FALSE(doc.LeaveElement());
}

TEST(XmlMarkupNavigate, NameMatchingRules) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><refs/><re/><a x='1'/></r>"));
    // The path of the child of r that `name` finds, or "" when none.
    auto find = [&doc](const wchar_t* name) {
        doc.ResetPosition();
        doc.FindElement(L"r");
        doc.EnterElement();
        return doc.FindElement(name) ? doc.GetElementPath().str() : std::wstring();
    };
    EXPECT_EQ(find(L"re"), L"/r/re");
    EXPECT_EQ(find(L"a b"), L"/r/a");
    EXPECT_EQ(find(L"a[2]"), L"/r/a");
    EXPECT_EQ(find(L"a=1"), L"/r/a");
    EXPECT_EQ(find(L"a/"), L"/r/a");
    EXPECT_EQ(find(L"R"), L"");
    EXPECT_EQ(find(L"ab"), L"");
    EXPECT_EQ(find(L"a-b"), L"");
    EXPECT_EQ(find(L"refsx"), L"");
}

TEST(XmlMarkupNavigate, IgnoreCaseAppliesToSearchesAndAttributes) {
    CXMLMarkupDoc doc;
    doc.SetDocFlags(CXMLMarkupDoc::kIgnoreCase);
    ASSERT_TRUE(doc.SetDocument(L"<Root ID='7'/>"));
    ASSERT_TRUE(doc.FindElement(L"rOOT"));
    EXPECT_EQ(doc.GetAttribute(L"id"), L"7");
}

TEST(XmlMarkupNavigate, EmptyNameFindsAnyElementInOrder) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r>t<a/><!--c--><b>x</b>u<c/></r>"));
    ASSERT_TRUE(doc.FindElement(nullptr));
    ASSERT_TRUE(doc.EnterElement());
    std::wstring names;
    while (doc.FindElement(L"")) {
        names += doc.GetTagName().str();
    }
    EXPECT_EQ(names, L"abc");
}

TEST(XmlMarkupNavigate, ChildElementsAndEnteringASelectedChild) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><a><x/><y/><x/></a><b/></r>"));
    // With nothing current, the first element of the level is selected first.
    ASSERT_TRUE(doc.FindChildElement(L"a"));
    EXPECT_EQ(doc.GetTagName(), L"r");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), L"a");
    ASSERT_TRUE(doc.FindChildElement(L"x"));
    ASSERT_TRUE(doc.FindChildElement(L"x"));
    EXPECT_FALSE(doc.FindChildElement(L"x"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetElementPath(), L"/r/a/x[2]");
    ASSERT_TRUE(doc.LeaveElement());
    ASSERT_TRUE(doc.LeaveElement());
    EXPECT_EQ(doc.GetTagName(), L"r");
    // The child position came back from the level left: a is the selected child of r.
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), L"a");
    EXPECT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"b");
}

TEST(XmlMarkupNavigate, EnteringWithoutChildSelectedLeavesNothingCurrent) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><a/></r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetNodeType(), CXMLMarkupDoc::kNodeNone);
    EXPECT_FALSE(doc.EnterElement());
    EXPECT_TRUE(doc.GetTagName().IsEmpty());
    EXPECT_TRUE(doc.GetAttribute(L"x").IsEmpty());
    EXPECT_TRUE(doc.GetElementContent().IsEmpty());
    EXPECT_TRUE(doc.GetElementPath().IsEmpty());
    EXPECT_TRUE(doc.GetNodeName().IsEmpty());
    EXPECT_TRUE(doc.GetNodeText().IsEmpty());
    EXPECT_EQ(doc.GetElementFlags(), 0);
}

TEST(XmlMarkupNavigate, NodesOfTheDocumentLevel) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(
        L"<?xml version=\"1.0\" encoding='UTF-8'?>\n<!DOCTYPE r [<!ELEMENT r ANY>]><!--c--><r/> "));
    const struct {
        int type;
        const wchar_t* name;
        const wchar_t* text;
    } expected[] = {
        {CXMLMarkupDoc::kNodeProcessing, L"xml", L"<?xml version=\"1.0\" encoding='UTF-8'?>"},
        {CXMLMarkupDoc::kNodeWhitespace, L"#text", L"\n"},
        {CXMLMarkupDoc::kNodeDocType, L"DOCTYPE", L"<!DOCTYPE r [<!ELEMENT r ANY>]>"},
        {CXMLMarkupDoc::kNodeComment, L"#comment", L"<!--c-->"},
        {CXMLMarkupDoc::kNodeElement, L"r", L"<r/>"},
        {CXMLMarkupDoc::kNodeWhitespace, L"#text", L" "},
    };
    for (const auto& node : expected) {
        ASSERT_TRUE(doc.FindNode());
        EXPECT_EQ(doc.GetNodeType(), node.type);
        EXPECT_EQ(doc.GetNodeName(), node.name);
        EXPECT_EQ(doc.GetNodeText(), node.text);
        if (node.type == CXMLMarkupDoc::kNodeProcessing) {
            EXPECT_EQ(doc.GetAttribute(L"encoding"), L"UTF-8");
            EXPECT_FALSE(doc.EnterElement());
        }
    }
    EXPECT_FALSE(doc.FindNode());
    EXPECT_EQ(doc.GetNodeText(), L" ");
}

TEST(XmlMarkupNavigate, NodesInsideAnElementAndTypeMasks) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<r>a&amp;b<![CDATA[<x>]]><e>in</e></q><?p?>c>d<!--z--><1></r>"));
    ASSERT_TRUE(doc.FindElement(L"r"));
    ASSERT_TRUE(doc.EnterElement());
    std::wstring seen;
    while (doc.FindNode()) {
        seen += std::to_wstring(doc.GetNodeType()) + L":" + doc.GetNodeText().str() + L" ";
    }
    EXPECT_EQ(seen,
              L"2:a&amp;b 8:<![CDATA[<x>]]> 1:<e>in</e> 128:</q> 16:<?p?> 2:c> 2:d "
              L"32:<!--z--> 32768:<1> ");

    doc.ResetPosition();
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeLoneEndTag | CXMLMarkupDoc::kNodeError));
    EXPECT_EQ(doc.GetNodeName(), L"q");
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeLoneEndTag | CXMLMarkupDoc::kNodeError));
    EXPECT_EQ(doc.GetNodeName(), L"Incorrect tag name character at offset 54");
    EXPECT_FALSE(doc.FindNode(CXMLMarkupDoc::kNodeComment));
    // Element navigation goes on from the element before the current node.
    doc.ResetPosition();
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeCData));
    EXPECT_EQ(doc.GetNodeName(), L"#cdata-section");
    EXPECT_TRUE(doc.GetTagName().IsEmpty());
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"e");
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeComment));
    EXPECT_FALSE(doc.FindElement());
}

TEST(XmlMarkupNavigate, NodeNavigationOverAnUnendedElement) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<r><a>x<b/>y</r>"));
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    std::wstring seen;
    while (doc.FindNode()) {
        seen += doc.GetNodeName().str() + L"=" + doc.GetNodeText().str() + L" ";
    }
    EXPECT_EQ(seen, L"a=<a> #text=x b=<b/> #text=y ");
}

TEST(XmlMarkupNavigate, ElementPathsCountSameNamedSiblings) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><e/><f/><e><g/><g/></e><e/></r>"));
    std::vector<std::wstring> paths;
    doc.FindElement();
    paths.push_back(doc.GetElementPath().str());
    doc.EnterElement();
    while (doc.FindElement()) {
        paths.push_back(doc.GetElementPath().str());
        if (doc.FindChildElement(L"g") && doc.FindChildElement(L"g")) {
            doc.EnterElement();
            paths.push_back(doc.GetElementPath().str());
            doc.LeaveElement();
        }
    }
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"/r", L"/r/e", L"/r/f", L"/r/e[2]",
                                                L"/r/e[2]/g[2]", L"/r/e[3]"}));
}

TEST(XmlMarkupNavigate, AttributeNamesInOrder) {
    CXMLMarkupDoc doc;
    // "d=/" takes the "/" as its value, so the tag stays open and r is not ended.
    EXPECT_FALSE(doc.SetDocument(L"<r a='1' b = \"2\" flag c=3 'stray' d=/>"));
    doc.FindElement();
    std::wstring names;
    for (int i = 0; !doc.GetAttributeName(i).IsEmpty(); ++i) {
        names += doc.GetAttributeName(i).str() + L",";
    }
    EXPECT_EQ(names, L"a,b,flag,c,d,");
    EXPECT_TRUE(doc.GetAttributeName(-1).IsEmpty());
    EXPECT_EQ(doc.GetAttribute(L"b"), L"2");
    EXPECT_EQ(doc.GetAttribute(L"c"), L"3");
    EXPECT_EQ(doc.GetAttribute(L"d"), L"/");
}

TEST(XmlMarkupNavigate, ElementTextDecodesTextAndCData) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r>a &lt; b<x>skip</x><![CDATA[ & ]]><!--no-->c</r>"));
    doc.FindElement();
    EXPECT_EQ(doc.GetElementText(), L"a < b & c");
}

TEST(XmlMarkupNavigate, SavedPositions) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><a><x/></a><b/></r>"));
    EXPECT_FALSE(doc.SavePosition(nullptr));
    EXPECT_FALSE(doc.SavePosition(L""));
    EXPECT_FALSE(doc.RestorePosition(L"none"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement(L"a");
    doc.FindChildElement(L"x");
    ASSERT_TRUE(doc.SavePosition(L"ab"));
    doc.FindElement(L"b");
    // "ba" has the same code-unit sum, so it shares the bucket of "ab".
    ASSERT_TRUE(doc.SavePosition(L"ba"));
    doc.ResetPosition();
    ASSERT_TRUE(doc.RestorePosition(L"ab"));
    EXPECT_EQ(doc.GetElementPath(), L"/r/a");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), L"x");
    ASSERT_TRUE(doc.RestorePosition(L"ba"));
    EXPECT_EQ(doc.GetTagName(), L"b");
    // Saving again under a name replaces the position.
    doc.ResetPosition();
    ASSERT_TRUE(doc.SavePosition(L"ab"));
    ASSERT_TRUE(doc.RestorePosition(L"ab"));
    EXPECT_EQ(doc.GetNodeType(), CXMLMarkupDoc::kNodeNone);
    EXPECT_TRUE(doc.FindElement(L"r"));
}

TEST(XmlMarkupNavigate, RootSiblingsStayReachable) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<a/><b/>"));
    EXPECT_TRUE(doc.FindElement(L"a"));
    EXPECT_TRUE(doc.FindElement(L"b"));
    doc.ResetPosition();
    EXPECT_TRUE(doc.FindElement(L"b"));
}

TEST(XmlMarkupNavigate, DamagedDocumentExample) {
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<a><b></a>"));
    ASSERT_TRUE(doc.FindElement(L"a"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(L"b"));
    EXPECT_NE(doc.GetElementFlags() & CXMLMarkupDoc::kElementNotEnded, 0);
    EXPECT_TRUE(doc.GetElementContent().IsEmpty());
    EXPECT_FALSE(doc.FindElement());
}

}  // namespace
