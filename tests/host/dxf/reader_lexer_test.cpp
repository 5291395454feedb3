// The DXF tokenizer: line ends, byte-order mark, comments, blanks, point assembly, value
// conversion by code, and the line and wording of each error; binary files: their values, their
// byte offsets, and the same groups as the ASCII file of the same drawing (written by ezdxf).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "host/dxf/dxf_lexer.h"
#include "kestrel/platform/utf8.h"

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
    const std::string text =
        "70\n65535\n90\n4294967295\n160\n-9000000000\n330\n1aF\n310\n0aFF\n330\nXY\n"
        "330\n10000000000000000\n330\n\n";
    const auto groups = lexAll(text);
    ASSERT_EQ(groups.size(), 8u);
    EXPECT_EQ(groups[0].integer, 65535);
    EXPECT_EQ(groups[1].integer, 4294967295);
    EXPECT_EQ(groups[2].integer, -9000000000);
    EXPECT_EQ(groups[3].integer, 0x1AF);
    EXPECT_EQ(groups[4].text, "0aFF");
    EXPECT_EQ(groups[5].integer, host::kNotAHandle);
    EXPECT_EQ(groups[5].text, "XY");
    EXPECT_EQ(groups[6].integer, host::kNotAHandle);
    EXPECT_EQ(groups[7].integer, 0);

    EXPECT_EQ(errorOf("0\nLINE\n40\n1,5\n"), "line 4: group 40: '1,5' is not a finite number");
    EXPECT_EQ(errorOf("40\nnan\n"), "line 2: group 40: 'nan' is not a finite number");
    EXPECT_EQ(errorOf("40\n1e999\n"), "line 2: group 40: '1e999' is not a finite number");
    EXPECT_EQ(errorOf("70\n1.0\n"), "line 2: group 70: '1.0' is not an integer");
    EXPECT_EQ(errorOf("70\n65536\n"), "line 2: group 70: '65536' is out of range");
    EXPECT_EQ(errorOf("90\n-2147483649\n"), "line 2: group 90: '-2147483649' is out of range");
    EXPECT_EQ(errorOf("310\nABC\n"), "line 2: group 310: 'ABC' is not hexadecimal bytes");
}

TEST(DxfLexer, BrokenStructureIsReportedWithItsLine) {
    EXPECT_EQ(errorOf("0\nLINE\nabc\n1\n"), "line 3: group code 'abc' is not a number");
    EXPECT_EQ(errorOf("0\nLINE\n\n1\n"), "line 3: empty line where a group code belongs");
    EXPECT_EQ(errorOf("0\nLINE\n2000\nx\n"), "line 3: unknown group code 2000");
    EXPECT_EQ(errorOf("0\nLINE\n8\n"), "line 4: the file ends before the value of group code 8");
    EXPECT_EQ(errorOf(std::string("Binary drawing\r\n\x1a\0", 18)),
              "line 1: binary data without the title of a binary DXF file");
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

// A binary DXF file built group by group, starting with its title and 0 SECTION. Codes take two
// bytes, or one (release 12) with 255 and two bytes for codes above 254.
class BinaryFile {
public:
    explicit BinaryFile(bool oneByteCodes = false) : m_oneByteCodes(oneByteCodes) {
        text(0, "SECTION");
    }
    BinaryFile& code(int code) {
        if (m_oneByteCodes && code < 255) {
            return put(static_cast<std::uint64_t>(code), 1);
        }
        return (m_oneByteCodes ? put(255, 1) : *this).put(static_cast<std::uint64_t>(code), 2);
    }
    BinaryFile& text(int c, std::string_view value) {
        code(c).m_bytes.append(value).push_back('\0');
        return *this;
    }
    BinaryFile& integer(int c, std::int64_t value, int size) {
        return code(c).put(static_cast<std::uint64_t>(value), size);
    }
    BinaryFile& real(int c, double value) {
        return code(c).put(std::bit_cast<std::uint64_t>(value), 8);
    }
    BinaryFile& chunk(int c, std::string_view bytes) {
        code(c).put(bytes.size(), 1).m_bytes.append(bytes);
        return *this;
    }
    BinaryFile& raw(std::string_view bytes) {
        m_bytes.append(bytes);
        return *this;
    }
    const std::string& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

private:
    BinaryFile& put(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i, value >>= 8) {
            m_bytes.push_back(static_cast<char>(value & 0xFF));
        }
        return *this;
    }

    std::string m_bytes{"AutoCAD Binary DXF\r\n\x1a\0", 22};
    bool m_oneByteCodes;
};

