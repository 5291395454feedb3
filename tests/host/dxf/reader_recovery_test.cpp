// Damaged drawings a careful reader repairs, one damage per drawing: the read succeeds, the
// report lists exactly the repair made, and the repaired drawing holds what the damage meant.
// Release-12 drawings, which lack what later releases require, read without any repair.
#include <gtest/gtest.h>
#include <algorithm>

#include <functional>
#include <string>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/layout.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/read_result.h"
#include "tests/host/dxf/reader_fixture.h"

namespace {

using dxftest::DrawingText;
using dxftest::idOfHandle;
using dxftest::open;
using host::RepairCode;

const std::string kLineBody =
    "100\nAcDbEntity\n8\n0\n100\nAcDbLine\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";

std::string line(const std::string& handle, const std::string& body = kLineBody) {
    return "0\nLINE\n5\n" + handle + "\n330\n1F\n" + body;
}

std::string lineOn(const std::string& handle, const std::string& layer,
                   const std::string& extra = "") {
    return "0\nLINE\n5\n" + handle + "\n330\n1F\n100\nAcDbEntity\n8\n" + layer + "\n" + extra +
           "100\nAcDbLine\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";
}

std::string layer(const std::string& handle, const std::string& name) {
    return "0\nLAYER\n5\n" + handle +
           "\n330\n2\n100\nAcDbSymbolTableRecord\n100\nAcDbLayerTableRecord\n2\n" + name +
           "\n70\n0\n62\n1\n6\nContinuous\n";
}

std::wstring recordNameOf(AcDbObjectId id) {
    auto record = open<AcDbSymbolTableRecord>(id);
    return record != nullptr ? record->nameForLookup() : L"<none>";
}

AcDbObjectId layerOf(AcDbDatabase& db, const wchar_t* handle) {
    auto entity = open<AcDbEntity>(idOfHandle(db, handle));
    return entity != nullptr ? entity->layerId() : AcDbObjectId();
}

// text with the model space's block record naming layoutHandle as its layout.
std::string withModelSpaceLayout(std::string text, const std::string& layoutHandle) {
    const std::string name = "2\n*Model_Space\n";
    text.insert(text.find(name) + name.size(), "340\n" + layoutHandle + "\n");
    return text;
}

struct RepairCase {
    const char* name;
    std::string text;
    std::vector<RepairCode> expected;
    std::function<void(AcDbDatabase&)> check;
};

void PrintTo(const RepairCase& damage, std::ostream* out) {
    *out << damage.name;
}

class DxfReaderRecovery : public dxftest::ReaderTest,
                          public ::testing::WithParamInterface<RepairCase> {};

TEST_P(DxfReaderRecovery, RepairsWhatItCanAndSaysWhat) {
    const RepairCase& damage = GetParam();
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, damage.text), Acad::eOk) << message();
    const host::DrawingReadResult& result = host::lastDrawingRead();
    std::vector<RepairCode> codes;
    std::string report;
    for (const host::Repair& repair : result.repairs) {
        codes.push_back(repair.code);
        report += wideToUtf8(host::repairCodeName(repair.code)) + " line " +
                  std::to_string(repair.line) + " " + wideToUtf8(repair.kind) + " " +
                  wideToUtf8(repair.handle.text()) + ": " + wideToUtf8(repair.action) + "\n";
    }
    EXPECT_EQ(codes, damage.expected) << report;
    testsupport::expectSoundDrawing(&db);
    if (damage.check) {
        damage.check(db);
    }
}

