// The JSON summary of a database that the python checks compare with what ezdxf reads from the
// saved file.
#include "tests/interop/database_summary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
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
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/entities/vertex.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/symbol_table.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"
#include "tests/support/held_object.h"
#include "tests/support/host_checks.h"

namespace interop {
namespace {

constexpr double kPi = 3.141592653589793;

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

// The geometry of one entity as a JSON object, its fields named as ezdxf names them; empty for
// the kinds whose geometry the checks leave to other suites (multiline text, spline, hatch,
// table).
class Fields {
public:
    explicit Fields(Json& json) : m_json(json) { m_json.raw("{"); }
    ~Fields() { m_json.raw("}"); }

    void number(const char* name, double value) { key(name).number(value); }
    void degrees(const char* name, double radians) { number(name, radians * 180.0 / kPi); }
    void integer(const char* name, long long value) { key(name).integer(value); }
    void flag(const char* name, bool value) { key(name).raw(value ? "true" : "false"); }
    void text(const char* name, const std::wstring& value) { key(name).string(value); }
    void point(const char* name, const AcGePoint3d& p) { triple(name, p.x, p.y, p.z); }
    void vector(const char* name, const AcGeVector3d& v) { triple(name, v.x, v.y, v.z); }
    void points(const char* name, const std::vector<AcGePoint3d>& list, int dimensions) {
        key(name).array(list.size(), [&](std::size_t i) {
            m_json.array(dimensions, [&](std::size_t c) { m_json.number(list[i][static_cast<unsigned int>(c)]); });
        });
    }

private:
    Json& key(const char* name) {
        m_json.raw(std::string(m_first ? "\"" : ",\"") + name + "\":");
        m_first = false;
        return m_json;
    }
    void triple(const char* name, double x, double y, double z) {
        const double values[3] = {x, y, z};
        key(name).array(3, [&](std::size_t i) { m_json.number(values[i]); });
    }

