// AcDbObject: identity, the open state (close, upgrade, downgrade), erasure, access declarations,
// base filing, copying and the extension dictionary. XData members are in xdata.cpp.
#include "kestrel/host/db/object.h"

#include <string>
#include <utility>

#include "host/db/object_access.h"
#include "host/db/xdata.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/db/transaction.h"
#include "kestrel/host/db/undo.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/contract_violations.h"
#include "kestrel/host/rx/dictionary.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbObject, AcRxObject)

namespace {

constexpr int kHandleCode = 5;
constexpr int kHandleCode2 = 105;
constexpr int kGroupCode = 102;
constexpr int kOwnerCode = 330;
constexpr int kExtDictCode = 360;
constexpr const wchar_t* kExtDictGroup = L"{ACAD_XDICTIONARY";

std::wstring describe(const AcDbObject* object) {
    AcDbHandle handle;
    object->getAcDbHandle(handle);
    const AcRxClass* cls = object->isA();
    return std::wstring(cls != nullptr ? cls->name() : L"(no class)") + L" " + handle.text();
}

// Sets the erased flag of the object's extension dictionary to match erasing.
Acad::ErrorStatus eraseExtensionDictionary(AcDbObjectId dictId, bool erasing) {
    if (!dictId.isValid() || dictId.isErased() == erasing) {
        return Acad::eOk;
    }
    AcDbObject* dict = nullptr;
    Acad::ErrorStatus status = acdbOpenAcDbObject(dict, dictId, AcDb::kForWrite, true);
    if (status != Acad::eOk) {
        return status;
    }
    status = dict->erase(erasing);
    dict->close();
    return status;
}

// Reads a "{NAME" group of an object's base data up to its "}"; takes the extension dictionary
// from an {ACAD_XDICTIONARY group. name is a copy: reading on may reuse the group it came from.
Acad::ErrorStatus readBaseGroup(AcDbDxfFiler* filer, std::wstring name, AcDbObjectId& extDict) {
    if (name.empty() || name[0] != L'{') {
        return filer->setError(Acad::eBadDxfSequence, L"unexpected group 102 \"%s\"", name.c_str());
    }
    const host::DxfItem* item = nullptr;
    while (filer->readItem(item) == Acad::eOk) {
        if (item->code == kGroupCode) {
            return Acad::eOk;
        }
        if (name == kExtDictGroup && item->code == kExtDictCode) {
            extDict = item->id();
        }
    }
    return filer->setError(Acad::eBadDxfSequence, L"group 102 \"%s\" is not closed", name.c_str());
}

}  // namespace

AcDbObject::~AcDbObject() {
    host::ObjectSlot* slot = m_host.slot != 0 ? &host::slotAt(m_host.slot) : nullptr;
    if (slot != nullptr && slot->object == this) {
        host::noteContractViolation(L"database-resident object deleted: " + describe(this));
        m_host.readers = 0;
        m_host.writer = false;
        host::unlistIfClosed(this);
        slot->object = nullptr;
    }
    acutRelRb(m_host.xdata);
}

AcDbObjectId AcDbObject::objectId() const {
    return m_host.slot != 0 ? host::idOf(m_host.slot) : AcDbObjectId::kNull;
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId ownerId) {
    if (!ownerId.isNull() && ownerId.liveSlot() == nullptr) {
        return Acad::eStaleObjectId;
    }
    if (m_host.slot != 0 && !ownerId.isNull() && ownerId.database() != database()) {
        return Acad::eWrongDatabase;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_ownerId = ownerId;
    }
    return status;
}

void AcDbObject::getAcDbHandle(AcDbHandle& handle) const {
    handle = m_host.slot != 0 ? host::slotAt(m_host.slot).handle : AcDbHandle();
}

AcDbDatabase* AcDbObject::database() const {
    return m_host.slot != 0 ? host::storeDatabase(host::slotAt(m_host.slot).store) : nullptr;
}

