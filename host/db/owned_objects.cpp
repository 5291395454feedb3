// Erasing the objects a container owns: open them all for write, then change them all.

#include "host/db/owned_objects.h"

#include "host/db/open.h"

namespace host {

Acad::ErrorStatus eraseOwnedObjects(const std::vector<AcDbObjectId>& ids, bool erasing) {
    std::vector<AcDbObject*> opened;
    Acad::ErrorStatus status = Acad::eOk;
    for (const AcDbObjectId& id : ids) {
        if (id.isNull() || id.isErased() == erasing) {
            continue;
        }
        AcDbObject* object = nullptr;
        status = acdbOpenAcDbObject(object, id, AcDb::kForWrite, true);
        if (status != Acad::eOk) {
            break;
        }
        opened.push_back(object);
    }
    const bool allOpened = status == Acad::eOk;
    for (AcDbObject* object : opened) {
        if (allOpened) {
            const Acad::ErrorStatus erased = object->erase(erasing);
            status = status == Acad::eOk ? erased : status;
        }
        object->close();
    }
    return status;
}

}  // namespace host
