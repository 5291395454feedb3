// The interop sample drawing and the JSON summary of a database that the python checks compare
// with what ezdxf reads from the saved file.
#include "tests/interop/sample_drawing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/mtext.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/spline.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/entities/vertex.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"

namespace interop {
namespace {

constexpr double kPi = 3.141592653589793;

using testsupport::Held;

bool ok(Acad::ErrorStatus status, const char* what) {
    EXPECT_EQ(status, Acad::eOk) << what;
    return status == Acad::eOk;
}

AcDbObjectId addLayer(AcDbDatabase& db, const wchar_t* name, Adesk::UInt16 colorIndex) {
    AcDbLayerTable* table = nullptr;
    AcDbObjectId id;
    if (!ok(db.getLayerTable(table, AcDb::kForWrite), "layer table")) {
        return id;
    }
    auto* layer = new AcDbLayerTableRecord();
    layer->setName(name);
    AcCmColor color;
    color.setColorIndex(colorIndex);
    layer->setColor(color);
    ok(table->add(id, layer), "add layer");
    layer->close();
    table->close();
    return id;
}

void registerApp(AcDbDatabase& db, const wchar_t* name) {
    AcDbRegAppTable* table = nullptr;
    if (ok(db.getRegAppTable(table, AcDb::kForWrite), "regapp table")) {
        auto* app = new AcDbRegAppTableRecord();
        app->setName(name);
        AcDbObjectId id;
        ok(table->add(id, app), "add regapp");
        app->close();
        table->close();
    }
}

// Appends entity to the block on layer; the entity is closed again.
AcDbObjectId append(AcDbObjectId blockId, AcDbEntity* entity, AcDbObjectId layer) {
    AcDbObjectId id;
    auto block = testsupport::open<AcDbBlockTableRecord>(blockId, AcDb::kForWrite);
    if (block == nullptr) {
        delete entity;
        return id;
    }
    if (!layer.isNull()) {
        entity->setLayer(layer);
    }
    if (ok(block->appendAcDbEntity(id, entity), "append")) {
        entity->close();
    } else {
        delete entity;
    }
    return id;
}

AcGePoint3dArray points(std::initializer_list<AcGePoint3d> list) {
    AcGePoint3dArray array;
    for (const AcGePoint3d& p : list) {
        array.append(p);
    }
    return array;
}

void setXData(AcDbObjectId id) {
    const double where[3] = {1.5, -2.25, 3.0};
    char bytes[] = {0x00, 0x7F, static_cast<char>(0x80), static_cast<char>(0xFF), 0x41};
    ads_binary chunk{static_cast<short>(sizeof bytes), bytes};
    resbuf* xdata = acutBuildList(1001, kAppName, 1000, L"gr\u00fc\u00dfe \u6f22\u5b57", 1002, L"{",
                                  1040, 0.1, 1041, 1e-300, 1070, 42, 1071, 123456789L, 1002, L"}",
                                  1010, where, 1004, &chunk, 1005, L"1F", 0);
    auto entity = testsupport::open<AcDbEntity>(id, AcDb::kForWrite);
    ok(entity->setXData(xdata), "setXData");
    acutRelRb(xdata);
}

AcDbObjectId newXrecord(AcDbDictionary* owner, const wchar_t* key, resbuf* items) {
    auto* record = new AcDbXrecord();
    ok(record->setFromRbChain(items), "xrecord items");
    acutRelRb(items);
    AcDbObjectId id;
    ok(owner->setAt(key, record, id), "xrecord setAt");
    record->close();
    return id;
}

AcDbObjectId newDictionary(AcDbDictionary* owner, const wchar_t* key) {
    auto* dictionary = new AcDbDictionary();
    AcDbObjectId id;
    ok(owner->setAt(key, dictionary, id), "dictionary setAt");
    dictionary->close();
    return id;
}

resbuf* binaryItems(AcDbObjectId referenced) {
    static char big[127];
    for (int i = 0; i < 127; ++i) {
        big[i] = static_cast<char>(i * 7);
    }
    char small[] = {0x01, 0x02};
    ads_binary first{127, big};
    ads_binary second{2, small};
    const double at[3] = {4.0, 5.0, 6.5};
    std::int64_t name[2] = {0, 0};
    acdbGetAdsName(name, referenced);
    return acutBuildList(1, L"binary data", 310, &first, 310, &second, 70, 7, 90, 70000L, 40, 2.5,
                         10, at, 50, 0.75, 340, name, 0);
}

// One item of each value class an Xrecord holds, over the code ranges.
resbuf* everyValueClass(AcDbObjectId referenced) {
    const double p[3] = {1.25, -2.5, 1e-5};
    char bytes[] = {0x0F, static_cast<char>(0xF0)};
    ads_binary chunk{2, bytes};
    std::int64_t name[2] = {0, 0};
    acdbGetAdsName(name, referenced);
    const std::int64_t big = 0x123456789ALL;
    return acutBuildList(1, L"text", 2, L"name", 10, p, 11, p, 38, 1.5, 40, 2.5, 50, 0.125, 60, 6,
                         70, -7, 90, 90000L, 110, p, 140, 1e100, 160, big, 170, 17, 210, p, 270, 27,
                         280, 28, 290, 1, 300, L"\u00fcber", 310, &chunk, 320, L"1F", 330, name,
                         340, name, 0);
}

// An extension dictionary on the circle with an Xrecord and a nested dictionary.
void addExtensionData(AcDbObjectId circleId, AcDbObjectId lineId) {
    AcDbObjectId dictionaryId;
    {
        auto circle = testsupport::open<AcDbEntity>(circleId, AcDb::kForWrite);
        ok(circle->createExtensionDictionary(), "extension dictionary");
        dictionaryId = circle->extensionDictionary();
    }
    auto dictionary = testsupport::open<AcDbDictionary>(dictionaryId, AcDb::kForWrite);
    newXrecord(dictionary.get(), L"DATA", binaryItems(lineId));
    const AcDbObjectId innerId = newDictionary(dictionary.get(), L"INNER");
    auto inner = testsupport::open<AcDbDictionary>(innerId, AcDb::kForWrite);
    newXrecord(inner.get(), L"NOTE", acutBuildList(1, L"nested", 0));
}

// KESTREL_DATA in the named object dictionary: two levels of dictionaries and Xrecords.
void addNamedData(AcDbDatabase& db, AcDbObjectId lineId) {
    AcDbDictionary* nod = nullptr;
    if (!ok(db.getNamedObjectsDictionary(nod, AcDb::kForWrite), "named objects")) {
        return;
    }
    const AcDbObjectId topId = newDictionary(nod, L"KESTREL_DATA");
    nod->close();
    auto top = testsupport::open<AcDbDictionary>(topId, AcDb::kForWrite);
    newXrecord(top.get(), L"SETTINGS", acutBuildList(1, L"a=1", 1, L"b=\u00e9", 71, 3, 0));
    newXrecord(top.get(), L"ALLCODES", everyValueClass(lineId));
    const AcDbObjectId levelId = newDictionary(top.get(), L"LEVEL1");
    auto level = testsupport::open<AcDbDictionary>(levelId, AcDb::kForWrite);
    newXrecord(level.get(), L"BLOB", binaryItems(lineId));
    const AcDbObjectId deeperId = newDictionary(level.get(), L"LEVEL2");
    auto deeper = testsupport::open<AcDbDictionary>(deeperId, AcDb::kForWrite);
    newXrecord(deeper.get(), L"LEAF", acutBuildList(40, 1.0 / 3.0, 0));
}

AcDbObjectId addDoorBlock(AcDbDatabase& db) {
    AcDbBlockTable* table = nullptr;
    AcDbObjectId id;
    if (!ok(db.getBlockTable(table, AcDb::kForWrite), "block table")) {
        return id;
    }
    auto* block = new AcDbBlockTableRecord();
    block->setName(L"DOOR");
    block->setOrigin(AcGePoint3d(0.5, 0.0, 0.0));
    ok(table->add(id, block), "add block");
    block->close();
    table->close();
    append(id, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 2, 0)), AcDbObjectId::kNull);
    append(id, new AcDbArc(AcGePoint3d(0, 0, 0), 2.0, 0.0, kPi / 2), AcDbObjectId::kNull);
    append(id,
           new AcDbAttributeDefinition(AcGePoint3d(0, -1, 0), L"D-01", L"NUMBER", L"Door number"),
           AcDbObjectId::kNull);
    append(id, new AcDbAttributeDefinition(AcGePoint3d(0, -2, 0), L"oak", L"MATERIAL", L"Material"),
           AcDbObjectId::kNull);
    return id;
}

