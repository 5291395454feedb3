// The DXF reader: lexes the whole text, then walks its sections, turning each object's groups
// into an item list (handles into ids of the database, angles into radians) that the object
// reads through its own dxfIn.
#include "host/dxf/dxf_reader.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "host/db/block_table.h"
#include "host/db/database.h"
#include "host/db/dictionary.h"
#include "host/db/dxf_filer.h"
#include "host/db/entities/attribute.h"
#include "host/db/entities/block_reference.h"
#include "host/db/entities/polyline_2d.h"
#include "host/db/entities/polyline_3d.h"
#include "host/db/layer_table.h"
#include "host/db/linetype_table.h"
#include "host/db/object_access.h"
#include "host/db/object_store.h"
#include "host/db/open.h"
#include "host/db/raw_object.h"
#include "host/db/symbol_table.h"
#include "host/db/text_style_table.h"
#include "host/dxf/dxf_conventions.h"
#include "host/dxf/dxf_lexer.h"
#include "host/dxf/flat_marks.h"
#include "host/rx/class.h"
#include "host/rx/dictionary.h"
#include "platform/utf8.h"

namespace host::dxf {
namespace {

constexpr std::uint64_t kMaxHandle = (std::uint64_t{1} << 48) - 1;
constexpr std::string_view kOldestRelease = "AC1015";
constexpr int kNameCode = 2;
constexpr int kHandleCode = 5;
constexpr int kSubclassCode = 100;
constexpr int kVariableCode = 9;

// One object of the file: its groups [begin, end), begin being its group 0.
struct ObjectSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// An object read from the file but not yet in the database.
struct ReadObject {
    std::unique_ptr<AcDbObject> object;
    AcDbHandle handle;
    std::size_t line = 0;
};

std::wstring wide(std::string_view text) {
    return utf8ToWide(text);
}

std::vector<unsigned char> bytesOf(std::string_view hex) {
    std::vector<unsigned char> bytes(hex.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::from_chars(hex.data() + 2 * i, hex.data() + 2 * i + 2, bytes[i], 16);
    }
    return bytes;
}

// A text value: UTF-8 with control characters in caret notation (^J for a line feed, ^@ to ^_
// for codes 0 to 31); any other caret is a caret.
std::wstring textOf(std::string_view text) {
    std::wstring value = wide(text);
    if (text.find('^') == std::string_view::npos) {
        return value;
    }
    std::size_t out = 0;
    for (std::size_t in = 0; in < value.size(); ++in, ++out) {
        const bool caret = value[in] == L'^' && in + 1 < value.size() && value[in + 1] >= L'@' &&
                           value[in + 1] <= L'_';
        value[out] = caret ? static_cast<wchar_t>(value[++in] - L'@') : value[in];
    }
    value.resize(out);
    return value;
}

bool parseHandle(std::string_view text, std::uint64_t& handle) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), handle, 16);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

const AcRxClass* classNamed(const wchar_t* name) {
    return AcRxClass::cast(host::rx::classDictionary().at(name));
}

template <class T>
T* created(const AcRxClass* cls) {
    AcRxObject* object = cls != nullptr ? cls->create() : nullptr;
    T* typed = T::cast(object);
    if (typed == nullptr) {
        delete object;
    }
    return typed;
}

class Reader {
public:
    Reader(AcDbDatabase* db, DrawingRoots& roots,
           const std::function<void(const DrawingRoots&)>& publish)
        : m_db(db), m_store(db->objectStore()), m_roots(roots), m_publish(publish) {}

    Acad::ErrorStatus read(std::string_view text);
    const std::wstring& message() const { return m_message; }

private:
    // --- Groups and errors ---
    bool fail(std::size_t line, Acad::ErrorStatus status, const std::wstring& what);
    // Records the lexer's error (the first error recorded wins).
    bool failLexing(const DxfLexer& lexer);
    bool lex(std::string_view text);
    // The current group: the next one not yet taken into an object.
    const DxfGroup& group() const { return m_current; }
    bool atEnd() const { return !m_haveCurrent; }
    // Moves to the next group of the text.
    void advance();
    // True when the current group starts an object (or marker) of that name.
    bool isStart(std::string_view name) const;
    std::size_t lastLine() const;
    // Takes the object starting at the current group 0 into m_object (valid until the next
    // call) and moves past it.
    ObjectSpan nextObject();
    std::string_view nameOf(const ObjectSpan& span) const { return m_object[span.begin].text; }
    std::size_t lineOf(const ObjectSpan& span) const { return m_object[span.begin].line; }
    std::wstring describe(const ObjectSpan& span) const;

    // --- Sections ---
    bool readSections();
    bool readHeader();
    bool skipSection();
    bool readTables();
    bool readTable(const ObjectSpan& tableSpan);
    bool readBlocks();
    bool readEntities(AcDbObjectId block, bool untilEndBlock);
    bool readObjects();

