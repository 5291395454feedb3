// The DXF reader: a look ahead at the HEADER section finds the release and code page, then one
// pass walks the sections, turning each object's groups into an item list (handles into ids of
// the database, angles into radians) that the object reads through its own dxfIn. Damage a
// careful reader can repair is repaired and reported in the result.
#include "kestrel/host/dxf/dxf_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cwchar>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <variant>

#include "host/db/object_access.h"
#include "host/db/object_store.h"
#include "host/dxf/dxf_conventions.h"
#include "host/dxf/dxf_lexer.h"
#include "host/dxf/dxf_text_decoder.h"
#include "host/dxf/flat_marks.h"
#include "host/dxf/legacy_layout.h"
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dictionary.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/db/symbol_name.h"
#include "kestrel/host/db/symbol_table.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/dictionary.h"
#include "kestrel/platform/utf8.h"

namespace host::dxf {
namespace {

constexpr std::uint64_t kMaxHandle = (std::uint64_t{1} << 48) - 1;
// Releases from this one on carry handles on every object and subclass markers.
constexpr std::string_view kFirstHandledRelease = "AC1012";
// Releases from this one on have the full set of tables, records and dictionaries.
constexpr std::string_view kFirstCompleteRelease = "AC1015";
constexpr int kNameCode = 2;
constexpr int kBlockNameCode = 3;  // a BLOCK's name again
constexpr int kHandleCode = 5;
constexpr int kPaperSpaceCode = 67;
constexpr int kSubclassCode = 100;
constexpr const wchar_t* kUnnamedBlock = L"Unnamed";

// One object of the file: its groups [begin, end), begin being its group 0.
struct ObjectSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// What an object's handle group said.
enum class HandleState { kGiven, kAbsent, kInvalid };

// An object read from the file but not yet in the database.
struct ReadObject {
    std::unique_ptr<AcDbObject> object;
    AcDbHandle handle;
    HandleState handleState = HandleState::kAbsent;
    std::wstring handleText;  // the handle as written, when it was invalid or taken
    std::wstring formerName;  // a record's name as written, when it broke the name rules
    std::wstring kind;        // the DXF name
    std::size_t line = 0;
};

std::wstring wide(std::string_view text) {
    return utf8ToWide(text);
}

// The names of group 0 that mark the file's structure: no entity or object is called so.
bool isStructureName(std::string_view name) {
    for (const std::string_view word :
         {"SECTION", "ENDSEC", "CLASS", "TABLE", "ENDTAB", "BLOCK", "ENDBLK", "EOF"}) {
        if (name == word) {
            return true;
        }
    }
    return false;
}

bool parseHandle(std::string_view text, std::uint64_t& handle) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), handle, 16);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           handle != 0 && handle <= kMaxHandle;
}

bool isObjectHandleCode(int code) {
    return code == kHandleCode || code == kDimStyleHandleCode;
}

// Picks the object handles (groups 5 and 105) out of a text's groups, taken in file order,
// passing over the value of each header variable ($HANDSEED is no object's handle).
class HandleSpotter {
public:
    // The object handle g holds, or 0.
    std::uint64_t handleIn(const DxfGroup& g) {
        if (g.code == kVariableCode) {
            m_afterVariable = true;
            return 0;
        }
        std::uint64_t handle = 0;
        const bool value = std::exchange(m_afterVariable, false);
        return !value && isObjectHandleCode(g.code) && parseHandle(g.text, handle) ? handle : 0;
    }

private:
    bool m_afterVariable = false;
};

// What a look over every code of a text, up to its EOF marker, finds; nothing is kept per
// group. When reading stops, it names the cause: a code that does not read, or a missing EOF
// marker, comes before whatever the groups broke.
struct CodeSurvey {
    std::wstring lexerMessage;  // empty when every code read
    std::size_t linesRead = 0;
    std::optional<DxfGroup> eof;
    std::uint64_t largestHandle = 0;
};

CodeSurvey surveyCodes(std::string_view text) {
    DxfLexer lexer(text, DxfLexer::Mode::kCodesOnly);
    CodeSurvey survey;
    HandleSpotter spotter;
    DxfGroup g;
    while (lexer.next(g)) {
        if (g.code == 0 && g.text == "EOF") {
            survey.eof = g;
            break;
        }
        survey.largestHandle = std::max(survey.largestHandle, spotter.handleIn(g));
    }
    survey.lexerMessage = lexer.message();
    survey.linesRead = lexer.linesRead();
    return survey;
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

// A record name the name rules accept, made from one they refuse: characters they refuse become
// '_', surrounding blanks go, an empty name becomes "Unnamed".
std::wstring validRecordName(const std::wstring& name, bool starAllowed) {
    constexpr std::wstring_view kRefused = L"<>/\\\":;?*|,=`";
    std::wstring valid;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        const bool leadingStar = c == L'*' && i == 0 && starAllowed;
        valid +=
            (c < L' ' || (kRefused.find(c) != std::wstring_view::npos && !leadingStar)) ? L'_' : c;
    }
    const std::size_t first = valid.find_first_not_of(L' ');
    valid = first == std::wstring::npos
                ? std::wstring()
                : valid.substr(first, valid.find_last_not_of(L' ') - first + 1);
    valid = valid.substr(0, kMaxSymbolNameLength);
    return valid.empty() || valid == L"*" ? L"Unnamed" : valid;
}

// The T an item's value holds, made empty first when it held another kind: a text or chunk
// read into it reuses the room of the one before.
template <class T>
T& valueOfKind(DxfItem::Value& value) {
    T* held = std::get_if<T>(&value);
    return held != nullptr ? *held : value.emplace<T>();
}

class Reader : public RecordResolver {
public:
    Reader(AcDbDatabase* db, DrawingRoots& roots,
           const std::function<void(const DrawingRoots&)>& publish, DrawingReadResult& result)
        : m_db(db),
          m_store(db->objectStore()),
          m_roots(roots),
          m_publish(publish),
          m_result(result) {}

    Acad::ErrorStatus read(std::string_view text);

    // The record substitutes and additions of a damaged drawing (RecordResolver).
    AcDbObjectId missingRecord(AcDbObjectId tableId, const std::wstring& name) override;

private:
    // --- Groups and errors ---
    bool fail(std::size_t line, Acad::ErrorStatus status, const std::wstring& what);
    // "line 12" in an ASCII file, "byte 4711" in a binary one.
    std::wstring where(std::size_t line) const;
    // A text value decoded from the file's encoding; bytes that do not decode are reported.
    std::wstring textOf(const DxfGroup& g);
    // The same into text, replacing its content (reusing its room).
    void decodeText(const DxfGroup& g, std::wstring& text);
    // Records the lexer's error, at the line it reached (the first error recorded wins).
    bool failLexing(std::size_t line, const std::wstring& message);
    // Reads the release, code page and handle seed of the HEADER section, makes the decoder and
    // moves to the first group.
    void start(std::string_view text);
    void readFormatVariable(std::string_view variable, const DxfGroup& value);
    // After the sections are read: the objects' slots in the order of the file's handles, the
    // handle seed above them all.
    void settleHandles();
    // Reading stopped: a code that does not read, or a missing EOF marker, anywhere in the text
    // is reported in place of what stopped it; the status.
    Acad::ErrorStatus failOnDamage();
    // Bytes after the end marker other than blanks, line ends and the old end-of-text byte are
    // ignored and reported, first among the repairs.
    void checkAfterEof(const DxfGroup& eof);
    // The look over the text's codes, taken once, when first asked for.
    const CodeSurvey& survey();
    // The current group: the next one not yet taken into an object.
    const DxfGroup& group() const { return m_current; }
    bool atEnd() const { return !m_haveCurrent; }
    // Moves to the next group of the text.
    void advance();
    // True when the current group starts an object (or marker) of that name.
    bool isStart(std::string_view name) const;
    // The line of the EOF marker, where a text that stops too early stops.
    std::size_t lastLine() const { return m_eof ? m_eof->line : 0; }
    // Takes the object starting at the current group 0 into m_object (valid until the next
    // call) and moves past it.
    ObjectSpan nextObject();
    std::string_view nameOf(const ObjectSpan& span) const { return m_object[span.begin].text; }
    std::size_t lineOf(const ObjectSpan& span) const { return m_object[span.begin].line; }
    std::wstring describe(const ObjectSpan& span) const { return wide(nameOf(span)); }

