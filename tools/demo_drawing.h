// The showcase drawing of `kestrel demo`, built in the working database through the module as a
// client module builds its drawings. Each function reports its steps and must run inside a
// host command on the host's main thread.
#pragma once

#include <filesystem>

class DemoReport;

// The layers the demo draws on, each made current in turn by the functions below.
void addDemoLayers(DemoReport& report);
// One entity of every kind the module creates; the line carries XData, the circle records in
// its extension dictionary.
void addDemoEntities(DemoReport& report);
// The title block brought in from blockFile (its model space), referenced once with its
// attributes filled in; and the file's block NORTH_ARROW under another name, referenced once.
void addDemoTitleBlock(DemoReport& report, const std::filesystem::path& blockFile);
// Records of the demo in the named object dictionary, a big string among them.
void addDemoDictionaryRecords(DemoReport& report);

// The demo's application name for XData and its named-dictionary entry.
inline constexpr wchar_t kDemoApp[] = L"KESTREL_DEMO";
