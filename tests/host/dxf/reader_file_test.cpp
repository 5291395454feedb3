// Reading whole drawing files: what a read keeps (handles, owners, tables, current records,
// XData, extension dictionaries, owned sequences, raw objects) and files of another program.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/undo.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/dxf_writer.h"
#include "kestrel/host/rx/class.h"
#include "tests/host/dxf/reader_fixture.h"

namespace {

using dxftest::DrawingText;
using dxftest::idOfHandle;
using dxftest::open;

class DxfReaderFile : public dxftest::ReaderTest {
protected:
    void readSample(AcDbDatabase& db) {
        const std::wstring path = utf8ToWide(dxftest::sampleFile("ezdxf_sample.dxf").string());
        ASSERT_EQ(db.readDwgFile(path.c_str()), Acad::eOk) << message();
    }
};

// The handles of the entities of block, in order.
std::vector<std::wstring> handlesOf(const std::vector<AcDbObjectId>& ids) {
    std::vector<std::wstring> handles;
    for (AcDbObjectId id : ids) {
        handles.push_back(id.handle().text());
    }
    return handles;
}

std::vector<std::wstring> entityHandles(AcDbObjectId block) {
    return handlesOf(testsupport::entitiesOf(block));
}

std::vector<std::wstring> handlesOf(AcDbObjectIterator* it) {
    return handlesOf(testsupport::idsOf(it));
}

TEST_F(DxfReaderFile, ReadsTheSmallestCompleteDrawing) {
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().str()), Acad::eOk) << message();
    EXPECT_TRUE(host::lastDrawingFileMessage().empty());
    EXPECT_EQ(db.blockTableId(), idOfHandle(db, L"1"));
    EXPECT_EQ(db.layerTableId(), idOfHandle(db, L"2"));
    EXPECT_EQ(db.dimStyleTableId(), idOfHandle(db, L"A"));
    EXPECT_EQ(db.viewportTableId(), idOfHandle(db, L"8"));
    EXPECT_EQ(db.modelSpaceId(), idOfHandle(db, L"1F"));
    EXPECT_EQ(db.currentSpaceId(), db.modelSpaceId());
    EXPECT_EQ(db.paperSpaceId(), idOfHandle(db, L"1B"));
    EXPECT_EQ(db.layerZero(), idOfHandle(db, L"10"));
    EXPECT_EQ(db.clayer(), idOfHandle(db, L"10"));
    EXPECT_EQ(db.byBlockLinetype(), idOfHandle(db, L"14"));
    EXPECT_EQ(db.byLayerLinetype(), idOfHandle(db, L"15"));
    EXPECT_EQ(db.continuousLinetype(), idOfHandle(db, L"16"));
    EXPECT_EQ(db.textstyle(), idOfHandle(db, L"11"));
    EXPECT_EQ(db.dimstyle(), idOfHandle(db, L"27"));
    EXPECT_EQ(db.namedObjectsDictionaryId(), idOfHandle(db, L"C"));
    // New handles start above the file's (for the layouts the drawing lacked, for instance).
    EXPECT_GE(db.handseed().value(), 0x100u);
    EXPECT_TRUE(db.isRegisteredApp(L"ACAD"));
    auto layer = open<AcDbLayerTableRecord>(db.layerZero());
    EXPECT_EQ(layer->ownerId(), db.layerTableId());
}

TEST_F(DxfReaderFile, HeaderNamesTheCurrentRecordsAndRaisesTheHandleSeed) {
    AcDbDatabase db(false, true);
    const std::string text =
        DrawingText()
            .header(
                "9\n$CLAYER\n8\nWalls\n9\n$INSBASE\n10\n1.0\n20\n2.0\n30\n0.0\n"
                "9\n$UNKNOWNVAR\n70\n3\n")
            .layers(
                "0\nLAYER\n5\n100\n330\n2\n100\nAcDbSymbolTableRecord\n100\n"
                "AcDbLayerTableRecord\n2\nWalls\n70\n0\n62\n1\n6\nContinuous\n")
            .entities(
                "0\nLINE\n5\n2A0\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n"
                "10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n")
            .str();
    ASSERT_EQ(readText(db, text), Acad::eOk) << message();
    EXPECT_EQ(db.clayer(), idOfHandle(db, L"100"));
    // The largest handle of the file wins over a smaller $HANDSEED.
    EXPECT_GT(db.handseed().value(), 0x2A0u);
    EXPECT_FALSE(idOfHandle(db, L"2A0").isNull());
}

