// DrawingSummary: what the working database's drawing holds, gathered through the module's
// table and dictionary pointers and the XML interface, for `kestrel info`: the lists and counts,
// and the values themselves (XData by application, extension-dictionary and named-dictionary
// records, the length of each XML text).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "kestrel/host/ge/point3d.h"

struct DrawingSummary {
    struct Named {
        std::wstring name;
        int count;  // entities of a block, records of a dictionary, characters of an XML text
    };
    // One group of a value list: texts (handles as hex digits, binary chunks as hex bytes),
    // reals, integers or points.
    struct Group {
        int code;
        std::variant<std::wstring, double, std::int64_t, AcGePoint3d> value;
    };
    // The values one owner keeps under one name: an entity's XData of an application or its
    // extension dictionary's record of a key, or a named dictionary's record.
    struct Values {
        std::wstring owner;   // the entity's DXF name, or the dictionary's name
        std::wstring handle;  // the entity's handle; empty for a named dictionary's record
        std::wstring name;    // the application or the record's key
        std::vector<Group> groups;
    };

    std::vector<std::wstring> layers;         // table order
    std::vector<Named> blocks;                // block definitions (no layouts), table order
    std::map<std::wstring, int> entityKinds;  // model space entities by DXF name
    int entities = 0;                         // model space entities
    std::map<std::wstring, int> xdataApps;    // application -> model space entities with XData
    int extensionDictionaries = 0;            // model space entities with one
    std::vector<Named> dictionaries;          // named object dictionary entries, with records
    std::vector<Named> xml;                   // XML applications with their text's length
    std::vector<Values> xdata;                // model space, in entity order
    std::vector<Values> extensionRecords;     // Xrecords of model space extension dictionaries
    std::vector<Values> dictionaryRecords;    // Xrecords of the named dictionaries' entries
};

// Fills summary from the working database; false when it cannot be read (no working database,
// model space that does not open). Registers a notifier with the drawing's XML repository.
bool summarizeDrawing(DrawingSummary& summary);

// Prints the summary as lines that start with their count ("5 layers: 0, Walls, ..."), one
// "  KIND: n" line per entity kind; verbose adds the values and the XML texts' lengths.
void printSummary(const DrawingSummary& summary, bool verbose);
// Prints everything the summary holds as one JSON object, for scripts.
void printSummaryJson(const std::string& file, const DrawingSummary& summary);
