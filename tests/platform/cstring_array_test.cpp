// CStringArray: growth, insertion and removal, and what out-of-range indexes do.
#include "kestrel/platform/cstring_array.h"

#include <gtest/gtest.h>

namespace {

CStringArray arrayOf(std::initializer_list<const wchar_t*> items) {
    CStringArray array;
    for (const wchar_t* item : items) {
        array.Add(item);
    }
    return array;
}

// The elements joined with '|', to compare whole arrays in one assertion.
CString joined(const CStringArray& array) {
    CString text;
    for (int i = 0; i < array.GetSize(); ++i) {
        text += (i ? L"|" : L"") + array[i];
    }
    return text;
}

TEST(PlatformStringArray, AddReturnsIndexAndSizesFollow) {
    CStringArray array;
    EXPECT_TRUE(array.IsEmpty());
    EXPECT_EQ(array.GetUpperBound(), -1);
    EXPECT_EQ(array.Add(L"a"), 0);
    EXPECT_EQ(array.Add(CString(L"b")), 1);
    EXPECT_EQ(array.GetSize(), 2);
    EXPECT_EQ(array.GetCount(), 2);
    EXPECT_EQ(array.GetUpperBound(), 1);
    EXPECT_FALSE(array.IsEmpty());
    array.RemoveAll();
    EXPECT_TRUE(array.IsEmpty());
}

TEST(PlatformStringArray, ElementAccessAndWrites) {
    CStringArray array = arrayOf({L"a", L"b"});
    array.SetAt(0, L"A");
    array[1] += L"!";
    array.ElementAt(1).MakeUpper();
    EXPECT_EQ(joined(array), L"A|B!");
    const CStringArray& constant = array;
    EXPECT_EQ(constant.GetAt(1), L"B!");
    EXPECT_EQ(constant[0], L"A");
}

TEST(PlatformStringArray, OutOfRangeAccessChangesNothing) {
    CStringArray array = arrayOf({L"a"});
    const CStringArray& constant = array;
    EXPECT_TRUE(constant.GetAt(1).IsEmpty());
    EXPECT_TRUE(constant[-1].IsEmpty());
    array.SetAt(5, L"x");
    array.SetAt(-1, L"x");
    array[3] = L"lost";
    EXPECT_TRUE(array.ElementAt(3).IsEmpty());
    array.ElementAt(-2) += L"lost too";
    EXPECT_TRUE(array[7].IsEmpty());
    EXPECT_EQ(joined(array), L"a");
}

TEST(PlatformStringArray, RemoveAtClampsTheCount) {
    CStringArray array = arrayOf({L"a", L"b", L"c", L"d", L"e"});
    array.RemoveAt(1);
    EXPECT_EQ(joined(array), L"a|c|d|e");
    array.RemoveAt(1, 2);
    EXPECT_EQ(joined(array), L"a|e");
    array.RemoveAt(1, 100);
    EXPECT_EQ(joined(array), L"a");
    array.RemoveAt(1);
    array.RemoveAt(-1);
    array.RemoveAt(0, 0);
    array.RemoveAt(0, -3);
    EXPECT_EQ(joined(array), L"a");
}

TEST(PlatformStringArray, InsertAtWithinAndBeyondTheEnd) {
    CStringArray array = arrayOf({L"a", L"d"});
    array.InsertAt(1, L"x", 2);
    EXPECT_EQ(joined(array), L"a|x|x|d");
    array.InsertAt(0, L"<");
    array.InsertAt(5, L">");
    EXPECT_EQ(joined(array), L"<|a|x|x|d|>");
    array.InsertAt(8, L"far");
    EXPECT_EQ(array.GetSize(), 9);
    EXPECT_EQ(array[6], L"");
    EXPECT_EQ(array[8], L"far");
    array.InsertAt(-1, L"no");
    array.InsertAt(0, L"no", 0);
    EXPECT_EQ(array.GetSize(), 9);
}

TEST(PlatformStringArray, InsertAtBeyondTheEndMayCopyItsOwnElement) {
    CStringArray array = arrayOf({L"self"});
    array.InsertAt(1000, array[0]);
    EXPECT_EQ(array.GetSize(), 1001);
    EXPECT_EQ(array[1000], L"self");
    array.InsertAt(0, array[1000], 2);
    EXPECT_EQ(joined(array).Left(14), L"self|self|self");
}

TEST(PlatformStringArray, SetSizeTruncatesAndPads) {
    CStringArray array = arrayOf({L"a", L"b", L"c"});
    array.SetSize(1);
    EXPECT_EQ(joined(array), L"a");
    array.SetSize(3);
    EXPECT_EQ(joined(array), L"a||");
    array.SetSize(-1);
    EXPECT_EQ(array.GetSize(), 3);
    array.SetSize(0);
    EXPECT_TRUE(array.IsEmpty());
}

TEST(PlatformStringArray, AppendAndCopy) {
    CStringArray array = arrayOf({L"a"});
    const CStringArray more = arrayOf({L"b", L"c"});
    EXPECT_EQ(array.Append(more), 1);
    EXPECT_EQ(joined(array), L"a|b|c");
    EXPECT_EQ(array.Append(array), 3);
    EXPECT_EQ(joined(array), L"a|b|c|a|b|c");
    array.Copy(more);
    EXPECT_EQ(joined(array), L"b|c");
    array.Copy(array);
    EXPECT_EQ(joined(array), L"b|c");
    CStringArray copy(array);
    copy[0] = L"changed";
    EXPECT_EQ(array[0], L"b");
}

}  // namespace
