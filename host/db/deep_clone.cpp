// Deep cloning: the id mapping and its iterator, the clone session (copy through binary filing,
// owned objects with their owner, id translation, symbol records by name) and
// AcDbDatabase::deepCloneObjects.
#include "kestrel/host/db/deep_clone.h"

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/dim_style_table.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/regapp_table.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/rx/class.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbIdMapping, AcRxObject);
ACRX_NO_CONS_DEFINE_MEMBERS(AcDbIdMappingIter, AcRxObject);

// --- AcDbIdMapping
// ---------------------------------------------------------------------------------

Acad::ErrorStatus AcDbIdMapping::assign(const AcDbIdPair& pair) {
    if (pair.key().isNull()) {
        return Acad::eNullObjectId;
    }
    const auto found = m_index.find(pair.key());
    if (found != m_index.end()) {
        m_pairs[found->second] = pair;
        return Acad::eOk;
    }
    m_index.emplace(pair.key(), m_pairs.size());
    m_pairs.push_back(pair);
    m_translated.push_back(false);
    return Acad::eOk;
}

bool AcDbIdMapping::compute(AcDbIdPair& pair) const {
    const auto found = m_index.find(pair.key());
    if (found == m_index.end()) {
        return false;
    }
    pair = m_pairs[found->second];
    return true;
}

Acad::ErrorStatus AcDbIdMapping::del(AcDbObjectId key) {
    const auto found = m_index.find(key);
    if (found == m_index.end()) {
        return Acad::eKeyNotFound;
    }
    const std::size_t position = found->second;
    m_pairs.erase(m_pairs.begin() + static_cast<std::ptrdiff_t>(position));
    m_translated.erase(m_translated.begin() + static_cast<std::ptrdiff_t>(position));
    m_index.clear();
    for (std::size_t i = 0; i < m_pairs.size(); ++i) {
        m_index.emplace(m_pairs[i].key(), i);
    }
    return Acad::eOk;
}

void AcDbIdMapping::setDatabases(AcDbDatabase* origDb, AcDbDatabase* destDb) {
    m_origDb = origDb;
    m_destDb = destDb;
}

// --- AcDbIdMappingIter
// -----------------------------------------------------------------------------

Acad::ErrorStatus AcDbIdMappingIter::iterateOn(const AcDbIdMapping& mapping) {
    m_mapping = &mapping;
    m_position = 0;
    return Acad::eOk;
}

bool AcDbIdMappingIter::done() const {
    return m_position >= static_cast<std::size_t>(m_mapping->numPairs());
}

bool AcDbIdMappingIter::next() {
    if (!done()) {
        ++m_position;
    }
    return !done();
}

bool AcDbIdMappingIter::getMap(AcDbIdPair& pair) const {
    if (done()) {
        return false;
    }
    pair = m_mapping->pairAt(m_position);
    return true;
}

AcDbObjectId AcDbIdMappingIter::key() const {
    return done() ? AcDbObjectId::kNull : m_mapping->pairAt(m_position).key();
}

AcDbObjectId AcDbIdMappingIter::value() const {
    return done() ? AcDbObjectId::kNull : m_mapping->pairAt(m_position).value();
}

bool AcDbIdMappingIter::isCloned() const {
    return !done() && m_mapping->pairAt(m_position).isCloned();
}

namespace host {

namespace {

// Notes the ids an object owns while it files itself.
class OwnershipRecorder : public DwgMemoryFiler {
public:
    OwnershipRecorder(AcDb::FilerType type, AcDbDatabase* database)
        : DwgMemoryFiler(type, database) {}

    Acad::ErrorStatus writeHardOwnershipId(const AcDbHardOwnershipId& id) override {
        note(id);
        return DwgMemoryFiler::writeHardOwnershipId(id);
    }
    Acad::ErrorStatus writeSoftOwnershipId(const AcDbSoftOwnershipId& id) override {
        note(id);
        return DwgMemoryFiler::writeSoftOwnershipId(id);
    }

