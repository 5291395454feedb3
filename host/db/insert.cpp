// AcDbDatabase::insert: another database's model space, or one of its blocks, copied into a new
// block definition of this database through a clone session (host/db/deep_clone.h).
#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/deep_clone.h"
#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/db/open.h"

namespace {

// Adds an empty block definition called name with the given origin; it stays open for write.
Acad::ErrorStatus addBlock(AcDbDatabase* db, const ACHAR* name, const AcGePoint3d& origin,
                           AcDbBlockTableRecord*& block, AcDbObjectId& id) {
    auto* record = new AcDbBlockTableRecord;
    Acad::ErrorStatus status = record->setName(name);
    if (status == Acad::eOk) {
        record->setOrigin(origin);
        AcDbBlockTable* table = nullptr;
        status = acdbOpenObject(table, db->blockTableId(), AcDb::kForWrite);
        if (status == Acad::eOk) {
            status = table->add(id, record);
            table->close();
        }
    }
    if (status != Acad::eOk) {
        delete record;
        return status;
    }
    block = record;
    return Acad::eOk;
}

// The live entities of a block definition, in order.
Acad::ErrorStatus entitiesOf(AcDbObjectId blockId, std::vector<AcDbObjectId>& ids) {
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(record, blockId, AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbBlockTableRecordIterator* raw = nullptr;
    record->newIterator(raw);
    std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
    record->close();
    for (; !it->done(); it->step()) {
        AcDbObjectId id;
        if (it->getEntityId(id) == Acad::eOk) {
            ids.push_back(id);
        }
    }
    return Acad::eOk;
}

// Copies the entities of source's block sourceBlock into a new block name of destination.
Acad::ErrorStatus insertBlock(AcDbDatabase* destination, AcDbObjectId& blockId, const ACHAR* name,
                              AcDbDatabase* source, AcDbObjectId sourceBlock) {
    if (!host::findRecord(destination, destination->blockTableId(), name).isNull()) {
        return Acad::eDuplicateRecordName;
    }
    std::vector<AcDbObjectId> entities;
    Acad::ErrorStatus status = entitiesOf(sourceBlock, entities);
    AcGePoint3d origin;
    if (status == Acad::eOk) {
        AcDbBlockTableRecord* record = nullptr;
        status = acdbOpenObject(record, sourceBlock, AcDb::kForRead);
        if (status == Acad::eOk) {
            origin = record->origin();
            record->close();
        }
    }
    AcDbBlockTableRecord* block = nullptr;
    AcDbObjectId newId;
    if (status == Acad::eOk) {
        status = addBlock(destination, name, origin, block, newId);
    }
    if (status != Acad::eOk) {
        return status;
    }
    AcDbIdMapping mapping;
    mapping.setDatabases(source, destination);
    mapping.setDeepCloneContext(AcDb::kDcInsert);
    // The copied block stands for its source, so references to it inside follow it.
    mapping.assign(AcDbIdPair(sourceBlock, newId, false));
    host::CloneSession session(source, destination, mapping);
    for (const AcDbObjectId& id : entities) {
        status = session.cloneEntityInto(id, block);
        if (status != Acad::eOk) {
            break;
        }
    }
    block->close();
    if (status == Acad::eOk) {
        status = session.translate();
    }
    if (status == Acad::eOk) {
        blockId = newId;
    }
    return status;
}

}  // namespace

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const ACHAR* blockName,
                                       AcDbDatabase* source, bool) {
    if (blockName == nullptr || source == nullptr) {
        return Acad::eNullPtr;
    }
    if (source == this) {
        return Acad::eSelfReference;
    }
    return insertBlock(this, blockId, blockName, source, source->modelSpaceId());
}

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const ACHAR* sourceBlockName,
                                       const ACHAR* destinationBlockName, AcDbDatabase* source,
                                       bool) {
    if (sourceBlockName == nullptr || destinationBlockName == nullptr || source == nullptr) {
        return Acad::eNullPtr;
    }
    if (source == this) {
        return Acad::eSelfReference;
    }
    const AcDbObjectId sourceBlock =
        host::findRecord(source, source->blockTableId(), sourceBlockName);
    if (sourceBlock.isNull()) {
        return Acad::eKeyNotFound;
    }
    return insertBlock(this, blockId, destinationBlockName, source, sourceBlock);
}
