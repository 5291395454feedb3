// The XData store of CxEntity<T>: placement of new values (replace, end, front), typed readers
// and the codes they accept, partial application names, the list forms, erasing, and every
// refusal leaving the entity's XData as it was and only the wrapper's entity open.
#include <string>

#include "kestrel/access/cx_entity.h"
#include "kestrel/drawing/line_ptr.h"
#include "kestrel/host/db/regapp_table.h"
#include "tests/access/store_fixture.h"

namespace {

using access_test::openCount;
using store_test::Item;
using store_test::StoreTest;
using Items = std::vector<Item>;

const wchar_t* const kApp = L"KESTREL_APP";

class ExtendedDataTest : public StoreTest {
public:
    void SetUp() override {
        StoreTest::SetUp();
        m_line = addLine();
    }

    AcDbObjectId line() const { return m_line; }

    // Sets the object's XData directly through the host (registering the applications).
    void setXData(AcDbObjectId id, resbuf* list) {
        for (const resbuf* rb = list; rb != nullptr; rb = rb->rbnext) {
            if (rb->restype == 1001) {
                acdbRegApp(rb->resval.rstring);
            }
        }
        EXPECT_EQ(testsupport::open<AcDbObject>(id, AcDb::kForWrite)->setXData(list), Acad::eOk);
        acutRelRb(list);
    }