    std::vector<AcDbObjectId> takeOwned() { return std::move(m_owned); }

private:
    void note(const AcDbObjectId& id) {
        if (!id.isNull()) {
            m_owned.push_back(id);
        }
    }

    std::vector<AcDbObjectId> m_owned;
};

// Reads filed bytes back, giving every id the session's translation.
class TranslatingFiler : public DwgMemoryFiler {
public:
    TranslatingFiler(std::vector<unsigned char> bytes, AcDbDatabase* database,
                     CloneSession& session)
        : DwgMemoryFiler(std::move(bytes), AcDb::kIdXlateFiler, database), m_session(session) {}

    Acad::ErrorStatus readHardOwnershipId(AcDbHardOwnershipId* id) override {
        return translate(DwgMemoryFiler::readHardOwnershipId(id), id, true);
    }
    Acad::ErrorStatus readSoftOwnershipId(AcDbSoftOwnershipId* id) override {
        return translate(DwgMemoryFiler::readSoftOwnershipId(id), id, true);
    }
    Acad::ErrorStatus readHardPointerId(AcDbHardPointerId* id) override {
        return translate(DwgMemoryFiler::readHardPointerId(id), id, false);
    }
    Acad::ErrorStatus readSoftPointerId(AcDbSoftPointerId* id) override {
        return translate(DwgMemoryFiler::readSoftPointerId(id), id, false);
    }

private:
    template <class Id>
    Acad::ErrorStatus translate(Acad::ErrorStatus status, Id* id, bool ownership) {
        if (status == Acad::eOk && id != nullptr) {
            *id = Id(m_session.translated(*id, ownership));
        }
        return status;
    }

