// The drawing comparison: each file's groups are read with the host's lexer into keyed objects
// (the header's variables, objects by their match key, the XML repository's texts per
// application), then the two drawings are compared key by key.
#include "host/dxf/drawing_diff.h"

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
#include "host/dxf/dxf_writer.h"
#include "platform/utf8.h"

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
    // What the comparison uses when it is not the value: the match key of a handle, "*D" for a
    // dimension block's name.
    std::string translated;
    bool isTranslated = false;
    std::size_t line = 0;

    const std::string& compared() const { return isTranslated ? translated : value; }
};

struct Object {
    std::string type;
    std::size_t line = 0;
    std::size_t first = 0;  // its groups after group 0 in the file's list: [first, last)
    std::size_t last = 0;
    std::string handle;  // upper case; empty without
    std::string owner;   // the first 330 outside 102 groups and XData
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

// One drawing file read for the comparison.
class Drawing {
public:
    explicit Drawing(std::string_view bytes);

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
    bool lex(std::string_view bytes);
    void split();
    void readHandles();
    void assignKeys();
    void findPlaces();
    void readRepository();
    void buildGroups(Object& object);

    std::wstring text(const DxfGroup& group) {
        m_decoder->decode(group.text, m_decoded);
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
    // The first text of code in the object (before any XData), empty when none.
    std::wstring firstText(const Object& object, int code, std::string_view after = {});
    // A dictionary's entries in file order: name and handle.
    std::vector<std::pair<std::wstring, std::string>> entries(const Object& dictionary);

    std::vector<DxfGroup> m_raw;
    std::wstring m_error;
    std::unique_ptr<DxfTextDecoder> m_decoder;
    std::wstring m_decoded;
    std::vector<Group> m_header;
    std::size_t m_headerLine = 0;
    std::vector<Object> m_objects;
    std::unordered_map<std::string, std::size_t> m_byHandle;  // first object of each handle
    std::unordered_map<std::string, std::size_t> m_byKey;
    std::unordered_map<std::string, std::string> m_keyOfHandle;  // where they differ
    std::set<std::string> m_derivedNames;  // of dimension blocks matched by dimension, UTF-8
    std::set<std::wstring> m_contexts;
    const Object* m_repository = nullptr;
    std::map<std::wstring, XmlText> m_xml;
};

Drawing::Drawing(std::string_view bytes) {
    if (!lex(bytes)) {
        return;
    }
    split();
    readHandles();
    findPlaces();
    assignKeys();
    readRepository();
    for (Object& object : m_objects) {
        buildGroups(object);
    }
    m_raw.clear();
}

bool Drawing::lex(std::string_view bytes) {
    DxfLexer lexer(bytes);
    DxfGroup group;
    while (lexer.next(group)) {
        m_raw.push_back(group);
    }
    if (lexer.failed()) {
        m_error = lexer.message();
    } else if (m_raw.empty()) {
        m_error = L"the file holds no groups";
    }
    return m_error.empty();
}

void Drawing::split() {
    std::string section;
    std::string release;
    std::string codePage;
    std::vector<std::pair<std::string, std::size_t>> variables;  // name, first group
    for (std::size_t i = 0; i < m_raw.size(); ++i) {
        const DxfGroup& g = m_raw[i];
        if (g.code != 0) {
            if (section == "HEADER" && g.code == 9) {
                variables.emplace_back(std::string(g.text), i + 1);
            }
            continue;
        }
        if (g.text == "SECTION") {
            section = i + 1 < m_raw.size() && m_raw[i + 1].code == 2 ? m_raw[i + 1].text : "";
            m_headerLine = section == "HEADER" ? g.line : m_headerLine;
            continue;
        }
        if (g.text == "ENDSEC" || g.text == "ENDTAB" || g.text == "EOF" || section == "HEADER" ||
            section == "CLASSES") {
            continue;
        }
        Object object;
        object.type = std::string(g.text);
        object.line = g.line;
        object.first = i + 1;
        object.last = i + 1;
        while (object.last < m_raw.size() && m_raw[object.last].code != 0) {
            ++object.last;
        }
        m_objects.push_back(std::move(object));
    }
    for (const auto& [name, first] : variables) {
        if (first < m_raw.size() && name == "$ACADVER") {
            release = m_raw[first].text;
        } else if (first < m_raw.size() && name == "$DWGCODEPAGE") {
            codePage = m_raw[first].text;
        }
    }
    m_decoder = std::make_unique<DxfTextDecoder>(release, codePage);
    for (const auto& [name, first] : variables) {
        if (ignoredHeaderVariable(name)) {
            continue;
        }
        const std::wstring* variable = context(utf8ToWide(name));
        std::map<int, int> counts;
        for (std::size_t k = first; k < m_raw.size() && m_raw[k].code != 9 && m_raw[k].code != 0;
             ++k) {
            Group group;
            group.context = variable;
            group.code = m_raw[k].code;
            group.occurrence = counts[group.code]++;
            group.value = value(m_raw[k]);
            group.line = m_raw[k].line;
            m_header.push_back(std::move(group));
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
        case GroupValueClass::kBinary: {
            static constexpr char kDigits[] = "0123456789ABCDEF";
            std::string hex;
            for (const unsigned char byte : dxfGroupBytes(group)) {
                hex += kDigits[byte >> 4];
                hex += kDigits[byte & 15];
            }
            return hex;
        }
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
            group.translated = found->second;
            group.isTranslated = true;
        }
    } else if ((raw.code == 2 || raw.code == 3) && m_derivedNames.count(group.value) > 0) {
        group.translated = kDerivedBlockName;
        group.isTranslated = true;
    }
}

std::wstring Drawing::firstText(const Object& object, int code, std::string_view after) {
    bool started = after.empty();
    for (std::size_t i = object.first; i < object.last && m_raw[i].code != 1001; ++i) {
        if (!started) {
            started = m_raw[i].code == 100 && m_raw[i].text == after;
        } else if (m_raw[i].code == code) {
            return text(m_raw[i]);
        }
    }
    return {};
}

std::vector<std::pair<std::wstring, std::string>> Drawing::entries(const Object& dictionary) {
    std::vector<std::pair<std::wstring, std::string>> found;
    std::wstring name;
    bool inBrace = false;
    for (std::size_t i = dictionary.first; i < dictionary.last && m_raw[i].code != 1001; ++i) {
        const DxfGroup& g = m_raw[i];
        if (g.code == 102) {
            inBrace = g.text.rfind('{', 0) == 0;
        } else if (!inBrace && g.code == 3) {
            name = text(g);
        } else if (!inBrace && (g.code == 350 || g.code == 360) && !name.empty()) {
            found.emplace_back(std::move(name), upper(g.text));
            name.clear();
        }
    }
    return found;
}

void Drawing::readHandles() {
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        Object& o = m_objects[i];
        const int handleCode = o.type == "DIMSTYLE" ? 105 : 5;
        int depth = 0;
        for (std::size_t k = o.first; k < o.last && m_raw[k].code != 1001; ++k) {
            const DxfGroup& g = m_raw[k];
            if (g.code == 102) {
                depth += g.text.rfind('{', 0) == 0 ? 1 : -1;
            } else if (g.code == handleCode && o.handle.empty()) {
                o.handle = upper(g.text);
            } else if (g.code == 330 && depth == 0 && o.owner.empty()) {
                o.owner = upper(g.text);
            }
        }
        if (!o.handle.empty()) {
            m_byHandle.emplace(o.handle, i);
        }
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
            records.emplace(firstText(o, 2), i);
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
        const std::wstring name = firstText(o, 2, "AcDbDimension");
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
    for (Object& o : m_objects) {
        bool inside = false;
        for (std::size_t k = o.first; k < o.last && m_raw[k].code != 1001; ++k) {
            if (m_raw[k].code == 102) {
                inside = m_raw[k].text == "{ACAD_XDICTIONARY";
            } else if (inside && m_raw[k].code == 360) {
                Object* dictionary = byHandle(upper(m_raw[k].text));
                if (dictionary != nullptr && dictionary->place.empty()) {
                    dictionary->place = L"extension dictionary of " + utf8ToWide(o.type) + L" " +
                                        utf8ToWide(o.handle);
                    dictionaries.push_back(static_cast<std::size_t>(dictionary - m_objects.data()));
                }
            }
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
        for (const auto& [name, handle] : entries(m_objects[index])) {
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

void Drawing::readRepository() {
    if (m_repository == nullptr) {
        return;
    }
    const Object* record = m_repository;
    std::wstring joined;
    std::size_t line = 0;
    for (std::size_t k = record->first; k < record->last && m_raw[k].code != 1001; ++k) {
        if (m_raw[k].code == 1) {
            joined += text(m_raw[k]);
            line = line == 0 ? m_raw[k].line : line;
        }
    }
    std::map<std::wstring, std::wstring> apps;
    if (!splitRepository(joined, apps)) {
        apps = {{std::wstring(kWholeRepository), joined}};
    }
    for (auto& [name, xml] : apps) {
        m_xml[name] = {std::move(xml), line == 0 ? record->line : line, record->handle};
    }
}

void Drawing::buildGroups(Object& object) {
    const bool dictionary = object.type == "DICTIONARY" || object.type == "ACDBDICTIONARYWDFLT";
    const bool repository = &object == m_repository;
    const int handleCode = object.type == "DIMSTYLE" ? 105 : 5;
    std::wstring subclass;
    const std::wstring* current = context(L"");
    std::wstring entry;
    bool inBrace = false;
    bool xdata = false;
    bool handleSeen = false;
    std::map<std::pair<const std::wstring*, int>, int> counts;
    for (std::size_t k = object.first; k < object.last; ++k) {
        const DxfGroup& g = m_raw[k];
        const std::wstring* groupContext = current;
        if (g.code == 1001) {
            xdata = true;
            current = context(L"XData " + text(g));
            continue;
        }
        if (!xdata) {
            if (g.code == 100) {
                subclass = text(g);
                current = inBrace ? current : context(subclass);
                continue;
            }
            if (g.code == 102) {
                inBrace = g.text.rfind('{', 0) == 0;
                current = context(inBrace ? text(g) : subclass);
                continue;
            }
            if (g.code == handleCode && !handleSeen) {
                handleSeen = true;
                continue;
            }
            if (object.type == "TABLE" && g.code == 70) {
                continue;  // a count of the records, whose own additions show
            }
            if (repository && !inBrace && g.code == 1) {
                continue;  // the XML texts, compared per application
            }
            if (dictionary && !inBrace && g.code == 3) {
                entry = text(g);
                continue;
            }
            if (dictionary && !inBrace && (g.code == 350 || g.code == 360) && !entry.empty()) {
                groupContext = context(L"entry " + entry);
                entry.clear();
            }
        }
        Group group;
        group.context = groupContext;
        group.code = g.code;
        group.occurrence = counts[{groupContext, g.code}]++;
        group.value = value(g);
        group.line = g.line;
        translate(g, group);
        object.groups.push_back(std::move(group));
    }
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

DrawingDiff diffDrawingFiles(std::string_view oldBytes, std::string_view newBytes) {
    return compare(Drawing(oldBytes), Drawing(newBytes));
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
