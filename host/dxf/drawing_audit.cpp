// The well-formedness checker: parses a DXF text into objects with their groups, then applies
// each rule in turn, collecting faults.
#include "tests/dxf/wellformed.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <set>
#include <unordered_map>

namespace dxftest {
namespace {

struct Group {
    int code = 0;
    std::string value;
};

struct Object {
    std::string type;
    std::string section;
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

std::string trim(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    return std::string(text);
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

class Checker {
public:
    explicit Checker(std::string_view text) { parse(text); }

    std::vector<std::string> run() {
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
        return std::move(m_faults);
    }

private:
    void fault(const std::string& text) { m_faults.push_back(text); }
    static std::string label(const Object& o) {
        return o.type + (o.handle.empty() ? "" : " " + o.handle);
    }

    void parse(std::string_view text);
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
    std::vector<std::string> m_faults;
};

void Checker::parse(std::string_view text) {
    std::vector<Group> groups;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t codeEnd = text.find('\n', start);
        if (codeEnd == std::string_view::npos) {
            fault("a group code without its value at the end");
            break;
        }
        const std::size_t valueEnd = std::min(text.find('\n', codeEnd + 1), text.size());
        std::string codeText = trim(text.substr(start, codeEnd - start));
        codeText.erase(0, codeText.find_first_not_of(' '));
        Group group;
        const auto result =
            std::from_chars(codeText.data(), codeText.data() + codeText.size(), group.code);
        if (result.ec != std::errc() || result.ptr != codeText.data() + codeText.size()) {
            fault("group code '" + codeText + "' is not a number");
            return;
        }
        group.value = trim(text.substr(codeEnd + 1, valueEnd - codeEnd - 1));
        groups.push_back(std::move(group));
        start = valueEnd + 1;
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
                fault("groups follow EOF");
            }
            break;
        }
        Object object;
        object.type = g.value;
        object.section = section;
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
        fault("sections out of order or missing: " + found);
    }
    if (!m_eof) {
        fault("no EOF at the end");
    }
}

void Checker::checkHeader() {
    for (const char* name : {"$ACADVER", "$HANDSEED"}) {
        if (m_header.count(name) == 0) {
            fault(std::string("header lacks ") + name);
        }
    }
}

void Checker::checkHandles() {
    std::uint64_t seed = 0;
    if (!parseHex(m_header["$HANDSEED"], seed)) {
        fault("$HANDSEED is not a handle");
    }
    std::set<std::string> seen;
    for (const Object& o : m_objects) {
        if (o.type == "CLASS") {
            continue;
        }
        std::uint64_t value = 0;
        if (o.handle.empty() || !parseHex(o.handle, value) || value == 0) {
            fault(label(o) + ": no valid handle");
        } else if (!seen.insert(o.handle).second) {
            fault(label(o) + ": handle used twice");
        } else if (value >= seed) {
            fault(label(o) + ": handle not below $HANDSEED");
        }
        if (o.type == "DIMSTYLE" && std::any_of(o.groups.begin(), o.groups.end(),
                                                [](const Group& g) { return g.code == 5; })) {
            fault(label(o) + ": a dimension style carries its handle under 5");
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
            fault(label(o) + ": no owner (330)");
        } else if (o.owner == "0" && o.type != "TABLE" && !root) {
            fault(label(o) + ": owner is null");
        }
        for (const Group& g : o.groups) {
            if (g.code == 1001) {
                break;
            }
            if (g.code != 330 && g.code != 340 && g.code != 350 && g.code != 360) {
                continue;
            }
            if (g.value == "0") {
                if (g.code == 350 || g.code == 360) {
                    fault(label(o) + ": group " + std::to_string(g.code) + " names no object");
                }
            } else if (byHandle(g.value) == nullptr) {
                fault(label(o) + ": group " + std::to_string(g.code) + " names " + g.value +
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
        const auto marker = std::find_if(o.groups.begin(), o.groups.end(),
                                         [](const Group& g) { return g.code == 100; });
        if (marker == o.groups.end()) {
            fault(label(o) + ": no subclass marker");
        } else if (o.entity && marker->value != "AcDbEntity") {
            fault(label(o) + ": first subclass marker is not AcDbEntity");
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
            fault(std::string(table) + " " + name + " is missing");
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
                fault("BLOCK " + open + " has no ENDBLK");
            }
            const auto name = std::find_if(o.groups.begin(), o.groups.end(),
                                           [](const Group& g) { return g.code == 2; });
            open = name != o.groups.end() ? name->value : "?";
            blocks.insert(lower(open));
        } else if (open.empty()) {
            fault("ENDBLK without BLOCK");
        } else {
            open.clear();
        }
    }
    if (!open.empty()) {
        fault("BLOCK " + open + " has no ENDBLK");
    }
    for (const char* name : {"*model_space", "*paper_space"}) {
        if (blocks.count(name) == 0) {
            fault(std::string("no BLOCK/ENDBLK for ") + name);
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
        fault("OBJECTS does not start with the root dictionary");
        return;
    }
    const auto entries = entriesOf(*first);
    for (const char* name : {"ACAD_GROUP", "ACAD_LAYOUT"}) {
        if (entries.count(name) == 0) {
            fault(std::string("the root dictionary has no ") + name);
        }
    }
    const auto layouts = entries.find("ACAD_LAYOUT");
    const Object* dictionary = layouts != entries.end() ? byHandle(layouts->second) : nullptr;
    if (dictionary == nullptr) {
        return;
    }
    const auto layoutEntries = entriesOf(*dictionary);
    if (layoutEntries.empty()) {
        fault("ACAD_LAYOUT is empty");
    }
    for (const auto& [name, handle] : layoutEntries) {
        const Object* layout = byHandle(handle);
        if (layout == nullptr || layout->type != "LAYOUT") {
            fault("ACAD_LAYOUT entry " + name + " is not a LAYOUT");
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
                fault(label(o) + ": XData of unregistered application " + g->value);
            }
            if (code == 1000 && codePoints(g->value) > 255) {
                fault(label(o) + ": XData text longer than 255 characters");
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
            fault(label(o) + ": XData over 16383 bytes");
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
                fault(label(o) + ": layer " + g.value + " does not exist");
            }
            if (g.code == 6 && !hasRecord("LTYPE", g.value)) {
                fault(label(o) + ": linetype " + g.value + " does not exist");
            }
        }
        if (o.type == "INSERT") {
            const auto name = std::find_if(o.groups.begin(), o.groups.end(),
                                           [](const Group& g) { return g.code == 2; });
            if (name == o.groups.end() || !hasRecord("BLOCK_RECORD", name->value)) {
                fault(label(o) + ": inserts a block that does not exist");
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
                    fault(label(o) + ": its extension dictionary " + g.value +
                          " is owned by another object");
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
            fault(label(o) +
                  (marked ? ": marked paper space outside it" : ": in paper space without 67 1"));
        }
    }
}

}  // namespace

std::vector<std::string> wellFormednessFaults(std::string_view text) {
    return Checker(text).run();
}

}  // namespace dxftest
