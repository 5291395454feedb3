// The sample drawings. A SampleBuilder keeps the first refused step's status, so that one failed
// step neither stops the others nor goes unreported.
#include "kestrel/host/sample_drawings.h"

#include <memory>
#include <tuple>

#include "host/db/object_store.h"
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
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"

namespace host {
namespace {

constexpr double kPi = 3.141592653589793;

struct CloseObject {
    void operator()(AcDbObject* object) const { object->close(); }
};
template <class T>
using Opened = std::unique_ptr<T, CloseObject>;

AcGePoint3dArray points(std::initializer_list<AcGePoint3d> list) {
    AcGePoint3dArray array;
    for (const AcGePoint3d& p : list) {
        array.append(p);
    }
    return array;
}

// Appends count binary chunks of 127 bytes (a thumbnail's share) to list.
void appendChunks(resbuf* list, int count) {
    static char bytes[127] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ads_binary chunk{sizeof bytes, bytes};
    for (list = acutRbChainLast(list); count > 0; --count, list = list->rbnext) {
        list->rbnext = acutBuildList(310, &chunk, 0);
    }
}

// Appends count XData items to list: texts, reals, 16-bit integers and points in turn.
void appendXData(resbuf* list, int count, int index) {
    const double point[3] = {index * 0.5, 1.0, 2.0};
    list = acutRbChainLast(list);
    for (int i = 0; i < count; ++i, list = list->rbnext) {
        switch (i % 4) {
            case 0:
                list->rbnext = acutBuildList(1000, L"a longer text of XData", 0);
                break;
            case 1:
                list->rbnext = acutBuildList(1040, index + i * 0.5, 0);
                break;
            case 2:
                list->rbnext = acutBuildList(1070, i, 0);
                break;
            default:
                list->rbnext = acutBuildList(1010, point, 0);
                break;
        }
    }
}

// Items that exercise binary chunks, numbers, a point, an angle and a handle to referenced.
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

class SampleBuilder {
public:
    explicit SampleBuilder(AcDbDatabase& db) : m_db(db) {}

    Acad::ErrorStatus status() const { return m_status; }

    // Records status when it is the first failure; true when it is eOk.
    bool ok(Acad::ErrorStatus status) {
        if (m_status == Acad::eOk) {
            m_status = status;
        }
        return status == Acad::eOk;
    }

    template <class T>
    Opened<T> open(AcDbObjectId id) {
        T* object = nullptr;
        ok(acdbOpenObject(object, id, AcDb::kForWrite));
        return Opened<T>(object);
    }

    AcDbObjectId addLayer(const wchar_t* name, Adesk::UInt16 colorIndex) {
        AcDbObjectId id;
        Opened<AcDbLayerTable> table = open<AcDbLayerTable>(m_db.layerTableId());
        if (table != nullptr) {
            auto* layer = new AcDbLayerTableRecord();
            layer->setName(name);
            AcCmColor color;
            color.setColorIndex(colorIndex);
            layer->setColor(color);
            adopt(layer, table->add(id, layer));
        }
        return id;
    }

    void registerApp(const wchar_t* name) {
        Opened<AcDbRegAppTable> table = open<AcDbRegAppTable>(m_db.regAppTableId());
        if (table != nullptr && !table->has(name)) {
            auto* app = new AcDbRegAppTableRecord();
            app->setName(name);
            AcDbObjectId id;
            adopt(app, table->add(id, app));
        }
    }

    // Closes object when added is eOk, deletes it otherwise.
    void adopt(AcDbObject* object, Acad::ErrorStatus added) {
        if (ok(added)) {
            object->close();
        } else {
            delete object;
        }
    }