    Json& m_json;
    bool m_first = true;
};

// The name of the record id as field name; nothing for the null id, which files leave out.
void recordName(Fields& f, const char* name, AcDbObjectId id) {
    if (id.isNull()) {
        return;
    }
    auto record = testsupport::open<AcDbSymbolTableRecord>(id, AcDb::kForRead);
    const ACHAR* text = nullptr;
    if (record != nullptr && record->getName(text) == Acad::eOk) {
        f.text(name, text);
    }
}

// The positions of the vertices a heavy polyline owns, in order.
template <class Vertex>
std::vector<AcGePoint3d> vertices(AcDbObjectIterator* iterator) {
    std::vector<AcGePoint3d> list;
    for (AcDbObjectId id : testsupport::idsOf(iterator)) {
        list.push_back(testsupport::open<Vertex>(id, AcDb::kForRead)->position());
    }
    return list;
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

void describeDimension(const AcDbDimension& d, Fields& f) {
    if (auto* rotated = AcDbRotatedDimension::cast(&d)) {
        f.integer("kind", 0);
        f.point("defpoint2", rotated->xLine1Point());
        f.point("defpoint3", rotated->xLine2Point());
        f.point("defpoint", rotated->dimLinePoint());
        f.degrees("angle", rotated->rotation());
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
    std::unique_ptr<wchar_t[]> text(d.dimensionText());
    f.text("text", text != nullptr ? text.get() : L"");
    recordName(f, "dimstyle", d.dimensionStyle());
}

void describeText(const AcDbText& t, Fields& f) {
    f.point("insert", t.position());
    f.point("align_point", t.alignmentPoint());
    f.text("text", t.textStringConst());
    f.number("height", t.height());
    f.degrees("rotation", t.rotation());
    f.degrees("oblique", t.oblique());
    f.number("width", t.widthFactor());
    recordName(f, "style", t.textStyle());
    f.integer("halign", t.horizontalMode());
    f.integer("valign", t.verticalMode());
}

void describePolyline(const AcDbEntity& e, Fields& f) {
    if (auto* poly = AcDb2dPolyline::cast(&e)) {
        f.flag("closed", poly->isClosed());
        f.number("elevation_z", poly->elevation());
        f.points("points_xy", vertices<AcDb2dVertex>(poly->vertexIterator()), 2);
    } else if (auto* poly3d = AcDb3dPolyline::cast(&e)) {
        f.flag("closed", poly3d->isClosed());
        f.points("points", vertices<AcDb3dPolylineVertex>(poly3d->vertexIterator()), 3);
    } else if (auto* light = AcDbPolyline::cast(&e)) {
        f.flag("closed", light->isClosed());
        f.number("elevation_z", light->elevation());
        std::vector<AcGePoint3d> list;
        for (unsigned int i = 0; i < light->numVerts(); ++i) {
            AcGePoint2d p;
            light->getPointAt(i, p);
            list.emplace_back(p.x, p.y, 0.0);
        }
        f.points("points_xy", list, 2);
    }
}

void describe(const AcDbEntity& e, Fields& f) {
    if (auto* line = AcDbLine::cast(&e)) {
        f.point("start", line->startPoint());
        f.point("end", line->endPoint());
    } else if (auto* arc = AcDbArc::cast(&e)) {
        f.point("center", arc->center());
        f.number("radius", arc->radius());
        f.degrees("start_angle", arc->startAngle());
        f.degrees("end_angle", arc->endAngle());
    } else if (auto* circle = AcDbCircle::cast(&e)) {
        f.point("center", circle->center());
        f.number("radius", circle->radius());
        f.vector("extrusion", circle->normal());
    } else if (auto* ellipse = AcDbEllipse::cast(&e)) {
        f.point("center", ellipse->center());
        f.vector("major_axis", ellipse->majorAxis());
        f.number("ratio", ellipse->radiusRatio());
        f.number("start_param", ellipse->startParam());
        f.number("end_param", ellipse->endParam());
    } else if (auto* face = AcDbFace::cast(&e)) {
        describeCorners(e, f);
        int invisible = 0;
        for (Adesk::UInt16 i = 0; i < 4; ++i) {
            Adesk::Boolean visible = true;
            face->isEdgeVisibleAt(i, visible);
            invisible |= visible ? 0 : 1 << i;
        }
        f.integer("invisible", invisible);
    } else if (AcDbSolid::cast(&e) != nullptr) {
        describeCorners(e, f);
    } else if (auto* point = AcDbPoint::cast(&e)) {
        f.point("location", point->position());
    } else if (auto* ray = AcDbRay::cast(&e)) {
        f.point("start", ray->basePoint());
        f.vector("unit_vector", ray->unitDir());
    } else if (auto* dimension = AcDbDimension::cast(&e)) {
        describeDimension(*dimension, f);
    } else if (auto* reference = AcDbBlockReference::cast(&e);
               reference != nullptr && AcDbTable::cast(&e) == nullptr) {
        recordName(f, "name", reference->blockTableRecord());
        f.point("insert", reference->position());
        f.number("xscale", reference->scaleFactors().sx);
        f.number("zscale", reference->scaleFactors().sz);
        f.degrees("rotation", reference->rotation());
    } else if (auto* text = AcDbText::cast(&e); text != nullptr && !AcDbAttributeDefinition::cast(&e)) {
        describeText(*text, f);
    } else {
        describePolyline(e, f);
    }
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
        const std::vector<AcDbObjectId> ids = testsupport::entitiesOf(space);
        json.array(ids.size(), [&](std::size_t i) {
            auto entity = testsupport::open<AcDbEntity>(ids[i], AcDb::kForRead);
            json.raw("[");
            json.string(typeOf(entity.get()));
            json.raw(",");
            json.string(handleOf(ids[i]));
            json.raw(",");
            json.string(entity->layer());
            json.raw(",");
            {
                Fields fields(json);
                describe(*entity, fields);
            }
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
            const std::vector<AcDbObjectId> ids = testsupport::entitiesOf(id);
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
        const std::vector<AcDbObjectId> ids = testsupport::idsOf(insert->attributeIterator());
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
