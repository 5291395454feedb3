// CString construction, access, substrings with their clamping, searching, editing, trimming,
// comparison, buffers and concatenation.
#include "kestrel/platform/cstring.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <map>
#include <string>

namespace {

TEST(PlatformCString, ConstructionFromEveryKindOfSource) {
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(CString(L"abc"), L"abc");
    EXPECT_EQ(CString(L"abcdef", 3), L"abc");
    EXPECT_TRUE(CString(L"abc", -1).IsEmpty());
    EXPECT_EQ(CString(L'x', 3), L"xxx");
    EXPECT_TRUE(CString(L'x', -2).IsEmpty());
    EXPECT_EQ(CString("gr\xC3\xBC\xC3\x9F"), L"gr\u00FC\u00DF");
    EXPECT_EQ(CString(std::wstring(L"std")), L"std");
}

TEST(PlatformCString, LengthConstructorKeepsEmbeddedNulls) {
    const wchar_t text[] = {L'a', L'\0', L'b'};
    const CString s(text, 3);
    EXPECT_EQ(s.GetLength(), 3);
    EXPECT_EQ(s.GetAt(2), L'b');
    EXPECT_NE(s, CString(L"a"));
    EXPECT_EQ(s.Compare(L"a"), 1);
}

TEST(PlatformCString, AccessOutsideTheStringIsHarmless) {
    CString s(L"abc");
    EXPECT_EQ(s.GetAt(-1), L'\0');
    EXPECT_EQ(s.GetAt(3), L'\0');
    EXPECT_EQ(s[std::size_t{1}], L'b');
    EXPECT_EQ(s[99u], L'\0');
    EXPECT_EQ(s[-5], L'\0');
    s.SetAt(3, L'z');
    s.SetAt(-1, L'z');
    s.SetAt(0, L'A');
    EXPECT_EQ(s, L"Abc");
    EXPECT_EQ(std::wcslen(s), 3u);
}

TEST(PlatformCString, MidClampsLikeMfc) {
    const CString s(L"abcdef");
    EXPECT_EQ(s.Mid(2), L"cdef");
    EXPECT_EQ(s.Mid(2, 3), L"cde");
    EXPECT_EQ(s.Mid(-3, 2), L"ab");
    EXPECT_EQ(s.Mid(4, 100), L"ef");
    EXPECT_EQ(s.Mid(6), L"");
    EXPECT_EQ(s.Mid(60, 2), L"");
    EXPECT_EQ(s.Mid(1, -1), L"");
    EXPECT_EQ(s.Mid(1, INT_MAX), L"bcdef");
    EXPECT_EQ(s.Mid(INT_MIN, INT_MAX), L"abcdef");
}

TEST(PlatformCString, LeftAndRightClampTheirCount) {
    const CString s(L"abcdef");
    EXPECT_EQ(s.Left(2), L"ab");
    EXPECT_EQ(s.Left(0), L"");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Left(10), L"abcdef");
    EXPECT_EQ(s.Right(2), L"ef");
    EXPECT_EQ(s.Right(-1), L"");
    EXPECT_EQ(s.Right(10), L"abcdef");
    EXPECT_EQ(CString().Right(3), L"");
}

TEST(PlatformCString, FindCharacterAndSubstring) {
    const CString s(L"abcabc");
    EXPECT_EQ(s.Find(L'b'), 1);
    EXPECT_EQ(s.Find(L'b', 2), 4);
    EXPECT_EQ(s.Find(L'z'), -1);
    EXPECT_EQ(s.Find(L'a', 6), -1);
    EXPECT_EQ(s.Find(L'a', -1), -1);
    EXPECT_EQ(s.Find(L"ca"), 2);
    EXPECT_EQ(s.Find(L"abc", 1), 3);
    EXPECT_EQ(s.Find(L"abcd"), -1);
    EXPECT_EQ(s.Find(static_cast<const wchar_t*>(nullptr)), -1);
    EXPECT_EQ(s.ReverseFind(L'a'), 3);
    EXPECT_EQ(s.ReverseFind(L'z'), -1);
    EXPECT_EQ(s.FindOneOf(L"xc"), 2);
    EXPECT_EQ(s.FindOneOf(L""), -1);
}

TEST(PlatformCString, FindEmptyPatternAnswersTheStartWithinTheString) {
    const CString s(L"abc");
    EXPECT_EQ(s.Find(L""), 0);
    EXPECT_EQ(s.Find(L"", 3), 3);
    EXPECT_EQ(s.Find(L"", 4), -1);
    EXPECT_EQ(s.Find(L"", -1), -1);
}