    // Appends entity to the block on layer (when not null); the entity is closed again.
    AcDbObjectId append(AcDbObjectId blockId, AcDbEntity* entity,
                        AcDbObjectId layer = AcDbObjectId::kNull) {
        AcDbObjectId id;
        Opened<AcDbBlockTableRecord> block = open<AcDbBlockTableRecord>(blockId);
        if (block == nullptr) {
            delete entity;
            return id;
        }
        if (!layer.isNull()) {
            entity->setLayer(layer);
        }
        adopt(entity, block->appendAcDbEntity(id, entity));
        return id;
    }

    // An Xrecord of items (released here) under key in owner, when owner opened.
    AcDbObjectId newXrecord(AcDbDictionary* owner, const wchar_t* key, resbuf* items) {
        AcDbObjectId id;
        if (owner == nullptr) {
            acutRelRb(items);
            return id;
        }
        auto* record = new AcDbXrecord();
        ok(record->setFromRbChain(items));
        acutRelRb(items);
        adopt(record, owner->setAt(key, record, id));
        return id;
    }

    AcDbObjectId newDictionary(AcDbDictionary* owner, const wchar_t* key) {
        AcDbObjectId id;
        if (owner == nullptr) {
            return id;
        }
        auto* dictionary = new AcDbDictionary();
        adopt(dictionary, owner->setAt(key, dictionary, id));
        return id;
    }

    Opened<AcDbDictionary> dictionary(AcDbObjectId id) { return open<AcDbDictionary>(id); }
    Opened<AcDbDictionary> namedDictionary() {
        return open<AcDbDictionary>(m_db.namedObjectsDictionaryId());
    }

    AcDbDatabase& db() { return m_db; }

private:
    AcDbDatabase& m_db;
    Acad::ErrorStatus m_status = Acad::eOk;
};

// --- The every-kind drawing ------------------------------------------------------------------

void setXData(SampleBuilder& build, AcDbObjectId id) {
    const double where[3] = {1.5, -2.25, 3.0};
    char bytes[] = {0x00, 0x7F, static_cast<char>(0x80), static_cast<char>(0xFF), 0x41};
    ads_binary chunk{static_cast<short>(sizeof bytes), bytes};
    resbuf* xdata = acutBuildList(1001, kEveryKindApp, 1000, L"gr\u00fc\u00dfe \u6f22\u5b57", 1002,
                                  L"{", 1040, 0.1, 1041, 1e-300, 1070, 42, 1071, 123456789L, 1002,
                                  L"}", 1010, where, 1004, &chunk, 1005, L"1F", 0);
    Opened<AcDbEntity> entity = build.open<AcDbEntity>(id);
    if (entity != nullptr) {
        build.ok(entity->setXData(xdata));
    }
    acutRelRb(xdata);
}

// An extension dictionary on the circle with an Xrecord and a nested dictionary.
void addExtensionData(SampleBuilder& build, AcDbObjectId circleId, AcDbObjectId lineId) {
    AcDbObjectId dictionaryId;
    if (Opened<AcDbEntity> circle = build.open<AcDbEntity>(circleId)) {
        build.ok(circle->createExtensionDictionary());
        dictionaryId = circle->extensionDictionary();
    }
    if (dictionaryId.isNull()) {
        return;
    }
    Opened<AcDbDictionary> dictionary = build.dictionary(dictionaryId);
    build.newXrecord(dictionary.get(), L"DATA", binaryItems(lineId));
    Opened<AcDbDictionary> inner =
        build.dictionary(build.newDictionary(dictionary.get(), L"INNER"));
    build.newXrecord(inner.get(), L"NOTE", acutBuildList(1, L"nested", 0));
}

// KESTREL_DATA in the named object dictionary: two levels of dictionaries and Xrecords.
void addNamedData(SampleBuilder& build, AcDbObjectId lineId) {
    AcDbObjectId topId;
    if (Opened<AcDbDictionary> named = build.namedDictionary()) {
        topId = build.newDictionary(named.get(), L"KESTREL_DATA");
    }
    if (topId.isNull()) {
        return;
    }
    Opened<AcDbDictionary> top = build.dictionary(topId);
    build.newXrecord(top.get(), L"SETTINGS", acutBuildList(1, L"a=1", 1, L"b=\u00e9", 71, 3, 0));
    build.newXrecord(top.get(), L"ALLCODES", everyValueClass(lineId));
    Opened<AcDbDictionary> level = build.dictionary(build.newDictionary(top.get(), L"LEVEL1"));
    build.newXrecord(level.get(), L"BLOB", binaryItems(lineId));
    Opened<AcDbDictionary> deeper = build.dictionary(build.newDictionary(level.get(), L"LEVEL2"));
    build.newXrecord(deeper.get(), L"LEAF", acutBuildList(40, 1.0 / 3.0, 0));
}

AcDbObjectId addDoorBlock(SampleBuilder& build) {
    AcDbObjectId id;
    if (Opened<AcDbBlockTable> table = build.open<AcDbBlockTable>(build.db().blockTableId())) {
        auto* block = new AcDbBlockTableRecord();
        block->setName(L"DOOR");
        block->setOrigin(AcGePoint3d(0.5, 0.0, 0.0));
        build.adopt(block, table->add(id, block));
    }
    if (id.isNull()) {
        return id;
    }
    build.append(id, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 2, 0)));
    build.append(id, new AcDbArc(AcGePoint3d(0, 0, 0), 2.0, 0.0, kPi / 2));
    build.append(id, new AcDbAttributeDefinition(AcGePoint3d(0, -1, 0), L"D-01", L"NUMBER",
                                                 L"Door number"));
    build.append(id, new AcDbAttributeDefinition(AcGePoint3d(0, -2, 0), L"oak", L"MATERIAL",
                                                 L"Material"));
    return id;
}