    // --- Objects ---
    bool itemsOf(const ObjectSpan& span, DxfItemList& items, std::vector<std::wstring>& markers,
                 AcDbHandle& handle);
    bool idOf(const DxfGroup& g, AcDbObjectId& id);
    const AcRxClass* classOf(std::string_view name, const std::vector<std::wstring>& markers);
    // Reads span into a new object of forcedClass, or of the class its name and subclass markers
    // give; a raw entity (entity true) or raw object when no class fits.
    bool readObject(const ObjectSpan& span, const AcRxClass* forcedClass, bool entity,
                    ReadObject& read);
    // Fills object from items through its dxfIn (items come back, as the object read them); the
    // status, and why it failed.
    Acad::ErrorStatus fileIn(AcDbObject* object, DxfItemList& items, std::wstring& why);
    bool addToDatabase(ReadObject& read, AcDbObjectId owner, AcDbObjectId& id);
    bool appendToBlock(AcDbObjectId block, ReadObject& read, std::vector<AcDbHandle> owned,
                       AcDbObjectId& id);
    // Reads one entity (with what it owns) into block, or into the block record its owner group
    // names when ownerDecides.
    bool readEntity(AcDbObjectId block, bool ownerDecides);
    bool readOwnedSequence(AcDbObjectId block, ReadObject& owner);
    bool readRawSequence(AcDbObjectId block, AcDbObjectId ownerId);
    bool readBlockBegin(const ObjectSpan& span, AcDbObjectId& block);

    // --- Checks and roots ---
    // Every handle referred to names an object.
    bool checkReferences();
    // No owner chain loops.
    bool checkOwners();
    // Finds the records the database keeps track of in the tables read so far.
    void findRecords();
    bool findRoots();
    AcDbObjectId recordNamed(AcDbObjectId table, const std::wstring& name) const;
    // The id of the table read for the database accessor of that table, or null.
    AcDbObjectId tableId(AcDbObjectId (AcDbDatabase::*accessor)() const) const;
    bool requireRoot(const AcDbObjectId& id, const wchar_t* what);

    AcDbDatabase* m_db;
    ObjectStore* m_store;
    DrawingRoots& m_roots;
    const std::function<void(const DrawingRoots&)>& m_publish;
    std::optional<DxfLexer> m_lexer;
    DxfGroup m_current;
    bool m_haveCurrent = false;
    std::vector<DxfGroup> m_object;  // the groups of the object read last
    // Reused by readObject from object to object, so that their room is allocated once.
    DxfItemList m_items;
    std::vector<std::wstring> m_markers;
    std::wstring m_classKey;
    std::size_t m_lines = 0;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::wstring m_message;
    std::unordered_map<std::uint64_t, std::size_t> m_references;  // handle -> first line
    std::unordered_map<std::wstring, const AcRxClass*> m_classes;
    std::unordered_set<std::string_view> m_sectionsSeen;
    std::wstring m_currentLayer;
    std::wstring m_currentTextStyle;
    std::wstring m_currentDimStyle;
    bool m_firstObject = true;
};

bool Reader::fail(std::size_t line, Acad::ErrorStatus status, const std::wstring& what) {
    if (m_status == Acad::eOk) {
        m_status = status;
        m_message = L"line " + std::to_wstring(line) + L": " + what;
    }
    return false;
}

std::size_t Reader::lastLine() const {
    return m_lines;
}

bool Reader::isStart(std::string_view name) const {
    return m_haveCurrent && m_current.code == 0 && m_current.text == name;
}

void Reader::advance() {
    m_haveCurrent = m_lexer->next(m_current);
    if (!m_haveCurrent && m_lexer->failed()) {
        failLexing(*m_lexer);
    }
}

bool Reader::failLexing(const DxfLexer& lexer) {
    if (m_status == Acad::eOk) {
        m_status = Acad::eInvalidDxfCode;
        m_message = lexer.message();
    }
    return false;
}

std::wstring Reader::describe(const ObjectSpan& span) const {
    return wide(nameOf(span));
}

// The first pass checks the codes, finds the largest handle and takes a slot for each handle in
// file order (so the database walks its objects as the file has them); nothing is kept per
// group. The second pass reads the objects from a lexer that converts and checks the values.
bool Reader::lex(std::string_view text) {
    DxfLexer lexer(text, DxfLexer::Mode::kCodesOnly);
    std::uint64_t largest = 0;
    DxfGroup g;
    int previousCode = 0;
    bool endsWithEof = false;
    while (lexer.next(g)) {
        // $HANDSEED's value is a group 5 too: only objects' handles count here.
        const bool objectHandle = g.code == kDimStyleHandleCode ||
                                  (g.code == kHandleCode && previousCode != kVariableCode);
        previousCode = g.code;
        endsWithEof = g.code == 0 && g.text == "EOF";
        if (!objectHandle) {
            continue;
        }
        std::uint64_t handle = 0;
        if (!parseHandle(g.text, handle)) {
            return fail(g.line, Acad::eInvalidHandleText,
                        L"handle '" + wide(g.text) + L"' is not hexadecimal");
        }
        if (handle > kMaxHandle) {
            return fail(g.line, Acad::eOutOfRange, L"handle " + wide(g.text) + L" is too large");
        }
        largest = std::max(largest, handle);
        m_store->reserve(AcDbHandle(handle));
    }
    m_lines = lexer.linesRead();
    if (lexer.failed()) {
        return failLexing(lexer);
    }
    if (!endsWithEof) {
        return fail(m_lines + 1, Acad::eDxfReadFailed,
                    L"the file ends without 0 EOF: it is cut short");
    }
    m_store->raiseHandseed(AcDbHandle(largest + 1));
    m_lexer.emplace(text);
    advance();
    return true;
}