TEST(DxfLexer, BinaryFilesGiveTypedGroupsAtTheirByteOffsets) {
    for (const bool oneByteCodes : {false, true}) {
        SCOPED_TRACE(oneByteCodes ? "one-byte codes" : "two-byte codes");
        BinaryFile file(oneByteCodes);
        file.text(5, "2F").text(330, "1a").integer(62, -2, 2).integer(90, -7, 4).text(330, "XY");
        file.integer(1071, 70000, 4).integer(160, -9000000000, 8).integer(290, 1, 1);
        const std::size_t pointAt = file.size();
        file.real(10, 1.5).real(20, -2).real(40, 0.25).real(1011, 3).real(1021, 4).real(1031, 5);
        file.text(999, "comment").chunk(310, std::string_view("\x01\0\xFF", 3));
        DxfLexer lexer(file.bytes());
        std::vector<DxfGroup> g;
        for (DxfGroup group; lexer.next(group);) {
            g.push_back(group);
        }
        ASSERT_FALSE(lexer.failed()) << wideToUtf8(lexer.message());
        EXPECT_TRUE(lexer.binary());
        ASSERT_EQ(g.size(), 13u);
        EXPECT_EQ(g[0].text, "SECTION");
        EXPECT_EQ(g[0].line, 22u);
        EXPECT_EQ(g[1].text, "2F");
        EXPECT_EQ(g[2].integer, 0x1A);
        EXPECT_EQ(g[3].integer, -2);
        EXPECT_EQ(g[4].integer, -7);
        EXPECT_EQ(g[5].integer, host::kNotAHandle);
        EXPECT_EQ(g[6].integer, 70000);
        EXPECT_EQ(g[7].integer, -9000000000);
        EXPECT_EQ(g[8].integer, 1);
        EXPECT_EQ(g[9].line, pointAt);
        EXPECT_EQ(g[9].valueClass, GroupValueClass::kPoint);
        EXPECT_EQ(g[9].y, -2.0);
        EXPECT_FALSE(g[9].hasZ);
        EXPECT_EQ(g[10].x, 0.25);
        EXPECT_TRUE(g[11].hasZ);
        EXPECT_EQ(g[11].z, 5.0);
        EXPECT_EQ(host::dxfGroupBytes(g[12]), (std::vector<unsigned char>{1, 0, 255}));
        EXPECT_EQ(wideToUtf8(lexer.where(7)), "byte 7");
    }
    DxfGroup ascii;
    DxfLexer("310\n01FF\n").next(ascii);
    EXPECT_EQ(host::dxfGroupBytes(ascii), (std::vector<unsigned char>{1, 255}));
}

TEST(DxfLexer, BrokenBinaryFilesFailAtTheirByteOffset) {
    BinaryFile file;
    const std::size_t nameAt = file.size();
    file.text(2, "ENTITIES");
    const std::size_t realAt = file.size();
    file.real(40, 2.5).real(10, 1);
    const std::string whole = file.bytes();
    BinaryFile oneByte(true);
    const std::size_t escapeAt = oneByte.size();
    oneByte.code(1071);
    // Groups after 0 SECTION start at byte 32.
    const auto made = [](auto build) {
        BinaryFile f;
        build(f);
        return f.bytes();
    };
    const std::pair<std::string, std::string> cases[] = {
        {whole.substr(0, realAt + 1),
         "byte " + std::to_string(realAt) + ": the file ends inside a group code"},
        {whole.substr(0, nameAt + 5),
         "byte " + std::to_string(nameAt + 2) + ": the file ends inside the value of group code 2"},
        {whole.substr(0, realAt + 6), "byte " + std::to_string(realAt + 2) +
                                          ": the file ends inside the value of group code 40"},
        {whole, "byte " + std::to_string(whole.size()) + ": the file ends inside point group 10"},
        {oneByte.bytes().substr(0, escapeAt + 2),
         "byte " + std::to_string(escapeAt) + ": the file ends inside a group code"},
        {made([](BinaryFile& f) {
             f.code(310).raw(
                 "\x05"
                 "abcd");
         }),
         "byte 34: the file ends inside the value of group code 310"},
        {made([](BinaryFile& f) { f.code(2000).raw("abcd"); }), "byte 32: unknown group code 2000"},
        {made([](BinaryFile& f) { f.real(40, std::numeric_limits<double>::quiet_NaN()); }),
         "byte 32: group 40: 'nan' is not a finite number"},
        {made([](BinaryFile& f) { f.real(10, 1).real(40, 2); }),
         "byte 42: point group 10 of byte 32 lacks its group 20"},
        {whole.substr(0, 22) + std::string("\x07\0junk", 6),
         "byte 22: the binary DXF file does not start with group 0 SECTION"},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(errorOf(bytes), expected);
    }
}

