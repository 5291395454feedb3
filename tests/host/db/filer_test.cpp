// The filers themselves: the memory DWG filer's typed values and its checks, the DXF filer's
// reading with push-back, subclass markers, errors and the two list implementations.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/host/db/db_fixture.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/resbuf.h"

namespace {

using dbtest::DbTest;
using host::DxfItem;

TEST(DbDwgFilerTest, DbEveryKindOfValueRoundTrips) {
    host::DwgMemoryFiler out(AcDb::kUndoFiler);
    const char bytes[4] = {9, 8, 7, 6};
    out.writeBool(true);
    out.writeInt8(-8);
    out.writeInt16(-16000);
    out.writeInt32(-2000000000);
    out.writeInt64(-(std::int64_t{1} << 40));
    out.writeUInt8(200);
    out.writeUInt16(60000);
    out.writeUInt32(4000000000u);
    out.writeUInt64(~std::uint64_t{0});
    out.writeDouble(0.1);
    out.writePoint2d(AcGePoint2d(1, 2));
    out.writePoint3d(AcGePoint3d(1, 2, 3));
    out.writeVector2d(AcGeVector2d(3, 4));
    out.writeVector3d(AcGeVector3d(4, 5, 6));
    out.writeScale3d(AcGeScale3d(2, 3, 4));
    out.writeString(L"wide \u00e9");
    out.writeString(static_cast<const ACHAR*>(nullptr));
    out.writeBChunk(ads_binary{4, const_cast<char*>(bytes)});
    out.writeBytes(bytes, 3);
    out.writeDbHandle(AcDbHandle(0xABCu));
    ASSERT_EQ(out.filerStatus(), Acad::eOk);

    host::DwgMemoryFiler in(out.takeBytes(), AcDb::kUndoFiler);
    EXPECT_EQ(out.size(), 0u);
    bool b = false;
    Adesk::Int8 i8 = 0;
    Adesk::Int16 i16 = 0;
    Adesk::Int32 i32 = 0;
    Adesk::Int64 i64 = 0;
    Adesk::UInt8 u8 = 0;
    Adesk::UInt16 u16 = 0;
    Adesk::UInt32 u32 = 0;
    Adesk::UInt64 u64 = 0;
    double d = 0;
    AcGePoint2d p2;
    AcGePoint3d p3;
    AcGeVector2d v2;
    AcGeVector3d v3;
    AcGeScale3d s3;
    std::wstring text;
    ACHAR* empty = nullptr;
    ads_binary chunk{0, nullptr};
    char raw[3] = {};
    AcDbHandle handle;
    in.readBool(&b);
    in.readInt8(&i8);
    in.readInt16(&i16);
    in.readInt32(&i32);
    in.readInt64(&i64);
    in.readUInt8(&u8);
    in.readUInt16(&u16);
    in.readUInt32(&u32);
    in.readUInt64(&u64);
    in.readDouble(&d);
    in.readPoint2d(&p2);
    in.readPoint3d(&p3);
    in.readVector2d(&v2);
    in.readVector3d(&v3);
    in.readScale3d(&s3);
    in.readString(text);
    in.readString(&empty);
    in.readBChunk(&chunk);
    in.readBytes(raw, 3);
    in.readDbHandle(&handle);
    ASSERT_EQ(in.filerStatus(), Acad::eOk);
    EXPECT_TRUE(in.atEnd());
    EXPECT_TRUE(b);
    EXPECT_EQ(i8, -8);
    EXPECT_EQ(i16, -16000);
    EXPECT_EQ(i32, -2000000000);
    EXPECT_EQ(i64, -(std::int64_t{1} << 40));
    EXPECT_EQ(u8, 200);
    EXPECT_EQ(u16, 60000);
    EXPECT_EQ(u32, 4000000000u);
    EXPECT_EQ(u64, ~std::uint64_t{0});
    EXPECT_EQ(d, 0.1);
    EXPECT_EQ(p2, AcGePoint2d(1, 2));
    EXPECT_EQ(p3, AcGePoint3d(1, 2, 3));
    EXPECT_EQ(v2, AcGeVector2d(3, 4));
    EXPECT_EQ(v3, AcGeVector3d(4, 5, 6));
    EXPECT_EQ(s3.sz, 4.0);
    EXPECT_EQ(text, L"wide \u00e9");
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, L"");
    acutDelString(empty);
    ASSERT_EQ(chunk.clen, 4);
    EXPECT_EQ(std::memcmp(chunk.buf, bytes, 4), 0);
    std::free(chunk.buf);
    EXPECT_EQ(std::memcmp(raw, bytes, 3), 0);
    EXPECT_EQ(handle.value(), 0xABCu);
}