void addDoor(SampleBuilder& build, AcDbObjectId block, AcDbObjectId layer, const AcGePoint3d& at,
             const wchar_t* number) {
    auto* insert = new AcDbBlockReference(at, block);
    insert->setRotation(kPi / 6);
    Opened<AcDbBlockReference> opened =
        build.open<AcDbBlockReference>(build.append(build.db().modelSpaceId(), insert, layer));
    if (opened == nullptr) {
        return;
    }
    for (const auto& [tag, text, dy] :
         {std::tuple{L"NUMBER", number, -1.0}, std::tuple{L"MATERIAL", L"oak", -2.0}}) {
        auto* attribute = new AcDbAttribute(at + AcGeVector3d(0, dy, 0), text, tag);
        AcDbObjectId attributeId;
        build.adopt(attribute, opened->appendAttribute(attributeId, attribute));
    }
}

void addPolylines(SampleBuilder& build, AcDbObjectId space, AcDbObjectId layer) {
    auto* light = new AcDbPolyline();
    light->addVertexAt(0, AcGePoint2d(0, 0), 0.0);
    light->addVertexAt(1, AcGePoint2d(10, 0), 0.5);
    light->addVertexAt(2, AcGePoint2d(10, 10), 0.0);
    light->setClosed(true);
    build.append(space, light, layer);
    build.append(space,
                 new AcDb2dPolyline(AcDb::k2dSimplePoly,
                                    points({{20, 0, 0}, {25, 5, 0}, {30, 0, 0}, {35, 5, 0}}), 0.0,
                                    true),
                 layer);
    build.append(
        space,
        new AcDb3dPolyline(AcDb::k3dSimplePoly, points({{40, 0, 0}, {41, 1, 2}, {42, 0, 4}})),
        layer);
}

