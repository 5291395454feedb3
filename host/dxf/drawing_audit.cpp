// The drawing audit: reads a file's groups with the host's lexer into objects, then applies each
// rule in turn, collecting findings.
#include "kestrel/host/dxf/drawing_audit.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <set>
#include <unordered_map>

#include "host/dxf/dxf_conventions.h"
#include "host/dxf/dxf_lexer.h"
#include "kestrel/host/dxf/dxf_writer.h"
#include "kestrel/platform/utf8.h"

namespace host {
namespace {

struct Group {
    int code = 0;
    std::string value;  // texts and handles as written, integers in decimal, chunks in hex
};

struct Object {
    std::string type;
    std::string section;
    std::size_t line = 0;
    std::vector<Group> groups;
    std::string handle;
    std::string owner;  // the first 330 outside 102 groups; empty when none
    bool hasOwner = false;
    bool entity = false;
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool parseHex(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

std::size_t codePoints(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// The value of a group as the rules compare it; empty for reals and points, which none reads.
std::string valueText(const DxfGroup& group) {
    switch (group.valueClass) {
        case GroupValueClass::kText:
        case GroupValueClass::kName:
            return std::string(group.text);
        case GroupValueClass::kBinary:
            return dxfGroupHex(group);
        case GroupValueClass::kInt16:
        case GroupValueClass::kInt32:
        case GroupValueClass::kInt64:
        case GroupValueClass::kBool:
            return std::to_string(group.integer);
        default:
            return {};
    }
}

class Checker {
public:
    explicit Checker(std::string_view bytes) { parse(bytes); }

    std::vector<AuditFinding> run() {
        if (!m_findings.empty()) {
            return std::move(m_findings);  // unreadable: the rules have nothing to look at
        }
        checkSections();
        checkHeader();
        checkHandles();
        checkOwnersAndReferences();
        checkSubclassMarkers();
        checkRequiredRecords();
        checkBlocks();
        checkRootDictionary();
        checkXData();
        checkNamesUsed();
        checkExtensionDictionaries();
        checkPaperSpace();
        return std::move(m_findings);
    }

private:
    void fault(AuditCode code, const std::string& text) {
        m_findings.push_back({code, L"", L"", 0, utf8ToWide(text)});
    }
    void fault(AuditCode code, const Object& o, const std::string& text) {
        m_findings.push_back(
            {code, utf8ToWide(o.type), utf8ToWide(o.handle), o.line, utf8ToWide(text)});
    }

    void parse(std::string_view bytes);
    void addObject(Object object);
    const Object* byHandle(const std::string& handle) const {
        const auto found = m_byHandle.find(handle);
        return found != m_byHandle.end() ? found->second : nullptr;
    }
    bool hasRecord(const std::string& table, const std::string& name) const {
        const auto found = m_records.find(table);
        return found != m_records.end() && found->second.count(lower(name)) > 0;
    }
    bool inPaperSpace(const Object& entity) const;

    void checkSections();
    void checkHeader();
    void checkHandles();
    void checkOwnersAndReferences();
    void checkSubclassMarkers();
    void checkRequiredRecords();
    void checkBlocks();
    void checkRootDictionary();
    void checkXData();
    void checkNamesUsed();
    void checkExtensionDictionaries();
    void checkPaperSpace();

    std::vector<std::string> m_sections;
    bool m_eof = false;
    std::map<std::string, std::string> m_header;
    std::vector<Object> m_objects;
    std::unordered_map<std::string, const Object*> m_byHandle;
    std::map<std::string, std::set<std::string>> m_records;  // table -> lower-case names
    std::vector<AuditFinding> m_findings;
};

void Checker::parse(std::string_view bytes) {
    DxfLexer lexer(bytes);
    std::vector<Group> groups;
    std::vector<std::size_t> lines;
    DxfGroup group;
    while (lexer.next(group)) {
        groups.push_back({group.code, valueText(group)});
        lines.push_back(group.line);
    }
    if (lexer.failed()) {
        m_findings.push_back(
            {AuditCode::kUnreadable, L"", L"", lexer.linesRead(), lexer.message()});
        return;
    }
    std::string section;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const Group& g = groups[i];
        if (g.code != 0) {
            continue;  // groups of the current object were taken below
        }
        if (g.value == "SECTION") {
            section = i + 1 < groups.size() && groups[i + 1].code == 2 ? groups[i + 1].value : "";
            m_sections.push_back(section);
            if (section == "HEADER") {
                for (std::size_t k = i + 2; k < groups.size() && groups[k].code != 0; ++k) {
                    if (groups[k].code == 9 && k + 1 < groups.size()) {
                        m_header[groups[k].value] = groups[k + 1].value;
                    }
                }
            }
            continue;
        }
        if (g.value == "ENDSEC" || g.value == "ENDTAB") {
            continue;
        }
        if (g.value == "EOF") {
            m_eof = i + 1 == groups.size();
            if (!m_eof) {
                fault(AuditCode::kSections, "groups follow EOF");
            }
            break;
        }
        Object object;
        object.type = g.value;
        object.section = section;
        object.line = lines[i];
        for (std::size_t k = i + 1; k < groups.size() && groups[k].code != 0; ++k) {
            object.groups.push_back(groups[k]);
        }
        addObject(std::move(object));
    }
    for (const Object& o : m_objects) {
        if (!o.handle.empty()) {
            m_byHandle.emplace(o.handle, &o);
        }
    }
}

void Checker::addObject(Object object) {
    object.entity = object.section == "BLOCKS" || object.section == "ENTITIES";
    int depth = 0;
    const int handleCode = object.type == "DIMSTYLE" ? 105 : 5;
    for (const Group& g : object.groups) {
        if (g.code == 1001) {
            break;
        }
        if (g.code == 102) {
            depth += g.value.rfind('{', 0) == 0 ? 1 : -1;
        } else if (g.code == handleCode && object.handle.empty()) {
            object.handle = g.value;
        } else if (g.code == 330 && depth == 0 && !object.hasOwner) {
            object.owner = g.value;
            object.hasOwner = true;
        }
    }
    if (object.section == "TABLES" && object.type != "TABLE") {
        const auto name = std::find_if(object.groups.begin(), object.groups.end(),
                                       [](const Group& g) { return g.code == 2; });
        if (name != object.groups.end()) {
            m_records[object.type].insert(lower(name->value));
        }
    }
    m_objects.push_back(std::move(object));
}

void Checker::checkSections() {
    const std::vector<std::string> expected = {"HEADER", "CLASSES",  "TABLES",
                                               "BLOCKS", "ENTITIES", "OBJECTS"};
    if (m_sections != expected) {
        std::string found;
        for (const std::string& s : m_sections) {
            found += s + " ";
        }
        fault(AuditCode::kSections, "sections out of order or missing: " + found);
    }
    if (!m_eof) {
        fault(AuditCode::kSections, "no EOF at the end");
    }
}

void Checker::checkHeader() {
    for (const char* name : {"$ACADVER", "$HANDSEED"}) {
        if (m_header.count(name) == 0) {
            fault(AuditCode::kHeader, std::string("header lacks ") + name);
        }
    }
}

void Checker::checkHandles() {
    std::uint64_t seed = 0;
    if (!parseHex(m_header["$HANDSEED"], seed)) {
        fault(AuditCode::kHeader, "$HANDSEED is not a handle");
    }
    std::set<std::string> seen;
    for (const Object& o : m_objects) {
        if (o.type == "CLASS") {
            continue;
        }
        std::uint64_t value = 0;
        if (o.handle.empty() || !parseHex(o.handle, value) || value == 0) {
            fault(AuditCode::kHandle, o, "no valid handle");
        } else if (!seen.insert(o.handle).second) {
            fault(AuditCode::kHandle, o, "handle used twice");
        } else if (value >= seed) {
            fault(AuditCode::kHandle, o, "handle not below $HANDSEED");
        }
        if (o.type == "DIMSTYLE" && std::any_of(o.groups.begin(), o.groups.end(),
                                                [](const Group& g) { return g.code == 5; })) {
            fault(AuditCode::kHandle, o, "a dimension style carries its handle under 5");
        }
    }
}

void Checker::checkOwnersAndReferences() {
    for (const Object& o : m_objects) {
        if (o.type == "CLASS") {
            continue;
        }
        const bool root = o.section == "OBJECTS" && o.type == "DICTIONARY" && o.owner == "0";
        if (!o.hasOwner) {
            fault(AuditCode::kOwner, o, "no owner (330)");
        } else if (o.owner == "0" && o.type != "TABLE" && !root) {
            fault(AuditCode::kOwner, o, "owner is null");
        }
        bool extensionDictionary = false;
        for (const Group& g : o.groups) {
            if (g.code == 1001) {
                break;
            }
            if (g.code == 102) {
                extensionDictionary = g.value == "{ACAD_XDICTIONARY";
            }
            if (g.code != 330 && g.code != 340 && g.code != 350 && g.code != 360) {
                continue;
            }
            // Other kinds may write a null 360 (an image's reactor that is not there).
            const bool entry = o.type == "DICTIONARY" || extensionDictionary;
            if (g.value == "0") {
                if (entry && (g.code == 350 || g.code == 360)) {
                    fault(AuditCode::kReference, o,
                          "group " + std::to_string(g.code) + " names no object");
                }
            } else if (byHandle(g.value) == nullptr) {
                fault(AuditCode::kReference, o,
                      "group " + std::to_string(g.code) + " names " + g.value +
                          ", which no object has");
            }
        }
    }
}

void Checker::checkSubclassMarkers() {
    for (const Object& o : m_objects) {
        if (o.type == "CLASS" || o.type == "ACDBPLACEHOLDER") {
            continue;
        }
        // An object of a kind the format does not define is written as its program gave it.
        const std::wstring kind = utf8ToWide(o.type);
        if (!o.entity && !dxf::isBuiltInDxfName(kind) && dxf::findClassRecord(kind) == nullptr) {
            continue;
        }
        const auto marker = std::find_if(o.groups.begin(), o.groups.end(),
                                         [](const Group& g) { return g.code == 100; });
        if (marker == o.groups.end()) {
            fault(AuditCode::kSubclassMarker, o, "no subclass marker");
        } else if (o.entity && marker->value != "AcDbEntity") {
            fault(AuditCode::kSubclassMarker, o, "first subclass marker is not AcDbEntity");
        }
    }
}

void Checker::checkRequiredRecords() {
    const std::pair<const char*, const char*> required[] = {
        {"LTYPE", "ByBlock"},
        {"LTYPE", "ByLayer"},
        {"LTYPE", "Continuous"},
        {"LAYER", "0"},
        {"STYLE", "Standard"},
        {"APPID", "ACAD"},
        {"DIMSTYLE", "Standard"},
        {"BLOCK_RECORD", "*Model_Space"},
        {"BLOCK_RECORD", "*Paper_Space"},
    };
    for (const auto& [table, name] : required) {
        if (!hasRecord(table, name)) {
            fault(AuditCode::kMissingRecord, std::string(table) + " " + name + " is missing");
        }
    }
}

void Checker::checkBlocks() {
    std::string open;
    std::set<std::string> blocks;
    for (const Object& o : m_objects) {
        if (o.type != "BLOCK" && o.type != "ENDBLK") {
            continue;
        }
        if (o.type == "BLOCK") {
            if (!open.empty()) {
                fault(AuditCode::kBlock, "BLOCK " + open + " has no ENDBLK");
            }
            const auto name = std::find_if(o.groups.begin(), o.groups.end(),
                                           [](const Group& g) { return g.code == 2; });
            open = name != o.groups.end() ? name->value : "?";
            blocks.insert(lower(open));
        } else if (open.empty()) {
            fault(AuditCode::kBlock, "ENDBLK without BLOCK");
        } else {
            open.clear();
        }
    }
    if (!open.empty()) {
        fault(AuditCode::kBlock, "BLOCK " + open + " has no ENDBLK");
    }
    for (const char* name : {"*model_space", "*paper_space"}) {
        if (blocks.count(name) == 0) {
            fault(AuditCode::kBlock, std::string("no BLOCK/ENDBLK for ") + name);
        }
    }
}

// Entries of a dictionary: name -> handle.
std::map<std::string, std::string> entriesOf(const Object& dictionary) {
    std::map<std::string, std::string> entries;
    std::string key;
    for (const Group& g : dictionary.groups) {
        if (g.code == 3) {
            key = g.value;
        } else if ((g.code == 350 || g.code == 360) && !key.empty()) {
            entries[key] = g.value;
        }
    }
    return entries;
}

void Checker::checkRootDictionary() {
    const auto first = std::find_if(m_objects.begin(), m_objects.end(),
                                    [](const Object& o) { return o.section == "OBJECTS"; });
    if (first == m_objects.end() || first->type != "DICTIONARY") {
        fault(AuditCode::kRootDictionary, "OBJECTS does not start with the root dictionary");
        return;
    }
    const auto entries = entriesOf(*first);
    for (const char* name : {"ACAD_GROUP", "ACAD_LAYOUT"}) {
        if (entries.count(name) == 0) {
            fault(AuditCode::kRootDictionary, std::string("the root dictionary has no ") + name);
        }
    }
    const auto layouts = entries.find("ACAD_LAYOUT");
    const Object* dictionary = layouts != entries.end() ? byHandle(layouts->second) : nullptr;
    if (dictionary == nullptr) {
        return;
    }
    const auto layoutEntries = entriesOf(*dictionary);
    if (layoutEntries.empty()) {
        fault(AuditCode::kRootDictionary, "ACAD_LAYOUT is empty");
    }
    for (const auto& [name, handle] : layoutEntries) {
        const Object* layout = byHandle(handle);
        if (layout == nullptr || layout->type != "LAYOUT") {
            fault(AuditCode::kRootDictionary, "ACAD_LAYOUT entry " + name + " is not a LAYOUT");
        }
    }
}

void Checker::checkXData() {
    for (const Object& o : m_objects) {
        const auto start = std::find_if(o.groups.begin(), o.groups.end(),
                                        [](const Group& g) { return g.code == 1001; });
        std::size_t size = 0;
        for (auto g = start; g != o.groups.end(); ++g) {
            const int code = g->code;
            if ((code >= 1020 && code <= 1023) || (code >= 1030 && code <= 1033)) {
                continue;  // Y and Z of a point counted with its X
            }
            size += 2;
            if (code == 1001 && !hasRecord("APPID", g->value)) {
                fault(AuditCode::kXData, o, "XData of unregistered application " + g->value);
            }
            if (code == 1000 && codePoints(g->value) > 255) {
                fault(AuditCode::kXData, o, "XData text longer than 255 characters");
            }
            if (code == 1000 || code == 1001 || code == 1003) {
                size += 2 + 2 * codePoints(g->value);
            } else if (code >= 1010 && code <= 1013) {
                size += 24;
            } else if ((code >= 1040 && code <= 1042) || code == 1005) {
                size += 8;
            } else if (code == 1070) {
                size += 2;
            } else if (code == 1071) {
                size += 4;
            } else if (code == 1002) {
                size += 1;
            } else if (code == 1004) {
                size += 1 + g->value.size() / 2;
            }
        }
        if (size > 16383) {
            fault(AuditCode::kXData, o, "XData over 16383 bytes");
        }
    }
}

void Checker::checkNamesUsed() {
    for (const Object& o : m_objects) {
        if (!o.entity) {
            continue;
        }
        for (const Group& g : o.groups) {
            if (g.code == 100 && g.value != "AcDbEntity") {
                break;  // later subclasses use 2, 6 and 8 for other things
            }
            if (g.code == 8 && !hasRecord("LAYER", g.value)) {
                fault(AuditCode::kUndefinedName, o, "layer " + g.value + " does not exist");
            }
            if (g.code == 6 && !hasRecord("LTYPE", g.value)) {
                fault(AuditCode::kUndefinedName, o, "linetype " + g.value + " does not exist");
            }
        }
        if (o.type == "INSERT") {
            const auto name = std::find_if(o.groups.begin(), o.groups.end(),
                                           [](const Group& g) { return g.code == 2; });
            if (name == o.groups.end() || !hasRecord("BLOCK_RECORD", name->value)) {
                fault(AuditCode::kUndefinedName, o, "inserts a block that does not exist");
            }
        }
    }
}

void Checker::checkExtensionDictionaries() {
    for (const Object& o : m_objects) {
        bool inside = false;
        for (const Group& g : o.groups) {
            if (g.code == 102) {
                inside = g.value == "{ACAD_XDICTIONARY";
            } else if (inside && g.code == 360) {
                const Object* dictionary = byHandle(g.value);
                if (dictionary != nullptr && dictionary->owner != o.handle) {
                    fault(AuditCode::kExtensionDictionary, o,
                          "its extension dictionary " + g.value + " is owned by another object");
                }
            }
        }
    }
}

bool Checker::inPaperSpace(const Object& entity) const {
    const Object* owner = byHandle(entity.owner);
    for (int depth = 0; owner != nullptr && owner->entity && depth < 8; ++depth) {
        owner = byHandle(owner->owner);  // vertices, attributes, sequence ends
    }
    if (owner == nullptr || owner->type != "BLOCK_RECORD") {
        return false;
    }
    const auto name = std::find_if(owner->groups.begin(), owner->groups.end(),
                                   [](const Group& g) { return g.code == 2; });
    return name != owner->groups.end() && lower(name->value).rfind("*paper_space", 0) == 0;
}

void Checker::checkPaperSpace() {
    for (const Object& o : m_objects) {
        if (!o.entity) {
            continue;
        }
        const auto flag = std::find_if(o.groups.begin(), o.groups.end(),
                                       [](const Group& g) { return g.code == 67; });
        const bool marked = flag != o.groups.end() && flag->value == "1";
        if (marked != inPaperSpace(o)) {
            fault(AuditCode::kPaperSpace, o,
                  marked ? "marked paper space outside it" : "in paper space without 67 1");
        }
    }
}

}  // namespace

const wchar_t* auditCodeName(AuditCode code) {
    switch (code) {
        case AuditCode::kUnreadable:
            return L"unreadable";
        case AuditCode::kSections:
            return L"sections";
        case AuditCode::kHeader:
            return L"header";
        case AuditCode::kHandle:
            return L"handle";
        case AuditCode::kOwner:
            return L"owner";
        case AuditCode::kReference:
            return L"reference";
        case AuditCode::kSubclassMarker:
            return L"subclass-marker";
        case AuditCode::kMissingRecord:
            return L"missing-record";
        case AuditCode::kBlock:
            return L"block";
        case AuditCode::kRootDictionary:
            return L"root-dictionary";
        case AuditCode::kXData:
            return L"xdata";
        case AuditCode::kUndefinedName:
            return L"undefined-name";
        case AuditCode::kExtensionDictionary:
            return L"extension-dictionary";
        case AuditCode::kPaperSpace:
            return L"paper-space";
    }
    return L"unknown";
}

std::wstring AuditFinding::text() const {
    if (kind.empty()) {
        return fault;
    }
    return kind + (handle.empty() ? L"" : L" " + handle) + L": " + fault;
}

std::vector<AuditFinding> auditDrawingFile(std::string_view bytes) {
    return Checker(bytes).run();
}

std::vector<AuditFinding> auditDrawing(AcDbDatabase* db) {
    std::string text;
    const dxf::WriteResult written = dxf::writeDrawing(db, text);
    if (written.status != Acad::eOk) {
        return {{AuditCode::kUnreadable, L"", L"", 0, L"cannot be written: " + written.message}};
    }
    return auditDrawingFile(text);
}

}  // namespace host
