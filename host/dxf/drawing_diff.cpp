// The drawing comparison: each file's groups are read with the host's lexer into keyed objects
// (the header's variables, objects by their match key, the XML repository's texts per
// application), then the two drawings are compared key by key.
#include "kestrel/host/dxf/drawing_diff.h"

#include <algorithm>
#include <charconv>
#include <cwctype>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <unordered_map>

#include "host/dxf/dxf_lexer.h"
#include "host/dxf/dxf_text_decoder.h"
#include "kestrel/host/dxf/dxf_writer.h"
#include "kestrel/platform/utf8.h"

namespace host {
namespace {

constexpr std::wstring_view kRepositoryDictionary = L"VLKX_XMLUndo";
constexpr std::wstring_view kRepositoryRecord = L"Repository";
constexpr std::wstring_view kWholeRepository = L"(repository)";
constexpr std::string_view kDerivedBlockName = "*D";

// One compared group. Contexts are shared by the groups of a drawing.
struct Group {
    const std::wstring* context = nullptr;
    int code = 0;
    int occurrence = 0;
    std::string value;  // as written, in UTF-8 (short values need no allocation)
    // What the comparison uses when it is not the value (null when it is): the match key of a
    // handle (the drawing's own), "*D" for a dimension block's name.
    const std::string* translated = nullptr;
    std::size_t line = 0;

