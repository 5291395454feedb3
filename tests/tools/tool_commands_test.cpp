// The kestrel program's conventions (help, version, exit statuses, messages) and its demo, info
// and xml commands run on real files: the demo's drawing as info, the xml command and ezdxf
// see it.
#include <cctype>
#include <map>

#include "tests/tools/tool_run.h"

namespace {

namespace fs = std::filesystem;
using tooltest::Outcome;
using tooltest::ToolTest;

// The line of info's output that gives the count of key ("5 layers: ..."), or "<none>".
std::string infoLine(const std::string& out, const std::string& key) {
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t space = line.find(' ');
        if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])) &&
            space != std::string::npos && line.compare(space + 1, key.size(), key) == 0) {
            return line;
        }
    }
    return "<none>";
}

// The "  KIND: n" lines of info's output.
std::map<std::string, int> entityKinds(const std::string& out) {
    std::map<std::string, int> kinds;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find(": ");
        if (line.rfind("  ", 0) == 0 && colon != std::string::npos) {
            kinds[line.substr(2, colon - 2)] = std::stoi(line.substr(colon + 2));
        }
    }
    return kinds;
}

TEST_F(ToolTest, ToolConventionsHelpVersionAndWrongUsage) {
    const Outcome help = kestrel("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: kestrel"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const Outcome commandHelp = kestrel("demo --help");
    EXPECT_EQ(commandHelp.status, 0);
    EXPECT_EQ(commandHelp.out, help.out);
    EXPECT_FALSE(fs::exists(path("--help")));
    const Outcome version = kestrel("--version");
    EXPECT_EQ(version.status, 0);
    ASSERT_GT(version.out.size(), 9u);
    EXPECT_EQ(version.out.rfind("kestrel ", 0), 0u) << version.out;
    EXPECT_EQ(version.out.back(), '\n');
    const std::string number = version.out.substr(8, version.out.size() - 9);
    EXPECT_EQ(number.find_first_not_of("0123456789."), std::string::npos) << version.out;

    for (const char* wrong :
         {"", "frobnicate", "info", "info a b", "demo a b", "xml", "xml list", "xml get f.dxf",
          "xml put f.dxf A", "render f.dxf", "xml set f.dxf A b c", "info --verbose",
          "info --json --verbose f.dxf", "info --brief f.dxf"}) {
        const Outcome run = kestrel(wrong);
        EXPECT_EQ(run.status, 2) << wrong;
        EXPECT_NE(run.err.find("usage"), std::string::npos) << wrong;
        EXPECT_EQ(run.out, "") << wrong;
    }
}

TEST_F(ToolTest, ToolConventionsMissingAndDamagedFilesFailWithTheirName) {
    std::ofstream(path("damaged.dxf")) << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nnot a number\n";
    const std::pair<const char*, const char*> cases[] = {
        {"info missing.dxf", "no such drawing file: missing.dxf"},
        {"xml list missing.dxf", "no such drawing file: missing.dxf"},
        {"render missing.dxf o.svg", "no such drawing file: missing.dxf"},
        {"info damaged.dxf", "cannot read damaged.dxf: "},
        {"render damaged.dxf o.svg", "cannot read damaged.dxf: "},
    };
    for (const auto& [args, message] : cases) {
        const Outcome run = kestrel(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(run.err.rfind(std::string("kestrel: ") + message, 0), 0u)
            << args << ": " << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
    EXPECT_FALSE(fs::exists(path("o.svg")));
    const Outcome demo = kestrel("demo no/such/folder/d.dxf");
    EXPECT_EQ(demo.status, 1);
    EXPECT_NE(demo.err.find("cannot save no/such/folder/d.dxf"), std::string::npos) << demo.err;
}

TEST_F(ToolTest, ToolDemoWritesTheDrawingThatInfoReports) {
    const Outcome demo = kestrel("demo");
    ASSERT_EQ(demo.status, 0) << demo.err;
    EXPECT_EQ(demo.err, "");
    ASSERT_TRUE(fs::exists(path("kestrel-demo.dxf")));
    // The host's undo and redo of the second XML command, as the notifier heard them.
    EXPECT_NE(demo.out.find("undo: KestrelDemo.Settings is <settings units=\"mm\" grid=\"10\"/> "
                            "again\n  redo: KestrelDemo.Settings is <settings units=\"inch\" "
                            "grid=\"0.5\"/>\n  the notifier heard both texts restored\n"),
              std::string::npos)
        << demo.out;

    const Outcome info = kestrel("info kestrel-demo.dxf");
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(infoLine(info.out, "layers"), "5 layers: 0, Curves, Planar, Annotation, TitleBlock");
    EXPECT_EQ(infoLine(info.out, "entities"), "20 entities:");
    const std::map<std::string, int> kinds = {
        {"3DFACE", 2}, {"ARC", 1},   {"CIRCLE", 1},     {"DIMENSION", 3}, {"ELLIPSE", 1},
        {"INSERT", 2}, {"LINE", 1},  {"LWPOLYLINE", 2}, {"POINT", 1},     {"POLYLINE", 2},
        {"RAY", 1},    {"SOLID", 2}, {"TEXT", 1}};
    EXPECT_EQ(entityKinds(info.out), kinds);
    EXPECT_NE(infoLine(info.out, "blocks")
                  .find(" blocks: KESTREL_TITLE (9 entities), KESTREL_NORTH (3 entities)"),
              std::string::npos);
    EXPECT_EQ(infoLine(info.out, "XData"), "1 XData application: KESTREL_DEMO (on 1 entity)");
    EXPECT_EQ(infoLine(info.out, "entity with"), "1 entity with an extension dictionary");
    EXPECT_NE(infoLine(info.out, "dictionaries").find("KESTREL_DEMO (3 records)"),
              std::string::npos);
    EXPECT_EQ(infoLine(info.out, "XML"),
              "2 XML applications: KestrelDemo.Notes, KestrelDemo.Settings");
}

// --verbose shows the values the demo stored, --json the same for scripts.
TEST_F(ToolTest, ToolInfoShowsTheStoredValues) {
    ASSERT_EQ(kestrel("demo d.dxf").status, 0);
    const Outcome verbose = kestrel("info --verbose d.dxf");
    ASSERT_EQ(verbose.status, 0) << verbose.err;
    for (const char* line :
         {" KESTREL_DEMO: 1000 \"made by kestrel demo\", 1070 42, 1010 (70, 260, 0)\n",
          " Thickness: 38 2.5\n", " Centre: 210 (240, 260, 0)\n",
          " Stamp: 1 \"stamp\", 310 \"4B45535452454C\"\n",
          "  KESTREL_DEMO/Revision: 90 3\n", "2 XML applications: KestrelDemo.Notes (",
          "  KESTREL_DEMO/Notes: 1 \"Kestrel keeps texts of any length in the drawing. Kestrel "
          "ke\"... (65530 characters), 1 \""}) {
        EXPECT_NE(verbose.out.find(line), std::string::npos) << line << "\n" << verbose.out;
    }
    EXPECT_EQ(verbose.out.find(infoLine(verbose.out, "layers")), 0u);

    const Outcome json = kestrel("info d.dxf --json");
    ASSERT_EQ(json.status, 0) << json.err;
    std::ofstream(path("info.json")) << json.out;
    const Outcome parsed = python(
        "import json,sys\nr=json.load(open(sys.argv[1]))\n"
        "x=r['xdata'][0]\nprint(x['owner'], x['application'], [v['value'] for v in x['values']])\n"
        "print(sorted(e['key'] for e in r['extensionDictionaryRecords']))\n"
        "print([(d['key'], d['values'][0]['value']) for d in r['dictionaryRecords']"
        " if d['owner'] == 'KESTREL_DEMO' and d['key'] != 'Notes'])\n"
        "print(r['entities'], r['entityKinds']['LINE'], len(r['layers']),"
        " all(x['characters'] > 0 for x in r['xml']))\n",
        "info.json");
    EXPECT_EQ(parsed.out,
              "LINE KESTREL_DEMO ['made by kestrel demo', 42, [70, 260, 0]]\n"
              "['Centre', 'Material', 'Stamp', 'Thickness']\n"
              "[('Author', 'kestrel demo'), ('Revision', 3)]\n"
              "20 1 5 True\n")
        << json.out << parsed.err;
}

TEST_F(ToolTest, ToolXmlSetGetListRoundTripAndRefusals) {
    ASSERT_EQ(kestrel("demo d.dxf").status, 0);
    const std::string text = "<plan name=\"Gr\xc3\xbcn &amp; Co\"><step n=\"1\"/></plan>";
    std::ofstream(path("in.xml"), std::ios::binary) << "\xef\xbb\xbf" << text;  // with a BOM
    const Outcome set = kestrel("xml set d.dxf Client.A in.xml");
    ASSERT_EQ(set.status, 0) << set.err;
    const Outcome fromStdin =
        kestrel("xml set d.dxf Client.B", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<b/>");
    ASSERT_EQ(fromStdin.status, 0) << fromStdin.err;

    EXPECT_EQ(kestrel("xml get d.dxf Client.A").out, text + "\n");
    ASSERT_EQ(kestrel("xml get d.dxf Client.A out.xml").status, 0);
    EXPECT_EQ(tooltest::readFile(path("out.xml")), text);
    EXPECT_EQ(kestrel("xml list d.dxf").out,
              "Client.A\nClient.B\nKestrelDemo.Notes\nKestrelDemo.Settings\n");
    EXPECT_EQ(kestrel("xml get d.dxf Client.B").out, "\n<b/>\n");
    EXPECT_EQ(kestrel("xml get d.dxf KestrelDemo.Settings").out,
              "<settings units=\"inch\" grid=\"0.5\"/>\n");

    // Refused texts and names leave the file exactly as it was.
    const std::string before = tooltest::readFile(path("d.dxf"));
    const Outcome broken = kestrel("xml set d.dxf Client.A", "<open><close></open>");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("not well-formed"), std::string::npos) << broken.err;
    EXPECT_EQ(kestrel("xml set d.dxf Client.A missing.xml").status, 1);
    for (const char* app : {"'A\"B'", "'A<B'", "'A&B'", "''"}) {
        EXPECT_EQ(kestrel(std::string("xml set d.dxf ") + app, "<x/>").status, 1) << app;
    }
    // The repository stores a text without anything up to its first "?>".
    EXPECT_EQ(kestrel("xml set d.dxf Client.A", "<a><?pi x?></a>").status, 1);
    const Outcome unknown = kestrel("xml get d.dxf Nobody");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("Nobody"), std::string::npos);
    EXPECT_EQ(tooltest::readFile(path("d.dxf")), before);
}

TEST_F(ToolTest, ToolDemoDrawingReadByEzdxf) {
    ASSERT_EQ(kestrel("demo d.dxf").status, 0);
    const Outcome check = python(R"(
import sys
try:
    import ezdxf
except ImportError:
    sys.exit(77)
doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
assert not auditor.has_errors and not auditor.has_fixes, [str(e) for e in auditor.errors]
kinds = {}
for entity in doc.modelspace():
    kinds[entity.dxftype()] = kinds.get(entity.dxftype(), 0) + 1
assert kinds['INSERT'] == 2 and kinds['3DFACE'] == 2 and kinds['DIMENSION'] == 3, kinds
insert = doc.modelspace().query('INSERT')[0]
assert insert.dxf.name == 'KESTREL_TITLE'
assert [a.dxf.tag for a in insert.attribs] == ['TITLE', 'DATE', 'SCALE']
assert insert.get_attrib_text('TITLE') == 'Kestrel demo'
assert len(doc.blocks.get('KESTREL_TITLE').query('ATTDEF')) == 3
line = doc.modelspace().query('LINE')[0]
assert line.get_xdata('KESTREL_DEMO')[0] == (1000, 'made by kestrel demo')
circle = doc.modelspace().query('CIRCLE')[0]
assert 'Material' in circle.get_extension_dict()
assert 'KESTREL_DEMO' in doc.rootdict
)",
                                 "d.dxf");
    if (check.status == 77) {
        GTEST_SKIP() << "python3 with ezdxf is not installed";
    }
    EXPECT_EQ(check.status, 0) << check.out << check.err;
}

}  // namespace