void addAnnotations(SampleBuilder& build, AcDbObjectId space, AcDbObjectId layer) {
    build.append(space,
                 new AcDbText(AcGePoint3d(0, 20, 0), L"Plan \u00e0 l'\u00e9chelle", {}, 2.5,
                              kPi / 6),
                 layer);
    auto* mtext = new AcDbMText();
    mtext->setLocation(AcGePoint3d(0, 30, 0));
    mtext->setContents(L"First line\\PSecond line");
    mtext->setTextHeight(1.5);
    mtext->setRotation(kPi / 4);
    build.append(space, mtext, layer);
    build.append(space,
                 new AcDbRotatedDimension(0.0, AcGePoint3d(0, 40, 0), AcGePoint3d(10, 40, 0),
                                          AcGePoint3d(5, 43, 0)),
                 layer);
    build.append(space,
                 new AcDb2LineAngularDimension(AcGePoint3d(20, 40, 0), AcGePoint3d(25, 40, 0),
                                               AcGePoint3d(20, 40, 0), AcGePoint3d(23, 44, 0),
                                               AcGePoint3d(24, 42, 0)),
                 layer);
    build.append(space,
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
    build.append(space, table, layer);
}

AcDbHatch* newHatch() {
    auto* hatch = new AcDbHatch();
    hatch->setPattern(AcDbHatch::kPreDefined, L"SOLID");
    AcGePoint2dArray loop;
    AcGeDoubleArray bulges;
    for (const auto& [x, y, bulge] : {std::tuple{100.0, 0.0, 0.0}, std::tuple{104.0, 0.0, 0.4},
                                      std::tuple{104.0, 4.0, 0.0}, std::tuple{100.0, 4.0, 0.0}}) {
        loop.append(AcGePoint2d(x, y));
        bulges.append(bulge);
    }
    hatch->appendLoop(AcDbHatch::kExternal, loop, bulges);
    return hatch;
}

void addShapes(SampleBuilder& build, AcDbObjectId space, AcDbObjectId layer) {
    build.append(space,
                 new AcDbEllipse(AcGePoint3d(60, 0, 0), AcGeVector3d(0, 0, 1),
                                 AcGeVector3d(4, 0, 0), 0.5, 0.0, kPi),
                 layer);
    build.append(space, new AcDbPoint(AcGePoint3d(61, 5, 0)), layer);
    auto* ray = new AcDbRay();
    ray->setBasePoint(AcGePoint3d(62, 0, 0));
    ray->setUnitDir(AcGeVector3d(0, 1, 0));
    build.append(space, ray, layer);
    build.append(space,
                 new AcDbSolid(AcGePoint3d(70, 0, 0), AcGePoint3d(72, 0, 0),
                               AcGePoint3d(70, 2, 0), AcGePoint3d(72, 2, 0)),
                 layer);
    build.append(space,
                 new AcDbFace(AcGePoint3d(80, 0, 0), AcGePoint3d(82, 0, 0), AcGePoint3d(82, 2, 1),
                              AcGePoint3d(80, 2, 1)),
                 layer);
    build.append(space, new AcDbSpline(points({{90, 0, 0}, {92, 3, 0}, {95, 1, 0}, {97, 4, 0}})),
                 layer);
    build.append(space, newHatch(), layer);
}

// --- The big drawings ------------------------------------------------------------------------

// Gives entity XData and an extension dictionary with one Xrecord, as shape says.
void decorate(SampleBuilder& build, AcDbEntity* entity, int index, const SampleShape& shape) {
    resbuf* xdata = acutBuildList(1001, kEveryKindApp, 1000, L"part", 1070, index % 1000, 1040,
                                  index * 0.5, 0);
    appendXData(xdata, shape.extraXData, index);
    build.ok(entity->setXData(xdata));
    acutRelRb(xdata);
    build.ok(entity->createExtensionDictionary());
    char bytes[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ads_binary chunk{sizeof bytes, bytes};
    resbuf* data = acutBuildList(1, L"sample data", 40, index * 0.25, 90,
                                 static_cast<long>(index), 310, &chunk, 0);
    appendChunks(data, shape.extraChunks);
    build.newXrecord(build.dictionary(entity->extensionDictionary()).get(), L"KESTREL_DATA", data);
}

// An Xrecord of count chunks in the named object dictionary, as previews are kept.
void addThumbnail(SampleBuilder& build, int count) {
    resbuf* data = acutBuildList(1, L"preview", 0);
    appendChunks(data, count);
    build.newXrecord(build.namedDictionary().get(), L"KESTREL_THUMBNAIL", data);
}

// Leaves the handles before entity index out, as shape says.
void skipHandles(AcDbDatabase& db, int index, const SampleShape& shape) {
    ObjectStore& store = *db.objectStore();
    if (index == 0) {
        store.raiseHandseed(AcDbHandle(shape.firstHandle));
    } else if (shape.run > 0 && index % shape.run == 0) {
        store.raiseHandseed(AcDbHandle(store.handseed().value() + shape.gap));
    }
}

}  // namespace

Acad::ErrorStatus addEveryKind(AcDbDatabase& db) {
    SampleBuilder build(db);
    build.registerApp(kEveryKindApp);
    const AcDbObjectId walls = build.addLayer(L"Walls", 1);
    const AcDbObjectId doors = build.addLayer(L"Doors", 3);
    const AcDbObjectId notes = build.addLayer(L"Notes \u00e4", 5);
    const AcDbObjectId door = addDoorBlock(build);
    const AcDbObjectId model = db.modelSpaceId();

    const AcDbObjectId lineId =
        build.append(model, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)), walls);
    setXData(build, lineId);
    const AcDbObjectId circleId = build.append(
        model, new AcDbCircle(AcGePoint3d(50, 50, 0), AcGeVector3d(0, 0, 1), 12.5), walls);
    addExtensionData(build, circleId, lineId);
    build.append(model, new AcDbArc(AcGePoint3d(5, 5, 0), 3.0, kPi / 3, 1.5 * kPi), walls);
    addPolylines(build, model, walls);
    addShapes(build, model, walls);
    addAnnotations(build, model, notes);
    if (!door.isNull()) {
        addDoor(build, door, doors, AcGePoint3d(10, 0, 0), L"D-01");
        addDoor(build, door, doors, AcGePoint3d(30, 0, 0), L"D-02");
    }
    addNamedData(build, lineId);

    const AcDbObjectId paper = db.paperSpaceId();
    build.append(paper, new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(297, 210, 0)), notes);
    build.append(paper, new AcDbText(AcGePoint3d(10, 10, 0), L"Sheet 1"), notes);
    return build.status();
}