void addDoor(AcDbObjectId space, AcDbObjectId block, AcDbObjectId layer, const AcGePoint3d& at,
             const wchar_t* number) {
    auto* insert = new AcDbBlockReference(at, block);
    insert->setRotation(kPi / 6);
    const AcDbObjectId id = append(space, insert, layer);
    auto opened = testsupport::open<AcDbBlockReference>(id, AcDb::kForWrite);
    for (const auto& [tag, text, dy] :
         {std::tuple{L"NUMBER", number, -1.0}, std::tuple{L"MATERIAL", L"oak", -2.0}}) {
        auto* attribute = new AcDbAttribute(at + AcGeVector3d(0, dy, 0), text, tag);
        AcDbObjectId attributeId;
        if (ok(opened->appendAttribute(attributeId, attribute), "attribute")) {
            attribute->close();
        } else {
            delete attribute;
        }
    }
}

void addPolylines(AcDbObjectId space, AcDbObjectId layer) {
    auto* light = new AcDbPolyline();
    light->addVertexAt(0, AcGePoint2d(0, 0), 0.0);
    light->addVertexAt(1, AcGePoint2d(10, 0), 0.5);
    light->addVertexAt(2, AcGePoint2d(10, 10), 0.0);
    light->setClosed(true);
    append(space, light, layer);
    append(space,
           new AcDb2dPolyline(AcDb::k2dSimplePoly,
                              points({{20, 0, 0}, {25, 5, 0}, {30, 0, 0}, {35, 5, 0}}), 0.0, true),
           layer);
    append(space,
           new AcDb3dPolyline(AcDb::k3dSimplePoly, points({{40, 0, 0}, {41, 1, 2}, {42, 0, 4}})),
           layer);
}

