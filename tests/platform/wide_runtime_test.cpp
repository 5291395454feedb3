// The Windows-named runtime helpers: integer and real parsing corners and case-ignoring
// comparison, including null pointers and saturation.
#include "kestrel/platform/wide_runtime.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cmath>

namespace {

TEST(PlatformWideRuntime, IntegersReadBlanksSignAndDigits) {
    EXPECT_EQ(_wtoi(L"42"), 42);
    EXPECT_EQ(_wtoi(L"  \t\n-17"), -17);
    EXPECT_EQ(_wtoi(L"+8"), 8);
    EXPECT_EQ(_wtoi(L"12abc"), 12);
    EXPECT_EQ(_wtoi(L"3.9"), 3);
    EXPECT_EQ(_wtoi(L"007"), 7);
    EXPECT_EQ(_wtoi(L"- 5"), 0);
    EXPECT_EQ(_wtoi(L"+-5"), 0);
    EXPECT_EQ(_wtoi(L"abc"), 0);
    EXPECT_EQ(_wtoi(L""), 0);
    EXPECT_EQ(_wtoi(L"   "), 0);
    EXPECT_EQ(_wtoi(nullptr), 0);
    EXPECT_EQ(_wtoi(L"\u0661"), 0);  // only ASCII digits count
}

TEST(PlatformWideRuntime, IntegersSaturateAtTheirRange) {
    EXPECT_EQ(_wtoi(L"2147483647"), INT_MAX);
    EXPECT_EQ(_wtoi(L"2147483648"), INT_MAX);
    EXPECT_EQ(_wtoi(L"-2147483648"), INT_MIN);
    EXPECT_EQ(_wtoi(L"-2147483649"), INT_MIN);
    EXPECT_EQ(_wtoi(L"99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(_wtol(L"4000000000"), 2147483647L);
    EXPECT_EQ(_wtol(L"-4000000000"), -2147483648L);
    EXPECT_EQ(_wtol(L"-123456"), -123456L);
    EXPECT_EQ(_wtoi64(L"4000000000"), 4000000000LL);
    EXPECT_EQ(_wtoi64(L"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(_wtoi64(L"9223372036854775808"), INT64_MAX);
    EXPECT_EQ(_wtoi64(L"-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(_wtoi64(L"-99999999999999999999"), INT64_MIN);
}

TEST(PlatformWideRuntime, RealsReadTheDecimalForm) {
    EXPECT_DOUBLE_EQ(_wtof(L"2.5"), 2.5);
    EXPECT_DOUBLE_EQ(_wtof(L"  -0.125xyz"), -0.125);
    EXPECT_DOUBLE_EQ(_wtof(L"+.5"), 0.5);
    EXPECT_DOUBLE_EQ(_wtof(L"7."), 7.0);
    EXPECT_DOUBLE_EQ(_wtof(L"1e3"), 1000.0);
    EXPECT_DOUBLE_EQ(_wtof(L"1.5E-2"), 0.015);
    EXPECT_DOUBLE_EQ(_wtof(L"4e"), 4.0);
    EXPECT_DOUBLE_EQ(_wtof(L"4e+"), 4.0);
    EXPECT_DOUBLE_EQ(_wtof(L"4e+x"), 4.0);
    EXPECT_DOUBLE_EQ(_wtof(L"2,5"), 2.0);
}

TEST(PlatformWideRuntime, RealsWithoutDigitsAreZero) {
    EXPECT_EQ(_wtof(nullptr), 0.0);
    EXPECT_EQ(_wtof(L""), 0.0);
    EXPECT_EQ(_wtof(L"."), 0.0);
    EXPECT_EQ(_wtof(L"-"), 0.0);
    EXPECT_EQ(_wtof(L"e5"), 0.0);
    EXPECT_EQ(_wtof(L"inf"), 0.0);
    EXPECT_EQ(_wtof(L"nan"), 0.0);
    EXPECT_EQ(_wtof(L"0x1A"), 0.0);
}

TEST(PlatformWideRuntime, RealsOutOfRangeLeaveErrnoAlone) {
    errno = 0;
    EXPECT_EQ(_wtof(L"1e999"), HUGE_VAL);
    EXPECT_EQ(_wtof(L"-1e999"), -HUGE_VAL);
    EXPECT_EQ(_wtof(L"1e-999"), 0.0);
    EXPECT_EQ(_wtoi(L"99999999999"), INT_MAX);
    EXPECT_EQ(errno, 0);
}

TEST(PlatformWideRuntime, CaseIgnoringComparison) {
    EXPECT_EQ(_wcsicmp(L"Continuous", L"CONTINUOUS"), 0);
    EXPECT_LT(_wcsicmp(L"abc", L"ABD"), 0);
    EXPECT_GT(_wcsicmp(L"abcd", L"ABC"), 0);
    EXPECT_LT(_wcsicmp(L"_", L"a"), 0);
    EXPECT_LT(_wcsicmp(L"", L"a"), 0);
    EXPECT_EQ(_wcsicmp(nullptr, L""), 0);
    EXPECT_EQ(_wcsicmp(nullptr, nullptr), 0);
    EXPECT_LT(_wcsicmp(nullptr, L"x"), 0);
    EXPECT_GT(_wcsicmp(L"x", nullptr), 0);
}

TEST(PlatformWideRuntime, CaseIgnoringComparisonOfAPrefix) {
    EXPECT_EQ(_wcsnicmp(L"LayerA", L"layerB", 5), 0);
    EXPECT_NE(_wcsnicmp(L"LayerA", L"layerB", 6), 0);
    EXPECT_EQ(_wcsnicmp(L"ab", L"AB", 10), 0);
    EXPECT_NE(_wcsnicmp(L"ab", L"ABC", 10), 0);
    EXPECT_EQ(_wcsnicmp(L"x", L"y", 0), 0);
    EXPECT_EQ(_wcsnicmp(nullptr, L"y", 0), 0);
    EXPECT_LT(_wcsnicmp(nullptr, L"y", 1), 0);
}

}  // namespace
