// What the writer puts in a file, group by group: exact reals whatever the locale, degrees where
// files want them, 2D points, UTF-8 and caret escapes, handles under 105 for dimension styles,
// the paper-space flag, sequences after their owners, the header's current records and extents,
// the CLASSES section, dimension blocks, and what it leaves out (a thickness of 0).
#include <algorithm>
#include <cstdlib>
#include <locale>
#include <numbers>

#include "host/dxf/dxf_conventions.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/file_message.h"
#include "kestrel/host/ge/extents.h"
#include "kestrel/platform/utf8.h"
#include "tests/host/dxf/writer_fixture.h"

namespace writertest {
namespace {

class WriterValuesTest : public WriterTest {};

// The value of the header variable name (its first group).
std::string header(const std::vector<Group>& groups, const char* name) {
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
        if (groups[i].code == 9 && groups[i].value == name) {
            return groups[i + 1].value;
        }
    }
    return "(none)";
}

std::vector<std::string> types(const std::vector<Group>& groups) {
    std::vector<std::string> names;
    for (const Group& g : groups) {
        if (g.code == 0) {
            names.push_back(g.value);
        }
    }
    return names;
}

// A numeric facet with a decimal comma, as some locales have.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST_F(WriterValuesTest, WriterValuesRealsReadBackExactlyWhateverTheLocale) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const std::string plain = textOf(db);
    const std::locale previous = std::locale::global(std::locale(std::locale(), new CommaDecimal));
    const std::string withComma = textOf(db);
    std::locale::global(previous);
    EXPECT_EQ(plain, withComma);

    const auto line = objectGroups(groupsOf(plain), d.line);
    EXPECT_EQ(valueOf(line, 10), "0.1");
    EXPECT_EQ(std::strtod(valueOf(line, 20).c_str(), nullptr), 1.0 / 3.0);
    EXPECT_EQ(valueOf(line, 30), "-0.0");
    EXPECT_EQ(std::strtod(valueOf(line, 11).c_str(), nullptr), 1e-300);
    EXPECT_EQ(std::strtod(valueOf(line, 21).c_str(), nullptr), 2e300);
    EXPECT_EQ(valueOf(line, 31), "7.0");
}

TEST_F(WriterValuesTest, WriterValuesAnglesAreDegreesInEntitiesAndAsGivenInXrecords) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const auto groups = groupsOf(textOf(db));
    const auto arc = objectGroups(groups, d.arc);
    EXPECT_NEAR(std::strtod(valueOf(arc, 50).c_str(), nullptr), 30.0, 1e-12);
    EXPECT_NEAR(std::strtod(valueOf(arc, 51).c_str(), nullptr), 120.0, 1e-12);
    EXPECT_EQ(valueOf(objectGroups(groups, d.xrecord), 50), "0.25");
}

// A linetype's text or shape rotation is an angle that files hold in radians: it is written as it
// is and read back so.
TEST_F(WriterValuesTest, WriterValuesALinetypeShapeRotationStaysInRadians) {
    AcDbDatabase db;
    AcDbLinetypeTable* table = nullptr;
    ASSERT_EQ(db.getLinetypeTable(table, AcDb::kForWrite), Acad::eOk);
    auto* dotted = new AcDbLinetypeTableRecord;
    ASSERT_EQ(dotted->setName(L"TURNED"), Acad::eOk);
    ASSERT_EQ(dotted->setNumDashes(1), Acad::eOk);
    ASSERT_EQ(dotted->setTextAt(0, L"T"), Acad::eOk);
    ASSERT_EQ(dotted->setShapeStyleAt(0, db.textstyle()), Acad::eOk);
    ASSERT_EQ(dotted->setShapeRotationAt(0, 0.5), Acad::eOk);
    AcDbObjectId id;
    ASSERT_EQ(table->add(id, dotted), Acad::eOk);
    dotted->close();
    table->close();

    ASSERT_EQ(db.saveAs(widePath("turned.dxf").c_str()), Acad::eOk);
    EXPECT_EQ(valueOf(objectGroups(groupsOf(contents(path("turned.dxf"))), id), 50), "0.5");
    AcDbDatabase read(false, true);
    ASSERT_EQ(read.readDwgFile(widePath("turned.dxf").c_str()), Acad::eOk);
    AcDbObjectId readId;
    ASSERT_EQ(read.getAcDbObjectId(readId, false, id.handle()), Acad::eOk);
    EXPECT_EQ(testsupport::open<AcDbLinetypeTableRecord>(readId)->shapeRotationAt(0), 0.5);
}

