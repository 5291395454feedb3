// kestrel render on small drawings made here with the host and with ezdxf: the SVG parses and
// holds the documented elements, colours and geometry per entity kind, strokes sized from the
// view box; a block holding itself, an empty drawing, a layout, and a target it cannot replace.
#include <cstdint>
#include <sstream>
#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/host_checks.h"
#include "tests/tools/tool_run.h"

namespace {

using testsupport::appendEntity;
using tooltest::Outcome;
using tooltest::ToolTest;

const AcGeVector3d kUp(0, 0, 1);

AcDbPolyline* lightweight(std::initializer_list<AcGePoint2d> points, double bulge, bool closed) {
    auto* polyline = new AcDbPolyline();
    unsigned int index = 0;
    for (const AcGePoint2d& point : points) {
        polyline->addVertexAt(index++, point, bulge);
    }
    polyline->setClosed(closed);
    return polyline;
}

AcDbObjectId newBlock(AcDbDatabase& db, const wchar_t* name) {
    return testsupport::addRecord<AcDbBlockTable>(&db, new AcDbBlockTableRecord(), name);
}

// Block "B" (a circle of radius 5 by layer on layer 0, a line by block, attribute definition
// TAG) with its id in blockId.
void addBlock(AcDbDatabase& db, AcDbObjectId& blockId) {
    blockId = newBlock(db, L"B");
    appendEntity(new AcDbCircle(AcGePoint3d(0, 0, 0), kUp, 5), blockId);
    auto* byBlock = new AcDbLine(AcGePoint3d(-5, 0, 0), AcGePoint3d(5, 0, 0));
    byBlock->setColorIndex(0);
    appendEntity(byBlock, blockId);
    appendEntity(new AcDbAttributeDefinition(AcGePoint3d(0, 6, 0), L"v", L"TAG", L"Tag?"), blockId);
}

void addReference(AcDbObjectId spaceId, AcDbObjectId blockId, const AcGePoint3d& at,
                  const AcGeScale3d& scale, const wchar_t* value, std::uint16_t colour) {
    auto* reference = new AcDbBlockReference(at, blockId);
    reference->setScaleFactors(scale);
    reference->setColorIndex(colour);
    auto* attribute = new AcDbAttribute(AcGePoint3d(at.x, at.y + 12, 0), value, L"TAG");
    ASSERT_EQ(reference->appendAttribute(attribute), Acad::eOk);
    attribute->close();
    appendEntity(reference, spaceId);
}

// Every kind the renderer draws once in model space (the line red), a ray, a table without a
// block (drawn as it explodes), and two references to block B: one green scaled 2 evenly, one
// blue scaled 1 by 3.
void buildDrawing(AcDbDatabase& db) {
    const AcDbObjectId space = db.modelSpaceId();
    auto* red = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 50, 0));
    red->setColorIndex(1);
    appendEntity(red, space);
    appendEntity(new AcDbCircle(AcGePoint3d(50, 50, 0), kUp, 10), space);
    appendEntity(new AcDbArc(AcGePoint3d(80, 20, 0), 10, 0, 2), space);
    appendEntity(new AcDbEllipse(AcGePoint3d(20, 80, 0), kUp, AcGeVector3d(10, 0, 0), 0.5, 0, 3),
                 space);
    appendEntity(lightweight({{0, 0}, {10, 0}, {10, 10}}, 0.0, true), space);
    appendEntity(lightweight({{20, 0}, {30, 0}, {30, 10}}, 0.5, false), space);
    AcGePoint3dArray vertices = testsupport::pointArray({{0, 0, 0}, {5, 5, 5}, {10, 0, 10}});
    appendEntity(new AcDb3dPolyline(AcDb::k3dSimplePoly, vertices), space);
    appendEntity(new AcDbFace(AcGePoint3d(0, 60, 0), AcGePoint3d(10, 60, 0), AcGePoint3d(10, 70, 0),
                              AcGePoint3d(0, 70, 0)),
                 space);
    appendEntity(new AcDbSolid(AcGePoint3d(40, 60, 0), AcGePoint3d(50, 60, 0),
                               AcGePoint3d(40, 70, 0), AcGePoint3d(50, 70, 0)),
                 space);
    appendEntity(new AcDbPoint(AcGePoint3d(70, 70, 0)), space);
    appendEntity(new AcDbText(AcGePoint3d(0, -10, 0), L"a < b & c", AcDbObjectId::kNull, 3), space);
    auto* ray = new AcDbRay();
    ray->setBasePoint(AcGePoint3d(0, 0, 0));
    appendEntity(ray, space);
    // A dimension made here: saving gives it its block of lines, arrows and text.
    appendEntity(new AcDbRotatedDimension(0.0, AcGePoint3d(0, -60, 0), AcGePoint3d(30, -60, 0),
                                          AcGePoint3d(0, -50, 0)),
                 space);
    auto* table = new AcDbTable();
    table->setPosition(AcGePoint3d(0, -40, 0));
    table->setSize(1, 2);
    table->setColumnWidth(0, 10);
    table->setColumnWidth(1, 10);
    table->setRowHeight(0, 5);
    table->setTextString(0, 1, L"cell");
    appendEntity(table, space);
    AcDbObjectId block;
    addBlock(db, block);
    addReference(space, block, AcGePoint3d(120, 0, 0), AcGeScale3d(2), L"even", 3);
    addReference(space, block, AcGePoint3d(160, 0, 0), AcGeScale3d(1, 3, 1), L"uneven", 5);
}