    // --- Repairs ---
    bool modernRelease() const { return m_release >= kFirstHandledRelease; }
    void repair(RepairCode code, std::wstring kind, std::size_t line, std::wstring action,
                AcDbHandle handle = AcDbHandle());
    // Gives the repairs of the object just added, made before it had its handle, that handle.
    void settleRepairs(AcDbObjectId id);
    // Reports a handle the object could not keep, once it has its new one.
    void reportHandle(const ReadObject& read, AcDbObjectId id);

    // --- Sections ---
    bool readSections();
    bool readSection(std::string_view name, std::size_t line);
    bool readHeader();
    // Keeps the variable name and its value groups (up to the next variable) for the writer,
    // unless a value could not be written back as read.
    void keepHeaderVariable(const std::wstring& name);
    bool skipSection();
    bool readTables();
    bool readTable(const ObjectSpan& tableSpan);
    bool addRecord(AcDbObjectId tableId, const ObjectSpan& span, ReadObject& record);
    bool readBlocks();
    bool readBlockBegin(const ObjectSpan& span, AcDbObjectId& block);
    // The block record for a BLOCK called name, added when the file has none; a name that
    // breaks the rules is replaced (and name with it).
    AcDbObjectId blockRecordFor(std::wstring& name, std::size_t line);
    bool readEntities(AcDbObjectId block, bool untilEndBlock);
    bool readObjects();

    // --- Objects ---
    // The items of the groups of span after its group 0, and its subclass markers. Both lists
    // are overwritten in place: texts and chunks reuse the room of the object read before.
    void itemsOf(const ObjectSpan& span, DxfItemList& items, std::vector<std::wstring>& markers,
                 ReadObject& read);
    void fillItem(const DxfGroup& g, DxfItem& item, ReadObject& read);
    AcDbObjectId idOf(const DxfGroup& g);
    AcDbObjectId idOfName(const DxfGroup& g);
    const AcRxClass* classOf(std::string_view name, const std::vector<std::wstring>& markers);
    // Reads span into a new object of forcedClass, or of the class its name and subclass markers
    // give; a raw entity (entity true) or raw object when no class fits.
    bool readObject(const ObjectSpan& span, const AcRxClass* forcedClass, bool entity,
                    ReadObject& read);
    // Fills object from items through its dxfIn (items come back, as the object read them); the
    // status, and why it failed.
    Acad::ErrorStatus fileIn(AcDbObject* object, DxfItemList& items, bool implied,
                             std::wstring& why);
    // Fills a raw object from the items, in the later layout when they have no markers.
    bool fileInRaw(const ObjectSpan& span, bool entity, DxfItemList& items, ReadObject& read);
    // Drops what only the object's base may hold when it stands again among the groups a raw
    // object keeps: a second AcDbEntity section, extension dictionary or reactor groups after
    // the first subclass marker. Kept, they would be written back beside the base's own.
    // items must still match the span group for group (for the lines reported).
    void dropRepeatedBaseGroups(const ObjectSpan& span, DxfItemList& items);
    // An array of block references kept raw names its block as text (group 2): a name of no
    // block gets an empty block, as a reference the host models does, and a missing or empty
    // name becomes "Unnamed".
    void nameRawInsertBlock(DxfItemList& items);
    bool renameRecord(DxfItemList& items, ReadObject& read);
    // The handle the object gets: its own, or null (a new one) when another object has it.
    AcDbHandle freeHandle(ReadObject& read);
    bool addToDatabase(ReadObject& read, AcDbObjectId owner, AcDbObjectId& id);
    bool appendToBlock(AcDbObjectId block, ReadObject& read, std::vector<AcDbHandle> owned,
                       AcDbObjectId& id);
    // Reads one entity (with what it owns) into block, or into the block record its owner group
    // names when ownerDecides.
    bool readEntity(AcDbObjectId block, bool ownerDecides);
    void giveBlockToReference(const ReadObject& read);
    AcDbObjectId entityBlock(const ReadObject& read, const ObjectSpan& span);
    bool readOwnedSequence(AcDbObjectId block, ReadObject& owner);
    bool readRawSequence(AcDbObjectId block, AcDbObjectId ownerId);

    // --- Checks and roots ---
    // Drops the references to handles no object has.
    void dropDanglingReferences();
    // Gives an object whose owner does not hold it the dictionary or object that does (the
    // first in the order of handles, when several do); a dictionary or object that claims an
    // object its owner holds, or names as its extension dictionary an object that is no
    // dictionary, loses that reference.
    void repairOwners();
    // True when holder has held as an entry, a record or its extension dictionary.
    bool holds(AcDbObjectId holder, AcDbObjectId held) const;
    // The objects a dictionary holds as entries: a modelled one's, or those a kept one names
    // (a name group, then the object). Empty for anything else.
    std::vector<AcDbObjectId> entriesOf(AcDbObjectId id) const;
    // Makes holder the owner of held when held's owner does not hold it; when it does, the pair
    // is added to crossLinks.
    void adoptHeld(AcDbObjectId held, AcDbObjectId holder,
                   std::vector<std::pair<AcDbObjectId, AcDbObjectId>>& crossLinks);
    // Rewrites the object's references for which drop is true as null ones.
    void dropReferences(AcDbObjectId id, const std::function<bool(AcDbObjectId)>& drop);
    // No owner chain loops.
    bool checkOwners();
    // Finds the records the database keeps track of in the tables read so far.
    void findRecords();
    // Adds what the drawing must have and lacks (the tables and their records only, or the named
    // object dictionary and layouts too), reporting it for releases that must have it.
    void completeDrawing(bool withDictionaries);
    AcDbObjectId recordNamed(AcDbObjectId table, const std::wstring& name) const;
    // The id of the table read for the database accessor of that table, or null.
    AcDbObjectId tableId(AcDbObjectId (AcDbDatabase::*accessor)() const) const;
    // A new record called name in the table, of the table's record class; null on failure.
    AcDbObjectId addNamedRecord(AcDbObjectId table, const std::wstring& name);