ObjectSpan Reader::nextObject() {
    m_object.clear();
    do {
        m_object.push_back(m_current);
        advance();
    } while (m_haveCurrent && m_current.code != 0);
    return ObjectSpan{0, m_object.size()};
}

// --- Sections -----------------------------------------------------------------------------------

bool Reader::readSections() {
    while (!atEnd()) {
        if (isStart("EOF")) {
            return true;
        }
        const DxfGroup& start = group();
        if (!isStart("SECTION")) {
            return fail(start.line, Acad::eBadDxfSequence,
                        L"expected 0 SECTION, found group " + std::to_wstring(start.code) + L" '" +
                            wide(start.text) + L"'");
        }
        advance();
        if (atEnd() || group().code != kNameCode) {
            return fail(atEnd() ? lastLine() + 1 : group().line, Acad::eBadDxfSequence,
                        L"a section starts without its name (group 2)");
        }
        const std::string_view name = group().text;
        const std::size_t line = group().line;
        advance();
        if (!m_sectionsSeen.insert(name).second) {
            return fail(line, Acad::eBadDxfSequence, L"second " + wide(name) + L" section");
        }
        bool ok = false;
        if (name == "HEADER") {
            ok = readHeader();
        } else if (name == "TABLES") {
            ok = readTables();
        } else if (name == "BLOCKS") {
            ok = readBlocks();
        } else if (name == "ENTITIES") {
            const AcDbObjectId modelSpace =
                recordNamed(tableId(&AcDbDatabase::blockTableId), kModelSpaceName);
            ok = modelSpace.isNull() ? fail(line, Acad::eMissingDxfField,
                                            L"ENTITIES come before the *Model_Space block record")
                                     : readEntities(modelSpace, false);
        } else if (name == "OBJECTS") {
            ok = readObjects();
        } else {
            ok = skipSection();
        }
        if (!ok) {
            return false;
        }
        if (!isStart("ENDSEC")) {
            return fail(atEnd() ? lastLine() + 1 : group().line, Acad::eBadDxfSequence,
                        L"section " + wide(name) + L" is not closed by 0 ENDSEC");
        }
        advance();
    }
    return fail(lastLine() + 1, Acad::eDxfReadFailed,
                L"the file ends without 0 EOF: it is cut short");
}

bool Reader::skipSection() {
    while (!atEnd() && !isStart("ENDSEC") && !isStart("EOF")) {
        advance();
    }
    return true;
}

bool Reader::readHeader() {
    while (!atEnd() && group().code != 0) {
        const DxfGroup variable = group();
        if (variable.code != kVariableCode) {
            return fail(variable.line, Acad::eBadDxfSequence,
                        L"expected a header variable (group 9), found group " +
                            std::to_wstring(variable.code));
        }
        advance();
        if (atEnd() || group().code == 0 || group().code == kVariableCode) {
            return fail(variable.line, Acad::eMissingDxfField,
                        L"header variable " + wide(variable.text) + L" has no value");
        }
        const DxfGroup& value = group();
        const HeaderVariable* known = findHeaderVariable(wide(variable.text));
        if (known != nullptr) {
            switch (known->binding) {
                case HeaderBinding::kVersion:
                    if (value.text.size() != kOldestRelease.size() || value.text < kOldestRelease) {
                        return fail(
                            value.line, Acad::eDxfReadFailed,
                            L"release " + wide(value.text) + L" is not read (AC1015 or later is)");
                    }
                    break;
                case HeaderBinding::kHandleSeed: {
                    std::uint64_t seed = 0;
                    if (!parseHandle(value.text, seed) || seed > kMaxHandle) {
                        return fail(value.line, Acad::eInvalidHandleText,
                                    L"$HANDSEED '" + wide(value.text) + L"' is not a handle");
                    }
                    m_store->raiseHandseed(AcDbHandle(seed));
                    break;
                }
                case HeaderBinding::kCurrentLayer:
                    m_currentLayer = wide(value.text);
                    break;
                case HeaderBinding::kCurrentTextStyle:
                    m_currentTextStyle = wide(value.text);
                    break;
                case HeaderBinding::kCurrentDimStyle:
                    m_currentDimStyle = wide(value.text);
                    break;
                default:
                    break;
            }
        }
        while (!atEnd() && group().code != 0 && group().code != kVariableCode) {
            advance();
        }
    }
    return true;
}

