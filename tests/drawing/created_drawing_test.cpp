// A drawing made with every creating member of CVLKCDraw (in model space, paper space and a
// block brought in from a file) is saved, read back by the host and by ezdxf (run with
// /usr/bin/python3, check_created.py), and both see the geometry that was created.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "drawing/symbol_records.h"
#include "drawing_fixture.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/drawing/paper_space_switch.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/entities/vertex.h"
#include "kestrel/host/dxf/file_message.h"

namespace fs = std::filesystem;

namespace {

using drawing_test::DrawingTest;

constexpr double kDegreesPerRadian = 57.29577951308232;

// The fields of one entity as a JSON object, named as ezdxf names them.
class Fields {
public:
    void number(const char* name, double value) { add(name, real(value)); }
    void integer(const char* name, int value) { add(name, std::to_string(value)); }
    void flag(const char* name, bool value) { add(name, value ? "true" : "false"); }
    void point(const char* name, const AcGePoint3d& p) { add(name, triple(p.x, p.y, p.z)); }
    void vector(const char* name, const AcGeVector3d& v) { add(name, triple(v.x, v.y, v.z)); }
    void text(const char* name, const std::wstring& value) { add(name, quoted(value)); }
    void list(const char* name, const std::vector<std::string>& items) {
        std::string json = "[";
        for (std::size_t i = 0; i < items.size(); ++i) {
            json += (i ? "," : "") + items[i];
        }
        add(name, json + "]");
    }
    std::string json() const { return "{" + m_json + "}"; }

    static std::string real(double value) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
        // JSON readers must see a real where the host has one.
        return std::string(buffer).find_first_of(".en") == std::string::npos
                   ? std::string(buffer) + ".0"
                   : buffer;
    }
    static std::string triple(double x, double y, double z) {
        return "[" + real(x) + "," + real(y) + "," + real(z) + "]";
    }
    static std::string quoted(const std::wstring& value) {
        std::string json = "\"";
        for (char c : wideToUtf8(value)) {
            json += (c == '"' || c == '\\') ? std::string("\\") + c : std::string(1, c);
        }
        return json + "\"";
    }

private:
    void add(const char* name, const std::string& value) {
        m_json += (m_json.empty() ? "\"" : ",\"") + std::string(name) + "\":" + value;
    }
    std::string m_json;
};

std::wstring nameOf(AcDbObjectId id) {
    CString name;
    kestrel::recordName(id, name);
    return std::wstring(name);
}

// Opens id for read as T and hands it to read; nothing when it does not open.
template <class T, class Read>
void withOpen(AcDbObjectId id, Read read) {
    T* object = nullptr;
    if (acdbOpenObject(object, id, AcDb::kForRead) == Acad::eOk) {
        read(*object);
        object->close();
    }
}

// The vertices an owner's iterator walks, each described by describe.
template <class Vertex, class Describe>
std::vector<std::string> ownedRows(AcDbObjectIterator* iterator, Describe describe) {
    std::vector<std::string> rows;
    for (iterator->start(); !iterator->done(); iterator->step()) {
        withOpen<Vertex>(iterator->objectId(), [&](Vertex& v) { rows.push_back(describe(v)); });
    }
    delete iterator;
    return rows;
}

void describeDimension(const AcDbDimension& d, Fields& f) {
    AcGePoint3d definition;
    if (auto* rotated = AcDbRotatedDimension::cast(&d)) {
        f.integer("kind", 0);
        f.point("defpoint2", rotated->xLine1Point());
        f.point("defpoint3", rotated->xLine2Point());
        f.point("defpoint", rotated->dimLinePoint());
        f.number("angle", rotated->rotation() * kDegreesPerRadian);
    } else if (auto* angular = AcDb2LineAngularDimension::cast(&d)) {
        f.integer("kind", 2);
        f.point("defpoint2", angular->xLine1Start());
        f.point("defpoint3", angular->xLine1End());
        f.point("defpoint4", angular->xLine2Start());
        f.point("defpoint", angular->xLine2End());
        f.point("defpoint5", angular->arcPoint());
    } else if (auto* threePoint = AcDb3PointAngularDimension::cast(&d)) {
        f.integer("kind", 5);
        f.point("defpoint2", threePoint->xLine1Point());
        f.point("defpoint3", threePoint->xLine2Point());
        f.point("defpoint4", threePoint->centerPoint());
        f.point("defpoint", threePoint->arcPoint());
    }
    wchar_t* text = d.dimensionText();
    f.text("text", text != nullptr ? text : L"");
    delete[] text;
    f.text("dimstyle", nameOf(d.dimensionStyle()));
}