    AcDbDatabase* m_db;
    ObjectStore* m_store;
    DrawingRoots& m_roots;
    const std::function<void(const DrawingRoots&)>& m_publish;
    DrawingReadResult& m_result;
    std::string_view m_text;
    std::optional<DxfLexer> m_lexer;
    DxfGroup m_current;
    bool m_haveCurrent = false;
    std::optional<DxfGroup> m_eof;
    HandleSpotter m_handles;
    std::uint64_t m_largestHandle = 0;
    // The slots of the object handles, as the file gives them (repeats included).
    std::vector<std::uint32_t> m_fileOrder;
    std::optional<CodeSurvey> m_survey;
    std::vector<DxfGroup> m_object;  // the groups of the object read last
    // Reused by readObject from object to object, so that their room is allocated once.
    DxfItemList m_items;
    std::vector<std::wstring> m_markers;
    std::wstring m_classKey;
    std::string m_release;
    std::string m_codePage;
    std::optional<DxfTextDecoder> m_decoder;
    std::size_t m_objectRepairs = 0;  // the first repair of the object being read
    std::size_t m_objectLine = 0;
    std::wstring m_objectKind;
    // Handles referred to that had no object when read, with the line of each reference (the
    // same handle may come more than once): checked once the file is read.
    std::vector<std::pair<std::uint64_t, std::size_t>> m_references;
    std::unordered_map<std::wstring, const AcRxClass*> m_classes;
    std::unordered_set<std::string_view> m_sectionsSeen;
    // Records renamed because their names broke the rules: (table, folded old name) -> record.
    std::map<std::pair<std::uint64_t, std::wstring>, AcDbObjectId> m_renamed;
    std::wstring m_currentLayer;
    std::wstring m_currentTextStyle;
    std::wstring m_currentDimStyle;
    bool m_firstObject = true;
};

bool Reader::fail(std::size_t line, Acad::ErrorStatus status, const std::wstring& what) {
    if (m_result.status == Acad::eOk) {
        m_result.status = status;
        m_result.line = line;
        m_result.description = where(line) + L": " + what;
    }
    return false;
}

std::wstring Reader::where(std::size_t line) const {
    return (m_result.binary ? L"byte " : L"line ") + std::to_wstring(line);
}

std::wstring Reader::textOf(const DxfGroup& g) {
    std::wstring text;
    decodeText(g, text);
    return text;
}

void Reader::decodeText(const DxfGroup& g, std::wstring& text) {
    if (!m_decoder->decode(g.text, text)) {
        repair(RepairCode::kUndecodableText, m_objectKind, g.line,
               L"group " + std::to_wstring(g.code) +
                   L": bytes that do not decode in the file's encoding were read as U+FFFD");
    }
}

bool Reader::failLexing(std::size_t line, const std::wstring& message) {
    if (m_result.status == Acad::eOk) {
        m_result.status = Acad::eInvalidDxfCode;
        m_result.line = line;
        m_result.description = message;
    }
    return false;
}

bool Reader::isStart(std::string_view name) const {
    return m_haveCurrent && m_current.code == 0 && m_current.text == name;
}

// The text ends at its EOF marker. Each object handle gets its slot as it comes, so that the
// database walks its objects as the file has them.
void Reader::advance() {
    m_haveCurrent = m_lexer->next(m_current);
    if (!m_haveCurrent) {
        if (m_lexer->failed()) {
            failLexing(m_lexer->linesRead(), m_lexer->message());
        }
        return;
    }
    if (m_current.code == 0 && m_current.text == "EOF") {
        m_eof = m_current;
        m_haveCurrent = false;
    } else if (const std::uint64_t handle = m_handles.handleIn(m_current); handle != 0) {
        m_largestHandle = std::max(m_largestHandle, handle);
        m_fileOrder.push_back(m_store->reserve(AcDbHandle(handle)));
    }
}

// --- Repairs ------------------------------------------------------------------------------------

void Reader::repair(RepairCode code, std::wstring kind, std::size_t line, std::wstring action,
                    AcDbHandle handle) {
    m_result.repairs.push_back(Repair{code, handle, std::move(kind), line, std::move(action)});
}

void Reader::settleRepairs(AcDbObjectId id) {
    for (std::size_t i = m_objectRepairs; i < m_result.repairs.size(); ++i) {
        if (m_result.repairs[i].handle.isNull()) {
            m_result.repairs[i].handle = id.handle();
        }
    }
    m_objectRepairs = m_result.repairs.size();
}

void Reader::reportHandle(const ReadObject& read, AcDbObjectId id) {
    const std::wstring& kind = read.kind;
    // Built only for a repair: most objects keep the handle they were given.
    const auto now = [&id] { return L"the object got handle " + std::wstring(id.handle().text()); };
    if (read.handleState == HandleState::kInvalid) {
        repair(RepairCode::kInvalidHandle, kind, read.line,
               L"handle '" + read.handleText + L"' is not a handle: " + now(), id.handle());
    } else if (read.handleState == HandleState::kAbsent && modernRelease()) {
        repair(RepairCode::kInvalidHandle, kind, read.line, L"no handle: " + now(), id.handle());
    } else if (read.handleState == HandleState::kGiven && read.handle.isNull()) {
        repair(RepairCode::kDuplicateHandle, kind, read.line,
               L"handle " + read.handleText + L" is another object's: " + now(), id.handle());
    }
}

AcDbObjectId Reader::missingRecord(AcDbObjectId table, const std::wstring& name) {
    const auto renamed = m_renamed.find({table.handle().value(), foldName(name)});
    if (renamed != m_renamed.end()) {
        return renamed->second;
    }
    const std::wstring quoted = L"\"" + name + L"\"";
    if (table == m_db->layerTableId()) {
        const AcDbObjectId layer = addNamedRecord(table, name);
        repair(RepairCode::kUndefinedLayer, m_objectKind, m_objectLine,
               L"layer " + quoted + L" is not defined: it was added");
        return layer;
    }
    if (table == m_db->linetypeTableId()) {
        // A layer cannot draw ByLayer: it gets Continuous.
        const bool layer = m_objectKind == L"LAYER";
        repair(RepairCode::kUndefinedLinetype, m_objectKind, m_objectLine,
               L"linetype " + quoted + L" is not defined: " + (layer ? L"Continuous" : L"ByLayer") +
                   L" is used");
        return layer ? m_roots.continuousLinetype : m_roots.byLayerLinetype;
    }
    if (table == m_db->textStyleTableId()) {
        repair(RepairCode::kUndefinedTextStyle, m_objectKind, m_objectLine,
               L"text style " + quoted + L" is not defined: Standard is used");
        return recordNamed(table, L"Standard");
    }
    if (table == m_db->dimStyleTableId()) {
        repair(RepairCode::kUndefinedDimensionStyle, m_objectKind, m_objectLine,
               L"dimension style " + quoted + L" is not defined: the current one is used");
        return m_roots.dimstyle;
    }
    if (table == m_db->blockTableId()) {
        const AcDbObjectId block = addNamedRecord(table, name);
        repair(RepairCode::kUndefinedBlock, m_objectKind, m_objectLine,
               L"block " + quoted + L" is not defined: an empty block was added");
        return block;
    }
    return AcDbObjectId::kNull;
}

AcDbObjectId Reader::addNamedRecord(AcDbObjectId table, const std::wstring& name) {
    AcDbSymbolTable* opened = nullptr;
    if (acdbOpenObject(opened, table, AcDb::kForWrite) != Acad::eOk) {
        return AcDbObjectId::kNull;
    }
    auto* record = created<AcDbSymbolTableRecord>(classNamed(
        table == m_db->layerTableId() ? L"AcDbLayerTableRecord" : L"AcDbBlockTableRecord"));
    AcDbObjectId id;
    Acad::ErrorStatus status = record != nullptr ? record->setName(name.c_str()) : Acad::eNullPtr;
    if (status == Acad::eOk) {
        status = opened->addRecord(id, record, AcDbHandle());
    }
    if (status == Acad::eOk) {
        if (auto* layer = AcDbLayerTableRecord::cast(record)) {
            layer->setLinetypeObjectId(m_roots.continuousLinetype);
        }
        record->close();
    } else {
        delete record;
        id = AcDbObjectId::kNull;
    }
    opened->close();
    return id;
}

