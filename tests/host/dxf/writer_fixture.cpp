// The writer tests' drawing, text helpers and fixture.
#include "tests/host/dxf/writer_fixture.h"

#include <fstream>
#include <numbers>
#include <sstream>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/mtext.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/dxf/dxf_writer.h"
#include "kestrel/host/harness.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/host_checks.h"

namespace writertest {
namespace {

using testsupport::appendEntity;

AcDbObjectId addBlock(AcDbDatabase& db) {
    const AcDbObjectId id =
        testsupport::addRecord<AcDbBlockTable>(&db, new AcDbBlockTableRecord(), L"TAG");
    appendEntity(new AcDbCircle(AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), 1.0), id);
    appendEntity(new AcDbAttributeDefinition(AcGePoint3d(0, 0, 0), L"?", L"NAME", L"Name"), id);
    return id;
}

AcDbObjectId addXrecord(AcDbObjectId owner, AcDbObjectId referenced) {
    AcDbObjectId dictionaryId;
    {
        auto entity = open<AcDbEntity>(owner, AcDb::kForWrite);
        EXPECT_EQ(entity->createExtensionDictionary(), Acad::eOk);
        dictionaryId = entity->extensionDictionary();
    }
    char bytes[] = {0x00, 0x10, static_cast<char>(0xAB), static_cast<char>(0xFF)};
    ads_binary chunk{4, bytes};
    std::int64_t name[2] = {0, 0};
    acdbGetAdsName(name, referenced);
    return testsupport::putRecord(
        dictionaryId, L"DATA",
        acutBuildList(1, L"record", 310, &chunk, 40, 0.1, 50, 0.25, 340, name, 0));
}

}  // namespace

Drawing buildDrawing(AcDbDatabase& db) {
    Drawing d;
    testsupport::addRecord<AcDbRegAppTable>(&db, new AcDbRegAppTableRecord(), L"KESTREL");
    d.walls = testsupport::addRecord<AcDbLayerTable>(&db, new AcDbLayerTableRecord(), L"Walls");
    d.block = addBlock(db);
    const AcDbObjectId model = db.modelSpaceId();
    auto* line = new AcDbLine(AcGePoint3d(0.1, 1.0 / 3.0, -0.0), AcGePoint3d(1e-300, 2e300, 7));
    line->setLayer(d.walls);
    d.line = appendEntity(line, model);
    {
        resbuf* xdata =
            acutBuildList(1001, L"KESTREL", 1000, L"two\nlines", 1040, 0.75, 1070, 5, 0);
        auto opened = open<AcDbEntity>(d.line, AcDb::kForWrite);
        EXPECT_EQ(opened->setXData(xdata), Acad::eOk);
        acutRelRb(xdata);
    }
    d.circle =
        appendEntity(new AcDbCircle(AcGePoint3d(5, 5, 0), AcGeVector3d(0, 0, 1), 2.0), model);
    d.xrecord = addXrecord(d.circle, d.line);
    d.arc = appendEntity(
        new AcDbArc(AcGePoint3d(0, 0, 0), 1.0, std::numbers::pi / 6, 2 * std::numbers::pi / 3),
        model);
    auto* mtext = new AcDbMText();
    mtext->setContents(L"Note");
    mtext->setRotation(0.5);
    d.mtext = appendEntity(mtext, model);
    auto* light = new AcDbPolyline();
    light->addVertexAt(0, AcGePoint2d(0, 0));
    light->addVertexAt(1, AcGePoint2d(1, 0), 0.25);
    light->addVertexAt(2, AcGePoint2d(1, 1));
    d.polyline = appendEntity(light, model);
    AcGePoint3dArray vertices = testsupport::pointArray({{0, 0, 0}, {2, 1, 0}, {4, 0, 0}});
    d.polyline2d = appendEntity(new AcDb2dPolyline(AcDb::k2dSimplePoly, vertices), model);
    d.insert = appendEntity(new AcDbBlockReference(AcGePoint3d(10, 10, 0), d.block), model);
    {
        auto insert = open<AcDbBlockReference>(d.insert, AcDb::kForWrite);
        auto* attribute = new AcDbAttribute(AcGePoint3d(10, 10, 0), L"Hall", L"NAME");
        AcDbObjectId id;
        EXPECT_EQ(insert->appendAttribute(id, attribute), Acad::eOk);
        attribute->close();
    }
    d.dimension = appendEntity(new AcDbRotatedDimension(0.0, AcGePoint3d(0, 0, 0),
                                                        AcGePoint3d(4, 0, 0), AcGePoint3d(2, 2, 0)),
                               model);
    d.paperLine =
        appendEntity(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 10, 0)), db.paperSpaceId());
    return d;
}

std::string textOf(AcDbDatabase& db) {
    std::string text;
    const host::dxf::WriteResult result = host::dxf::writeDrawing(&db, text);
    EXPECT_EQ(result.status, Acad::eOk) << wideToUtf8(result.message);
    return text;
}

std::vector<Group> groupsOf(const std::string& text) {
    std::vector<Group> groups;
    std::istringstream in(text);
    std::string code;
    std::string value;
    while (std::getline(in, code) && std::getline(in, value)) {
        while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) {
            value.pop_back();
        }
        groups.push_back(Group{std::stoi(code), value});
    }
    return groups;
}

std::vector<Group> objectGroups(const std::vector<Group>& groups, AcDbObjectId id) {
    const std::string handle = wideToUtf8(id.handle().text());
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
        if (groups[i].code == 0 && (groups[i + 1].code == 5 || groups[i + 1].code == 105) &&
            groups[i + 1].value == handle) {
            std::vector<Group> object{groups[i]};
            for (std::size_t k = i + 1; k < groups.size() && groups[k].code != 0; ++k) {
                object.push_back(groups[k]);
            }
            return object;
        }
    }
    return {};
}

// The groups of the whole section name.
std::vector<Group> section(const std::vector<Group>& groups, const char* name) {
    std::vector<Group> out;
    bool inside = false;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].code == 0 && groups[i].value == "SECTION") {
            inside = i + 1 < groups.size() && groups[i + 1].value == name;
        } else if (inside && groups[i].code == 0 && groups[i].value == "ENDSEC") {
            break;
        }
        if (inside) {
            out.push_back(groups[i]);
        }
    }
    return out;
}

std::string valueOf(const std::vector<Group>& groups, int code) {
    for (const Group& g : groups) {
        if (g.code == code) {
            return g.value;
        }
    }
    return "(none)";
}

std::string WriterTest::contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> WriterTest::folderEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_files.folder())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace writertest