    bool registered(const wchar_t* app) {
        return testsupport::open<AcDbRegAppTable>(db()->regAppTableId())->has(app);
    }

private:
    AcDbObjectId m_line;
};

TEST_F(ExtendedDataTest, EedWritePlacesValuesAtTheEndAtTheFrontOrAlone) {
    {
        CVLKCLinePtr pointer(line(), AcDb::kForWrite);
        EXPECT_EQ(pointer.eedWrite(kApp, 1, false, true, 1070), Acad::eOk);
        EXPECT_EQ(pointer.eedWrite(kApp, 2, true, true, 1070), Acad::eOk);
        EXPECT_EQ(pointer.eedWrite(kApp, 0, true, false, 1070), Acad::eOk);
        EXPECT_EQ(pointer.status(), Acad::eOk);
        EXPECT_EQ(pointer.mode(), AcDb::kForWrite);
        EXPECT_EQ(openCount(), 1u);
        int value = -1;
        EXPECT_TRUE(pointer.eedRead(kApp, value));
        EXPECT_EQ(value, 0);
    }
    EXPECT_EQ(xdataOf(line(), kApp),
              (Items{{1001, kApp}, {1070, L"0"}, {1070, L"1"}, {1070, L"2"}}));

    CVLKCLinePtr pointer(line(), AcDb::kForWrite);
    EXPECT_EQ(pointer.eedWrite(kApp, L"only", false, true, 1000), Acad::eOk);
    pointer.close();
    EXPECT_EQ(xdataOf(line(), kApp), (Items{{1001, kApp}, {1000, L"only"}}));
}

TEST_F(ExtendedDataTest, EedWriteOnAnEntityWithoutTheApplicationRegistersItAndMakesTheGroup) {
    ASSERT_FALSE(registered(kApp));
    CVLKCLinePtr pointer(line(), AcDb::kForWrite);
    EXPECT_EQ(pointer.eedWrite(kApp, 2.5, true, false, 1040), Acad::eOk);
    pointer.close();
    EXPECT_TRUE(registered(kApp));
    EXPECT_EQ(xdataOf(line(), kApp), (Items{{1001, kApp}, {1040, L"2.500000"}}));
}

TEST_F(ExtendedDataTest, EedWriteDefaultsReplaceUnderTheCodesTheReadersLookFor) {
    CVLKCLinePtr pointer(line(), AcDb::kForWrite);
    const AcGePoint3d point(1, 2, 3);
    EXPECT_EQ(pointer.eedWrite(L"T", L"text"), Acad::eOk);
    EXPECT_EQ(pointer.eedWrite(L"I", 7), Acad::eOk);
    EXPECT_EQ(pointer.eedWrite(L"L", 70000L), Acad::eOk);
    EXPECT_EQ(pointer.eedWrite(L"D", 0.25), Acad::eOk);
    EXPECT_EQ(pointer.eedWrite(L"P", point), Acad::eOk);
    EXPECT_EQ(pointer.eedWrite(L"I", 8), Acad::eOk);
    CString text;
    int shortValue = 0;
    long longValue = 0;
    double real = 0;
    AcGePoint3d read;
    EXPECT_TRUE(pointer.eedRead(L"T", text));
    EXPECT_TRUE(pointer.eedRead(L"I", shortValue));
    EXPECT_TRUE(pointer.eedRead(L"L", longValue));
    EXPECT_TRUE(pointer.eedRead(L"D", real));
    EXPECT_TRUE(pointer.eedRead(L"P", read));
    EXPECT_EQ(text, CString(L"text"));
    EXPECT_EQ(shortValue, 8);
    EXPECT_EQ(longValue, 70000);
    EXPECT_EQ(real, 0.25);
    EXPECT_TRUE(read.isEqualTo(point));
    pointer.close();
    EXPECT_EQ(xdataOf(line(), L"I"), (Items{{1001, L"I"}, {1070, L"8"}}));
}

TEST_F(ExtendedDataTest, EedReadTakesTheFirstItemOfAnAcceptedCodeAndConvertsNothing) {
    const double where[3] = {4, 5, 6};
    setXData(line(), acutBuildList(1001, kApp, 1000, L"first", 1071, 5L, 1042, 1.5, 1003, L"LAYER",
                                   1070, -3, 1013, where, 0));
    CVLKCLinePtr pointer(line(), AcDb::kForRead);
    int shortValue = 99;
    long longValue = 0;
    double real = 0;
    CString text;
    AcGePoint3d point;
    EXPECT_TRUE(pointer.eedRead(kApp, shortValue));
    EXPECT_EQ(shortValue, -3);
    EXPECT_TRUE(pointer.eedRead(kApp, longValue));
    EXPECT_EQ(longValue, 5);
    EXPECT_TRUE(pointer.eedRead(kApp, real));
    EXPECT_EQ(real, 1.5);
    EXPECT_TRUE(pointer.eedRead(kApp, text));
    EXPECT_EQ(text, CString(L"first"));
    EXPECT_TRUE(pointer.eedRead(kApp, point));
    EXPECT_TRUE(point.isEqualTo(AcGePoint3d(4, 5, 6)));

    pointer.close();
    setXData(line(), acutBuildList(1001, L"NUMBERS", 1071, 12L, 1040, 2.0, 0));
    ASSERT_EQ(pointer.open(line(), AcDb::kForRead), Acad::eOk);
    int notShort = 42;
    CString notText(L"kept");
    EXPECT_FALSE(pointer.eedRead(L"NUMBERS", notShort));
    EXPECT_FALSE(pointer.eedRead(L"NUMBERS", notText));
    EXPECT_EQ(notShort, 42);
    EXPECT_EQ(notText, CString(L"kept"));
    EXPECT_FALSE(pointer.eedRead(L"NO_SUCH_APP", notShort));
}

TEST_F(ExtendedDataTest, EedReadWithPartialNameTakesTheFirstGroupContainingTheText) {
    setXData(line(), acutBuildList(1001, L"FIRST", 1070, 1, 1001, L"XABCY", 1070, 2, 1001, L"ABCD",
                                   1070, 3, 0));
    CVLKCLinePtr pointer(line(), AcDb::kForRead);
    int value = 0;
    EXPECT_TRUE(pointer.eedRead(L"ABC", value, true));
    EXPECT_EQ(value, 2);
    value = 0;
    EXPECT_FALSE(pointer.eedRead(L"ABC", value, false));
    EXPECT_FALSE(pointer.eedRead(L"abc", value, true));
    EXPECT_EQ(value, 0);
    resbuf* values = nullptr;
    EXPECT_TRUE(pointer.eedRead(L"BCD", values, true));
    EXPECT_EQ(store_test::takeItems(values), (Items{{1070, L"3"}}));
    // Every name contains the empty text: it takes the first group, but names none exactly.
    EXPECT_FALSE(pointer.eedRead(L"", value, false));
    EXPECT_TRUE(pointer.eedRead(L"", value, true));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(pointer.eedRead(L"", values, true));
    EXPECT_EQ(store_test::takeItems(values), (Items{{1070, L"1"}}));
}

TEST_F(ExtendedDataTest, BracesAreReadAsTextButLeftOutOfTheValueList) {
    setXData(line(), acutBuildList(1001, kApp, 1002, L"{", 1000, L"inside", 1070, 4, 1002, L"}",
                                   1040, 1.0, 0));
    CVLKCLinePtr pointer(line(), AcDb::kForRead);
    CString text;
    EXPECT_TRUE(pointer.eedRead(kApp, text));
    EXPECT_EQ(text, CString(L"{"));
    resbuf* values = nullptr;
    EXPECT_TRUE(pointer.eedRead(kApp, values));
    EXPECT_EQ(store_test::takeItems(values),
              (Items{{1000, L"inside"}, {1070, L"4"}, {1040, L"1.000000"}}));

    pointer.close();
    setXData(line(), acutBuildList(1001, L"BRACES", 1002, L"{", 1002, L"}", 0));
    ASSERT_EQ(pointer.open(line(), AcDb::kForRead), Acad::eOk);
    values = acutBuildList(1000, L"unchanged", 0);
    resbuf* const before = values;
    EXPECT_TRUE(pointer.eedRead(L"BRACES", values));
    EXPECT_EQ(values, nullptr);
    acutRelRb(before);

    values = nullptr;
    EXPECT_FALSE(pointer.eedRead(L"NO_SUCH_APP", values));
    EXPECT_EQ(values, nullptr);
}

TEST_F(ExtendedDataTest, EedWriteOfAListConvertsItsItemsAndPlacesThemTogether) {
    const double point[3] = {1, 2, 3};
    resbuf* values = acutBuildList(40, 2.5, 1, L"text", 10, point, 280, 1, 0);
    const Items given = store_test::itemsOf(values);
    CVLKCLinePtr pointer(line(), AcDb::kForWrite);
    EXPECT_EQ(pointer.eedWrite(kApp, values), Acad::eOk);
    EXPECT_EQ(pointer.eedWrite(kApp, 9, true, false, 1070), Acad::eOk);
    resbuf* front = acutBuildList(RTSHORT, 1, RTLONG, 2L, 0);
    EXPECT_EQ(pointer.eedWrite(kApp, front, true, false), Acad::eOk);
    pointer.close();
    EXPECT_EQ(store_test::itemsOf(values), given);
    EXPECT_EQ(xdataOf(line(), kApp), (Items{{1001, kApp},
                                            {1070, L"1"},
                                            {1071, L"2"},
                                            {1070, L"9"},
                                            {1040, L"2.500000"},
                                            {1000, L"text"},
                                            {1010, L"1.000000,2.000000,3.000000"}}));
    acutRelRb(values);
    acutRelRb(front);
}

TEST_F(ExtendedDataTest, EedEraseRemovesOneApplicationAndPassesTheHostStatusOn) {
    setXData(line(), acutBuildList(1001, kApp, 1070, 1, 1001, L"OTHER", 1070, 2, 0));
    CVLKCLinePtr pointer(line(), AcDb::kForWrite);
    EXPECT_EQ(pointer.eedErase(kApp), Acad::eOk);
    EXPECT_EQ(pointer.eedErase(L"NEVER_REGISTERED"), Acad::eUnregisteredApplication);
    EXPECT_EQ(pointer.status(), Acad::eUnregisteredApplication);
    pointer.close();
    EXPECT_TRUE(xdataOf(line(), kApp).empty());
    EXPECT_EQ(xdataOf(line(), L"OTHER"), (Items{{1001, L"OTHER"}, {1070, L"2"}}));
}

TEST_F(ExtendedDataTest, WritesThroughAWrapperNotOpenForWriteAnswer45AndChangeNothing) {
    setXData(line(), acutBuildList(1001, kApp, 1070, 1, 0));
    const Items before = xdataOf(line(), kApp);
    resbuf* values = acutBuildList(1000, L"x", 0);
    {
        CVLKCLinePtr reader(line(), AcDb::kForRead);
        EXPECT_EQ(reader.eedWrite(kApp, 2), Acad::eNotOpenForWrite);
        EXPECT_EQ(reader.eedWrite(kApp, values), Acad::eNotOpenForWrite);
        EXPECT_EQ(reader.eedErase(kApp), Acad::eNotOpenForWrite);
        EXPECT_EQ(reader.status(), Acad::eNotOpenForWrite);
        int value = 0;
        EXPECT_TRUE(reader.eedRead(kApp, value));
        EXPECT_EQ(reader.status(), Acad::eNotOpenForWrite);
    }
    CVLKCLinePtr empty;
    EXPECT_EQ(empty.eedWrite(kApp, L"x"), Acad::eNotOpenForWrite);
    EXPECT_EQ(empty.eedErase(kApp), Acad::eNotOpenForWrite);
    int value = 5;
    EXPECT_FALSE(empty.eedRead(kApp, value));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(xdataOf(line(), kApp), before);
    acutRelRb(values);
}

TEST_F(ExtendedDataTest, BadValuesAreRefusedBeforeAnythingChanges) {
    setXData(line(), acutBuildList(1001, kApp, 1070, 1, 0));
    const Items before = xdataOf(line(), kApp);
    resbuf* onlyUnknown = acutBuildList(290, 1, 280, 2, 0);
    {
        CVLKCLinePtr pointer(line(), AcDb::kForWrite);
        EXPECT_EQ(pointer.eedWrite(kApp, L"text", false, true, 1070), Acad::eInvalidResBuf);
        EXPECT_EQ(pointer.eedWrite(kApp, 70000, false, true, 1070), Acad::eOutOfRange);
        EXPECT_EQ(pointer.eedWrite(kApp, 1.5, false, true, 1071), Acad::eInvalidResBuf);
        EXPECT_EQ(pointer.eedWrite(kApp, static_cast<const wchar_t*>(nullptr)), Acad::eNullPtr);
        EXPECT_EQ(pointer.eedWrite(kApp, static_cast<resbuf*>(nullptr)), Acad::eInvalidInput);
        EXPECT_EQ(pointer.eedWrite(kApp, onlyUnknown), Acad::eInvalidInput);
        EXPECT_EQ(pointer.eedWrite(nullptr, 1), Acad::eInvalidInput);
        EXPECT_EQ(pointer.eedWrite(L"", 1), Acad::eInvalidInput);
        EXPECT_EQ(pointer.eedErase(L""), Acad::eInvalidInput);
        int value = 0;
        EXPECT_FALSE(pointer.eedRead(nullptr, value, true));
        // The host's own refusal: a 1000 text longer than XData allows.
        const std::wstring tooLong(300, L'x');
        EXPECT_EQ(pointer.eedWrite(kApp, tooLong.c_str(), true), Acad::eStringTooLong);
    }
    EXPECT_EQ(xdataOf(line(), kApp), before);
    acutRelRb(onlyUnknown);
}

// The protected members, reached through a class derived the way client code derives.
class ExposedLine : public CxEntity<AcDbLine> {
public:
    using CxEntity<AcDbLine>::CxEntity;
    using CxEntity<AcDbLine>::setEedRestype;
    using CxEntity<AcDbLine>::xDataX;
};

TEST_F(ExtendedDataTest, XDataXCutsOutTheFirstMatchingGroup) {
    setXData(line(), acutBuildList(1001, L"AA", 1070, 1, 1001, L"BB1", 1070, 2, 1000, L"b", 1001,
                                   L"BB2", 1070, 3, 0));
    ExposedLine pointer(line(), AcDb::kForRead);
    EXPECT_EQ(store_test::takeItems(pointer.xDataX(L"BB")),
              (Items{{1001, L"BB1"}, {1070, L"2"}, {1000, L"b"}}));
    EXPECT_EQ(store_test::takeItems(pointer.xDataX(L"2")), (Items{{1001, L"BB2"}, {1070, L"3"}}));
    EXPECT_EQ(pointer.xDataX(L"CC"), nullptr);
    EXPECT_EQ(pointer.xDataX(nullptr), nullptr);
}

TEST_F(ExtendedDataTest, SetEedRestypeConvertsByClassIntoXDataCodes) {
    const double point[3] = {1, 2, 3};
    resbuf* values = acutBuildList(5005, L"a", 300, L"b", 1005, L"1F", 5009, point, 1013, point,
                                   140, 0.5, 5001, 1.5, 170, 7, 5003, 8, 95, 9L, 5010, 10L, 0);
    acutRbChainLast(values)->rbnext = store_test::chunk(310, 3);
    ExposedLine pointer(line(), AcDb::kForRead);
    EXPECT_EQ(store_test::takeItems(pointer.setEedRestype(values)),
              (Items{{1000, L"a"},
                     {1000, L"b"},
                     {1000, L"1F"},
                     {1010, L"1.000000,2.000000,3.000000"},
                     {1010, L"1.000000,2.000000,3.000000"},
                     {1040, L"0.500000"},
                     {1040, L"1.500000"},
                     {1070, L"7"},
                     {1070, L"8"},
                     {1071, L"9"},
                     {1071, L"10"}}));
    EXPECT_EQ(pointer.setEedRestype(nullptr), nullptr);
    acutRelRb(values);
}

}  // namespace