void addAnnotations(AcDbObjectId space, AcDbObjectId layer) {
    append(space,
           new AcDbText(AcGePoint3d(0, 20, 0), L"Plan \u00e0 l'\u00e9chelle", {}, 2.5, kPi / 6),
           layer);
    auto* mtext = new AcDbMText();
    mtext->setLocation(AcGePoint3d(0, 30, 0));
    mtext->setContents(L"First line\\PSecond line");
    mtext->setTextHeight(1.5);
    mtext->setRotation(kPi / 4);
    append(space, mtext, layer);
    append(space,
           new AcDbRotatedDimension(0.0, AcGePoint3d(0, 40, 0), AcGePoint3d(10, 40, 0),
                                    AcGePoint3d(5, 43, 0)),
           layer);
    append(space,
           new AcDb2LineAngularDimension(AcGePoint3d(20, 40, 0), AcGePoint3d(25, 40, 0),
                                         AcGePoint3d(20, 40, 0), AcGePoint3d(23, 44, 0),
                                         AcGePoint3d(24, 42, 0)),
           layer);
    append(space,
           new AcDb3PointAngularDimension(AcGePoint3d(30, 40, 0), AcGePoint3d(35, 40, 0),
                                          AcGePoint3d(30, 45, 0), AcGePoint3d(34, 44, 0)),
           layer);
    auto* table = new AcDbTable();
    table->setPosition(AcGePoint3d(50, 50, 0));
    table->setSize(2, 2);
    table->setTextString(0, 0, L"Room");
    table->setTextString(0, 1, L"Area");
    table->setTextString(1, 0, L"Hall");
    table->setTextString(1, 1, L"12.5");
    append(space, table, layer);
}

