// Erasing and unerasing what a container owns together with the container itself (dictionary
// entries, block entities). All or nothing: every object must open for write first.
#pragma once

#include <vector>

#include "host/db/object.h"

namespace host {

// Erases (erasing true) the live objects among ids, or unerases the erased ones. Each is opened
// for write (open-erased) first; when one cannot be opened, nothing is changed and that open's
// status is returned. A refusal of one object's own erase is returned after the others were done.
Acad::ErrorStatus eraseOwnedObjects(const std::vector<AcDbObjectId>& ids, bool erasing);

}  // namespace host