// audit's exit status tells a sound drawing (0) from a repaired one (1) and an unreadable one
// (2); the report names each repair, --json says the same for scripts and --fix saves a
// drawing that reads without any repair.
TEST_F(ToolTest, ToolAuditReportsRepairsAndSavesTheRepairedDrawing) {
    const std::string line = "0\nLINE\n8\nGhost\n10\n0\n20\n0\n11\n1\n21\n1\n";
    std::ofstream(path("old.dxf")) << "0\nSECTION\n2\nENTITIES\n" + line + "0\nENDSEC\n0\nEOF\n";
    std::ofstream(path("new.dxf")) << "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1024\n0\nENDSEC\n"
                                      "0\nSECTION\n2\nENTITIES\n" +
                                          line + "0\nENDSEC\n0\nEOF\n";
    std::ofstream(path("cut.dxf")) << "0\nSECTION\n2\nENTITIES\n" + line;

    const Outcome sound = kestrel("audit old.dxf");
    EXPECT_EQ(sound.status, 1) << sound.out;  // release 12 knows no layer table: Ghost is added
    EXPECT_NE(sound.out.find("undefined-layer: LINE"), std::string::npos) << sound.out;

    const Outcome repaired = kestrel("audit new.dxf --fix fixed.dxf");
    EXPECT_EQ(repaired.status, 1);
    EXPECT_NE(repaired.out.find("new.dxf (AC1024, ASCII): "), std::string::npos) << repaired.out;
    EXPECT_NE(repaired.out.find("line 15: invalid-handle: LINE"), std::string::npos)
        << repaired.out;
    const Outcome again = kestrel("audit fixed.dxf");
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_NE(again.out.find("no repair needed"), std::string::npos) << again.out;

    const Outcome json = kestrel("audit --json new.dxf");
    EXPECT_EQ(json.status, 1);
    std::ofstream(path("report.json")) << json.out;
    const Outcome parsed = python(
        "import json,sys\nr=json.load(open(sys.argv[1]))\n"
        "print(r['read'], r['release'], sorted(x['code'] for x in r['repairs']), r['left'])\n",
        "report.json");
    EXPECT_EQ(parsed.out, "True AC1024 ['invalid-handle', 'undefined-layer'] []\n")
        << json.out << parsed.err;

    const Outcome unreadable = kestrel("audit cut.dxf");
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_NE(unreadable.out.find("cut.dxf: cannot be read: line 17: the file ends without 0 EOF"),
              std::string::npos)
        << unreadable.out;
    EXPECT_EQ(kestrel("audit").status, 2);
}

