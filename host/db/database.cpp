// AcDbDatabase: the object store, adding objects, handle look-ups, undo and transaction owners,
// and the working-database services. Tables and the default drawing live in
// database_tables.cpp.
#include "kestrel/host/db/database.h"

#include <string>

#include "host/db/object_access.h"
#include "host/db/object_store.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/object.h"
#include "kestrel/host/db/transaction.h"
#include "kestrel/host/db/undo.h"
#include "kestrel/host/rx/contract_violations.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbDatabase, AcRxObject)

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool noDocument)
    : m_store(std::make_unique<host::ObjectStore>(this)),
      m_undo(std::make_unique<AcDbUndoController>(this, false)),
      m_transactions(std::make_unique<AcDbTransactionManager>(this)) {
    m_serial = host::registerDatabase(this);
    if (buildDefaultDrawing) {
        this->buildDefaultDrawing();
    }
    m_undo->setRecording(!noDocument);
}

AcDbDatabase::~AcDbDatabase() {
    if (acdbHostApplicationServices()->workingDatabase() == this) {
        acdbHostApplicationServices()->setWorkingDatabase(nullptr);
    }
    const std::size_t open = m_store->openObjects().size();
    if (open > 0 || m_transactions->numActiveTransactions() > 0) {
        host::noteContractViolation(
            L"database destroyed with " + std::to_wstring(open) + L" objects open and " +
            std::to_wstring(m_transactions->numActiveTransactions()) + L" transactions active");
    }
    m_transactions->discardAll();
    m_undo.reset();
    host::unregisterDatabase(m_serial);
    m_store->destroyObjects();
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* obj) {
    return addObject(obj, AcDbObjectId::kNull, id);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObject* obj) {
    AcDbObjectId id;
    return addObject(obj, AcDbObjectId::kNull, id);
}

Acad::ErrorStatus AcDbDatabase::addObject(AcDbObject* obj, AcDbObjectId ownerId, AcDbObjectId& id,
                                          AcDbHandle handle) {
    if (obj == nullptr) {
        return Acad::eNullObjectPointer;
    }
    host::ObjectState& state = host::ObjectAccess::state(obj);
    if (state.slot != 0) {
        return Acad::eAlreadyInDb;
    }
    if (!ownerId.isNull()) {
        if (ownerId.liveSlot() == nullptr) {
            return Acad::eStaleObjectId;
        }
        if (ownerId.database() != this) {
            return Acad::eWrongDatabase;
        }
    }
    std::uint32_t slot = 0;
    const Acad::ErrorStatus status = m_store->add(obj, handle, slot);
    if (status != Acad::eOk) {
        return status;
    }
    state.slot = slot;
    host::ObjectAccess::setOwner(obj, ownerId);
    host::addOpen(obj, AcDb::kForWrite);
    m_undo->recordCreation(obj);
    id = host::idOf(slot);
    host::ObjectAccess::addedToDatabase(obj);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool createIfNotFound,
                                                const AcDbHandle& handle, Adesk::UInt32) {
    if (handle.isNull()) {
        return Acad::eNullHandle;
    }
    const std::uint32_t slot = createIfNotFound ? m_store->reserve(handle) : m_store->find(handle);
    if (slot == 0) {
        return createIfNotFound ? Acad::eInvalidInput : Acad::eKeyNotFound;
    }
    id = host::idOf(slot);
    return Acad::eOk;
}

AcDbObject* AcDbDatabase::objectAt(AcDbObjectId id) const {
    const host::ObjectSlot* slot = id.liveSlot();
    return slot != nullptr && host::storeDatabase(slot->store) == this ? slot->object : nullptr;
}

AcDbHandle AcDbDatabase::handseed() const {
    return m_store->handseed();
}

std::int64_t AcDbDatabase::approxNumObjects() const {
    return static_cast<std::int64_t>(m_store->size());
}

void AcDbDatabase::disableUndoRecording(bool disable) {
    m_undo->setRecording(!disable);
}

bool AcDbDatabase::undoRecording() const {
    return m_undo->isRecording();
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
    static AcDbHostApplicationServices services;
    return &services;
}