// --- Start and end -----------------------------------------------------------------------------

// The HEADER section is read ahead for the three variables every later group depends on; a file
// without one is looked through to its end. New handles given out while the sections are read
// are raised above every handle of the file first (a look over its codes finds them).
void Reader::start(std::string_view text) {
    m_text = text;
    DxfLexer lexer(text, DxfLexer::Mode::kCodesOnly);
    DxfGroup g;
    bool sectionStarts = false;
    bool inHeader = false;
    std::optional<std::string_view> variable;  // the name of a variable waiting for its value
    while (lexer.next(g) && !(g.code == 0 && (inHeader || g.text == "EOF"))) {
        if (inHeader && g.code == kVariableCode) {
            variable = g.text;
        } else if (inHeader && variable) {
            readFormatVariable(*std::exchange(variable, std::nullopt), g);
        }
        inHeader = inHeader || (sectionStarts && g.code == kNameCode && g.text == "HEADER");
        sectionStarts = g.code == 0 && g.text == "SECTION";
    }
    m_result.binary = lexer.binary();
    m_result.release = wide(m_release);
    m_decoder.emplace(m_release, m_codePage);
    m_store->raiseHandseedOnDemand([this] { return AcDbHandle(survey().largestHandle + 1); });
    m_lexer.emplace(text);
    advance();
}

void Reader::readFormatVariable(std::string_view variable, const DxfGroup& value) {
    if (variable == "$ACADVER") {
        m_release = value.text;
    } else if (variable == "$DWGCODEPAGE") {
        m_codePage = value.text;
    } else if (variable == "$HANDSEED") {
        std::uint64_t seed = 0;
        if (parseHandle(value.text, seed)) {
            m_store->raiseHandseed(AcDbHandle(seed));
        }
    }
}

void Reader::settleHandles() {
    m_store->raiseHandseedOnDemand(nullptr);
    m_store->placeFirst(m_fileOrder);
    m_store->raiseHandseed(AcDbHandle(m_largestHandle + 1));
}

Acad::ErrorStatus Reader::failOnDamage() {
    m_store->raiseHandseedOnDemand(nullptr);
    const CodeSurvey& survey = this->survey();
    if (survey.lexerMessage.empty() && survey.eof) {
        checkAfterEof(*survey.eof);
        return m_result.status;
    }
    m_result.status = Acad::eOk;
    m_result.repairs.clear();
    if (!survey.lexerMessage.empty()) {
        failLexing(survey.linesRead, survey.lexerMessage);
    } else {
        fail(survey.linesRead + 1, Acad::eDxfReadFailed,
             L"the file ends without 0 EOF: it is cut short");
    }
    return m_result.status;
}

const CodeSurvey& Reader::survey() {
    if (!m_survey) {
        m_survey = surveyCodes(m_text);
    }
    return *m_survey;
}

void Reader::checkAfterEof(const DxfGroup& eof) {
    const std::size_t end = static_cast<std::size_t>(eof.text.data() - m_text.data()) + 3;
    const std::string_view rest = m_text.substr(std::min(end, m_text.size()));
    if (rest.find_first_not_of(std::string_view(" \t\r\n\x1a\0", 6)) != std::string_view::npos) {
        m_result.repairs.insert(
            m_result.repairs.begin(),
            Repair{RepairCode::kDataAfterEof, AcDbHandle(), L"", eof.line + 1,
                   std::to_wstring(rest.size()) + L" bytes after 0 EOF were ignored"});
    }
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
        const DxfGroup& start = group();
        if (!isStart("SECTION")) {
            return fail(start.line, Acad::eBadDxfSequence,
                        L"expected 0 SECTION, found group " + std::to_wstring(start.code) + L" '" +
                            wide(start.text) + L"'");
        }
        advance();
        if (atEnd() || group().code != kNameCode) {
            return fail(atEnd() ? lastLine() : group().line, Acad::eBadDxfSequence,
                        L"a section starts without its name (group 2)");
        }
        const std::string_view name = group().text;
        const std::size_t line = group().line;
        advance();
        if (!m_sectionsSeen.insert(name).second) {
            return fail(line, Acad::eBadDxfSequence, L"second " + wide(name) + L" section");
        }
        if (!readSection(name, line)) {
            return false;
        }
        if (!isStart("ENDSEC")) {
            return fail(atEnd() ? lastLine() : group().line, Acad::eBadDxfSequence,
                        L"section " + wide(name) + L" is not closed by 0 ENDSEC");
        }
        advance();
    }
    return m_result.status == Acad::eOk;
}

bool Reader::readSection(std::string_view name, std::size_t line) {
    if (name == "HEADER") {
        return readHeader();
    }
    if (name == "TABLES") {
        return readTables();
    }
    if (name == "BLOCKS") {
        completeDrawing(false);
        return readBlocks();
    }
    if (name == "ENTITIES") {
        completeDrawing(false);
        return readEntities(m_roots.modelSpace, false);
    }
    if (name == "OBJECTS") {
        return readObjects();
    }
    return skipSection();
}

bool Reader::skipSection() {
    while (!atEnd() && !isStart("ENDSEC")) {
        advance();
    }
    return true;
}

bool Reader::readHeader() {
    std::set<std::wstring> seen;
    while (!atEnd() && group().code != 0) {
        const DxfGroup variable = group();
        if (variable.code != kVariableCode) {
            return fail(variable.line, Acad::eBadDxfSequence,
                        L"expected a header variable (group 9), found group " +
                            std::to_wstring(variable.code));
        }
        advance();
        if (atEnd() || group().code == 0 || group().code == kVariableCode) {
            continue;  // a variable without a value says nothing
        }
        const std::wstring name = textOf(variable);
        const HeaderVariable* known = findHeaderVariable(name);
        const HeaderBinding binding = known != nullptr ? known->binding : HeaderBinding::kFixed;
        const std::wstring value = textOf(group());
        switch (binding) {
            case HeaderBinding::kCurrentLayer:
                m_currentLayer = value;
                break;
            case HeaderBinding::kCurrentTextStyle:
                m_currentTextStyle = value;
                break;
            case HeaderBinding::kCurrentDimStyle:
                m_currentDimStyle = value;
                break;
            case HeaderBinding::kFixed:
                if (seen.insert(name).second) {
                    keepHeaderVariable(name);
                    continue;
                }
                break;
            default:
                break;
        }
        while (!atEnd() && group().code != 0 && group().code != kVariableCode) {
            advance();
        }
    }
    return true;
}

void Reader::keepHeaderVariable(const std::wstring& name) {
    DxfItemList items{DxfItem(kVariableCode, name)};
    ReadObject none;
    bool writable = true;
    for (; !atEnd() && group().code != 0 && group().code != kVariableCode; advance()) {
        const DxfGroup& g = group();
        // References and values of no known kind would not survive the writing.
        const bool plain = g.valueClass != GroupValueClass::kName &&
                           g.valueClass != GroupValueClass::kNone &&
                           g.valueClass != GroupValueClass::kUnknown && g.code != 1005;
        writable =
            writable && plain && std::isfinite(g.x) && std::isfinite(g.y) && std::isfinite(g.z);
        if (writable) {
            fillItem(g, items.emplace_back(), none);
        }
    }
    if (writable) {
        std::vector<DxfItem>& kept = m_db->keptHeaderVariables();
        kept.insert(kept.end(), std::make_move_iterator(items.begin()),
                    std::make_move_iterator(items.end()));
    }
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
    findRecords();
    const AcRxClass* recordClass = classNamed(info->recordClass);
    while (!atEnd() && !isStart("ENDTAB")) {
        if (group().code != 0 || isStart("ENDSEC")) {
            return fail(group().line, Acad::eBadDxfSequence,
                        L"table " + wide(name) + L" is not closed by 0 ENDTAB");
        }
        const ObjectSpan span = nextObject();
        if (nameOf(span) != name) {
            return fail(lineOf(span), Acad::eBadDxfSequence,
                        L"a " + describe(span) + L" record in table " + wide(name));
        }
        ReadObject record;
        if (!readObject(span, recordClass, false, record) || !addRecord(tableId, span, record)) {
            return false;
        }
    }
    if (atEnd()) {
        return fail(lastLine(), Acad::eBadDxfSequence,
                    L"table " + wide(name) + L" is not closed by 0 ENDTAB");
    }
    nextObject();
    findRecords();
    return true;
}

