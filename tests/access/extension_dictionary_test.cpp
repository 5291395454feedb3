// The extension-dictionary store of CxEntity<T> beyond what it shares with the named
// dictionary's store (record_store_test.cpp): the binary record layout, opening records,
// erasing, empty records, entries that are not Xrecords, and refusals that create nothing.
#include <cstdlib>
#include <cstring>
#include <string>

#include "kestrel/access/cx_entity.h"
#include "kestrel/drawing/circle_ptr.h"
#include "tests/access/store_fixture.h"

namespace {

using access_test::openCount;
using store_test::Item;
using store_test::StoreTest;
using Items = std::vector<Item>;

// The protected members, reached through a class derived the way client code derives.
class ExposedCircle : public CxEntity<AcDbCircle> {
public:
    using CxEntity<AcDbCircle>::CxEntity;
    using CxEntity<AcDbCircle>::openRecord;
    using CxEntity<AcDbCircle>::setDictionaryRestype;
};

class ExtensionDictionaryTest : public StoreTest {
public:
    void SetUp() override {
        StoreTest::SetUp();
        m_circle = addCircle();
    }

    AcDbObjectId circle() const { return m_circle; }

    static AcDbObjectId extensionDictionaryOf(AcDbObjectId id) {
        return testsupport::open<AcDbObject>(id)->extensionDictionary();
    }