void addShapes(AcDbObjectId space, AcDbObjectId layer) {
    append(space,
           new AcDbEllipse(AcGePoint3d(60, 0, 0), AcGeVector3d(0, 0, 1), AcGeVector3d(4, 0, 0), 0.5,
                           0.0, kPi),
           layer);
    append(space, new AcDbPoint(AcGePoint3d(61, 5, 0)), layer);
    auto* ray = new AcDbRay();
    ray->setBasePoint(AcGePoint3d(62, 0, 0));
    ray->setUnitDir(AcGeVector3d(0, 1, 0));
    append(space, ray, layer);
    append(space,
           new AcDbSolid(AcGePoint3d(70, 0, 0), AcGePoint3d(72, 0, 0), AcGePoint3d(70, 2, 0),
                         AcGePoint3d(72, 2, 0)),
           layer);
    append(space,
           new AcDbFace(AcGePoint3d(80, 0, 0), AcGePoint3d(82, 0, 0), AcGePoint3d(82, 2, 1),
                        AcGePoint3d(80, 2, 1)),
           layer);
    append(space, new AcDbSpline(points({{90, 0, 0}, {92, 3, 0}, {95, 1, 0}, {97, 4, 0}})), layer);
    auto* hatch = new AcDbHatch();
    hatch->setPattern(AcDbHatch::kPreDefined, L"SOLID");
    AcGePoint2dArray loop;
    loop.append(AcGePoint2d(100, 0));
    loop.append(AcGePoint2d(104, 0));
    loop.append(AcGePoint2d(104, 4));
    loop.append(AcGePoint2d(100, 4));
    AcGeDoubleArray bulges;
    for (double b : {0.0, 0.4, 0.0, 0.0}) {
        bulges.append(b);
    }
    hatch->appendLoop(AcDbHatch::kExternal, loop, bulges);
    append(space, hatch, layer);
}

}  // namespace

bool buildSampleDrawing(AcDbDatabase& db) {
    registerApp(db, kAppName);
    const AcDbObjectId walls = addLayer(db, L"Walls", 1);
    const AcDbObjectId doors = addLayer(db, L"Doors", 3);
    const AcDbObjectId notes = addLayer(db, L"Notes \u00e4", 5);
    const AcDbObjectId door = addDoorBlock(db);
    const AcDbObjectId model = db.modelSpaceId();

    const AcDbObjectId lineId =
        append(model, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)), walls);
    setXData(lineId);
    const AcDbObjectId circleId =
        append(model, new AcDbCircle(AcGePoint3d(50, 50, 0), AcGeVector3d(0, 0, 1), 12.5), walls);
    addExtensionData(circleId, lineId);
    append(model, new AcDbArc(AcGePoint3d(5, 5, 0), 3.0, kPi / 3, 1.5 * kPi), walls);
    addPolylines(model, walls);
    addShapes(model, walls);
    addAnnotations(model, notes);
    addDoor(model, door, doors, AcGePoint3d(10, 0, 0), L"D-01");
    addDoor(model, door, doors, AcGePoint3d(30, 0, 0), L"D-02");
    addNamedData(db, lineId);

    append(db.paperSpaceId(), new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(297, 210, 0)), notes);
    append(db.paperSpaceId(), new AcDbText(AcGePoint3d(10, 10, 0), L"Sheet 1"), notes);
    return !::testing::Test::HasFailure();
}

// --- Summary ---------------------------------------------------------------------------------

namespace {

// A minimal JSON writer: values are appended with separators handled by the caller's nesting.
class Json {
public:
    std::string take() { return std::move(m_out); }
    void raw(const std::string& text) { m_out += text; }
    void string(const std::wstring& text) {
        m_out += '"';
        for (char c : wideToUtf8(text)) {
            if (c == '"' || c == '\\') {
                m_out += '\\';
                m_out += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                m_out += escaped;
            } else {
                m_out += c;
            }
        }
        m_out += '"';
    }
    void number(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.17g", value);
        m_out += text;
    }
    void integer(long long value) { m_out += std::to_string(value); }
    // Writes items with separators: each(i) writes the ith value.
    void array(std::size_t count, const std::function<void(std::size_t)>& each) {
        m_out += '[';
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) {
                m_out += ',';
            }
            each(i);
        }
        m_out += ']';
    }

private:
    std::string m_out;
};

std::wstring handleOf(AcDbObjectId id) {
    return id.handle().text();
}