// Writes, with ezdxf, one drawing per release as R.dxf and R.bin.dxf into the folder given.
constexpr const char* kPairScript = R"(import sys, ezdxf
ezdxf.options.write_fixed_meta_data_for_testing = True
for release in ("R12", "R2018"):
    doc = ezdxf.new(release)
    doc.appids.new("KESTREL")
    msp = doc.modelspace()
    line = msp.add_line((0, 0, 0), (10.25, -5e-7, 3))
    line.set_xdata("KESTREL", [(1000, "caf\u00e9"), (1004, bytes(range(100))),
                               (1010, (1, 2, 3)), (1071, -7), (1070, -2)])
    msp.add_text("text ^ x", dxfattribs={"height": 2.5})
    msp.add_polyline2d([(0, 0), (1, 1.5), (2, 0)])
    if release != "R12":
        msp.add_lwpolyline([(0, 0), (4, 0), (4, 4)], close=True)
        msp.add_mtext("line\\Pnext \u65e5")
        record = doc.rootdict.add_xrecord("KESTREL_DATA")
        record.extend([(310, bytes(range(127))), (160, -9000000000), (290, 1)])
    doc.saveas(f"{sys.argv[1]}/{release}.dxf")
    doc.saveas(f"{sys.argv[1]}/{release}.bin.dxf", fmt="bin")
)";

int runPython(const std::string& arguments) {
    const int status = std::system(("/usr/bin/python3 " + arguments + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Everything a group says, kBinary values as their bytes, reals exactly.
std::string describe(const DxfGroup& g) {
    std::string text(g.text);
    if (g.valueClass == GroupValueClass::kBinary) {
        const std::vector<unsigned char> bytes = host::dxfGroupBytes(g);
        text.assign(bytes.begin(), bytes.end());
    }
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, " %d %.17g %.17g %.17g %d %lld",
                  static_cast<int>(g.valueClass), g.x, g.y, g.z, g.hasZ ? 1 : 0,
                  static_cast<long long>(g.integer));
    return std::to_string(g.code) + " '" + text + "'" + numbers;
}

TEST(DxfLexer, AsciiAndBinaryFilesOfOneDrawingGiveTheSameGroups) {
    if (runPython("-c 'import ezdxf'") != 0) {
        GTEST_SKIP() << "ezdxf is not installed";
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("kestrel_dxf_lexer_pairs_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "make_pairs.py") << kPairScript;
    ASSERT_EQ(runPython("'" + (folder / "make_pairs.py").string() + "' '" + folder.string() + "'"),
              0);
    for (const std::string release : {"R12", "R2018"}) {
        SCOPED_TRACE(release);
        const std::string ascii = fileBytes(folder / (release + ".dxf"));
        const std::string binary = fileBytes(folder / (release + ".bin.dxf"));
        ASSERT_GT(binary.size(), 24u);
        EXPECT_EQ(binary[23] == 'S', release == "R12");  // one-byte codes
        std::string message;
        const std::vector<DxfGroup> a = lexAll(ascii, &message);
        ASSERT_EQ(message, "");
        const std::vector<DxfGroup> b = lexAll(binary, &message);
        ASSERT_EQ(message, "");
        ASSERT_EQ(a.size(), b.size());
        int chunks = 0;
        int flatPoints = 0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_EQ(describe(a[i]), describe(b[i])) << "group " << i;
            chunks += a[i].valueClass == GroupValueClass::kBinary ? 1 : 0;
            flatPoints += a[i].valueClass == GroupValueClass::kPoint && !a[i].hasZ ? 1 : 0;
        }
        EXPECT_GE(chunks, release == "R12" ? 1 : 2);
        EXPECT_GT(flatPoints, 0);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