void describeText(const AcDbText& t, Fields& f) {
    f.point("insert", t.position());
    f.point("align_point", t.alignmentPoint());
    f.text("text", t.textStringConst());
    f.number("height", t.height());
    f.number("rotation", t.rotation() * kDegreesPerRadian);
    f.number("oblique", t.oblique() * kDegreesPerRadian);
    f.number("width", t.widthFactor());
    f.text("style", nameOf(t.textStyle()));
    f.integer("halign", t.horizontalMode());
    f.integer("valign", t.verticalMode());
}

void describeCorners(const AcDbEntity& e, Fields& f) {
    static const char* const kNames[] = {"vtx0", "vtx1", "vtx2", "vtx3"};
    for (Adesk::UInt16 i = 0; i < 4; ++i) {
        AcGePoint3d corner;
        if (auto* face = AcDbFace::cast(&e)) {
            face->getVertexAt(i, corner);
        } else {
            AcDbSolid::cast(&e)->getPointAt(i, corner);
        }
        f.point(kNames[i], corner);
    }
}

// The DXF type of the entity and its fields; an empty type for kinds not created here.
std::string describe(const AcDbEntity& e, Fields& f) {
    if (auto* line = AcDbLine::cast(&e)) {
        f.point("start", line->startPoint());
        f.point("end", line->endPoint());
        return "LINE";
    }
    if (auto* arc = AcDbArc::cast(&e)) {
        f.point("center", arc->center());
        f.number("radius", arc->radius());
        f.number("start_angle", arc->startAngle() * kDegreesPerRadian);
        f.number("end_angle", arc->endAngle() * kDegreesPerRadian);
        return "ARC";
    }
    if (auto* circle = AcDbCircle::cast(&e)) {
        f.point("center", circle->center());
        f.number("radius", circle->radius());
        f.vector("extrusion", circle->normal());
        return "CIRCLE";
    }
    if (auto* ellipse = AcDbEllipse::cast(&e)) {
        f.point("center", ellipse->center());
        f.vector("major_axis", ellipse->majorAxis());
        f.number("ratio", ellipse->radiusRatio());
        f.number("start_param", ellipse->startParam());
        f.number("end_param", ellipse->endParam());
        return "ELLIPSE";
    }
    if (auto* face = AcDbFace::cast(&e)) {
        describeCorners(e, f);
        int invisible = 0;
        for (Adesk::UInt16 i = 0; i < 4; ++i) {
            Adesk::Boolean visible = true;
            face->isEdgeVisibleAt(i, visible);
            invisible |= visible ? 0 : 1 << i;
        }
        f.integer("invisible", invisible);
        return "3DFACE";
    }
    if (AcDbSolid::cast(&e) != nullptr) {
        describeCorners(e, f);
        return "SOLID";
    }
    if (auto* point = AcDbPoint::cast(&e)) {
        f.point("location", point->position());
        return "POINT";
    }
    if (auto* poly = AcDb2dPolyline::cast(&e)) {
        f.flag("closed", poly->isClosed());
        f.number("elevation_z", poly->elevation());
        f.list("points_xy", ownedRows<AcDb2dVertex>(poly->vertexIterator(), [](AcDb2dVertex& v) {
                   return "[" + Fields::real(v.position().x) + "," + Fields::real(v.position().y) +
                          "]";
               }));
        return "POLYLINE";
    }
    if (auto* poly = AcDb3dPolyline::cast(&e)) {
        f.flag("closed", poly->isClosed());
        f.list("points",
               ownedRows<AcDb3dPolylineVertex>(poly->vertexIterator(), [](AcDb3dPolylineVertex& v) {
                   const AcGePoint3d p = v.position();
                   return Fields::triple(p.x, p.y, p.z);
               }));
        return "POLYLINE";
    }
    if (auto* poly = AcDbPolyline::cast(&e)) {
        f.flag("closed", poly->isClosed());
        f.number("elevation_z", poly->elevation());
        std::vector<std::string> points;
        for (unsigned int i = 0; i < poly->numVerts(); ++i) {
            AcGePoint2d p;
            poly->getPointAt(i, p);
            points.push_back("[" + Fields::real(p.x) + "," + Fields::real(p.y) + "]");
        }
        f.list("points_xy", points);
        return "LWPOLYLINE";
    }
    if (auto* ray = AcDbRay::cast(&e)) {
        f.point("start", ray->basePoint());
        f.vector("unit_vector", ray->unitDir());
        return "RAY";
    }
    if (auto* dimension = AcDbDimension::cast(&e)) {
        describeDimension(*dimension, f);
        return "DIMENSION";
    }
    if (auto* reference = AcDbBlockReference::cast(&e)) {
        f.text("name", nameOf(reference->blockTableRecord()));
        f.point("insert", reference->position());
        f.number("xscale", reference->scaleFactors().sx);
        f.number("zscale", reference->scaleFactors().sz);
        f.number("rotation", reference->rotation() * kDegreesPerRadian);
        f.list("attribs",
               ownedRows<AcDbAttribute>(reference->attributeIterator(), [](AcDbAttribute& a) {
                   return "[" + Fields::quoted(a.tagConst()) + "," +
                          Fields::quoted(a.textStringConst()) + "]";
               }));
        return "INSERT";
    }
    if (auto* definition = AcDbAttributeDefinition::cast(&e)) {
        f.text("tag", definition->tagConst());
        return "ATTDEF";
    }
    if (auto* text = AcDbText::cast(&e)) {
        describeText(*text, f);
        return "TEXT";
    }
    return "";
}

