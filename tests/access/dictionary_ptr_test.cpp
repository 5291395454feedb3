// CVLKCDictionaryPtr beyond what it shares with the extension-dictionary store
// (record_store_test.cpp): sub-dictionaries made on the first write, big strings cut into pieces,
// erasing, renaming and listings, the mode rules, opening through a transaction, and entries of
// the wrong kind. Only the named object dictionary stays open while it lives.
#include <string>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/transaction.h"
#include "tests/access/store_fixture.h"

namespace {

using access_test::openCount;
using store_test::Item;
using store_test::StoreTest;
using Items = std::vector<Item>;

const wchar_t* const kArea = L"KESTREL_AREA";

class DictionaryPtrTest : public StoreTest {
public:
    // The lengths of the text items of record key in dctName, read directly.
    std::vector<std::size_t> pieceLengths(const wchar_t* dctName, const wchar_t* key) {
        std::vector<std::size_t> lengths;
        for (const Item& item : namedRecordOf(dctName, key)) {
            EXPECT_EQ(item.code, 1);
            lengths.push_back(item.value.size());
        }
        return lengths;
    }
};

TEST_F(DictionaryPtrTest, TheFirstWriteCreatesTheSubDictionaryWhichIsThenListed) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    ASSERT_NE(static_cast<AcDbDictionary*>(pointer), nullptr);
    CStringArray names;
    const int before = pointer.allDctNames(names);
    EXPECT_EQ(pointer.dctWrite(kArea, L"count", 3), Acad::eOk);
    EXPECT_EQ(openCount(), 1u);
    EXPECT_EQ(pointer.allDctNames(names), before + 1);
    bool listed = false;
    for (int i = 0; i < names.GetSize(); ++i) {
        listed = listed || names[i] == CString(kArea);
    }
    EXPECT_TRUE(listed);
    AcDbObjectIdArray ids;
    EXPECT_EQ(pointer.allDctObjectIds(ids), before + 1);
    AcDbObjectId areaId;
    ASSERT_EQ(pointer->getAt(kArea, areaId), Acad::eOk);
    EXPECT_TRUE(ids.contains(areaId));
    pointer.close();
    EXPECT_EQ(namedRecordOf(kArea, L"count"), (Items{{90, L"3"}}));
}

TEST_F(DictionaryPtrTest, AMissingSubDictionaryReadsNothing) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    ASSERT_EQ(pointer.dctWrite(kArea, L"short", 7), Acad::eOk);
    int integer = 2;
    EXPECT_FALSE(pointer.dctRead(L"NO_SUCH_AREA", L"short", integer));
    EXPECT_EQ(pointer.status(), Acad::eKeyNotFound);
    EXPECT_EQ(integer, 2);
    EXPECT_EQ(openCount(), 1u);
}

TEST_F(DictionaryPtrTest, ABigStringIsCutIntoPiecesAndReadBackWhole) {
    const std::size_t piece = CVLKCDictionaryPtr::kBigStringPiece;
    std::wstring text;
    for (std::size_t i = 0; i < 2 * piece + 1; ++i) {
        text += static_cast<wchar_t>(L'a' + i % 26);
    }
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    EXPECT_EQ(pointer.dctWriteBigString(kArea, L"big", text.c_str()), Acad::eOk);
    CString read;
    EXPECT_TRUE(pointer.dctReadBigString(kArea, L"big", read));
    EXPECT_EQ(read.str(), text);
    EXPECT_EQ(pointer.dctWriteBigString(kArea, L"big", L"short now"), Acad::eOk);
    EXPECT_EQ(pointer.dctWriteBigString(kArea, L"empty", L""), Acad::eOk);
    EXPECT_EQ(pointer.dctWriteBigString(kArea, L"exact", text.substr(0, piece).c_str()), Acad::eOk);
    EXPECT_TRUE(pointer.dctReadBigString(kArea, L"empty", read));
    EXPECT_TRUE(read.IsEmpty());
    pointer.close();
    EXPECT_EQ(pieceLengths(kArea, L"big"), (std::vector<std::size_t>{9}));
    EXPECT_EQ(pieceLengths(kArea, L"empty"), (std::vector<std::size_t>{0}));
    EXPECT_EQ(pieceLengths(kArea, L"exact"), (std::vector<std::size_t>{piece}));

    CVLKCDictionaryPtr again(AcDb::kForWrite);
    EXPECT_EQ(again.dctWriteBigString(kArea, L"big", text.c_str()), Acad::eOk);
    again.close();
    EXPECT_EQ(pieceLengths(kArea, L"big"), (std::vector<std::size_t>{piece, piece, 1}));
}