    const std::string& compared() const { return translated != nullptr ? *translated : value; }
};

struct Object {
    std::string type;
    std::size_t line = 0;
    std::string handle;               // upper case; empty without
    std::string owner;                // the first 330 outside 102 groups and XData
    std::wstring name;                // the first 2 (a record's name)
    std::wstring dimensionBlock;      // a dimension's block: its 2 in AcDbDimension
    std::string extensionDictionary;  // the 360 in {ACAD_XDICTIONARY
    std::vector<std::pair<std::wstring, std::string>> entries;  // a dictionary's: name, handle
    std::string key;
    std::wstring place;
    std::vector<Group> groups;
};

// An application's XML text.
struct XmlText {
    std::wstring text;
    std::size_t line = 0;
    std::string handle;  // of the repository record
};

std::string shortest(double value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string upper(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

bool ignoredHeaderVariable(std::string_view name) {
    return name.rfind("$TD", 0) == 0 || name == "$HANDSEED" || name == "$VERSIONGUID" ||
           name == "$EXTMIN" || name == "$EXTMAX" || name == "$ACADMAINTVER" ||
           name == "$DWGCODEPAGE";
}

// Splits a repository document into its applications' texts; false when text is not one.
bool splitRepository(std::wstring_view text, std::map<std::wstring, std::wstring>& apps) {
    constexpr std::wstring_view start = L"<appRepository>";
    constexpr std::wstring_view end = L"</appRepository>";
    constexpr std::wstring_view entry = L"<repositoryEntry refId=\"";
    constexpr std::wstring_view open = L"<repositoryEntry";
    constexpr std::wstring_view close = L"</repositoryEntry>";
    if (text.empty()) {
        return true;
    }
    if (text.size() < start.size() + end.size() || text.substr(0, start.size()) != start ||
        text.substr(text.size() - end.size()) != end) {
        return false;
    }
    text = text.substr(start.size(), text.size() - start.size() - end.size());
    while (!text.empty()) {
        if (text.substr(0, entry.size()) != entry) {
            return false;
        }
        const std::size_t nameEnd = text.find(L"\">", entry.size());
        if (nameEnd == std::wstring_view::npos) {
            return false;
        }
        const std::wstring name(text.substr(entry.size(), nameEnd - entry.size()));
        const std::size_t contentStart = nameEnd + 2;
        // The entry ends at its own closing tag: an application's text may hold the element too.
        std::size_t at = contentStart;
        for (int depth = 1; depth > 0;) {
            const std::size_t nextOpen = text.find(open, at);
            const std::size_t nextClose = text.find(close, at);
            if (nextClose == std::wstring_view::npos) {
                return false;
            }
            if (nextOpen < nextClose) {
                const wchar_t after = text[nextOpen + open.size()];  // the close follows
                depth += after == L' ' || after == L'>' ? 1 : 0;
                at = nextOpen + open.size();
                continue;
            }
            --depth;
            at = nextClose + close.size();
        }
        apps[name] = std::wstring(text.substr(contentStart, at - close.size() - contentStart));
        text = text.substr(at);
    }
    return true;
}

// One drawing file read for the comparison, in two passes over its groups so that no list of all
// groups is held: the first finds the objects, their handles, owners, names and dictionary
// entries (what matching and places need), the second builds each object's compared groups.
class Drawing {
public:
    // Reads the drawing's bytes, telling progress (as drawing index) of each object read.
    Drawing(std::string_view bytes, int index, const DiffProgress& progress);

    const std::wstring& error() const { return m_error; }
    const std::vector<Group>& header() const { return m_header; }
    std::size_t headerLine() const { return m_headerLine; }
    const std::vector<Object>& objects() const { return m_objects; }
    const Object* byKey(const std::string& key) const {
        const auto found = m_byKey.find(key);
        return found != m_byKey.end() ? &m_objects[found->second] : nullptr;
    }
    const std::map<std::wstring, XmlText>& xml() const { return m_xml; }

private:
    // Where a pass stands in the file.
    struct Walk {
        std::string section;
        bool sectionName = false;  // the next group names the section
        Object* object = nullptr;  // the object whose groups come, null between objects
        // The first pass's state in the object.
        int depth = 0;  // of 102 groups
        bool xdata = false;
        bool inExtensionDictionary = false;
        bool inDimension = false;  // after the AcDbDimension marker
        std::wstring entry;        // the dictionary entry whose object comes next
    };
    // The state of one object's groups in the second pass.
    struct Build {
        std::wstring subclass;
        const std::wstring* context = nullptr;
        std::wstring entry;
        bool inBrace = false;
        bool xdata = false;
        bool handleSeen = false;
        std::map<std::pair<const std::wstring*, int>, int> counts;
    };

    // Steps walk over group; the object its group belongs to, null for other groups. With
    // collect, group 0 of an object adds it (first pass); else it takes the next one.
    Object* step(Walk& walk, const DxfGroup& group, bool collect);
    void scan(std::string_view bytes);
    void scanGroup(Walk& walk, const DxfGroup& group);
    void readHeader();
    void assignKeys();
    void findPlaces();
    // The second pass: each object's groups; told the count of objects read after each.
    void build(std::string_view bytes, const std::function<void(std::size_t)>& read);
    void addGroup(Object& object, Build& state, const DxfGroup& group);
    void readRepository();

    DxfTextDecoder& decoder();
    std::wstring text(const DxfGroup& group) {
        decoder().decode(group.text, m_decoded);
        return m_decoded;
    }
    // The value as the comparison shows it, in UTF-8.
    std::string value(const DxfGroup& group);
    // Sets the group's translated value when the comparison uses another than its value.
    void translate(const DxfGroup& raw, Group& group) const;
    const std::wstring* context(const std::wstring& name) {
        return &*m_contexts.insert(name).first;
    }
    Object* byHandle(const std::string& handle) {
        const auto found = m_byHandle.find(handle);
        return found != m_byHandle.end() ? &m_objects[found->second] : nullptr;
    }

    std::wstring m_error;
    std::unique_ptr<DxfTextDecoder> m_decoder;
    std::wstring m_decoded;
    std::vector<std::pair<std::string, DxfGroup>> m_headerGroups;  // variable, group (first pass)
    std::vector<Group> m_header;
    std::size_t m_headerLine = 0;
    std::vector<Object> m_objects;
    std::size_t m_next = 0;                                   // the second pass's next object
    std::unordered_map<std::string, std::size_t> m_byHandle;  // first object of each handle
    std::unordered_map<std::string, std::size_t> m_byKey;
    std::unordered_map<std::string, std::string> m_keyOfHandle;  // where they differ
    std::set<std::string> m_derivedNames;  // of dimension blocks matched by dimension, UTF-8
    std::set<std::wstring> m_contexts;
    const Object* m_repository = nullptr;
    std::wstring m_repositoryText;
    std::size_t m_repositoryLine = 0;
    std::map<std::wstring, XmlText> m_xml;
};

Drawing::Drawing(std::string_view bytes, int index, const DiffProgress& progress) {
    scan(bytes);
    if (!m_error.empty()) {
        return;
    }
    readHeader();
    findPlaces();
    assignKeys();
    build(bytes, [&](std::size_t done) {
        if (progress) {
            progress(index, done, m_objects.size());
        }
    });
    readRepository();
}

DxfTextDecoder& Drawing::decoder() {
    if (m_decoder == nullptr) {
        std::string release;
        std::string codePage;
        for (const auto& [name, group] : m_headerGroups) {
            if (name == "$ACADVER" && release.empty()) {
                release = group.text;
            } else if (name == "$DWGCODEPAGE" && codePage.empty()) {
                codePage = group.text;
            }
        }
        m_decoder = std::make_unique<DxfTextDecoder>(release, codePage);
    }
    return *m_decoder;
}

Object* Drawing::step(Walk& walk, const DxfGroup& group, bool collect) {
    if (walk.sectionName) {
        walk.sectionName = false;
        walk.section = group.code == 2 ? std::string(group.text) : "";
        return nullptr;
    }
    if (group.code != 0) {
        return walk.object;
    }
    Walk next;
    next.section = std::move(walk.section);
    walk = std::move(next);
    if (group.text == "SECTION") {
        walk.sectionName = true;
        return nullptr;
    }
    if (group.text == "ENDSEC" || group.text == "ENDTAB" || group.text == "EOF" ||
        walk.section == "HEADER" || walk.section == "CLASSES") {
        return nullptr;
    }
    if (collect) {
        m_objects.push_back({});
        walk.object = &m_objects.back();
        walk.object->type = std::string(group.text);
        walk.object->line = group.line;
    } else if (m_next < m_objects.size()) {
        walk.object = &m_objects[m_next++];
    }
    return nullptr;
}

void Drawing::scan(std::string_view bytes) {
    DxfLexer lexer(bytes);
    DxfGroup group;
    Walk walk;
    std::string variable;
    std::size_t groups = 0;
    std::size_t sectionLine = 0;
    while (lexer.next(group)) {
        ++groups;
        sectionLine = group.code == 0 && group.text == "SECTION" ? group.line : sectionLine;
        if (step(walk, group, true) != nullptr) {
            scanGroup(walk, group);
        } else if (walk.section == "HEADER" && group.code == 2 && m_headerLine == 0) {
            m_headerLine = sectionLine;
        } else if (walk.section == "HEADER" && group.code == 9) {
            variable = std::string(group.text);
        } else if (walk.section == "HEADER" && group.code != 0 && !variable.empty()) {
            m_headerGroups.emplace_back(variable, group);
        }
    }
    if (lexer.failed()) {
        m_error = lexer.message();
    } else if (groups == 0) {
        m_error = L"the file holds no groups";
    }
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (!m_objects[i].handle.empty()) {
            m_byHandle.emplace(m_objects[i].handle, i);
        }
    }
}

void Drawing::scanGroup(Walk& walk, const DxfGroup& group) {
    Object& o = *walk.object;
    if (walk.xdata || group.code == 1001) {
        walk.xdata = true;
        return;
    }
    switch (group.code) {
        case 102:
            walk.depth += group.text.rfind('{', 0) == 0 ? 1 : -1;
            walk.inExtensionDictionary = group.text == "{ACAD_XDICTIONARY";
            break;
        case 5:
        case 105:
            if (o.handle.empty() && group.code == (o.type == "DIMSTYLE" ? 105 : 5)) {
                o.handle = upper(group.text);
            }
            break;
        case 330:
            if (walk.depth == 0 && o.owner.empty()) {
                o.owner = upper(group.text);
            }
            break;
        case 100:
            walk.inDimension = group.text == "AcDbDimension";
            break;
        case 2:
            if (o.name.empty()) {
                o.name = text(group);
            }
            if (walk.inDimension && o.dimensionBlock.empty()) {
                o.dimensionBlock = text(group);
            }
            break;
        case 3:
            if (walk.depth == 0 && (o.type == "DICTIONARY" || o.type == "ACDBDICTIONARYWDFLT")) {
                walk.entry = text(group);
            }
            break;
        case 350:
        case 360:
            if (walk.inExtensionDictionary && walk.depth > 0 && group.code == 360) {
                o.extensionDictionary = upper(group.text);
            } else if (walk.depth == 0 && !walk.entry.empty()) {
                o.entries.emplace_back(std::move(walk.entry), upper(group.text));
                walk.entry.clear();
            }
            break;
        default:
            break;
    }
}

void Drawing::readHeader() {
    std::string last;
    const std::wstring* variable = nullptr;
    std::map<int, int> counts;
    for (const auto& [name, raw] : m_headerGroups) {
        if (name != last) {
            last = name;
            variable = context(utf8ToWide(name));
            counts.clear();
        }
        if (ignoredHeaderVariable(name)) {
            continue;
        }
        Group group;
        group.context = variable;
        group.code = raw.code;
        group.occurrence = counts[raw.code]++;
        group.value = value(raw);
        group.line = raw.line;
        m_header.push_back(std::move(group));
    }
    m_headerGroups.clear();
}

void Drawing::build(std::string_view bytes, const std::function<void(std::size_t)>& read) {
    DxfLexer lexer(bytes);
    DxfGroup group;
    Walk walk;
    Build state;
    Object* current = nullptr;
    std::size_t done = 0;
    while (lexer.next(group)) {
        Object* object = step(walk, group, false);
        if (walk.object != current) {
            if (current != nullptr) {
                current->groups.shrink_to_fit();  // the room to grow is half the groups' memory
                read(++done);
            }
            current = walk.object;
            state = Build();
            state.context = context(L"");
        }
        if (object != nullptr) {
            addGroup(*object, state, group);
        }
    }
}

std::string Drawing::value(const DxfGroup& group) {
    switch (group.valueClass) {
        case GroupValueClass::kText: {
            // Plain ASCII without escapes or carets decodes to itself.
            const bool plain = std::all_of(group.text.begin(), group.text.end(), [](char c) {
                return static_cast<unsigned char>(c) < 0x80 && c != '\\' && c != '^';
            });
            return plain ? std::string(group.text) : wideToUtf8(text(group));
        }
        case GroupValueClass::kName:
            return upper(group.text);
        case GroupValueClass::kBinary:
            return dxfGroupHex(group);
        case GroupValueClass::kReal:
            return shortest(group.x);
        case GroupValueClass::kPoint:
            return shortest(group.x) + "," + shortest(group.y) +
                   (group.hasZ ? "," + shortest(group.z) : "");
        case GroupValueClass::kInt16:
        case GroupValueClass::kInt32:
        case GroupValueClass::kInt64:
        case GroupValueClass::kBool:
            return std::to_string(group.integer);
        default:
            return {};
    }
}

void Drawing::translate(const DxfGroup& raw, Group& group) const {
    if (raw.valueClass == GroupValueClass::kName || raw.code == 1005) {
        const auto found = m_keyOfHandle.find(group.value);
        if (found != m_keyOfHandle.end()) {
            group.translated = &found->second;
        }
    } else if ((raw.code == 2 || raw.code == 3) && m_derivedNames.count(group.value) > 0) {
        static const std::string derived(kDerivedBlockName);
        group.translated = &derived;
    }
}

void Drawing::assignKeys() {
    const std::wstring repositoryPlace =
        std::wstring(kRepositoryDictionary) + L"/" + std::wstring(kRepositoryRecord);
    std::map<std::string, int> withoutHandle;
    std::unordered_map<std::wstring, std::size_t> records;  // block record name -> index
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        Object& o = m_objects[i];
        o.key = o.handle.empty()
                    ? o.type + " without handle #" + std::to_string(++withoutHandle[o.type])
                    : o.handle;
        if (o.type == "BLOCK_RECORD") {
            records.emplace(o.name, i);
        } else if (o.type == "XRECORD" && o.place == repositoryPlace && m_repository == nullptr) {
            o.key = "XML repository";  // the module replaces the record on every save
            m_repository = &o;
        }
    }
    // Dimension blocks, then their entities, then every BLOCK and ENDBLK, by what they belong to.
    std::unordered_map<std::string, int> entityCounts;
    for (const Object& o : m_objects) {
        if (o.type != "DIMENSION") {
            continue;
        }
        const std::wstring& name = o.dimensionBlock;
        const auto record = records.find(name);
        if (name.size() < 2 || name[0] != L'*' || std::towupper(name[1]) != L'D' ||
            record == records.end() || m_derivedNames.count(wideToUtf8(name)) > 0) {
            continue;
        }
        m_derivedNames.insert(wideToUtf8(name));
        m_objects[record->second].key = "block of dimension " + o.key;
    }
    for (Object& o : m_objects) {
        const Object* owner = byHandle(o.owner);
        if (owner == nullptr || owner->type != "BLOCK_RECORD") {
            continue;
        }
        if (o.type == "BLOCK" || o.type == "ENDBLK") {
            o.key = o.type + " of " + owner->key;
        } else if (owner->key != owner->handle) {
            o.key = owner->key + " entity " + std::to_string(++entityCounts[owner->key]);
        }
    }
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        Object& o = m_objects[i];
        for (int again = 2; !m_byKey.emplace(o.key, i).second; ++again) {
            o.key += "#" + std::to_string(again);  // a handle the file uses twice
        }
        if (!o.handle.empty() && o.key != o.handle && m_byHandle[o.handle] == i) {
            m_keyOfHandle.emplace(o.handle, o.key);
        }
    }
}

void Drawing::findPlaces() {
    std::deque<std::size_t> dictionaries;  // to visit, their place set
    const auto root = std::find_if(m_objects.begin(), m_objects.end(), [](const Object& o) {
        return o.type == "DICTIONARY" && (o.owner == "0" || o.owner.empty());
    });
    if (root != m_objects.end()) {
        dictionaries.push_back(static_cast<std::size_t>(root - m_objects.begin()));
    }
    for (const Object& o : m_objects) {
        Object* dictionary = byHandle(o.extensionDictionary);
        if (dictionary != nullptr && dictionary->place.empty()) {
            dictionary->place =
                L"extension dictionary of " + utf8ToWide(o.type) + L" " + utf8ToWide(o.handle);
            dictionaries.push_back(static_cast<std::size_t>(dictionary - m_objects.data()));
        }
    }
    std::set<std::size_t> visited;
    while (!dictionaries.empty()) {
        const std::size_t index = dictionaries.front();
        dictionaries.pop_front();
        if (!visited.insert(index).second) {
            continue;
        }
        const std::wstring prefix =
            m_objects[index].place.empty() ? L"" : m_objects[index].place + L"/";
        for (const auto& [name, handle] : m_objects[index].entries) {
            Object* entry = byHandle(handle);
            if (entry == nullptr || !entry->place.empty() ||
                visited.count(static_cast<std::size_t>(entry - m_objects.data())) > 0) {
                continue;
            }
            entry->place = prefix + name;
            if (entry->type == "DICTIONARY" || entry->type == "ACDBDICTIONARYWDFLT") {
                dictionaries.push_back(static_cast<std::size_t>(entry - m_objects.data()));
            }
        }
    }
}

void Drawing::addGroup(Object& object, Build& state, const DxfGroup& g) {
    const std::wstring* groupContext = state.context;
    if (g.code == 1001) {
        state.xdata = true;
        state.context = context(L"XData " + text(g));
        return;
    }
    if (!state.xdata) {
        const bool dictionary = object.type == "DICTIONARY" || object.type == "ACDBDICTIONARYWDFLT";
        if (g.code == 100) {
            state.subclass = text(g);
            state.context = state.inBrace ? state.context : context(state.subclass);
            return;
        }
        if (g.code == 102) {
            state.inBrace = g.text.rfind('{', 0) == 0;
            state.context = context(state.inBrace ? text(g) : state.subclass);
            return;
        }
        if (g.code == (object.type == "DIMSTYLE" ? 105 : 5) && !state.handleSeen) {
            state.handleSeen = true;
            return;
        }
        if (object.type == "TABLE" && g.code == 70) {
            return;  // a count of the records, whose own additions show
        }
        if (&object == m_repository && !state.inBrace && g.code == 1) {
            m_repositoryText += text(g);  // the XML texts, compared per application
            m_repositoryLine = m_repositoryLine == 0 ? g.line : m_repositoryLine;
            return;
        }
        if (dictionary && !state.inBrace && g.code == 3) {
            state.entry = text(g);
            return;
        }
        if (dictionary && !state.inBrace && (g.code == 350 || g.code == 360) &&
            !state.entry.empty()) {
            groupContext = context(L"entry " + state.entry);
            state.entry.clear();
        }
    }
    Group group;
    group.context = groupContext;
    group.code = g.code;
    group.occurrence = state.counts[{groupContext, g.code}]++;
    group.value = value(g);
    group.line = g.line;
    translate(g, group);
    object.groups.push_back(std::move(group));
}

void Drawing::readRepository() {
    if (m_repository == nullptr) {
        return;
    }
    std::map<std::wstring, std::wstring> apps;
    if (!splitRepository(m_repositoryText, apps)) {
        apps = {{std::wstring(kWholeRepository), m_repositoryText}};
    }
    const std::size_t line = m_repositoryLine == 0 ? m_repository->line : m_repositoryLine;
    for (auto& [name, xml] : apps) {
        m_xml[name] = {std::move(xml), line, m_repository->handle};
    }
    m_repositoryText.clear();
}

// Whether a group that one version lacks holds the format's default for it: writers leave those
// out. The context is that of the group; an empty one in the table stands for any.
bool holdsDefault(const Group& group) {
    struct Default {
        std::wstring_view context;
        int code;
        std::string_view value;
    };
    static constexpr Default kDefaults[] = {
        {L"", 39, "0"},           {L"", 210, "0,0,1"},        {L"AcDbEntity", 6, "ByLayer"},
        {L"AcDbEntity", 48, "1"}, {L"AcDbEntity", 60, "0"},   {L"AcDbEntity", 62, "256"},
        {L"AcDbEntity", 67, "0"}, {L"AcDbEntity", 370, "-1"}, {L"AcDbText", 41, "1"},
        {L"AcDbText", 50, "0"},   {L"AcDbText", 51, "0"},     {L"AcDbText", 71, "0"},
        {L"AcDbText", 72, "0"},   {L"AcDbText", 73, "0"},     {L"AcDbBlockBegin", 4, ""},
    };
    return group.occurrence == 0 &&
           std::any_of(std::begin(kDefaults), std::end(kDefaults), [&](const Default& d) {
               return d.code == group.code && d.value == group.value &&
                      (d.context.empty() || d.context == *group.context);
           });
}

// The groups of two versions of an object that differ.
std::vector<GroupDifference> groupDifferences(const std::vector<Group>& oldGroups,
                                              const std::vector<Group>& newGroups) {
    using Key = std::tuple<const std::wstring&, int, int>;
    std::map<Key, std::size_t> oldIndex;
    for (std::size_t i = 0; i < oldGroups.size(); ++i) {
        const Group& g = oldGroups[i];
        oldIndex.emplace(Key(*g.context, g.code, g.occurrence), i);
    }
    std::vector<bool> matched(oldGroups.size(), false);
    std::vector<GroupDifference> differences;
    for (const Group& g : newGroups) {
        const auto found = oldIndex.find(Key(*g.context, g.code, g.occurrence));
        if (found == oldIndex.end()) {
            if (holdsDefault(g)) {
                continue;
            }
            differences.push_back({*g.context, g.code, g.occurrence, false, true, L"",
                                   utf8ToWide(g.value), 0, g.line});
            continue;
        }
        matched[found->second] = true;
        const Group& old = oldGroups[found->second];
        if (old.compared() != g.compared()) {
            differences.push_back({*g.context, g.code, g.occurrence, true, true,
                                   utf8ToWide(old.value), utf8ToWide(g.value), old.line, g.line});
        }
    }
    for (std::size_t i = 0; i < oldGroups.size(); ++i) {
        if (!matched[i] && !holdsDefault(oldGroups[i])) {
            const Group& g = oldGroups[i];
            differences.push_back({*g.context, g.code, g.occurrence, true, false,
                                   utf8ToWide(g.value), L"", g.line, 0});
        }
    }
    return differences;
}

ObjectDifference objectDifference(DiffWhat what, const Object& object) {
    ObjectDifference difference;
    difference.what = what;
    difference.kind = utf8ToWide(object.type);
    difference.handle = utf8ToWide(object.handle);
    difference.place = object.place;
    (what == DiffWhat::kRemoved ? difference.oldLine : difference.newLine) = object.line;
    return difference;
}

void compareXml(const Drawing& before, const Drawing& after, DrawingDiff& diff) {
    std::set<std::wstring> names;
    for (const auto& [name, text] : before.xml()) {
        names.insert(name);
    }
    for (const auto& [name, text] : after.xml()) {
        names.insert(name);
    }
    for (const std::wstring& name : names) {
        const auto old = before.xml().find(name);
        const auto now = after.xml().find(name);
        const bool inOld = old != before.xml().end();
        const bool inNew = now != after.xml().end();
        if (inOld && inNew && old->second.text == now->second.text) {
            continue;
        }
        ObjectDifference difference;
        difference.what = !inOld   ? DiffWhat::kAdded
                          : !inNew ? DiffWhat::kRemoved
                                   : DiffWhat::kChanged;
        difference.kind = L"XML";
        difference.handle = utf8ToWide(inNew ? now->second.handle : old->second.handle);
        difference.place = name;
        difference.oldLine = inOld ? old->second.line : 0;
        difference.newLine = inNew ? now->second.line : 0;
        difference.groups.push_back({name, 1, 0, inOld, inNew, inOld ? old->second.text : L"",
                                     inNew ? now->second.text : L"", difference.oldLine,
                                     difference.newLine});
        diff.objects.push_back(std::move(difference));
    }
}

DrawingDiff compare(const Drawing& before, const Drawing& after) {
    DrawingDiff diff;
    diff.oldError = before.error();
    diff.newError = after.error();
    if (!diff.ok()) {
        return diff;
    }
    ObjectDifference header;
    header.kind = L"HEADER";
    header.oldLine = before.headerLine();
    header.newLine = after.headerLine();
    header.groups = groupDifferences(before.header(), after.header());
    if (!header.groups.empty()) {
        diff.objects.push_back(std::move(header));
    }
    for (const Object& now : after.objects()) {
        const Object* old = before.byKey(now.key);
        if (old != nullptr && old->type != now.type) {
            diff.objects.push_back(objectDifference(DiffWhat::kRemoved, *old));
            old = nullptr;
        }
        if (old == nullptr) {
            diff.objects.push_back(objectDifference(DiffWhat::kAdded, now));
            continue;
        }
        std::vector<GroupDifference> groups = groupDifferences(old->groups, now.groups);
        if (!groups.empty()) {
            ObjectDifference changed = objectDifference(DiffWhat::kChanged, now);
            changed.oldLine = old->line;
            changed.groups = std::move(groups);
            diff.objects.push_back(std::move(changed));
        }
    }
    for (const Object& old : before.objects()) {
        if (after.byKey(old.key) == nullptr) {
            diff.objects.push_back(objectDifference(DiffWhat::kRemoved, old));
        }
    }
    compareXml(before, after, diff);
    return diff;
}

std::wstring lines(bool inOld, std::size_t oldLine, bool inNew, std::size_t newLine) {
    if (inOld && inNew) {
        return L" (lines " + std::to_wstring(oldLine) + L", " + std::to_wstring(newLine) + L")";
    }
    return L" (line " + std::to_wstring(inOld ? oldLine : newLine) + L")";
}

}  // namespace

