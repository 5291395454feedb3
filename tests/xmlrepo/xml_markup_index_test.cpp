// The segmented element index: records kept in place as it shrinks and grows, and documents
// whose elements fill several segments, read and edited.
#include <gtest/gtest.h>

#include "kestrel/xmlrepo/xml_markup_index.h"
#include "tests/xmlrepo/xml_test_support.h"

namespace {

using kestrel::xml::ElementIndex;
using kestrel::xml::ElementRecord;

constexpr int kSegment = ElementIndex::kSegmentSize;

void stamp(ElementIndex& index, int from, int to) {
    for (int i = from; i < to; ++i) {
        index[i] = ElementRecord{};
        index[i].start = i;
    }
}

bool stamped(const ElementIndex& index, int to) {
    for (int i = 0; i < to; ++i) {
        if (index[i].start != i) {
            return false;
        }
    }
    return true;
}

TEST(XmlMarkupIndex, ShrinkKeepsTheRecordsInUse) {
    ElementIndex index;
    index.grow(kSegment);
    index.grow(2 * kSegment);
    stamp(index, 0, kSegment + 7);
    index.shrinkTo(kSegment + 7);
    EXPECT_EQ(index.size(), kSegment + 7);
    EXPECT_TRUE(stamped(index, kSegment + 7));
    index.shrinkTo(kSegment - 1);  // drops the second segment
    EXPECT_EQ(index.size(), kSegment - 1);
    EXPECT_TRUE(stamped(index, kSegment - 1));
    ASSERT_TRUE(index.grow(kSegment + 1));
    EXPECT_EQ(index.size(), kSegment + 1);
    EXPECT_TRUE(stamped(index, kSegment - 1));
}

TEST(XmlMarkupIndex, LargeDocumentWithFewElementsKeepsASmallIndex) {
    CXMLMarkupDoc doc;
    std::wstring text = L"<r><a/>" + std::wstring(10'000'000, L'x') + L"<b/></r>";
    ASSERT_TRUE(doc.SetDocument(CString(std::move(text))));
    EXPECT_EQ(doc.GetIndexSize(), 4);
    // A small document set next keeps nothing of the large text's storage.
    ASSERT_TRUE(doc.SetDocument(L"<s/>"));
    EXPECT_LT(doc.GetDocument().str().capacity(), 64u);
}

TEST(XmlMarkupIndex, DocumentAcrossSeveralSegments) {
    const int count = 3 * kSegment + 123;
    std::wstring text = L"<r>";
    for (int i = 0; i < count; ++i) {
        text += L"<e n='" + std::to_wstring(i) + L"'/>";
    }
    text += L"</r>";
    CXMLMarkupDoc doc;
    ASSERT_TRUE(doc.SetDocument(CString(std::move(text))));
    // Records in use: the document, the root and every entry.
    EXPECT_EQ(doc.GetIndexSize(), count + 2);
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    int seen = 0;
    while (doc.FindElement(L"e")) {
        ASSERT_EQ(doc.GetAttribute(L"n"), std::to_wstring(seen).c_str());
        ++seen;
    }
    EXPECT_EQ(seen, count);
    EXPECT_EQ(doc.GetElementPath(), (L"/r/e[" + std::to_wstring(count) + L"]").c_str());
    // Editing the last entry shifts nothing before it; adding grows the index again.
    ASSERT_TRUE(doc.SetAttribute(L"n", L"last"));
    ASSERT_TRUE(doc.AddElement(L"f", L"tail"));
    EXPECT_GT(doc.GetIndexSize(), count + 2);
    doc.ResetPosition();
    doc.FindElement();
    doc.EnterElement();
    ASSERT_TRUE(doc.FindElement(L"f"));
    EXPECT_EQ(doc.GetElementContent(), L"tail");
}

TEST(XmlMarkupIndex, DeepAndUnendedDocumentsParseInLinearTime) {
    // 60,000 open elements flattened at the end: each moves once.
    std::wstring text;
    for (int i = 0; i < 60000; ++i) {
        text += L"<a>";
    }
    CXMLMarkupDoc doc;
    EXPECT_FALSE(doc.SetDocument(CString(std::move(text))));
    EXPECT_EQ(doc.GetParseError(), L"Element 'a' at offset 179997 not ended");
    int count = 0;
    while (doc.FindElement(L"a")) {
        ++count;
        ASSERT_FALSE(doc.FindChildElement());
    }
    EXPECT_EQ(count, 60000);
}

}  // namespace