TEST_F(ToolTest, ToolRenderDrawsEachKindAsDocumented) {
    {
        AcDbDatabase db(true, true);
        buildDrawing(db);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(db.saveAs(utf8ToWide(path("small.dxf").string()).c_str()), Acad::eOk);
        EXPECT_TRUE(host::openObjects().empty());
    }
    const Outcome render = kestrel("render small.dxf small.svg");
    ASSERT_EQ(render.status, 0) << render.err;
    EXPECT_EQ(render.out, "small.svg: 16 entities drawn\n");
    EXPECT_EQ(render.err, "");  // no progress line when standard error is not a terminal

    // Element counts by tag and class, and the radii of the plain circles.
    const Outcome counts = python(R"(
import sys, xml.etree.ElementTree as ET
ns = '{http://www.w3.org/2000/svg}'
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == ns + 'svg'
found = {}
for e in root.iter():
    key = e.tag[len(ns):] + '.' + e.get('class', '')
    found[key] = found.get(key, 0) + 1
print(' '.join('%s=%d' % item for item in sorted(found.items())))
print(' '.join(sorted(e.get('r') for e in root.iter(ns + 'circle') if e.get('class') is None)))
print(' '.join(e.text for e in root.iter(ns + 'text')))
for g in root.iter(ns + 'g'):
    if g.get('class') == 'dimension':
        print(' '.join('%s,%s-%s,%s' % (e.get('x1'), e.get('y1'), e.get('x2'), e.get('y2'))
                       for e in g.iter(ns + 'line')),
              ' '.join(e.get('points').split()[0] for e in g.iter(ns + 'polygon')))
for kind in ('line', 'circle', 'path'):
    print(kind, ' '.join(e.get('style', '-') for e in root.iter(ns + kind)
                         if e.get('class') in (None, 'circle')))
)",
                                  "small.svg");
    ASSERT_EQ(counts.status, 0) << counts.err;
    EXPECT_EQ(
        counts.out,
        "circle.=2 circle.point=1 g.dimension=1 g.insert=2 g.table=1 line.=11 line.ray=1 "
        "path.arc=1 path.circle=1 path.ellipse=1 path.polyline=1 polygon.=1 polygon.face=1 "
        "polygon.solid=3 polyline.=1 rect.=1 style.=1 svg.=1 text.=5\n"
        "10 10\n"
        "a < b & c 30 cell even uneven\n"
        // The dimension's block: extension lines from just off its points past the dimension
        // line at y -50, the dimension line, an arrow at each end.
        "0,59.9375-0,49.82 30,59.9375-30,49.82 0,50-30,50 0,50 30,50\n"
        "line color:#ff0000 color:#1f2933 color:#1f2933 color:#1f2933 color:#1f2933 "
        "color:#1f2933 color:#1f2933 color:#1f2933 color:#1f2933 color:#00ff00 color:#0000ff\n"
        "circle color:#1f2933 color:#1f2933\n"  // by layer on layer 0: the reference's layer
        "path color:#1f2933\n");
}