const wchar_t* diffWhatName(DiffWhat what) {
    switch (what) {
        case DiffWhat::kAdded:
            return L"added";
        case DiffWhat::kRemoved:
            return L"removed";
        case DiffWhat::kChanged:
            return L"changed";
    }
    return L"unknown";
}

std::wstring GroupDifference::text() const {
    // Line breaks of texts are shown escaped, so that a difference stays on one line.
    const auto shown = [](bool present, const std::wstring& value) {
        if (!present) {
            return std::wstring(L"(none)");
        }
        std::wstring out;
        for (const wchar_t c : value) {
            out += c == L'\n' ? L"\\n" : c == L'\r' ? L"\\r" : std::wstring(1, c);
        }
        return out;
    };
    std::wstring out = context.empty() ? L"" : context + L" ";
    out += std::to_wstring(code);
    if (occurrence > 0) {
        out += L"#" + std::to_wstring(occurrence + 1);
    }
    return out + L": " + shown(inOld, oldValue) + L" -> " + shown(inNew, newValue) +
           lines(inOld, oldLine, inNew, newLine);
}

std::wstring ObjectDifference::text() const {
    std::wstring out = std::wstring(diffWhatName(what)) + L" " + kind;
    if (kind == L"XML") {
        out += L" of " + place;
    } else {
        out += handle.empty() ? L"" : L" " + handle;
        out += place.empty() ? L"" : L" in " + place;
    }
    return out + lines(what != DiffWhat::kAdded, oldLine, what != DiffWhat::kRemoved, newLine);
}

