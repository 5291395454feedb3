// Filing round trips of the classes the core owns (AcDbObject's base data, AcDbEntity) and of a
// client-defined class, both ways through both filers; acdbEntGet built from the same filing.
#include <gtest/gtest.h>

#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "tests/host/db/db_fixture.h"

namespace {

using dbtest::DbTest;
using dbtest::DbTestMarker;
using dbtest::Note;
using host::DxfItem;
using host::DxfItemList;

struct List {
    explicit List(resbuf* rb) : head(rb) {}
    ~List() { acutRelRb(head); }
    resbuf* head;
};

DxfItemList dxfOf(const AcDbObject& object, AcDbDatabase* db) {
    host::DxfItemFiler filer(db);
    EXPECT_EQ(object.dxfOutFields(&filer), Acad::eOk) << wideToUtf8(filer.errorMessage());
    return filer.takeItems();
}

const DxfItem* find(const DxfItemList& items, int code) {
    for (const DxfItem& item : items) {
        if (item.code == code) {
            return &item;
        }
    }
    return nullptr;
}

TEST_F(DbTest, DbBaseDataFilesOwnerAndExtensionDictionary) {
    const AcDbObjectId owner = addNote(L"owner");
    const AcDbObjectId id = addNote(L"owned");
    dbtest::Held<Note> note = dbtest::open<Note>(id, AcDb::kForWrite);
    ASSERT_EQ(note->setOwnerId(owner), Acad::eOk);
    ASSERT_EQ(note->createExtensionDictionary(), Acad::eOk);
    EXPECT_EQ(note->createExtensionDictionary(), Acad::eAlreadyInDb);

    const DxfItemList items = dxfOf(*note, db());
    ASSERT_GE(items.size(), 6u);
    EXPECT_EQ(items[0].code, 5);
    EXPECT_EQ(items[0].text(), id.handle().text());
    EXPECT_EQ(items[1].text(), L"{ACAD_XDICTIONARY");
    EXPECT_EQ(items[2].id(), note->extensionDictionary());
    EXPECT_EQ(items[3].text(), L"}");
    EXPECT_EQ(items[4].code, 330);
    EXPECT_EQ(items[4].id(), owner);

    Note copy;
    host::DxfItemFiler in(items, db());
    ASSERT_EQ(copy.dxfInFields(&in), Acad::eOk);
    EXPECT_EQ(copy.ownerId(), owner);
    EXPECT_EQ(copy.extensionDictionary(), note->extensionDictionary());
    EXPECT_EQ(copy.text(), L"owned");

    // A copy filer leaves owner and dictionary out; an undo filer keeps them.
    auto* clone = static_cast<Note*>(note->clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_TRUE(clone->ownerId().isNull());
    EXPECT_TRUE(clone->extensionDictionary().isNull());
    EXPECT_EQ(clone->text(), L"owned");
    delete clone;
    host::DwgMemoryFiler undoFiler(AcDb::kUndoFiler, db());
    ASSERT_EQ(note->dwgOutFields(&undoFiler), Acad::eOk);
    undoFiler.rewind();
    Note restored;
    ASSERT_EQ(restored.dwgInFields(&undoFiler), Acad::eOk);
    EXPECT_EQ(restored.ownerId(), owner);
    EXPECT_EQ(restored.extensionDictionary(), note->extensionDictionary());
}

TEST_F(DbTest, DbBaseDataReadsForeignGroupsAndRefusesBrokenOnes) {
    Note note;
    host::DxfItemFiler good(DxfItemList{{5, std::wstring(L"2A")},
                                        {102, std::wstring(L"{ACAD_REACTORS")},
                                        {330, AcDbObjectId()},
                                        {102, std::wstring(L"}")},
                                        {330, AcDbObjectId()},
                                        {100, std::wstring(L"DbTestNote")},
                                        {90, std::int64_t{1}},
                                        {1, std::wstring(L"read")}},
                            db());
    ASSERT_EQ(note.dxfInFields(&good), Acad::eOk);
    EXPECT_EQ(note.text(), L"read");
    host::DxfItemFiler unclosed(
        DxfItemList{{102, std::wstring(L"{ACAD_XDICTIONARY")}, {360, AcDbObjectId()}}, db());
    EXPECT_EQ(note.dxfInFields(&unclosed), Acad::eBadDxfSequence);
    EXPECT_STRNE(unclosed.errorMessage(), L"");
    host::DxfItemFiler stray(DxfItemList{{102, std::wstring(L"}")}}, db());
    EXPECT_EQ(note.dxfInFields(&stray), Acad::eBadDxfSequence);
}

TEST_F(DbTest, DbAClientClassFilesItsVersionAndRefusesNewerOnes) {
    Note note;
    note.setText(L"current");
    const DxfItemList items = dxfOf(note, db());
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[1].text(), L"DbTestNote");
    EXPECT_EQ(items[2].code, 90);
    EXPECT_EQ(items[3].text(), L"current");

    Note target;
    DxfItemList twoTexts = items;
    twoTexts.push_back({1, std::wstring(L"second")});
    host::DxfItemFiler twice(twoTexts, db());
    ASSERT_EQ(target.dxfInFields(&twice), Acad::eOk);
    EXPECT_EQ(target.text(), L"second");

    DxfItemList noVersion = items;
    noVersion.erase(noVersion.begin() + 2);
    host::DxfItemFiler missing(noVersion, db());
    EXPECT_EQ(target.dxfInFields(&missing), Acad::eMissingDxfField);
    EXPECT_STREQ(missing.errorMessage(), L"\nError: expected group code 90 (version #)");
    EXPECT_EQ(target.text(), L"second");

    DxfItemList newer = items;
    newer[2].value = std::int64_t{2};
    host::DxfItemFiler future(newer, db());
    EXPECT_EQ(target.dxfInFields(&future), Acad::eNewerObjectVersion);
    EXPECT_EQ(target.text(), L"second");

    host::DwgMemoryFiler dwg;
    dwg.writeSoftPointerId(AcDbObjectId());
    dwg.writeHardOwnershipId(AcDbObjectId());
    dwg.writeInt32(0);
    dwg.writeUInt32(2);
    dwg.writeString(L"from the future");
    dwg.rewind();
    dwg.setFilerStatus(Acad::eOk);
    host::DwgMemoryFiler undoKind(dwg.takeBytes(), AcDb::kUndoFiler);
    EXPECT_EQ(target.dwgInFields(&undoKind), Acad::eNewerObjectVersion);
    EXPECT_EQ(target.text(), L"second");
}

TEST_F(DbTest, DbXDataTravelsThroughEveryFiling) {
    ASSERT_EQ(acdbRegApp(L"FILEAPP"), RTNORM);
    const AcDbObjectId id = addNote(L"x");
    dbtest::Held<Note> note = dbtest::open<Note>(id, AcDb::kForWrite);
    List xdata(acutBuildList(1001, L"FILEAPP", 1000, L"v", 1070, 3, 0));
    ASSERT_EQ(note->setXData(xdata.head), Acad::eOk);

    auto* clone = static_cast<Note*>(note->clone());
    List cloned(clone->xData(L"FILEAPP"));
    EXPECT_EQ(acutRbChainLength(cloned.head), 3);
    delete clone;

    host::DxfItemFiler out(db());
    ASSERT_EQ(note->dxfOut(&out), Acad::eOk);
    const DxfItemList items = out.takeItems();
    EXPECT_EQ(items.front().code, 0);
    EXPECT_EQ(items.front().text(), L"DBTESTNOTE");
    EXPECT_EQ(items[items.size() - 3].code, 1001);
    Note target;
    host::DxfItemFiler in(items, db());
    ASSERT_EQ(target.dxfIn(&in), Acad::eOk);
    List read(target.xData(L"FILEAPP"));
    ASSERT_EQ(acutRbChainLength(read.head), 3);
    EXPECT_EQ(read.head->rbnext->rbnext->resval.rint, 3);

    DxfItemList badTail = items;
    badTail.push_back({8, std::wstring(L"0")});
    host::DxfItemFiler bad(badTail, db());
    Note refused;
    EXPECT_EQ(refused.dxfIn(&bad), Acad::eInvalidDxfCode);
    DxfItemList unregistered = items;
    unregistered[unregistered.size() - 3].value = std::wstring(L"NOSUCHAPP");
    host::DxfItemFiler unknownApp(unregistered, db());
    EXPECT_EQ(refused.dxfIn(&unknownApp), Acad::eUnregisteredApplication);
    EXPECT_EQ(refused.xData(), nullptr);
}

class EntityFilingTest : public DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        m_marker = addMarker(4.0);
        m_walls =
            testsupport::addRecord<AcDbLayerTable>(db(), new AcDbLayerTableRecord(), L"Walls");
    }
    AcDbObjectId m_marker;
    AcDbObjectId m_walls;
};