TEST(PlatformCString, FindOverlappingOccurrences) {
    const CString s(L"aaaa");
    EXPECT_EQ(s.Find(L"aa"), 0);
    EXPECT_EQ(s.Find(L"aa", 1), 1);
    EXPECT_EQ(s.Find(L"aa", 2), 2);
    EXPECT_EQ(s.Find(L"aa", 3), -1);
}

TEST(PlatformCString, ReplaceCountsNonOverlappingMatches) {
    CString s(L"aaaa");
    EXPECT_EQ(s.Replace(L"aa", L"b"), 2);
    EXPECT_EQ(s, L"bb");
    s = L"aaa";
    EXPECT_EQ(s.Replace(L"aa", L"x"), 1);
    EXPECT_EQ(s, L"xa");
    s = L"a.b.c";
    EXPECT_EQ(s.Replace(L".", L"::"), 2);
    EXPECT_EQ(s, L"a::b::c");
    EXPECT_EQ(s.Replace(L"::", nullptr), 2);
    EXPECT_EQ(s, L"abc");
    EXPECT_EQ(s.Replace(L"", L"x"), 0);
    EXPECT_EQ(s.Replace(nullptr, L"x"), 0);
    EXPECT_EQ(s.Replace(L"zz", L"x"), 0);
    EXPECT_EQ(s, L"abc");
}

TEST(PlatformCString, ReplaceWithTextContainingThePattern) {
    CString s(L"ab");
    EXPECT_EQ(s.Replace(L"a", L"aa"), 1);
    EXPECT_EQ(s, L"aab");
    s = L"xyx";
    EXPECT_EQ(s.Replace(s.Left(1), L"<x>"), 2);
    EXPECT_EQ(s, L"<x>y<x>");
}

TEST(PlatformCString, ReplaceAndRemoveCharacters) {
    CString s(L"a-b-c");
    EXPECT_EQ(s.Replace(L'-', L'+'), 2);
    EXPECT_EQ(s, L"a+b+c");
    EXPECT_EQ(s.Replace(L'+', L'+'), 0);
    EXPECT_EQ(s.Remove(L'+'), 2);
    EXPECT_EQ(s, L"abc");
    EXPECT_EQ(s.Remove(L'z'), 0);
}

TEST(PlatformCString, InsertAndDeleteClampTheirPosition) {
    CString s(L"ace");
    EXPECT_EQ(s.Insert(1, L'b'), 4);
    EXPECT_EQ(s.Insert(3, L"d"), 5);
    EXPECT_EQ(s, L"abcde");
    EXPECT_EQ(s.Insert(-4, L"<"), 6);
    EXPECT_EQ(s.Insert(100, L">"), 7);
    EXPECT_EQ(s, L"<abcde>");
    EXPECT_EQ(s.Insert(2, nullptr), 7);
    EXPECT_EQ(s.Delete(0), 6);
    EXPECT_EQ(s.Delete(5, 10), 5);
    EXPECT_EQ(s, L"abcde");
    EXPECT_EQ(s.Delete(1, 2), 3);
    EXPECT_EQ(s, L"ade");
    EXPECT_EQ(s.Delete(-2, 1), 2);
    EXPECT_EQ(s.Delete(10, 1), 2);
    EXPECT_EQ(s.Delete(0, -1), 2);
    EXPECT_EQ(s.Delete(1, INT_MAX), 1);
    EXPECT_EQ(s, L"d");
}

TEST(PlatformCString, TrimBlanksCharactersAndSets) {
    CString s(L" \t\r\n mid dle \n");
    EXPECT_EQ(s.Trim(), L"mid dle");
    s = L"  left";
    EXPECT_EQ(s.TrimRight(), L"  left");
    EXPECT_EQ(s.TrimLeft(), L"left");
    s = L"xxaxx";
    EXPECT_EQ(CString(s).TrimLeft(L'x'), L"axx");
    EXPECT_EQ(CString(s).TrimRight(L'x'), L"xxa");
    EXPECT_EQ(s.Trim(L'x'), L"a");
    s = L"-+a+-b-+";
    EXPECT_EQ(CString(s).TrimLeft(L"+-"), L"a+-b-+");
    EXPECT_EQ(CString(s).TrimRight(L"+-"), L"-+a+-b");
    EXPECT_EQ(s.Trim(L"-+"), L"a+-b");
    EXPECT_EQ(s.Trim(static_cast<const wchar_t*>(nullptr)), L"a+-b");
    s = L"   ";
    EXPECT_TRUE(s.Trim().IsEmpty());
}