std::wstring DrawingDiff::text() const {
    std::wstring out;
    if (!oldError.empty()) {
        out += L"the old drawing cannot be read: " + oldError + L"\n";
    }
    if (!newError.empty()) {
        out += L"the new drawing cannot be read: " + newError + L"\n";
    }
    for (const ObjectDifference& object : objects) {
        out += object.text() + L"\n";
        for (const GroupDifference& group : object.groups) {
            out += L"  " + group.text() + L"\n";
        }
    }
    return out;
}

DrawingDiff diffDrawingFiles(std::string_view oldBytes, std::string_view newBytes,
                             const DiffProgress& progress) {
    const Drawing before(oldBytes, 0, progress);
    const Drawing after(newBytes, 1, progress);
    return compare(before, after);
}

DrawingDiff diffDrawings(AcDbDatabase* oldDb, AcDbDatabase* newDb) {
    std::string oldText;
    std::string newText;
    const dxf::WriteResult oldWritten = dxf::writeDrawing(oldDb, oldText);
    const dxf::WriteResult newWritten = dxf::writeDrawing(newDb, newText);
    if (oldWritten.status != Acad::eOk || newWritten.status != Acad::eOk) {
        DrawingDiff diff;
        if (oldWritten.status != Acad::eOk) {
            diff.oldError = L"cannot be written: " + oldWritten.message;
        }
        if (newWritten.status != Acad::eOk) {
            diff.newError = L"cannot be written: " + newWritten.message;
        }
        return diff;
    }
    return diffDrawingFiles(oldText, newText);
}

}  // namespace host