TEST(DbDwgFilerTest, DbAReadOfAnotherKindFailsAndSticks) {
    host::DwgMemoryFiler filer;
    filer.writeInt32(5);
    filer.writeInt32(6);
    filer.rewind();
    Adesk::Int16 small = 77;
    EXPECT_EQ(filer.readInt16(&small), Acad::eFilerTypeMismatch);
    EXPECT_EQ(small, 77);
    Adesk::Int32 value = 0;
    EXPECT_EQ(filer.readInt32(&value), Acad::eFilerTypeMismatch);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(filer.writeInt32(1), Acad::eFilerTypeMismatch);
    filer.rewind();
    EXPECT_EQ(filer.readInt32(&value), Acad::eOk);
    char buffer[8];
    EXPECT_EQ(filer.readBytes(buffer, 4), Acad::eFilerTypeMismatch);
}

TEST(DbDwgFilerTest, DbReadingPastTheEndAndWrongSizesFail) {
    host::DwgMemoryFiler filer;
    filer.writeBytes("abc", 3);
    filer.rewind();
    char buffer[4] = {};
    EXPECT_EQ(filer.readBytes(buffer, 4), Acad::eFilerTypeMismatch);
    filer.rewind();
    ASSERT_EQ(filer.readBytes(buffer, 3), Acad::eOk);
    double d = 1;
    EXPECT_EQ(filer.readDouble(&d), Acad::eEndOfFile);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(filer.readDouble(nullptr), Acad::eNullPtr);
    host::DwgMemoryFiler truncated(std::vector<unsigned char>{16, 5, 0}, AcDb::kCopyFiler);
    std::wstring text = L"kept";
    EXPECT_EQ(truncated.readString(text), Acad::eFilerTypeMismatch);
    EXPECT_EQ(text, L"kept");
}

TEST(DbDwgFilerTest, DbIdsAreKeptPerKind) {
    AcDbDatabase db(false, true);
    auto* note = new dbtest::Note();
    AcDbObjectId id;
    ASSERT_EQ(db.addAcDbObject(id, note), Acad::eOk);
    note->close();
    host::DwgMemoryFiler filer(AcDb::kUndoFiler, &db);
    EXPECT_EQ(filer.database(), &db);
    filer.writeHardOwnershipId(id);
    filer.writeSoftPointerId(id);
    filer.rewind();
    AcDbHardOwnershipId owned;
    AcDbHardPointerId pointer;
    ASSERT_EQ(filer.readHardOwnershipId(&owned), Acad::eOk);
    EXPECT_EQ(owned, id);
    EXPECT_EQ(filer.readHardPointerId(&pointer), Acad::eFilerTypeMismatch);
    EXPECT_TRUE(pointer.isNull());
}

TEST(DbDxfFilerTest, DbTypedWritersCheckTheCodeTable) {
    host::DxfItemFiler filer;
    filer.writeString(1, L"text");
    filer.writeInt16(70, -3);
    filer.writeInt32(90, 70000);
    filer.writeDouble(40, 2.5);
    filer.writePoint3d(10, AcGePoint3d(1, 2, 3));
    filer.writeBool(290, true);
    filer.writeAcDbHandle(5, AcDbHandle(0x1Fu));
    filer.writeBytes(310, "ab", 2);
    filer.writeObjectId(330, AcDbObjectId::kNull);
    ASSERT_EQ(filer.filerStatus(), Acad::eOk);
    const host::DxfItemList& items = filer.items();
    ASSERT_EQ(items.size(), 9u);
    EXPECT_EQ(items[1].integer(), -3);
    EXPECT_EQ(items[4].point(), AcGePoint3d(1, 2, 3));
    EXPECT_EQ(items[6].text(), L"1F");
    EXPECT_EQ(items[7].bytes().size(), 2u);

    EXPECT_EQ(filer.writeString(40, L"not a real"), Acad::eInvalidDxfCode);
    EXPECT_NE(std::wstring(filer.errorMessage()).find(L"40"), std::wstring::npos);
    EXPECT_EQ(filer.writeString(1, L"after"), Acad::eInvalidDxfCode);
    EXPECT_EQ(filer.items().size(), 9u);
    filer.resetFilerStatus();
    EXPECT_EQ(filer.writeInt32(70, 70000), Acad::eInvalidDxfCode);
    filer.resetFilerStatus();
    EXPECT_EQ(filer.writeDouble(2000, 1.0), Acad::eInvalidDxfCode);
    filer.resetFilerStatus();
    EXPECT_EQ(filer.writeBool(290, true), Acad::eOk);
}