TEST(PlatformCString, CompareIsExactAndOrdersByUnitValue) {
    const CString s(L"abc");
    EXPECT_EQ(s.Compare(L"abc"), 0);
    EXPECT_EQ(s.Compare(L"abd"), -1);
    EXPECT_EQ(s.Compare(L"ab"), 1);
    EXPECT_EQ(s.Compare(L"ABC"), 1);
    EXPECT_EQ(s.Compare(nullptr), 1);
    EXPECT_EQ(CString().Compare(nullptr), 0);
    EXPECT_EQ(CString(L"\u00E9").Compare(CString(L"z")), 1);
    EXPECT_EQ(CString(L"\U0001F600").Compare(L"\uFFFF"), 1);
}

TEST(PlatformCString, CompareNoCaseFoldsAsciiLetters) {
    const CString s(L"Layer-0");
    EXPECT_EQ(s.CompareNoCase(L"LAYER-0"), 0);
    EXPECT_EQ(s.CompareNoCase(L"layer-0"), 0);
    EXPECT_EQ(s.CompareNoCase(L"LAYER-1"), -1);
    EXPECT_EQ(s.CompareNoCase(L"layer"), 1);
    EXPECT_EQ(s.CompareNoCase(CString(L"LAYER-00")), -1);
    EXPECT_EQ(s.CompareNoCase(nullptr), 1);
    // '_' lies between the upper and lower case letters: folding must happen before ordering.
    EXPECT_EQ(CString(L"_").CompareNoCase(L"A"), -1);
    EXPECT_EQ(CString(L"A").Compare(L"_"), -1);
}

TEST(PlatformCString, CompareNoCaseFollowsTheCharacterLocaleBeyondAscii) {
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) {
        GTEST_SKIP() << "no UTF-8 character locale on this machine";
    }
    const int accented = CString(L"\u00C9t\u00C9").CompareNoCase(L"\u00E9t\u00E9");
    const int greek = CString(L"\u03A3").CompareNoCase(L"\u03C3");
    std::setlocale(LC_CTYPE, previous.c_str());
    EXPECT_EQ(accented, 0);
    EXPECT_EQ(greek, 0);
}

TEST(PlatformCString, MakeUpperLowerAndReverseReturnTheString) {
    CString s(L"Mixed Case 1");
    EXPECT_EQ(s.MakeUpper(), L"MIXED CASE 1");
    EXPECT_EQ(s.MakeLower(), L"mixed case 1");
    EXPECT_EQ(s.MakeReverse(), L"1 esac dexim");
}

TEST(PlatformCString, GetBufferAndReleaseBuffer) {
    CString s(L"ab");
    wchar_t* buffer = s.GetBuffer(10);
    EXPECT_EQ(buffer[0], L'a');
    EXPECT_EQ(buffer[2], L'\0');
    std::wcscpy(buffer, L"0123456789");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"0123456789");

    buffer = s.GetBuffer(4);
    buffer[1] = L'\0';
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"0");

    buffer = s.GetBuffer(8);
    std::wcscpy(buffer, L"abcdefg");
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, L"abc");

    s.GetBuffer();
    s.ReleaseBuffer(100);
    EXPECT_EQ(s, L"abc");
}

TEST(PlatformCString, ConcatenationInEveryForm) {
    const CString a(L"ab");
    EXPECT_EQ(a + CString(L"cd"), L"abcd");
    EXPECT_EQ(a + L"cd", L"abcd");
    EXPECT_EQ(L"<" + a, L"<ab");
    EXPECT_EQ(a + L'!', L"ab!");
    EXPECT_EQ(CString(L"x") + a + L'-' + L"y", L"xab-y");
    EXPECT_EQ(a + static_cast<const wchar_t*>(nullptr), L"ab");
    CString s;
    s += a;
    s += L"cd";
    s += L'e';
    s += static_cast<const wchar_t*>(nullptr);
    EXPECT_EQ(s, L"abcde");
    s += s;
    EXPECT_EQ(s, L"abcdeabcde");
    s += s.GetString() + 5;
    EXPECT_EQ(s.GetLength(), 15);
}

TEST(PlatformCString, EqualityFromBothSidesAndMapOrdering) {
    const CString s(L"key");
    EXPECT_TRUE(s == L"key");
    EXPECT_TRUE(L"key" == s);
    EXPECT_TRUE(s != L"Key");
    EXPECT_TRUE(L"Key" != s);
    EXPECT_FALSE(s != CString(L"key"));
    std::map<CString, int> map;
    map[CString(L"b")] = 2;
    map[CString(L"a")] = 1;
    map[CString(L"B")] = 0;
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map.begin()->first, L"B");
    EXPECT_EQ(map.rbegin()->first, L"b");
}

TEST(PlatformCString, ConvertsToAPointerForCApis) {
    const CString s(L"abc");
    const wchar_t* pointer = s;
    EXPECT_EQ(std::wcscmp(pointer, L"abc"), 0);
    EXPECT_EQ(std::wcslen(CString()), 0u);
}

}  // namespace
