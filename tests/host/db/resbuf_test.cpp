// Result-buffer lists: building every value class, copying, releasing, bad input, and the
// group-code table at the edges of its ranges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <vector>

#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/resbuf.h"

namespace {

// Releases a chain at the end of a test, so that a failed assertion leaks nothing.
class Chain {
public:
    explicit Chain(resbuf* head) : m_head(head) {}
    ~Chain() { acutRelRb(m_head); }
    Chain(const Chain&) = delete;
    Chain& operator=(const Chain&) = delete;
    resbuf* get() const { return m_head; }
    // The item at index (0-based), or nullptr.
    resbuf* at(int index) const {
        resbuf* rb = m_head;
        for (; rb != nullptr && index > 0; --index) {
            rb = rb->rbnext;
        }
        return rb;
    }

private:
    resbuf* m_head;
};

std::vector<int> types(const resbuf* rb) {
    std::vector<int> out;
    for (; rb != nullptr; rb = rb->rbnext) {
        out.push_back(rb->restype);
    }
    return out;
}

TEST(Resbuf, NewItemsAreZeroed) {
    Chain text(acutNewRb(1));
    ASSERT_NE(text.get(), nullptr);
    EXPECT_EQ(text.get()->restype, 1);
    EXPECT_EQ(text.get()->rbnext, nullptr);
    EXPECT_EQ(text.get()->resval.rstring, nullptr);
    Chain chunk(acutNewRb(310));
    EXPECT_EQ(chunk.get()->resval.rbinary.clen, 0);
    EXPECT_EQ(chunk.get()->resval.rbinary.buf, nullptr);
    Chain point(acutNewRb(RT3DPOINT));
    EXPECT_EQ(point.get()->resval.rpoint[2], 0.0);
    EXPECT_EQ(acutRelRb(nullptr), RTNORM);
}

TEST(Resbuf, BuildsEveryValueClass) {
    const double point[3] = {1.5, -2.5, 3.0};
    const std::int64_t name[2] = {0x1234, -7};
    char bytes[] = {1, 2, 0, 4};
    const ads_binary chunk{4, bytes};
    wchar_t text[] = L"Schl\u00fcssel";
    Chain list(acutBuildList(RTDXF0, L"LINE", 1000, text, 10, point, 40, 2.25, 70, -3, 90,
                             2147483647L, 160, std::int64_t{1} << 40, 290, 1, 330, name, 310,
                             &chunk, 102, L"{ACAD_REACTORS", -3, 1001, L"APP", 1002, L"{", RTLB,
                             RTSHORT, 5, RTLE, RTNIL, RTT, RTNONE, RTDOTE, 0));
    ASSERT_NE(list.get(), nullptr);
    EXPECT_EQ(
        types(list.get()),
        (std::vector<int>{RTDXF0, 1000, 10,   40,   70,      90,   160,   290, 330,    310,   102,
                          -3,     1001, 1002, RTLB, RTSHORT, RTLE, RTNIL, RTT, RTNONE, RTDOTE}));
    EXPECT_STREQ(list.at(0)->resval.rstring, L"LINE");
    // Texts are copied: changing the caller's buffer leaves the item alone.
    text[0] = L'X';
    EXPECT_STREQ(list.at(1)->resval.rstring, L"Schl\u00fcssel");
    EXPECT_EQ(list.at(2)->resval.rpoint[0], 1.5);
    EXPECT_EQ(list.at(2)->resval.rpoint[1], -2.5);
    EXPECT_EQ(list.at(2)->resval.rpoint[2], 3.0);
    EXPECT_EQ(list.at(3)->resval.rreal, 2.25);
    EXPECT_EQ(list.at(4)->resval.rint, -3);
    EXPECT_EQ(list.at(5)->resval.rlong, 2147483647);
    EXPECT_EQ(list.at(6)->resval.mnInt64, std::int64_t{1} << 40);
    EXPECT_EQ(list.at(7)->resval.rint, 1);
    EXPECT_EQ(list.at(8)->resval.rlname[0], 0x1234);
    EXPECT_EQ(list.at(8)->resval.rlname[1], -7);
    ASSERT_EQ(list.at(9)->resval.rbinary.clen, 4);
    EXPECT_NE(list.at(9)->resval.rbinary.buf, bytes);
    EXPECT_EQ(std::memcmp(list.at(9)->resval.rbinary.buf, bytes, 4), 0);
    EXPECT_STREQ(list.at(10)->resval.rstring, L"{ACAD_REACTORS");
    EXPECT_STREQ(list.at(12)->resval.rstring, L"APP");
    EXPECT_STREQ(list.at(13)->resval.rstring, L"{");
    EXPECT_EQ(list.at(15)->resval.rint, 5);
    EXPECT_EQ(acutRbChainLength(list.get()), 21);
    EXPECT_EQ(acutRbChainLast(list.get())->restype, RTDOTE);
}

TEST(Resbuf, ResultTypeCodesReadTheirValues) {
    const double p2[3] = {4, 5, 0};
    const std::int64_t ename[2] = {9, 10};
    Chain list(acutBuildList(RTREAL, 1.25, RTANG, 3.0, RTPOINT, p2, RTSTR, L"t", RTENAME, ename,
                             RTLONG, -70000L, RTORINT, 0.5, RTINT64, std::int64_t{-2}, 0));
    ASSERT_EQ(acutRbChainLength(list.get()), 8);
    EXPECT_EQ(list.at(0)->resval.rreal, 1.25);
    EXPECT_EQ(list.at(1)->resval.rreal, 3.0);
    EXPECT_EQ(list.at(2)->resval.rpoint[1], 5.0);
    EXPECT_STREQ(list.at(3)->resval.rstring, L"t");
    EXPECT_EQ(list.at(4)->resval.rlname[1], 10);
    EXPECT_EQ(list.at(5)->resval.rlong, -70000);
    EXPECT_EQ(list.at(6)->resval.rreal, 0.5);
    EXPECT_EQ(list.at(7)->resval.mnInt64, -2);
}

TEST(Resbuf, NullTextsAndEmptyChunksAreKept) {
    const ads_binary empty{0, nullptr};
    Chain list(acutBuildList(1, static_cast<const wchar_t*>(nullptr), 1004, &empty, 0));
    ASSERT_EQ(acutRbChainLength(list.get()), 2);
    EXPECT_EQ(list.at(0)->resval.rstring, nullptr);
    EXPECT_EQ(list.at(1)->resval.rbinary.buf, nullptr);
    Chain copy(acutCopyRbChain(list.get()));
    EXPECT_EQ(types(copy.get()), (std::vector<int>{1, 1004}));
    EXPECT_EQ(copy.at(0)->resval.rstring, nullptr);
}

TEST(Resbuf, BadInputGivesNullAndLeaksNothing) {
    const double point[3] = {1, 2, 3};
    char bytes[2] = {1, 2};
    const ads_binary negative{-1, bytes};
    const ads_binary missing{2, nullptr};
    // Each list owns a text before the bad item; the sanitizer proves it is freed.
    EXPECT_EQ(acutBuildList(1, L"owned", 10, point, 250, 1.0, 0), nullptr);
    EXPECT_EQ(acutBuildList(1, L"owned", RTRESBUF, nullptr, 0), nullptr);
    EXPECT_EQ(acutBuildList(1, L"owned", 70000, 1, 0), nullptr);
    EXPECT_EQ(acutBuildList(1, L"owned", 10, static_cast<const double*>(nullptr), 0), nullptr);
    EXPECT_EQ(acutBuildList(1, L"owned", 330, static_cast<const std::int64_t*>(nullptr), 0),
              nullptr);
    EXPECT_EQ(acutBuildList(1, L"owned", 310, &negative, 0), nullptr);
    EXPECT_EQ(acutBuildList(1, L"owned", 310, &missing, 0), nullptr);
    EXPECT_EQ(acutBuildList(310, static_cast<const ads_binary*>(nullptr), 0), nullptr);
    EXPECT_EQ(acutBuildList(0), nullptr);
}

TEST(Resbuf, CopiesAreDeep) {
    const double point[3] = {7, 8, 9};
    char bytes[3] = {'a', 'b', 'c'};
    const ads_binary chunk{3, bytes};
    Chain original(acutBuildList(1000, L"alpha", 1010, point, 1004, &chunk, 1071, 12L, 0));
    Chain copy(acutCopyRbChain(original.get()));
    ASSERT_EQ(types(copy.get()), types(original.get()));
    EXPECT_NE(copy.at(0)->resval.rstring, original.at(0)->resval.rstring);
    EXPECT_NE(copy.at(2)->resval.rbinary.buf, original.at(2)->resval.rbinary.buf);
    original.at(0)->resval.rstring[0] = L'A';
    original.at(2)->resval.rbinary.buf[0] = 'z';
    EXPECT_STREQ(copy.at(0)->resval.rstring, L"alpha");
    EXPECT_EQ(copy.at(2)->resval.rbinary.buf[0], 'a');
    EXPECT_EQ(copy.at(1)->resval.rpoint[2], 9.0);
    EXPECT_EQ(copy.at(3)->resval.rlong, 12);

    Chain one(acutCopyRb(original.at(1)));
    EXPECT_EQ(one.get()->rbnext, nullptr);
    EXPECT_EQ(one.get()->resval.rpoint[0], 7.0);
    EXPECT_EQ(acutCopyRb(nullptr), nullptr);
    EXPECT_EQ(acutCopyRbChain(nullptr), nullptr);
    EXPECT_EQ(acutRbChainLength(nullptr), 0);
    EXPECT_EQ(acutRbChainLast(nullptr), nullptr);
}

TEST(Resbuf, ReplacingTextsAndChunks) {
    Chain list(acutBuildList(1, L"old", 40, 1.0, 310, static_cast<const ads_binary*>(nullptr), 0));
    EXPECT_EQ(list.get(), nullptr);  // a chunk item needs a chunk

    Chain items(acutBuildList(1, L"old", 40, 1.0, 0));
    EXPECT_EQ(acutRbSetString(items.at(0), L"a longer replacement"), RTNORM);
    EXPECT_STREQ(items.at(0)->resval.rstring, L"a longer replacement");
    EXPECT_EQ(acutRbSetString(items.at(0), nullptr), RTNORM);
    EXPECT_EQ(items.at(0)->resval.rstring, nullptr);
    EXPECT_EQ(acutRbSetString(items.at(1), L"x"), RTERROR);
    EXPECT_EQ(items.at(1)->resval.rreal, 1.0);
    EXPECT_EQ(acutRbSetString(nullptr, L"x"), RTERROR);

    Chain chunk(acutNewRb(310));
    const char bytes[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(acutRbSetBinary(chunk.get(), bytes, 5), RTNORM);
    EXPECT_EQ(acutRbSetBinary(chunk.get(), bytes, 3), RTNORM);
    EXPECT_EQ(chunk.get()->resval.rbinary.clen, 3);
    EXPECT_EQ(acutRbSetBinary(chunk.get(), nullptr, 2), RTERROR);
    EXPECT_EQ(acutRbSetBinary(chunk.get(), bytes, 40000), RTERROR);
    EXPECT_EQ(acutRbSetBinary(items.at(1), bytes, 2), RTERROR);
    EXPECT_EQ(chunk.get()->resval.rbinary.clen, 3);

    wchar_t* owned = acutRbNewString(L"temporary");
    EXPECT_STREQ(owned, L"temporary");
    acutDelString(owned);
    EXPECT_EQ(owned, nullptr);
    EXPECT_EQ(acutRbNewString(nullptr), nullptr);
}

TEST(Resbuf, ItemsOwnChunksAddedByCallersWithMalloc) {
    // Callers may hang their own malloc copy on a fresh chunk item, as the value stores do.
    resbuf* rb = acutNewRb(310);
    rb->resval.rbinary.clen = 120;
    rb->resval.rbinary.buf = static_cast<char*>(std::malloc(120));
    std::memset(rb->resval.rbinary.buf, 0xAB, 120);
    rb->rbnext = acutBuildList(1, L"tail", 0);
    EXPECT_EQ(acutRelRb(rb), RTNORM);
}

using GC = GroupValueClass;

struct CodeCase {
    int code;
    GroupValueClass valueClass;
};

TEST(GroupCodes, ClassesAtTheEdgesOfEachRange) {
    const CodeCase cases[] = {
        {-5, GC::kUnknown},     {-4, GC::kText},          {-3, GC::kNone},
        {-2, GC::kName},        {-1, GC::kName},          {0, GC::kText},
        {9, GC::kText},         {10, GC::kPoint},         {18, GC::kPoint},
        {19, GC::kReal},        {20, GC::kReal},          {38, GC::kReal},
        {59, GC::kReal},        {60, GC::kInt16},         {79, GC::kInt16},
        {80, GC::kUnknown},     {89, GC::kUnknown},       {90, GC::kInt32},
        {99, GC::kInt32},       {100, GC::kText},         {102, GC::kText},
        {103, GC::kUnknown},    {105, GC::kText},         {106, GC::kUnknown},
        {110, GC::kPoint},      {112, GC::kPoint},        {113, GC::kReal},
        {149, GC::kReal},       {150, GC::kUnknown},      {160, GC::kInt64},
        {169, GC::kInt64},      {170, GC::kInt16},        {179, GC::kInt16},
        {180, GC::kUnknown},    {209, GC::kUnknown},      {210, GC::kPoint},
        {213, GC::kPoint},      {214, GC::kReal},         {220, GC::kReal},
        {239, GC::kReal},       {240, GC::kUnknown},      {270, GC::kInt16},
        {289, GC::kInt16},      {290, GC::kBool},         {299, GC::kBool},
        {300, GC::kText},       {309, GC::kText},         {310, GC::kBinary},
        {319, GC::kBinary},     {320, GC::kText},         {329, GC::kText},
        {330, GC::kName},       {369, GC::kName},         {370, GC::kInt16},
        {389, GC::kInt16},      {390, GC::kName},         {399, GC::kName},
        {400, GC::kInt16},      {409, GC::kInt16},        {410, GC::kText},
        {419, GC::kText},       {420, GC::kInt32},        {429, GC::kInt32},
        {430, GC::kText},       {439, GC::kText},         {440, GC::kInt32},
        {459, GC::kInt32},      {460, GC::kReal},         {469, GC::kReal},
        {470, GC::kText},       {479, GC::kText},         {480, GC::kName},
        {481, GC::kName},       {482, GC::kUnknown},      {998, GC::kUnknown},
        {999, GC::kText},       {1000, GC::kText},        {1003, GC::kText},
        {1004, GC::kBinary},    {1005, GC::kText},        {1009, GC::kText},
        {1010, GC::kPoint},     {1013, GC::kPoint},       {1014, GC::kReal},
        {1040, GC::kReal},      {1059, GC::kReal},        {1060, GC::kInt16},
        {1070, GC::kInt16},     {1071, GC::kInt32},       {1072, GC::kUnknown},
        {4999, GC::kUnknown},   {RTNONE, GC::kNone},      {RTREAL, GC::kReal},
        {RTPOINT, GC::kPoint},  {RTSHORT, GC::kInt16},    {RTANG, GC::kReal},
        {RTSTR, GC::kText},     {RTENAME, GC::kName},     {RTPICKS, GC::kName},
        {RTORINT, GC::kReal},   {RT3DPOINT, GC::kPoint},  {RTLONG, GC::kInt32},
        {5011, GC::kUnknown},   {RTVOID, GC::kNone},      {5015, GC::kUnknown},
        {RTLB, GC::kNone},      {RTLE, GC::kNone},        {RTDOTE, GC::kNone},
        {RTNIL, GC::kNone},     {RTDXF0, GC::kText},      {RTT, GC::kNone},
        {5022, GC::kUnknown},   {RTRESBUF, GC::kUnknown}, {RTINT64, GC::kInt64},
        {RTNORM, GC::kUnknown}, {32767, GC::kUnknown},    {-32768, GC::kUnknown},
    };
    for (const CodeCase& c : cases) {
        EXPECT_EQ(groupValueClass(c.code), c.valueClass) << "code " << c.code;
    }
}

TEST(GroupCodes, Predicates) {
    for (int code : {10, 18, 110, 112, 210, 213, 1010, 1013, RTPOINT, RT3DPOINT}) {
        EXPECT_TRUE(isPointCode(code)) << code;
    }
    for (int code : {19, 20, 30, 38, 113, 220, 1014, 1020, 1040, RTREAL}) {
        EXPECT_FALSE(isPointCode(code)) << code;
    }
    for (int code : {-1, -2, 330, 340, 350, 360, 369, 390, 480, 481, RTENAME}) {
        EXPECT_TRUE(isNameCode(code)) << code;
    }
    for (int code : {0, 5, 320, 329, 370, 482, 1005}) {
        EXPECT_FALSE(isNameCode(code)) << code;
    }
    for (int code : {5, 105, 320, 329, 1005}) {
        EXPECT_TRUE(isHandleTextCode(code)) << code;
    }
    for (int code : {4, 6, 330, 1004, 1006}) {
        EXPECT_FALSE(isHandleTextCode(code)) << code;
    }
    for (int code : {-3, 102, 1002}) {
        EXPECT_TRUE(isControlCode(code)) << code;
    }
    EXPECT_FALSE(isControlCode(1001));
    for (int code : {1000, 1002, 1003, 1004, 1005, 1010, 1013, 1040, 1042, 1070, 1071}) {
        EXPECT_TRUE(isXDataCode(code)) << code;
    }
    for (int code : {999, 1001, 1006, 1014, 1020, 1043, 1060, 1069, 1072}) {
        EXPECT_FALSE(isXDataCode(code)) << code;
    }
}

}  // namespace