// A block that holds a reference to itself, as only a damaged file has it, is drawn once.
TEST_F(ToolTest, ToolRenderDrawsABlockThatHoldsItselfOnce) {
    {
        AcDbDatabase db(true, true);
        const AcDbObjectId loop = newBlock(db, L"LOOP");
        appendEntity(new AcDbCircle(AcGePoint3d(0, 0, 0), kUp, 1), loop);
        appendEntity(new AcDbBlockReference(AcGePoint3d(1, 0, 0), loop), loop);
        appendEntity(new AcDbBlockReference(AcGePoint3d(0, 0, 0), loop), db.modelSpaceId());
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(db.saveAs(utf8ToWide(path("loop.dxf").string()).c_str()), Acad::eOk);
    }
    const Outcome render = kestrel("render loop.dxf loop.svg");
    ASSERT_EQ(render.status, 0) << render.err;
    const std::string svg = tooltest::readFile(path("loop.svg"));
    EXPECT_EQ(svg.find("<circle"), svg.rfind("<circle"));
    EXPECT_EQ(svg.find("<g class=\"insert\">\n<circle"), svg.find("<g"));
    EXPECT_NE(svg.find("<g class=\"insert\">\n</g>"), std::string::npos);
}

// An empty drawing gives a picture that parses; a picture that cannot replace its target fails
// and leaves no temporary file behind.
TEST_F(ToolTest, ToolRenderEmptyDrawingAndATargetTakenByAFolder) {
    {
        AcDbDatabase db(true, true);
        ASSERT_EQ(db.saveAs(utf8ToWide(path("empty.dxf").string()).c_str()), Acad::eOk);
    }
    const Outcome empty = kestrel("render empty.dxf empty.svg");
    ASSERT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(empty.out, "empty.svg: 0 entities drawn\n");
    const Outcome parsed = python(
        "import sys, xml.etree.ElementTree as "
        "ET\nprint(ET.parse(sys.argv[1]).getroot().get('viewBox'))",
        "empty.svg");
    EXPECT_EQ(parsed.out, "-0.05 -0.05 1.1 1.1\n") << parsed.err;

    // A folder in the picture's place: the temporary picture is written, cannot replace it and
    // is removed again.
    tooltest::fs::create_directory(path("taken.svg"));
    const Outcome taken = kestrel("render empty.dxf taken.svg");
    EXPECT_EQ(taken.status, 1);
    EXPECT_NE(taken.err.find("cannot write taken.svg"), std::string::npos) << taken.err;
    EXPECT_FALSE(tooltest::fs::exists(path("taken.svg.kestrel-tmp")));
    EXPECT_TRUE(tooltest::fs::is_directory(path("taken.svg")));
}

// A drawing of every kind ezdxf makes that the host reads, modelled or raw. The script prints
// what it put in that the picture must show in its own terms: the linetype's pattern, that
// pattern at a linetype scale of 2, and where the multileader places its block.
constexpr char kEveryKind[] = R"(
import sys, ezdxf
from ezdxf.math import Vec2
from ezdxf.render.mleader import ConnectionSide
d = ezdxf.new('R2018', setup=True)
m = d.modelspace()
m.add_circle((10, 10), 5)
m.add_mtext(r'{\fArial|b1;Top} {\C1;line}\Psecond {\c16711680;\S1^2;}\P\H2x;a\~b \\ \{c\}',
            dxfattribs={'char_height': 2, 'insert': (0, -20), 'attachment_point': 7})
m.add_text('%%c12 right', dxfattribs={'height': 2}).set_placement(
    (40, -30), align=ezdxf.enums.TextEntityAlignment.TOP_RIGHT)
m.add_text('slant', dxfattribs={'height': 2, 'insert': (50, -30), 'oblique': 15,
           'width': 0.5, 'text_generation_flag': 2, 'rotation': 90})
h = m.add_hatch(color=1)
h.paths.add_polyline_path([(0, 40), (40, 40), (40, 70), (0, 70)])
h.paths.add_polyline_path([(10, 50), (20, 50), (20, 60)])
p = m.add_hatch(color=2)
p.set_pattern_fill('ANSI31')
p.paths.add_polyline_path([(50, 40), (60, 40), (60, 50)])
e = m.add_hatch(color=3)
edges = e.paths.add_edge_path()
edges.add_line((70, 40), (90, 40))
edges.add_ellipse((80, 40), major_axis=(10, 0), ratio=0.5, start_angle=0, end_angle=180)
m.add_linear_dim(base=(0, -40), p1=(0, -45), p2=(30, -45), dimstyle='Standard').render()
m.add_linear_dim(base=(0, -60), p1=(0, -65), p2=(20, -65), dimstyle='Standard')  # no block
m.add_spline([(100, 0), (110, 20), (120, 0), (130, 20)])
m.add_ray((100, 50), (1, 1))
m.add_xline((100, 50), (0, 1))
m.add_image(d.add_image_def(filename='a.png', size_in_pixel=(64, 48)), insert=(140, 0),
            size_in_units=(16, 12))
