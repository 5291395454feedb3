// The default drawing: its tables, standard records, named object dictionary entries and current
// records; the current-record setters; registered applications; and an empty database.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/db/ucs_table.h"
#include "kestrel/host/db/view_table.h"
#include "kestrel/host/db/viewport_table.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/db/tables_fixture.h"

namespace {

using tables_test::open;

class TablesDefaultDrawingTest : public tables_test::DatabaseTest {
protected:
    // The names of a table's live records, in table order.
    template <class Table>
    std::vector<std::wstring> recordNames() {
        Table* table = nullptr;
        EXPECT_EQ(db()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
        AcDbSymbolTableIterator* raw = nullptr;
        tables_test::Held<Table>(table)->newIterator(raw);
        std::unique_ptr<AcDbSymbolTableIterator> it(raw);
        std::vector<std::wstring> names;
        for (; !it->done(); it->step()) {
            AcDbSymbolTableRecord* record = nullptr;
            EXPECT_EQ(it->getRecord(record, AcDb::kForRead), Acad::eOk);
            names.push_back(tables_test::Held<AcDbSymbolTableRecord>(record)->nameForLookup());
        }
        return names;
    }

    std::wstring nameOf(AcDbObjectId id) {
        auto record = open<AcDbSymbolTableRecord>(id, AcDb::kForRead);
        const wchar_t* name = nullptr;
        record->getName(name);
        return name;
    }
};

TEST_F(TablesDefaultDrawingTest, TablesDefaultDrawingHoldsTheStandardRecords) {
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(recordNames<AcDbLayerTable>(), Names{L"0"});
    EXPECT_EQ(recordNames<AcDbLinetypeTable>(), (Names{L"ByBlock", L"ByLayer", L"Continuous"}));
    EXPECT_EQ(recordNames<AcDbTextStyleTable>(), Names{L"Standard"});
    EXPECT_EQ(recordNames<AcDbDimStyleTable>(), Names{L"Standard"});
    EXPECT_EQ(recordNames<AcDbBlockTable>(), (Names{L"*Model_Space", L"*Paper_Space"}));
    EXPECT_EQ(recordNames<AcDbRegAppTable>(), Names{L"ACAD"});
    EXPECT_EQ(recordNames<AcDbViewportTable>(), Names{L"*Active"});
    EXPECT_TRUE(recordNames<AcDbViewTable>().empty());
    EXPECT_TRUE(recordNames<AcDbUCSTable>().empty());

    EXPECT_EQ(nameOf(db()->clayer()), L"0");
    EXPECT_EQ(db()->clayer(), db()->layerZero());
    EXPECT_EQ(nameOf(db()->textstyle()), L"Standard");
    EXPECT_EQ(nameOf(db()->dimstyle()), L"Standard");
    EXPECT_EQ(nameOf(db()->continuousLinetype()), L"Continuous");
    EXPECT_EQ(nameOf(db()->byLayerLinetype()), L"ByLayer");
    EXPECT_EQ(nameOf(db()->byBlockLinetype()), L"ByBlock");
    EXPECT_EQ(nameOf(db()->modelSpaceId()), L"*Model_Space");
    EXPECT_EQ(nameOf(db()->paperSpaceId()), L"*Paper_Space");
    EXPECT_EQ(db()->currentSpaceId(), db()->modelSpaceId());

    auto zero = open<AcDbLayerTableRecord>(db()->layerZero(), AcDb::kForRead);
    EXPECT_EQ(zero->linetypeObjectId(), db()->continuousLinetype());
    EXPECT_EQ(zero->color().colorIndex(), 7);
    auto standard = open<AcDbDimStyleTableRecord>(db()->dimstyle(), AcDb::kForRead);
    EXPECT_EQ(standard->dimtxsty(), db()->textstyle());
    auto table = open<AcDbObject>(db()->layerTableId(), AcDb::kForRead);
    EXPECT_TRUE(table->ownerId().isNull());
    EXPECT_EQ(zero->ownerId(), db()->layerTableId());
}

TEST_F(TablesDefaultDrawingTest, TablesDefaultDrawingHasTheUsualDictionaries) {
    auto nod = open<AcDbDictionary>(db()->namedObjectsDictionaryId(), AcDb::kForRead);
    std::vector<std::wstring> names;
    std::unique_ptr<AcDbDictionaryIterator> it(nod->newIterator());
    for (; !it->done(); it->next()) {
        names.emplace_back(it->name());
        auto entry = open<AcDbDictionary>(it->objectId(), AcDb::kForRead);
        // The two layouts and the default plot style; every other dictionary starts empty.
        const std::map<std::wstring, unsigned> filled{{L"ACAD_LAYOUT", 2},
                                                      {L"ACAD_PLOTSTYLENAME", 1}};
        const auto count = filled.find(names.back());
        EXPECT_EQ(entry->numEntries(), count == filled.end() ? 0u : count->second)
            << wideToUtf8(names.back());
    }
    const std::vector<std::wstring> expected{
        L"ACAD_COLOR",        L"ACAD_GROUP",      L"ACAD_LAYOUT",       L"ACAD_MATERIAL",
        L"ACAD_MLEADERSTYLE", L"ACAD_MLINESTYLE", L"ACAD_PLOTSETTINGS", L"ACAD_PLOTSTYLENAME",
        L"ACAD_SCALELIST",    L"ACAD_TABLESTYLE", L"ACAD_VISUALSTYLE"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(nod->ownerId().isNull());
}

TEST_F(TablesDefaultDrawingTest, TablesDefaultDrawingRecordsNoUndo) {
    EXPECT_EQ(host::undo(1), Acad::eNothingToUndo);
}

TEST_F(TablesDefaultDrawingTest, TablesCurrentRecordsAcceptOnlyLiveRecordsOfTheirKind) {
    EXPECT_EQ(db()->setClayer(AcDbObjectId::kNull), Acad::eNullObjectId);
    EXPECT_EQ(db()->setClayer(db()->continuousLinetype()), Acad::eNotThatKindOfClass);
    EXPECT_EQ(db()->setTextstyle(db()->layerZero()), Acad::eNotThatKindOfClass);
    EXPECT_EQ(db()->setDimstyle(db()->textstyle()), Acad::eNotThatKindOfClass);
    AcDbDatabase other(true, true);
    EXPECT_EQ(db()->setClayer(other.layerZero()), Acad::eWrongDatabase);

    AcDbObjectId frozen;
    {
        auto table = open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForWrite);
        auto* layer = new AcDbLayerTableRecord();
        layer->setName(L"Frozen");
        layer->setIsFrozen(true);
        ASSERT_EQ(table->add(frozen, layer), Acad::eOk);
        // The record is still open for write here: setting it current must not need an open.
        EXPECT_EQ(db()->setClayer(frozen), Acad::eInvalidLayer);
        layer->setIsFrozen(false);
        EXPECT_EQ(db()->setClayer(frozen), Acad::eOk);
        layer->close();
    }
    EXPECT_EQ(db()->clayer(), frozen);
}

TEST_F(TablesDefaultDrawingTest, TablesRegisterApplications) {
    EXPECT_TRUE(db()->isRegisteredApp(L"acad"));
    EXPECT_FALSE(db()->isRegisteredApp(L"MYAPP"));
    EXPECT_FALSE(db()->isRegisteredApp(nullptr));
    EXPECT_EQ(acdbRegApp(L"MyApp"), RTNORM);
    EXPECT_TRUE(db()->isRegisteredApp(L"MYAPP"));
    EXPECT_EQ(acdbRegApp(L"myapp"), RTERROR);
    EXPECT_EQ(acdbRegApp(L"bad|name"), RTERROR);
    EXPECT_EQ(acdbRegApp(nullptr), RTERROR);
    {
        auto table = open<AcDbRegAppTable>(db()->regAppTableId(), AcDb::kForRead);
        EXPECT_EQ(acdbRegApp(L"Blocked"), RTERROR);
    }
    EXPECT_FALSE(db()->isRegisteredApp(L"Blocked"));
    acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    EXPECT_EQ(acdbRegApp(L"NoDatabase"), RTERROR);
    acdbHostApplicationServices()->setWorkingDatabase(db());
}

TEST_F(TablesDefaultDrawingTest, TablesEmptyDatabaseHasNoTables) {
    AcDbDatabase empty(false, true);
    AcDbLayerTable* layers = nullptr;
    EXPECT_EQ(empty.getSymbolTable(layers, AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_EQ(layers, nullptr);
    AcDbDictionary* nod = nullptr;
    EXPECT_EQ(empty.getNamedObjectsDictionary(nod, AcDb::kForRead), Acad::eNullObjectId);
    EXPECT_FALSE(empty.isRegisteredApp(L"ACAD"));
    EXPECT_TRUE(empty.clayer().isNull());
}

}  // namespace
