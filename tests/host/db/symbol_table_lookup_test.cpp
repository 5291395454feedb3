// Symbol tables: look-ups without regard to case, iteration order and its options, adding and
// its refusals, the name rules, renaming clashes, erased records, and undo of table changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/db/viewport_table.h"
#include "tests/host/db/tables_fixture.h"

namespace {

using tables_test::Held;
using tables_test::open;

class TablesLookupTest : public tables_test::DatabaseTest {
protected:
    // Adds a layer named name and closes it; its id (null when refused).
    AcDbObjectId addLayer(const wchar_t* name) {
        auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForWrite);
        auto* layer = new AcDbLayerTableRecord();
        EXPECT_EQ(layer->setName(name), Acad::eOk);
        AcDbObjectId id;
        const Acad::ErrorStatus status = table->add(id, layer);
        EXPECT_EQ(status, Acad::eOk);
        if (status != Acad::eOk) {
            delete layer;
            return AcDbObjectId::kNull;
        }
        layer->close();
        return id;
    }

    // The layer names an iterator made with these options walks.
    std::vector<std::wstring> layerNames(bool atBeginning = true, bool skipDeleted = true) {
        auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
        AcDbLayerTableIterator* raw = nullptr;
        EXPECT_EQ(table->newIterator(raw, atBeginning, skipDeleted), Acad::eOk);
        std::unique_ptr<AcDbLayerTableIterator> it(raw);
        std::vector<std::wstring> names;
        for (; !it->done(); it->step(atBeginning, skipDeleted)) {
            AcDbLayerTableRecord* layer = nullptr;
            EXPECT_EQ(it->getRecord(layer, AcDb::kForRead, true), Acad::eOk);
            names.emplace_back(Held<AcDbLayerTableRecord>(layer)->nameForLookup());
        }
        return names;
    }

    Acad::ErrorStatus eraseLayer(AcDbObjectId id) {
        auto layer = open<AcDbLayerTableRecord>(id, AcDb::kForWrite);
        return layer->erase();
    }
};

