// kestrel render on small drawings made here with the host: the SVG parses and holds one
// element of the documented kind and colour per entity, block content placed by the reference's
// scale; a block holding itself, an empty drawing and a target it cannot replace.
#include <cstdint>

#include "host/db/block_table.h"
#include "host/db/database.h"
#include "host/db/entities/arc.h"
#include "host/db/entities/attribute.h"
#include "host/db/entities/attribute_definition.h"
#include "host/db/entities/block_reference.h"
#include "host/db/entities/circle.h"
#include "host/db/entities/ellipse.h"
#include "host/db/entities/face.h"
#include "host/db/entities/line.h"
#include "host/db/entities/point.h"
#include "host/db/entities/polyline.h"
#include "host/db/entities/polyline_3d.h"
#include "host/db/entities/ray.h"
#include "host/db/entities/solid.h"
#include "host/db/entities/text.h"
#include "host/db/open.h"
#include "host/harness.h"
#include "platform/utf8.h"
#include "tests/tools/tool_run.h"

namespace {

using tooltest::Outcome;
using tooltest::ToolTest;

const AcGeVector3d kUp(0, 0, 1);

void append(AcDbObjectId spaceId, AcDbEntity* entity) {
    AcDbBlockTableRecord* space = nullptr;
    ASSERT_EQ(acdbOpenObject(space, spaceId, AcDb::kForWrite), Acad::eOk);
    ASSERT_EQ(space->appendAcDbEntity(entity), Acad::eOk);
    entity->close();
    space->close();
}

AcDbPolyline* lightweight(std::initializer_list<AcGePoint2d> points, double bulge, bool closed) {
    auto* polyline = new AcDbPolyline();
    unsigned int index = 0;
    for (const AcGePoint2d& point : points) {
        polyline->addVertexAt(index++, point, bulge);
    }
    polyline->setClosed(closed);
    return polyline;
}

// Block "B" (a circle of radius 5 by layer on layer 0, a line by block, attribute definition
// TAG) with its id in blockId.
void newBlock(AcDbDatabase& db, const wchar_t* name, AcDbObjectId& blockId) {
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    block->setName(name);
    ASSERT_EQ(table->add(blockId, block), Acad::eOk);
    block->close();
    table->close();
}

void addBlock(AcDbDatabase& db, AcDbObjectId& blockId) {
    newBlock(db, L"B", blockId);
    append(blockId, new AcDbCircle(AcGePoint3d(0, 0, 0), kUp, 5));
    auto* byBlock = new AcDbLine(AcGePoint3d(-5, 0, 0), AcGePoint3d(5, 0, 0));
    byBlock->setColorIndex(0);
    append(blockId, byBlock);
    append(blockId, new AcDbAttributeDefinition(AcGePoint3d(0, 6, 0), L"v", L"TAG", L"Tag?"));
}

void addReference(AcDbObjectId spaceId, AcDbObjectId blockId, const AcGePoint3d& at,
                  const AcGeScale3d& scale, const wchar_t* value, std::uint16_t colour) {
    auto* reference = new AcDbBlockReference(at, blockId);
    reference->setScaleFactors(scale);
    reference->setColorIndex(colour);
    auto* attribute = new AcDbAttribute(AcGePoint3d(at.x, at.y + 12, 0), value, L"TAG");
    ASSERT_EQ(reference->appendAttribute(attribute), Acad::eOk);
    attribute->close();
    append(spaceId, reference);
}

// Every kind the renderer draws once in model space (the line red), a ray it does not draw, and
// two references to block B: one green scaled 2 evenly, one blue scaled 1 by 3.
void buildDrawing(AcDbDatabase& db) {
    const AcDbObjectId space = db.modelSpaceId();
    auto* red = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 50, 0));
    red->setColorIndex(1);
    append(space, red);
    append(space, new AcDbCircle(AcGePoint3d(50, 50, 0), kUp, 10));
    append(space, new AcDbArc(AcGePoint3d(80, 20, 0), 10, 0, 2));
    append(space, new AcDbEllipse(AcGePoint3d(20, 80, 0), kUp, AcGeVector3d(10, 0, 0), 0.5, 0, 3));
    append(space, lightweight({{0, 0}, {10, 0}, {10, 10}}, 0.0, true));
    append(space, lightweight({{20, 0}, {30, 0}, {30, 10}}, 0.5, false));
    AcGePoint3dArray vertices;
    vertices.append(AcGePoint3d(0, 0, 0));
    vertices.append(AcGePoint3d(5, 5, 5));
    vertices.append(AcGePoint3d(10, 0, 10));
    append(space, new AcDb3dPolyline(AcDb::k3dSimplePoly, vertices));
    append(space, new AcDbFace(AcGePoint3d(0, 60, 0), AcGePoint3d(10, 60, 0),
                               AcGePoint3d(10, 70, 0), AcGePoint3d(0, 70, 0)));
    append(space, new AcDbSolid(AcGePoint3d(40, 60, 0), AcGePoint3d(50, 60, 0),
                                AcGePoint3d(40, 70, 0), AcGePoint3d(50, 70, 0)));
    append(space, new AcDbPoint(AcGePoint3d(70, 70, 0)));
    append(space, new AcDbText(AcGePoint3d(0, -10, 0), L"a < b & c", AcDbObjectId::kNull, 3));
    auto* ray = new AcDbRay();
    ray->setBasePoint(AcGePoint3d(0, 0, 0));
    append(space, ray);
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
    EXPECT_EQ(render.out, "small.svg: 13 entities drawn; not drawn: AcDbRay 1\n");
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
for kind in ('line', 'circle', 'path'):
    print(kind, ' '.join(e.get('style', '-') for e in root.iter(ns + kind)
                         if e.get('class') in (None, 'circle')))
)",
                                  "small.svg");
    ASSERT_EQ(counts.status, 0) << counts.err;
    EXPECT_EQ(counts.out,
              "circle.=2 circle.point=1 g.insert=2 line.=3 path.arc=1 path.circle=1 "
              "path.ellipse=1 path.polyline=1 polygon.=1 polygon.face=1 polygon.solid=1 "
              "polyline.=1 rect.=1 style.=1 svg.=1 text.=3\n"
              "10 10\n"
              "a < b & c even uneven\n"
              "line color:#ff0000 color:#00ff00 color:#0000ff\n"
              "circle color:#1f2933 color:#00ff00\n"
              "path color:#0000ff\n");
}

// A block that holds a reference to itself, as only a damaged file has it, is drawn once.
TEST_F(ToolTest, ToolRenderDrawsABlockThatHoldsItselfOnce) {
    {
        AcDbDatabase db(true, true);
        AcDbObjectId loop;
        newBlock(db, L"LOOP", loop);
        ASSERT_FALSE(HasFatalFailure());
        append(loop, new AcDbCircle(AcGePoint3d(0, 0, 0), kUp, 1));
        append(loop, new AcDbBlockReference(AcGePoint3d(1, 0, 0), loop));
        append(db.modelSpaceId(), new AcDbBlockReference(AcGePoint3d(0, 0, 0), loop));
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

}  // namespace