TEST_F(WriterValuesTest, WriterValuesAThicknessOfZeroIsLeftOut) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    EXPECT_EQ(testsupport::open<AcDbArc>(d.arc, AcDb::kForWrite)->setThickness(2.0), Acad::eOk);
    const auto groups = groupsOf(textOf(db));
    EXPECT_EQ(valueOf(objectGroups(groups, d.arc), 39), "2.0");
    const auto line = objectGroups(groups, d.line);
    EXPECT_TRUE(
        std::none_of(line.begin(), line.end(), [](const Group& g) { return g.code == 39; }));
}

// What a class files as a 2D point or vector goes to the file without Z: lightweight vertices,
// a viewport's snap and grid spacing.
TEST_F(WriterValuesTest, WriterValuesTwoDimensionalPointsHaveNoZ) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const auto groups = groupsOf(textOf(db));
    const auto polyline = objectGroups(groups, d.polyline);
    int vertices = 0;
    for (std::size_t i = 0; i + 1 < polyline.size(); ++i) {
        if (polyline[i].code == 20) {
            ++vertices;
            EXPECT_NE(polyline[i + 1].code, 30);
        }
    }
    EXPECT_EQ(vertices, 3);
    const auto tables = section(groups, "TABLES");
    const auto spacing =
        std::find_if(tables.begin(), tables.end(), [](const Group& g) { return g.code == 14; });
    ASSERT_GE(tables.end() - spacing, 4);
    EXPECT_EQ(spacing[1].code, 24);
    EXPECT_EQ(spacing[2].code, 15);
    EXPECT_EQ(spacing[3].code, 25);
}

TEST_F(WriterValuesTest, WriterValuesTextsAreUtf8WithControlCharactersInCaretNotation) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    {
        auto layer = open<AcDbLayerTableRecord>(d.walls, AcDb::kForWrite);
        EXPECT_EQ(layer->setName(L"W\u00e4nde \u6f22"), Acad::eOk);
    }
    const auto line = objectGroups(groupsOf(textOf(db)), d.line);
    EXPECT_EQ(valueOf(line, 1000), "two^Jlines");
    EXPECT_EQ(valueOf(line, 8), "W\xc3\xa4nde \xe6\xbc\xa2");
}

TEST_F(WriterValuesTest, WriterValuesDimensionStylesCarryTheirHandleUnder105) {
    AcDbDatabase db;
    const auto style = objectGroups(groupsOf(textOf(db)), db.dimstyle());
    ASSERT_FALSE(style.empty());
    EXPECT_EQ(style[1].code, 105);
    EXPECT_EQ(valueOf(style, 5), "(none)");
}

TEST_F(WriterValuesTest, WriterValuesPaperSpaceEntitiesAloneCarryTheFlag) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const auto groups = groupsOf(textOf(db));
    EXPECT_EQ(valueOf(objectGroups(groups, d.paperLine), 67), "1");
    EXPECT_EQ(valueOf(objectGroups(groups, d.line), 67), "(none)");
    const auto entities = section(groups, "ENTITIES");
    EXPECT_EQ(types(entities).back(), "LINE");  // paper space follows model space
}

TEST_F(WriterValuesTest, WriterValuesVerticesAndAttributesFollowTheirOwnerThenSeqend) {
    AcDbDatabase db;
    buildDrawing(db);
    const std::vector<std::string> names = types(section(groupsOf(textOf(db)), "ENTITIES"));
    const std::vector<std::string> expected = {
        "SECTION", "LINE",   "CIRCLE", "ARC",    "MTEXT",  "LWPOLYLINE", "POLYLINE",  "VERTEX",
        "VERTEX",  "VERTEX", "SEQEND", "INSERT", "ATTRIB", "SEQEND",     "DIMENSION", "LINE"};
    EXPECT_EQ(names, expected);
}