bool Reader::readTables() {
    while (!atEnd() && !isStart("ENDSEC")) {
        if (!isStart("TABLE")) {
            return fail(group().line, Acad::eBadDxfSequence,
                        L"expected 0 TABLE, found " + wide(group().text));
        }
        if (!readTable(nextObject())) {
            return false;
        }
    }
    return true;
}

// A table object starts "0 TABLE", "2 name" before its base groups; the table class reads from
// its handle on, up to its AcDbSymbolTable part (a DIMSTYLE table's list of its records after
// that is not kept: the records say which table they are in).
bool Reader::readTable(const ObjectSpan& tableSpan) {
    const std::size_t nameAt = tableSpan.begin + 1;
    if (nameAt >= tableSpan.end || m_object[nameAt].code != kNameCode) {
        return fail(lineOf(tableSpan), Acad::eBadDxfSequence,
                    L"a table starts without its name (group 2)");
    }
    const std::string_view name = m_object[nameAt].text;
    ObjectSpan head{nameAt, tableSpan.end};
    int markers = 0;
    for (std::size_t i = nameAt + 1; i < tableSpan.end; ++i) {
        if (m_object[i].code == kSubclassCode && ++markers == 2) {
            head.end = i;
            break;
        }
    }
    const TableInfo* info = findTable(wide(name));
    if (info == nullptr) {
        return fail(lineOf(tableSpan), Acad::eBadDxfSequence,
                    L"unknown table '" + wide(name) + L"'");
    }
    if (std::any_of(m_roots.tables.begin(), m_roots.tables.end(),
                    [&](const DrawingRoots::Table& t) { return t.info == info; })) {
        return fail(lineOf(tableSpan), Acad::eBadDxfSequence, L"second " + wide(name) + L" table");
    }
    ReadObject table;
    AcDbObjectId tableId;
    if (!readObject(head, classNamed(info->tableClass), false, table) ||
        !addToDatabase(table, AcDbObjectId::kNull, tableId)) {
        return false;
    }
    m_roots.tables.push_back({info, tableId});
    const AcRxClass* recordClass = classNamed(info->recordClass);
    while (!atEnd() && !isStart("ENDTAB")) {
        if (group().code != 0 || isStart("ENDSEC") || isStart("EOF")) {
            return fail(group().line, Acad::eBadDxfSequence,
                        L"table " + wide(name) + L" is not closed by 0 ENDTAB");
        }
        const ObjectSpan span = nextObject();
        if (nameOf(span) != name) {
            return fail(lineOf(span), Acad::eBadDxfSequence,
                        L"a " + describe(span) + L" record in table " + wide(name));
        }
        ReadObject record;
        if (!readObject(span, recordClass, false, record)) {
            return false;
        }
        if (AcDbSymbolTableRecord::cast(record.object.get()) == nullptr) {
            return fail(record.line, Acad::eBadDxfSequence,
                        describe(span) + L" record the table cannot take");
        }
        AcDbSymbolTable* opened = nullptr;
        Acad::ErrorStatus status = acdbOpenObject(opened, tableId, AcDb::kForWrite);
        AcDbObjectId recordId;
        if (status == Acad::eOk) {
            auto* typed = static_cast<AcDbSymbolTableRecord*>(record.object.get());
            status = opened->addRecord(recordId, typed, record.handle);
            opened->close();
        }
        if (status != Acad::eOk) {
            return fail(
                record.line, status,
                describe(span) + L" record cannot be added: " + acadErrorStatusText(status));
        }
        record.object.release()->close();
    }
    if (atEnd()) {
        return fail(lastLine() + 1, Acad::eBadDxfSequence,
                    L"table " + wide(name) + L" is not closed by 0 ENDTAB");
    }
    nextObject();
    findRecords();
    return true;
}

bool Reader::readBlocks() {
    while (!atEnd() && !isStart("ENDSEC")) {
        if (!isStart("BLOCK")) {
            return fail(group().line, Acad::eBadDxfSequence,
                        L"expected 0 BLOCK, found " + wide(group().text));
        }
        AcDbObjectId block;
        if (!readBlockBegin(nextObject(), block) || !readEntities(block, true)) {
            return false;
        }
        nextObject();  // ENDBLK
    }
    return true;
}