// Adds a record read to its table. A record whose name breaks the rules, or that another
// record of the table has, is renamed; later references to the former name follow it.
bool Reader::addRecord(AcDbObjectId tableId, const ObjectSpan& span, ReadObject& record) {
    auto* typed = AcDbSymbolTableRecord::cast(record.object.get());
    if (typed == nullptr) {
        return fail(record.line, Acad::eBadDxfSequence,
                    describe(span) + L" record the table cannot take");
    }
    AcDbSymbolTable* opened = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(opened, tableId, AcDb::kForWrite);
    if (status != Acad::eOk) {
        return fail(record.line, status, describe(span) + L" record cannot be added");
    }
    const std::wstring former =
        record.formerName.empty() ? typed->nameForLookup() : record.formerName;
    const std::wstring current = typed->nameForLookup();
    if (opened->has(current.c_str())) {
        std::wstring name = current;
        for (int n = 2; opened->has(name.c_str()); ++n) {
            name = current + L"_" + std::to_wstring(n);
        }
        typed->setName(name.c_str());
        repair(RepairCode::kInvalidName, describe(span), record.line,
               L"the name \"" + current + L"\" is another record's: renamed \"" + name + L"\"");
    }
    AcDbObjectId recordId;
    record.handle = freeHandle(record);
    status = opened->addRecord(recordId, typed, record.handle);
    opened->close();
    if (status != Acad::eOk) {
        return fail(record.line, status,
                    describe(span) + L" record cannot be added: " + acadErrorStatusText(status));
    }
    record.object.release()->close();
    reportHandle(record, recordId);
    settleRepairs(recordId);
    if (foldName(former) != foldName(recordName(recordId))) {
        m_renamed[{tableId.handle().value(), foldName(former)}] = recordId;
    }
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

// The BLOCK's groups from its AcDbBlockBegin marker on (all of them in a file without markers)
// go to the block record of its name, which is added when the file has none.
bool Reader::readBlockBegin(const ObjectSpan& span, AcDbObjectId& block) {
    std::size_t marker = span.end;
    std::wstring name;
    for (std::size_t i = span.begin + 1; i < span.end; ++i) {
        const DxfGroup& g = m_object[i];
        if (g.code == kSubclassCode && g.text == "AcDbBlockBegin") {
            marker = i;
        } else if (g.code == kNameCode && name.empty()) {
            name = layoutBlockName(textOf(g));
        }
    }
    const bool implied = marker == span.end;
    if (implied && std::any_of(m_object.begin() + span.begin, m_object.begin() + span.end,
                               [](const DxfGroup& g) { return g.code == kSubclassCode; })) {
        return fail(lineOf(span), Acad::eBadDxfSequence, L"BLOCK without its AcDbBlockBegin part");
    }
    block = blockRecordFor(name, lineOf(span));
    if (block.isNull()) {
        return fail(lineOf(span), Acad::eBadDxfSequence,
                    L"BLOCK '" + name + L"' has no block record and none can be added");
    }
    DxfItemList items;
    std::vector<std::wstring> markers;
    ReadObject ignored;
    itemsOf(ObjectSpan{implied ? span.begin : marker - 1, span.end}, items, markers, ignored);
    if (implied) {
        DxfItem begin = DxfItem::ofCode(kSubclassCode);
        begin.value = std::wstring(L"AcDbBlockBegin");
        items.insert(items.begin(), std::move(begin));
    }
    for (DxfItem& item : items) {
        if (item.code == kNameCode || item.code == kBlockNameCode) {
            item.value = name;
        }
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

AcDbObjectId Reader::blockRecordFor(std::wstring& name, std::size_t line) {
    const AcDbObjectId blocks = tableId(&AcDbDatabase::blockTableId);
    AcDbObjectId block = recordNamed(blocks, name);
    const auto renamed = m_renamed.find({blocks.handle().value(), foldName(name)});
    if (block.isNull() && renamed != m_renamed.end()) {
        block = renamed->second;
        name = recordName(block);
    }
    if (block.isNull() && validateSymbolName(name.c_str(), true) != Acad::eOk) {
        const std::wstring valid = validRecordName(name, true);
        repair(RepairCode::kInvalidName, L"BLOCK", line,
               L"the name \"" + name + L"\" breaks the name rules: renamed \"" + valid + L"\"");
        name = valid;
        block = recordNamed(blocks, name);
    }
    if (block.isNull()) {
        block = addNamedRecord(blocks, name);
        if (!block.isNull() && m_release >= kFirstCompleteRelease) {
            repair(RepairCode::kMissingRecord, L"BLOCK", line,
                   L"block \"" + name + L"\" has no block record: one was added", block.handle());
        }
    }
    return block;
}

bool Reader::readEntities(AcDbObjectId block, bool untilEndBlock) {
    while (!atEnd() && !isStart("ENDSEC")) {
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
    return !untilEndBlock || fail(atEnd() ? lastLine() : group().line, Acad::eBadDxfSequence,
                                  L"a block is not closed by 0 ENDBLK");
}

// An entity of ENTITIES goes to the block record its owner names; without an owner, to paper
// space when its paper-space flag is set, else to model space. An owner that is not a block
// record is repaired the same way.
AcDbObjectId Reader::entityBlock(const ReadObject& read, const ObjectSpan& span) {
    const AcDbObjectId owner = read.object->ownerId();
    if (AcDbBlockTableRecord::cast(m_db->objectAt(owner)) != nullptr) {
        return owner;
    }
    const bool paper =
        std::any_of(m_object.begin() + span.begin, m_object.begin() + span.end,
                    [](const DxfGroup& g) { return g.code == kPaperSpaceCode && g.integer == 1; });
    const AcDbObjectId space = paper ? m_roots.paperSpace : m_roots.modelSpace;
    if (!owner.isNull()) {
        repair(RepairCode::kBadOwner, describe(span), read.line,
               L"owner " + std::wstring(owner.handle().text()) +
                   L" is not a block record: the entity was put into " +
                   (paper ? L"paper space" : L"model space"));
    }
    return space;
}

bool Reader::readEntity(AcDbObjectId block, bool ownerDecides) {
    const ObjectSpan span = nextObject();
    ReadObject read;
    if (!readObject(span, nullptr, true, read)) {
        return false;
    }
    giveBlockToReference(read);
    if (ownerDecides) {
        block = entityBlock(read, span);
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

// A block reference that names no block (its name lost) refers to the block "Unnamed", added
// empty when the drawing has none, as one that names a block the file lacks: the drawing written
// names a block.
void Reader::giveBlockToReference(const ReadObject& read) {
    auto* reference = AcDbBlockReference::cast(read.object.get());
    if (reference == nullptr || !reference->blockTableRecord().isNull()) {
        return;
    }
    const AcDbObjectId blocks = tableId(&AcDbDatabase::blockTableId);
    AcDbObjectId block = recordNamed(blocks, kUnnamedBlock);
    if (block.isNull()) {
        block = addNamedRecord(blocks, kUnnamedBlock);
    }
    if (!block.isNull() && reference->setBlockTableRecord(block) == Acad::eOk) {
        repair(RepairCode::kUndefinedBlock, m_objectKind, m_objectLine,
               std::wstring(L"names no block: it refers to block \"") + kUnnamedBlock + L"\"");
    }
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
                            L" of " + where(owner.line));
        }
        child.object.release();
        handles.push_back(freeHandle(child));
    }
    if (isStart("SEQEND")) {
        const ObjectSpan span = nextObject();
        DxfItemList items;
        std::vector<std::wstring> markers;
        ReadObject end;
        itemsOf(span, items, markers, end);
        handles.push_back(freeHandle(end));
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
    while (!atEnd() && !isStart("ENDSEC")) {
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
            m_publish(m_roots);
        }
        m_firstObject = false;
    }
    return true;
}

// --- Objects ------------------------------------------------------------------------------------

AcDbObjectId Reader::idOf(const DxfGroup& g) {
    if (g.integer == kNotAHandle) {
        return idOfName(g);
    }
    const auto handle = static_cast<std::uint64_t>(g.integer);
    if (handle == 0 || handle > kMaxHandle) {
        if (handle > kMaxHandle) {
            repair(RepairCode::kDanglingReference, m_objectKind, g.line,
                   L"group " + std::to_wstring(g.code) + L": handle " + wide(g.text) +
                       L" is too large: the reference was dropped");
        }
        return AcDbObjectId::kNull;
    }
    AcDbObjectId id;
    m_db->getAcDbObjectId(id, true, AcDbHandle(handle));
    if (m_db->objectAt(id) == nullptr) {
        m_references.emplace_back(handle, g.line);
    }
    return id;
}

// A name written where a handle belongs: the record of that name, looked for in the text
// styles, linetypes, layers, dimension styles and blocks in that order (the tables such
// references name most often come first).
AcDbObjectId Reader::idOfName(const DxfGroup& g) {
    const std::wstring name = textOf(g);
    const std::wstring where = L"group " + std::to_wstring(g.code) + L": '" + name + L"' ";
    for (const auto table : {&AcDbDatabase::textStyleTableId, &AcDbDatabase::linetypeTableId,
                             &AcDbDatabase::layerTableId, &AcDbDatabase::dimStyleTableId,
                             &AcDbDatabase::blockTableId}) {
        const AcDbObjectId found = recordNamed(tableId(table), name);
        if (!found.isNull()) {
            repair(RepairCode::kNameForHandle, m_objectKind, g.line,
                   where + L"is a name, not a handle: it was taken as the record of that name (" +
                       found.handle().text() + L")");
            return found;
        }
    }
    repair(RepairCode::kNameForHandle, m_objectKind, g.line,
           where + L"is not a handle: the reference was dropped");
    return AcDbObjectId::kNull;
}

void Reader::itemsOf(const ObjectSpan& span, DxfItemList& items, std::vector<std::wstring>& markers,
                     ReadObject& read) {
    const std::size_t count = span.end - span.begin - 1;
    if (items.size() < count) {
        items.resize(count);
    }
    std::size_t markerCount = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const DxfGroup& g = m_object[span.begin + 1 + k];
        fillItem(g, items[k], read);
        if (g.code == kSubclassCode && g.valueClass == GroupValueClass::kText) {
            if (markerCount == markers.size()) {
                markers.emplace_back();
            }
            markers[markerCount++] = items[k].text();
        }
    }
    items.resize(count);
    markers.resize(markerCount);
}

void Reader::fillItem(const DxfGroup& g, DxfItem& item, ReadObject& read) {
    item.code = g.code;
    item.point2d = false;
    switch (g.valueClass) {
        case GroupValueClass::kText:
            decodeText(g, valueOfKind<std::wstring>(item.value));
            if (isObjectHandleCode(g.code) && read.handleState == HandleState::kAbsent) {
                std::uint64_t value = 0;
                const bool valid = parseHandle(g.text, value);
                read.handleState = valid ? HandleState::kGiven : HandleState::kInvalid;
                read.handle = valid ? AcDbHandle(value) : AcDbHandle();
                if (!valid) {  // a valid one is written out only once another object has it
                    read.handleText = item.text();
                }
            }
            break;
        case GroupValueClass::kReal:
            item.value = g.x;
            break;
        case GroupValueClass::kPoint:
            item.value = AcGePoint3d(g.x, g.y, g.z);
            item.point2d = !g.hasZ;
            break;
        case GroupValueClass::kBinary:
            dxfGroupBytes(g, valueOfKind<std::vector<unsigned char>>(item.value));
            break;
        case GroupValueClass::kName:
            item.value = idOf(g);
            break;
        case GroupValueClass::kNone:
        case GroupValueClass::kUnknown:
            item.value = std::monostate();
            break;
        default:
            item.value = g.integer;
            break;
    }
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
    const std::string_view name = nameOf(span);
    if (name.empty() || std::any_of(name.begin(), name.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; })) {
        return fail(lineOf(span), Acad::eBadDxfSequence,
                    L"an object's kind '" + wide(name) + L"' is not a name");
    }
    if (forcedClass == nullptr && isStructureName(name)) {  // kept, it would break the file
        return fail(
            lineOf(span), Acad::eBadDxfSequence,
            L"0 " + wide(name) + L" where " + (entity ? L"an entity" : L"an object") + L" belongs");
    }
    DxfItemList& items = m_items;
    std::vector<std::wstring>& markers = m_markers;
    read.line = lineOf(span);
    read.kind = describe(span);
    m_objectLine = read.line;
    m_objectKind = read.kind;
    m_objectRepairs = m_result.repairs.size();
    itemsOf(span, items, markers, read);
    const bool implied = lacksSubclassMarkers(items);
    if (implied && forcedClass == nullptr) {
        markers = impliedMarkers(m_objectKind, items);
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
        std::wstring why;
        Acad::ErrorStatus status = fileIn(read.object.get(), items, implied, why);
        if (status == Acad::eInvalidSymbolTableName && renameRecord(items, read)) {
            status = fileIn(read.object.get(), items, implied, why);
        }
        // A kind the reader does not insist on (tables and records must be their class) whose
        // groups are not laid out as its class lays them is kept raw, like a variant.
        const bool misplaced = status == Acad::eBadDxfSequence && forcedClass == nullptr;
        if (status != Acad::eDxfReadFailed && !misplaced) {
            return status == Acad::eOk || fail(read.line, status, m_objectKind + L": " + why);
        }
        // The class does not take this variant of its kind, or its groups are not laid out as
        // the class lays them (subclass markers missing or out of order): kept as it came.
        m_result.repairs.resize(m_objectRepairs);
        itemsOf(span, items, markers, read);
    }
    return fileInRaw(span, entity, items, read);
}

// A dictionary kept raw leaves out an entry whose reference is null (a null handle, or one the
// reader dropped), as a modelled dictionary does: an entry of nothing is no entry.
void dropEntriesOfNothing(DxfItemList& items) {
    const auto entryOfNothing = [&items](std::size_t k) {
        return items[k].code == 3 && k + 1 < items.size() &&
               (items[k + 1].code == 350 || items[k + 1].code == 360) && items[k + 1].id().isNull();
    };
    std::size_t kept = 0;
    for (std::size_t k = 0; k < items.size(); ++k) {
        if (entryOfNothing(k)) {
            ++k;  // the name and its reference
            continue;
        }
        if (kept != k) {
            items[kept] = std::move(items[k]);
        }
        ++kept;
    }
    items.resize(kept);
}

bool Reader::fileInRaw(const ObjectSpan& span, bool entity, DxfItemList& items, ReadObject& read) {
    dropRepeatedBaseGroups(span, items);
    if (entity) {
        if (lacksSubclassMarkers(items)) {
            addEntityMarkers(m_objectKind, items);
        }
        if (m_objectKind == L"INSERT") {
            nameRawInsertBlock(items);
        }
        read.object = std::make_unique<AcDbRawEntity>(describe(span));
    } else {
        if (lacksSubclassMarkers(items)) {
            addObjectMarker(m_objectKind, items);
        }
        if (m_objectKind == L"DICTIONARY") {
            dropEntriesOfNothing(items);
        }
        read.object = std::make_unique<AcDbRawObject>(describe(span));
    }
    std::wstring why;
    const Acad::ErrorStatus status = fileIn(read.object.get(), items, false, why);
    return status == Acad::eOk || fail(read.line, status, m_objectKind + L": " + why);
}

void Reader::dropRepeatedBaseGroups(const ObjectSpan& span, DxfItemList& items) {
    const auto text = [&items](std::size_t k) -> std::wstring_view {
        const auto* value = std::get_if<std::wstring>(&items[k].value);
        return value != nullptr ? std::wstring_view(*value) : std::wstring_view();
    };
    const auto isBaseGroup = [&](std::size_t k) {
        return items[k].code == 102 &&
               (text(k) == L"{ACAD_XDICTIONARY" || text(k) == L"{ACAD_REACTORS");
    };
    std::size_t dropped = 0;  // items erased so far, to find each item's line in the span
    bool afterMarker = false;
    bool entitySection = false;
    for (std::size_t k = 0; k < items.size() && items[k].code != 1001;) {
        const bool marker = items[k].code == kSubclassCode;
        const bool repeatedEntity = marker && text(k) == L"AcDbEntity" && entitySection;
        if (!repeatedEntity && !(afterMarker && isBaseGroup(k))) {
            entitySection = entitySection || (marker && text(k) == L"AcDbEntity");
            afterMarker = afterMarker || marker;
            ++k;
            continue;
        }
        // A section ends before the next marker or the XData, a group list with its closing 102.
        const bool list = !repeatedEntity;
        const auto ends = [list](const DxfItem& item) {
            return item.code == 1001 || item.code == kSubclassCode || (list && item.code == 102);
        };
        std::size_t end = k + 1;
        while (end < items.size() && !ends(items[end])) {
            ++end;
        }
        if (list && end < items.size() && items[end].code == 102) {
            ++end;
        }
        repair(RepairCode::kRepeatedBaseGroups, m_objectKind,
               m_object[span.begin + 1 + k + dropped].line,
               repeatedEntity
                   ? std::wstring(L"a second AcDbEntity section was dropped")
                   : L"groups " + std::wstring(text(k)) + L" after the object's own were dropped");
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(k),
                    items.begin() + static_cast<std::ptrdiff_t>(end));
        dropped += end - k;
    }
}