TEST(DbDxfFilerTest, DbReadingPushesBackAndFindsSubclassMarkers) {
    host::DxfItemFiler filer(host::DxfItemList{{100, std::wstring(L"AcDbThing")},
                                               {90, std::int64_t{3}},
                                               {1, std::wstring(L"t")},
                                               {0, std::wstring(L"NEXT")}});
    EXPECT_FALSE(filer.atSubclassData(L"AcDbOther"));
    EXPECT_TRUE(filer.atSubclassData(L"AcDbThing"));
    resbuf rb;
    ASSERT_EQ(filer.readItem(&rb), Acad::eOk);
    EXPECT_EQ(rb.restype, 90);
    EXPECT_EQ(rb.resval.rlong, 3);
    EXPECT_TRUE(filer.pushBackItem());
    EXPECT_FALSE(filer.pushBackItem());
    ASSERT_EQ(filer.readItem(&rb), Acad::eOk);
    EXPECT_EQ(rb.restype, 90);
    ASSERT_EQ(filer.readItem(&rb), Acad::eOk);
    EXPECT_STREQ(rb.resval.rstring, L"t");
    EXPECT_TRUE(filer.atEndOfObject());
    EXPECT_FALSE(filer.atEOF());
    DxfItem item;
    ASSERT_EQ(filer.readItem(item), Acad::eOk);
    EXPECT_TRUE(filer.atEOF());
    EXPECT_EQ(filer.readItem(item), Acad::eEndOfFile);
    EXPECT_EQ(filer.filerStatus(), Acad::eOk);
    EXPECT_EQ(item.code, 0);
}

TEST(DbDxfFilerTest, DbSetErrorFormatsAWideMessage) {
    host::DxfItemFiler filer;
    EXPECT_EQ(filer.setError(Acad::eMissingDxfField, L"\nError: expected group code %d (%s)", 90,
                             L"version #"),
              Acad::eMissingDxfField);
    EXPECT_EQ(filer.filerStatus(), Acad::eMissingDxfField);
    EXPECT_STREQ(filer.errorMessage(), L"\nError: expected group code 90 (version #)");
    filer.resetFilerStatus();
    EXPECT_STREQ(filer.errorMessage(), L"");
    EXPECT_EQ(filer.setError(L"plain %d", 1), Acad::eDxfReadFailed);
    DxfItem item;
    EXPECT_EQ(filer.readItem(item), Acad::eDxfReadFailed);
}

TEST_F(DbTest, DbTheResbufFilerTurnsNamesIntoIds) {
    const AcDbObjectId id = addNote(L"named");
    ads_name name;
    ASSERT_EQ(acdbGetAdsName(name, id), Acad::eOk);
    resbuf* list = acutBuildList(330, name, 1, L"x", 70, 4, 0);
    host::DxfResbufFiler in(list, db());
    DxfItem item;
    ASSERT_EQ(in.readItem(item), Acad::eOk);
    EXPECT_EQ(item.id(), id);
    ASSERT_EQ(in.readItem(item), Acad::eOk);
    EXPECT_EQ(item.text(), L"x");

    host::DxfResbufFiler out(nullptr, db());
    out.writeObjectId(340, id);
    out.writeInt16(70, 4);
    resbuf* written = out.takeChain();
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->resval.rlname[0], name[0]);
    EXPECT_EQ(written->resval.rlname[1], name[1]);
    EXPECT_EQ(written->rbnext->resval.rint, 4);
    EXPECT_EQ(out.takeChain(), nullptr);
    acutRelRb(written);
    acutRelRb(list);
}

TEST_F(DbTest, DbTheResbufFilerRefusesWhatItCannotRead) {
    const std::int64_t nobody[2] = {424242, 5};
    resbuf* list = acutBuildList(1, L"ok", 330, nobody, 0);
    resbuf* unknown = acutNewRb(1);
    unknown->restype = 2500;
    acutRbChainLast(list)->rbnext = unknown;
    host::DxfResbufFiler filer(list, db());
    DxfItem item;
    ASSERT_EQ(filer.readItem(item), Acad::eOk);
    EXPECT_EQ(filer.readItem(item), Acad::eInvalidResBuf);
    EXPECT_NE(std::wstring(filer.errorMessage()).find(L"330"), std::wstring::npos);
    EXPECT_EQ(filer.filerStatus(), Acad::eInvalidResBuf);
    EXPECT_EQ(item.text(), L"ok");
    acutRelRb(list);
}

}  // namespace