bool Reader::readBlockBegin(const ObjectSpan& span, AcDbObjectId& block) {
    std::size_t marker = span.end;
    std::wstring name;
    for (std::size_t i = span.begin + 1; i < span.end; ++i) {
        const DxfGroup& g = m_object[i];
        if (g.code == kSubclassCode && g.text == "AcDbBlockBegin") {
            marker = i;
        } else if (g.code == kNameCode && name.empty()) {
            name = wide(g.text);
        }
    }
    block = recordNamed(tableId(&AcDbDatabase::blockTableId), name);
    if (marker == span.end || block.isNull()) {
        return fail(lineOf(span), Acad::eBadDxfSequence,
                    marker == span.end ? std::wstring(L"BLOCK without its AcDbBlockBegin part")
                                       : L"BLOCK '" + name + L"' has no BLOCK_RECORD");
    }
    DxfItemList items;
    std::vector<std::wstring> markers;
    AcDbHandle ignored;
    ObjectSpan begin{marker - 1, span.end};
    if (!itemsOf(begin, items, markers, ignored)) {
        return false;
    }
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(record, block, AcDb::kForWrite);
    if (status == Acad::eOk) {
        DxfItemFiler filer(std::move(items), m_db);
        status = record->dxfInBlockBegin(&filer);
        if (status != Acad::eOk) {
            fail(lineOf(span), status, L"BLOCK '" + name + L"': " + filer.errorMessage());
        }
        record->close();
    }
    return status == Acad::eOk ||
           fail(lineOf(span), status, L"BLOCK '" + name + L"': " + acadErrorStatusText(status));
}

bool Reader::readEntities(AcDbObjectId block, bool untilEndBlock) {
    while (!atEnd() && !isStart("ENDSEC") && !isStart("EOF")) {
        if (isStart("ENDBLK")) {
            return untilEndBlock ||
                   fail(group().line, Acad::eBadDxfSequence, L"ENDBLK outside a block");
        }
        if (group().code != 0) {
            return fail(group().line, Acad::eBadDxfSequence, L"expected an entity (group 0)");
        }
        if (!readEntity(block, !untilEndBlock)) {
            return false;
        }
    }
    return !untilEndBlock || fail(atEnd() ? lastLine() + 1 : group().line, Acad::eBadDxfSequence,
                                  L"a block is not closed by 0 ENDBLK");
}

bool Reader::readEntity(AcDbObjectId block, bool ownerDecides) {
    const ObjectSpan span = nextObject();
    ReadObject read;
    if (!readObject(span, nullptr, true, read)) {
        return false;
    }
    const AcDbObjectId owner = read.object->ownerId();
    if (ownerDecides && AcDbBlockTableRecord::cast(m_db->objectAt(owner)) != nullptr) {
        block = owner;
    }
    const bool raw = AcDbRawEntity::cast(read.object.get()) != nullptr;
    const bool sequenceOwner = nameOf(span) == "POLYLINE" || nameOf(span) == "INSERT";
    const bool hasOwned = AcDb2dPolyline::cast(read.object.get()) != nullptr ||
                          AcDb3dPolyline::cast(read.object.get()) != nullptr ||
                          AcDbBlockReference::cast(read.object.get()) != nullptr;
    if (hasOwned) {
        return readOwnedSequence(block, read);
    }
    AcDbObjectId id;
    if (!appendToBlock(block, read, {}, id)) {
        return false;
    }
    return !raw || !sequenceOwner || readRawSequence(block, id);
}

// Vertices or attributes after their owner, then the sequence end: filed into the owner, which
// adds them under their own handles when it is appended.
bool Reader::readOwnedSequence(AcDbObjectId block, ReadObject& owner) {
    std::vector<AcDbHandle> handles;
    const bool polyline = AcDbBlockReference::cast(owner.object.get()) == nullptr;
    const std::string_view childName = polyline ? "VERTEX" : "ATTRIB";
    while (isStart(childName)) {
        const ObjectSpan span = nextObject();
        ReadObject child;
        if (!readObject(span, nullptr, true, child)) {
            return false;
        }
        Acad::ErrorStatus status = Acad::eNotThatKindOfClass;
        AcDbEntity* entity = AcDbEntity::cast(child.object.get());
        if (auto* pline = AcDb2dPolyline::cast(owner.object.get())) {
            if (auto* vertex = AcDb2dVertex::cast(entity)) {
                status = pline->appendVertex(vertex);
            }
        } else if (auto* pline3d = AcDb3dPolyline::cast(owner.object.get())) {
            if (auto* vertex = AcDb3dPolylineVertex::cast(entity)) {
                status = pline3d->appendVertex(vertex);
            }
        } else if (auto* attribute = AcDbAttribute::cast(entity)) {
            status = AcDbBlockReference::cast(owner.object.get())->appendAttribute(attribute);
        }
        if (status != Acad::eOk) {
            return fail(child.line, Acad::eBadDxfSequence,
                        describe(span) + L" does not fit the " + dxfNameOf(owner.object.get()) +
                            L" of line " + std::to_wstring(owner.line));
        }
        child.object.release();
        handles.push_back(child.handle);
    }
    if (isStart("SEQEND")) {
        const ObjectSpan span = nextObject();
        DxfItemList items;
        std::vector<std::wstring> markers;
        AcDbHandle handle;
        if (!itemsOf(span, items, markers, handle)) {
            return false;
        }
        handles.push_back(handle);
    } else if (polyline || !handles.empty()) {
        return fail(owner.line, Acad::eBadDxfSequence,
                    std::wstring(dxfNameOf(owner.object.get())) + L" is not closed by 0 SEQEND");
    }
    AcDbObjectId id;
    return appendToBlock(block, owner, std::move(handles), id);
}

