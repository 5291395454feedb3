// The AcDbDatabase members that reach the symbol tables, the named object dictionary and the
// current records, and the default drawing a new database starts with.

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/layout.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/placeholder.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/symbol_name.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/db/ucs_table.h"
#include "kestrel/host/db/view_table.h"
#include "kestrel/host/db/viewport_table.h"
#include "kestrel/host/rx/class.h"

namespace {

// The entries of the named object dictionary of a new drawing, each an empty dictionary.
constexpr const wchar_t* kStandardDictionaries[] = {
    L"ACAD_COLOR",        L"ACAD_GROUP",      L"ACAD_LAYOUT",       L"ACAD_MATERIAL",
    L"ACAD_MLEADERSTYLE", L"ACAD_MLINESTYLE", L"ACAD_PLOTSETTINGS", L"ACAD_PLOTSTYLENAME",
    L"ACAD_SCALELIST",    L"ACAD_TABLESTYLE", L"ACAD_VISUALSTYLE",
};
// The entries every drawing needs: its groups and its layouts.
constexpr const wchar_t* kLayoutDictionaries[] = {L"ACAD_GROUP", L"ACAD_LAYOUT"};

template <class Table>
Acad::ErrorStatus openTable(AcDbObjectId id, Table*& table, AcDb::OpenMode mode) {
    table = nullptr;
    return acdbOpenObject(table, id, mode, false);
}

// A live record of class T in db, or eWasErased / eWrongDatabase / eNotThatKindOfClass /
// eNullObjectId.
template <class T>
Acad::ErrorStatus checkRecord(const AcDbDatabase* db, AcDbObjectId id, const T*& record) {
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    if (id.database() != db) {
        return Acad::eWrongDatabase;
    }
    record = T::cast(db->objectAt(id));
    if (record == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    return id.isErased() ? Acad::eWasErased : Acad::eOk;
}

// Default-drawing construction cannot fail short of a host fault; stop loudly if it does.
void require(Acad::ErrorStatus status, const wchar_t* what) {
    if (status != Acad::eOk) {
        acrx_abort(L"building the default drawing: %s failed with %s", what,
                   acadErrorStatusText(status));
    }
}

// Adds a record named name to the open table and closes it; returns its id.
template <class Table, class Record>
AcDbObjectId addRecord(Table* table, Record* record, const wchar_t* name) {
    AcDbObjectId id;
    require(record->setName(name), name);
    require(table->add(id, record), name);
    record->close();
    return id;
}

// Opens the entry name of the named object dictionary for write; null when a drawing read from
// a file holds something else under that name.
AcDbDictionary* openStandardDictionary(AcDbDatabase* db, const wchar_t* name) {
    AcDbDictionary* nod = nullptr;
    require(db->getNamedObjectsDictionary(nod, AcDb::kForRead), name);
    AcDbObject* entry = nullptr;
    const Acad::ErrorStatus status = nod->getAt(name, entry, AcDb::kForWrite);
    nod->close();
    auto* dictionary = AcDbDictionary::cast(entry);
    if (dictionary == nullptr && status == Acad::eOk) {
        entry->close();
    }
    return dictionary;
}

// Adds the layout name of the layout block blockId to ACAD_LAYOUT and links the two. A drawing
// read from a file may not let it (ACAD_LAYOUT is something else, or its entry of that name is
// damaged): the status says so and nothing is added.
Acad::ErrorStatus addLayout(AcDbDatabase* db, AcDbObjectId blockId, const wchar_t* name,
                            int tabOrder) {
    AcDbDictionary* layouts = openStandardDictionary(db, L"ACAD_LAYOUT");
    if (layouts == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    auto* layout = new AcDbLayout();
    require(layout->setLayoutName(name), name);
    require(layout->setTabOrder(tabOrder), name);
    require(layout->setBlockTableRecordId(blockId), name);
    AcDbObjectId layoutId;
    Acad::ErrorStatus status = layouts->setAt(name, layout, layoutId);
    layouts->close();
    if (status != Acad::eOk) {
        delete layout;
        return status;
    }
    layout->close();
    AcDbBlockTableRecord* block = nullptr;
    status = acdbOpenObject(block, blockId, AcDb::kForWrite);
    if (status == Acad::eOk) {
        status = block->setLayoutId(layoutId);
        block->close();
    }
    return status;
}

// Adds the "Normal" plot style that layers and drawing readers expect, when it is missing.
void addNormalPlotStyle(AcDbDatabase* db) {
    AcDbDictionary* styles = openStandardDictionary(db, L"ACAD_PLOTSTYLENAME");
    if (styles == nullptr || styles->has(L"Normal")) {
        if (styles != nullptr) {
            styles->close();
        }
        return;
    }
    AcDbObjectId id;
    auto* normal = new AcDbPlaceHolder();
    require(styles->setAt(L"Normal", normal, id), L"Normal");
    normal->close();
    styles->close();
}

// Adds a new table to db, open for write; it is also listed in opened for closing.
template <class Table>
Table* newTable(AcDbDatabase* db, AcDbObjectId& id, std::vector<AcDbObject*>& opened) {
    auto* table = new Table();
    require(db->addObject(table, AcDbObjectId::kNull, id), L"adding a table");
    opened.push_back(table);
    return table;
}

}  // namespace

// --- Tables --------------------------------------------------------------------------------

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return openTable(m_blockTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
    return openTable(m_layerTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode) {
    return openTable(m_linetypeTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode) {
    return openTable(m_textStyleTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbDimStyleTable*& table, AcDb::OpenMode mode) {
    return openTable(m_dimStyleTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbRegAppTable*& table, AcDb::OpenMode mode) {
    return openTable(m_regAppTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbViewTable*& table, AcDb::OpenMode mode) {
    return openTable(m_viewTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbUCSTable*& table, AcDb::OpenMode mode) {
    return openTable(m_ucsTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getSymbolTable(AcDbViewportTable*& table, AcDb::OpenMode mode) {
    return openTable(m_viewportTableId, table, mode);
}

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getLinetypeTable(AcDbLinetypeTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getTextStyleTable(AcDbTextStyleTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getDimStyleTable(AcDbDimStyleTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getRegAppTable(AcDbRegAppTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getViewTable(AcDbViewTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getUCSTable(AcDbUCSTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

Acad::ErrorStatus AcDbDatabase::getViewportTable(AcDbViewportTable*& table, AcDb::OpenMode mode) {
    return getSymbolTable(table, mode);
}

AcDbObjectId AcDbDatabase::blockTableId() const {
    return m_blockTableId;
}

AcDbObjectId AcDbDatabase::layerTableId() const {
    return m_layerTableId;
}

AcDbObjectId AcDbDatabase::linetypeTableId() const {
    return m_linetypeTableId;
}

AcDbObjectId AcDbDatabase::textStyleTableId() const {
    return m_textStyleTableId;
}

AcDbObjectId AcDbDatabase::dimStyleTableId() const {
    return m_dimStyleTableId;
}

AcDbObjectId AcDbDatabase::regAppTableId() const {
    return m_regAppTableId;
}

AcDbObjectId AcDbDatabase::viewTableId() const {
    return m_viewTableId;
}

AcDbObjectId AcDbDatabase::UCSTableId() const {
    return m_ucsTableId;
}

AcDbObjectId AcDbDatabase::viewportTableId() const {
    return m_viewportTableId;
}

// --- Named object dictionary and current records -------------------------------------------

Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& dictionary,
                                                          AcDb::OpenMode mode) {
    dictionary = nullptr;
    return acdbOpenObject(dictionary, m_namedObjectsDictionaryId, mode, false);
}

AcDbObjectId AcDbDatabase::namedObjectsDictionaryId() const {
    return m_namedObjectsDictionaryId;
}

AcDbObjectId AcDbDatabase::clayer() const {
    return m_clayerId;
}

Acad::ErrorStatus AcDbDatabase::setClayer(AcDbObjectId layerId) {
    const AcDbLayerTableRecord* layer = nullptr;
    const Acad::ErrorStatus status = checkRecord(this, layerId, layer);
    if (status != Acad::eOk) {
        return status;
    }
    if ((layer->flagsForLookup() & AcDbLayerTableRecord::kFrozen) != 0) {
        return Acad::eInvalidLayer;
    }
    m_clayerId = layerId;
    return Acad::eOk;
}

AcDbObjectId AcDbDatabase::textstyle() const {
    return m_textstyleId;
}

Acad::ErrorStatus AcDbDatabase::setTextstyle(AcDbObjectId styleId) {
    const AcDbTextStyleTableRecord* style = nullptr;
    const Acad::ErrorStatus status = checkRecord(this, styleId, style);
    if (status == Acad::eOk) {
        m_textstyleId = styleId;
    }
    return status;
}

AcDbObjectId AcDbDatabase::dimstyle() const {
    return m_dimstyleId;
}

Acad::ErrorStatus AcDbDatabase::setDimstyle(AcDbObjectId styleId) {
    const AcDbDimStyleTableRecord* style = nullptr;
    const Acad::ErrorStatus status = checkRecord(this, styleId, style);
    if (status == Acad::eOk) {
        m_dimstyleId = styleId;
    }
    return status;
}

AcDbObjectId AcDbDatabase::currentSpaceId() const {
    return m_currentSpaceId;
}

AcDbObjectId AcDbDatabase::modelSpaceId() const {
    return m_modelSpaceId;
}

AcDbObjectId AcDbDatabase::paperSpaceId() const {
    return m_paperSpaceId;
}

AcDbObjectId AcDbDatabase::layerZero() const {
    return m_layerZeroId;
}

AcDbObjectId AcDbDatabase::continuousLinetype() const {
    return m_continuousLinetypeId;
}

AcDbObjectId AcDbDatabase::byLayerLinetype() const {
    return m_byLayerLinetypeId;
}

AcDbObjectId AcDbDatabase::byBlockLinetype() const {
    return m_byBlockLinetypeId;
}

bool AcDbDatabase::isRegisteredApp(const wchar_t* name) const {
    const auto* table = AcDbRegAppTable::cast(objectAt(m_regAppTableId));
    return name != nullptr && table != nullptr &&
           !table->findLive(foldName(name), AcDbObjectId::kNull).isNull();
}

// --- Default drawing -------------------------------------------------------------------------

namespace {

using Added = std::function<void(const std::wstring&)>;

// The table of id, opened for write and listed in opened; a new one (reported) when id is null.
template <class Table>
Table* ensureTable(AcDbDatabase* db, AcDbObjectId& id, const wchar_t* name,
                   std::vector<AcDbObject*>& opened, const Added& added) {
    if (id.isNull()) {
        added(std::wstring(name) + L" table");
        return newTable<Table>(db, id, opened);
    }
    Table* table = nullptr;
    require(acdbOpenObject(table, id, AcDb::kForWrite), name);
    opened.push_back(table);
    return table;
}

// The record called name of the open table, made by make and added (reported) when missing.
template <class Table, class Make>
AcDbObjectId ensureRecord(Table* table, const wchar_t* name, Make make, const Added& added) {
    AcDbObjectId id;
    if (table->getAt(name, id) == Acad::eOk) {
        return id;
    }
    added(std::wstring(L"record \"") + name + L"\"");
    return addRecord(table, make(), name);
}

template <class Record>
Record* plain() {
    return new Record();
}

// True when the object id can stand under the standard name: a dictionary, and for ACAD_LAYOUT
// one whose entries are all layouts.
bool fitsStandardName(const wchar_t* name, AcDbObjectId id) {
    AcDbDictionary* entry = nullptr;
    if (acdbOpenObject(entry, id, AcDb::kForRead) != Acad::eOk) {
        return false;
    }
    bool fits = true;
    if (std::wstring_view(name) == L"ACAD_LAYOUT") {
        std::unique_ptr<AcDbDictionaryIterator> it(entry->newIterator());
        for (; fits && !it->done(); it->next()) {
            AcDbLayout* layout = nullptr;
            fits = acdbOpenObject(layout, it->objectId(), AcDb::kForRead) == Acad::eOk;
            if (fits) {
                layout->close();
            }
        }
    }
    entry->close();
    return fits;
}

// An entry that a drawing file holds under a standard name but that cannot stand there keeps its
// object under the first free name "<name>_2", "<name>_3", ..., so the standard one can be added.
void moveAsideMisfit(AcDbDictionary* dictionary, const wchar_t* name) {
    AcDbObjectId id;
    if (dictionary->getAt(name, id) != Acad::eOk || fitsStandardName(name, id)) {
        return;
    }
    for (int suffix = 2;; ++suffix) {
        const std::wstring free = std::wstring(name) + L"_" + std::to_wstring(suffix);
        if (!dictionary->has(free.c_str())) {
            dictionary->setName(name, free.c_str());
            return;
        }
    }
}

// The entries of the named object dictionary that it lacks, each an empty dictionary.
void ensureDictionaries(AcDbDictionary* dictionary, std::span<const wchar_t* const> names) {
    for (const wchar_t* name : names) {
        moveAsideMisfit(dictionary, name);
        if (!dictionary->has(name)) {
            auto* entry = new AcDbDictionary();
            AcDbObjectId id;
            if (dictionary->setAt(name, entry, id) == Acad::eOk) {
                entry->close();
            } else {
                delete entry;
            }
        }
    }
}

// True when ACAD_LAYOUT lists id among its entries.
bool layoutDictionaryHas(AcDbDatabase* db, AcDbObjectId id) {
    AcDbDictionary* layouts = openStandardDictionary(db, L"ACAD_LAYOUT");
    if (layouts == nullptr) {
        return false;
    }
    const bool listed = layouts->has(id);
    layouts->close();
    return listed;
}

// True when layoutId is a layout that ACAD_LAYOUT lists. A layout found elsewhere (a drawing
// file whose layout dictionary is under another name, or whose entry was dropped) is untied
// from its block, which gets a new one.
bool isListedLayout(AcDbDatabase* db, AcDbObjectId layoutId) {
    AcDbLayout* layout = nullptr;
    if (layoutId.isNull() || acdbOpenObject(layout, layoutId, AcDb::kForWrite) != Acad::eOk) {
        return false;
    }
    const bool listed = layoutDictionaryHas(db, layoutId);
    if (!listed) {
        layout->setBlockTableRecordId(AcDbObjectId());
    }
    layout->close();
    return listed;
}

// A layout for the layout block blockId when it has none in ACAD_LAYOUT; addLayout's status.
Acad::ErrorStatus ensureLayout(AcDbDatabase* db, AcDbObjectId blockId, const wchar_t* name,
                               int tabOrder) {
    AcDbBlockTableRecord* block = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(block, blockId, AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    const AcDbObjectId layoutId = block->getLayoutId();
    block->close();
    return isListedLayout(db, layoutId) ? Acad::eOk : addLayout(db, blockId, name, tabOrder);
}

}  // namespace

void AcDbDatabase::buildDefaultDrawing() {
    const bool recording = undoRecording();
    disableUndoRecording(true);
    completeTables([](const std::wstring&) {}, kStandardDictionaries);
    require(ensureLayout(this, m_modelSpaceId, L"Model", 0), L"Model");
    require(ensureLayout(this, m_paperSpaceId, L"Layout1", 1), L"Layout1");
    addNormalPlotStyle(this);
    disableUndoRecording(!recording);
}

void AcDbDatabase::completeDrawing(const Added& added) {
    const bool recording = undoRecording();
    disableUndoRecording(true);
    completeTables(added, kLayoutDictionaries);
    // A drawing whose layouts cannot be added is still a drawing: its blocks draw as they are.
    ensureLayout(this, m_modelSpaceId, L"Model", 0);
    ensureLayout(this, m_paperSpaceId, L"Layout1", 1);
    disableUndoRecording(!recording);
}

void AcDbDatabase::completeTables(const Added& added) {
    const bool recording = undoRecording();
    disableUndoRecording(true);
    completeTables(added, {});
    disableUndoRecording(!recording);
}

// Tables first, in the order drawing files list them, then the named object dictionary with
// the given entries (none: not even the dictionary), then the records.
void AcDbDatabase::completeTables(const Added& added,
                                  std::span<const wchar_t* const> dictionaries) {
    std::vector<AcDbObject*> tables;
    auto* blocks =
        ensureTable<AcDbBlockTable>(this, m_blockTableId, L"BLOCK_RECORD", tables, added);
    auto* layers = ensureTable<AcDbLayerTable>(this, m_layerTableId, L"LAYER", tables, added);
    auto* styles =
        ensureTable<AcDbTextStyleTable>(this, m_textStyleTableId, L"STYLE", tables, added);
    auto* linetypes =
        ensureTable<AcDbLinetypeTable>(this, m_linetypeTableId, L"LTYPE", tables, added);
    ensureTable<AcDbViewTable>(this, m_viewTableId, L"VIEW", tables, added);
    ensureTable<AcDbUCSTable>(this, m_ucsTableId, L"UCS", tables, added);
    auto* viewports =
        ensureTable<AcDbViewportTable>(this, m_viewportTableId, L"VPORT", tables, added);
    auto* regapps = ensureTable<AcDbRegAppTable>(this, m_regAppTableId, L"APPID", tables, added);
    auto* dimstyles =
        ensureTable<AcDbDimStyleTable>(this, m_dimStyleTableId, L"DIMSTYLE", tables, added);

    if (!dictionaries.empty()) {
        AcDbDictionary* dictionary = nullptr;
        if (m_namedObjectsDictionaryId.isNull()) {
            added(L"named object dictionary");
            dictionary = new AcDbDictionary();
            require(addObject(dictionary, AcDbObjectId::kNull, m_namedObjectsDictionaryId),
                    L"the named object dictionary");
        } else {
            require(getNamedObjectsDictionary(dictionary, AcDb::kForWrite),
                    L"the named object dictionary");
        }
        ensureDictionaries(dictionary, dictionaries);
        dictionary->close();
    }

    m_byBlockLinetypeId =
        ensureRecord(linetypes, L"ByBlock", plain<AcDbLinetypeTableRecord>, added);
    m_byLayerLinetypeId =
        ensureRecord(linetypes, L"ByLayer", plain<AcDbLinetypeTableRecord>, added);
    m_continuousLinetypeId = ensureRecord(
        linetypes, L"Continuous",
        [] {
            auto* continuous = new AcDbLinetypeTableRecord();
            continuous->setComments(L"Solid line");
            return continuous;
        },
        added);
    m_layerZeroId = ensureRecord(layers, L"0", plain<AcDbLayerTableRecord>, added);
    const AcDbObjectId standard =
        ensureRecord(styles, L"Standard", plain<AcDbTextStyleTableRecord>, added);
    const AcDbObjectId standardDimstyle = ensureRecord(
        dimstyles, L"Standard",
        [&standard] {
            auto* dimstyle = new AcDbDimStyleTableRecord();
            dimstyle->setDimtxsty(standard);
            return dimstyle;
        },
        added);
    m_modelSpaceId = ensureRecord(blocks, ACDB_MODEL_SPACE, plain<AcDbBlockTableRecord>, added);
    m_paperSpaceId = ensureRecord(blocks, ACDB_PAPER_SPACE, plain<AcDbBlockTableRecord>, added);
    ensureRecord(regapps, L"ACAD", plain<AcDbRegAppTableRecord>, added);
    // Drawings may well lack the viewport configuration: it is added without a word.
    ensureRecord(viewports, L"*Active", plain<AcDbViewportTableRecord>, [](const std::wstring&) {});
    if (m_clayerId.isNull()) {
        m_clayerId = m_layerZeroId;
    }
    if (m_textstyleId.isNull()) {
        m_textstyleId = standard;
    }
    if (m_dimstyleId.isNull()) {
        m_dimstyleId = standardDimstyle;
    }
    if (m_currentSpaceId.isNull()) {
        m_currentSpaceId = m_modelSpaceId;
    }

    for (AcDbObject* table : tables) {
        table->close();
    }
}