TEST_F(DictionaryPtrTest, BigStringRecordsWithOtherItemsAreNotReadAsText) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    resbuf* mixed = acutBuildList(1, L"text", 90, 5L, 1, L"more", 0);
    ASSERT_EQ(pointer.dctWrite(kArea, L"mixed", mixed), Acad::eOk);
    CString text(L"unchanged");
    EXPECT_FALSE(pointer.dctReadBigString(kArea, L"mixed", text));
    EXPECT_FALSE(pointer.dctReadBigString(kArea, L"missing", text));
    EXPECT_EQ(text, CString(L"unchanged"));
    EXPECT_EQ(pointer.dctWriteBigString(kArea, L"null", nullptr), Acad::eNullPtr);
    acutRelRb(mixed);
}

TEST_F(DictionaryPtrTest, AReadPointerRefusesEveryWriteWith45AndChangesNothing) {
    CVLKCDictionaryPtr writer(AcDb::kForWrite);
    ASSERT_EQ(writer.dctWrite(kArea, L"key", 1), Acad::eOk);
    writer.close();

    CVLKCDictionaryPtr pointer;
    ASSERT_NE(static_cast<AcDbDictionary*>(pointer), nullptr);
    EXPECT_EQ(pointer.mode(), AcDb::kForRead);
    EXPECT_EQ(pointer.dctWriteBigString(kArea, L"key", L"x"), Acad::eNotOpenForWrite);
    EXPECT_EQ(pointer.dctErase(kArea), Acad::eNotOpenForWrite);
    EXPECT_EQ(pointer.dctErase(kArea, L"key"), Acad::eNotOpenForWrite);
    EXPECT_FALSE(pointer.dctRename(kArea, L"OTHER"));
    EXPECT_FALSE(pointer.dctRename(kArea, L"key", L"other"));
    EXPECT_EQ(pointer.status(), Acad::eNotOpenForWrite);
    int value = 0;
    EXPECT_TRUE(pointer.dctRead(kArea, L"key", value));
    EXPECT_EQ(value, 1);

    EXPECT_EQ(pointer.upgradeOpen(), Acad::eOk);
    EXPECT_EQ(pointer.dctWrite(kArea, L"key", 2), Acad::eOk);
    pointer.close();
    EXPECT_EQ(namedRecordOf(kArea, L"key"), (Items{{90, L"2"}}));
}

TEST_F(DictionaryPtrTest, ErasingRecordsAndSubDictionaries) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    EXPECT_EQ(pointer.dctErase(L"NO_SUCH_AREA", L"key"), Acad::eOk);
    ASSERT_EQ(pointer.dctWrite(kArea, L"a", 1), Acad::eOk);
    ASSERT_EQ(pointer.dctWrite(kArea, L"b", 2), Acad::eOk);
    EXPECT_EQ(pointer.dctErase(kArea, L"a"), Acad::eOk);
    EXPECT_EQ(pointer.dctErase(kArea, L"a"), Acad::eKeyNotFound);
    CStringArray names;
    EXPECT_EQ(pointer.allRecNames(kArea, names), 1);
    EXPECT_EQ(names[0], CString(L"b"));
    AcDbObjectId areaId;
    ASSERT_EQ(pointer->getAt(kArea, areaId), Acad::eOk);
    EXPECT_EQ(pointer.dctErase(kArea), Acad::eOk);
    EXPECT_TRUE(areaId.isErased());
    EXPECT_EQ(pointer.dctErase(kArea), Acad::eKeyNotFound);
    EXPECT_EQ(pointer.allRecNames(kArea, names), 0);
    EXPECT_EQ(openCount(), 1u);
}