// The vertices, attributes and sequence end of an unmodelled owner stay raw entities after it.
bool Reader::readRawSequence(AcDbObjectId block, AcDbObjectId ownerId) {
    bool inSequence = false;
    while (isStart("VERTEX") || isStart("ATTRIB") || (inSequence && isStart("SEQEND"))) {
        const bool end = isStart("SEQEND");
        const ObjectSpan span = nextObject();
        ReadObject child;
        if (!readObject(span, AcDbRawEntity::desc(), true, child)) {
            return false;
        }
        AcDbObjectId id;
        if (!appendToBlock(block, child, {}, id)) {
            return false;
        }
        AcDbObject* opened = nullptr;
        if (acdbOpenAcDbObject(opened, id, AcDb::kForWrite) == Acad::eOk) {
            host::ObjectAccess::setOwner(opened, ownerId);
            opened->close();
        }
        inSequence = true;
        if (end) {
            break;
        }
    }
    return true;
}

bool Reader::readObjects() {
    while (!atEnd() && !isStart("ENDSEC") && !isStart("EOF")) {
        if (group().code != 0) {
            return fail(group().line, Acad::eBadDxfSequence, L"expected an object (group 0)");
        }
        const ObjectSpan span = nextObject();
        ReadObject read;
        AcDbObjectId id;
        if (!readObject(span, nullptr, false, read)) {
            return false;
        }
        const AcDbObjectId owner = read.object->ownerId();
        const bool dictionary = AcDbDictionary::cast(read.object.get()) != nullptr;
        if (!addToDatabase(read, owner, id)) {
            return false;
        }
        if (m_firstObject && dictionary && owner.isNull()) {
            m_roots.namedObjectsDictionary = id;
        }
        m_firstObject = false;
    }
    return true;
}

// --- Objects ------------------------------------------------------------------------------------

bool Reader::idOf(const DxfGroup& g, AcDbObjectId& id) {
    const auto handle = static_cast<std::uint64_t>(g.integer);
    if (handle == 0) {
        id = AcDbObjectId::kNull;
        return true;
    }
    if (handle > kMaxHandle) {
        return fail(g.line, Acad::eOutOfRange, L"handle " + wide(g.text) + L" is too large");
    }
    m_db->getAcDbObjectId(id, true, AcDbHandle(handle));
    if (m_db->objectAt(id) == nullptr) {
        m_references.emplace(handle, g.line);
    }
    return true;
}

bool Reader::itemsOf(const ObjectSpan& span, DxfItemList& items, std::vector<std::wstring>& markers,
                     AcDbHandle& handle) {
    items.clear();
    items.reserve(span.end - span.begin);
    for (std::size_t i = span.begin + 1; i < span.end; ++i) {
        const DxfGroup& g = m_object[i];
        DxfItem& item = items.emplace_back();
        item.code = g.code;
        switch (g.valueClass) {
            case GroupValueClass::kText:
                item.value = textOf(g.text);
                if (g.code == kSubclassCode) {
                    markers.push_back(item.text());
                }
                if ((g.code == kHandleCode || g.code == kDimStyleHandleCode) && handle.isNull()) {
                    std::uint64_t value = 0;
                    parseHandle(g.text, value);
                    handle = AcDbHandle(value);
                }
                break;
            case GroupValueClass::kReal:
                item.value = g.x;
                break;
            case GroupValueClass::kPoint:
                item.value = AcGePoint3d(g.x, g.y, g.z);
                break;
            case GroupValueClass::kBinary:
                item.value = bytesOf(g.text);
                break;
            case GroupValueClass::kName: {
                AcDbObjectId id;
                if (!idOf(g, id)) {
                    return false;
                }
                item.value = id;
                break;
            }
            case GroupValueClass::kNone:
            case GroupValueClass::kUnknown:
                break;
            default:
                item.value = g.integer;
                break;
        }
    }
    return true;
}

