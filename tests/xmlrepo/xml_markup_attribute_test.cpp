// Attribute reading and text encoding of the markup engine: quoting, names without values,
// entity and character reference decoding, and the escaping options used when writing.
#include <gtest/gtest.h>

#include "tests/xmlrepo/xml_test_support.h"

namespace {

// The value of attribute `name` of the root element of `document`.
CString attributeOf(const wchar_t* document, const wchar_t* name) {
    CXMLMarkupDoc doc;
    doc.SetDocument(document);
    doc.FindElement();
    return doc.GetAttribute(name);
}

TEST(XmlMarkupAttribute, QuotingAndUnquotedValues) {
    EXPECT_EQ(attributeOf(L"<a b='x \"y\"'/>", L"b"), L"x \"y\"");
    EXPECT_EQ(attributeOf(L"<a b=\"x 'y'\"/>", L"b"), L"x 'y'");
    EXPECT_EQ(attributeOf(L"<a b = 'spaced' />", L"b"), L"spaced");
    EXPECT_EQ(attributeOf(L"<a b=plain c='2'>", L"b"), L"plain");
    EXPECT_EQ(attributeOf(L"<a b=plain>", L"b"), L"plain");
    EXPECT_EQ(attributeOf(L"<a b='1'c='2'/>", L"c"), L"2");
    EXPECT_EQ(attributeOf(L"<a b='>'/>", L"b"), L">");
    EXPECT_EQ(attributeOf(L"<a b=''/>", L"b"), L"");
    EXPECT_EQ(attributeOf(L"<a b=>", L"b"), L"");
}

TEST(XmlMarkupAttribute, NamesWithoutValueAndMissingNames) {
    EXPECT_EQ(attributeOf(L"<i disabled>", L"disabled"), L"disabled");
    EXPECT_EQ(attributeOf(L"<i disabled x='1'>", L"disabled"), L"disabled");
    EXPECT_EQ(attributeOf(L"<i a b='2'>", L"a"), L"a");
    EXPECT_EQ(attributeOf(L"<i refId='1'/>", L"ref"), L"");
    EXPECT_EQ(attributeOf(L"<i ref='1'/>", L"refId"), L"");
    EXPECT_EQ(attributeOf(L"<i ref='1'/>", L"REF"), L"");
    // The tag name is not an attribute, and neither is a quoted value without a name.
    EXPECT_EQ(attributeOf(L"<i x='1'/>", L"i"), L"");
    EXPECT_EQ(attributeOf(L"<i 'x' y='1'/>", L"x"), L"");
    EXPECT_EQ(attributeOf(L"<i =z y='1'/>", L"z"), L"");
    EXPECT_EQ(attributeOf(L"<i =z y='1'/>", L"y"), L"1");
    EXPECT_EQ(attributeOf(L"<i x='1'/>", nullptr), L"");
    // Nothing is read past the start tag.
    EXPECT_EQ(attributeOf(L"<i x='1'>y='2'</i>", L"y"), L"");
}

TEST(XmlMarkupAttribute, EntitiesAndCharacterReferences) {
    EXPECT_EQ(attributeOf(L"<a v='a&#65;&#x42;&foo;&#0;'/>", L"v"), L"aAB&foo;&#0;");
    EXPECT_EQ(attributeOf(L"<a v='&lt;&amp;&gt;&apos;&quot;'/>", L"v"), L"<&>'\"");
    EXPECT_EQ(attributeOf(L"<a v='&amp;lt;'/>", L"v"), L"&lt;");
    EXPECT_EQ(attributeOf(L"<a v='&#12ab;x'/>", L"v"),
              L"\x0c"
              L"x");
    EXPECT_EQ(attributeOf(L"<a v='&#x4a;&#X4a;'/>", L"v"), L"J&#X4a;");
    // The semicolon must come at most seven code units after the number sign or the x.
    EXPECT_EQ(attributeOf(L"<a v='&#000065;'/>", L"v"), L"A");
    EXPECT_EQ(attributeOf(L"<a v='&#0000065;'/>", L"v"), L"&#0000065;");
    EXPECT_EQ(attributeOf(L"<a v='&#x000041;'/>", L"v"), L"A");
    EXPECT_EQ(attributeOf(L"<a v='&#x0000041;'/>", L"v"), L"&#x0000041;");
    EXPECT_EQ(attributeOf(L"<a v='&#;&#x;&' />", L"v"), L"&#;&#x;&");
    EXPECT_EQ(attributeOf(L"<a v='&lt'/>", L"v"), L"&lt");
}

TEST(XmlMarkupAttribute, WideCharacterReferences) {
    EXPECT_EQ(attributeOf(L"<a v='&#x1F600;'/>", L"v"), L"\U0001F600");
    EXPECT_EQ(attributeOf(L"<a v='&#233;'/>", L"v"), L"\u00e9");
    // Values no character has are cut to 16 bits; one that comes to 0 stays as written.
    EXPECT_EQ(attributeOf(L"<a v='&#x110041;'/>", L"v"), L"A");
    EXPECT_EQ(attributeOf(L"<a v='&#x110000;'/>", L"v"), L"&#x110000;");
}

TEST(XmlMarkupAttribute, ProcessingInstructionAttributes) {
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(L"<?xml version='1.0' standalone=\"yes\"?><r/>"));
    ASSERT_TRUE(doc.FindNode(CXMLMarkupDoc::kNodeProcessing));
    EXPECT_EQ(doc.GetAttribute(L"version"), L"1.0");
    EXPECT_EQ(doc.GetAttribute(L"standalone"), L"yes");
    EXPECT_EQ(doc.GetAttribute(L"xml"), L"");
}

TEST(XmlMarkupAttribute, EncodeText) {
    EXPECT_EQ(CXMLMarkupDoc::EncodeText(L"a<b>&'\""), L"a&lt;b&gt;&amp;'\"");
    EXPECT_EQ(CXMLMarkupDoc::EncodeText(L"'\"", CXMLMarkupDoc::kWriteQuotes), L"&apos;&quot;");
    EXPECT_EQ(CXMLMarkupDoc::EncodeText(nullptr), L"");
    EXPECT_EQ(CXMLMarkupDoc::EncodeText(L"&amp; &#65; &x_1:-.\u00e9; & &1; &a",
                                        CXMLMarkupDoc::kWriteReferences),
              L"&amp; &#65; &x_1:-.\u00e9; &amp; &amp;1; &amp;a");
    EXPECT_EQ(CXMLMarkupDoc::EncodeText(L"a]]>b<", CXMLMarkupDoc::kWriteCData),
              L"<![CDATA[a]]]]><![CDATA[>b<]]>");
    EXPECT_EQ(CXMLMarkupDoc::EncodeText(L"", CXMLMarkupDoc::kWriteCData), L"<![CDATA[]]>");
}

TEST(XmlMarkupAttribute, EncodedTextDecodesBack) {
    const wchar_t* samples[] = {L"plain", L"<&>'\"", L"&amp;", L"\u00e9\U0001F600 & <x/>"};
    for (const wchar_t* sample : samples) {
        const CString encoded = CXMLMarkupDoc::EncodeText(sample, CXMLMarkupDoc::kWriteQuotes);
        EXPECT_EQ(CXMLMarkupDoc::DecodeText(encoded), sample);
    }
    EXPECT_EQ(CXMLMarkupDoc::DecodeText(nullptr), L"");
}

}  // namespace