TEST_F(DictionaryPtrTest, RenamingSubDictionariesAndRecords) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    ASSERT_EQ(pointer.dctWrite(kArea, L"old", 1), Acad::eOk);
    ASSERT_EQ(pointer.dctWrite(kArea, L"taken", 2), Acad::eOk);
    ASSERT_EQ(pointer.dctWrite(L"TAKEN_AREA", L"x", 3), Acad::eOk);
    EXPECT_TRUE(pointer.dctRename(kArea, L"old", L"new"));
    EXPECT_EQ(pointer.status(), Acad::eOk);
    EXPECT_FALSE(pointer.dctRename(kArea, L"new", L"taken"));
    EXPECT_FALSE(pointer.dctRename(kArea, L"missing", L"other"));
    EXPECT_FALSE(pointer.dctRename(L"NO_SUCH_AREA", L"new", L"other"));
    EXPECT_EQ(pointer.status(), Acad::eKeyNotFound);
    EXPECT_TRUE(pointer.dctRename(kArea, L"RENAMED_AREA"));
    EXPECT_FALSE(pointer.dctRename(L"RENAMED_AREA", L"TAKEN_AREA"));
    int value = 0;
    EXPECT_TRUE(pointer.dctRead(L"RENAMED_AREA", L"new", value));
    EXPECT_EQ(value, 1);
    EXPECT_FALSE(pointer.dctRead(kArea, L"new", value));
}

TEST_F(DictionaryPtrTest, ListingsOfRecordsInIterationOrder) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    ASSERT_EQ(pointer.dctWrite(kArea, L"b", 1), Acad::eOk);
    ASSERT_EQ(pointer.dctWrite(kArea, L"A", 2), Acad::eOk);
    ASSERT_EQ(pointer.dctWrite(kArea, L"c", 3), Acad::eOk);
    CStringArray names;
    names.Add(CString(L"stale"));
    ASSERT_EQ(pointer.allRecNames(kArea, names), 3);
    EXPECT_EQ(names[0], CString(L"A"));
    EXPECT_EQ(names[1], CString(L"b"));
    EXPECT_EQ(names[2], CString(L"c"));
    AcDbObjectIdArray ids;
    ASSERT_EQ(pointer.allRecObjectIds(kArea, ids), 3);
    AcDbObjectId area;
    AcDbObjectId bId;
    ASSERT_EQ(pointer->getAt(kArea, area), Acad::eOk);
    EXPECT_EQ(testsupport::open<AcDbDictionary>(area)->getAt(L"b", bId), Acad::eOk);
    EXPECT_EQ(ids[1], bId);
}

TEST_F(DictionaryPtrTest, AnEntryThatIsNoDictionaryIsNeitherReadNorWrittenNorListed) {
    testsupport::putRecord(db()->namedObjectsDictionaryId(), L"PLAIN_RECORD",
                           acutBuildList(1, L"x", 0));
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    CStringArray names;
    names.Add(CString(L"kept"));
    EXPECT_EQ(pointer.allRecNames(L"PLAIN_RECORD", names), 0);
    ASSERT_EQ(names.GetSize(), 1);
    EXPECT_EQ(names[0], CString(L"kept"));
    AcDbObjectIdArray ids;
    EXPECT_EQ(pointer.allRecObjectIds(L"PLAIN_RECORD", ids), 0);
    CString text;
    EXPECT_FALSE(pointer.dctRead(L"PLAIN_RECORD", L"x", text));
    EXPECT_EQ(pointer.dctWrite(L"PLAIN_RECORD", L"x", 1), Acad::eNotThatKindOfClass);
    EXPECT_EQ(pointer.dctErase(L"PLAIN_RECORD", L"x"), Acad::eNotThatKindOfClass);
    EXPECT_FALSE(pointer.dctRename(L"PLAIN_RECORD", L"x", L"y"));
    EXPECT_EQ(openCount(), 1u);
}