m.add_wipeout([(140, 20), (150, 20), (150, 30), (140, 30)])
m.add_leader([(160, 0), (170, 10), (180, 10)])
ml = m.add_multileader_mtext('Standard')
ml.set_content('noted', char_height=2)
ml.add_leader_line(ConnectionSide.left, [Vec2(160, 30)])
ml.build(insert=Vec2(175, 40))
b = d.blocks.new('FLAG')
b.add_line((0, 0), (0, 10), dxfattribs={'color': 0})
b.add_circle((0, 0), 1)
b.add_attdef('NAME', (1, 0), dxfattribs={'height': 1.5})
d.layers.add('RED', color=1)
r = m.add_blockref('FLAG', (200, 0), dxfattribs={'color': 5, 'rotation': 90, 'layer': 'RED'})
r.add_auto_attribs({'NAME': 'tagged'})
m.add_lwpolyline([(200, 20), (220, 20)], dxfattribs={'const_width': 1.5, 'true_color': 0xc87800})
m.add_line((200, 30), (220, 30), dxfattribs={'linetype': 'DASHED'})
d.layers.add('HEAVY', lineweight=100)
m.add_line((200, 40), (220, 40), dxfattribs={'layer': 'HEAVY'})
m.add_line((200, 50), (220, 50), dxfattribs={'lineweight': 50})
m.add_line((200, 60), (220, 60), dxfattribs={'linetype': 'DASHED', 'ltscale': 2})
dot = d.blocks.new('DOT')
dot.add_circle((0, 0), 0.5, dxfattribs={'color': 0})
a = m.add_blockref('DOT', (300, 0), dxfattribs={'rotation': 90})
a.add_attrib('TAG', 'cell', insert=(302, 1), dxfattribs={'height': 1})
a.grid(size=(2, 2), spacing=(4, 6))
m.add_mtext_static_columns(['left', 'right'], width=10, gutter_width=2, height=15,
                          dxfattribs={'char_height': 1, 'insert': (400, 0)})
m.add_mtext_static_columns(['one two three four', 'five'], width=3, gutter_width=1, height=2,
                          dxfattribs={'char_height': 1, 'insert': (450, 0)})
bl = m.add_multileader_block('Standard')
bl.set_content('DOT', color=3)
bl.add_leader_line(ConnectionSide.left, [Vec2(320, 30)])
bl.build(insert=Vec2(330, 40))
d.saveas(sys.argv[1])
dashes = [abs(t.value) for t in d.linetypes.get('DASHED').pattern_tags.tags if t.code == 49]
print(','.join('%g' % v for v in dashes))
print(','.join('%g' % (2 * v) for v in dashes))
placed = [e for e in ezdxf.readfile(sys.argv[1]).modelspace().query('MULTILEADER') if e.context.block]
print('%g,%g' % tuple(placed[0].context.block.insert)[:2])
)";

// What the picture shows, one line per feature, in drawing coordinates (y up again).
constexpr char kDescribe[] = R"(
import sys, re, xml.etree.ElementTree as ET
ns = '{http://www.w3.org/2000/svg}'
root = ET.parse(sys.argv[1]).getroot()
box = [float(v) for v in root.get('viewBox').split()]
size = max(box[2], box[3])
sheet = root.find(ns + 'style').text
default = float(re.search(r'circle\{[^}]*stroke-width:([\d.e+-]+)', sheet).group(1))
print('default stroke %.4g mm of a 250 mm view' % (default / size * 250))
print('no vector-effect' if 'vector-effect' not in ET.tostring(root).decode() else 'vector-effect')
def pts(text):
    return [(float(a), -float(b)) for a, b in re.findall(r'([-\d.e]+),([-\d.e]+)', text)]
def fmt(points):
    return ' '.join('%g,%g' % (round(x, 3) or 0.0, round(y, 3) or 0.0) for x, y in points)
def classes(e):
    return (e.get('class') or '').split()