// diff's exit status tells the same drawings (0, nothing printed) from different ones (1) and
// trouble (2): the demo's drawing against itself saved with one XML text changed shows that text
// alone, in each of the three forms.
TEST_F(ToolTest, ToolDiffShowsTheChangeWithDiffExitStatuses) {
    ASSERT_EQ(kestrel("demo a.dxf").status, 0);
    fs::copy_file(path("a.dxf"), path("b.dxf"));
    const Outcome same = kestrel("diff a.dxf b.dxf");
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    ASSERT_EQ(kestrel("xml set b.dxf KestrelDemo.Settings", "<settings units=\"cm\"/>").status, 0);

    const Outcome full = kestrel("diff a.dxf b.dxf");
    EXPECT_EQ(full.status, 1) << full.err;
    EXPECT_EQ(full.out.rfind("changed XML of KestrelDemo.Settings (lines ", 0), 0u) << full.out;
    EXPECT_NE(full.out.find("\n  KestrelDemo.Settings 1: <settings units=\"inch\" grid=\"0.5\"/> "
                            "-> <settings units=\"cm\"/> (lines "),
              std::string::npos)
        << full.out;
    const Outcome brief = kestrel("diff --brief a.dxf b.dxf");
    EXPECT_EQ(brief.status, 1);
    EXPECT_EQ(brief.out, full.out.substr(0, full.out.find('\n') + 1));
    const Outcome json = kestrel("diff --json a.dxf b.dxf");
    EXPECT_EQ(json.status, 1);
    std::ofstream(path("diff.json")) << json.out;
    const Outcome parsed = python(
        "import json,sys\nr=json.load(open(sys.argv[1]))\n"
        "print(r['same'], [(d['what'], d['kind'], d['place'], d['groups'][0]['new']) "
        "for d in r['differences']])\n",
        "diff.json");
    EXPECT_EQ(parsed.out,
              "False [('changed', 'XML', 'KestrelDemo.Settings', '<settings units=\"cm\"/>')]\n")
        << json.out << parsed.err;

    std::ofstream(path("cut.dxf")) << "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nx\n";
    const std::pair<const char*, const char*> troubles[] = {
        {"diff a.dxf missing.dxf", "kestrel: no such drawing file: missing.dxf"},
        {"diff cut.dxf a.dxf", "kestrel: cannot read cut.dxf: line 8: "},
        {"diff a.dxf", "kestrel: wrong arguments"},
        {"diff --brief --json a.dxf b.dxf", "kestrel: wrong arguments"},
    };
    for (const auto& [args, message] : troubles) {
        const Outcome run = kestrel(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.err.rfind(message, 0), 0u) << args << ": " << run.err;
        EXPECT_EQ(run.out, "") << args;
    }
}
