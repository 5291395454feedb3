// Editing with the markup engine: the text each operation writes, the position it leaves, the
// refusals, and an index that always matches a fresh parse of the edited text.
#include <gtest/gtest.h>

#include <random>

#include "tests/xmlrepo/xml_test_support.h"

namespace {

using xmltest::dump;
using xmltest::dumpReparsed;

// Fails the test when the edited index differs from a fresh parse of the same text.
void expectConsistent(CXMLMarkupDoc& doc) {
    EXPECT_EQ(dump(doc), dumpReparsed(doc)) << wideToUtf8(doc.GetDocument().str());
}

TEST(XmlMarkupEdit, BuildsADocumentFromNothing) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.AddElement(L"r"));
    EXPECT_EQ(doc.GetDocument(), L"<r/>\r\n");
    ASSERT_TRUE(doc.AddChildElement(L"a", L"1 < 2"));
    ASSERT_TRUE(doc.AddChildElement(L"b"));
    EXPECT_EQ(doc.GetDocument(), L"<r>\r\n<a>1 &lt; 2</a>\r\n<b/>\r\n</r>\r\n");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), L"b");
    ASSERT_TRUE(doc.AddElement(L"c"));
    EXPECT_EQ(doc.GetDocument(), L"<r>\r\n<a>1 &lt; 2</a>\r\n<b/>\r\n<c/>\r\n</r>\r\n");
    EXPECT_EQ(doc.GetElementPath(), L"/r/c");
    expectConsistent(doc);
    CXMLMarkupDoc fresh;
    EXPECT_TRUE(fresh.SetDocument(doc.GetDocument()));
}

TEST(XmlMarkupEdit, WritingOptions) {
    const struct {
        const wchar_t* text;
        int options;
        const wchar_t* written;
        const wchar_t* read;
    } cases[] = {
        {nullptr, CXMLMarkupDoc::kWriteNoLines, L"<r><e/></r>", L""},
        {nullptr, CXMLMarkupDoc::kWriteNoLines | CXMLMarkupDoc::kWriteXhtmlSpace, L"<r><e /></r>",
         L""},
        {nullptr, CXMLMarkupDoc::kWriteNoLines | CXMLMarkupDoc::kWriteNoEnd, L"<r><e></r>", L""},
        {L"", CXMLMarkupDoc::kWriteNoLines, L"<r><e/></r>", L""},
        {L"a]]>b", CXMLMarkupDoc::kWriteNoLines | CXMLMarkupDoc::kWriteCData,
         L"<r><e><![CDATA[a]]]]><![CDATA[>b]]></e></r>", L"a]]>b"},
        {L"'&amp;\"",
         CXMLMarkupDoc::kWriteNoLines | CXMLMarkupDoc::kWriteQuotes |
             CXMLMarkupDoc::kWriteReferences,
         L"<r><e>&apos;&amp;&quot;</e></r>", L"'&\""},
        {L"x", 0, L"<r><e>x</e>\r\n</r>", L"x"},
    };
    for (const auto& c : cases) {
        CXMLMarkupDoc doc;
        ASSERT_TRUE(doc.SetDocument(L"<r></r>"));
        doc.FindElement();
        ASSERT_TRUE(doc.AddChildElement(L"e", c.text, c.options));
        EXPECT_EQ(doc.GetDocument(), c.written);
        ASSERT_TRUE(doc.EnterElement());
        const bool noEnd = (c.options & CXMLMarkupDoc::kWriteNoEnd) != 0;
        EXPECT_EQ((doc.GetElementFlags() & CXMLMarkupDoc::kElementNotEnded) != 0, noEnd);
        if (!noEnd) {
            EXPECT_EQ(doc.GetElementText(), c.read);
            expectConsistent(doc);
        }
    }
}