void Reader::nameRawInsertBlock(DxfItemList& items) {
    const AcDbObjectId blocks = tableId(&AcDbDatabase::blockTableId);
    auto name = std::find_if(items.begin(), items.end(),
                             [](const DxfItem& item) { return item.code == kNameCode; });
    if (name == items.end() || name->text().empty()) {
        if (recordNamed(blocks, kUnnamedBlock).isNull()) {
            addNamedRecord(blocks, kUnnamedBlock);
        }
        repair(RepairCode::kUndefinedBlock, m_objectKind, m_objectLine,
               std::wstring(L"names no block: it refers to block \"") + kUnnamedBlock + L"\"");
        if (name == items.end()) {  // before the XData, if any
            const auto xdata = std::find_if(items.begin(), items.end(),
                                            [](const DxfItem& item) { return item.code == 1001; });
            name = items.insert(xdata, DxfItem(kNameCode, std::wstring()));
        }
        name->value = std::wstring(kUnnamedBlock);
    } else if (recordNamed(blocks, name->text()).isNull()) {
        missingRecord(blocks, name->text());
    }
}

Acad::ErrorStatus Reader::fileIn(AcDbObject* object, DxfItemList& items, bool implied,
                                 std::wstring& why) {
    DxfItemFiler filer(std::move(items), m_db);
    filer.setImpliedSubclasses(implied);
    filer.setFileValues(true);
    filer.setRecordResolver(this);
    const Acad::ErrorStatus status = object->dxfIn(&filer);
    items = filer.takeItems();
    if (status != Acad::eOk) {
        why = *filer.errorMessage() != L'\0' ? std::wstring(filer.errorMessage())
                                             : std::wstring(acadErrorStatusText(status));
    }
    return status;
}

