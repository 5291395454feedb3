// Opening objects by id: the checks of the open rules, in a fixed order (id, object, class,
// erasure, open state), each refusal leaving the object untouched.
#include "kestrel/host/db/open.h"

#include "host/db/object_access.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/rx/class.h"

namespace {

bool knownMode(AcDb::OpenMode mode) {
    return mode == AcDb::kForRead || mode == AcDb::kForWrite || mode == AcDb::kForNotify;
}

}  // namespace

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                     const AcRxClass* pClass, bool openErased) {
    obj = nullptr;
    if (id.isNull()) {
        return Acad::eNullObjectId;
    }
    const host::ObjectSlot* slot = id.liveSlot();
    if (slot == nullptr) {
        return Acad::eStaleObjectId;
    }
    AcDbObject* object = slot->object;
    if (object == nullptr) {
        return Acad::eNullObjectPointer;
    }
    if (!knownMode(mode)) {
        return Acad::eInvalidOpenState;
    }
    if (pClass != nullptr && !object->isKindOf(pClass)) {
        return Acad::eNotThatKindOfClass;
    }
    if (object->isErased() && !openErased) {
        return Acad::eWasErased;
    }
    const Acad::ErrorStatus status = host::checkOpen(object, mode);
    if (status != Acad::eOk) {
        return status;
    }
    host::addOpen(object, mode);
    obj = object;
    return Acad::eOk;
}

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    return acdbOpenAcDbObject(obj, id, mode, nullptr, openErased);
}

Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& ent, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    return acdbOpenObject(ent, id, mode, openErased);
}