TEST_F(EntityFilingTest, DbEntityPropertiesWriteTheirGroups) {
    dbtest::Held<DbTestMarker> marker = dbtest::open<DbTestMarker>(m_marker, AcDb::kForWrite);
    EXPECT_EQ(marker->layerId(), db()->clayer());
    EXPECT_EQ(marker->blockId(), db()->modelSpaceId());
    DxfItemList plain = dxfOf(*marker, db());
    ASSERT_NE(find(plain, 8), nullptr);
    EXPECT_EQ(find(plain, 8)->text(), L"0");
    EXPECT_EQ(find(plain, 6), nullptr);
    EXPECT_EQ(find(plain, 62), nullptr);
    EXPECT_EQ(find(plain, 60), nullptr);
    EXPECT_EQ(find(plain, 330)->id(), db()->modelSpaceId());

    ASSERT_EQ(marker->setLayer(L"walls"), Acad::eOk);
    ASSERT_EQ(marker->setLinetype(L"Continuous"), Acad::eOk);
    ASSERT_EQ(marker->setColorIndex(5), Acad::eOk);
    ASSERT_EQ(marker->setVisibility(AcDb::kInvisible), Acad::eOk);
    EXPECT_EQ(marker->layer(), L"Walls");
    const DxfItemList items = dxfOf(*marker, db());
    EXPECT_EQ(find(items, 8)->text(), L"Walls");
    EXPECT_EQ(find(items, 6)->text(), L"Continuous");
    EXPECT_EQ(find(items, 62)->integer(), 5);
    EXPECT_EQ(find(items, 60)->integer(), 1);
    EXPECT_EQ(find(items, 10)->point(), AcGePoint3d(4, 0, 0));

    DbTestMarker copy;
    host::DxfItemFiler in(items, db());
    ASSERT_EQ(copy.dxfInFields(&in), Acad::eOk);
    EXPECT_EQ(copy.layerId(), m_walls);
    EXPECT_EQ(copy.linetypeId(), db()->continuousLinetype());
    EXPECT_EQ(copy.colorIndex(), 5);
    EXPECT_EQ(copy.visibility(), AcDb::kInvisible);
    EXPECT_EQ(copy.position(), AcGePoint3d(4, 0, 0));

    auto* clone = static_cast<DbTestMarker*>(marker->clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->layerId(), m_walls);
    EXPECT_EQ(clone->colorIndex(), 5);
    EXPECT_EQ(clone->position(), AcGePoint3d(4, 0, 0));
    delete clone;
}

