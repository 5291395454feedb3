// DrawingSummary: what the working database's drawing holds, gathered through the module's
// table and dictionary pointers and the XML interface, for `kestrel info`.
#pragma once

#include <map>
#include <string>
#include <vector>

struct DrawingSummary {
    struct Named {
        std::wstring name;
        int count;  // entities of a block, records of a dictionary
    };

    std::vector<std::wstring> layers;         // table order
    std::vector<Named> blocks;                // block definitions (no layouts), table order
    std::map<std::wstring, int> entityKinds;  // model space entities by DXF name
    int entities = 0;                         // model space entities
    std::map<std::wstring, int> xdataApps;    // application -> model space entities with XData
    int extensionDictionaries = 0;            // model space entities with one
    std::vector<Named> dictionaries;          // named object dictionary entries
    std::vector<std::wstring> xmlApps;        // applications of the XML repository
};

// Fills summary from the working database; false when it cannot be read (no working database,
// model space that does not open). Registers a notifier with the drawing's XML repository.
bool summarizeDrawing(DrawingSummary& summary);

// Prints the summary as "key: value" lines, one "  KIND: n" line per entity kind.
void printSummary(const DrawingSummary& summary);