for e in root.iter():
    tag = e.tag[len(ns):]
    c = classes(e)
    style = e.get('style') or ''
    if tag == 'circle' and 'point' not in c:
        print('circle r=%s at %s %s' % (e.get('r'), fmt([(float(e.get('cx')), -float(e.get('cy')))]), style))
    elif tag == 'text':
        at = re.search(r'translate\(([-\d.e]+) ([-\d.e]+)\)', e.get('transform') or '')
        x, y = at.groups() if at else (e.get('x'), e.get('y'))
        label = ''.join(e.itertext())
        print('text %s at %s %s' % (label, fmt([(float(x), -float(y))]), e.get('text-anchor')))
        if at:
            print('text %s turned %s' % (label, e.get('transform')[at.end():].strip()))
    elif tag == 'tspan':
        print('run %s%s%s %s' % (e.text, ' bold' if e.get('font-weight') == 'bold' else '',
              ' italic' if e.get('font-style') == 'italic' else '', e.get('style')))
    elif tag == 'path' and ('hatch' in c or 'pattern' in c):
        print('%s loops=%d %s' % (c[0], e.get('d').count('M'), e.get('fill-rule')))
    elif tag == 'path' and 'spline' in c:
        p = pts(e.get('d'))
        print('spline from %s to %s' % (fmt(p[:1]), fmt(p[-1:])))
    elif tag == 'line' and 'ray' in c:
        ends = [(float(e.get('x1')), float(e.get('y1'))), (float(e.get('x2')), float(e.get('y2')))]
        edge = [any(abs(v - b) < 1e-4 * size for v, b in ((x, box[0]), (x, box[0] + box[2]), (y, box[1]), (y, box[1] + box[3]))) for x, y in ends]
        print('ray ends on the edge %s' % edge)
    elif tag == 'polygon' and c[:1] in (['image'], ['wipeout'], ['arrow']):
        print('%s %s' % (c[0], fmt(pts(e.get('points'))) if c[0] != 'arrow' else 'tip %s %s' % (fmt(pts(e.get('points'))[:1]), e.get('style'))))
    elif 'stroke-width' in style:
        print('width %s colour %s' % (re.search(r'stroke-width:([\d.]+)', style).group(1), re.search(r'color:(#\w+)', style).group(1)))
    elif 'stroke-dasharray' in style:
        print('dashes %s' % re.search(r'stroke-dasharray:([\d.,]+)', style).group(1))
    elif any(k.startswith('w') for k in c):
        w = [k for k in c if k.startswith('w')][0]
        width = float(re.search(r'\.%s\{stroke-width:([\d.e+-]+)' % w, sheet).group(1))
        print('weight %s drawn %.4g times the default' % (w, width / default))
    if tag == 'g' and e.get('clip-path'):
        print('clipped lines %s' % (len(list(e.iter(ns + 'line'))) > 0))
    if tag == 'clipPath':
        print('clip loops=%d' % e.find(ns + 'path').get('d').count('M'))
    if tag == 'g' and c == ['dimension']:
        print('dimension of lines %s, text %s' % (len(list(e.iter(ns + 'line'))) > 0, [t.text for t in e.iter(ns + 'text')]))
)";

