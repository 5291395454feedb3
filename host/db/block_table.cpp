// Block records: the owned entity list, appending, the entity iterator and filing.

#include "kestrel/host/db/block_table.h"

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/symbol_name.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, 0, 0, 0, BLOCK_RECORD,
                        DrawHost);
ACRX_DXF_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable, 0, 0, 0, TABLE, DrawHost);

namespace {

constexpr wchar_t kSubclass[] = L"AcDbBlockTableRecord";
constexpr wchar_t kBlockBeginSubclass[] = L"AcDbBlockBegin";

std::wstring textOrEmpty(const wchar_t* text) {
    return text != nullptr ? text : L"";
}

}  // namespace

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbEntity* entity) {
    AcDbObjectId id;
    return appendAcDbEntity(id, entity);
}

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
    if (entity == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!entity->objectId().isNull()) {
        return Acad::eAlreadyInDb;
    }
    AcDbDatabase* db = database();
    if (db == nullptr) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (entity->layerId().isNull()) {
        entity->setDatabaseDefaults(db);
    }
    AcDbObjectId newId;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = db->addObject(entity, objectId(), newId);
    }
    if (status == Acad::eOk) {
        m_entities.push_back(newId);
        id = newId;
    }
    return status;
}

Acad::ErrorStatus AcDbBlockTableRecord::newIterator(AcDbBlockTableRecordIterator*& iterator,
                                                    bool atBeginning, bool skipDeleted) const {
    assertReadEnabled();
    iterator = new AcDbBlockTableRecordIterator(m_entities, atBeginning, skipDeleted);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::pathName(const wchar_t*& path) const {
    assertReadEnabled();
    path = m_pathName.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setPathName(const wchar_t* path) {
    return writeField(m_pathName, textOrEmpty(path));
}

Acad::ErrorStatus AcDbBlockTableRecord::comments(const wchar_t*& text) const {
    assertReadEnabled();
    text = m_comments.c_str();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setComments(const wchar_t* text) {
    return writeField(m_comments, textOrEmpty(text));
}

bool AcDbBlockTableRecord::isLayout() const {
    assertReadEnabled();
    const std::wstring key = foldName(m_name);
    return key == foldName(ACDB_MODEL_SPACE) || key.rfind(foldName(ACDB_PAPER_SPACE), 0) == 0;
}

bool AcDbBlockTableRecord::isNameFixed() const {
    AcDbDatabase* db = database();
    return db != nullptr && (db->modelSpaceId() == objectId() || db->paperSpaceId() == objectId());
}

Acad::ErrorStatus AcDbBlockTableRecord::subErase(bool erasing) {
    if (erasing && isNameFixed()) {
        return Acad::eCannotBeErased;
    }
    return host::eraseOwnedObjects(m_entities, erasing);
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgOutFields(AcDbDwgFiler* filer) const {
    const Acad::ErrorStatus status = dwgOutRecord(filer, *this);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeInt16(m_flags);
    filer->writePoint3d(m_origin);
    filer->writeString(m_pathName);
    filer->writeString(m_comments);
    filer->writeUInt32(static_cast<Adesk::UInt32>(m_entities.size()));
    for (const AcDbObjectId& id : m_entities) {
        filer->writeHardOwnershipId(id);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dwgInFields(AcDbDwgFiler* filer) {
    const Acad::ErrorStatus status = dwgInRecord(filer, *this);
    if (status != Acad::eOk) {
        return status;
    }
    Adesk::UInt32 count = 0;
    filer->readInt16(&m_flags);
    filer->readPoint3d(&m_origin);
    filer->readString(m_pathName);
    filer->readString(m_comments);
    filer->readUInt32(&count);
    std::vector<AcDbObjectId> entities;
    for (Adesk::UInt32 i = 0; i < count && filer->filerStatus() == Acad::eOk; ++i) {
        AcDbHardOwnershipId id;
        filer->readHardOwnershipId(&id);
        entities.push_back(id);
    }
    if (filer->filerStatus() == Acad::eOk) {
        m_entities = std::move(entities);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfOutFields(AcDbDxfFiler* filer) const {
    return dxfOutRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfInFields(AcDbDxfFiler* filer) {
    return dxfInRecord(filer, kSubclass, *this);
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfOutBlockBegin(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    return host::dxfOutSubclassAs<BlockBeginFields>(filer, kBlockBeginSubclass, *this);
}

Acad::ErrorStatus AcDbBlockTableRecord::dxfInBlockBegin(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    const std::wstring formerName = m_name;
    status = host::dxfInSubclassAs<BlockBeginFields>(filer, kBlockBeginSubclass, *this,
                                                     [](const host::DxfItem&) { return false; });
    return status == Acad::eOk ? nameFiledIn(filer, formerName) : status;
}

AcDbBlockTableRecordIterator::AcDbBlockTableRecordIterator(std::vector<AcDbObjectId> ids,
                                                           bool atBeginning, bool skipDeleted)
    : m_cursor(std::move(ids), atBeginning, skipDeleted) {}

void AcDbBlockTableRecordIterator::start(bool atBeginning, bool skipDeleted) {
    m_cursor.start(atBeginning, skipDeleted);
}

void AcDbBlockTableRecordIterator::step(bool forward, bool skipDeleted) {
    m_cursor.step(forward, skipDeleted);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntityId(AcDbObjectId& id) const {
    if (m_cursor.done()) {
        return Acad::eInvalidIndex;
    }
    id = m_cursor.current();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::getEntity(AcDbEntity*& entity, AcDb::OpenMode mode,
                                                          bool openErasedEntity) const {
    entity = nullptr;
    if (m_cursor.done()) {
        return Acad::eInvalidIndex;
    }
    return acdbOpenAcDbEntity(entity, m_cursor.current(), mode, openErasedEntity);
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(AcDbObjectId id) {
    return m_cursor.seek(id) ? Acad::eOk : Acad::eInvalidInput;
}

Acad::ErrorStatus AcDbBlockTableRecordIterator::seek(const AcDbEntity* entity) {
    return entity == nullptr ? Acad::eNullObjectPointer : seek(entity->objectId());
}