// A record name that breaks the rules is replaced by one that keeps them; false when the items
// hold no name.
bool Reader::renameRecord(DxfItemList& items, ReadObject& read) {
    const auto name = std::find_if(items.begin(), items.end(),
                                   [](const DxfItem& item) { return item.code == kNameCode; });
    if (name == items.end() || !read.formerName.empty()) {
        return false;
    }
    read.formerName = name->text();
    const std::wstring valid = validRecordName(read.formerName, true);
    name->value = valid;
    repair(
        RepairCode::kInvalidName, m_objectKind, read.line,
        L"the name \"" + read.formerName + L"\" breaks the name rules: renamed \"" + valid + L"\"");
    return true;
}

AcDbHandle Reader::freeHandle(ReadObject& read) {
    if (!read.handle.isNull() && m_store->objectOf(read.handle) != nullptr) {
        read.handleText = read.handle.text();
        read.handle = AcDbHandle();
    }
    return read.handle;
}

bool Reader::addToDatabase(ReadObject& read, AcDbObjectId owner, AcDbObjectId& id) {
    const Acad::ErrorStatus status =
        m_db->addObject(read.object.get(), owner, id, freeHandle(read));
    if (status != Acad::eOk) {
        return fail(read.line, status,
                    std::wstring(dxfNameOf(read.object.get())) + L" cannot be added: " +
                        acadErrorStatusText(status));
    }
    read.object.release()->close();
    reportHandle(read, id);
    settleRepairs(id);
    return true;
}

bool Reader::appendToBlock(AcDbObjectId block, ReadObject& read, std::vector<AcDbHandle> owned,
                           AcDbObjectId& id) {
    owned.insert(owned.begin(), freeHandle(read));
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
    reportHandle(read, id);
    settleRepairs(id);
    return true;
}

// --- Checks and roots ---------------------------------------------------------------------------

