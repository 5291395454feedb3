// Gathering and printing the drawing summary. Names are printed as UTF-8; lists are printed
// comma-separated on one line after their count. Reals are written in the shortest form that
// reads back to the same value. The text form shortens long texts and long value lists.
#include "tools/drawing_summary.h"

#include <boost/make_shared.hpp>
#include <charconv>
#include <cstdio>
#include <memory>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/drawing/layer_table_ptr.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/ent_get.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/group_codes.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/xrecord.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "tools/commands.h"
#include "tools/entity_walk.h"
#include "tools/xml_listener.h"

namespace {

// The group code of an application name in XData.
constexpr int kXDataApplicationCode = 1001;

using Group = DrawingSummary::Group;
using Values = DrawingSummary::Values;

std::vector<std::wstring> toVector(const CStringArray& names) {
    std::vector<std::wstring> out;
    for (int i = 0; i < names.GetSize(); ++i) {
        out.push_back(names[i].str());
    }
    return out;
}

std::wstring hexBytes(const char* bytes, int length) {
    static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (int i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

// The group of one resbuf item; false for a code that carries no value.
bool toGroup(const resbuf& item, Group& group) {
    group.code = item.restype;
    switch (groupValueClass(item.restype)) {
        case GroupValueClass::kText:
            group.value = std::wstring(item.resval.rstring != nullptr ? item.resval.rstring : L"");
            return true;
        case GroupValueClass::kBinary:
            group.value = hexBytes(item.resval.rbinary.buf, item.resval.rbinary.clen);
            return true;
        case GroupValueClass::kPoint:
            group.value = AcGePoint3d(item.resval.rpoint[0], item.resval.rpoint[1],
                                      item.resval.rpoint[2]);
            return true;
        case GroupValueClass::kReal:
            group.value = item.resval.rreal;
            return true;
        case GroupValueClass::kInt16:
        case GroupValueClass::kBool:
            group.value = std::int64_t{item.resval.rint};
            return true;
        case GroupValueClass::kInt32:
            group.value = std::int64_t{item.resval.rlong};
            return true;
        case GroupValueClass::kInt64:
            group.value = std::int64_t{item.resval.mnInt64};
            return true;
        case GroupValueClass::kName: {
            AcDbObjectId id;
            acdbGetObjectId(id, item.resval.rlname);
            group.value = id.handle().text();
            return true;
        }
        default:
            return false;
    }
}

std::vector<Group> toGroups(const resbuf* items) {
    std::vector<Group> groups;
    for (const resbuf* item = items; item != nullptr; item = item->rbnext) {
        if (Group group; toGroup(*item, group)) {
            groups.push_back(std::move(group));
        }
    }
    return groups;
}

// The Xrecords of a dictionary, each as the values of its key. The number of its entries of any
// kind; 0 for an object that is no dictionary.
int gatherRecords(const AcDbObjectId& dictionaryId, const std::wstring& owner,
                  const std::wstring& handle, std::vector<Values>& records) {
    AcDbDictionary* dictionary = nullptr;
    if (acdbOpenObject(dictionary, dictionaryId, AcDb::kForRead) != Acad::eOk) {
        return 0;
    }
    std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
    dictionary->close();
    int entries = 0;
    for (; !it->done(); it->next(), ++entries) {
        AcDbXrecord* record = nullptr;
        if (acdbOpenObject(record, it->objectId(), AcDb::kForRead) != Acad::eOk) {
            continue;  // an entry of another kind
        }
        resbuf* chain = nullptr;
        record->rbChain(chain);
        record->close();
        records.push_back({owner, handle, it->name(), toGroups(chain)});
        acutRelRb(chain);
    }
    return entries;
}

// The block definitions (records that are not layouts) with their entity counts.
void gatherBlocks(AcDbDatabase& db, std::vector<DrawingSummary::Named>& blocks) {
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) {
        return;
    }
    std::vector<std::pair<std::wstring, AcDbObjectId>> definitions;
    AcDbSymbolTableIterator* raw = nullptr;
    if (table->newIterator(raw) == Acad::eOk) {
        std::unique_ptr<AcDbSymbolTableIterator> iterator(raw);
        for (; !iterator->done(); iterator->step()) {
            AcDbObjectId id;
            AcDbBlockTableRecord* record = nullptr;
            if (iterator->getRecordId(id) != Acad::eOk ||
                acdbOpenObject(record, id, AcDb::kForRead) != Acad::eOk) {
                continue;
            }
            const wchar_t* name = nullptr;
            if (!record->isLayout() && record->getName(name) == Acad::eOk) {
                definitions.emplace_back(name, id);
            }
            record->close();
        }
    }
    table->close();
    for (const auto& [name, id] : definitions) {
        blocks.push_back({name, blockEntityCount(id)});
    }
}

// The entity's XData, one Values per application.
void noteXData(const AcDbEntity& entity, const std::wstring& kind, DrawingSummary& summary) {
    resbuf* xdata = entity.xData();
    const std::wstring handle = entity.objectId().handle().text();
    for (const resbuf* item = xdata; item != nullptr; item = item->rbnext) {
        if (item->restype == kXDataApplicationCode && item->resval.rstring != nullptr) {
            ++summary.xdataApps[item->resval.rstring];
            summary.xdata.push_back({kind, handle, item->resval.rstring, {}});
        } else if (Group group; !summary.xdata.empty() && toGroup(*item, group)) {
            summary.xdata.back().groups.push_back(std::move(group));
        }
    }
    acutRelRb(xdata);
}

bool gatherModelSpace(AcDbDatabase& db, DrawingSummary& summary) {
    const int count = walkBlock(
        db.modelSpaceId(),
        [&](const AcDbEntity& entity) {
            const wchar_t* dxfName = entity.isA()->dxfName();
            const std::wstring kind = dxfName != nullptr ? dxfName : entity.isA()->name();
            ++summary.entityKinds[kind];
            noteXData(entity, kind, summary);
            if (const AcDbObjectId dictionary = entity.extensionDictionary(); !dictionary.isNull()) {
                ++summary.extensionDictionaries;
                gatherRecords(dictionary, kind, entity.objectId().handle().text(),
                              summary.extensionRecords);
            }
        },
        "reading entities");
    summary.entities = count;
    return count >= 0;
}

void gatherDictionaries(DrawingSummary& summary) {
    CVLKCDictionaryPtr named(AcDb::kForRead);
    CStringArray names;
    AcDbObjectIdArray ids;
    named.allDctNames(names);
    named.allDctObjectIds(ids);
    for (int i = 0; i < names.GetSize() && i < ids.length(); ++i) {
        const int entries = gatherRecords(ids[i], names[i].str(), L"", summary.dictionaryRecords);
        summary.dictionaries.push_back({names[i].str(), entries});
    }
}

// ---- Text -------------------------------------------------------------------------------------

std::string number(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// Longer texts and lists are shortened in the text form; --json gives them whole.
constexpr std::size_t kShownCharacters = 60;
constexpr std::size_t kShownGroups = 8;

std::string groupText(const Group& group) {
    std::string value;
    if (const auto* text = std::get_if<std::wstring>(&group.value)) {
        value = "\"" + wideToUtf8(text->substr(0, kShownCharacters)) + "\"";
        if (text->size() > kShownCharacters) {
            value += "... (" + std::to_string(text->size()) + " characters)";
        }
    } else if (const auto* real = std::get_if<double>(&group.value)) {
        value = number(*real);
    } else if (const auto* integer = std::get_if<std::int64_t>(&group.value)) {
        value = std::to_string(*integer);
    } else if (const auto* point = std::get_if<AcGePoint3d>(&group.value)) {
        value = "(" + number(point->x) + ", " + number(point->y) + ", " + number(point->z) + ")";
    }
    return std::to_string(group.code) + " " + value;
}

// A unit of counting in its singular and plural form.
struct Unit {
    const char* one;
    const char* many;
};
constexpr Unit kLayers{"layer", "layers"};
constexpr Unit kBlocks{"block", "blocks"};
constexpr Unit kEntities{"entity", "entities"};
constexpr Unit kRecords{"record", "records"};
constexpr Unit kCharacters{"character", "characters"};
constexpr Unit kXDataApps{"XData application", "XData applications"};
constexpr Unit kDictionaries{"dictionary", "dictionaries"};
constexpr Unit kXmlApps{"XML application", "XML applications"};

std::string counted(std::size_t count, Unit unit) {
    return std::to_string(count) + " " + (count == 1 ? unit.one : unit.many);
}

// "5 layers: 0, Walls, ..." or "0 layers".
void printList(Unit unit, const std::vector<std::string>& items) {
    std::string line = counted(items.size(), unit);
    for (std::size_t i = 0; i < items.size(); ++i) {
        line += (i == 0 ? ": " : ", ") + items[i];
    }
    std::printf("%s\n", line.c_str());
}

// Each item followed by its count: "KESTREL_TITLE (9 entities)".
std::vector<std::string> withCounts(const std::vector<DrawingSummary::Named>& items, Unit unit,
                                    const char* before = "") {
    std::vector<std::string> texts;
    for (const DrawingSummary::Named& item : items) {
        texts.push_back(wideToUtf8(item.name) + " (" + before + counted(item.count, unit) + ")");
    }
    return texts;
}

void printValues(const char* title, const std::vector<Values>& all) {
    if (all.empty()) {
        return;
    }
    std::printf("%s:\n", title);
    for (const Values& values : all) {
        std::string line = "  " + wideToUtf8(values.owner) +
                           (values.handle.empty() ? "/" : " " + wideToUtf8(values.handle) + " ") +
                           wideToUtf8(values.name) + ":";
        for (std::size_t i = 0; i < values.groups.size() && i < kShownGroups; ++i) {
            line += (i == 0 ? " " : ", ") + groupText(values.groups[i]);
        }
        if (values.groups.size() > kShownGroups) {
            line += ", ... (" + std::to_string(values.groups.size()) + " groups)";
        }
        std::printf("%s\n", line.c_str());
    }
}

// ---- JSON -------------------------------------------------------------------------------------

std::string groupJson(const Group& group) {
    std::string value;
    if (const auto* text = std::get_if<std::wstring>(&group.value)) {
        value = jsonText(*text);
    } else if (const auto* real = std::get_if<double>(&group.value)) {
        value = number(*real);
    } else if (const auto* integer = std::get_if<std::int64_t>(&group.value)) {
        value = std::to_string(*integer);
    } else if (const auto* point = std::get_if<AcGePoint3d>(&group.value)) {
        value = "[" + number(point->x) + ", " + number(point->y) + ", " + number(point->z) + "]";
    }
    return "{\"code\": " + std::to_string(group.code) + ", \"value\": " + value + "}";
}

// A JSON array of the items, each rendered by json.
template <class Item, class Render>
std::string jsonArray(const std::vector<Item>& items, Render json) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        out += (i == 0 ? "" : ", ") + json(items[i]);
    }
    return out + "]";
}

std::string valuesJson(const Values& values, const char* nameKey) {
    return "{\"owner\": " + jsonText(values.owner) + ", \"handle\": " + jsonText(values.handle) +
           ", \"" + nameKey + "\": " + jsonText(values.name) +
           ", \"values\": " + jsonArray(values.groups, groupJson) + "}";
}

std::string namedJson(const std::vector<DrawingSummary::Named>& items, const char* countKey) {
    return jsonArray(items, [countKey](const DrawingSummary::Named& item) {
        return "{\"name\": " + jsonText(item.name) + ", \"" + countKey +
               "\": " + std::to_string(item.count) + "}";
    });
}

}  // namespace