// The rows of a block's entities, or only their types.
std::vector<std::string> blockRows(AcDbObjectId block, bool typesOnly) {
    std::vector<std::string> rows;
    withOpen<AcDbBlockTableRecord>(block, [&](AcDbBlockTableRecord& record) {
        AcDbBlockTableRecordIterator* iterator = nullptr;
        record.newIterator(iterator);
        for (; !iterator->done(); iterator->step()) {
            AcDbObjectId id;
            iterator->getEntityId(id);
            withOpen<AcDbEntity>(id, [&](AcDbEntity& entity) {
                Fields fields;
                const std::string type = describe(entity, fields);
                wchar_t handle[20] = {};
                id.handle().getIntoAsciiBuffer(handle, 20);
                rows.push_back(typesOnly ? "\"" + type + "\""
                                         : "{\"type\":\"" + type +
                                               "\",\"handle\":" + Fields::quoted(handle) +
                                               ",\"fields\":" + fields.json() + "}");
            });
        }
        delete iterator;
    });
    return rows;
}

std::string joined(const std::vector<std::string>& rows) {
    std::string json = "[";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        json += (i ? ",\n" : "\n") + rows[i];
    }
    return json + "]";
}

// The JSON check_created.py compares a file with: both layouts and the named blocks.
std::string summarize(AcDbDatabase& database, const std::vector<const wchar_t*>& blocks) {
    std::string json = "{\"model\":" + joined(blockRows(database.modelSpaceId(), false)) +
                       ",\n\"paper\":" + joined(blockRows(database.paperSpaceId(), false)) +
                       ",\n\"blocks\":{";
    AcDbBlockTable* table = nullptr;
    database.getSymbolTable(table, AcDb::kForRead);
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        AcDbObjectId id;
        table->getAt(blocks[i], id);
        json += (i ? "," : "") + Fields::quoted(blocks[i]) + ":" + joined(blockRows(id, true));
    }
    table->close();
    return json + "}}\n";
}

class DrawingFileTest : public DrawingTest {
protected:
    std::wstring path(const char* name) const { return m_files.path(name); }