// Each object that refers to a handle no object has is filed out, the reference is set to
// none, and it is filed in again.
void Reader::dropDanglingReferences() {
    // Each missing handle once, at the line of the first reference read, in the order of lines.
    std::vector<std::pair<std::size_t, std::uint64_t>> missing;  // line, handle
    std::unordered_set<std::uint64_t> reported;
    for (const auto& [handle, line] : m_references) {
        if (m_store->objectOf(AcDbHandle(handle)) == nullptr && reported.insert(handle).second) {
            missing.emplace_back(line, handle);
        }
    }
    if (missing.empty()) {
        return;
    }
    std::sort(missing.begin(), missing.end());
    for (const auto& [line, handle] : missing) {
        repair(RepairCode::kDanglingReference, L"", line,
               L"handle " + std::wstring(AcDbHandle(handle).text()) +
                   L" is referred to but no object has it: the reference was dropped");
    }
    std::vector<AcDbObjectId> ids;
    for (std::uint32_t number : m_store->slots()) {
        if (slotAt(number).object != nullptr) {
            ids.push_back(slotAt(number).object->objectId());
        }
    }
    for (const AcDbObjectId& id : ids) {
        dropReferences(id, [this](AcDbObjectId target) { return m_db->objectAt(target) == nullptr; });
    }
}

void Reader::dropReferences(AcDbObjectId id, const std::function<bool(AcDbObjectId)>& drop) {
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, id, AcDb::kForWrite, true) != Acad::eOk) {
        return;
    }
    DxfItemFiler out(m_db);
    DxfItemList items;
    if (object->dxfOutFields(&out) == Acad::eOk) {
        items = out.takeItems();
    }
    // An entry of a dictionary (a name, then its object) leaves whole: a named null is no entry.
    // Other references become null. A dictionary kept raw needs this; a modelled one is the same.
    const bool dictionary = std::wcscmp(dxfNameOf(object), L"DICTIONARY") == 0;
    bool dropped = false;
    DxfItemList kept;
    kept.reserve(items.size());
    for (DxfItem& item : items) {
        const AcDbObjectId target = item.id();
        if (target.isNull() || !drop(target)) {
            kept.push_back(std::move(item));
            continue;
        }
        dropped = true;
        if (dictionary && !kept.empty() && kept.back().code == 3) {
            kept.pop_back();
        } else {
            kept.emplace_back(item.code, AcDbObjectId::kNull);
        }
    }
    if (dropped) {
        DxfItemFiler in(std::move(kept), m_db);
        object->dxfInFields(&in);
    }
    object->close();
}

void Reader::repairOwners() {
    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> crossLinks;  // holder, held
    for (std::uint32_t number : m_store->slots()) {
        const AcDbObject* object = slotAt(number).object;
        if (object == nullptr) {
            continue;
        }
        const AcDbObjectId id = object->objectId();
        const AcDbObjectId extension = object->extensionDictionary();
        const AcDbObject* extensionObject = m_db->objectAt(extension);
        if (extensionObject != nullptr && AcDbDictionary::cast(extensionObject) == nullptr) {
            crossLinks.emplace_back(id, extension);  // no dictionary: not its to hold
        } else {
            adoptHeld(extension, id, crossLinks);
        }
        for (const AcDbObjectId& entry : entriesOf(id)) {
            adoptHeld(entry, id, crossLinks);
        }
    }
    for (const auto& link : crossLinks) {
        const AcDbObjectId holder = link.first;
        const AcDbObjectId held = link.second;  // a variable of its own, for the capture
        repair(RepairCode::kBadOwner, dxfNameOf(m_db->objectAt(holder)), 0,
               L"refers to " + std::wstring(held.handle().text()) + L" as its own, which " +
                   m_db->objectAt(held)->ownerId().handle().text() +
                   L" owns: the reference was dropped",
               holder.handle());
        dropReferences(holder, [held](AcDbObjectId target) { return target == held; });
    }
}

bool Reader::holds(AcDbObjectId holder, AcDbObjectId held) const {
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, holder, AcDb::kForRead) != Acad::eOk) {
        return false;
    }
    const auto* table = AcDbSymbolTable::cast(object);
    const bool holding =
        object->extensionDictionary() == held || (table != nullptr && table->has(held));
    object->close();
    if (holding) {
        return true;
    }
    const std::vector<AcDbObjectId> entries = entriesOf(holder);
    return std::find(entries.begin(), entries.end(), held) != entries.end();
}

std::vector<AcDbObjectId> Reader::entriesOf(AcDbObjectId id) const {
    std::vector<AcDbObjectId> entries;
    const AcDbObject* stored = m_db->objectAt(id);
    AcDbObject* object = nullptr;
    if ((AcDbDictionary::cast(stored) == nullptr && AcDbRawObject::cast(stored) == nullptr) ||
        acdbOpenAcDbObject(object, id, AcDb::kForRead) != Acad::eOk) {
        return entries;
    }
    if (const auto* dictionary = AcDbDictionary::cast(object)) {
        std::unique_ptr<AcDbDictionaryIterator> it(dictionary->newIterator());
        for (; !it->done(); it->next()) {
            entries.push_back(it->objectId());
        }
    } else if (const auto* raw = AcDbRawObject::cast(object);
               raw != nullptr && raw->dxfName() == L"DICTIONARY") {
        const DxfItemList& groups = raw->groups();
        for (std::size_t i = 1; i < groups.size(); ++i) {
            if (groups[i - 1].code == 3 && !groups[i].id().isNull()) {
                entries.push_back(groups[i].id());
            }
        }
    }
    object->close();
    return entries;
}

void Reader::adoptHeld(AcDbObjectId held, AcDbObjectId holder,
                       std::vector<std::pair<AcDbObjectId, AcDbObjectId>>& crossLinks) {
    AcDbObject* object = m_db->objectAt(held);
    if (object == nullptr || object->ownerId() == holder || AcDbEntity::cast(object) != nullptr) {
        return;
    }
    if (holds(object->ownerId(), held)) {
        crossLinks.emplace_back(holder, held);
        return;
    }
    repair(RepairCode::kBadOwner, dxfNameOf(object), 0,
           L"owner " + std::wstring(object->ownerId().handle().text()) +
               L" does not hold the object: " + holder.handle().text() +
               L", which does, became its owner",
           held.handle());
    ObjectAccess::setOwner(object, holder);
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

void Reader::completeDrawing(bool withDictionaries) {
    findRecords();
    // A file of a release that has them all and that has the section they belong in lacks them.
    const bool modern = m_release >= kFirstCompleteRelease;
    const auto added = [&](const std::wstring& what) {
        const bool report = what == L"named object dictionary" ? m_sectionsSeen.contains("OBJECTS")
                                                               : m_sectionsSeen.contains("TABLES");
        if (modern && report) {
            repair(RepairCode::kMissingRecord, L"", 0, L"the drawing had no " + what + L": added");
        }
    };
    if (withDictionaries) {
        m_db->completeDrawing(added);
    } else {
        m_db->completeTables(added);
    }
    m_roots.tables.clear();
    for (const TableInfo& info : tableOrder()) {
        m_roots.tables.push_back({&info, (m_db->*info.tableId)()});
    }
    m_roots.namedObjectsDictionary = m_db->namedObjectsDictionaryId();
    findRecords();
}

Acad::ErrorStatus Reader::read(std::string_view text) {
    m_db->disableUndoRecording(true);
    start(text);
    if (!readSections() || !m_eof) {
        return failOnDamage();
    }
    settleHandles();
    checkAfterEof(*m_eof);
    dropDanglingReferences();
    // Owners first: a claim dropped there (an entry naming another's object) must not stand in
    // the way of what completion adds under the same name.
    repairOwners();
    completeDrawing(true);
    return checkOwners() ? Acad::eOk : m_result.status;
}

}  // namespace

Acad::ErrorStatus readDrawing(std::string_view text, AcDbDatabase* db, DrawingRoots& roots,
                              const std::function<void(const DrawingRoots&)>& publish,
                              DrawingReadResult& result) {
    Reader reader(db, roots, publish, result);
    result.status = reader.read(text);
    return result.status;
}

}  // namespace host::dxf
