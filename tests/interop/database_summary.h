// The JSON summary of what a database holds, the way the interop suite's python checks read a
// saved file back.
#pragma once

#include <string>

#include "kestrel/host/db/database.h"

namespace interop {

// A JSON text describing db: entities per layout in order (type, handle, layer, and the geometry
// as ezdxf names its fields), layers,
// blocks with the types of their entities, the attributes of each block reference, the XData of
// every entity, extension dictionaries, the named object dictionary's tree and every Xrecord.
std::string summarize(AcDbDatabase& db);

}  // namespace interop