TEST(XmlMarkupEdit, AddingAChildOpensAnEmptyOrUnendedElement) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><e a='1' /></r>"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement();
    ASSERT_TRUE(doc.AddChildElement(L"c"));
    EXPECT_EQ(doc.GetDocument(), L"<r><e a='1' >\r\n<c/>\r\n</e></r>");
    expectConsistent(doc);

    EXPECT_FALSE(doc.SetDocument(L"<r><e></r>"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement();
    ASSERT_TRUE(doc.AddChildElement(L"c", nullptr, CXMLMarkupDoc::kWriteNoLines));
    EXPECT_EQ(doc.GetDocument(), L"<r><e><c/></e></r>");
    EXPECT_EQ(doc.GetElementFlags() & CXMLMarkupDoc::kElementNotEnded, 0);
    expectConsistent(doc);
}

TEST(XmlMarkupEdit, SiblingsGoAfterTheCurrentNodeOrAtTheEnd) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r>\r\n<a/>\r\n<!--c-->\r\n<b/>\r\n</r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.AddElement(L"z"));  // nothing current: at the end
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeComment) == false);
    doc.ResetPosition();
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement(L"a");
    ASSERT_TRUE(doc.AddElement(L"x"));
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeComment));
    ASSERT_TRUE(doc.AddElement(L"y"));
    EXPECT_EQ(doc.GetDocument(),
              L"<r>\r\n<a/>\r\n<x/>\r\n<!--c-->\r\n<y/>\r\n<b/>\r\n<z/>\r\n</r>");
    std::wstring order;
    doc.ResetPosition();
    doc.FindElement();
    doc.EnterElement();
    while (doc.FindElement()) {
        order += doc.GetTagName().str();
    }
    EXPECT_EQ(order, L"axybz");
    expectConsistent(doc);
}

TEST(XmlMarkupEdit, RefusalsChangeNothingAndSayWhy) {
    CXMLMarkupDoc doc;
    doc.SetDocument(L"<r><a b/></r>");
    const CString before = doc.GetDocument();
    EXPECT_FALSE(doc.AddElement(L"second"));
    EXPECT_EQ(doc.GetParseError(), L"The document already has a root element");
    EXPECT_FALSE(doc.AddChildElement(L"x"));
    EXPECT_EQ(doc.GetParseError(), L"No current element");
    EXPECT_FALSE(doc.SetAttribute(L"x", L"1"));
    EXPECT_FALSE(doc.SetElementText(L"x"));
    EXPECT_FALSE(doc.RemoveElement());
    EXPECT_FALSE(doc.RemoveNode());
    EXPECT_EQ(doc.GetParseError(), L"No current node");
    doc.FindElement();
    for (const wchar_t* name : {L"", L"1a", L"a b", L"a/b", L"a>", L"a=b", L"a&b", L"-a", L"a'"}) {
        EXPECT_FALSE(doc.AddChildElement(name));
        EXPECT_EQ(doc.GetParseError(), L"Incorrect element name");
        EXPECT_FALSE(doc.SetAttribute(name, L"v"));
        EXPECT_EQ(doc.GetParseError(), L"Incorrect attribute name");
    }
    EXPECT_FALSE(doc.AddChildElement(nullptr));
    EXPECT_FALSE(doc.AddChildSubDocument(L"<a><b></a>"));
    EXPECT_EQ(doc.GetParseError(),
              L"Sub-document not well-formed: End tag 'a' at offset 7 does "
              L"not match start tag 'b' at offset 3");
    doc.EnterElement();
    doc.FindElement(L"a");
    // Giving "b" a value would make <a b/> an empty-element tag.
    EXPECT_FALSE(doc.SetAttribute(L"b", L"1"));
    EXPECT_EQ(doc.GetParseError(), L"Attribute would change the element's tag");
    EXPECT_EQ(doc.GetDocument(), before);
}

TEST(XmlMarkupEdit, OpeningAnEmptyTagKeepsItsBlanks) {
    // Dropping the blanks as well would leave "<e\n/>", an empty-element tag again.
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<e\n/\n/>"));
    doc.FindElement();
    ASSERT_TRUE(doc.AddChildElement(L"c", nullptr, CXMLMarkupDoc::kWriteNoLines));
    EXPECT_EQ(doc.GetDocument(), L"<e\n/\n><c/></e>");
    expectConsistent(doc);
}

TEST(XmlMarkupEdit, AttributesOfATagNameWithAQuestionMarkAreRefused) {
    // Attribute tokens stop at "?", so a new attribute would split the tag name.
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<a?b></a?b>"));
    doc.FindElement();
    EXPECT_FALSE(doc.SetAttribute(L"x", L"1"));
    EXPECT_EQ(doc.GetDocument(), L"<a?b></a?b>");
}

TEST(XmlMarkupEdit, RemovalNextToADamagedTagIsRefused) {
    // Without the check, removing <x/> would make "<a>" out of the stray "<" and the "a>" after.
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(L"<r><<x/>a></r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"x"));
    EXPECT_FALSE(doc.RemoveElement());
    EXPECT_EQ(doc.GetParseError(), L"Removal would join a damaged tag with what follows");
    EXPECT_EQ(doc.GetDocument(), L"<r><<x/>a></r>");
    // Followed by a tag, the same removal is harmless.
    EXPECT_FALSE(doc.SetDocument(L"<r><<x/><y/></r>"));
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"x"));
    EXPECT_TRUE(doc.RemoveElement());
    EXPECT_EQ(doc.GetDocument(), L"<r><<y/></r>");
    EXPECT_EQ(dump(doc), dumpReparsed(doc));
}