    CloneSession& m_session;
};

// The destination table of each kind of record the copies may refer to.
struct RecordTable {
    AcRxClass* (*recordClass)();
    TableIdOf table;
};

constexpr RecordTable kRecordTables[] = {
    {&AcDbLayerTableRecord::desc, &AcDbDatabase::layerTableId},
    {&AcDbLinetypeTableRecord::desc, &AcDbDatabase::linetypeTableId},
    {&AcDbTextStyleTableRecord::desc, &AcDbDatabase::textStyleTableId},
    {&AcDbDimStyleTableRecord::desc, &AcDbDatabase::dimStyleTableId},
    {&AcDbBlockTableRecord::desc, &AcDbDatabase::blockTableId},
    {&AcDbRegAppTableRecord::desc, &AcDbDatabase::regAppTableId},
};

const RecordTable* tableFor(const AcRxClass* recordClass) {
    for (const RecordTable& entry : kRecordTables) {
        if (recordClass != nullptr && recordClass->isDerivedFrom(entry.recordClass())) {
            return &entry;
        }
    }
    return nullptr;
}

// Adds record to the destination table tableId; the record stays open for write.
Acad::ErrorStatus addToTable(AcDbObjectId tableId, AcDbSymbolTableRecord* record,
                             AcDbObjectId& id) {
    AcDbSymbolTable* table = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(table, tableId, AcDb::kForWrite);
    if (status == Acad::eOk) {
        status = table->addRecord(id, record);
        table->close();
    }
    return status;
}

}  // namespace

CloneSession::CloneSession(AcDbDatabase* source, AcDbDatabase* destination, AcDbIdMapping& mapping)
    : m_source(source), m_destination(destination), m_mapping(mapping) {}

Acad::ErrorStatus CloneSession::copyOf(AcDbObjectId sourceId, AcDbObject*& copy,
                                       std::vector<AcDbObjectId>& owned) {
    copy = nullptr;
    AcDbObject* source = nullptr;
    Acad::ErrorStatus status = acdbOpenAcDbObject(source, sourceId, AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    const AcRxClass* kind = source->isA();
    std::unique_ptr<AcRxObject> made(kind != nullptr ? kind->create() : nullptr);
    AcDbObject* object = AcDbObject::cast(made.get());
    if (object == nullptr) {
        source->close();
        return Acad::eNotApplicable;
    }
    OwnershipRecorder filer(
        m_source == m_destination ? AcDb::kDeepCloneFiler : AcDb::kWblockCloneFiler, m_source);
    status = source->dwgOutFields(&filer);
    source->close();
    if (status == Acad::eOk) {
        owned = filer.takeOwned();
        filer.rewind();
        status = object->dwgInFields(&filer);
    }
    if (status != Acad::eOk) {
        return status;
    }
    if (m_source != m_destination) {
        registerApplications(*object);
    }
    made.release();
    copy = object;
    return Acad::eOk;
}

Acad::ErrorStatus CloneSession::cloneEntityInto(AcDbObjectId sourceId,
                                                AcDbBlockTableRecord* block) {
    AcDbObject* copy = nullptr;
    std::vector<AcDbObjectId> owned;
    Acad::ErrorStatus status = copyOf(sourceId, copy, owned);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbEntity* entity = AcDbEntity::cast(copy);
    AcDbObjectId newId;
    status = entity != nullptr ? block->appendAcDbEntity(newId, entity) : Acad::eNotThatKindOfClass;
    if (status != Acad::eOk) {
        delete copy;
        return status;
    }
    m_mapping.assign(AcDbIdPair(sourceId, newId, true, true));
    entity->close();
    return cloneOwned(owned, newId);
}

Acad::ErrorStatus CloneSession::cloneOwned(const std::vector<AcDbObjectId>& owned,
                                           AcDbObjectId newOwner) {
    for (const AcDbObjectId& id : owned) {
        AcDbIdPair known(id, AcDbObjectId::kNull, false);
        if (m_mapping.compute(known) || id.isErased()) {
            continue;
        }
        AcDbObject* copy = nullptr;
        std::vector<AcDbObjectId> nested;
        Acad::ErrorStatus status = copyOf(id, copy, nested);
        AcDbObjectId newId;
        if (status == Acad::eOk) {
            status = m_destination->addObject(copy, newOwner, newId);
            if (status != Acad::eOk) {
                delete copy;
            }
        }
        if (status != Acad::eOk) {
            return status;
        }
        m_mapping.assign(AcDbIdPair(id, newId, true));
        copy->close();
        status = cloneOwned(nested, newId);
        if (status != Acad::eOk) {
            return status;
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus CloneSession::resolveRecord(AcDbObjectId sourceId, AcDbObjectId& destinationId) {
    AcDbIdPair known(sourceId, AcDbObjectId::kNull, false);
    if (m_mapping.compute(known)) {
        destinationId = known.value();
        return Acad::eOk;
    }
    const RecordTable* table = tableFor(sourceId.objectClass());
    if (table == nullptr) {
        return Acad::eNotThatKindOfClass;
    }
    const AcDbObjectId existing =
        findRecord(m_destination, (m_destination->*table->table)(), recordName(sourceId));
    if (!existing.isNull()) {
        m_mapping.assign(AcDbIdPair(sourceId, existing, false));
        destinationId = existing;
        return Acad::eOk;
    }
    AcDbObject* copy = nullptr;
    std::vector<AcDbObjectId> owned;
    Acad::ErrorStatus status = copyOf(sourceId, copy, owned);
    AcDbObjectId newId;
    if (status == Acad::eOk) {
        status =
            addToTable((m_destination->*table->table)(), AcDbSymbolTableRecord::cast(copy), newId);
        if (status != Acad::eOk) {
            delete copy;
        }
    }
    if (status != Acad::eOk) {
        return status;
    }
    m_mapping.assign(AcDbIdPair(sourceId, newId, true));
    copy->close();
    destinationId = newId;
    return cloneOwned(owned, newId);
}

AcDbObjectId CloneSession::translated(AcDbObjectId id, bool ownership) {
    if (id.isNull()) {
        return id;
    }
    AcDbIdPair known(id, AcDbObjectId::kNull, false);
    if (m_mapping.compute(known)) {
        return known.value();
    }
    if (id.database() == m_destination) {
        return ownership ? AcDbObjectId::kNull : id;
    }
    AcDbObjectId record;
    if (!ownership && id.database() == m_source && tableFor(id.objectClass()) != nullptr) {
        const Acad::ErrorStatus status = resolveRecord(id, record);
        if (status != Acad::eOk && m_resolveStatus == Acad::eOk) {
            m_resolveStatus = status;
        }
    }
    return record;
}

Acad::ErrorStatus CloneSession::translate() {
    for (std::size_t i = 0; i < static_cast<std::size_t>(m_mapping.numPairs()); ++i) {
        const AcDbIdPair pair = m_mapping.pairAt(i);
        if (!pair.isCloned() || m_mapping.isTranslated(i)) {
            continue;
        }
        m_mapping.markTranslated(i);
        AcDbObject* copy = nullptr;
        Acad::ErrorStatus status = acdbOpenAcDbObject(copy, pair.value(), AcDb::kForWrite, true);
        if (status != Acad::eOk) {
            return status;
        }
        DwgMemoryFiler out(AcDb::kIdXlateFiler, m_destination);
        status = copy->dwgOutFields(&out);
        if (status == Acad::eOk) {
            TranslatingFiler in(out.takeBytes(), m_destination, *this);
            status = copy->dwgInFields(&in);
        }
        copy->close();
        if (status != Acad::eOk) {
            return status;
        }
    }
    return m_resolveStatus;
}

void CloneSession::registerApplications(const AcDbObject& copy) {
    resbuf* chain = copy.xData();
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        if (rb->restype != 1001 || rb->resval.rstring == nullptr) {
            continue;
        }
        const AcDbObjectId table = m_destination->regAppTableId();
        if (!findRecord(m_destination, table, rb->resval.rstring).isNull()) {
            continue;
        }
        auto* record = new AcDbRegAppTableRecord;
        AcDbObjectId id;
        if (record->setName(rb->resval.rstring) == Acad::eOk &&
            addToTable(table, record, id) == Acad::eOk) {
            record->close();
        } else {
            delete record;
        }
    }
    acutRelRb(chain);
}

}  // namespace host

Acad::ErrorStatus AcDbDatabase::deepCloneObjects(AcDbObjectIdArray& objectIds, AcDbObjectId& owner,
                                                 AcDbIdMapping& idMap, bool deferXlation) {
    if (owner.isNull()) {
        return Acad::eNullObjectId;
    }
    if (owner.database() != this) {
        return Acad::eWrongDatabase;
    }
    for (int i = 0; i < objectIds.length(); ++i) {
        const AcDbObjectId& id = objectIds[i];
        if (id.isNull()) {
            return Acad::eNullObjectId;
        }
        if (id.database() != this) {
            return Acad::eWrongDatabase;
        }
        if (id.isErased()) {
            return Acad::eWasErased;
        }
        const AcRxClass* kind = id.objectClass();
        if (kind == nullptr || !kind->isDerivedFrom(AcDbEntity::desc())) {
            return Acad::eNotThatKindOfClass;
        }
    }
    AcDbBlockTableRecord* block = nullptr;
    Acad::ErrorStatus status = acdbOpenObject(block, owner, AcDb::kForWrite);
    if (status != Acad::eOk) {
        return status;
    }
    idMap.setDatabases(this, this);
    host::CloneSession session(this, this, idMap);
    for (int i = 0; status == Acad::eOk && i < objectIds.length(); ++i) {
        AcDbIdPair known(objectIds[i], AcDbObjectId::kNull, false);
        if (!idMap.compute(known)) {
            status = session.cloneEntityInto(objectIds[i], block);
        }
    }
    block->close();
    if (status == Acad::eOk && !deferXlation) {
        status = session.translate();
    }
    return status;
}
