// The segmented element index: how it grows one segment at a time without moving records, and
// documents whose elements fill several segments, read and edited.
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

TEST(XmlMarkupIndex, GrowsAtMostOneSegmentPerCall) {
    ElementIndex index;
    EXPECT_EQ(index.size(), 0);
    ASSERT_TRUE(index.grow(10));
    EXPECT_EQ(index.size(), 10);
    EXPECT_EQ(index.segmentTableSize(), 4);
    stamp(index, 0, 10);
    ASSERT_TRUE(index.grow(5));  // already large enough
    EXPECT_EQ(index.size(), 10);
    ASSERT_TRUE(index.grow(kSegment - 6));
    EXPECT_EQ(index.size(), kSegment - 6);
    stamp(index, 10, kSegment - 6);
    // Completes the partly filled segment, then adds one segment and no more.
    ASSERT_TRUE(index.grow(5 * kSegment));
    EXPECT_EQ(index.size(), 2 * kSegment);
    stamp(index, kSegment - 6, 2 * kSegment);
    ASSERT_TRUE(index.grow(2 * kSegment + 100));
    EXPECT_EQ(index.size(), 2 * kSegment + 100);
    stamp(index, 2 * kSegment, 2 * kSegment + 100);
    ASSERT_TRUE(index.grow(10 * kSegment));
    EXPECT_EQ(index.size(), 4 * kSegment);
    EXPECT_EQ(index.segmentTableSize(), 4);
    stamp(index, 2 * kSegment + 100, 4 * kSegment);
    // Segment 4 needs a fifth entry: the table becomes 2 * 4 + 4 entries long.
    ASSERT_TRUE(index.grow(4 * kSegment + 1));
    EXPECT_EQ(index.segmentTableSize(), 12);
    EXPECT_TRUE(stamped(index, 4 * kSegment));
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

TEST(XmlMarkupIndex, IndexStartsFromTheLengthAndGrowsByHalfItsFirstFreeIndex) {
    CXMLMarkupDoc doc;
    const std::wstring text = L"<r>" + std::wstring(640, L' ') + L"</r>";
    ASSERT_TRUE(doc.SetDocument(text.c_str()));
    EXPECT_EQ(doc.GetIndexSize(), static_cast<int>(text.size()) / 64 + 8);
    // 87 code units start at 9 records; the 22 records in use take it to 13, 19, then 28.
    std::wstring entries = L"<r>";
    for (int i = 0; i < 20; ++i) {
        entries += L"<e/>";
    }
    CXMLMarkupDoc grown;
    ASSERT_TRUE(grown.SetDocument((entries + L"</r>").c_str()));
    EXPECT_EQ(grown.GetIndexSize(), 28);
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