TEST_F(WriterValuesTest, WriterValuesHeaderNamesCurrentRecordsHandleSeedAndExtents) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    ASSERT_EQ(db.setClayer(d.walls), Acad::eOk);
    EXPECT_EQ(open<AcDbEntity>(d.line, AcDb::kForWrite)->erase(), Acad::eOk);
    const auto groups = groupsOf(textOf(db));
    for (const host::dxf::HeaderVariable& v : host::dxf::headerVariables()) {
        EXPECT_NE(header(groups, wideToUtf8(v.name).c_str()), "(none)") << wideToUtf8(v.name);
    }
    EXPECT_EQ(header(groups, "$ACADVER"), "AC1024");
    EXPECT_EQ(header(groups, "$CLAYER"), "Walls");
    EXPECT_EQ(header(groups, "$TEXTSTYLE"), "Standard");
    EXPECT_EQ(header(groups, "$DIMSTYLE"), "Standard");
    EXPECT_GT(std::stoull(header(groups, "$HANDSEED"), nullptr, 16), db.handseed().value() - 1);
    AcDbExtents expected;
    for (AcDbObjectId id :
         {d.circle, d.arc, d.mtext, d.polyline, d.polyline2d, d.insert, d.dimension}) {
        AcDbExtents extents;
        if (open<AcDbEntity>(id)->getGeomExtents(extents) == Acad::eOk) {
            expected.addExt(extents);
        }
    }
    EXPECT_EQ(std::strtod(header(groups, "$EXTMIN").c_str(), nullptr), expected.minPoint().x);
    EXPECT_EQ(std::strtod(header(groups, "$EXTMAX").c_str(), nullptr), expected.maxPoint().x);

    AcDbDatabase empty;
    const auto none = groupsOf(textOf(empty));
    EXPECT_EQ(header(none, "$EXTMIN"), "1e+20");
    EXPECT_EQ(header(none, "$EXTMAX"), "-1e+20");
}

TEST_F(WriterValuesTest, WriterValuesClassesListTheKindsOutsideTheFormatWithTheirCounts) {
    AcDbDatabase db;
    const auto classes = section(groupsOf(textOf(db)), "CLASSES");
    std::vector<std::string> names;
    for (std::size_t i = 0; i + 1 < classes.size(); ++i) {
        if (classes[i].code == 1) {
            names.push_back(classes[i].value);
            EXPECT_EQ(classes[i + 1].code, 2);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ACDBPLACEHOLDER", "LAYOUT"}));
    EXPECT_EQ(valueOf(std::vector<Group>(classes.end() - 7, classes.end()), 91), "2");
}

TEST_F(WriterValuesTest, WriterValuesADimensionWithoutABlockGetsAnAnonymousOneThatDrawsIt) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    const auto groups = groupsOf(textOf(db));
    EXPECT_EQ(valueOf(objectGroups(groups, d.dimension), 2), "*D1");
    const auto blocks = section(groups, "BLOCKS");
    std::size_t begins = 0;
    std::vector<std::string> kinds;
    std::string text;
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        if (blocks[i] != Group{100, "AcDbBlockBegin"} || blocks[i + 1].value != "*D1") {
            continue;
        }
        ++begins;
        for (std::size_t j = i; j < blocks.size() && blocks[j] != Group{0, "ENDBLK"}; ++j) {
            if (blocks[j].code == 0) {
                kinds.push_back(blocks[j].value);
            }
            if (blocks[j].code == 1 && !kinds.empty() && kinds.back() == "TEXT") {
                text = blocks[j].value;
            }
        }
    }
    EXPECT_EQ(begins, 1u);
    EXPECT_EQ(kinds, (std::vector<std::string>{"LINE", "LINE", "LINE", "SOLID", "SOLID", "TEXT"}));
    EXPECT_EQ(text, "4");
    const auto tables = section(groups, "TABLES");
    EXPECT_NE(std::find(tables.begin(), tables.end(), Group{2, "*D1"}), tables.end());
}

TEST_F(WriterValuesTest, WriterValuesReferencesToErasedObjectsBecomeTheNullHandle) {
    AcDbDatabase db;
    const Drawing d = buildDrawing(db);
    EXPECT_EQ(open<AcDbEntity>(d.line, AcDb::kForWrite)->erase(), Acad::eOk);
    const auto groups = groupsOf(textOf(db));
    EXPECT_TRUE(objectGroups(groups, d.line).empty());
    EXPECT_EQ(valueOf(objectGroups(groups, d.xrecord), 340), "0");
}

TEST_F(WriterValuesTest, WriterValuesAReadAndASecondSaveGiveTheSameEntitiesAndObjects) {
    AcDbDatabase db;
    buildDrawing(db);
    ASSERT_EQ(db.saveAs(widePath("first.dxf").c_str()), Acad::eOk);
    AcDbDatabase again(false, true);
    ASSERT_EQ(again.readDwgFile(widePath("first.dxf").c_str()), Acad::eOk)
        << wideToUtf8(host::lastDrawingFileMessage());
    const auto first = groupsOf(contents(path("first.dxf")));
    const auto second = groupsOf(textOf(again));
    EXPECT_EQ(section(first, "ENTITIES"), section(second, "ENTITIES"));
    EXPECT_EQ(section(first, "OBJECTS"), section(second, "OBJECTS"));
}

}  // namespace
}  // namespace writertest
