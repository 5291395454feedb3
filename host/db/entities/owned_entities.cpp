// The owned entities of polylines and block references, and their iterator.
#include "kestrel/host/db/entities/owned_entities.h"

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/entities/polyline_shape.h"
#include "kestrel/host/db/entities/sequence_end.h"
#include "kestrel/host/db/owned_objects.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObjectIterator, AcRxObject);

AcDbObjectIterator::AcDbObjectIterator(std::vector<AcDbObjectId> ids,
                                       std::vector<AcDbEntity*> entities)
    : m_ids(std::move(ids)), m_entities(std::move(entities)) {
    m_ids.resize(std::max(m_ids.size(), m_entities.size()));
    m_entities.resize(m_ids.size(), nullptr);
    start();
}

bool AcDbObjectIterator::erasedAt(std::ptrdiff_t position) const {
    return m_ids[static_cast<std::size_t>(position)].isErased();
}

void AcDbObjectIterator::start(bool atEnd) {
    m_position = atEnd ? static_cast<std::ptrdiff_t>(m_ids.size()) - 1 : 0;
    while (!done() && erasedAt(m_position)) {
        m_position += atEnd ? -1 : 1;
    }
}

bool AcDbObjectIterator::done() const {
    return m_position < 0 || m_position >= static_cast<std::ptrdiff_t>(m_ids.size());
}

void AcDbObjectIterator::step(bool backwards, bool skipDeleted) {
    do {
        m_position += backwards ? -1 : 1;
    } while (skipDeleted && !done() && erasedAt(m_position));
}

AcDbObjectId AcDbObjectIterator::objectId() const {
    return done() ? AcDbObjectId::kNull : m_ids[static_cast<std::size_t>(m_position)];
}

AcDbEntity* AcDbObjectIterator::entity() {
    return done() ? nullptr : m_entities[static_cast<std::size_t>(m_position)];
}

bool AcDbObjectIterator::setPosition(AcDbObjectId id) {
    const auto found = std::find(m_ids.begin(), m_ids.end(), id);
    if (id.isNull() || found == m_ids.end()) {
        return false;
    }
    m_position = found - m_ids.begin();
    return true;
}

bool AcDbObjectIterator::setPosition(AcDbEntity* entity) {
    const auto found = std::find(m_entities.begin(), m_entities.end(), entity);
    if (entity == nullptr || found == m_entities.end()) {
        return false;
    }
    m_position = found - m_entities.begin();
    return true;
}