TEST_F(TablesLookupTest, TablesLookUpNamesWithoutRegardToCase) {
    const AcDbObjectId walls = addLayer(L"Walls");
    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
    AcDbObjectId found;
    ASSERT_EQ(table->getAt(L"WALLS", found), Acad::eOk);
    EXPECT_EQ(found, walls);
    EXPECT_TRUE(table->has(L"walls"));
    EXPECT_TRUE(table->has(walls));
    EXPECT_FALSE(table->has(db()->modelSpaceId()));
    EXPECT_FALSE(table->has(AcDbObjectId::kNull));
    EXPECT_FALSE(table->has(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(table->getAt(nullptr, found), Acad::eNullPtr);
    EXPECT_EQ(table->getAt(L"Roof", found), Acad::eKeyNotFound);
    EXPECT_EQ(found, walls);

    AcDbLayerTableRecord* layer = nullptr;
    ASSERT_EQ(table->getAt(L"wAlLs", layer, AcDb::kForRead), Acad::eOk);
    wchar_t* name = nullptr;
    ASSERT_EQ(layer->getName(name), Acad::eOk);
    EXPECT_STREQ(name, L"Walls");
    acutDelString(name);
    layer->close();
    EXPECT_EQ(table->getAt(L"Roof", layer, AcDb::kForRead), Acad::eKeyNotFound);
    EXPECT_EQ(layer, nullptr);

    // Opening another kind of record through a typed look-up is refused.
    auto blocks = open<AcDbBlockTable>(db()->blockTableId(), AcDb::kForRead);
    AcDbSymbolTableRecord* any = nullptr;
    ASSERT_EQ(blocks->getAt(L"*MODEL_SPACE", any, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(any->objectId(), db()->modelSpaceId());
    any->close();
}

TEST_F(TablesLookupTest, TablesIterateInTheOrderRecordsWereAdded) {
    addLayer(L"b");
    const AcDbObjectId a = addLayer(L"A");
    addLayer(L"c");
    EXPECT_EQ(layerNames(), (std::vector<std::wstring>{L"0", L"b", L"A", L"c"}));
    EXPECT_EQ(layerNames(false), (std::vector<std::wstring>{L"c", L"A", L"b", L"0"}));

    ASSERT_EQ(eraseLayer(a), Acad::eOk);
    EXPECT_EQ(layerNames(), (std::vector<std::wstring>{L"0", L"b", L"c"}));
    EXPECT_EQ(layerNames(true, false), (std::vector<std::wstring>{L"0", L"b", L"A", L"c"}));

    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
    AcDbSymbolTableIterator* raw = nullptr;
    ASSERT_EQ(table->newIterator(raw), Acad::eOk);
    std::unique_ptr<AcDbSymbolTableIterator> it(raw);
    ASSERT_EQ(it->seek(a), Acad::eOk);
    AcDbObjectId current;
    ASSERT_EQ(it->getRecordId(current), Acad::eOk);
    EXPECT_EQ(current, a);
    AcDbSymbolTableRecord* record = nullptr;
    EXPECT_EQ(it->getRecord(record, AcDb::kForRead), Acad::eWasErased);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(it->seek(db()->modelSpaceId()), Acad::eInvalidInput);
    it->step();
    it->step();
    EXPECT_TRUE(it->done());
    EXPECT_EQ(it->getRecordId(current), Acad::eInvalidIndex);
    EXPECT_EQ(it->getRecord(record, AcDb::kForRead), Acad::eInvalidIndex);
}

TEST_F(TablesLookupTest, TablesIteratorIgnoresRecordsAddedLater) {
    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
    AcDbLayerTableIterator* raw = nullptr;
    ASSERT_EQ(table->newIterator(raw), Acad::eOk);
    std::unique_ptr<AcDbLayerTableIterator> it(raw);
    table.reset();
    addLayer(L"Later");
    int count = 0;
    for (; !it->done(); it->step()) {
        ++count;
    }
    EXPECT_EQ(count, 1);
}

TEST_F(TablesLookupTest, TablesAddRefusesAndChangesNothing) {
    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForWrite);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, static_cast<AcDbLayerTableRecord*>(nullptr)),
              Acad::eNullObjectPointer);

    auto* unnamed = new AcDbLayerTableRecord();
    EXPECT_EQ(table->add(id, unnamed), Acad::eInvalidSymbolTableName);
    auto* duplicate = new AcDbLayerTableRecord();
    ASSERT_EQ(duplicate->setName(L"0"), Acad::eOk);
    EXPECT_EQ(table->add(id, duplicate), Acad::eDuplicateRecordName);
    auto* linetype = new AcDbLinetypeTableRecord();
    ASSERT_EQ(linetype->setName(L"Dashed"), Acad::eOk);
    EXPECT_EQ(table->addRecord(id, linetype), Acad::eNotThatKindOfClass);
    {
        auto zero = open<AcDbLayerTableRecord>(db()->layerZero(), AcDb::kForRead);
        EXPECT_EQ(table->add(id, zero.get()), Acad::eAlreadyInDb);
    }
    table->downgradeOpen();
    ASSERT_EQ(unnamed->setName(L"Fresh"), Acad::eOk);
    EXPECT_EQ(table->add(id, unnamed), Acad::eNotOpenForWrite);
    AcDbLayerTable loose;
    EXPECT_EQ(loose.add(id, unnamed), Acad::eNoDatabase);
    EXPECT_TRUE(unnamed->objectId().isNull());
    EXPECT_FALSE(table->has(L"Fresh"));
    delete unnamed;
    delete duplicate;
    delete linetype;
}

TEST_F(TablesLookupTest, TablesValidateRecordNames) {
    AcDbLayerTableRecord layer;
    for (const wchar_t* bad :
         {L"", L" lead", L"trail ", L"a<b", L"a>b", L"a/b", L"a\\b", L"a\"b", L"a:b", L"a;b",
          L"a?b", L"a*b", L"a|b", L"a,b", L"a=b", L"a`b", L"tab\there", L"*Star"}) {
        EXPECT_EQ(layer.setName(bad), Acad::eInvalidSymbolTableName) << "accepted a bad name";
    }
    EXPECT_EQ(layer.setName(nullptr), Acad::eNullPtr);
    EXPECT_EQ(layer.setName(std::wstring(256, L'x').c_str()), Acad::eInvalidSymbolTableName);
    for (const wchar_t* good :
         {L"Walls and doors", L"\u00c4u\u00dfere W\u00e4nde", L"A-1_b.c$", L"#hash", L"x"}) {
        EXPECT_EQ(layer.setName(good), Acad::eOk) << "refused a good name";
    }
    EXPECT_EQ(layer.setName(std::wstring(255, L'x').c_str()), Acad::eOk);
    const wchar_t* name = nullptr;
    layer.getName(name);
    EXPECT_EQ(std::wstring(name), std::wstring(255, L'x'));

    AcDbBlockTableRecord block;
    EXPECT_EQ(block.setName(L"*U12"), Acad::eOk);
    EXPECT_EQ(block.setName(L"A*B"), Acad::eInvalidSymbolTableName);
    AcDbViewportTableRecord viewport;
    EXPECT_EQ(viewport.setName(L"*Active"), Acad::eOk);
}

TEST_F(TablesLookupTest, TablesRenamingRefusesClashesAndFixedNames) {
    const AcDbObjectId walls = addLayer(L"Walls");
    addLayer(L"Doors");
    {
        auto layer = open<AcDbLayerTableRecord>(walls, AcDb::kForWrite);
        EXPECT_EQ(layer->setName(L"DOORS"), Acad::eDuplicateRecordName);
        EXPECT_EQ(layer->setName(L"WALLS"), Acad::eOk);
        EXPECT_EQ(layer->setName(L"Windows"), Acad::eOk);
    }
    {
        auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
        EXPECT_FALSE(table->has(L"Walls"));
        AcDbObjectId found;
        ASSERT_EQ(table->getAt(L"windows", found), Acad::eOk);
        EXPECT_EQ(found, walls);
    }
    {
        auto layer = open<AcDbLayerTableRecord>(walls, AcDb::kForRead);
        EXPECT_EQ(layer->setName(L"Roof"), Acad::eNotOpenForWrite);
    }
    auto zero = open<AcDbLayerTableRecord>(db()->layerZero(), AcDb::kForWrite);
    EXPECT_EQ(zero->setName(L"Zero"), Acad::eIllegalReplacement);
    auto model = open<AcDbBlockTableRecord>(db()->modelSpaceId(), AcDb::kForWrite);
    EXPECT_EQ(model->setName(L"*Other"), Acad::eIllegalReplacement);
    EXPECT_EQ(model->setName(L"*MODEL_SPACE"), Acad::eOk);
    auto byLayer = open<AcDbLinetypeTableRecord>(db()->byLayerLinetype(), AcDb::kForWrite);
    EXPECT_EQ(byLayer->setName(L"Other"), Acad::eIllegalReplacement);
}

TEST_F(TablesLookupTest, TablesErasedRecordFreesItsName) {
    const AcDbObjectId old = addLayer(L"Old");
    ASSERT_EQ(eraseLayer(old), Acad::eOk);
    {
        auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
        EXPECT_FALSE(table->has(L"Old"));
        EXPECT_FALSE(table->has(old));
        AcDbObjectId found;
        EXPECT_EQ(table->getAt(L"Old", found), Acad::eKeyNotFound);
        ASSERT_EQ(table->getAt(L"Old", found, true), Acad::eOk);
        EXPECT_EQ(found, old);
        AcDbLayerTableRecord* layer = nullptr;
        EXPECT_EQ(table->getAt(L"Old", layer, AcDb::kForRead), Acad::eKeyNotFound);
        ASSERT_EQ(table->getAt(L"Old", layer, AcDb::kForRead, true), Acad::eOk);
        EXPECT_TRUE(layer->isErased());
        layer->close();
    }
    const AcDbObjectId fresh = addLayer(L"OLD");
    ASSERT_FALSE(fresh.isNull());
    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
    AcDbObjectId found;
    ASSERT_EQ(table->getAt(L"old", found, true), Acad::eOk);
    EXPECT_EQ(found, fresh);
}

TEST_F(TablesLookupTest, TablesProtectTheRecordsTheDrawingNeeds) {
    const AcDbObjectId fixed[] = {db()->layerZero(),       db()->modelSpaceId(),
                                  db()->paperSpaceId(),    db()->byLayerLinetype(),
                                  db()->byBlockLinetype(), db()->continuousLinetype(),
                                  db()->textstyle(),       db()->dimstyle(),
                                  db()->layerTableId(),    db()->blockTableId()};
    for (const AcDbObjectId& id : fixed) {
        auto object = open<AcDbObject>(id, AcDb::kForWrite);
        EXPECT_EQ(object->erase(), Acad::eCannotBeErased);
    }
    const AcDbObjectId current = addLayer(L"Current");
    ASSERT_EQ(db()->setClayer(current), Acad::eOk);
    EXPECT_EQ(eraseLayer(current), Acad::eCannotBeErased);
    ASSERT_EQ(db()->setClayer(db()->layerZero()), Acad::eOk);
    EXPECT_EQ(eraseLayer(current), Acad::eOk);
}

TEST_F(TablesLookupTest, TablesUndoAndRedoAddingAndRenaming) {
    ASSERT_EQ(host::beginCommand(L"ADD"), Acad::eOk);
    const AcDbObjectId walls = addLayer(L"Walls");
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    ASSERT_EQ(host::beginCommand(L"RENAME"), Acad::eOk);
    {
        auto layer = open<AcDbLayerTableRecord>(walls, AcDb::kForWrite);
        ASSERT_EQ(layer->setName(L"Partitions"), Acad::eOk);
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);

    auto names = [this] { return layerNames(); };
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"0", L"Partitions"}));
    ASSERT_EQ(host::undo(1), Acad::eOk);
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"0", L"Walls"}));
    {
        auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
        EXPECT_TRUE(table->has(L"walls"));
        EXPECT_FALSE(table->has(L"partitions"));
    }
    ASSERT_EQ(host::undo(1), Acad::eOk);
    EXPECT_EQ(names(), std::vector<std::wstring>{L"0"});
    EXPECT_TRUE(walls.isErased());
    ASSERT_EQ(host::redo(2), Acad::eOk);
    auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForRead);
    EXPECT_TRUE(table->has(L"PARTITIONS"));
    EXPECT_TRUE(table->has(walls));
}

}  // namespace