// Each kind drawn as another program shows it; strokes in the picture's own units.
TEST_F(ToolTest, ToolRenderDrawsEveryKindInThePicturesUnits) {
    const Outcome made = python(kEveryKind, "every.dxf");
    ASSERT_EQ(made.status, 0) << made.err;
    const Outcome render = kestrel("render every.dxf every.svg");
    ASSERT_EQ(render.status, 0) << render.err;
    EXPECT_EQ(render.out.find("not drawn"), std::string::npos) << render.out;
    const Outcome described = python(kDescribe, "every.svg");
    ASSERT_EQ(described.status, 0) << described.err;
    std::istringstream patterns(made.out);
    std::string dashes;
    std::string scaledDashes;
    std::string leaderBlock;
    std::getline(patterns, dashes);
    std::getline(patterns, scaledDashes);
    std::getline(patterns, leaderBlock);
    const char* const expected[] = {
        "default stroke 0.25 mm of a 250 mm view", "no vector-effect",
        "circle r=5 at 10,10 color:#1f2933",
        "circle r=1 at 200,0 color:#ff0000",  // by layer on layer 0: the reference's layer
        // Paragraphs, formatting codes dropped, the last line on the bottom left attachment
        // point, each line 5/3 of its height below the one before: the last one twice as high.
        "text Top line at 0,-10 start",
        "run Top bold None",  // the font code's bold, in braces
        "run line fill:#ff0000", "text second 1/2 at 0,-13.333 start",
        "run 1/2 fill:#0000ff",  // a true colour's bytes are blue, green, red
        "text a\u00a0b \\ {c} at 0,-20 start",
        "text \u230012 right at 40,-32 end",  // top right: the baseline a height down
        "text slant turned rotate(-90) scale(-1 1) skewX(-15) scale(0.5 1)",  // backwards, narrow
        "hatch loops=2 evenodd",  // the inner loop a hole
        "clip loops=1",           // the pattern's lines, cut at its loop
        "clipped lines True",
        "hatch loops=1 evenodd",  // line and elliptic edges, kept raw by the host
        "dimension of lines True, text ['30']", "text 30 at 15,-40.5 middle",
        "dimension of lines True, text ['20']",  // drawn from its points
        "text 20 at 10,-58.75 middle",
        "spline from 100,0 to 130,20",  // through its fit points
        "ray ends on the edge [False, True]", "ray ends on the edge [True, True]",
        "image 140,0 156,0 156,12 140,12", "wipeout 140,20 150,20 150,30 140,30",
        "arrow tip 160,0 color:#1f2933", "text noted at 175,38 start", "text tagged at 200,1 start",
        "width 1.5 colour #c87800", "weight w100 drawn 4 times the default",
        "weight w50 drawn 2 times the default",  // the entity's own weight
        "text left at 400,-1 start",             // columns side by side, a gutter apart
        "text right at 412,-1 start",
        "text two at 454,-1 start",   // a line past the column's height starts the next one
        "text five at 466,-1 start",  // after the column break, the column past the fourth
    };
    for (const char* line : expected) {
        EXPECT_NE(described.out.find(std::string(line) + "\n"), std::string::npos)
            << line << "\nin:\n"
            << described.out;
    }
    for (const std::string& pattern : {dashes, scaledDashes}) {
        EXPECT_NE(described.out.find("dashes " + pattern + "\n"), std::string::npos)
            << pattern << "\nin:\n"
            << described.out;
    }
    // An array of references: its columns and rows turned with it, its attribute at each
    // place; and the block a multileader points at.
    for (const char* place : {"300,0", "300,6", "296,0", "296,6"}) {
        EXPECT_NE(described.out.find("circle r=0.5 at " + std::string(place) + " "),
                  std::string::npos)
            << place << "\nin:\n"
            << described.out;
    }
    for (const char* place : {"302,1", "302,7", "298,1", "298,7"}) {
        EXPECT_NE(described.out.find("text cell at " + std::string(place) + " "), std::string::npos)
            << place << "\nin:\n"
            << described.out;
    }
    EXPECT_NE(described.out.find("arrow tip 320,30 color:#1f2933"), std::string::npos)
        << described.out;  // the leader in its own colour, the block in the content's
    EXPECT_NE(described.out.find("circle r=0.5 at " + leaderBlock + " color:#00ff00"),
              std::string::npos)
        << leaderBlock << "\nin:\n"
        << described.out;
}

// A paper-space layout draws its own block and the model seen through its viewport, scaled
// and cut at the viewport's frame; a layout the drawing lacks is refused. The option
// is passed after "--", which hands it to the command whatever the program's option table says.
TEST_F(ToolTest, ToolRenderLayoutByName) {
    const Outcome made = python(R"(
import sys, ezdxf
d = ezdxf.new('R2018')
d.modelspace().add_circle((0, 0), 100)
sheet = d.layouts.new('Sheet')
sheet.add_circle((5, 5), 2)
sheet.add_viewport(center=(100, 80), size=(80, 60), view_center_point=(50, 0), view_height=300)
d.saveas(sys.argv[1])
)",
                                "sheet.dxf");
    ASSERT_EQ(made.status, 0) << made.err;
    const Outcome render = kestrel("render --layout sheet sheet.dxf sheet.svg");
    ASSERT_EQ(render.status, 0) << render.err;
    const std::string svg = tooltest::readFile(path("sheet.svg"));
    EXPECT_NE(svg.find("cx=\"5\" cy=\"-5\" r=\"2\""), std::string::npos) << svg;
    // The model's circle of radius 100 at the origin, at a fifth of its size about the
    // viewport's centre (100, 80) less a fifth of the view's centre (50, 0).
    EXPECT_NE(svg.find("<clipPath id=\"clip1\"><path clip-rule=\"evenodd\" d=\"M60,-50 L140,-50 "
                       "L140,-110 L60,-110 Z\"/></clipPath>\n<g clip-path=\"url(#clip1)\">\n"
                       "<circle style=\"color:#1f2933\" cx=\"90\" cy=\"-80\" r=\"20\"/>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("<polygon class=\"viewport\""), std::string::npos);
    const Outcome missing = kestrel("render --layout Nowhere sheet.dxf none.svg");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no layout named Nowhere"), std::string::npos) << missing.err;
}

}  // namespace
