// AcDbDictionary: case-insensitive look-ups that keep spelling, sorted iteration, replacing and
// removing entries (the former object erased), renaming, refusals that change nothing, undo and
// redo of every change, and filing both ways.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "tests/host/db/tables_fixture.h"

namespace {

using tables_test::Held;
using tables_test::open;

class DictionaryTest : public tables_test::DatabaseTest {
protected:
    // A new empty dictionary "TEST" under the named object dictionary, returned open for write.
    Held<AcDbDictionary> makeDictionary() {
        auto nod = open<AcDbDictionary>(db()->namedObjectsDictionaryId(), AcDb::kForWrite);
        auto* dictionary = new AcDbDictionary();
        AcDbObjectId id;
        EXPECT_EQ(nod->setAt(L"TEST", dictionary, id), Acad::eOk);
        return Held<AcDbDictionary>(dictionary);
    }

    // Puts a new empty Xrecord under key and closes it; its id.
    static AcDbObjectId addRecord(AcDbDictionary* dictionary, const wchar_t* key) {
        auto* record = new AcDbXrecord();
        AcDbObjectId id;
        EXPECT_EQ(dictionary->setAt(key, record, id), Acad::eOk);
        record->close();
        return id;
    }

    // The names an iterator walks, in its order.
    static std::vector<std::wstring> names(const AcDbDictionary* dictionary) {
        std::vector<std::wstring> result;
        std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
        for (; !it->done(); it->next()) {
            result.emplace_back(it->name());
        }
        return result;
    }
};

TEST_F(DictionaryTest, DictionaryLookupIgnoresCaseAndKeepsSpelling) {
    auto dictionary = makeDictionary();
    const AcDbObjectId id = addRecord(dictionary.get(), L"MixedCase");
    AcDbObjectId found;
    EXPECT_EQ(dictionary->getAt(L"MIXEDCASE", found), Acad::eOk);
    EXPECT_EQ(found, id);
    EXPECT_TRUE(dictionary->has(L"mixedcase"));
    EXPECT_TRUE(dictionary->has(id));
    EXPECT_EQ(names(dictionary.get()), std::vector<std::wstring>{L"MixedCase"});
    wchar_t* name = nullptr;
    ASSERT_EQ(dictionary->nameAt(id, name), Acad::eOk);
    EXPECT_STREQ(name, L"MixedCase");
    acutDelString(name);

    AcDbObject* entry = nullptr;
    ASSERT_EQ(dictionary->getAt(L"mixedCASE", entry, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(entry->objectId(), id);
    EXPECT_EQ(entry->ownerId(), dictionary->objectId());
    entry->close();

    EXPECT_EQ(dictionary->getAt(L"Missing", found), Acad::eKeyNotFound);
    EXPECT_EQ(found, id);
    EXPECT_EQ(dictionary->getAt(L"Missing", entry, AcDb::kForRead), Acad::eKeyNotFound);
    EXPECT_EQ(entry, nullptr);
    EXPECT_EQ(dictionary->getAt(nullptr, found), Acad::eNullPtr);
}

TEST_F(DictionaryTest, DictionaryIteratesInSortedNameOrder) {
    auto dictionary = makeDictionary();
    for (const wchar_t* key : {L"b", L"C", L"B2", L"_x", L"A", L"\u00c4rger"}) {
        addRecord(dictionary.get(), key);
    }
    const std::vector<std::wstring> expected{L"_x", L"A", L"b", L"B2", L"C", L"\u00c4rger"};
    EXPECT_EQ(names(dictionary.get()), expected);
    EXPECT_EQ(dictionary->numEntries(), 6u);
    EXPECT_TRUE(dictionary->has(L"\u00e4RGER"));
}

TEST_F(DictionaryTest, DictionarySetAtReplacesAndErasesTheFormerEntry) {
    auto dictionary = makeDictionary();
    const AcDbObjectId first = addRecord(dictionary.get(), L"Key");
    const AcDbObjectId second = addRecord(dictionary.get(), L"KEY");
    EXPECT_NE(first, second);
    EXPECT_TRUE(first.isErased());
    EXPECT_FALSE(second.isErased());
    AcDbObjectId found;
    ASSERT_EQ(dictionary->getAt(L"key", found), Acad::eOk);
    EXPECT_EQ(found, second);
    EXPECT_EQ(dictionary->numEntries(), 1u);
    EXPECT_EQ(names(dictionary.get()), std::vector<std::wstring>{L"KEY"});
}

TEST_F(DictionaryTest, DictionarySetAtRefusesBadInputAndChangesNothing) {
    auto dictionary = makeDictionary();
    const AcDbObjectId kept = addRecord(dictionary.get(), L"Kept");
    auto* record = new AcDbXrecord();
    AcDbObjectId id;
    EXPECT_EQ(dictionary->setAt(nullptr, record, id), Acad::eNullPtr);
    EXPECT_EQ(dictionary->setAt(L"", record, id), Acad::eInvalidKey);
    EXPECT_EQ(dictionary->setAt(L"a\nb", record, id), Acad::eInvalidKey);
    EXPECT_EQ(dictionary->setAt(L"New", nullptr, id), Acad::eNullObjectPointer);
    {
        auto resident = open<AcDbObject>(kept, AcDb::kForRead);
        EXPECT_EQ(dictionary->setAt(L"New", resident.get(), id), Acad::eAlreadyInDb);
        // The former entry is open for read elsewhere: it cannot be erased, so nothing changes.
        EXPECT_EQ(dictionary->setAt(L"kept", record, id), Acad::eWasOpenForRead);
    }
    EXPECT_FALSE(kept.isErased());
    EXPECT_TRUE(record->objectId().isNull());
    EXPECT_EQ(names(dictionary.get()), std::vector<std::wstring>{L"Kept"});

    dictionary->downgradeOpen();
    EXPECT_EQ(dictionary->setAt(L"New", record, id), Acad::eNotOpenForWrite);
    EXPECT_FALSE(dictionary->setName(L"Kept", L"Other"));
    EXPECT_EQ(dictionary->remove(L"Kept"), Acad::eNotOpenForWrite);

    AcDbDictionary loose;
    EXPECT_EQ(loose.setAt(L"New", record, id), Acad::eNoDatabase);
    delete record;
}

TEST_F(DictionaryTest, DictionaryRemoveErasesTheEntry) {
    auto dictionary = makeDictionary();
    const AcDbObjectId byName = addRecord(dictionary.get(), L"ByName");
    const AcDbObjectId byId = addRecord(dictionary.get(), L"ById");
    const AcDbObjectId busy = addRecord(dictionary.get(), L"Busy");

    AcDbObjectId removed;
    EXPECT_EQ(dictionary->remove(L"BYNAME", removed), Acad::eOk);
    EXPECT_EQ(removed, byName);
    EXPECT_TRUE(byName.isErased());
    EXPECT_EQ(dictionary->remove(byId), Acad::eOk);
    EXPECT_TRUE(byId.isErased());
    EXPECT_EQ(dictionary->remove(L"ByName"), Acad::eKeyNotFound);
    EXPECT_EQ(dictionary->remove(byId), Acad::eKeyNotFound);
    EXPECT_EQ(dictionary->remove(nullptr), Acad::eNullPtr);
    {
        const auto reader = open<AcDbObject>(busy, AcDb::kForRead);
        EXPECT_EQ(dictionary->remove(L"Busy"), Acad::eWasOpenForRead);
    }
    EXPECT_EQ(names(dictionary.get()), std::vector<std::wstring>{L"Busy"});
    EXPECT_FALSE(busy.isErased());
}

TEST_F(DictionaryTest, DictionarySetNameRenamesAndRefusesClashes) {
    auto dictionary = makeDictionary();
    const AcDbObjectId alpha = addRecord(dictionary.get(), L"Alpha");
    addRecord(dictionary.get(), L"Beta");

    EXPECT_TRUE(dictionary->setName(L"alpha", L"ALPHA"));
    EXPECT_EQ(names(dictionary.get()), (std::vector<std::wstring>{L"ALPHA", L"Beta"}));
    EXPECT_FALSE(dictionary->setName(L"ALPHA", L"beta"));
    EXPECT_FALSE(dictionary->setName(L"Gamma", L"Delta"));
    EXPECT_FALSE(dictionary->setName(L"ALPHA", L""));
    EXPECT_FALSE(dictionary->setName(L"ALPHA", nullptr));
    EXPECT_TRUE(dictionary->setName(L"ALPHA", L"Zeta"));
    EXPECT_EQ(names(dictionary.get()), (std::vector<std::wstring>{L"Beta", L"Zeta"}));
    AcDbObjectId found;
    ASSERT_EQ(dictionary->getAt(L"zeta", found), Acad::eOk);
    EXPECT_EQ(found, alpha);
    EXPECT_FALSE(dictionary->has(L"Alpha"));
}

TEST_F(DictionaryTest, DictionaryHidesEntriesErasedElsewhere) {
    auto dictionary = makeDictionary();
    const AcDbObjectId gone = addRecord(dictionary.get(), L"Gone");
    addRecord(dictionary.get(), L"Stays");
    {
        auto entry = open<AcDbObject>(gone, AcDb::kForWrite);
        ASSERT_EQ(entry->erase(), Acad::eOk);
    }
    EXPECT_FALSE(dictionary->has(L"Gone"));
    EXPECT_FALSE(dictionary->has(gone));
    EXPECT_EQ(dictionary->numEntries(), 1u);
    EXPECT_EQ(names(dictionary.get()), std::vector<std::wstring>{L"Stays"});
    const AcDbObjectId again = addRecord(dictionary.get(), L"gone");
    EXPECT_NE(again, gone);
    EXPECT_EQ(names(dictionary.get()), (std::vector<std::wstring>{L"gone", L"Stays"}));
}

TEST_F(DictionaryTest, DictionaryErasesItsEntriesWithItself) {
    AcDbObjectId record;
    AcDbObjectId dictionaryId;
    {
        auto dictionary = makeDictionary();
        record = addRecord(dictionary.get(), L"Entry");
        dictionaryId = dictionary->objectId();
        ASSERT_EQ(dictionary->erase(), Acad::eOk);
    }
    EXPECT_TRUE(record.isErased());
    {
        auto dictionary = open<AcDbDictionary>(dictionaryId, AcDb::kForWrite, true);
        ASSERT_EQ(dictionary->erase(false), Acad::eOk);
    }
    EXPECT_FALSE(record.isErased());

    auto nod = open<AcDbDictionary>(db()->namedObjectsDictionaryId(), AcDb::kForWrite);
    EXPECT_EQ(nod->erase(), Acad::eCannotBeErased);
    EXPECT_FALSE(nod->isErased());
}

TEST_F(DictionaryTest, DictionaryIteratorWalksASnapshot) {
    auto dictionary = makeDictionary();
    const AcDbObjectId a = addRecord(dictionary.get(), L"A");
    const AcDbObjectId b = addRecord(dictionary.get(), L"B");
    std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
    ASSERT_EQ(dictionary->remove(L"A"), Acad::eOk);
    addRecord(dictionary.get(), L"C");

    ASSERT_FALSE(it->done());
    EXPECT_EQ(it->objectId(), a);
    AcDbObject* object = nullptr;
    EXPECT_EQ(it->getObject(object, AcDb::kForRead), Acad::eWasErased);
    EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(it->next());
    EXPECT_STREQ(it->name(), L"B");
    ASSERT_EQ(it->getObject(object, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(object->objectId(), b);
    object->close();
    EXPECT_FALSE(it->next());
    EXPECT_TRUE(it->done());
    EXPECT_STREQ(it->name(), L"");
    EXPECT_TRUE(it->objectId().isNull());
    EXPECT_EQ(it->getObject(object, AcDb::kForRead), Acad::eKeyNotFound);
    EXPECT_TRUE(it->setPosition(a));
    EXPECT_STREQ(it->name(), L"A");
}

TEST_F(DictionaryTest, DictionaryChangesUndoAndRedo) {
    AcDbObjectId dictionaryId;
    AcDbObjectId first;
    {
        auto dictionary = makeDictionary();
        dictionaryId = dictionary->objectId();
        first = addRecord(dictionary.get(), L"First");
    }
    ASSERT_EQ(host::beginCommand(L"CHANGE"), Acad::eOk);
    AcDbObjectId replacement;
    {
        auto dictionary = open<AcDbDictionary>(dictionaryId, AcDb::kForWrite);
        replacement = addRecord(dictionary.get(), L"FIRST");
        addRecord(dictionary.get(), L"Second");
        EXPECT_TRUE(dictionary->setName(L"Second", L"Renamed"));
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);

    ASSERT_EQ(host::undo(1), Acad::eOk);
    {
        auto dictionary = open<AcDbDictionary>(dictionaryId, AcDb::kForRead);
        EXPECT_EQ(names(dictionary.get()), std::vector<std::wstring>{L"First"});
        AcDbObjectId found;
        ASSERT_EQ(dictionary->getAt(L"first", found), Acad::eOk);
        EXPECT_EQ(found, first);
    }
    EXPECT_FALSE(first.isErased());
    EXPECT_TRUE(replacement.isErased());

    ASSERT_EQ(host::redo(1), Acad::eOk);
    auto dictionary = open<AcDbDictionary>(dictionaryId, AcDb::kForRead);
    EXPECT_EQ(names(dictionary.get()), (std::vector<std::wstring>{L"FIRST", L"Renamed"}));
    EXPECT_TRUE(first.isErased());
    EXPECT_TRUE(dictionary->has(replacement));
}

TEST_F(DictionaryTest, DictionaryRemoveUndoes) {
    AcDbObjectId dictionaryId;
    AcDbObjectId entry;
    {
        auto dictionary = makeDictionary();
        dictionaryId = dictionary->objectId();
        entry = addRecord(dictionary.get(), L"Entry");
    }
    ASSERT_EQ(host::beginCommand(L"REMOVE"), Acad::eOk);
    {
        auto dictionary = open<AcDbDictionary>(dictionaryId, AcDb::kForWrite);
        ASSERT_EQ(dictionary->remove(L"Entry"), Acad::eOk);
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::undo(1), Acad::eOk);
    auto dictionary = open<AcDbDictionary>(dictionaryId, AcDb::kForRead);
    EXPECT_TRUE(dictionary->has(L"entry"));
    EXPECT_FALSE(entry.isErased());
}

TEST_F(DictionaryTest, DictionaryFilesBothWays) {
    auto dictionary = makeDictionary();
    const AcDbObjectId one = addRecord(dictionary.get(), L"One");
    const AcDbObjectId two = addRecord(dictionary.get(), L"two");
    const AcDbObjectId gone = addRecord(dictionary.get(), L"Gone");
    ASSERT_EQ(dictionary->remove(L"Gone"), Acad::eOk);

    AcDbDictionary copy;
    ASSERT_EQ(tables_test::dwgCopy(*dictionary, copy), Acad::eOk);
    EXPECT_EQ(names(&copy), (std::vector<std::wstring>{L"One", L"two"}));

    const host::DxfItemList items = tables_test::dxfItems(*dictionary, db());
    const host::DxfItemList tail(items.end() - 7, items.end());
    const host::DxfItemList expected{tables_test::text(100, L"AcDbDictionary"),
                                     tables_test::integer(280, 1),
                                     tables_test::integer(281, 1),
                                     tables_test::text(3, L"One"),
                                     host::DxfItem{360, one},
                                     tables_test::text(3, L"two"),
                                     host::DxfItem{360, two}};
    EXPECT_EQ(tail, expected);
    for (const host::DxfItem& item : items) {
        EXPECT_FALSE(item.code == 360 && item.id() == gone) << "an erased entry was written";
    }

    AcDbDictionary read;
    ASSERT_EQ(tables_test::dxfRead(read, items, db()), Acad::eOk);
    EXPECT_EQ(names(&read), (std::vector<std::wstring>{L"One", L"two"}));
    AcDbObjectId found;
    ASSERT_EQ(read.getAt(L"TWO", found), Acad::eOk);
    EXPECT_EQ(found, two);
}

TEST_F(DictionaryTest, DictionaryDxfReadRefusesBrokenLists) {
    AcDbDictionary target;
    const host::DxfItemList noMarker{tables_test::integer(280, 1)};
    EXPECT_EQ(tables_test::dxfRead(target, noMarker, db()), Acad::eBadDxfSequence);
    const host::DxfItemList nameWithoutObject{tables_test::text(100, L"AcDbDictionary"),
                                              tables_test::text(3, L"Lonely")};
    EXPECT_EQ(tables_test::dxfRead(target, nameWithoutObject, db()), Acad::eMissingDxfField);
    const host::DxfItemList badKey{tables_test::text(100, L"AcDbDictionary"),
                                   tables_test::text(3, L""),
                                   host::DxfItem{350, db()->layerTableId()}};
    EXPECT_EQ(tables_test::dxfRead(target, badKey, db()), Acad::eInvalidKey);
    EXPECT_EQ(target.numEntries(), 0u);
}

}  // namespace