    // A drawing file whose model space holds one line, for a block brought in whole.
    void writePartsFile() {
        AcDbDatabase parts;
        AcDbBlockTableRecord* model = nullptr;
        ASSERT_EQ(acdbOpenObject(model, parts.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        auto* line = new AcDbLine({0, 0, 0}, {5, 0, 0});
        ASSERT_EQ(model->appendAcDbEntity(line), Acad::eOk);
        line->close();
        model->close();
        ASSERT_EQ(parts.saveAs(path("parts.dxf").c_str()), Acad::eOk);
    }

    // Every creating member once, some with an out pointer.
    void createEverything() {
        CVLKCLinePtr line;
        CVLKCDraw::line({1, 2, 3}, {4, 6, 3}, &line);
        line.close();
        CVLKCDraw::arc({0, 2, 4}, {2, 0, 4}, {0, -2, 4});
        CVLKCDraw::circle({1, 1, 0}, 2.5, {0, 0, 1});
        CVLKCDraw::ellipse({0, 0, 0}, {0, 0, 1}, {4, 0, 0}, 0.5, 0.25, 3.0);
        CVLKCDraw::face({0, 0, 0}, {1, 0, 0}, {1, 1, 1}, {0, 1, 1}, true, false, true, false);
        CVLKCDraw::face({0, 0, 0}, {2, 0, 0}, {0, 2, 0}, false, false, false);
        CVLKCDraw::point({7, 8, 9});
        AcGePoint3dArray vertices;
        vertices.append(AcGePoint3d(0, 0, 0));
        vertices.append(AcGePoint3d(2, 0, 0));
        vertices.append(AcGePoint3d(2, 1, 0));
        CVLKCDraw::polyline2d(vertices, 1.5, 1);
        vertices.append(AcGePoint3d(0, 1, 5));
        CVLKCDraw::polyline3d(vertices, 0);
        CVLKCPolylineLWPtr polyline;
        CVLKCDraw::polylineLW(vertices, 2.0, 0, &polyline);
        polyline.close();
        CVLKCDraw::ray({1, 1, 0}, {0, 1, 0});
        CVLKCDraw::rectangle({0, 0, 5}, {4, 3, 9});
        const AcDbObjectId style = db()->dimstyle();
        CVLKCDraw::rotatedDimension({0, 0, 0}, {4, 0, 0}, {2, 1, 0}, 0.25, L"<>mm", style);
        CVLKCDraw::angularDimension({0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 1, 0}, {1, 1, 0}, L"",
                                    style);
        CVLKCDraw::angularDimension3P({0, 0, 0}, {2, 0, 0}, {0, 2, 0}, {1, 1, 0}, L"x", style);
        CVLKCTextPtr text;
        CVLKCDraw::text({1, 2, 0}, L"Text \"quoted\"", 2.5, 90.0, AcDb::kTextVertMid,
                        AcDb::kTextCenter, db()->textstyle(), &text);
        text.close();
        CVLKCDraw::solid({0, 0, 0}, {3, 0, 0}, {0, 3, 0}, {3, 3, 0});
        CVLKCDraw::solid({0, 0, 0}, {3, 0, 0}, {0, 3, 0});
        const AcDbObjectId parts =
            CVLKCDraw::insertBlockDefinition(L"Parts", path("parts.dxf").c_str());
        ASSERT_FALSE(parts.isNull());
        CVLKCDraw::insertBlockReference(parts, {10, 20, 0}, nullptr, 2.0);
        const AcDbObjectId tag = addBlock(L"Tag");
        append(new AcDbAttributeDefinition({0, 0, 0}, L"d", L"NAME", L"Name?"), tag);
        append(new AcDbAttributeDefinition({0, 1, 0}, L"d", L"SIZE", L"Size?"), tag);
        CStringArray values;
        values.Add(L"Pump");
        CVLKCDraw::insertBlockReference(tag, {5, 5, 0}, &values, 1.0);
        CVLKCSwitchToPaperSpace toPaper;
        CVLKCDraw::line({0, 0, 0}, {100, 50, 0});
        ASSERT_TRUE(host::openObjects().empty());
    }

    // Runs check_created.py on file against expected; its exit status, output in output.
    int checkWithEzdxf(const std::wstring& file, const std::string& expected, std::string& output) {
        const fs::path json = m_files.folder() / "expected.json";
        std::ofstream(json) << expected;
        const fs::path log = m_files.folder() / "check.log";
        const fs::path script = fs::path(__FILE__).parent_path() / "check_created.py";
        const std::string command = "/usr/bin/python3 '" + script.string() + "' '" +
                                    wideToUtf8(file) + "' '" + json.string() + "' > '" +
                                    log.string() + "' 2>&1";
        const int status = std::system(command.c_str());
        std::stringstream text;
        text << std::ifstream(log).rdbuf();
        output = text.str();
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    drawing_test::TempFolder m_files;
};

TEST_F(DrawingFileTest, DrawingFileOfEveryCreatingMemberReadsBackTheSame) {
    writePartsFile();
    createEverything();
    const std::vector<const wchar_t*> blocks = {L"Parts", L"Tag"};
    const std::string created = summarize(*db(), blocks);
    // Every entity was described, each member's kind once at least.
    EXPECT_EQ(created.find("\"type\":\"\""), std::string::npos) << created;
    for (const char* kind : {"LINE", "ARC", "CIRCLE", "ELLIPSE", "3DFACE", "POINT", "POLYLINE",
                             "LWPOLYLINE", "RAY", "DIMENSION", "TEXT", "SOLID", "INSERT"}) {
        EXPECT_NE(created.find("\"type\":\"" + std::string(kind) + "\""), std::string::npos)
            << kind;
    }

    const std::wstring file = path("created.dxf");
    ASSERT_EQ(db()->saveAs(file.c_str()), Acad::eOk) << wideToUtf8(host::lastDrawingFileMessage());

    AcDbDatabase back(false, true);
    ASSERT_EQ(back.readDwgFile(file.c_str()), Acad::eOk)
        << wideToUtf8(host::lastDrawingFileMessage());
    EXPECT_EQ(summarize(back, blocks), created);

    std::string output;
    EXPECT_EQ(checkWithEzdxf(file, created, output), 0) << output;
}

TEST_F(DrawingFileTest, DrawingFileCheckerCatchesADifference) {
    CVLKCDraw::line({1, 2, 3}, {4, 6, 3});
    const std::wstring file = path("one.dxf");
    ASSERT_EQ(db()->saveAs(file.c_str()), Acad::eOk);
    std::string expected = summarize(*db(), {});
    const std::size_t at = expected.find("4.0,6.0,3.0");
    ASSERT_NE(at, std::string::npos) << expected;
    expected.replace(at, 11, "4.0,6.5,3.0");
    std::string output;
    EXPECT_EQ(checkWithEzdxf(file, expected, output), 1) << output;
    EXPECT_NE(output.find("end"), std::string::npos) << output;
}

}  // namespace