Acad::ErrorStatus AcDbObject::close() {
    if (m_host.slot == 0) {
        return Acad::eNoDatabase;
    }
    if (m_host.writer) {
        m_host.writer = m_host.transactionHeld;
    } else if (m_host.readers > 0) {
        if (!m_host.transactionHeld || m_host.readers > 1) {
            --m_host.readers;
        }
    } else {
        return Acad::eWasNotOpen;
    }
    host::unlistIfClosed(this);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
    if (m_host.slot == 0) {
        return Acad::eNoDatabase;
    }
    if (m_host.writer) {
        return Acad::eWasOpenForWrite;
    }
    if (m_host.readers == 0) {
        return Acad::eWasNotOpen;
    }
    if (m_host.readers > 1) {
        return Acad::eHadMultipleReaders;
    }
    m_host.readers = 0;
    m_host.writer = true;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
    if (m_host.slot == 0) {
        return Acad::eNoDatabase;
    }
    if (!m_host.writer) {
        return m_host.readers > 0 ? Acad::eWasOpenForRead : Acad::eWasNotOpen;
    }
    m_host.writer = false;
    m_host.readers = 1;
    return Acad::eOk;
}

bool AcDbObject::isReadEnabled() const {
    return m_host.slot == 0 || m_host.restoring || m_host.writer || m_host.readers > 0;
}