// One resbuf item as [code, value].
void item(Json& json, const resbuf* rb) {
    json.raw("[" + std::to_string(rb->restype) + ",");
    switch (groupValueClass(rb->restype)) {
        case GroupValueClass::kBinary: {
            std::wstring hex;
            for (short i = 0; i < rb->resval.rbinary.clen; ++i) {
                wchar_t digits[4];
                std::swprintf(digits, 4, L"%02X",
                              static_cast<unsigned char>(rb->resval.rbinary.buf[i]));
                hex += digits;
            }
            json.string(hex);
            break;
        }
        case GroupValueClass::kName: {
            AcDbObjectId id;
            acdbGetObjectId(id, rb->resval.rlname);
            // Files name erased objects, which they leave out, by the null handle.
            json.string(id.isErased() ? L"0" : handleOf(id));
            break;
        }
        case GroupValueClass::kPoint:
            json.array(3, [&](std::size_t i) { json.number(rb->resval.rpoint[i]); });
            break;
        case GroupValueClass::kReal:
            json.number(rb->resval.rreal);
            break;
        case GroupValueClass::kInt16:
        case GroupValueClass::kBool:
            json.integer(rb->resval.rint);
            break;
        case GroupValueClass::kInt32:
            json.integer(rb->resval.rlong);
            break;
        case GroupValueClass::kInt64:
            json.integer(rb->resval.mnInt64);
            break;
        default:
            json.string(rb->resval.rstring != nullptr ? rb->resval.rstring : L"");
            break;
    }
    json.raw("]");
}

void items(Json& json, resbuf* chain) {
    std::vector<const resbuf*> list;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        list.push_back(rb);
    }
    json.array(list.size(), [&](std::size_t i) { item(json, list[i]); });
    acutRelRb(chain);
}

std::vector<AcDbObjectId> blockEntities(AcDbObjectId blockId) {
    std::vector<AcDbObjectId> ids;
    auto block = testsupport::open<AcDbBlockTableRecord>(blockId, AcDb::kForRead);
    AcDbBlockTableRecordIterator* created = nullptr;
    block->newIterator(created);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(created);
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        it->getEntityId(id);
        ids.push_back(id);
    }
    return ids;
}

std::wstring typeOf(AcDbObject* object) {
    return object->isA()->dxfName();
}

// Walks a dictionary tree: {"key": subtree or "XRECORD <handle>"}; Xrecords are collected.
void dictionaryTree(Json& json, AcDbObjectId id, std::vector<AcDbObjectId>& xrecords) {
    auto dictionary = testsupport::open<AcDbDictionary>(id, AcDb::kForRead);
    std::vector<std::pair<std::wstring, AcDbObjectId>> entries;
    std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
    for (; !it->done(); it->next()) {
        entries.emplace_back(it->name(), it->objectId());
    }
    dictionary.reset();
    json.raw("{");
    for (std::size_t i = 0; i < entries.size(); ++i) {
        json.raw(i > 0 ? "," : "");
        json.string(entries[i].first);
        json.raw(":");
        if (AcDbDictionary::desc() == entries[i].second.objectClass()) {
            dictionaryTree(json, entries[i].second, xrecords);
        } else {
            xrecords.push_back(entries[i].second);
            json.string(L"XRECORD " + handleOf(entries[i].second));
        }
    }
    json.raw("}");
}

}  // namespace