TEST_F(EntityFilingTest, DbATrueColourRoundTrips) {
    dbtest::Held<DbTestMarker> marker = dbtest::open<DbTestMarker>(m_marker, AcDb::kForWrite);
    AcCmColor rgb;
    rgb.setRGB(10, 20, 30);
    ASSERT_EQ(marker->setColor(rgb), Acad::eOk);
    const DxfItemList items = dxfOf(*marker, db());
    EXPECT_EQ(find(items, 420)->integer(), (10 << 16) | (20 << 8) | 30);
    DbTestMarker copy;
    host::DxfItemFiler in(items, db());
    ASSERT_EQ(copy.dxfInFields(&in), Acad::eOk);
    EXPECT_EQ(copy.color(), rgb);
}

TEST_F(EntityFilingTest, DbReadingAnUnknownLayerAddsItAndOtherGroupsAreSkipped) {
    DbTestMarker marker;
    host::DxfItemFiler in(DxfItemList{{100, std::wstring(L"AcDbEntity")},
                                      {8, std::wstring(L"Fresh")},
                                      {370, std::int64_t{25}},
                                      {100, std::wstring(L"DbTestMarker")},
                                      {10, AcGePoint3d(1, 1, 0)}},
                          db());
    ASSERT_EQ(marker.dxfInFields(&in), Acad::eOk);
    EXPECT_EQ(marker.layer(), L"Fresh");
    EXPECT_EQ(marker.linetypeId(), db()->byLayerLinetype());
    EXPECT_EQ(marker.colorIndex(), 256);
}

