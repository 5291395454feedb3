// Drawings for the interop suite: a builder that puts every entity kind the host models, layers,
// a block with attribute definitions and references with attributes, XData, extension
// dictionaries, nested dictionaries and Xrecords with binary chunks into a database; and a JSON
// summary of what a database holds, the way the python checks read a file back.
#pragma once

#include <string>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/object_id.h"

namespace interop {

// The application registered for the sample's XData.
inline constexpr const wchar_t* kAppName = L"KESTREL_INTEROP";

// Fills db (a default drawing) with the sample content; false (with a gtest failure) when a
// step is refused. Every object is closed again.
bool buildSampleDrawing(AcDbDatabase& db);

// A JSON text describing db: entities per layout in order (type, handle, layer), layers,
// blocks with the types of their entities, the attributes of each block reference, the XData of
// every entity, extension dictionaries, the named object dictionary's tree and every Xrecord.
std::string summarize(AcDbDatabase& db);

}  // namespace interop