TEST_F(DictionaryPtrTest, BadSubDictionaryNamesAreRefusedBeforeAnythingIsCreated) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    CStringArray names;
    const int before = pointer.allDctNames(names);
    EXPECT_EQ(pointer.dctWrite(L"", L"key", 1), Acad::eInvalidKey);
    EXPECT_EQ(pointer.dctWrite(nullptr, L"key", 1), Acad::eNullPtr);
    EXPECT_EQ(pointer.allDctNames(names), before);
}

TEST_F(DictionaryPtrTest, ASubDictionaryOpenElsewhereAnswers45) {
    CVLKCDictionaryPtr pointer(AcDb::kForWrite);
    ASSERT_EQ(pointer.dctWrite(kArea, L"key", 1), Acad::eOk);
    {
        AcDbObjectId area;
        ASSERT_EQ(pointer->getAt(kArea, area), Acad::eOk);
        const auto held = testsupport::open<AcDbDictionary>(area, AcDb::kForWrite);
        EXPECT_EQ(pointer.dctWrite(kArea, L"key", 2), Acad::eNotOpenForWrite);
    }
    pointer.close();
    EXPECT_EQ(namedRecordOf(kArea, L"key"), (Items{{90, L"1"}}));
}

TEST_F(DictionaryPtrTest, OpeningThroughATransaction) {
    AcDbTransactionManager* manager = db()->transactionManager();
    AcTransaction* transaction = manager->startTransaction();
    {
        CVLKCDictionaryPtr pointer(transaction, AcDb::kForWrite);
        ASSERT_NE(static_cast<AcDbDictionary*>(pointer), nullptr);
        EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
        EXPECT_EQ(pointer.dctWrite(kArea, L"key", 5), Acad::eOk);
    }
    const std::vector<host::OpenObject> held = host::openObjects();
    ASSERT_EQ(held.size(), 1u);
    EXPECT_TRUE(held[0].transaction);
    EXPECT_EQ(manager->endTransaction(), Acad::eOk);
    EXPECT_EQ(openCount(), 0u);
    EXPECT_EQ(namedRecordOf(kArea, L"key"), (Items{{90, L"5"}}));

    CVLKCDictionaryPtr none(static_cast<AcTransaction*>(nullptr), AcDb::kForWrite);
    EXPECT_EQ(static_cast<AcDbDictionary*>(none), nullptr);
    EXPECT_EQ(none.status(), Acad::eNullPtr);
    EXPECT_EQ(none.dctWrite(kArea, L"key", 1), Acad::eNotOpenForWrite);
    int value = 0;
    EXPECT_FALSE(none.dctRead(kArea, L"key", value));
    CStringArray names;
    EXPECT_EQ(none.allDctNames(names), 0);
}

TEST_F(DictionaryPtrTest, APointerWhoseOpenFailedIsEmptyAndRefusesEverything) {
    CVLKCDictionaryPtr writer(AcDb::kForWrite);
    CVLKCDictionaryPtr second(AcDb::kForWrite);
    EXPECT_EQ(static_cast<AcDbDictionary*>(second), nullptr);
    EXPECT_EQ(second.status(), Acad::eWasOpenForWrite);
    EXPECT_EQ(second.mode(), AcDb::kForRead);
    CStringArray names;
    EXPECT_EQ(second.allDctNames(names), 0);
    AcDbObjectIdArray ids;
    EXPECT_EQ(second.allRecObjectIds(kArea, ids), 0);
    CString text;
    EXPECT_FALSE(second.dctReadBigString(kArea, L"key", text));
    EXPECT_EQ(second.dctWriteBigString(kArea, L"key", L"x"), Acad::eNotOpenForWrite);
    EXPECT_EQ(openCount(), 1u);
}

}  // namespace
