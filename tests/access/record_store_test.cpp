// What the two record stores share, run on each: an entity's extension dictionary (CxEntity's
// dct... members) and a sub-dictionary of the named object dictionary (CVLKCDictionaryPtr). Both
// keep one Xrecord per key in the record encoding, convert the first item on reading, add at
// either end and take partial keys in dictionary order.
#include <limits>
#include <utility>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/drawing/circle_ptr.h"
#include "tests/access/store_fixture.h"

namespace {

using store_test::Item;
using store_test::StoreTest;
using Items = std::vector<Item>;

// The extension dictionary of a circle, through the circle's typed pointer.
class ExtensionStore {
public:
    explicit ExtensionStore(StoreTest& test, AcDb::OpenMode mode = AcDb::kForWrite)
        : m_circle(test.addCircle()), m_pointer(m_circle, mode) {}
    template <class... Args>
    Acad::ErrorStatus write(const wchar_t* key, Args&&... args) {
        return m_pointer.dctWrite(key, std::forward<Args>(args)...);
    }
    template <class... Args>
    bool read(const wchar_t* key, Args&&... args) {
        return m_pointer.dctRead(key, std::forward<Args>(args)...);
    }
    Acad::ErrorStatus erase(const wchar_t* key) { return m_pointer.dctErase(key); }
    Acad::ErrorStatus status() const { return m_pointer.status(); }
    // The record as the drawing holds it, read directly once the store is closed.
    Items record(const wchar_t* key) {
        m_pointer.close();
        return StoreTest::recordOf(m_circle, key);
    }
    // Whether the store made its dictionary.
    bool made() { return !m_pointer->extensionDictionary().isNull(); }

private:
    AcDbObjectId m_circle;
    CVLKCCirclePtr m_pointer;
};

// The sub-dictionary "KESTREL_AREA" of the named object dictionary.
class NamedStore {
public:
    explicit NamedStore(StoreTest& test, AcDb::OpenMode mode = AcDb::kForWrite)
        : m_test(test), m_pointer(mode) {}
    template <class... Args>
    Acad::ErrorStatus write(const wchar_t* key, Args&&... args) {
        return m_pointer.dctWrite(kArea, key, std::forward<Args>(args)...);
    }
    template <class... Args>
    bool read(const wchar_t* key, Args&&... args) {
        return m_pointer.dctRead(kArea, key, std::forward<Args>(args)...);
    }
    Acad::ErrorStatus erase(const wchar_t* key) { return m_pointer.dctErase(kArea, key); }
    Acad::ErrorStatus status() const { return m_pointer.status(); }
    bool made() { return m_pointer->has(kArea); }
    Items record(const wchar_t* key) {
        m_pointer.close();
        return m_test.namedRecordOf(kArea, key);
    }

private:
    static constexpr const wchar_t* kArea = L"KESTREL_AREA";
    StoreTest& m_test;
    CVLKCDictionaryPtr m_pointer;
};

template <class Store>
class RecordStoreTest : public StoreTest {};

using Stores = ::testing::Types<ExtensionStore, NamedStore>;
TYPED_TEST_SUITE(RecordStoreTest, Stores);

TYPED_TEST(RecordStoreTest, ValuesAreStoredUnderTheRecordCodeOfTheirClass) {
    TypeParam store(*this);
    EXPECT_EQ(store.write(L"short", 7, false, true, 1070), Acad::eOk);
    EXPECT_EQ(store.write(L"real", 2.5, false, true, 1040), Acad::eOk);
    EXPECT_EQ(store.write(L"text", L"12abc", false, true, 1000), Acad::eOk);
    EXPECT_EQ(store.write(L"long", 70000L, false, true, RTLONG), Acad::eOk);
    EXPECT_EQ(store.write(L"point", AcGePoint3d(1, 2, 3), false, true, 1011), Acad::eOk);
    EXPECT_EQ(store.status(), Acad::eOk);
    EXPECT_EQ(store.record(L"short"), (Items{{60, L"7"}}));
    EXPECT_EQ(store.record(L"real"), (Items{{38, L"2.500000"}}));
    EXPECT_EQ(store.record(L"text"), (Items{{1, L"12abc"}}));
    EXPECT_EQ(store.record(L"long"), (Items{{90, L"70000"}}));
    EXPECT_EQ(store.record(L"point"), (Items{{210, L"1.000000,2.000000,3.000000"}}));
}

TYPED_TEST(RecordStoreTest, SingleValueReadersConvertTheFirstItem) {
    TypeParam store(*this);
    ASSERT_EQ(store.write(L"short", 7, false, true, 1070), Acad::eOk);
    ASSERT_EQ(store.write(L"real", 2.5, false, true, 1040), Acad::eOk);
    ASSERT_EQ(store.write(L"text", L"12abc"), Acad::eOk);
    ASSERT_EQ(store.write(L"long", -70000L), Acad::eOk);
    CString text;
    double real = 0;
    int integer = 0;
    long longValue = 0;
    EXPECT_TRUE(store.read(L"short", text));
    EXPECT_EQ(text, CString(L"7"));
    EXPECT_TRUE(store.read(L"short", real));
    EXPECT_EQ(real, 7.0);
    EXPECT_TRUE(store.read(L"real", integer));
    EXPECT_EQ(integer, 2);
    EXPECT_TRUE(store.read(L"real", text));
    EXPECT_EQ(text, CString(L"2.5000"));
    EXPECT_TRUE(store.read(L"text", integer));
    EXPECT_EQ(integer, 12);
    EXPECT_TRUE(store.read(L"text", longValue));
    EXPECT_EQ(longValue, 12);
    EXPECT_TRUE(store.read(L"text", real));
    EXPECT_EQ(real, 12.0);
    EXPECT_TRUE(store.read(L"long", text));
    EXPECT_EQ(text, CString(L"-70000"));
    EXPECT_TRUE(store.read(L"long", real));
    EXPECT_EQ(real, -70000.0);
    EXPECT_FALSE(store.read(L"missing", integer));
    EXPECT_EQ(integer, 12);
}

TYPED_TEST(RecordStoreTest, AFirstItemTheTypeDoesNotTakeReadsTrueAndLeavesTheOutput) {
    TypeParam store(*this);
    ASSERT_EQ(store.write(L"real", 2.5), Acad::eOk);
    ASSERT_EQ(store.write(L"point", AcGePoint3d(1, 2, 3)), Acad::eOk);
    AcGePoint3d point(9, 9, 9);
    EXPECT_TRUE(store.read(L"real", point));
    EXPECT_TRUE(point.isEqualTo(AcGePoint3d(9, 9, 9)));
    int integer = 5;
    CString text(L"kept");
    EXPECT_TRUE(store.read(L"point", integer));
    EXPECT_TRUE(store.read(L"point", text));
    EXPECT_EQ(integer, 5);
    EXPECT_EQ(text, CString(L"kept"));
    EXPECT_TRUE(store.read(L"point", point));
    EXPECT_TRUE(point.isEqualTo(AcGePoint3d(1, 2, 3)));
}

TYPED_TEST(RecordStoreTest, RealsReadAsIntegersTruncateAndSaturate) {
    TypeParam store(*this);
    ASSERT_EQ(store.write(L"negative", -2.75), Acad::eOk);
    ASSERT_EQ(store.write(L"huge", 1e20), Acad::eOk);
    ASSERT_EQ(store.write(L"tiny", -1e20), Acad::eOk);
    int integer = 0;
    long longValue = 0;
    EXPECT_TRUE(store.read(L"negative", integer));
    EXPECT_EQ(integer, -2);
    EXPECT_TRUE(store.read(L"huge", integer));
    EXPECT_EQ(integer, std::numeric_limits<std::int32_t>::max());
    EXPECT_TRUE(store.read(L"tiny", longValue));
    EXPECT_EQ(longValue, std::numeric_limits<std::int32_t>::min());
}

TYPED_TEST(RecordStoreTest, AddingKeepsTheFormerValuesBeforeOrAfterTheNewOnes) {
    TypeParam store(*this);
    EXPECT_EQ(store.write(L"list", 1, true, true), Acad::eOk);
    EXPECT_EQ(store.write(L"list", 2, true, true), Acad::eOk);
    int first = 0;
    EXPECT_TRUE(store.read(L"list", first));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(store.write(L"list", L"front", true, false), Acad::eOk);
    resbuf* list = nullptr;
    EXPECT_TRUE(store.read(L"list", list));
    EXPECT_EQ(store_test::takeItems(list), (Items{{1, L"front"}, {90, L"1"}, {90, L"2"}}));
    EXPECT_EQ(store.write(L"list", 3.0), Acad::eOk);
    EXPECT_EQ(store.record(L"list"), (Items{{38, L"3.000000"}}));
}

TYPED_TEST(RecordStoreTest, PartialKeysTakeTheFirstEntryInDictionaryOrder) {
    TypeParam store(*this);
    ASSERT_EQ(store.write(L"zeta_key", 2), Acad::eOk);
    ASSERT_EQ(store.write(L"alpha_key", 1), Acad::eOk);
    ASSERT_EQ(store.write(L"Keyless", 3), Acad::eOk);
    int value = 0;
    EXPECT_TRUE(store.read(L"_key", value, true));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(store.read(L"eta", value, true));
    EXPECT_EQ(value, 2);
    EXPECT_FALSE(store.read(L"_key", value, false));
    value = 0;
    EXPECT_FALSE(store.read(L"KEY", value, true));
    EXPECT_EQ(store.status(), Acad::eNoMatchingEntry);
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(store.read(L"ALPHA_KEY", value, false));
    EXPECT_EQ(value, 1);
}

// Refusals come before anything is made: bad keys, values their code cannot hold and lists of
// nothing storable; and every write through a store open for read answers 45.
TYPED_TEST(RecordStoreTest, RefusedWritesMakeNothing) {
    resbuf* unknownOnly = acutBuildList(290, 1, 280, 2, 0);
    {
        TypeParam store(*this);
        EXPECT_EQ(store.write(L"", 1), Acad::eInvalidKey);
        EXPECT_EQ(store.write(nullptr, 1), Acad::eNullPtr);
        EXPECT_EQ(store.write(L"key", L"text", false, true, 70), Acad::eInvalidResBuf);
        EXPECT_EQ(store.write(L"key", 40000, false, true, 70), Acad::eOutOfRange);
        EXPECT_EQ(store.write(L"key", 1.0, false, true, 90), Acad::eInvalidResBuf);
        EXPECT_EQ(store.write(L"key", 1, false, true, 280), Acad::eInvalidInput);
        EXPECT_EQ(store.write(L"key", static_cast<resbuf*>(nullptr)), Acad::eInvalidInput);
        EXPECT_EQ(store.write(L"key", unknownOnly), Acad::eInvalidInput);
        EXPECT_EQ(store.status(), Acad::eInvalidInput);
        EXPECT_FALSE(store.made());
    }
    TypeParam reader(*this, AcDb::kForRead);
    EXPECT_EQ(reader.write(L"key", 1), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader.write(L"key", L"x"), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader.write(L"key", unknownOnly), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader.erase(L"key"), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader.status(), Acad::eNotOpenForWrite);
    int value = 0;
    EXPECT_FALSE(reader.read(L"key", value));
    EXPECT_FALSE(reader.made());
    acutRelRb(unknownOnly);
}

}  // namespace
