// Open-state transitions and state capture/restore shared by opening, undo and transactions.
#include "host/db/object_access.h"

#include <string>
#include <utility>

#include "kestrel/host/db/database.h"
#include "kestrel/host/db/dwg_filer.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/host/rx/contract_violations.h"

namespace host {
namespace {

ObjectStore* storeOf(const AcDbObject* object) {
    AcDbDatabase* database = object->database();
    return database != nullptr ? database->objectStore() : nullptr;
}

std::wstring describe(const AcDbObject* object) {
    AcDbHandle handle;
    object->getAcDbHandle(handle);
    const AcRxClass* cls = object->isA();
    return std::wstring(cls != nullptr ? cls->name() : L"(no class)") + L" " + handle.text();
}

}  // namespace

bool isOpen(const AcDbObject* object) {
    const ObjectState& state = ObjectAccess::state(object);
    return state.writer || state.readers > 0;
}

Acad::ErrorStatus checkOpen(const AcDbObject* object, AcDb::OpenMode mode) {
    const ObjectState& state = ObjectAccess::state(object);
    switch (mode) {
        case AcDb::kForRead:
        case AcDb::kForNotify:
            if (state.writer) {
                return Acad::eWasOpenForWrite;
            }
            return state.readers >= kMaxReaders ? Acad::eAtMaxReaders : Acad::eOk;
        case AcDb::kForWrite:
            if (state.writer) {
                return Acad::eWasOpenForWrite;
            }
            return state.readers > 0 ? Acad::eWasOpenForRead : Acad::eOk;
    }
    return Acad::eInvalidOpenState;
}

void addOpen(AcDbObject* object, AcDb::OpenMode mode) {
    ObjectState& state = ObjectAccess::state(object);
    const bool wasOpen = isOpen(object);
    if (mode == AcDb::kForWrite) {
        state.writer = true;
    } else {
        ++state.readers;
    }
    ObjectStore* store = storeOf(object);
    if (!wasOpen && store != nullptr) {
        store->linkOpen(object);
    }
}

void unlistIfClosed(AcDbObject* object) {
    ObjectStore* store = storeOf(object);
    if (!isOpen(object) && store != nullptr) {
        store->unlinkOpen(object);
    }
}

void releaseTransactionHold(AcDbObject* object) {
    ObjectState& state = ObjectAccess::state(object);
    state.transactionHeld = false;
    if (state.writer) {
        state.writer = false;
    } else if (state.readers > 0) {
        --state.readers;
    }
    unlistIfClosed(object);
}

StateRecord captureState(AcDbObject* object) {
    ObjectState& state = ObjectAccess::state(object);
    StateRecord record;
    record.slot = &slotAt(state.slot);
    record.erased = state.erased;
    record.hasState = true;
    const bool wasRestoring = state.restoring;
    state.restoring = true;
    // The filer writes into a buffer kept from the last capture, so filing an object does not
    // grow a new buffer step by step; the record keeps an exact copy.
    thread_local std::vector<unsigned char> scratch;
    scratch.clear();
    DwgMemoryFiler filer(std::move(scratch), AcDb::kUndoFiler, object->database());
    const Acad::ErrorStatus status = object->dwgOutFields(&filer);
    state.restoring = wasRestoring;
    if (status != Acad::eOk || filer.filerStatus() != Acad::eOk) {
        noteContractViolation(
            L"dwgOutFields of " + describe(object) + L" failed for undo: " +
            acadErrorStatusText(status != Acad::eOk ? status : filer.filerStatus()));
    }
    scratch = filer.takeBytes();
    record.bytes.assign(scratch.begin(), scratch.end());
    return record;
}

StateRecord creationRecord(AcDbObject* object) {
    StateRecord record;
    record.slot = &slotAt(ObjectAccess::state(object).slot);
    record.erased = true;
    return record;
}

Acad::ErrorStatus restoreState(StateRecord&& record) {
    AcDbObject* object = record.slot != nullptr ? record.slot->object : nullptr;
    if (object == nullptr) {
        return Acad::eOk;
    }
    ObjectState& state = ObjectAccess::state(object);
    const bool wasRestoring = state.restoring;
    state.restoring = true;
    Acad::ErrorStatus status = Acad::eOk;
    if (record.hasState) {
        DwgMemoryFiler filer(std::move(record.bytes), AcDb::kUndoFiler, object->database());
        status = object->dwgInFields(&filer);
        if (status == Acad::eOk) {
            status = filer.filerStatus();
        }
    }
    state.erased = record.erased;
    state.restoring = wasRestoring;
    if (status != Acad::eOk) {
        noteContractViolation(L"dwgInFields of " + describe(object) + L" failed while restoring: " +
                              acadErrorStatusText(status));
        return Acad::eRestoreFailed;
    }
    return Acad::eOk;
}

}  // namespace host