TEST_F(DxfReaderFile, KeepsHandlesOwnersAndTheOrderOfEntities) {
    AcDbDatabase db(false, true);
    const std::string line =
        "100\nAcDbEntity\n8\n0\n100\nAcDbLine\n10\n0\n20\n0\n30\n0\n11\n1\n21\n"
        "1\n31\n0\n";
    const std::string text =
        DrawingText()
            .blockRecords(
                "0\nBLOCK_RECORD\n5\n110\n330\n1\n100\nAcDbSymbolTableRecord\n100\n"
                "AcDbBlockTableRecord\n2\nPART\n")
            .blocks(
                "0\nBLOCK\n5\n111\n330\n110\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockBegin\n2\n"
                "PART\n70\n0\n10\n5.0\n20\n6.0\n30\n0.0\n3\nPART\n1\n\n"
                "0\nLINE\n5\n113\n330\n110\n" +
                line + "0\nENDBLK\n5\n112\n330\n110\n100\nAcDbEntity\n8\n0\n100\nAcDbBlockEnd\n")
            .entities("0\nLINE\n5\n1A5\n330\n1F\n" + line + "0\nLINE\n5\n1A3\n330\n1B\n" + line +
                      "0\nLINE\n5\n1A4\n330\n1F\n" + line)
            .str();
    ASSERT_EQ(readText(db, text), Acad::eOk) << message();
    EXPECT_EQ(entityHandles(db.modelSpaceId()), (std::vector<std::wstring>{L"1A5", L"1A4"}));
    EXPECT_EQ(entityHandles(db.paperSpaceId()), (std::vector<std::wstring>{L"1A3"}));
    const AcDbObjectId part = idOfHandle(db, L"110");
    EXPECT_EQ(entityHandles(part), (std::vector<std::wstring>{L"113"}));
    auto record = open<AcDbBlockTableRecord>(part);
    EXPECT_EQ(record->origin(), AcGePoint3d(5, 6, 0));
    auto entity = open<AcDbLine>(idOfHandle(db, L"113"));
    EXPECT_EQ(entity->ownerId(), part);
    EXPECT_EQ(entity->endPoint(), AcGePoint3d(1, 1, 0));
    EXPECT_EQ(entity->layerId(), db.layerZero());
}

