// AcDbXrecord: lists of every value class copied in and out, items it cannot hold refused with
// the record unchanged, references kept as ids, undo of a replaced list, and filing both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "tests/host/db/tables_fixture.h"

namespace {

using tables_test::Held;
using tables_test::open;

// Releases a chain when the test ends.
struct ChainDeleter {
    void operator()(resbuf* rb) const { acutRelRb(rb); }
};
using Chain = std::unique_ptr<resbuf, ChainDeleter>;

class XrecordTest : public tables_test::DatabaseTest {
protected:
    // A new Xrecord "REC" under the named object dictionary, returned open for write.
    Held<AcDbXrecord> makeRecord() {
        auto nod = open<AcDbDictionary>(db()->namedObjectsDictionaryId(), AcDb::kForWrite);
        auto* record = new AcDbXrecord();
        AcDbObjectId id;
        EXPECT_EQ(nod->setAt(L"REC", record, id), Acad::eOk);
        return Held<AcDbXrecord>(record);
    }

    // One item of every value class an Xrecord holds, a reference to the layer table included.
    Chain everyClass() const {
        static const unsigned char bytes[] = {0, 1, 2, 0xFE, 0xFF};
        const ads_binary chunk{static_cast<short>(sizeof bytes),
                               reinterpret_cast<char*>(const_cast<unsigned char*>(bytes))};
        const double point[3] = {1.5, -2.0, 3.25};
        ads_name layerTable = {0, 0};
        EXPECT_EQ(acdbGetAdsName(layerTable, db()->layerTableId()), Acad::eOk);
        return Chain(acutBuildList(1, L"text", 10, point, 40, 2.5, 70, 7, 90, 123456L, 160,
                                   std::int64_t{1} << 40, 290, 1, 310, &chunk, 340, layerTable, 300,
                                   L"group 300", 0));
    }
};

TEST_F(XrecordTest, XrecordCopiesListsOfEveryValueClass) {
    auto record = makeRecord();
    Chain input = everyClass();
    ASSERT_NE(input, nullptr);
    ASSERT_EQ(record->setFromRbChain(*input), Acad::eOk);

    resbuf* out = nullptr;
    ASSERT_EQ(record->rbChain(out), Acad::eOk);
    Chain output(out);
    ASSERT_NE(output.get(), input.get());
    const resbuf* a = input.get();
    const resbuf* b = output.get();
    for (; a != nullptr && b != nullptr; a = a->rbnext, b = b->rbnext) {
        ASSERT_EQ(a->restype, b->restype);
    }
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(b, nullptr);

    const resbuf* item = output.get();
    EXPECT_STREQ(item->resval.rstring, L"text");
    item = item->rbnext;
    EXPECT_EQ(item->resval.rpoint[2], 3.25);
    item = item->rbnext;
    EXPECT_EQ(item->resval.rreal, 2.5);
    item = item->rbnext;
    EXPECT_EQ(item->resval.rint, 7);
    item = item->rbnext;
    EXPECT_EQ(item->resval.rlong, 123456);
    item = item->rbnext;
    EXPECT_EQ(item->resval.mnInt64, std::int64_t{1} << 40);
    item = item->rbnext;
    EXPECT_EQ(item->resval.rint, 1);
    item = item->rbnext;
    ASSERT_EQ(item->resval.rbinary.clen, 5);
    EXPECT_EQ(std::memcmp(item->resval.rbinary.buf, "\0\1\2\xFE\xFF", 5), 0);
    item = item->rbnext;
    AcDbObjectId reference;
    ASSERT_EQ(acdbGetObjectId(reference, item->resval.rlname), Acad::eOk);
    EXPECT_EQ(reference, db()->layerTableId());
    EXPECT_STREQ(item->rbnext->resval.rstring, L"group 300");

    // The record keeps its own copy: changing the caller's list changes nothing.
    acutRbSetString(input.get(), L"changed");
    ASSERT_EQ(record->rbChain(out), Acad::eOk);
    Chain again(out);
    EXPECT_STREQ(again->resval.rstring, L"text");
}

TEST_F(XrecordTest, XrecordRefusesItemsItCannotHold) {
    auto record = makeRecord();
    Chain kept(acutBuildList(1, L"kept", 0));
    ASSERT_EQ(record->setFromRbChain(*kept), Acad::eOk);

    const unsigned char big[AcDbXrecord::kMaxChunkBytes + 1] = {};
    const ads_binary tooLong{static_cast<short>(sizeof big),
                             reinterpret_cast<char*>(const_cast<unsigned char*>(big))};
    const struct {
        Chain list;
        Acad::ErrorStatus status;
    } refused[] = {
        {Chain(acutBuildList(1, L"ok", 1000, L"xdata", 0)), Acad::eInvalidDxfCode},
        {Chain(acutBuildList(RTSTR, L"result type", 0)), Acad::eInvalidDxfCode},
        {Chain(acutBuildList(5, L"1F", 0)), Acad::eInvalidDxfCode},
        {Chain(acutBuildList(100, L"AcDbFake", 0)), Acad::eInvalidDxfCode},
        {Chain(acutBuildList(40, 1.0, 310, &tooLong, 0)), Acad::eInvalidResBuf},
    };
    for (const auto& [list, status] : refused) {
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(record->setFromRbChain(*list), status);
        resbuf* out = nullptr;
        ASSERT_EQ(record->rbChain(out), Acad::eOk);
        Chain current(out);
        ASSERT_NE(current, nullptr);
        EXPECT_STREQ(current->resval.rstring, L"kept");
        EXPECT_EQ(current->rbnext, nullptr);
    }
}

TEST_F(XrecordTest, XrecordEmptyListEmptiesTheRecord) {
    auto record = makeRecord();
    Chain one(acutBuildList(1, L"one", 0));
    ASSERT_EQ(record->setFromRbChain(*one), Acad::eOk);
    ASSERT_EQ(record->setFromRbChain(nullptr), Acad::eOk);
    resbuf* out = reinterpret_cast<resbuf*>(&out);
    ASSERT_EQ(record->rbChain(out), Acad::eOk);
    EXPECT_EQ(out, nullptr);
}

TEST_F(XrecordTest, XrecordNeedsWriteAndUndoesAReplacedList) {
    AcDbObjectId id;
    {
        auto record = makeRecord();
        id = record->objectId();
        Chain first(acutBuildList(1, L"first", 0));
        ASSERT_EQ(record->setFromRbChain(*first), Acad::eOk);
    }
    ASSERT_EQ(host::beginCommand(L"REPLACE"), Acad::eOk);
    {
        auto record = open<AcDbXrecord>(id, AcDb::kForWrite);
        Chain second(acutBuildList(70, 2, 0));
        ASSERT_EQ(record->setFromRbChain(*second), Acad::eOk);
    }
    ASSERT_EQ(host::endCommand(), Acad::eOk);
    {
        auto record = open<AcDbXrecord>(id, AcDb::kForRead);
        Chain third(acutBuildList(1, L"third", 0));
        EXPECT_EQ(record->setFromRbChain(*third), Acad::eNotOpenForWrite);
    }
    ASSERT_EQ(host::undo(1), Acad::eOk);
    auto record = open<AcDbXrecord>(id, AcDb::kForRead);
    resbuf* out = nullptr;
    ASSERT_EQ(record->rbChain(out), Acad::eOk);
    Chain restored(out);
    ASSERT_NE(restored, nullptr);
    EXPECT_EQ(restored->restype, 1);
    EXPECT_STREQ(restored->resval.rstring, L"first");
}

TEST_F(XrecordTest, XrecordFilesBothWays) {
    auto record = makeRecord();
    Chain input = everyClass();
    ASSERT_EQ(record->setFromRbChain(*input), Acad::eOk);

    AcDbXrecord dwgCopy;
    ASSERT_EQ(tables_test::dwgCopy(*record, dwgCopy), Acad::eOk);
    const host::DxfItemList items = tables_test::stateItems(*record, db());
    EXPECT_EQ(tables_test::stateItems(dwgCopy, db()), items);

    auto marker = std::find(items.begin(), items.end(), tables_test::text(100, L"AcDbXrecord"));
    ASSERT_NE(marker, items.end());
    ASSERT_EQ(items.end() - marker, 12);
    EXPECT_EQ(marker[1], tables_test::integer(280, 1));
    EXPECT_EQ(marker[2], tables_test::text(1, L"text"));
    EXPECT_EQ(marker[10], (host::DxfItem{340, db()->layerTableId()}));

    AcDbXrecord dxfCopy;
    ASSERT_EQ(tables_test::dxfRead(dxfCopy, items, db()), Acad::eOk);
    EXPECT_EQ(tables_test::stateItems(dxfCopy, db()), items);
}

TEST_F(XrecordTest, XrecordDxfReadRefusesForeignGroups) {
    AcDbXrecord target;
    const host::DxfItemList list{tables_test::text(100, L"AcDbXrecord"),
                                 tables_test::integer(280, 1), tables_test::text(1, L"fine"),
                                 tables_test::text(105, L"2A")};
    EXPECT_EQ(tables_test::dxfRead(target, list, db()), Acad::eInvalidDxfCode);
    resbuf* out = nullptr;
    ASSERT_EQ(target.rbChain(out), Acad::eOk);
    EXPECT_EQ(out, nullptr);
    // A list without the cloning flag reads too: 280 is optional.
    const host::DxfItemList plain{tables_test::text(100, L"AcDbXrecord"),
                                  tables_test::real(40, 0.5)};
    ASSERT_EQ(tables_test::dxfRead(target, plain, db()), Acad::eOk);
    ASSERT_EQ(target.rbChain(out), Acad::eOk);
    Chain read(out);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->restype, 40);
    EXPECT_EQ(read->resval.rreal, 0.5);
}

}  // namespace