bool summarizeDrawing(DrawingSummary& summary) {
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) {
        return false;
    }
    CStringArray layers;
    CVLKCLayerTablePtr().allLayerNames(layers);
    summary.layers = toVector(layers);
    gatherBlocks(*db, summary.blocks);
    if (!gatherModelSpace(*db, summary)) {
        return false;
    }
    gatherDictionaries(summary);
    auto listener = boost::make_shared<XmlListener>();
    _CXMLHandler::Register(listener);
    for (const XmlListener::Heard& heard : listener->heard()) {
        if (heard.kind == XmlListener::Kind::kLoaded) {
            summary.xml.push_back({heard.appName, static_cast<int>(heard.xml.size())});
        }
    }
    return true;
}

void printSummary(const DrawingSummary& summary, bool verbose) {
    std::vector<std::string> layers;
    for (const std::wstring& layer : summary.layers) {
        layers.push_back(wideToUtf8(layer));
    }
    printList(kLayers, layers);
    printList(kBlocks, withCounts(summary.blocks, kEntities));
    std::printf("%s%s\n", counted(summary.entities, kEntities).c_str(),
                summary.entityKinds.empty() ? "" : ":");
    for (const auto& [kind, count] : summary.entityKinds) {
        std::printf("  %s: %d\n", wideToUtf8(kind).c_str(), count);
    }
    std::vector<DrawingSummary::Named> xdataApps;
    for (const auto& [app, count] : summary.xdataApps) {
        xdataApps.push_back({app, count});
    }
    printList(kXDataApps, withCounts(xdataApps, kEntities, "on "));
    std::printf("%s with an extension dictionary\n",
                counted(summary.extensionDictionaries, kEntities).c_str());
    printList(kDictionaries, withCounts(summary.dictionaries, kRecords));
    if (!verbose) {
        std::vector<std::string> apps;
        for (const DrawingSummary::Named& xml : summary.xml) {
            apps.push_back(wideToUtf8(xml.name));
        }
        printList(kXmlApps, apps);
        return;
    }
    printList(kXmlApps, withCounts(summary.xml, kCharacters));
    printValues("XData", summary.xdata);
    printValues("extension dictionary records", summary.extensionRecords);
    printValues("dictionary records", summary.dictionaryRecords);
}

