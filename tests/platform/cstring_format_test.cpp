// CString::Format and AppendFormat: the MFC meaning of %s and %c in a wide format, narrow
// arguments, numbers, widths and precisions, long outputs and conversions outside printf.
#include "kestrel/platform/cstring.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <string>

namespace {

CString format(const wchar_t* fmt, auto... args) {
    CString s;
    s.Format(fmt, args...);
    return s;
}

TEST(PlatformFormat, PercentSTakesWideTextAndPercentHsNarrow) {
    EXPECT_EQ(format(L"[%s]", L"w\u00E9de"), L"[w\u00E9de]");
    EXPECT_EQ(format(L"[%ls]", L"wide"), L"[wide]");
    EXPECT_EQ(format(L"[%hs]", "n\xC3\xA4rrow"), L"[n\u00E4rrow]");
    EXPECT_EQ(format(L"[%S]", "narrow"), L"[narrow]");
    EXPECT_EQ(format(L"[%hs]", "bad\xFF"), L"[bad\uFFFD]");
    EXPECT_EQ(format(L"[%s|%hs]", static_cast<const wchar_t*>(nullptr),
                     static_cast<const char*>(nullptr)),
              L"[(null)|(null)]");
}

TEST(PlatformFormat, StringObjectsPassAsTheirText) {
    const CString name(L"Layer \u00C4");
    const std::wstring other(L"std");
    EXPECT_EQ(format(L"%s/%s/%d", name, other, 3), L"Layer \u00C4/std/3");
    CString s(L"<");
    s.AppendFormat(L"%s>", s);
    EXPECT_EQ(s, L"<<>");
}

TEST(PlatformFormat, CharactersWideAndNarrow) {
    EXPECT_EQ(format(L"%c%c", L'\u03A9', L'x'), L"\u03A9x");
    EXPECT_EQ(format(L"%lc", L'\u00DF'), L"\u00DF");
    EXPECT_EQ(format(L"%hc%C", 'a', 'b'), L"ab");
    EXPECT_EQ(format(L"[%3c|%-3c]", L'a', L'b'), L"[  a|b  ]");
}

TEST(PlatformFormat, IntegersAndReals) {
    EXPECT_EQ(format(L"%d", 7), L"7");
    EXPECT_EQ(format(L"%d", -2147483647 - 1), L"-2147483648");
    EXPECT_EQ(format(L"%.4f", 2.5), L"2.5000");
    EXPECT_EQ(format(L"%.4f", 7.0), L"7.0000");
    EXPECT_EQ(format(L"%.4f", -0.00006), L"-0.0001");
    EXPECT_EQ(format(L"%x %X %#x %o", 255u, 255u, 255u, 8u), L"ff FF 0xff 10");
    EXPECT_EQ(format(L"%+05d|%-4d|% d", 42, 7, 3), L"+0042|7   | 3");
    EXPECT_EQ(format(L"%ld %lld %zu", 1L << 40, -(1LL << 62), std::size_t{5}),
              L"1099511627776 -4611686018427387904 5");
    EXPECT_EQ(format(L"%I64d %I32d", std::int64_t{1} << 40, 12), L"1099511627776 12");
    EXPECT_EQ(format(L"%hd %hhu", 70000, 257), L"4464 1");
    EXPECT_EQ(format(L"%g %e", 0.5, 1500.0), L"0.5 1.500000e+03");
    EXPECT_EQ(format(L"%Lf", 1.25L), L"1.250000");
}

TEST(PlatformFormat, StarWidthAndPrecision) {
    EXPECT_EQ(format(L"[%*d]", 5, 42), L"[   42]");
    EXPECT_EQ(format(L"[%*d]", -5, 42), L"[42   ]");
    EXPECT_EQ(format(L"[%.*f]", 2, 3.14159), L"[3.14]");
    EXPECT_EQ(format(L"[%.*f]", -1, 0.5), L"[0.500000]");
    EXPECT_EQ(format(L"[%*.*s]", 6, 3, L"abcdef"), L"[   abc]");
    EXPECT_EQ(format(L"[%-6.2hs]", "xyz"), L"[xy    ]");
    EXPECT_EQ(format(L"[%.0s]", L"hidden"), L"[]");
}

TEST(PlatformFormat, PercentSignsAndOddConversions) {
    EXPECT_EQ(format(L"100%%"), L"100%");
    EXPECT_EQ(format(L"%%d%d", 5), L"%d5");
    EXPECT_EQ(format(L"tail %"), L"tail %");
    EXPECT_EQ(format(L"%y|%d", 3), L"%y|3");
    int count = 123;
    EXPECT_EQ(format(L"ab%ncd", &count), L"abcd");
    EXPECT_EQ(count, 123);
}

TEST(PlatformFormat, LongOutputAndNonAsciiFormat) {
    const std::wstring longText(1500, L'\u4E2D');
    const CString s = format(L"\u00AB%s\u00BB %d", longText.c_str(), 12);
    EXPECT_EQ(s.GetLength(), 1500 + 5);
    EXPECT_EQ(s.Left(1), L"\u00AB");
    EXPECT_EQ(s.Right(4), L"\u00BB 12");
    EXPECT_EQ(format(L"%5000d", 1).GetLength(), 5000);
    EXPECT_EQ(format(L"%.3000f", 1.0).GetLength(), 3002);
}

TEST(PlatformFormat, HugeWidthIsCapped) {
    EXPECT_EQ(format(L"%99999999999d", 1).GetLength(), 1000000);
    EXPECT_EQ(format(L"%*s", INT_MIN, L"x").GetLength(), 1000000);
}

TEST(PlatformFormat, NullFormatGivesEmpty) {
    CString s(L"old");
    s.Format(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(PlatformFormat, AppendFormatKeepsTheTextAndMayReadItself) {
    CString s(L"n=");
    s.AppendFormat(L"%d;", 3);
    s.AppendFormat(L"%s", L"x");
    EXPECT_EQ(s, L"n=3;x");
    s.AppendFormat(L"[%s]", s.GetString());
    EXPECT_EQ(s, L"n=3;x[n=3;x]");
    s.Format(L"<%s>", s.GetString());
    EXPECT_EQ(s, L"<n=3;x[n=3;x]>");
}

TEST(PlatformFormat, NumbersIgnoreTheProcessLocale) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    const CString s = format(L"%.2f", 1.5);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(s, L"1.50");
}

}  // namespace
