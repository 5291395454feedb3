// The stores' one group-code table: both conversions built on it (XData and record codes), and
// the building of single items with their refusals.
#include <climits>
#include <utility>

#include "kestrel/access/store_codes.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/point3d.h"
#include "tests/access/store_fixture.h"

namespace {

using kestrel::StoreClass;
using store_test::Item;
using Items = std::vector<Item>;

TEST(StoreCodesTest, BothConversionsClassTheSameItemsAndDifferOnlyInTheirCodes) {
    const double point[3] = {1, 2, 3};
    resbuf* values =
        acutBuildList(8, L"layer", 280, 4, 5009, point, 1041, 2.0, 275, 3, 93, 4L, 1002, L"{", 0);
    acutRbChainLast(values)->rbnext = store_test::chunk(310, 2);
    const Items given = store_test::itemsOf(values);
    EXPECT_EQ(store_test::takeItems(kestrel::convertValues(values, kestrel::kXDataCodes)),
              (Items{{1000, L"layer"},
                     {1010, L"1.000000,2.000000,3.000000"},
                     {1040, L"2.000000"},
                     {1070, L"3"},
                     {1071, L"4"},
                     {1000, L"{"}}));
    EXPECT_EQ(store_test::takeItems(kestrel::convertValues(values, kestrel::kRecordCodes)),
              (Items{{1, L"layer"},
                     {210, L"1.000000,2.000000,3.000000"},
                     {38, L"2.000000"},
                     {60, L"3"},
                     {90, L"4"},
                     {1, L"{"},
                     {310, L"#2"}}));
    EXPECT_EQ(store_test::itemsOf(values), given);
    acutRelRb(values);
}

TEST(StoreCodesTest, CodesTheHostHoldsAsAnotherTypeConvertFromTheirValue) {
    // 19 and 214 to 239 hold one real, 1004 a chunk; the classes still take them as a point and
    // a text. A null text reads as the empty text; a chunk whose bytes cannot be read is left out.
    resbuf* values = acutBuildList(19, 2.5, 214, -1.0, 239, 4.0, 0);
    acutRbChainLast(values)->rbnext = store_test::chunk(1004, 17);
    acutRbChainLast(values)->rbnext = acutBuildList(1, static_cast<const wchar_t*>(nullptr), 0);
    acutRbChainLast(values)->rbnext = store_test::chunk(310, 3);
    acutRbChainLast(values)->resval.rbinary.clen = -1;
    const auto converted = [](int pointCode, int textCode) {
        return Items{{pointCode, L"2.500000,0.000000,0.000000"},
                     {pointCode, L"-1.000000,0.000000,0.000000"},
                     {pointCode, L"4.000000,0.000000,0.000000"},
                     {textCode, L"000102030405060708090A0B0C0D0E0F10"},
                     {textCode, L""}};
    };
    EXPECT_EQ(store_test::takeItems(kestrel::convertValues(values, kestrel::kXDataCodes)),
              converted(1010, 1000));
    EXPECT_EQ(store_test::takeItems(kestrel::convertValues(values, kestrel::kRecordCodes)),
              converted(210, 1));
    EXPECT_EQ(kestrel::convertValues(nullptr, kestrel::kRecordCodes), nullptr);
    acutRbChainLast(values)->resval.rbinary.clen = 3;
    acutRelRb(values);
}

TEST(StoreCodesTest, BuildItemTakesOnlyValuesTheCodeCanHold) {
    const AcGePoint3d point(1, 2, 3);
    struct Case {
        int code;
        kestrel::ItemValue value;
        Acad::ErrorStatus status;
    };
    const Case cases[] = {
        {1000, L"text", Acad::eOk},
        {70, 32767, Acad::eOk},
        {70, -32768, Acad::eOk},
        {70, 32768, Acad::eOutOfRange},
        {1070, -32769L, Acad::eOutOfRange},
        {90, INT_MAX, Acad::eOk},
        {1071, static_cast<long>(INT_MAX) + 1, Acad::eOutOfRange},
        {RTLONG, static_cast<long>(INT_MIN), Acad::eOk},
        {40, 1.5, Acad::eOk},
        {10, &point, Acad::eOk},
        {1000, static_cast<const wchar_t*>(nullptr), Acad::eNullPtr},
        {10, static_cast<const AcGePoint3d*>(nullptr), Acad::eNullPtr},
        {1000, 1, Acad::eInvalidResBuf},
        {70, 1.5, Acad::eInvalidResBuf},
        {40, 1, Acad::eInvalidResBuf},
        {10, L"text", Acad::eInvalidResBuf},
        {290, 1, Acad::eInvalidResBuf},
        {4711, 1, Acad::eInvalidResBuf},
    };
    for (const Case& c : cases) {
        resbuf* item = nullptr;
        EXPECT_EQ(kestrel::buildItem(c.code, c.value, item), c.status) << c.code;
        EXPECT_EQ(item != nullptr, c.status == Acad::eOk) << c.code;
        if (item != nullptr) {
            EXPECT_EQ(item->restype, c.code);
            EXPECT_EQ(item->rbnext, nullptr);
        }
        acutRelRb(item);
    }
}

}  // namespace
