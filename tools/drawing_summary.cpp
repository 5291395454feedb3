// Gathering and printing the drawing summary. Names are printed as UTF-8; lists are printed
// comma-separated on one line, "-" when empty.
#include "tools/drawing_summary.h"

#include <boost/make_shared.hpp>
#include <cstdio>
#include <memory>

#include "kestrel/access/dictionary_ptr.h"
#include "kestrel/drawing/layer_table_ptr.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"
#include "kestrel/xmlrepo/xml_handler.h"
#include "tools/entity_walk.h"
#include "tools/xml_listener.h"

namespace {

// The group code of an application name in XData.
constexpr int kXDataApplicationCode = 1001;

std::vector<std::wstring> toVector(const CStringArray& names) {
    std::vector<std::wstring> out;
    for (int i = 0; i < names.GetSize(); ++i) {
        out.push_back(names[i].str());
    }
    return out;
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

void noteXData(const AcDbEntity& entity, std::map<std::wstring, int>& apps) {
    resbuf* xdata = entity.xData();
    for (const resbuf* item = xdata; item != nullptr; item = item->rbnext) {
        if (item->restype == kXDataApplicationCode && item->resval.rstring != nullptr) {
            ++apps[item->resval.rstring];
        }
    }
    acutRelRb(xdata);
}

bool gatherModelSpace(AcDbDatabase& db, DrawingSummary& summary) {
    const int count = walkBlock(
        db.modelSpaceId(),
        [&](const AcDbEntity& entity) {
            const wchar_t* dxfName = entity.isA()->dxfName();
            ++summary.entityKinds[dxfName != nullptr ? dxfName : entity.isA()->name()];
            noteXData(entity, summary.xdataApps);
            summary.extensionDictionaries += entity.extensionDictionary().isNull() ? 0 : 1;
        },
        "reading entities");
    summary.entities = count;
    return count >= 0;
}

void gatherDictionaries(std::vector<DrawingSummary::Named>& dictionaries) {
    CVLKCDictionaryPtr named(AcDb::kForRead);
    CStringArray names;
    named.allDctNames(names);
    for (int i = 0; i < names.GetSize(); ++i) {
        CStringArray records;
        dictionaries.push_back({names[i].str(), named.allRecNames(names[i], records)});
    }
}

void printList(const char* key, const std::vector<std::wstring>& names) {
    std::string line;
    for (const std::wstring& name : names) {
        line += (line.empty() ? "" : ", ") + wideToUtf8(name);
    }
    std::printf("%s: %s\n", key, line.empty() ? "-" : line.c_str());
}

// A unit of counting in its singular and plural form.
struct Unit {
    const wchar_t* one;
    const wchar_t* many;
};
constexpr Unit kEntities{L"entity", L"entities"};
constexpr Unit kRecords{L"record", L"records"};

void printCounted(const char* key, const std::vector<DrawingSummary::Named>& items, Unit unit) {
    std::vector<std::wstring> names;
    for (const DrawingSummary::Named& item : items) {
        names.push_back(item.name + L" (" + std::to_wstring(item.count) + L" " +
                        (item.count == 1 ? unit.one : unit.many) + L")");
    }
    printList(key, names);
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
    gatherDictionaries(summary.dictionaries);
    auto listener = boost::make_shared<XmlListener>();
    _CXMLHandler::Register(listener);
    summary.xmlApps = listener->loadedApplications();
    return true;
}

void printSummary(const DrawingSummary& summary) {
    printList("layers", summary.layers);
    printCounted("blocks", summary.blocks, kEntities);
    std::printf("entities: %d\n", summary.entities);
    for (const auto& [kind, count] : summary.entityKinds) {
        std::printf("  %s: %d\n", wideToUtf8(kind).c_str(), count);
    }
    std::vector<DrawingSummary::Named> xdata;
    for (const auto& [app, count] : summary.xdataApps) {
        xdata.push_back({app, count});
    }
    printCounted("xdata applications", xdata, kEntities);
    std::printf("extension dictionaries: %d\n", summary.extensionDictionaries);
    printCounted("dictionaries", summary.dictionaries, kRecords);
    printList("xml applications", summary.xmlApps);
}