const AcRxClass* Reader::classOf(std::string_view name, const std::vector<std::wstring>& markers) {
    // The key only has to tell names apart: bytes are widened one by one, with no allocation.
    std::wstring& key = m_classKey;
    key.clear();
    for (const char c : name) {
        key += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    const std::size_t nameLength = key.size();
    for (const std::wstring& marker : markers) {
        key += L'|';
        key += marker;
    }
    auto found = m_classes.find(key);
    if (found == m_classes.end()) {
        found = m_classes.emplace(key, classForDxfName(key.substr(0, nameLength), markers)).first;
    }
    return found->second;
}

bool Reader::readObject(const ObjectSpan& span, const AcRxClass* forcedClass, bool entity,
                        ReadObject& read) {
    DxfItemList& items = m_items;
    std::vector<std::wstring>& markers = m_markers;
    markers.clear();
    read.line = lineOf(span);
    read.handle = AcDbHandle();
    if (!itemsOf(span, items, markers, read.handle)) {
        return false;
    }
    const AcRxClass* cls = forcedClass != nullptr ? forcedClass : classOf(nameOf(span), markers);
    const bool isEntityClass = cls != nullptr && cls->isDerivedFrom(AcDbEntity::desc());
    if (cls != nullptr && forcedClass == nullptr && isEntityClass != entity) {
        cls = nullptr;  // a known name in the wrong section: kept as found
    }
    if (cls != nullptr && cls != AcDbRawEntity::desc() && cls != AcDbRawObject::desc()) {
        read.object.reset(created<AcDbObject>(cls));
        if (read.object == nullptr) {
            return fail(read.line, Acad::eClassNotFound,
                        L"class " + std::wstring(cls->name()) + L" cannot be created");
        }
        convertAngles(describe(span), items, 0, items.size(), false);
        std::wstring why;
        const Acad::ErrorStatus status = fileIn(read.object.get(), items, why);
        if (status != Acad::eDxfReadFailed) {
            return status == Acad::eOk || fail(read.line, status, describe(span) + L": " + why);
        }
        // The class does not take this variant of its kind: kept as it came.
        markers.clear();
        itemsOf(span, items, markers, read.handle);
    }
    if (entity) {
        read.object = std::make_unique<AcDbRawEntity>(describe(span));
    } else {
        read.object = std::make_unique<AcDbRawObject>(describe(span));
    }
    std::wstring why;
    const Acad::ErrorStatus status = fileIn(read.object.get(), items, why);
    return status == Acad::eOk || fail(read.line, status, describe(span) + L": " + why);
}

Acad::ErrorStatus Reader::fileIn(AcDbObject* object, DxfItemList& items, std::wstring& why) {
    DxfItemFiler filer(std::move(items), m_db);
    const Acad::ErrorStatus status = object->dxfIn(&filer);
    items = filer.takeItems();
    if (status != Acad::eOk) {
        why = *filer.errorMessage() != L'\0' ? std::wstring(filer.errorMessage())
                                             : std::wstring(acadErrorStatusText(status));
    }
    return status;
}

bool Reader::addToDatabase(ReadObject& read, AcDbObjectId owner, AcDbObjectId& id) {
    const Acad::ErrorStatus status = m_db->addObject(read.object.get(), owner, id, read.handle);
    if (status == Acad::eHandleInUse) {
        return fail(read.line, status,
                    L"handle " + std::wstring(read.handle.text()) + L" is used twice");
    }
    if (status != Acad::eOk) {
        return fail(read.line, status,
                    std::wstring(dxfNameOf(read.object.get())) + L" cannot be added: " +
                        acadErrorStatusText(status));
    }
    read.object.release()->close();
    return true;
}

bool Reader::appendToBlock(AcDbObjectId block, ReadObject& read, std::vector<AcDbHandle> owned,
                           AcDbObjectId& id) {
    if (!read.handle.isNull()) {
        if (m_store->objectOf(read.handle) != nullptr) {
            return fail(read.line, Acad::eHandleInUse,
                        L"handle " + std::wstring(read.handle.text()) + L" is used twice");
        }
    }
    for (const AcDbHandle& handle : owned) {
        if (!handle.isNull() && m_store->objectOf(handle) != nullptr) {
            return fail(read.line, Acad::eHandleInUse,
                        L"handle " + std::wstring(handle.text()) + L" is used twice");
        }
    }
    owned.insert(owned.begin(), read.handle);
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(record, block, AcDb::kForWrite);
    if (status == Acad::eOk) {
        m_store->presetHandles(std::move(owned));
        auto* entity = static_cast<AcDbEntity*>(read.object.get());
        status = record->appendAcDbEntity(id, entity);
        m_store->clearPresetHandles();
        record->close();
    }
    if (status != Acad::eOk) {
        return fail(read.line, status,
                    std::wstring(dxfNameOf(read.object.get())) + L" cannot be added: " +
                        acadErrorStatusText(status));
    }
    read.object.release()->close();
    return true;
}

// --- Checks and roots ---------------------------------------------------------------------------

bool Reader::checkReferences() {
    std::size_t firstLine = 0;
    std::uint64_t firstHandle = 0;
    for (const auto& [handle, line] : m_references) {
        if (m_store->objectOf(AcDbHandle(handle)) == nullptr &&
            (firstLine == 0 || line < firstLine)) {
            firstLine = line;
            firstHandle = handle;
        }
    }
    return firstLine == 0 || fail(firstLine, Acad::eBadDxfSequence,
                                  L"handle " + std::wstring(AcDbHandle(firstHandle).text()) +
                                      L" is referred to but no object has it");
}

bool Reader::checkOwners() {
    constexpr std::uint8_t kOnWalk = 1;
    constexpr std::uint8_t kChecked = 2;
    FlatMarks state(m_store->size());  // by handle
    const auto key = [](const ObjectSlot* slot) { return slot->handle.value(); };
    std::vector<const ObjectSlot*> walk;
    for (std::uint32_t start : m_store->slots()) {
        walk.clear();
        const ObjectSlot* slot = &slotAt(start);
        while (slot != nullptr && slot->object != nullptr && state.get(key(slot)) == 0) {
            state.set(key(slot), kOnWalk);
            walk.push_back(slot);
            slot = slot->object->ownerId().liveSlot();
        }
        if (slot != nullptr && state.get(key(slot)) == kOnWalk) {
            return fail(
                lastLine(), Acad::eSelfReference,
                L"the owners of object " + std::wstring(slot->handle.text()) + L" loop back to it");
        }
        for (const ObjectSlot* done : walk) {
            state.set(key(done), kChecked);
        }
    }
    return true;
}

AcDbObjectId Reader::recordNamed(AcDbObjectId table, const std::wstring& name) const {
    AcDbObjectId id;
    AcDbSymbolTable* opened = nullptr;
    if (!table.isNull() && !name.empty() &&
        acdbOpenObject(opened, table, AcDb::kForRead) == Acad::eOk) {
        opened->getAt(name.c_str(), id);
        opened->close();
    }
    return id;
}

AcDbObjectId Reader::tableId(AcDbObjectId (AcDbDatabase::*accessor)() const) const {
    for (const DrawingRoots::Table& t : m_roots.tables) {
        if (t.info->tableId == accessor) {
            return t.id;
        }
    }
    return AcDbObjectId();
}

bool Reader::requireRoot(const AcDbObjectId& id, const wchar_t* what) {
    return !id.isNull() ||
           fail(lastLine(), Acad::eMissingDxfField, std::wstring(L"the file has no ") + what);
}

void Reader::findRecords() {
    const AcDbObjectId blocks = tableId(&AcDbDatabase::blockTableId);
    const AcDbObjectId layers = tableId(&AcDbDatabase::layerTableId);
    const AcDbObjectId linetypes = tableId(&AcDbDatabase::linetypeTableId);
    const AcDbObjectId styles = tableId(&AcDbDatabase::textStyleTableId);
    const AcDbObjectId dimstyles = tableId(&AcDbDatabase::dimStyleTableId);
    m_roots.modelSpace = recordNamed(blocks, kModelSpaceName);
    m_roots.paperSpace = recordNamed(blocks, kPaperSpaceName);
    m_roots.layerZero = recordNamed(layers, L"0");
    m_roots.continuousLinetype = recordNamed(linetypes, L"Continuous");
    m_roots.byLayerLinetype = recordNamed(linetypes, L"ByLayer");
    m_roots.byBlockLinetype = recordNamed(linetypes, L"ByBlock");
    m_roots.clayer = recordNamed(layers, m_currentLayer);
    if (m_roots.clayer.isNull()) {
        m_roots.clayer = m_roots.layerZero;
    }
    m_roots.textstyle = recordNamed(styles, m_currentTextStyle);
    if (m_roots.textstyle.isNull()) {
        m_roots.textstyle = recordNamed(styles, L"Standard");
    }
    m_roots.dimstyle = recordNamed(dimstyles, m_currentDimStyle);
    AcDbSymbolTable* table = nullptr;
    if (m_roots.dimstyle.isNull() && !dimstyles.isNull() &&
        acdbOpenObject(table, dimstyles, AcDb::kForRead) == Acad::eOk) {
        AcDbSymbolTableIterator* it = nullptr;
        if (table->newIterator(it) == Acad::eOk && !it->done()) {
            it->getRecordId(m_roots.dimstyle);
        }
        delete it;
        table->close();
    }
    m_publish(m_roots);
}

bool Reader::findRoots() {
    for (const TableInfo& info : tableOrder()) {
        if (tableId(info.tableId).isNull()) {
            return fail(lastLine(), Acad::eMissingDxfField,
                        std::wstring(L"the file has no ") + info.dxfName + L" table");
        }
    }
    findRecords();
    return requireRoot(m_roots.modelSpace, L"*Model_Space block") &&
           requireRoot(m_roots.paperSpace, L"*Paper_Space block") &&
           requireRoot(m_roots.layerZero, L"layer 0") &&
           requireRoot(m_roots.continuousLinetype, L"linetype Continuous") &&
           requireRoot(m_roots.byLayerLinetype, L"linetype ByLayer") &&
           requireRoot(m_roots.byBlockLinetype, L"linetype ByBlock") &&
           requireRoot(m_roots.namedObjectsDictionary, L"named object dictionary");
}

Acad::ErrorStatus Reader::read(std::string_view text) {
    m_db->disableUndoRecording(true);
    const bool ok =
        lex(text) && readSections() && checkReferences() && checkOwners() && findRoots();
    return ok && m_status == Acad::eOk ? Acad::eOk : m_status;
}

}  // namespace

Acad::ErrorStatus readDrawing(std::string_view text, AcDbDatabase* db, DrawingRoots& roots,
                              const std::function<void(const DrawingRoots&)>& publish,
                              std::wstring& message) {
    Reader reader(db, roots, publish);
    const Acad::ErrorStatus status = reader.read(text);
    message = reader.message();
    return status;
}

}  // namespace host::dxf