bool AcDbObject::isWriteEnabled() const {
    return m_host.slot == 0 || m_host.restoring || m_host.writer;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
    if (m_host.slot == 0) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (m_host.erased == erasing) {
        return erasing ? Acad::eWasErased : Acad::eWasNotErased;
    }
    Acad::ErrorStatus status = subErase(erasing);
    if (status == Acad::eOk) {
        status = eraseExtensionDictionary(m_extDictId, erasing);
    }
    if (status != Acad::eOk) {
        return status;
    }
    assertWriteEnabled();
    m_host.erased = erasing;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::subErase(bool) {
    return Acad::eOk;
}

void AcDbObject::subAddedToDatabase() {}

void AcDbObject::assertReadEnabled() const {
    if (!isReadEnabled()) {
        host::noteContractViolation(L"read while not open: " + describe(this));
    }
}

void AcDbObject::assertWriteEnabled(bool autoUndo, bool) {
    if (m_host.slot == 0 || m_host.restoring) {
        return;
    }
    if (!m_host.writer) {
        host::noteContractViolation(L"changed while not open for write: " + describe(this));
        return;
    }
    AcDbDatabase* db = database();
    if (autoUndo && db->undoController() != nullptr) {
        db->undoController()->recordModification(this);
    }
    if (m_host.transactionHeld) {
        db->transactionManager()->recordModification(this);
    }
}

Acad::ErrorStatus AcDbObject::requireWrite(bool autoUndo) {
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    assertWriteEnabled(autoUndo, true);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::dwgOutFields(AcDbDwgFiler* filer) const {
    assertReadEnabled();
    if (filer == nullptr) {
        return Acad::eNullPtr;
    }
    if (filer->filerType() != AcDb::kCopyFiler) {
        filer->writeSoftPointerId(m_ownerId);
        filer->writeHardOwnershipId(m_extDictId);
    }
    host::writeXData(filer, m_host.xdata);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dwgInFields(AcDbDwgFiler* filer) {
    assertWriteEnabled();
    if (filer == nullptr) {
        return Acad::eNullPtr;
    }
    AcDbSoftPointerId owner = m_ownerId;
    AcDbHardOwnershipId extDict = m_extDictId;
    if (filer->filerType() != AcDb::kCopyFiler) {
        filer->readSoftPointerId(&owner);
        filer->readHardOwnershipId(&extDict);
    }
    resbuf* xdata = nullptr;
    host::readXData(filer, xdata);
    if (filer->filerStatus() != Acad::eOk) {
        acutRelRb(xdata);
        return filer->filerStatus();
    }
    m_ownerId = owner;
    m_extDictId = extDict;
    acutRelRb(std::exchange(m_host.xdata, xdata));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    if (filer == nullptr) {
        return Acad::eNullPtr;
    }
    if (m_host.slot != 0) {
        filer->writeAcDbHandle(kHandleCode, host::slotAt(m_host.slot).handle);
    }
    if (!m_extDictId.isNull()) {
        filer->writeString(kGroupCode, kExtDictGroup);
        filer->writeObjectId(kExtDictCode, m_extDictId);
        filer->writeString(kGroupCode, L"}");
    }
    filer->writeObjectId(kOwnerCode, m_ownerId);
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled();
    if (filer == nullptr) {
        return Acad::eNullPtr;
    }
    AcDbObjectId owner;
    AcDbObjectId extDict;
    const host::DxfItem* item = nullptr;
    while (!filer->atEndOfObject() && filer->readItem(item) == Acad::eOk) {
        if (item->code == kOwnerCode) {
            owner = item->id();
        } else if (item->code == kGroupCode) {
            readBaseGroup(filer, item->text(), extDict);
        } else if (item->code != kHandleCode && item->code != kHandleCode2) {
            filer->pushBackItem();
            break;
        }
    }
    if (filer->filerStatus() != Acad::eOk) {
        return filer->filerStatus();
    }
    m_ownerId = owner;
    m_extDictId = extDict;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::dxfOut(AcDbDxfFiler* filer, bool withXData) const {
    if (filer == nullptr) {
        return Acad::eNullPtr;
    }
    const AcRxClass* cls = isA();
    const wchar_t* name = cls == nullptr              ? L""
                          : cls->dxfName() != nullptr ? cls->dxfName()
                                                      : cls->name();
    filer->writeString(0, name);
    const Acad::ErrorStatus status = dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (withXData) {
        host::writeXData(filer, m_host.xdata);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbObject::dxfIn(AcDbDxfFiler* filer) {
    if (filer == nullptr) {
        return Acad::eNullPtr;
    }
    Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    const host::DxfItem* item = nullptr;
    while (filer->readItem(item) == Acad::eOk) {
        if (item->code != -1 && item->code != 0) {
            filer->pushBackItem();
            break;
        }
    }
    status = dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    return host::readXData(filer, this);
}

AcRxObject* AcDbObject::clone() const {
    const AcRxClass* cls = isA();
    AcRxObject* created = cls != nullptr ? cls->create() : nullptr;
    AcDbObject* copy = AcDbObject::cast(created);
    if (copy == nullptr || copy->copyFrom(this) != Acad::eOk) {
        delete created;
        return nullptr;
    }
    return copy;
}

Acad::ErrorStatus AcDbObject::copyFrom(const AcRxObject* other) {
    if (other == nullptr) {
        return Acad::eNullPtr;
    }
    if (other->isA() != isA()) {
        return Acad::eNotThatKindOfClass;
    }
    Acad::ErrorStatus status = requireWrite();
    if (status != Acad::eOk) {
        return status;
    }
    host::DwgMemoryFiler filer(AcDb::kCopyFiler, database());
    status = static_cast<const AcDbObject*>(other)->dwgOutFields(&filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer.rewind();
    return dwgInFields(&filer);
}

Acad::ErrorStatus AcDbObject::createExtensionDictionary() {
    if (m_host.slot == 0) {
        return Acad::eNoDatabase;
    }
    if (!isWriteEnabled()) {
        return Acad::eNotOpenForWrite;
    }
    if (m_extDictId.isValid() && !m_extDictId.isErased()) {
        return Acad::eAlreadyInDb;
    }
    const AcRxClass* cls =
        dynamic_cast<const AcRxClass*>(host::rx::classDictionary().at(L"AcDbDictionary"));
    AcRxObject* created = cls != nullptr ? cls->create() : nullptr;
    AcDbObject* dict = AcDbObject::cast(created);
    if (dict == nullptr) {
        delete created;
        return Acad::eClassNotFound;
    }
    AcDbObjectId dictId;
    const Acad::ErrorStatus status = database()->addObject(dict, objectId(), dictId);
    if (status != Acad::eOk) {
        delete dict;
        return status;
    }
    dict->close();
    assertWriteEnabled();
    m_extDictId = dictId;
    return Acad::eOk;
}
