// The DXF tokenizer: line ends, byte-order mark, comments, blanks, point assembly, value
// conversion by code, and the line and wording of each error.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dxf/dxf_lexer.h"
#include "platform/utf8.h"

namespace {

using host::DxfGroup;
using host::DxfLexer;

// The groups of text; their text values point into text, which the caller keeps.
std::vector<DxfGroup> lexAll(const std::string& text, std::string* message = nullptr) {
    DxfLexer lexer(text);
    std::vector<DxfGroup> groups;
    DxfGroup g;
    while (lexer.next(g)) {
        groups.push_back(g);
    }
    if (message != nullptr) {
        *message = wideToUtf8(lexer.message());
    }
    return groups;
}

// The message of the first error of text.
std::string errorOf(const std::string& text) {
    std::string message;
    lexAll(text, &message);
    return message;
}

TEST(DxfLexer, LineEndsMarksCommentsAndBlanksDoNotChangeTheGroups) {
    const std::string plain = "0\nLINE\n8\n Walls \n40\n2.5\n70\n3\n";
    const std::string variant =
        "\xEF\xBB\xBF  0\r\nLINE\r\n999\r\na comment\r\n\t8 \r\n Walls \r\n40\r\n  2.5 \r\n"
        "70\r\n +3\r\n";
    const auto a = lexAll(plain);
    const auto b = lexAll(variant);
    ASSERT_EQ(a.size(), 4u);
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].code, b[i].code);
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].integer, b[i].integer);
    }
    EXPECT_EQ(a[1].text, " Walls ");  // text values keep their blanks
    EXPECT_EQ(a[2].x, 2.5);
    EXPECT_EQ(a[3].integer, 3);
    EXPECT_EQ(a[2].line, 5u);
    EXPECT_EQ(b[2].line, 7u);  // the comment's two lines count
}

TEST(DxfLexer, PointsMergeTheirCoordinatesWithOrWithoutZ) {
    const std::string text = "10\n1.5\n20\n-2\n30\n3e2\n11\n4\n21\n5\n40\n6\n1010\n7\n1020\n8\n";
    const auto groups = lexAll(text);
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].valueClass, GroupValueClass::kPoint);
    EXPECT_TRUE(groups[0].hasZ);
    EXPECT_EQ(groups[0].z, 300.0);
    EXPECT_EQ(groups[1].code, 11);
    EXPECT_FALSE(groups[1].hasZ);
    EXPECT_EQ(groups[1].y, 5.0);
    EXPECT_EQ(groups[2].code, 40);
    EXPECT_EQ(groups[3].code, 1010);
    EXPECT_EQ(groups[3].y, 8.0);
    EXPECT_EQ(errorOf("10\n1\n40\n2\n"), "line 3: point group 10 of line 1 lacks its group 20");
    EXPECT_EQ(errorOf("10\n1\n"), "line 3: the file ends inside point group 10");
}

TEST(DxfLexer, ValuesAreCheckedByTheirCodesClass) {
    const std::string text = "70\n65535\n90\n4294967295\n160\n-9000000000\n330\n1aF\n310\n0aFF\n";
    const auto groups = lexAll(text);
    ASSERT_EQ(groups.size(), 5u);
    EXPECT_EQ(groups[0].integer, 65535);
    EXPECT_EQ(groups[1].integer, 4294967295);
    EXPECT_EQ(groups[2].integer, -9000000000);
    EXPECT_EQ(groups[3].integer, 0x1AF);
    EXPECT_EQ(groups[4].text, "0aFF");

    EXPECT_EQ(errorOf("0\nLINE\n40\n1,5\n"), "line 4: group 40: '1,5' is not a finite number");
    EXPECT_EQ(errorOf("40\nnan\n"), "line 2: group 40: 'nan' is not a finite number");
    EXPECT_EQ(errorOf("40\n1e999\n"), "line 2: group 40: '1e999' is not a finite number");
    EXPECT_EQ(errorOf("70\n1.0\n"), "line 2: group 70: '1.0' is not an integer");
    EXPECT_EQ(errorOf("70\n65536\n"), "line 2: group 70: '65536' is out of range");
    EXPECT_EQ(errorOf("90\n-2147483649\n"), "line 2: group 90: '-2147483649' is out of range");
    EXPECT_EQ(errorOf("330\nXY\n"), "line 2: group 330: 'XY' is not a handle");
    EXPECT_EQ(errorOf("330\n10000000000000000\n"),
              "line 2: group 330: '10000000000000000' is not a handle");
    EXPECT_EQ(errorOf("310\nABC\n"), "line 2: group 310: 'ABC' is not hexadecimal bytes");
}

TEST(DxfLexer, BrokenStructureIsReportedWithItsLine) {
    EXPECT_EQ(errorOf("0\nLINE\nabc\n1\n"), "line 3: group code 'abc' is not a number");
    EXPECT_EQ(errorOf("0\nLINE\n\n1\n"), "line 3: empty line where a group code belongs");
    EXPECT_EQ(errorOf("0\nLINE\n2000\nx\n"), "line 3: unknown group code 2000");
    EXPECT_EQ(errorOf("0\nLINE\n8\n"), "line 4: the file ends before the value of group code 8");
    EXPECT_EQ(errorOf(std::string("Binary drawing\r\n\x1a\0", 18)),
              "line 1: binary DXF files are not read; save the drawing as ASCII DXF");
    const std::string longValue(100, '7');
    EXPECT_EQ(errorOf("40\n" + longValue + "x\n"),
              "line 2: group 40: '" + longValue.substr(0, 40) + "...' is not a finite number");
}

TEST(DxfLexer, CodesOnlyPairsCodesWithTheirLinesUnchecked) {
    const std::string text = "10\n1.5\n20\nnot a number\n999\nnote\n70\n 7 \n";
    DxfLexer lexer(text, DxfLexer::Mode::kCodesOnly);
    std::vector<DxfGroup> groups;
    DxfGroup g;
    while (lexer.next(g)) {
        groups.push_back(g);
    }
    EXPECT_FALSE(lexer.failed());
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].code, 10);
    EXPECT_EQ(groups[0].text, "1.5");
    EXPECT_EQ(groups[1].text, "not a number");
    EXPECT_EQ(groups[2].text, " 7 ");
    EXPECT_EQ(groups[2].line, 7u);
    DxfLexer broken("0\nLINE\nx\n1\n", DxfLexer::Mode::kCodesOnly);
    while (broken.next(g)) {
    }
    EXPECT_EQ(wideToUtf8(broken.message()), "line 3: group code 'x' is not a number");
}

TEST(DxfLexer, AnErrorStopsTheLexer) {
    DxfLexer lexer("70\nx\n0\nEOF\n");
    DxfGroup g;
    EXPECT_FALSE(lexer.next(g));
    EXPECT_TRUE(lexer.failed());
    EXPECT_FALSE(lexer.next(g));
    EXPECT_EQ(wideToUtf8(lexer.message()), "line 2: group 70: 'x' is not an integer");
    DxfLexer empty("");
    EXPECT_FALSE(empty.next(g));
    EXPECT_FALSE(empty.failed());
}

}  // namespace