TEST_F(EntityFilingTest, DbBrokenEntityGroupsAreRefusedWithAMessage) {
    DbTestMarker marker;
    host::DxfItemFiler noMarker(DxfItemList{{8, std::wstring(L"0")}}, db());
    EXPECT_EQ(marker.dxfInFields(&noMarker), Acad::eBadDxfSequence);
    host::DxfItemFiler badLinetype(
        DxfItemList{{100, std::wstring(L"AcDbEntity")}, {6, std::wstring(L"NoSuchType")}}, db());
    EXPECT_EQ(marker.dxfInFields(&badLinetype), Acad::eKeyNotFound);
    EXPECT_NE(std::wstring(badLinetype.errorMessage()).find(L"NoSuchType"), std::wstring::npos);
    host::DxfItemFiler badColour(
        DxfItemList{{100, std::wstring(L"AcDbEntity")}, {62, std::int64_t{300}}}, db());
    EXPECT_EQ(marker.dxfInFields(&badColour), Acad::eInvalidInput);
    EXPECT_EQ(marker.colorIndex(), 256);
}

TEST_F(EntityFilingTest, DbEntitySettersRefuseBadRecords) {
    const AcDbObjectId note = addNote(L"not a layer");
    AcDbDatabase other(true, true);
    dbtest::Held<DbTestMarker> marker = dbtest::open<DbTestMarker>(m_marker, AcDb::kForWrite);
    EXPECT_EQ(marker->setLayer(L"Missing"), Acad::eKeyNotFound);
    EXPECT_EQ(marker->setLayer(static_cast<const ACHAR*>(nullptr)), Acad::eNullPtr);
    EXPECT_EQ(marker->setLayer(note), Acad::eNotThatKindOfClass);
    EXPECT_EQ(marker->setLayer(AcDbObjectId::kNull), Acad::eNullObjectId);
    EXPECT_EQ(marker->setLayer(other.layerZero()), Acad::eWrongDatabase);
    EXPECT_EQ(marker->setLinetype(m_walls), Acad::eNotThatKindOfClass);
    EXPECT_EQ(marker->setColorIndex(258), Acad::eOutOfRange);
    EXPECT_EQ(marker->setVisibility(static_cast<AcDb::Visibility>(4)), Acad::eInvalidInput);
    EXPECT_EQ(marker->layerId(), db()->clayer());
    EXPECT_EQ(marker->colorIndex(), 256);
    marker.reset();
    dbtest::Held<DbTestMarker> reader = dbtest::open<DbTestMarker>(m_marker, AcDb::kForRead);
    EXPECT_EQ(reader->setLayer(m_walls), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->setColorIndex(1), Acad::eNotOpenForWrite);
}

TEST_F(EntityFilingTest, DbSetLayerAcceptsALayerOpenForWriteElsewhere) {
    dbtest::Held<AcDbLayerTable> table =
        dbtest::open<AcDbLayerTable>(db()->layerTableId(), AcDb::kForWrite);
    dbtest::Held<AcDbLayerTableRecord> layer =
        dbtest::open<AcDbLayerTableRecord>(m_walls, AcDb::kForWrite);
    dbtest::Held<DbTestMarker> marker = dbtest::open<DbTestMarker>(m_marker, AcDb::kForWrite);
    EXPECT_EQ(marker->setLayer(m_walls), Acad::eOk);
    EXPECT_EQ(marker->layer(), L"Walls");
    EXPECT_EQ(marker->setLayer(L"0"), Acad::eOk);
    EXPECT_EQ(marker->layerId(), db()->layerZero());
}