TEST(XmlMarkupEdit, SetAttribute) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r a='1' b=2 c><x/></r>"));
    doc.FindElement();
    ASSERT_TRUE(doc.SetAttribute(L"a", L"one & \"two\""));
    ASSERT_TRUE(doc.SetAttribute(L"b", L"<2>"));
    ASSERT_TRUE(doc.SetAttribute(L"c", nullptr));
    ASSERT_TRUE(doc.SetAttribute(L"d", L"&#65;", CXMLMarkupDoc::kWriteReferences));
    EXPECT_EQ(doc.GetDocument(),
              L"<r a=\"one &amp; &quot;two&quot;\" b=\"&lt;2&gt;\" c=\"\" d=\"&#65;\"><x/></r>");
    EXPECT_EQ(doc.GetAttribute(L"a"), L"one & \"two\"");
    EXPECT_EQ(doc.GetAttribute(L"d"), L"A");
    expectConsistent(doc);

    ASSERT_TRUE(doc.SetDocument(L"<r><e /><f/></r>"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement(L"e");
    ASSERT_TRUE(doc.SetAttribute(L"k", L"v"));
    doc.FindElement(L"f");
    ASSERT_TRUE(doc.SetAttribute(L"k", L"w"));
    EXPECT_EQ(doc.GetDocument(), L"<r><e k=\"v\" /><f k=\"w\"/></r>");
    expectConsistent(doc);
}

TEST(XmlMarkupEdit, SetElementTextReplacesContentAndReusesRecords) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><a><b/><c><d/></c></a><e/></r>"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement(L"a");
    doc.FindChildElement(L"c");
    ASSERT_TRUE(doc.SavePosition(L"inside"));
    ASSERT_TRUE(doc.SetElementText(L"t<"));
    EXPECT_EQ(doc.GetDocument(), L"<r><a>t&lt;</a><e/></r>");
    EXPECT_FALSE(doc.FindChildElement());
    EXPECT_FALSE(doc.RestorePosition(L"inside"));
    expectConsistent(doc);
    // Three records were released; new elements take them before growing the index.
    const int size = doc.GetIndexSize();
    doc.FindElement(L"r");
    doc.EnterElement();
    doc.FindElement(L"e");
    for (const wchar_t* name : {L"x", L"y", L"z"}) {
        ASSERT_TRUE(doc.AddChildElement(name, nullptr, CXMLMarkupDoc::kWriteNoLines));
    }
    EXPECT_EQ(doc.GetIndexSize(), size);
    EXPECT_EQ(doc.GetDocument(), L"<r><a>t&lt;</a><e><x/><y/><z/></e></r>");
    ASSERT_TRUE(doc.SetElementText(nullptr));
    EXPECT_EQ(doc.GetDocument(), L"<r><a>t&lt;</a><e></e></r>");
    expectConsistent(doc);

    ASSERT_TRUE(doc.SetDocument(L"<r><e/></r>"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement();
    ASSERT_TRUE(doc.SetElementText(L""));
    EXPECT_EQ(doc.GetDocument(), L"<r><e/></r>");
    ASSERT_TRUE(doc.SetElementText(L"x", CXMLMarkupDoc::kWriteCData));
    EXPECT_EQ(doc.GetDocument(), L"<r><e><![CDATA[x]]></e></r>");
    EXPECT_EQ(doc.GetElementText(), L"x");
    expectConsistent(doc);
}

TEST(XmlMarkupEdit, RemoveElementAndNode) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r>\r\n<a><x/></a>\r\n<!--c-->\r\n<b/>\r\n</r>"));
    doc.FindElement();
    doc.EnterElement();
    doc.FindElement(L"a");
    ASSERT_TRUE(doc.SavePosition(L"a"));
    ASSERT_TRUE(doc.RemoveElement());
    EXPECT_EQ(doc.GetDocument(), L"<r>\r\n<!--c-->\r\n<b/>\r\n</r>");
    EXPECT_EQ(doc.GetNodeType(), CXMLMarkupDoc::kNodeNone);
    EXPECT_FALSE(doc.RestorePosition(L"a"));
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeComment));
    ASSERT_TRUE(doc.RemoveNode());
    EXPECT_EQ(doc.GetDocument(), L"<r>\r\n\r\n<b/>\r\n</r>");
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetTagName(), L"b");
    ASSERT_TRUE(doc.RemoveNode());
    EXPECT_EQ(doc.GetDocument(), L"<r>\r\n\r\n</r>");
    EXPECT_FALSE(doc.FindElement());
    // A new element goes where the removed one was.
    ASSERT_TRUE(doc.AddElement(L"n"));
    EXPECT_EQ(doc.GetDocument(), L"<r>\r\n\r\n<n/>\r\n</r>");
    expectConsistent(doc);
    doc.ResetPosition();
    doc.FindElement();
    ASSERT_TRUE(doc.RemoveElement());
    EXPECT_TRUE(doc.GetDocument().IsEmpty());
    ASSERT_TRUE(doc.AddElement(L"again"));
    EXPECT_EQ(doc.GetDocument(), L"<again/>\r\n");
}