const RepairCase kCases[] = {
    {"DuplicateHandle",
     DrawingText().entities(line("1A5") + line("1A5")).str(),
     {RepairCode::kDuplicateHandle},
     [](AcDbDatabase& db) {
         EXPECT_EQ(testsupport::entitiesOf(db.modelSpaceId()).size(), 2u);
         EXPECT_FALSE(idOfHandle(db, L"1A5").isNull());
     }},
    {"HandleOfATableRecord",
     DrawingText().entities(line("10")).str(),
     {RepairCode::kDuplicateHandle},
     [](AcDbDatabase& db) { EXPECT_EQ(idOfHandle(db, L"10"), db.layerZero()); }},
    {"HandleNotHexadecimal",
     DrawingText().entities(line("ZZ")).str(),
     {RepairCode::kInvalidHandle},
     nullptr},
    {"HandleEmpty", DrawingText().entities(line("")).str(), {RepairCode::kInvalidHandle}, nullptr},
    {"HandleTooLarge",
     DrawingText().entities(line("1000000000000")).str(),
     {RepairCode::kInvalidHandle},
     nullptr},
    // The new handle is above every handle of the file, those of objects read after it too.
    {"HandleNotHexadecimalBeforeHigherOnes",
     DrawingText().entities(line("FFFEF") + line("ZZ") + line("FFFF0")).str(),
     {RepairCode::kInvalidHandle},
     [](AcDbDatabase& db) {
         EXPECT_EQ(testsupport::entitiesOf(db.modelSpaceId()).size(), 3u);
         EXPECT_GT(host::lastDrawingRead().repairs.at(0).handle.value(), 0xFFFF0u);
     }},
    {"HandleMissing",
     DrawingText().entities("0\nLINE\n330\n1F\n" + kLineBody).str(),
     {RepairCode::kInvalidHandle},
     nullptr},
    {"DanglingExtensionDictionary",
     DrawingText()
         .entities("0\nLINE\n5\n1A5\n102\n{ACAD_XDICTIONARY\n360\n999\n102\n}\n330\n1F\n" +
                   kLineBody)
         .str(),
     {RepairCode::kDanglingReference},
     [](AcDbDatabase& db) {
         auto entity = open<AcDbLine>(idOfHandle(db, L"1A5"));
         ASSERT_NE(entity, nullptr);
         EXPECT_TRUE(entity->extensionDictionary().isNull());
     }},
    {"LayoutEntryOfNothing",
     DrawingText()
         .nodEntries("3\nACAD_LAYOUT\n350\n300\n")
         .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDictionary\n3\nModel\n350\n999\n")
         .str(),
     {RepairCode::kDanglingReference},
     [](AcDbDatabase& db) {
         // The entry of nothing is gone, so model space gets a layout of its own.
         auto model = open<AcDbBlockTableRecord>(db.modelSpaceId());
         ASSERT_NE(model, nullptr);
         EXPECT_FALSE(model->getLayoutId().isNull());
     }},
    {"ObjectOfTheFormatsKindWithoutItsMarker",
     // Kept raw, it gets the marker its kind starts with, so that the file written keeps it.
     DrawingText()
         .nodEntries("3\nSTYLES\n350\n300\n")
         .objects("0\nMLINESTYLE\n5\n300\n330\nC\n")
         .str(),
     {},
     [](AcDbDatabase& db) {
         auto kept = open<AcDbRawObject>(idOfHandle(db, L"300"));
         ASSERT_NE(kept, nullptr);
         ASSERT_FALSE(kept->groups().empty());
         EXPECT_EQ(kept->groups()[0], (host::DxfItem{100, std::wstring(L"AcDbMlineStyle")}));
     }},
    {"BaseGroupsRepeatedInAKeptEntity",
     // A second AcDbEntity section and reactor groups after the first marker are the base's:
     // written back, they would name a layer that does not exist and repeat the reactors.
     DrawingText()
         .entities("0\nMLINE\n5\n1A5\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbEntity\n8\n"
                   "No\tLayer\n62\n3\n100\nAcDbMline\n102\n{ACAD_REACTORS\n330\n1F\n102\n}\n"
                   "40\n1.5\n")
         .str(),
     {RepairCode::kRepeatedBaseGroups, RepairCode::kRepeatedBaseGroups},
     [](AcDbDatabase& db) {
         auto kept = open<AcDbRawEntity>(idOfHandle(db, L"1A5"));
         ASSERT_NE(kept, nullptr);
         const host::DxfItemList expected = {{100, std::wstring(L"AcDbMline")}, {40, 1.5}};
         EXPECT_EQ(kept->groups(), expected);
         EXPECT_EQ(kept->layerId(), db.layerZero());
     }},
    {"EntriesOfAKeptDictionary",
     // A misspelt marker keeps the dictionary raw. Its entry of nothing leaves with its name;
     // the object of its other entry, whose owner is missing, becomes its own.
     DrawingText()
         .nodEntries("3\nNOTES\n350\n300\n")
         .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDicuionary\n281\n1\n"
                  "3\nGONE\n350\n999\n3\nKEPT\n350\n301\n"
                  "0\nXRECORD\n5\n301\n330\n998\n100\nAcDbXrecord\n1\nnote\n")
         .str(),
     {RepairCode::kDanglingReference, RepairCode::kDanglingReference, RepairCode::kBadOwner},
     [](AcDbDatabase& db) {
         auto note = open<AcDbXrecord>(idOfHandle(db, L"301"));
         ASSERT_NE(note, nullptr);
         EXPECT_EQ(note->ownerId(), idOfHandle(db, L"300"));
     }},
    {"EntriesOfNothingInAKeptDictionary",
     // A kept dictionary's entries whose reference is a name of nothing or the null handle
     // leave with their names, as a modelled dictionary's do (found by fuzzing: the saved
     // dictionary named no object under "Model").
     DrawingText()
         .nodEntries("3\nNOTES\n350\n300\n")
         .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAlDbDictionary\n281\n1\n"
                  "3\nNAMED\n350\nNowhere\n3\nNULL\n350\n0\n3\nKEPT\n350\n301\n"
                  "0\nXRECORD\n5\n301\n330\n300\n100\nAcDbXrecord\n1\nnote\n")
         .str(),
     {RepairCode::kNameForHandle},
     [](AcDbDatabase& db) {
         auto kept = open<AcDbRawObject>(idOfHandle(db, L"300"));
         ASSERT_NE(kept, nullptr);
         const host::DxfItemList& groups = kept->groups();
         EXPECT_EQ(std::count_if(groups.begin(), groups.end(),
                                 [](const host::DxfItem& item) { return item.code == 3; }),
                   1);
     }},
    {"LayoutDictionaryUnderAnotherName",
     withModelSpaceLayout(
         DrawingText()
             .nodEntries("3\nLAYOUTS\n350\n300\n")
             .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDictionary\n3\nModel\n350\n"
                      "301\n0\nLAYOUT\n5\n301\n330\n300\n100\nAcDbPlotSettings\n100\n"
                      "AcDbLayout\n1\nModel\n70\n1\n71\n0\n330\n1F\n")
             .str(),
         "301"),
     {},
     [](AcDbDatabase& db) {
         // Model space gets a layout in ACAD_LAYOUT; the one outside no longer claims it.
         auto model = open<AcDbBlockTableRecord>(db.modelSpaceId());
         ASSERT_NE(model, nullptr);
         EXPECT_NE(model->getLayoutId(), idOfHandle(db, L"301"));
         auto stale = open<AcDbLayout>(idOfHandle(db, L"301"));
         ASSERT_NE(stale, nullptr);
         EXPECT_TRUE(stale->getBlockTableRecordId().isNull());
     }},
    {"LayoutDictionaryOfOtherThings",
     DrawingText()
         .nodEntries("3\nACAD_LAYOUT\n350\n300\n")
         .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDictionary\n3\nNOTE\n350\n301\n"
                  "0\nXRECORD\n5\n301\n330\n300\n100\nAcDbXrecord\n1\nnot a layout\n")
         .str(),
     {},
     [](AcDbDatabase& db) {
         // The dictionary keeps its entries under a free name; ACAD_LAYOUT holds layouts again.
         auto root = open<AcDbDictionary>(db.namedObjectsDictionaryId());
         AcDbObjectId moved;
         EXPECT_EQ(root->getAt(L"ACAD_LAYOUT_2", moved), Acad::eOk);
         EXPECT_EQ(moved, idOfHandle(db, L"300"));
     }},
    {"LayoutDictionaryNameOnAnotherKind",
     DrawingText()
         .nodEntries("3\nACAD_LAYOUT\n350\n300\n")
         .objects("0\nXRECORD\n5\n300\n330\nC\n100\nAcDbXrecord\n1\nnot layouts\n")
         .str(),
     {},
     [](AcDbDatabase& db) {
         // The record keeps its place under a free name; ACAD_LAYOUT is a dictionary again.
         auto root = open<AcDbDictionary>(db.namedObjectsDictionaryId());
         AcDbObjectId moved;
         EXPECT_EQ(root->getAt(L"ACAD_LAYOUT_2", moved), Acad::eOk);
         EXPECT_EQ(moved, idOfHandle(db, L"300"));
         AcDbObjectId layouts;
         ASSERT_EQ(root->getAt(L"ACAD_LAYOUT", layouts), Acad::eOk);
         EXPECT_EQ(open<AcDbDictionary>(layouts)->numEntries(), 2u);
     }},
    {"LayoutEntryNamingARecordWhileTheLayoutIsOfNoKnownKind",
     withModelSpaceLayout(
         DrawingText()
             .nodEntries("3\nACAD_LAYOUT\n350\n300\n")
             .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDictionary\n3\nModel\n350\n12\n"
                      "0\nOLYAUT\n5\n301\n330\n300\n")
             .str(),
         "301"),
     {RepairCode::kBadOwner},
     [](AcDbDatabase& db) {
         // The record stays in its table although model space's new layout takes the name.
         auto acad = open<AcDbObject>(idOfHandle(db, L"12"));
         ASSERT_NE(acad, nullptr);
         EXPECT_EQ(acad->ownerId(), db.regAppTableId());
     }},
    {"LayoutWhoseEntryWasDropped",
     withModelSpaceLayout(
         DrawingText()
             .nodEntries("3\nACAD_LAYOUT\n350\n300\n")
             .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDictionary\n3\nModel\n350\n"
                      "Nowhere\n0\nLAYOUT\n5\n301\n330\n300\n100\nAcDbPlotSettings\n100\n"
                      "AcDbLayout\n1\nModel\n70\n1\n71\n0\n330\n1F\n")
             .str(),
         "301"),
     {RepairCode::kNameForHandle},
     [](AcDbDatabase& db) {
         // Owned by ACAD_LAYOUT but no longer its entry: model space gets a listed layout.
         auto model = open<AcDbBlockTableRecord>(db.modelSpaceId());
         EXPECT_NE(model->getLayoutId(), idOfHandle(db, L"301"));
     }},
    {"BlockReferenceNamesNoBlock",
     DrawingText()
         .entities("0\nINSERT\n5\n1A5\n330\n1F\n100\nAcDbEntity\n8\n0\n100\n"
                   "AcDbBlockReference\n10\n0\n20\n0\n30\n0\n")
         .str(),
     {RepairCode::kUndefinedBlock},
     [](AcDbDatabase& db) {
         auto reference = open<AcDbBlockReference>(idOfHandle(db, L"1A5"));
         ASSERT_NE(reference, nullptr);
         auto block = open<AcDbBlockTableRecord>(reference->blockTableRecord());
         ASSERT_NE(block, nullptr);
         const wchar_t* name = nullptr;
         ASSERT_EQ(block->getName(name), Acad::eOk);
         EXPECT_STREQ(name, L"Unnamed");
     }},
    {"NameWhereAHandleBelongs",
     DrawingText().objects("0\nFOREIGN\n5\n300\n330\nC\n100\nAcDbForeign\n340\nStandard\n").str(),
     {RepairCode::kNameForHandle},
     [](AcDbDatabase& db) {
         auto kept = open<AcDbRawObject>(idOfHandle(db, L"300"));
         ASSERT_NE(kept, nullptr);
         const auto ref = std::find_if(kept->groups().begin(), kept->groups().end(),
                                       [](const host::DxfItem& item) { return item.code == 340; });
         ASSERT_NE(ref, kept->groups().end());
         EXPECT_EQ(ref->id(), db.textstyle());
     }},
    {"NameOfNothingWhereAHandleBelongs",
     DrawingText().objects("0\nFOREIGN\n5\n300\n330\nC\n100\nAcDbForeign\n340\nNoSuch\n").str(),
     {RepairCode::kNameForHandle},
     nullptr},
    {"InvalidRecordNameFollowedByItsUsers",
     DrawingText().layers(layer("100", "A<B")).entities(lineOn("1A5", "A<B")).str(),
     {RepairCode::kInvalidName},
     [](AcDbDatabase& db) {
         EXPECT_EQ(recordNameOf(idOfHandle(db, L"100")), L"A_B");
         EXPECT_EQ(layerOf(db, L"1A5"), idOfHandle(db, L"100"));
     }},
    {"EmptyRecordName",
     DrawingText().layers(layer("100", "")).str(),
     {RepairCode::kInvalidName},
     [](AcDbDatabase& db) { EXPECT_EQ(recordNameOf(idOfHandle(db, L"100")), L"Unnamed"); }},
    {"RecordNameTwice",
     DrawingText().layers(layer("100", "Walls") + layer("101", "WALLS")).str(),
     {RepairCode::kInvalidName},
     [](AcDbDatabase& db) { EXPECT_EQ(recordNameOf(idOfHandle(db, L"101")), L"WALLS_2"); }},
    {"UndefinedLayer",
     DrawingText().entities(lineOn("1A5", "Ghost")).str(),
     {RepairCode::kUndefinedLayer},
     [](AcDbDatabase& db) { EXPECT_EQ(recordNameOf(layerOf(db, L"1A5")), L"Ghost"); }},
    {"UndefinedLinetype",
     DrawingText().entities(lineOn("1A5", "0", "6\nDashedNowhere\n")).str(),
     {RepairCode::kUndefinedLinetype},
     [](AcDbDatabase& db) {
         auto entity = open<AcDbEntity>(idOfHandle(db, L"1A5"));
         EXPECT_EQ(entity->linetypeId(), db.byLayerLinetype());
     }},
    {"UndefinedTextStyle",
     DrawingText()
         .entities("0\nTEXT\n5\n1A5\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbText\n10\n0\n20\n0\n"
                   "30\n0\n40\n2.5\n1\nHello\n7\nNoStyle\n100\nAcDbText\n")
         .str(),
     {RepairCode::kUndefinedTextStyle},
     [](AcDbDatabase& db) {
         auto text = open<AcDbText>(idOfHandle(db, L"1A5"));
         ASSERT_NE(text, nullptr);
         EXPECT_EQ(text->textStyle(), db.textstyle());
     }},
    {"UndefinedBlock",
     DrawingText()
         .entities("0\nINSERT\n5\n1A5\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockReference\n"
                   "2\nNowhere\n10\n0\n20\n0\n30\n0\n")
         .str(),
     {RepairCode::kUndefinedBlock},
     [](AcDbDatabase& db) {
         auto reference = open<AcDbBlockReference>(idOfHandle(db, L"1A5"));
         ASSERT_NE(reference, nullptr);
         EXPECT_EQ(recordNameOf(reference->blockTableRecord()), L"Nowhere");
     }},
    {"OwnerThatIsNoBlock",
     DrawingText().entities("0\nLINE\n5\n1A5\n330\n10\n" + kLineBody).str(),
     {RepairCode::kBadOwner},
     [](AcDbDatabase& db) {
         auto entity = open<AcDbLine>(idOfHandle(db, L"1A5"));
         EXPECT_EQ(entity->ownerId(), db.modelSpaceId());
     }},
    {"OwnersThatLoopAreTheDictionariesThatHoldThem",
     DrawingText()
         .nodEntries("3\nA\n350\n300\n")
         .objects("0\nDICTIONARY\n5\n300\n330\n301\n100\nAcDbDictionary\n3\nB\n350\n301\n"
                  "0\nDICTIONARY\n5\n301\n330\n300\n100\nAcDbDictionary\n")
         .str(),
     {RepairCode::kBadOwner},
     [](AcDbDatabase& db) {
         auto outer = open<AcDbObject>(idOfHandle(db, L"300"));
         EXPECT_EQ(outer->ownerId(), db.namedObjectsDictionaryId());
     }},
    {"DictionaryEntryThatIsATableRecord",
     DrawingText()
         .nodEntries("3\nSTOLEN\n350\n300\n")
         .objects("0\nDICTIONARY\n5\n300\n330\nC\n100\nAcDbDictionary\n3\nZero\n350\n10\n")
         .str(),
     {RepairCode::kBadOwner},
     [](AcDbDatabase& db) {
         // The record stays its table's; the dictionary loses the entry.
         auto zero = open<AcDbObject>(db.layerZero());
         EXPECT_EQ(zero->ownerId(), db.layerTableId());
         auto dictionary = open<AcDbDictionary>(idOfHandle(db, L"300"));
         ASSERT_NE(dictionary, nullptr);
         EXPECT_EQ(dictionary->numEntries(), 0u);
     }},
    {"ObjectOfAnUnknownKindWithoutSubclassMarker",
     DrawingText().objects("0\nSTRANGE_THING\n5\n300\n330\nC\n1\nkept as given\n").str(),
     {},
     [](AcDbDatabase& db) {
         auto kept = open<AcDbRawObject>(idOfHandle(db, L"300"));
         ASSERT_NE(kept, nullptr);
         ASSERT_EQ(kept->groups().size(), 1u);
         EXPECT_EQ(kept->groups()[0].text(), L"kept as given");
     }},
    {"ExtensionDictionaryThatIsNoDictionary",
     DrawingText()
         .entities("0\nLINE\n5\n1A5\n102\n{ACAD_XDICTIONARY\n360\n1A5\n102\n}\n330\n1F\n" +
                   kLineBody)
         .str(),
     {RepairCode::kBadOwner},
     [](AcDbDatabase& db) {
         EXPECT_TRUE(open<AcDbLine>(idOfHandle(db, L"1A5"))->extensionDictionary().isNull());
     }},
    {"DataAfterEof",
     DrawingText().str() + "0\nLINE\ngarbage\n",
     {RepairCode::kDataAfterEof},
     nullptr},
    {"BlankLinesAndEndOfTextAfterEof", DrawingText().str() + "\r\n\n\x1a", {}, nullptr},
    {"Release12EntitiesOnly",
     "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n4\n21\n6\n31\n0\n"
     "0\nLINE\n8\n0\n67\n1\n10\n0\n20\n0\n11\n1\n21\n1\n0\nENDSEC\n0\nEOF\n",
     {},
     [](AcDbDatabase& db) {
         EXPECT_FALSE(db.namedObjectsDictionaryId().isNull());
         const std::vector<AcDbObjectId> model = testsupport::entitiesOf(db.modelSpaceId());
         ASSERT_EQ(model.size(), 1u);
         auto entity = open<AcDbLine>(model[0]);
         ASSERT_NE(entity, nullptr);
         EXPECT_EQ(entity->endPoint(), AcGePoint3d(4, 6, 0));
         EXPECT_EQ(entity->layerId(), db.layerZero());
         EXPECT_EQ(testsupport::entitiesOf(db.paperSpaceId()).size(), 1u);
     }},
    {"Release12ArraysOfUndefinedBlocks",
     // Arrays of references (columns and rows) are kept raw; their blocks are added as for a
     // reference the host models.
     "0\nSECTION\n2\nENTITIES\n"
     "0\nINSERT\n8\n0\n2\nTAG\n10\n0\n20\n0\n30\n0\n70\n3\n71\n2\n44\n5\n45\n5\n"
     "0\nINSERT\n8\n0\n10\n0\n20\n0\n30\n0\n70\n3\n71\n2\n44\n5\n45\n5\n"
     "0\nENDSEC\n0\nEOF\n",
     {RepairCode::kUndefinedBlock, RepairCode::kUndefinedBlock},
     [](AcDbDatabase& db) {
         AcDbBlockTable* blocks = nullptr;
         ASSERT_EQ(db.getBlockTable(blocks, AcDb::kForRead), Acad::eOk);
         EXPECT_TRUE(blocks->has(L"TAG"));
         EXPECT_TRUE(blocks->has(L"Unnamed"));
         blocks->close();
     }},
    {"Release12Sequences",
     "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n0\nENDSEC\n"
     "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nTAG\n70\n2\n10\n0\n20\n0\n30\n0\n3\nTAG\n"
     "0\nATTDEF\n8\n0\n10\n0\n20\n0\n30\n0\n40\n1\n1\n\n3\nName?\n2\nNAME\n70\n0\n"
     "0\nENDBLK\n8\n0\n0\nENDSEC\n"
     "0\nSECTION\n2\nENTITIES\n"
     "0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n70\n1\n"
     "0\nVERTEX\n8\n0\n10\n0\n20\n0\n30\n0\n0\nVERTEX\n8\n0\n10\n5\n20\n0\n30\n0\n42\n1\n"
     "0\nSEQEND\n8\n0\n"
     "0\nINSERT\n8\n0\n66\n1\n2\nTAG\n10\n3\n20\n4\n30\n0\n"
     "0\nATTRIB\n8\n0\n10\n3\n20\n4\n30\n0\n40\n1\n1\nKestrel\n2\nNAME\n70\n0\n"
     "0\nSEQEND\n8\n0\n0\nENDSEC\n0\nEOF\n",
     {},
     [](AcDbDatabase& db) {
         const std::vector<AcDbObjectId> model = testsupport::entitiesOf(db.modelSpaceId());
         ASSERT_EQ(model.size(), 2u);
         auto polyline = open<AcDb2dPolyline>(model[0]);
         ASSERT_NE(polyline, nullptr);
         EXPECT_TRUE(polyline->isClosed());
         auto reference = open<AcDbBlockReference>(model[1]);
         ASSERT_NE(reference, nullptr);
         EXPECT_EQ(recordNameOf(reference->blockTableRecord()), L"TAG");
         AcDbObjectIterator* attributes = reference->attributeIterator();
         ASSERT_NE(attributes, nullptr);
         EXPECT_FALSE(attributes->done());
         delete attributes;
     }},
};

INSTANTIATE_TEST_SUITE_P(Damage, DxfReaderRecovery, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RepairCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