TEST_F(EntityFilingTest, DbEntGetListsTheObjectAsItsFilingWritesIt) {
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, m_marker), Acad::eOk);
    List list(acdbEntGet(name));
    ASSERT_NE(list.head, nullptr);
    const resbuf* rb = list.head;
    EXPECT_EQ(rb->restype, -1);
    EXPECT_EQ(rb->resval.rlname[1], name[1]);
    rb = rb->rbnext;
    EXPECT_EQ(rb->restype, 0);
    EXPECT_STREQ(rb->resval.rstring, L"DBTESTMARKER");
    rb = rb->rbnext;
    EXPECT_EQ(rb->restype, 5);
    EXPECT_EQ(std::wstring(rb->resval.rstring), m_marker.handle().text());
    rb = rb->rbnext;
    EXPECT_EQ(rb->restype, 330);
    AcDbObjectId owner;
    ASSERT_EQ(acdbGetObjectId(owner, rb->resval.rlname), Acad::eOk);
    EXPECT_EQ(owner, db()->modelSpaceId());
    rb = rb->rbnext;
    EXPECT_EQ(rb->restype, 100);
    EXPECT_STREQ(rb->resval.rstring, L"AcDbEntity");

    // The same list reads back through the resbuf filer.
    DbTestMarker copy;
    host::DxfResbufFiler in(list.head, db());
    ASSERT_EQ(copy.dxfIn(&in), Acad::eOk);
    EXPECT_EQ(copy.position(), AcGePoint3d(4, 0, 0));
    EXPECT_EQ(copy.ownerId(), db()->modelSpaceId());
}

TEST_F(EntityFilingTest, DbEntGetXAddsTheRequestedXData) {
    ASSERT_EQ(acdbRegApp(L"ONE"), RTNORM);
    ASSERT_EQ(acdbRegApp(L"TWO"), RTNORM);
    {
        dbtest::Held<DbTestMarker> marker = dbtest::open<DbTestMarker>(m_marker, AcDb::kForWrite);
        List xdata(acutBuildList(1001, L"ONE", 1070, 1, 1001, L"TWO", 1070, 2, 0));
        ASSERT_EQ(marker->setXData(xdata.head), Acad::eOk);
    }
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, m_marker), Acad::eOk);
    List plain(acdbEntGet(name));
    for (const resbuf* rb = plain.head; rb != nullptr; rb = rb->rbnext) {
        EXPECT_NE(rb->restype, -3);
    }
    List apps(acutBuildList(RTSTR, L"TWO", 0));
    List withTwo(acdbEntGetX(name, apps.head));
    const resbuf* rb = withTwo.head;
    while (rb != nullptr && rb->restype != -3) {
        rb = rb->rbnext;
    }
    ASSERT_NE(rb, nullptr);
    ASSERT_NE(rb->rbnext, nullptr);
    EXPECT_STREQ(rb->rbnext->resval.rstring, L"TWO");
    EXPECT_EQ(acutRbChainLength(rb), 3);
    List star(acutBuildList(RTSTR, L"*", 0));
    List all(acdbEntGetX(name, star.head));
    EXPECT_EQ(acutRbChainLength(all.head), acutRbChainLength(plain.head) + 5);
}

TEST_F(EntityFilingTest, DbEntGetRefusesWhatItCannotList) {
    const std::int64_t nothing[2] = {0, 0};
    EXPECT_EQ(acdbEntGet(nothing), nullptr);
    EXPECT_EQ(acdbEntGet(nullptr), nullptr);
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, m_marker), Acad::eOk);
    {
        dbtest::Held<DbTestMarker> writer = dbtest::open<DbTestMarker>(m_marker, AcDb::kForWrite);
        EXPECT_EQ(acdbEntGet(name), nullptr);
        writer->erase();
    }
    EXPECT_EQ(acdbEntGet(name), nullptr);
}

}  // namespace
