// Host internals shared by the object, opening, undo and transaction code: the open-state
// transitions of an object and the capture and restoring of its filed state. Not for callers of
// the host: the public operations (acdbOpenAcDbObject, close, undo, ...) keep the rules.
#pragma once

#include <vector>

#include "host/db/object_store.h"
#include "kestrel/host/db/object.h"

namespace host {

struct ObjectAccess {
    static ObjectState& state(AcDbObject* object) { return object->m_host; }
    static const ObjectState& state(const AcDbObject* object) { return object->m_host; }
    static void setOwner(AcDbObject* object, AcDbObjectId owner) { object->m_ownerId = owner; }
    static void addedToDatabase(AcDbObject* object) { object->subAddedToDatabase(); }
};

// The most readers an object may have at once.
constexpr int kMaxReaders = 256;

// True when the object has at least one open (a transaction's hold included).
bool isOpen(const AcDbObject* object);
// Whether an ordinary open in mode would be accepted now (erasure and class not considered).
Acad::ErrorStatus checkOpen(const AcDbObject* object, AcDb::OpenMode mode);
// Adds one open in mode (checked before) and lists the object as open.
void addOpen(AcDbObject* object, AcDb::OpenMode mode);
// Ends the transaction's hold on the object (a write hold, or one read open).
void releaseTransactionHold(AcDbObject* object);
// Takes the object off its database's open list when nothing holds it open any more.
void unlistIfClosed(AcDbObject* object);

// One object's state as undo, redo and transaction aborts keep it: the filed fields (absent for
// a creation, whose undoing only erases) and the erased flag.
struct StateRecord {
    ObjectSlot* slot = nullptr;  // null once the record was dropped
    std::vector<unsigned char> bytes;
    bool hasState = false;
    bool erased = false;
};

// The object's current state (dwgOutFields to an undo filer, and its erased flag).
StateRecord captureState(AcDbObject* object);
// The record of a creation: undoing it erases the object.
StateRecord creationRecord(AcDbObject* object);
// Reads the recorded state back into its object (dwgInFields with an undo filer) and sets the
// erased flag, with nothing recorded meanwhile. eRestoreFailed (and a noted violation) when the
// object's filing fails; eOk when the object is gone.
Acad::ErrorStatus restoreState(StateRecord&& record);

}  // namespace host