TEST_F(DxfReaderFile, ReadsAFileOfAnotherProgramWithEverythingInIt) {
    AcDbDatabase db(false, true);
    readSample(db);
    EXPECT_EQ(db.modelSpaceId(), idOfHandle(db, L"17"));
    EXPECT_EQ(db.namedObjectsDictionaryId(), idOfHandle(db, L"A"));
    EXPECT_EQ(entityHandles(db.modelSpaceId()),
              (std::vector<std::wstring>{L"30", L"33", L"34", L"35", L"36", L"37", L"38", L"3D",
                                         L"42", L"43", L"44", L"45", L"46", L"47", L"48", L"4A",
                                         L"4B", L"4C", L"4D", L"49", L"53", L"56", L"57", L"58"}));

    auto line = open<AcDbLine>(idOfHandle(db, L"30"));
    EXPECT_EQ(line->layer(), L"Walls");
    EXPECT_EQ(line->colorIndex(), 3);
    EXPECT_EQ(line->endPoint(), AcGePoint3d(10, 5, 0));
    resbuf* xdata = line->xData(L"KESTREL_TEST");
    ASSERT_NE(xdata, nullptr);
    ASSERT_NE(xdata->rbnext, nullptr);
    EXPECT_EQ(std::wstring(xdata->rbnext->resval.rstring), L"tag");
    acutRelRb(xdata);
    const AcDbObjectId extDict = line->extensionDictionary();
    EXPECT_EQ(extDict, idOfHandle(db, L"31"));
    line.reset();
    auto dictionary = open<AcDbDictionary>(extDict);
    EXPECT_EQ(dictionary->ownerId(), idOfHandle(db, L"30"));
    AcDbObjectId xrecordId;
    ASSERT_EQ(dictionary->getAt(L"KESTREL_DATA", xrecordId), Acad::eOk);
    EXPECT_EQ(xrecordId, idOfHandle(db, L"32"));
    auto xrecord = open<AcDbXrecord>(xrecordId);
    resbuf* chain = nullptr;
    ASSERT_EQ(xrecord->rbChain(chain), Acad::eOk);
    ASSERT_NE(chain, nullptr);
    EXPECT_EQ(std::wstring(chain->resval.rstring), L"kept");
    acutRelRb(chain);

    // Angles arrive in radians.
    auto arc = open<AcDbArc>(idOfHandle(db, L"34"));
    EXPECT_NEAR(arc->startAngle(), std::numbers::pi / 6, 1e-12);
    auto text = open<AcDbText>(idOfHandle(db, L"35"));
    EXPECT_NEAR(text->rotation(), std::numbers::pi / 4, 1e-12);

    // Vertices and attributes keep their handles, and their sequence ends too.
    auto planar = open<AcDb2dPolyline>(idOfHandle(db, L"38"));
    EXPECT_EQ(handlesOf(planar->vertexIterator()),
              (std::vector<std::wstring>{L"3A", L"3B", L"3C"}));
    AcDbSequenceEnd* end = nullptr;
    ASSERT_EQ(planar->openSequenceEnd(end, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(testsupport::Held<AcDbSequenceEnd>(end)->objectId(), idOfHandle(db, L"39"));
    auto spatial = open<AcDb3dPolyline>(idOfHandle(db, L"3D"));
    EXPECT_EQ(handlesOf(spatial->vertexIterator()),
              (std::vector<std::wstring>{L"3F", L"40", L"41"}));
    auto insert = open<AcDbBlockReference>(idOfHandle(db, L"53"));
    EXPECT_NEAR(insert->rotation(), std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(handlesOf(insert->attributeIterator()), (std::vector<std::wstring>{L"55"}));
    ASSERT_EQ(insert->openSequenceEnd(end, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(testsupport::Held<AcDbSequenceEnd>(end)->objectId(), idOfHandle(db, L"54"));
}

TEST_F(DxfReaderFile, KeepsKindsTheHostDoesNotModelAsTheyWere) {
    AcDbDatabase db(false, true);
    readSample(db);
    // XLINE is not modelled; a polyface mesh is a POLYLINE of a kind the host does not model,
    // kept with its vertices and sequence end after it, owned by it.
    auto xline = open<AcDbRawEntity>(idOfHandle(db, L"47"));
    EXPECT_EQ(xline->dxfName(), L"XLINE");
    EXPECT_EQ(std::wstring(host::dxfNameOf(xline.get())), L"XLINE");
    ASSERT_FALSE(xline->groups().empty());
    EXPECT_EQ(xline->groups().front(), (host::DxfItem{100, std::wstring(L"AcDbXline")}));
    const auto point = std::find_if(xline->groups().begin(), xline->groups().end(),
                                    [](const host::DxfItem& item) { return item.code == 11; });
    ASSERT_NE(point, xline->groups().end());
    // Raw groups keep the file's values: no unit conversion, no reordering.
    EXPECT_NEAR(point->point().x, std::sqrt(0.5), 1e-12);
    auto mesh = open<AcDbRawEntity>(idOfHandle(db, L"48"));
    EXPECT_EQ(mesh->dxfName(), L"POLYLINE");
    for (const wchar_t* handle : {L"4A", L"4D", L"49"}) {
        auto part = open<AcDbRawEntity>(idOfHandle(db, handle));
        EXPECT_EQ(part->ownerId(), mesh->objectId()) << handle;
    }
    auto end = open<AcDbRawEntity>(idOfHandle(db, L"49"));
    EXPECT_EQ(end->dxfName(), L"SEQEND");

    // Unmodelled objects in OBJECTS are kept too, with their owners.
    int raw = 0;
    for (std::uint64_t handle = 1; handle < db.handseed().value(); ++handle) {
        AcDbObjectId id;
        if (db.getAcDbObjectId(id, false, AcDbHandle(handle)) != Acad::eOk ||
            id.objectClass() != AcDbRawObject::desc()) {
            continue;
        }
        auto object = open<AcDbRawObject>(id);
        EXPECT_FALSE(object->dxfName().empty());
        EXPECT_FALSE(object->ownerId().isNull()) << wideToUtf8(object->dxfName());
        ++raw;
    }
    EXPECT_GT(raw, 0);
}

TEST_F(DxfReaderFile, AVariantItsClassDoesNotTakeIsKeptAsItCame) {
    // A hatch with an elliptic edge: AcDbHatch refuses it, so it is kept with the file's values.
    const std::string hatch =
        "0\nHATCH\n5\n2F0\n330\n1F\n100\nAcDbEntity\n8\n0\n62\n1\n100\nAcDbHatch\n10\n0.0\n20\n"
        "0.0\n30\n0.0\n210\n0.0\n220\n0.0\n230\n1.0\n2\nSOLID\n70\n1\n71\n0\n91\n1\n92\n1\n93\n3\n"
        "72\n1\n10\n0.0\n20\n0.0\n11\n10.0\n21\n0.0\n72\n3\n10\n10.0\n20\n5.0\n11\n0.0\n21\n5.0\n"
        "40\n0.5\n50\n270\n51\n90\n73\n1\n72\n1\n10\n10.0\n20\n10.0\n11\n0.0\n21\n0.0\n97\n0\n75\n"
        "0\n76\n1\n98\n0\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().entities(hatch).str()), Acad::eOk) << message();
    auto kept = open<AcDbRawEntity>(idOfHandle(db, L"2F0"));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->dxfName(), L"HATCH");
    EXPECT_EQ(kept->colorIndex(), 1);
    EXPECT_NE(std::find(kept->groups().begin(), kept->groups().end(), host::DxfItem{50, 270.0}),
              kept->groups().end());
}

TEST_F(DxfReaderFile, EntityGroupsWithoutAccessorsPassThrough) {
    // Line weight, linetype scale, transparency and colour name, as the writer writes them.
    const std::string kept = "370\n50\n 48\n2.0\n440\n33554496\n430\nRED\n";
    const std::string line = "0\nLINE\n5\n2F0\n330\n1F\n100\nAcDbEntity\n8\n0\n" + kept +
                             "100\nAcDbLine\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().entities(line).str()), Acad::eOk) << message();
    const AcDbObjectId id = idOfHandle(db, L"2F0");
    ASSERT_NE(open<AcDbLine>(id), nullptr);
    std::string text;
    ASSERT_EQ(host::dxf::writeDrawing(&db, text).status, Acad::eOk);
    EXPECT_NE(text.find("  8\n0\n" + kept + "100\nAcDbLine\n"), std::string::npos);
    // Copies and undo file them too.
    auto copy = std::unique_ptr<AcDbObject>(AcDbObject::cast(open<AcDbLine>(id)->clone()));
    ASSERT_NE(copy, nullptr);
    host::DxfItemFiler out(&db);
    ASSERT_EQ(copy->dxfOutFields(&out), Acad::eOk);
    const host::DxfItemList items = out.takeItems();
    EXPECT_NE(std::find(items.begin(), items.end(), host::DxfItem{370, std::int64_t{50}}),
              items.end());
}

TEST_F(DxfReaderFile, APatternedHatchKeepsItsFillUntilItsPatternChanges) {
    // As the writer writes them: codes right-aligned in three places.
    const std::string fill =
        " 75\n1\n 76\n1\n 52\n0.0\n 41\n0.5\n 77\n0\n 78\n1\n 53\n45.0\n 43\n0.0\n 44\n0.0\n"
        " 45\n-1.12\n 46\n1.12\n 79\n2\n 49\n0.5\n 49\n-0.25\n 98\n1\n 10\n12.0\n 20\n1.0\n";
    const std::string hatch =
        "0\nHATCH\n5\n2F0\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbHatch\n10\n0.0\n20\n"
        "0.0\n30\n0.0\n210\n0.0\n220\n0.0\n230\n1.0\n2\nANSI31\n70\n0\n71\n0\n91\n1\n92\n2\n"
        "72\n0\n73\n1\n93\n3\n10\n10.0\n20\n0.0\n10\n15.0\n20\n0.0\n10\n15.0\n20\n5.0\n97\n0\n" +
        fill;
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().entities(hatch).str()), Acad::eOk) << message();
    const AcDbObjectId id = idOfHandle(db, L"2F0");
    ASSERT_NE(open<AcDbHatch>(id), nullptr);
    std::string text;
    ASSERT_EQ(host::dxf::writeDrawing(&db, text).status, Acad::eOk);
    EXPECT_NE(text.find(fill), std::string::npos) << "the fill as read";
    {
        auto read = open<AcDbHatch>(id);
        ASSERT_EQ(read->numPatternDefinitions(), 1);
        double angle = 0.0, baseX = 1.0, baseY = 1.0, offsetX = 0.0, offsetY = 0.0;
        AcGeDoubleArray dashes;
        ASSERT_EQ(read->getPatternDefinitionAt(0, angle, baseX, baseY, offsetX, offsetY, dashes),
                  Acad::eOk);
        EXPECT_NEAR(angle, std::numbers::pi / 4, 1e-12);  // degrees in the file
        EXPECT_EQ(AcGePoint2d(baseX, baseY), AcGePoint2d(0, 0));
        EXPECT_EQ(AcGeVector2d(offsetX, offsetY), AcGeVector2d(-1.12, 1.12));
        ASSERT_EQ(dashes.length(), 2);
        EXPECT_EQ(dashes[1], -0.25);
        EXPECT_EQ(read->getPatternDefinitionAt(1, angle, baseX, baseY, offsetX, offsetY, dashes),
                  Acad::eInvalidIndex);
    }
    // An undo or copy files the fill too; a new scale drops the former pattern's lines.
    auto copy = std::unique_ptr<AcDbObject>(AcDbObject::cast(open<AcDbHatch>(id)->clone()));
    EXPECT_EQ(open<AcDbHatch>(id, AcDb::kForWrite)->setPatternScale(2.0), Acad::eOk);
    text.clear();
    ASSERT_EQ(host::dxf::writeDrawing(&db, text).status, Acad::eOk);
    EXPECT_NE(text.find(" 75\n1\n 76\n1\n 52\n0.0\n 41\n2.0\n 77\n0\n 78\n0\n 98\n0\n"),
              std::string::npos);
    EXPECT_EQ(text.find(" 53\n45.0\n"), std::string::npos);
    EXPECT_EQ(open<AcDbHatch>(id)->numPatternDefinitions(), 0);
    ASSERT_NE(copy, nullptr);
    host::DxfItemFiler out(&db);
    ASSERT_EQ(copy->dxfOutFields(&out), Acad::eOk);
    const host::DxfItemList items = out.takeItems();
    EXPECT_NE(std::find(items.begin(), items.end(), host::DxfItem{78, std::int64_t{1}}),
              items.end());
}

TEST_F(DxfReaderFile, AKnownKindWithoutItsSubclassMarkersIsKeptAsItCame) {
    // As the host writes a release-12 ATTDEF its class refused: AcDbEntity's marker only.
    const std::string attdef =
        "0\nATTDEF\n5\n2F0\n330\n1F\n100\nAcDbEntity\n8\n0\n10\n0.0\n"
        "20\n1.0\n30\n0.0\n40\n0.5\n1\n\n3\nNumber?\n2\nNUMBER\n40\n0\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().entities(attdef).str()), Acad::eOk) << message();
    auto kept = open<AcDbRawEntity>(idOfHandle(db, L"2F0"));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->dxfName(), L"ATTDEF");
}

TEST_F(DxfReaderFile, OnlyUnmodelledPolylinesAndInsertsOwnTheEntitiesAfterThem) {
    const std::string xline =
        "0\nXLINE\n5\n300\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbXline\n"
        "10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n";
    const std::string vertex =
        "0\nVERTEX\n5\n301\n330\n1F\n100\nAcDbEntity\n8\n0\n100\n"
        "AcDbVertex\n100\nAcDb2dVertex\n10\n1\n20\n1\n30\n0\n";
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, DrawingText().entities(xline + vertex).str()), Acad::eOk) << message();
    EXPECT_EQ(entityHandles(db.modelSpaceId()), (std::vector<std::wstring>{L"300", L"301"}));
    auto stray = open<AcDbEntity>(idOfHandle(db, L"301"));
    EXPECT_EQ(stray->ownerId(), db.modelSpaceId());
}