namespace host {

Acad::ErrorStatus OwnedEntities::append(AcDbObject* owner, AcDbEntity* entity, AcDbObjectId& id) {
    if (entity == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (entity->database() != nullptr) {
        return Acad::eAlreadyInDb;
    }
    AcDbDatabase* db = owner->database();
    if (db == nullptr) {
        id = AcDbObjectId::kNull;
        m_kept.emplace_back(entity);
        return Acad::eOk;
    }
    const Acad::ErrorStatus status = db->addObject(entity, owner->objectId(), id);
    if (status == Acad::eOk) {
        m_ids.push_back(id);
    }
    return status;
}

Acad::ErrorStatus OwnedEntities::appendWithProperties(AcDbEntity* owner, AcDbEntity* entity,
                                                      AcDbObjectId& id) {
    if (entity != nullptr && entity->layerId().isNull() && owner->database() != nullptr) {
        copyEntityProperties(*owner, *entity);
    }
    return append(owner, entity, id);
}

Acad::ErrorStatus OwnedEntities::closeAppended(Acad::ErrorStatus status, AcDbObjectId id,
                                               AcDbEntity* entity) {
    if (status == Acad::eOk && !id.isNull()) {
        entity->close();
    }
    return status;
}

Acad::ErrorStatus OwnedEntities::openSequenceEnd(AcDbSequenceEnd*& end, AcDb::OpenMode mode) const {
    end = nullptr;
    return m_sequenceEnd.isNull() ? Acad::eNullObjectId : acdbOpenObject(end, m_sequenceEnd, mode);
}

void OwnedEntities::ownerAdded(AcDbEntity* owner) {
    std::vector<std::unique_ptr<AcDbEntity>> kept = std::move(m_kept);
    m_kept.clear();
    for (auto& entity : kept) {
        if (entity->layerId().isNull()) {
            copyEntityProperties(*owner, *entity);
        }
        AcDbObjectId id;
        if (append(owner, entity.get(), id) == Acad::eOk) {
            entity.release()->close();
        }
    }
    ensureSequenceEnd(owner);
}

void OwnedEntities::ensureSequenceEnd(AcDbObject* owner) {
    AcDbDatabase* db = owner->database();
    if (db == nullptr || !m_sequenceEnd.isNull()) {
        return;
    }
    auto end = std::make_unique<AcDbSequenceEnd>();
    if (const AcDbEntity* entity = AcDbEntity::cast(owner)) {
        copyEntityProperties(*entity, *end);
    }
    if (db->addObject(end.get(), owner->objectId(), m_sequenceEnd) == Acad::eOk) {
        end.release()->close();
    }
}

AcDbObjectIterator* OwnedEntities::newIterator() const {
    std::vector<AcDbEntity*> entities;
    for (const auto& kept : m_kept) {
        entities.push_back(kept.get());
    }
    return new AcDbObjectIterator(m_ids, std::move(entities));
}

Acad::ErrorStatus OwnedEntities::openAll(AcDb::OpenMode mode,
                                         std::vector<AcDbEntity*>& opened) const {
    for (const AcDbObjectId& id : m_ids) {
        if (id.isErased()) {
            continue;
        }
        AcDbEntity* entity = nullptr;
        const Acad::ErrorStatus status = acdbOpenAcDbEntity(entity, id, mode);
        if (status != Acad::eOk) {
            for (AcDbEntity* done : opened) {
                done->close();
            }
            opened.clear();
            return status;
        }
        opened.push_back(entity);
    }
    return Acad::eOk;
}

Acad::ErrorStatus OwnedEntities::cloneInto(OwnedEntities& copy) const {
    std::vector<std::unique_ptr<AcDbEntity>> copies;
    const Acad::ErrorStatus status = forEach(AcDb::kForRead, [&](const AcDbEntity& entity) {
        copies.emplace_back(AcDbEntity::cast(entity.clone()));
    });
    if (status != Acad::eOk) {
        return status;
    }
    for (auto& entity : copies) {
        if (entity != nullptr) {
            copy.m_kept.push_back(std::move(entity));
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus OwnedEntities::erase(bool erasing) const {
    std::vector<AcDbObjectId> all = m_ids;
    if (!m_sequenceEnd.isNull()) {
        all.push_back(m_sequenceEnd);
    }
    return eraseOwnedObjects(all, erasing);
}

Acad::ErrorStatus OwnedEntities::dwgOut(AcDbDwgFiler* filer) const {
    if (filer->filerType() == AcDb::kCopyFiler) {
        return filer->filerStatus();
    }
    filer->writeInt32(static_cast<Adesk::Int32>(m_ids.size()));
    for (const AcDbObjectId& id : m_ids) {
        filer->writeHardOwnershipId(id);
    }
    return filer->writeHardOwnershipId(m_sequenceEnd);
}

Acad::ErrorStatus OwnedEntities::dwgIn(AcDbDwgFiler* filer) {
    if (filer->filerType() == AcDb::kCopyFiler) {
        return filer->filerStatus();
    }
    Adesk::Int32 count = 0;
    Acad::ErrorStatus status = filer->readInt32(&count);
    if (status == Acad::eOk && count < 0) {
        filer->setFilerStatus(Acad::eFilerError);
        return Acad::eFilerError;
    }
    std::vector<AcDbObjectId> ids;
    for (Adesk::Int32 i = 0; i < count && status == Acad::eOk; ++i) {
        AcDbHardOwnershipId id;
        status = filer->readHardOwnershipId(&id);
        if (!id.isNull()) {
            ids.push_back(id);
        }
    }
    AcDbHardOwnershipId end;
    if (status == Acad::eOk) {
        status = filer->readHardOwnershipId(&end);
    }
    if (status == Acad::eOk) {
        m_ids = std::move(ids);
        m_sequenceEnd = end;
    }
    return status;
}

}  // namespace host