std::string summarize(AcDbDatabase& db) {
    Json json;
    std::vector<AcDbObjectId> xrecords;
    std::vector<AcDbObjectId> withXData;
    std::vector<AcDbObjectId> inserts;
    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> extensionDictionaries;
    const auto layoutEntities = [&](AcDbObjectId space) {
        const std::vector<AcDbObjectId> ids = blockEntities(space);
        json.array(ids.size(), [&](std::size_t i) {
            auto entity = testsupport::open<AcDbEntity>(ids[i], AcDb::kForRead);
            json.raw("[");
            json.string(typeOf(entity.get()));
            json.raw(",");
            json.string(handleOf(ids[i]));
            json.raw(",");
            json.string(entity->layer());
            json.raw("]");
            if (entity->xDataSize() > 0) {
                withXData.push_back(ids[i]);
            }
            if (AcDbBlockReference::cast(entity.get()) && !AcDbTable::cast(entity.get())) {
                inserts.push_back(ids[i]);
            }
            if (!entity->extensionDictionary().isNull()) {
                extensionDictionaries.emplace_back(ids[i], entity->extensionDictionary());
            }
        });
    };
    json.raw("{\"model\":");
    layoutEntities(db.modelSpaceId());
    json.raw(",\"paper\":");
    layoutEntities(db.paperSpaceId());

    json.raw(",\"layers\":");
    {
        auto table = testsupport::open<AcDbLayerTable>(db.layerTableId(), AcDb::kForRead);
        AcDbLayerTableIterator* created = nullptr;
        table->newIterator(created);
        std::unique_ptr<AcDbLayerTableIterator> it(created);
        std::vector<std::wstring> names;
        for (; !it->done(); it->step()) {
            AcDbLayerTableRecord* layer = nullptr;
            it->getRecord(layer, AcDb::kForRead);
            names.push_back(layer->nameForLookup());
            layer->close();
        }
        json.array(names.size(), [&](std::size_t i) { json.string(names[i]); });
    }

    json.raw(",\"blocks\":{");
    {
        auto table = testsupport::open<AcDbBlockTable>(db.blockTableId(), AcDb::kForRead);
        AcDbBlockTableIterator* created = nullptr;
        table->newIterator(created);
        std::unique_ptr<AcDbBlockTableIterator> it(created);
        bool first = true;
        for (; !it->done(); it->step()) {
            AcDbObjectId id;
            it->getRecordId(id);
            if (id == db.modelSpaceId() || id == db.paperSpaceId()) {
                continue;
            }
            json.raw(first ? "" : ",");
            first = false;
            auto block = testsupport::open<AcDbBlockTableRecord>(id, AcDb::kForRead);
            json.string(block->nameForLookup());
            block.reset();
            json.raw(":");
            const std::vector<AcDbObjectId> ids = blockEntities(id);
            json.array(ids.size(), [&](std::size_t i) {
                auto entity = testsupport::open<AcDbEntity>(ids[i], AcDb::kForRead);
                json.string(typeOf(entity.get()));
            });
        }
    }

    json.raw("},\"attributes\":{");
    for (std::size_t n = 0; n < inserts.size(); ++n) {
        json.raw(n > 0 ? "," : "");
        json.string(handleOf(inserts[n]));
        json.raw(":");
        auto insert = testsupport::open<AcDbBlockReference>(inserts[n], AcDb::kForRead);
        std::unique_ptr<AcDbObjectIterator> it(insert->attributeIterator());
        std::vector<AcDbObjectId> ids;
        for (; !it->done(); it->step()) {
            ids.push_back(it->objectId());
        }
        insert.reset();
        json.array(ids.size(), [&](std::size_t i) {
            auto attribute = testsupport::open<AcDbAttribute>(ids[i], AcDb::kForRead);
            std::unique_ptr<ACHAR[]> tag(attribute->tag());
            std::unique_ptr<ACHAR[]> text(attribute->textString());
            json.raw("[");
            json.string(tag.get());
            json.raw(",");
            json.string(text.get());
            json.raw("]");
        });
    }

    json.raw("},\"xdata\":{");
    for (std::size_t n = 0; n < withXData.size(); ++n) {
        json.raw(n > 0 ? "," : "");
        json.string(handleOf(withXData[n]));
        json.raw(":");
        auto entity = testsupport::open<AcDbEntity>(withXData[n], AcDb::kForRead);
        items(json, entity->xData());
    }

    json.raw("},\"extension_dictionaries\":{");
    for (std::size_t n = 0; n < extensionDictionaries.size(); ++n) {
        json.raw(n > 0 ? "," : "");
        json.string(handleOf(extensionDictionaries[n].first));
        json.raw(":");
        dictionaryTree(json, extensionDictionaries[n].second, xrecords);
    }

    json.raw("},\"named\":");
    {
        AcDbObjectId dataId;
        auto nod = testsupport::open<AcDbDictionary>(db.namedObjectsDictionaryId(), AcDb::kForRead);
        nod->getAt(L"KESTREL_DATA", dataId);
        nod.reset();
        if (dataId.isNull()) {
            json.raw("{}");
        } else {
            dictionaryTree(json, dataId, xrecords);
        }
    }

    json.raw(",\"xrecords\":{");
    for (std::size_t n = 0; n < xrecords.size(); ++n) {
        json.raw(n > 0 ? "," : "");
        json.string(handleOf(xrecords[n]));
        json.raw(":");
        auto record = testsupport::open<AcDbXrecord>(xrecords[n], AcDb::kForRead);
        resbuf* chain = nullptr;
        record->rbChain(chain);
        items(json, chain);
    }
    json.raw("}}");
    return json.take();
}

}  // namespace interop
