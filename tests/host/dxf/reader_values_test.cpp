// Values as files give them: texts decoded from the code page or UTF-8 with their escapes and
// carets (bytes that do not decode reported), and points written without Z kept that way by raw
// objects through copies and back into files.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "host/dxf/dxf_text_decoder.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/raw_object.h"
#include "tests/host/dxf/reader_fixture.h"

namespace {

using namespace std::literals;
using host::DxfItem;
using host::DxfItemList;

struct DecodeCase {
    const char* release;
    const char* codePage;
    std::string_view bytes;
    std::wstring_view expected;
    bool exact = true;  // every byte decoded
    bool known = true;  // codePageKnown()
};

TEST(DxfTextDecoder, DecodesByReleaseAndCodePageThenEscapes) {
    const DecodeCase cases[] = {
        // Code pages by name, in any spelling.
        {"AC1015", "ANSI_1252", "plain", L"plain"},
        {"AC1015", "ANSI_1252", "caf\xE9", L"caf\u00E9"},
        {"AC1015", "ansi-1251", "\xCF\xF0\xE8", L"\u041F\u0440\u0438"},
        {"AC1009", "ANSI_1250", "\x8A", L"\u0160"},
        {"AC1015", "ANSI_874", "\xA1", L"\u0E01"},
        {"AC1015", "DOS850", "\x82", L"\u00E9"},
        {"AC1015", "iso8859-7", "\xE1", L"\u03B1"},
        {"AC1015", "ANSI_932", "\x93\xFA\x96\x7B", L"\u65E5\u672C"},
        {"AC1015", "ANSI_936", "\xD6\xD0", L"\u4E2D"},
        {"AC1015", "ANSI_949", "\xC7\xD1", L"\uD55C"},
        {"AC1015", "ANSI_950", "\xA4\xA4", L"\u4E2D"},
        // No code page, or one not known: windows-1252.
        {"", "", "\x80", L"\u20AC"},
        {"AC1015", "KLINGON", "\x80", L"\u20AC", true, false},
        {"AC1015", "ANSI_99999", "\x80", L"\u20AC", true, false},
        // UTF-8 from release 2007 on; before, a single-byte code page's valid UTF-8 reads as such.
        {"AC1021", "ANSI_1251", "caf\xC3\xA9", L"caf\u00E9"},
        {"AC1015", "ANSI_1252", "caf\xC3\xA9", L"caf\u00E9"},
        {"AC1015", "ANSI_932", "\xE6\x97\xA5", L"\u8B4C\uFF65"},
        // Bytes that do not decode.
        {"AC1027", "", "caf\xE9!", L"caf\uFFFD!", false},
        {"AC1015", "ANSI_1252", "a\x81z", L"a\uFFFDz", false},
        {"AC1015", "ANSI_932", "\x93", L"\uFFFD", false},
        // Escapes, read after the code page (0x5C is the second byte of U+8868).
        {"AC1015", "ANSI_932", "\x95\x5CU+0041", L"\u8868U+0041"},
        {"AC1018", "", "\\U+00e9t\\U+D83D\\U+DE00", L"\u00E9t\U0001F600"},
        {"AC1018", "", "\\U+D83D \\U+DE00 \\U+12G4 \\U+41", L"\\U+D83D \\U+DE00 \\U+12G4 \\U+41"},
        {"AC1015", "ANSI_1252", "\\M+193FA\\M+5D6D0\\M+48861\\M+3C7D1\\M+2A4A4",
         L"\u65E5\u4E2D\uAC00\uD55C\u4E2D"},
        {"AC1015", "ANSI_1252", "\\M+693FA \\M+193F", L"\\M+693FA \\M+193F"},
        {"AC1015", "ANSI_1252", "\\M+18120", L"\uFFFD ", false},
        // Carets.
        {"AC1024", "", "a^Jb^I^@^_^ ^a^", L"a\nb\t\0\x1F^ ^a^"sv},
    };
    std::wstring out = L"left over";
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(std::string(c.codePage) + " '" + std::string(c.bytes) + "'");
        host::DxfTextDecoder decoder(c.release, c.codePage);
        EXPECT_EQ(decoder.decode(c.bytes, out), c.exact);
        EXPECT_EQ(out, c.expected);
        EXPECT_EQ(decoder.codePageKnown(), c.known);
    }
}

class RawPoints : public dxftest::ReaderTest {};

TEST_F(RawPoints, PointsGivenWithoutZStayWithoutZ) {
    DxfItem flat{10, AcGePoint3d(1.5, 2.5, 0)};
    flat.point2d = true;
    const DxfItemList kept = {{100, std::wstring(L"AcDbThing")}, flat, {11, AcGePoint3d(3, 4, 5)}};
    DxfItemList groups = {{100, std::wstring(L"AcDbEntity")}, {8, std::wstring(L"0")}};
    groups.insert(groups.end(), kept.begin(), kept.end());

    AcDbDatabase db(true, true);
    auto* entity = new AcDbRawEntity(L"THING");
    host::DxfItemFiler filer(groups, &db);
    ASSERT_EQ(entity->dxfIn(&filer), Acad::eOk) << wideToUtf8(filer.errorMessage());
    std::unique_ptr<AcRxObject> copy(entity->clone());
    const auto* raw = AcDbRawEntity::cast(copy.get());
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->groups(), kept);
    EXPECT_TRUE(raw->groups()[1].point2d);

    ASSERT_FALSE(testsupport::appendEntity(entity, db.currentSpaceId()).isNull());
    const std::filesystem::path path = m_files.path("flat.dxf");
    ASSERT_EQ(db.saveAs(utf8ToWide(path.string()).c_str()), Acad::eOk) << message();
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(text.find("AcDbThing\n 10\n1.5\n 20\n2.5\n 11\n3.0\n 21\n4.0\n 31\n5.0\n"),
              std::string::npos);
}

}  // namespace
