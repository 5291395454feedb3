// The three fields of an entity wrapper as the stores work on them: the open entity (or null),
// the status the wrapper reports and the mode it believes the entity is open in. The wrapper
// keeps ownership of the open state; the stores only read and update the fields.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/db_enums.h"
#include "kestrel/host/rx/error_status.h"

class AcDbEntity;

namespace kestrel {

// The fields, by reference into the wrapper that owns them.
struct KESTREL_API EntityFields {
    AcDbEntity* entity;
    Acad::ErrorStatus& status;
    AcDb::OpenMode& mode;

    // False, with status eNotOpenForWrite (45), unless an entity is open in mode kForWrite.
    bool writable() const {
        if (entity != nullptr && mode == AcDb::kForWrite) {
            return true;
        }
        status = Acad::eNotOpenForWrite;
        return false;
    }
};

}  // namespace kestrel
