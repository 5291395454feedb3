// The showcase drawing: an A3 sheet (420 x 297 units) with a row of curves, a row of planar
// entities, a row of annotation, the title block in the lower and the north arrow in the upper
// right corner.
#include "tools/demo_drawing.h"

#include <cmath>
#include <ctime>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/drawing/layer_table_ptr.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/platform/utf8.h"
#include "tools/demo_report.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
const AcGeVector3d kUp(0, 0, 1);

AcGePoint3d at(double x, double y, double z = 0.0) {
    return AcGePoint3d(x, y, z);
}

AcGePoint3dArray points(std::initializer_list<AcGePoint3d> list) {
    AcGePoint3dArray array;
    for (const AcGePoint3d& point : list) {
        array.append(point);
    }
    return array;
}

bool useLayer(const wchar_t* name) {
    CVLKCLayerTablePtr layers;
    return layers.setCurrent(name);
}

AcDbDatabase& workingDatabase() {
    return *acdbHostApplicationServices()->workingDatabase();
}

void addCurves(DemoReport& report) {
    report.step(!CVLKCDraw::arc(at(140, 240), at(170, 270), at(200, 240)).isNull(),
                "arc through (140, 240), (170, 270), (200, 240)");
    report.step(
        !CVLKCDraw::ellipse(at(310, 260), kUp, AcGeVector3d(40, 0, 0), 0.5, 0, 2 * kPi).isNull(),
        "ellipse at (310, 260), axes 80 x 40");
    report.step(!CVLKCDraw::ray(at(20, 125), AcGeVector3d(0.98, 0.196, 0).normal()).isNull(),
                "ray from (20, 125)");
}

void addLineWithXData(DemoReport& report) {
    CVLKCLinePtr line;
    CVLKCDraw::line(at(20, 240), at(120, 280), &line);
    report.step(static_cast<AcDbLine*>(line) != nullptr, "line from (20, 240) to (120, 280)");
    const bool written = line.eedWrite(kDemoApp, L"made by kestrel demo") == Acad::eOk &&
                         line.eedWrite(kDemoApp, 42, true) == Acad::eOk &&
                         line.eedWrite(kDemoApp, at(70, 260), true) == Acad::eOk;
    report.step(written, "  XData of KESTREL_DEMO on the line: a text, 42, (70, 260)");
}

void addCircleWithRecords(DemoReport& report) {
    CVLKCCirclePtr circle;
    CVLKCDraw::circle(at(240, 260), 20, kUp, &circle);
    report.step(static_cast<AcDbCircle*>(circle) != nullptr, "circle at (240, 260), radius 20");
    CVLKCBinaryData stamp;
    unsigned char bytes[] = {0x4b, 0x45, 0x53, 0x54, 0x52, 0x45, 0x4c};
    stamp.m_texts.Add(L"stamp");
    stamp.m_data = bytes;
    stamp.m_size = sizeof bytes;
    const bool written = circle.dctWrite(L"Material", L"Steel") == Acad::eOk &&
                         circle.dctWrite(L"Thickness", 2.5) == Acad::eOk &&
                         circle.dctWrite(L"Centre", at(240, 260)) == Acad::eOk &&
                         circle.dctWrite(L"Stamp", stamp) == Acad::eOk;
    report.step(written,
                "  extension dictionary of the circle: Material, Thickness, Centre, Stamp "
                "(7 bytes)");
}

void addPlanar(DemoReport& report) {
    report.step(
        !CVLKCDraw::face(at(20, 150), at(80, 150), at(80, 200), at(20, 200), true, true, true, true)
             .isNull(),
        "3D face (20, 150) to (80, 200)");
    report.step(
        !CVLKCDraw::face(at(100, 150), at(160, 150), at(130, 200), true, true, true).isNull(),
        "triangular 3D face (100, 150), (160, 150), (130, 200)");
    report.step(!CVLKCDraw::point(at(180, 175)).isNull(), "point at (180, 175)");
    report.step(
        !CVLKCDraw::polyline2d(points({at(200, 150), at(230, 200), at(260, 150)}), 0, 1).isNull(),
        "closed 2D polyline of 3 vertices");
    report.step(
        !CVLKCDraw::polyline3d(points({at(280, 150, 0), at(310, 200, 10), at(340, 150, 20)}), 0)
             .isNull(),
        "3D polyline of 3 vertices rising to z = 20");
    report.step(!CVLKCDraw::polylineLW(
                     points({at(360, 150), at(380, 200), at(400, 150), at(400, 180)}), 0, 0)
                     .isNull(),
                "lightweight polyline of 4 vertices");
    report.step(!CVLKCDraw::solid(at(20, 60), at(80, 60), at(20, 100), at(80, 100)).isNull(),
                "solid (20, 60) to (80, 100)");
    report.step(!CVLKCDraw::solid(at(100, 60), at(160, 60), at(130, 100)).isNull(),
                "triangular solid (100, 60), (160, 60), (130, 100)");
}

// The sheet is in millimetres: the current dimension style gets metric sizes (a new drawing's
// are in inches), so that the dimensions' arrows and texts are 2.5 mm.
bool setMetricDimensionSizes(AcDbDatabase& db) {
    AcDbDimStyleTableRecord* style = nullptr;
    if (acdbOpenObject(style, db.dimstyle(), AcDb::kForWrite) != Acad::eOk) {
        return false;
    }
    const bool set = style->setDimasz(2.5) == Acad::eOk && style->setDimtxt(2.5) == Acad::eOk &&
                     style->setDimexo(0.625) == Acad::eOk && style->setDimexe(1.25) == Acad::eOk;
    style->close();
    return set;
}