    // Puts entry under key in the circle's extension dictionary (made when missing).
    void putEntry(const wchar_t* key, AcDbObject* entry) {
        testsupport::open<AcDbObject>(circle(), AcDb::kForWrite)->createExtensionDictionary();
        AcDbObjectId id;
        EXPECT_EQ(
            testsupport::open<AcDbDictionary>(extensionDictionaryOf(circle()), AcDb::kForWrite)
                ->setAt(key, entry, id),
            Acad::eOk);
        entry->close();
    }

private:
    AcDbObjectId m_circle;
};

TEST_F(ExtensionDictionaryTest, ABinaryBlockIsStoredInChunksBehindItsTextsAndReadBack) {
    unsigned char bytes[250];
    for (int i = 0; i < 250; ++i) {
        bytes[i] = static_cast<unsigned char>(i * 7);
    }
    CVLKCBinaryData written;
    written.m_texts.Add(CString(L"first"));
    written.m_texts.Add(CString(L"second"));
    written.m_data = bytes;
    written.m_size = 250;
    CVLKCCirclePtr pointer(circle(), AcDb::kForWrite);
    EXPECT_EQ(pointer.dctWrite(L"blob", written), Acad::eOk);
    EXPECT_EQ(written.m_data, bytes);
    EXPECT_EQ(written.m_texts.GetSize(), 2);

    CVLKCBinaryData read;
    EXPECT_TRUE(pointer.dctRead(L"blob", read));
    ASSERT_EQ(read.m_size, 250u);
    ASSERT_NE(read.m_data, nullptr);
    EXPECT_EQ(std::memcmp(read.m_data, bytes, 250), 0);
    ASSERT_EQ(read.m_texts.GetSize(), 2);
    EXPECT_EQ(read.m_texts[0], CString(L"first"));
    EXPECT_EQ(read.m_texts[1], CString(L"second"));
    std::free(read.m_data);

    CVLKCBinaryData holding;
    holding.m_texts.Add(CString(L"already"));
    EXPECT_TRUE(pointer.dctRead(L"blob", holding));
    ASSERT_EQ(holding.m_texts.GetSize(), 3);
    EXPECT_EQ(holding.m_texts[0], CString(L"already"));
    EXPECT_EQ(holding.m_texts[2], CString(L"second"));
    std::free(holding.m_data);
    pointer.close();
    EXPECT_EQ(
        recordOf(circle(), L"blob"),
        (Items{{1, L"first"}, {1, L"second"}, {310, L"#120"}, {310, L"#120"}, {310, L"#10"}}));
}

TEST_F(ExtensionDictionaryTest, BinaryHoldersWithNothingToStoreAreRefused) {
    CVLKCCirclePtr pointer(circle(), AcDb::kForWrite);
    CVLKCBinaryData empty;
    EXPECT_EQ(pointer.dctWrite(L"blob", empty), Acad::eInvalidInput);
    CVLKCBinaryData missingBlock;
    missingBlock.m_size = 10;
    EXPECT_EQ(pointer.dctWrite(L"blob", missingBlock), Acad::eInvalidInput);
    unsigned char byte = 1;
    CVLKCBinaryData otherCode;
    otherCode.m_data = &byte;
    otherCode.m_size = 1;
    EXPECT_EQ(pointer.dctWrite(L"blob", otherCode, false, true, 311), Acad::eInvalidInput);
    EXPECT_EQ(pointer.dctWrite(L"blob", otherCode, false, true, 1), Acad::eInvalidInput);
    CVLKCBinaryData textsOnly;
    textsOnly.m_texts.Add(CString(L"t"));
    EXPECT_EQ(pointer.dctWrite(L"texts", textsOnly), Acad::eOk);
    pointer.close();
    EXPECT_EQ(recordOf(circle(), L"blob"), Items{});
    EXPECT_EQ(recordOf(circle(), L"texts"), (Items{{1, L"t"}}));
}

TEST_F(ExtensionDictionaryTest, OpenRecordOpensInTheWrappersMode) {
    ExposedCircle pointer(circle(), AcDb::kForWrite);
    ASSERT_EQ(pointer.dctWrite(L"record", 1), Acad::eOk);
    const auto dictionary = testsupport::open<AcDbDictionary>(pointer->extensionDictionary());
    AcDbObject* record = nullptr;
    EXPECT_EQ(pointer.openRecord(dictionary.get(), L"cor", true, record), Acad::eOk);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(record->isWriteEnabled());
    record->close();
    EXPECT_EQ(pointer.openRecord(dictionary.get(), L"missing", true, record),
              Acad::eNoMatchingEntry);
    EXPECT_EQ(pointer.status(), Acad::eNoMatchingEntry);
    EXPECT_EQ(pointer.openRecord(dictionary.get(), L"missing", false, record), Acad::eKeyNotFound);
    EXPECT_EQ(pointer.openRecord(dictionary.get(), nullptr, true, record), Acad::eNoMatchingEntry);
}

TEST_F(ExtensionDictionaryTest, DctEraseRemovesTheRecordAndKeepsTheDictionary) {
    {
        CVLKCCirclePtr pointer(circle(), AcDb::kForWrite);
        EXPECT_EQ(pointer.dctErase(L"nothing"), Acad::eOk);
        EXPECT_TRUE(pointer->extensionDictionary().isNull());
        ASSERT_EQ(pointer.dctWrite(L"key", 1), Acad::eOk);
        EXPECT_EQ(pointer.dctErase(L"key"), Acad::eOk);
        EXPECT_EQ(pointer.dctErase(L"key"), Acad::eKeyNotFound);
        int value = 0;
        EXPECT_FALSE(pointer.dctRead(L"key", value));
    }
    const AcDbObjectId dictionaryId = extensionDictionaryOf(circle());
    ASSERT_FALSE(dictionaryId.isNull());
    EXPECT_FALSE(dictionaryId.isErased());
}

TEST_F(ExtensionDictionaryTest, AWrapperWithoutWriteRefusesBinaryDataAndAnEmptyOneEverything) {
    CVLKCBinaryData data;
    data.m_texts.Add(CString(L"t"));
    CVLKCCirclePtr reader(circle(), AcDb::kForRead);
    EXPECT_EQ(reader.dctWrite(L"key", data), Acad::eNotOpenForWrite);
    CVLKCCirclePtr empty;
    EXPECT_EQ(empty.dctWrite(L"key", L"v"), Acad::eNotOpenForWrite);
    EXPECT_EQ(empty.dctErase(L"key"), Acad::eNotOpenForWrite);
    EXPECT_TRUE(extensionDictionaryOf(circle()).isNull());
}

TEST_F(ExtensionDictionaryTest, AHostRefusalKeepsTheFormerRecord) {
    CVLKCCirclePtr pointer(circle(), AcDb::kForWrite);
    ASSERT_EQ(pointer.dctWrite(L"key", 1), Acad::eOk);
    resbuf* tooLong = store_test::chunk(310, 200);
    EXPECT_EQ(pointer.dctWrite(L"key", tooLong), Acad::eInvalidResBuf);
    EXPECT_EQ(pointer.status(), Acad::eInvalidResBuf);
    pointer.close();
    EXPECT_EQ(recordOf(circle(), L"key"), (Items{{90, L"1"}}));
    acutRelRb(tooLong);
}

TEST_F(ExtensionDictionaryTest, AnEmptyRecordHasNoSingleValueButReadsAsAnEmptyListOrBlock) {
    putEntry(L"empty", new AcDbXrecord());
    CVLKCCirclePtr pointer(circle(), AcDb::kForRead);
    int value = 4;
    CString text(L"kept");
    EXPECT_FALSE(pointer.dctRead(L"empty", value));
    EXPECT_FALSE(pointer.dctRead(L"empty", text));
    EXPECT_EQ(value, 4);
    EXPECT_EQ(text, CString(L"kept"));
    resbuf* list = acutBuildList(1, L"replaced", 0);
    resbuf* const before = list;
    EXPECT_TRUE(pointer.dctRead(L"empty", list));
    EXPECT_EQ(list, nullptr);
    acutRelRb(before);
    CVLKCBinaryData data;
    EXPECT_TRUE(pointer.dctRead(L"empty", data));
    EXPECT_EQ(data.m_size, 0u);
    EXPECT_EQ(data.m_data, nullptr);
    EXPECT_EQ(data.m_texts.GetSize(), 0);
}

TEST_F(ExtensionDictionaryTest, AnEntryThatIsNoXrecordReadsOnlyAsItsEntityData) {
    putEntry(L"sub", new AcDbDictionary());
    for (AcDb::OpenMode mode : {AcDb::kForRead, AcDb::kForWrite}) {
        CVLKCCirclePtr pointer(circle(), mode);
        int value = 4;
        CVLKCBinaryData data;
        EXPECT_FALSE(pointer.dctRead(L"sub", value));
        EXPECT_FALSE(pointer.dctRead(L"sub", data));
        EXPECT_EQ(value, 4);
        resbuf* list = nullptr;
        EXPECT_TRUE(pointer.dctRead(L"sub", list));
        const Items items = store_test::takeItems(list);
        ASSERT_GE(items.size(), 2u);
        EXPECT_EQ(items[0].code, -1);
        EXPECT_EQ(items[1], (Item{0, L"DICTIONARY"}));
        EXPECT_EQ(openCount(), 1u);
    }
}

TEST_F(ExtensionDictionaryTest, ListsConvertIntoRecordCodesAndStayTheCallers) {
    const double point[3] = {1, 2, 3};
    resbuf* values =
        acutBuildList(1000, L"a", 5002, point, 1041, 0.5, 1070, 7, 1071, 8L, 280, 1, 0);
    acutRbChainLast(values)->rbnext = store_test::chunk(310, 5);
    const Items given = store_test::itemsOf(values);
    ExposedCircle pointer(circle(), AcDb::kForWrite);
    EXPECT_EQ(store_test::takeItems(pointer.setDictionaryRestype(values)),
              (Items{{1, L"a"},
                     {210, L"1.000000,2.000000,3.000000"},
                     {38, L"0.500000"},
                     {60, L"7"},
                     {90, L"8"},
                     {310, L"#5"}}));
    EXPECT_EQ(pointer.dctWrite(L"list", values), Acad::eOk);
    resbuf* read = nullptr;
    EXPECT_TRUE(pointer.dctRead(L"list", read));
    EXPECT_EQ(store_test::takeItems(read).size(), 6u);
    EXPECT_EQ(store_test::itemsOf(values), given);
    acutRelRb(values);
}

}  // namespace