TEST(XmlMarkupEdit, SubDocuments) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<r><a/></r>"));
    doc.FindElement();
    ASSERT_TRUE(doc.AddChildSubDocument(
        L"<?xml version='1.0'?><!--dropped--><s k='1'><t>x</t><t/></s><!--dropped-->"));
    EXPECT_EQ(doc.GetDocument(), L"<r><a/><s k='1'><t>x</t><t/></s>\r\n</r>");
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetElementPath(), L"/r/s");
    ASSERT_TRUE(doc.FindChildElement(L"t"));
    ASSERT_TRUE(doc.FindChildElement(L"t"));
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetElementPath(), L"/r/s/t[2]");
    ASSERT_TRUE(doc.AddSubDocument(L"<u><v/></u>", CXMLMarkupDoc::kWriteNoLines));
    EXPECT_EQ(doc.GetDocument(), L"<r><a/><s k='1'><t>x</t><t/><u><v/></u></s>\r\n</r>");
    expectConsistent(doc);
    doc.ResetPosition();
    EXPECT_FALSE(doc.AddSubDocument(L"<other/>"));
    EXPECT_FALSE(doc.AddChildSubDocument(nullptr));
}

// Random edits on a well-formed document: after each, the index must describe the text exactly.
TEST(XmlMarkupEdit, RandomEditsKeepTheIndexConsistent) {
    std::mt19937 random(12345);
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<root>\r\n<a x='1'>t<b/></a>\r\n<!--c--><c>u</c>\r\n</root>"));
    const wchar_t* names[] = {L"a", L"b", L"c", L"\u00e9l\u00e9ment"};
    for (int step = 0; step < 400; ++step) {
        // Walk to a random element.
        doc.ResetPosition();
        doc.FindElement();
        for (int depth = static_cast<int>(random() % 4); depth > 0 && doc.EnterElement(); --depth) {
            for (int skip = static_cast<int>(random() % 3); skip >= 0; --skip) {
                if (!doc.FindNode(random() % 2 ? CXMLMarkupDoc::kNodeAny
                                               : CXMLMarkupDoc::kNodeElement)) {
                    break;
                }
            }
        }
        const wchar_t* name = names[random() % 4];
        const int options = static_cast<int>(random() % 32) | (random() % 2 ? 0x100 : 0);
        switch (random() % 8) {
            case 0:
                doc.AddElement(name, random() % 2 ? L"text & more" : nullptr,
                               options & ~CXMLMarkupDoc::kWriteNoEnd);
                break;
            case 1:
                doc.AddChildElement(name, random() % 2 ? L"]]> <" : nullptr,
                                    options & ~CXMLMarkupDoc::kWriteNoEnd);
                break;
            case 2:
                doc.SetAttribute(name, L"v'\"<", options);
                break;
            case 3:
                doc.SetElementText(random() % 2 ? L"new" : nullptr, options);
                break;
            case 4:
                if (doc.GetElementPath() != L"/root") {
                    doc.RemoveNode();
                }
                break;
            case 5:
                doc.AddChildSubDocument(L"<s><t k='2'>v</t><!--x--></s>", options);
                break;
            case 6:
                doc.AddSubDocument(L"<s/>", options);
                break;
            default:
                doc.SavePosition(name);
                doc.RestorePosition(names[random() % 4]);
                break;
        }
        const std::wstring edited = dump(doc);
        ASSERT_EQ(edited, dumpReparsed(doc))
            << "step " << step << ": " << wideToUtf8(doc.GetDocument().str());
    }
    CXMLMarkupDoc fresh;
    EXPECT_TRUE(fresh.SetDocument(doc.GetDocument())) << fresh.GetParseError().str();
}

}  // namespace
