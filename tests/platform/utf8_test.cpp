// UTF-8 conversion: round trips over every sequence length, replacement of each maximal bad
// subpart on decoding, and replacement of values that have no UTF-8 form on encoding.
#include "kestrel/platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

#include "kestrel/platform/cstring.h"

namespace {

TEST(PlatformUtf8, RoundTripsEverySequenceLength) {
    const std::wstring wide = L"A\u00E9\u20AC\U0001F600\U0010FFFF\u007F\u0080\u07FF\u0800\uFFFF";
    const std::string utf8 = wideToUtf8(wide);
    EXPECT_EQ(
        utf8,
        "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80"
        "\xEF\xBF\xBF");
    EXPECT_EQ(utf8ToWide(utf8), wide);
    EXPECT_EQ(utf8ToWide(""), L"");
    EXPECT_EQ(wideToUtf8(L""), "");
}

TEST(PlatformUtf8, RoundTripsEveryScalarValue) {
    std::wstring all;
    for (char32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 97)) {
        if (cp < 0xD800 || cp > 0xDFFF) {
            all += static_cast<wchar_t>(cp);
        }
    }
    EXPECT_EQ(utf8ToWide(wideToUtf8(all)), all);
}

TEST(PlatformUtf8, EmbeddedNullsSurvive) {
    const std::string utf8("a\0b", 3);
    const std::wstring wide = utf8ToWide(utf8);
    EXPECT_EQ(wide.size(), 3u);
    EXPECT_EQ(wideToUtf8(wide), utf8);
}

TEST(PlatformUtf8, BadBytesBecomeOneReplacementEach) {
    EXPECT_EQ(utf8ToWide("a\x80z"), L"a\uFFFDz");
    EXPECT_EQ(utf8ToWide("\xFF\xFE"), L"\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToWide("\xC0\xAF"), L"\uFFFD\uFFFD");                      // overlong '/'
    EXPECT_EQ(utf8ToWide("\xE0\x80\xAF"), L"\uFFFD\uFFFD\uFFFD");            // overlong 3-byte form
    EXPECT_EQ(utf8ToWide("\xED\xA0\x80"), L"\uFFFD\uFFFD\uFFFD");            // encoded surrogate
    EXPECT_EQ(utf8ToWide("\xF4\x90\x80\x80"), L"\uFFFD\uFFFD\uFFFD\uFFFD");  // over 0x10FFFF
    EXPECT_EQ(utf8ToWide("\xF5\x80"), L"\uFFFD\uFFFD");
}

TEST(PlatformUtf8, TruncatedSequenceIsOneReplacement) {
    EXPECT_EQ(utf8ToWide("\xE2\x82"), L"\uFFFD");
    EXPECT_EQ(utf8ToWide("\xE2\x82z"), L"\uFFFDz");
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x98"), L"\uFFFD");
    EXPECT_EQ(utf8ToWide("\xF0\x9F\x98\xF0\x9F\x98\x80"), L"\uFFFD\U0001F600");
    EXPECT_EQ(utf8ToWide("\xC3"), L"\uFFFD");
}

TEST(PlatformUtf8, UnencodableWideValuesBecomeReplacements) {
    const std::wstring lone = {L'a', static_cast<wchar_t>(0xD800), L'b',
                               static_cast<wchar_t>(0xDC00)};
    EXPECT_EQ(wideToUtf8(lone),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    const std::wstring outside = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1)};
    EXPECT_EQ(wideToUtf8(outside), "\xEF\xBF\xBD\xEF\xBF\xBD");
    const std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    EXPECT_EQ(wideToUtf8(pair), "\xF0\x9F\x98\x80");
    const std::wstring reversed = {static_cast<wchar_t>(0xDE00), static_cast<wchar_t>(0xD83D)};
    EXPECT_EQ(wideToUtf8(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(PlatformUtf8, LongMixedTextRoundTrips) {
    std::wstring wide;
    std::size_t expectedBytes = 0;
    for (int i = 0; i < 100000; ++i) {
        if (i % 7 == 0) {
            wide += L'\u00FC';
            expectedBytes += 2;
        } else if (i % 11 == 0) {
            wide += L'\U0001F600';
            expectedBytes += 4;
        } else {
            wide += L'x';
            expectedBytes += 1;
        }
    }
    const std::string utf8 = wideToUtf8(wide);
    EXPECT_EQ(utf8.size(), expectedBytes);
    EXPECT_EQ(utf8ToWide(utf8), wide);
}

TEST(PlatformUtf8, CStringFromNarrowTextDecodesUtf8) {
    EXPECT_EQ(CString("\xE2\x82\xAC 5"), L"\u20AC 5");
    EXPECT_EQ(CString("\xE2\x82"), L"\uFFFD");
}

}  // namespace