Acad::ErrorStatus addSamplePolylines(AcDbDatabase& db, int count, int vertices,
                                     const SampleShape& shape) {
    SampleBuilder build(db);
    build.registerApp(kEveryKindApp);
    if (shape.thumbnailChunks > 0) {
        addThumbnail(build, shape.thumbnailChunks);
    }
    Opened<AcDbBlockTableRecord> space = build.open<AcDbBlockTableRecord>(db.modelSpaceId());
    for (int i = 0; space != nullptr && i < count; ++i) {
        auto* pline = new AcDbPolyline();
        for (int v = 0; v < vertices; ++v) {
            pline->addVertexAt(static_cast<unsigned>(v), AcGePoint2d(i + v * 0.125, v * 0.5),
                               v % 3 == 0 ? 0.25 : 0.0);
        }
        skipHandles(db, i, shape);
        if (!build.ok(space->appendAcDbEntity(pline))) {
            delete pline;
            break;
        }
        decorate(build, pline, i, shape);
        pline->close();
    }
    return build.status();
}

Acad::ErrorStatus addSampleLines(AcDbDatabase& db, int count) {
    SampleBuilder build(db);
    Opened<AcDbBlockTableRecord> space = build.open<AcDbBlockTableRecord>(db.modelSpaceId());
    for (int i = 0; space != nullptr && i < count; ++i) {
        const SampleLine ends = sampleLine(i);
        auto* line = new AcDbLine(ends.start, ends.end);
        build.adopt(line, space->appendAcDbEntity(line));
    }
    return build.status();
}

}  // namespace host
