// The block walk: the block record is open for read only while its ids are taken, so a visit may
// open other records, nested blocks included.
#include "tools/entity_walk.h"

#include <memory>
#include <vector>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/open.h"
#include "tools/progress.h"

namespace {

// The ids of the block's live entities; false when the block does not open.
bool entityIds(const AcDbObjectId& blockId, std::vector<AcDbObjectId>& ids) {
    AcDbBlockTableRecord* block = nullptr;
    if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk) {
        return false;
    }
    AcDbBlockTableRecordIterator* raw = nullptr;
    if (block->newIterator(raw) == Acad::eOk) {
        std::unique_ptr<AcDbBlockTableRecordIterator> iterator(raw);
        for (; !iterator->done(); iterator->step()) {
            AcDbObjectId id;
            if (iterator->getEntityId(id) == Acad::eOk) {
                ids.push_back(id);
            }
        }
    }
    block->close();
    return true;
}

}  // namespace

int walkBlock(const AcDbObjectId& blockId, const std::function<void(const AcDbEntity&)>& visit,
              const char* progressLabel) {
    std::vector<AcDbObjectId> ids;
    if (!entityIds(blockId, ids)) {
        return -1;
    }
    Progress progress(progressLabel != nullptr ? progressLabel : "",
                      progressLabel != nullptr ? static_cast<long>(ids.size()) : 0);
    for (const AcDbObjectId& id : ids) {
        progress.step();
        AcDbEntity* entity = nullptr;
        if (acdbOpenObject(entity, id, AcDb::kForRead) == Acad::eOk) {
            visit(*entity);
            entity->close();
        }
    }
    return static_cast<int>(ids.size());
}

int blockEntityCount(const AcDbObjectId& blockId) {
    std::vector<AcDbObjectId> ids;
    return entityIds(blockId, ids) ? static_cast<int>(ids.size()) : -1;
}
