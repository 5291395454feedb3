// AcArray: growth, insertion and removal at every position, lookups, and the abort on bad indexes.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "kestrel/host/rx/array.h"

namespace {

AcArray<int> makeArray(std::initializer_list<int> values) {
    AcArray<int> a;
    for (int v : values) {
        a.append(v);
    }
    return a;
}

std::string contents(const AcArray<int>& a) {
    std::string out;
    for (int v : a) {
        out += std::to_string(v) + ",";
    }
    return out;
}

TEST(Array, AppendReturnsTheNewIndex) {
    AcArray<int> a;
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.append(7), 0);
    EXPECT_EQ(a.append(8), 1);
    EXPECT_EQ(a.length(), 2);
    EXPECT_EQ(a.logicalLength(), 2);
    EXPECT_GE(a.physicalLength(), 2);
    a.append(a);
    EXPECT_EQ(contents(a), "7,8,7,8,");
    EXPECT_EQ(a.first(), 7);
    EXPECT_EQ(a.last(), 8);
}

TEST(Array, InsertAtEveryPosition) {
    AcArray<int> a = makeArray({2, 4});
    a.insertAt(0, 1).insertAt(2, 3).insertAt(4, 5);
    EXPECT_EQ(contents(a), "1,2,3,4,5,");
    EXPECT_DEATH(a.insertAt(6, 0), "AcArray::insertAt: index 6 out of range \\(size 6\\)");
    EXPECT_DEATH(a.insertAt(-1, 0), "AcArray::insertAt: index -1");
}

TEST(Array, RemoveAtEveryPosition) {
    AcArray<int> a = makeArray({1, 2, 3, 4, 5});
    a.removeAt(0).removeAt(1).removeLast();
    EXPECT_EQ(contents(a), "2,4,");
    a.removeFirst();
    EXPECT_EQ(contents(a), "4,");
    EXPECT_DEATH(a.removeAt(1), "AcArray::removeAt: index 1 out of range \\(size 1\\)");
    a.removeAll();
    EXPECT_TRUE(a.isEmpty());
    EXPECT_DEATH(a.removeLast(), "AcArray::removeLast");
    EXPECT_DEATH(a.first(), "AcArray::at: index 0 out of range \\(size 0\\)");

    AcArray<int> b = makeArray({0, 1, 2, 3, 4, 5});
    b.removeSubArray(1, 3);
    EXPECT_EQ(contents(b), "0,4,5,");
    EXPECT_TRUE(b.remove(4));
    EXPECT_FALSE(b.remove(4));
    EXPECT_EQ(contents(b), "0,5,");
}

TEST(Array, FindAndContainsHonourTheStart) {
    const AcArray<int> a = makeArray({5, 6, 5, 7});
    int at = -1;
    EXPECT_TRUE(a.find(5, at));
    EXPECT_EQ(at, 0);
    EXPECT_TRUE(a.find(5, at, 1));
    EXPECT_EQ(at, 2);
    at = 99;
    EXPECT_FALSE(a.find(5, at, 3));
    EXPECT_EQ(at, 99);
    EXPECT_FALSE(a.find(5, at, 10));
    EXPECT_TRUE(a.find(6, at, -4));
    EXPECT_EQ(a.find(7), 3);
    EXPECT_EQ(a.find(8), -1);
    EXPECT_TRUE(a.contains(7));
    EXPECT_FALSE(a.contains(6, 2));
}

TEST(Array, LogicalLengthGrowsWithZeroesAndShrinks) {
    AcArray<double> a;
    a.append(1.5);
    a.setLogicalLength(4);
    ASSERT_EQ(a.length(), 4);
    EXPECT_EQ(a[0], 1.5);
    EXPECT_EQ(a[3], 0.0);
    a.setLogicalLength(1);
    EXPECT_EQ(a.length(), 1);
    a.setLogicalLength(0);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.asArrayPtr(), nullptr);
    EXPECT_DEATH(a.setLogicalLength(-1), "AcArray::setLogicalLength");
    a.setPhysicalLength(50);
    EXPECT_GE(a.physicalLength(), 50);
    EXPECT_TRUE(a.isEmpty());
}

TEST(Array, ReverseSwapAndContiguousAccess) {
    AcArray<int> a = makeArray({1, 2, 3, 4});
    a.reverse();
    EXPECT_EQ(contents(a), "4,3,2,1,");
    a.swap(0, 3).setAt(1, 9);
    EXPECT_EQ(contents(a), "1,9,2,4,");
    const int* raw = a.asArrayPtr();
    EXPECT_EQ(std::accumulate(raw, raw + a.length(), 0), 16);
    a.at(2) = 20;
    EXPECT_EQ(a[2], 20);
    EXPECT_DEATH(a[4], "AcArray::at: index 4 out of range \\(size 4\\)");
    EXPECT_EQ(makeArray({1, 2}), makeArray({1, 2}));
    EXPECT_NE(makeArray({1, 2}), makeArray({2, 1}));
}

TEST(Array, HoldsNonTrivialValues) {
    AcArray<std::string> a(4);
    a.append(std::string(100, 'x'));
    a.insertAt(0, "first");
    a.setLogicalLength(3);
    EXPECT_EQ(a[0], "first");
    EXPECT_EQ(a[1].size(), 100u);
    EXPECT_TRUE(a[2].empty());
    EXPECT_TRUE(a.contains(std::string(100, 'x')));
}

}  // namespace