void addAnnotation(DemoReport& report) {
    AcDbDatabase& db = workingDatabase();
    report.step(setMetricDimensionSizes(db), "dimension style in millimetres: arrows and text 2.5");
    report.step(!CVLKCDraw::text(at(20, 20), L"Kestrel demo drawing", 6, 0, AcDb::kTextBase,
                                 AcDb::kTextLeft, db.textstyle())
                     .isNull(),
                "text \"Kestrel demo drawing\" at (20, 20)");
    report.step(!CVLKCDraw::rectangle(at(0, 0), at(420, 297)).isNull(),
                "rectangle (0, 0) to (420, 297)");
    report.step(
        !CVLKCDraw::rotatedDimension(at(20, 240), at(120, 240), at(70, 230), 0, L"", db.dimstyle())
             .isNull(),
        "rotated dimension from (20, 240) to (120, 240)");
    report.step(!CVLKCDraw::angularDimension(at(200, 60), at(260, 60), at(200, 60), at(240, 100),
                                             at(250, 80), L"", db.dimstyle())
                     .isNull(),
                "angular dimension between two lines at (200, 60)");
    report.step(!CVLKCDraw::angularDimension3P(at(300, 60), at(360, 60), at(300, 120), at(340, 100),
                                               L"", db.dimstyle())
                     .isNull(),
                "angular dimension through three points about (300, 60)");
}

std::wstring today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char text[16] = "";
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    }
    return utf8ToWide(text);
}

// A reference to the title block with its three attributes filled in.
void addTitleReference(DemoReport& report, const AcDbObjectId& block) {
    CStringArray values;
    values.Add(L"Kestrel demo");
    values.Add(today());
    values.Add(L"1:1");
    CVLKCBlockReferencePtr reference;
    CVLKCDraw::insertBlockReference(block, at(235, 5), &values, 1.0, &reference);
    report.step(static_cast<AcDbBlockReference*>(reference) != nullptr,
                "reference to KESTREL_TITLE at (235, 5): TITLE \"" +
                    wideToUtf8(reference.getAttributeText(L"TITLE").str()) + "\", DATE \"" +
                    wideToUtf8(reference.getAttributeText(L"DATE").str()) + "\", SCALE \"" +
                    wideToUtf8(reference.getAttributeText(L"SCALE").str()) + "\"");
}

}  // namespace

void addDemoLayers(DemoReport& report) {
    struct Layer {
        const wchar_t* name;
        int colour;
    };
    const Layer layers[] = {{L"Curves", 1}, {L"Planar", 3}, {L"Annotation", 5}, {L"TitleBlock", 4}};
    CVLKCLayerTablePtr table;
    for (const Layer& layer : layers) {
        report.step(
            table.createLayer(layer.name, layer.colour, false, L"Continuous", false, false, false),
            "layer " + wideToUtf8(layer.name) + ", colour " + std::to_string(layer.colour));
    }
}

void addDemoEntities(DemoReport& report) {
    report.step(useLayer(L"Curves"), "current layer Curves");
    addLineWithXData(report);
    addCircleWithRecords(report);
    addCurves(report);
    report.step(useLayer(L"Planar"), "current layer Planar");
    addPlanar(report);
    report.step(useLayer(L"Annotation"), "current layer Annotation");
    addAnnotation(report);
}

void addDemoTitleBlock(DemoReport& report, const std::filesystem::path& blockFile) {
    report.step(useLayer(L"TitleBlock"), "current layer TitleBlock");
    const std::wstring file = utf8ToWide(blockFile.string());
    const AcDbObjectId block = CVLKCDraw::insertBlockDefinition(L"KESTREL_TITLE", file.c_str());
    if (report.step(!block.isNull(), "block KESTREL_TITLE from " + blockFile.string())) {
        addTitleReference(report, block);
    }
    const AcDbObjectId arrow =
        CVLKCDraw::insertBlockDefinition(L"KESTREL_NORTH", L"NORTH_ARROW", file.c_str());
    report.step(!arrow.isNull() &&
                    !CVLKCDraw::insertBlockReference(arrow, at(400, 270), nullptr, 1.0).isNull(),
                "block KESTREL_NORTH from block NORTH_ARROW of the same file, referenced at "
                "(400, 270)");
}

void addDemoDictionaryRecords(DemoReport& report) {
    CVLKCDictionaryPtr named(AcDb::kForWrite);
    std::wstring notes;
    while (notes.size() < 100000) {
        notes += L"Kestrel keeps texts of any length in the drawing. ";
    }
    const bool written = named.dctWrite(kDemoApp, L"Author", L"kestrel demo") == Acad::eOk &&
                         named.dctWrite(kDemoApp, L"Revision", 3) == Acad::eOk &&
                         named.dctWriteBigString(kDemoApp, L"Notes", notes.c_str()) == Acad::eOk;
    CString readBack;
    const bool read =
        named.dctReadBigString(kDemoApp, L"Notes", readBack) && readBack.str() == notes;
    report.step(written && read,
                "named dictionary KESTREL_DEMO: Author, Revision, Notes (a big string of " +
                    std::to_string(notes.size()) + " characters, read back whole)");
}