void printSummaryJson(const std::string& file, const DrawingSummary& summary) {
    std::string kinds = "{";
    for (const auto& [kind, count] : summary.entityKinds) {
        kinds += (kinds.size() > 1 ? ", " : "") + jsonText(kind) + ": " + std::to_string(count);
    }
    kinds += "}";
    const auto xdata = [](const Values& values) { return valuesJson(values, "application"); };
    const auto record = [](const Values& values) { return valuesJson(values, "key"); };
    std::printf(
        "{\"file\": %s,\n \"layers\": %s,\n \"blocks\": %s,\n \"entities\": %d,\n"
        " \"entityKinds\": %s,\n \"entitiesWithExtensionDictionary\": %d,\n"
        " \"dictionaries\": %s,\n \"xml\": %s,\n \"xdata\": %s,\n"
        " \"extensionDictionaryRecords\": %s,\n \"dictionaryRecords\": %s}\n",
        jsonText(file).c_str(),
        jsonArray(summary.layers, [](const std::wstring& name) { return jsonText(name); }).c_str(),
        namedJson(summary.blocks, "entities").c_str(), summary.entities, kinds.c_str(),
        summary.extensionDictionaries, namedJson(summary.dictionaries, "records").c_str(),
        namedJson(summary.xml, "characters").c_str(), jsonArray(summary.xdata, xdata).c_str(),
        jsonArray(summary.extensionRecords, record).c_str(),
        jsonArray(summary.dictionaryRecords, record).c_str());
}
