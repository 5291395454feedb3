// Walking the entities of one block record (model space, a layout or a block definition) of
// a database, each opened for read during its visit only. Host main thread only.
#pragma once

#include <functional>

#include "kestrel/host/db/object_id.h"

class AcDbEntity;

// Calls visit for each entity of the block in order; erased entities and those that do not
// open are passed over. The number of entities in the block (visited or not), or -1 when the
// block does not open. With a progressLabel the walk shows progress on a terminal.
int walkBlock(const AcDbObjectId& blockId, const std::function<void(const AcDbEntity&)>& visit,
              const char* progressLabel = nullptr);

// The number of live entities in the block, opening none of them; -1 when the block does not open.
int blockEntityCount(const AcDbObjectId& blockId);