TEST_F(DxfReaderFile, TextsDecodeCaretNotation) {
    const std::string text =
        DrawingText()
            .entities(
                "0\nLINE\n5\n1A5\n330\n1F\n100\nAcDbEntity\n8\n0\n100\nAcDbLine\n10\n0\n20\n"
                "0\n30\n0\n11\n1\n21\n1\n31\n0\n1001\nACAD\n1000\none^Jtwo^Ithree ^ 2^3 ^\n")
            .str();
    AcDbDatabase db(false, true);
    ASSERT_EQ(readText(db, text), Acad::eOk) << message();
    auto line = open<AcDbLine>(idOfHandle(db, L"1A5"));
    resbuf* xdata = line->xData(L"ACAD");
    ASSERT_NE(xdata, nullptr);
    ASSERT_NE(xdata->rbnext, nullptr);
    EXPECT_EQ(std::wstring(xdata->rbnext->resval.rstring), L"one\ntwo\tthree ^ 2^3 ^");
    acutRelRb(xdata);
}

TEST_F(DxfReaderFile, AReadReplacesTheDatabasesObjectsAndDropsItsUndo) {
    AcDbDatabase db(true, false);
    AcDbObjectId formerLayer = db.layerZero();
    {
        auto layer = open<AcDbLayerTableRecord>(formerLayer, AcDb::kForWrite);
        layer->setIsOff(true);
    }
    ASSERT_GT(db.undoController()->undoDepth(), 0);
    ASSERT_EQ(readText(db, DrawingText().str()), Acad::eOk) << message();
    EXPECT_FALSE(formerLayer.isValid());
    EXPECT_EQ(db.layerZero(), idOfHandle(db, L"10"));
    EXPECT_EQ(db.undoController()->undoDepth(), 0);
    EXPECT_TRUE(db.undoRecording());
}

}  // namespace
