// Opening objects by id. Every successful open must be matched by one close() on the object
// (host::openObjects() lists what is still open). A refused open leaves obj null and the object
// exactly as it was.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/object.h"

class AcDbEntity;

// Opens id in mode. Refusals: eNullObjectId, eStaleObjectId (database destroyed),
// eNullObjectPointer (handle reserved, no object yet), eWasErased (erased and openErased false),
// eWasOpenForWrite (83) when open for write, eWasOpenForRead (82) for a write open while read-open,
// eAtMaxReaders for a 257th reader, eInvalidOpenState for an unknown mode.
DRAWHOST_API Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id,
                                                  AcDb::OpenMode mode, bool openErased = false);
// As above, and eNotThatKindOfClass (34) when the object's class is not pClass or derived from
// it (pClass null: no test).
DRAWHOST_API Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id,
                                                  AcDb::OpenMode mode, const AcRxClass* pClass,
                                                  bool openErased = false);
// Opens an entity; eNotThatKindOfClass (34) for an object that is not one.
DRAWHOST_API Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& ent, AcDbObjectId id,
                                                  AcDb::OpenMode mode, bool openErased = false);
// Opens id as a T (T::desc() checked); eNotThatKindOfClass (34) otherwise.
template <class T>
Acad::ErrorStatus acdbOpenObject(T*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false) {
    AcDbObject* object = nullptr;
    Acad::ErrorStatus status = acdbOpenAcDbObject(object, id, mode, T::desc(), openErased);
    obj = status == Acad::eOk ? static_cast<T*>(object) : nullptr;
    return status;
}
