// What containers do with the objects they own: erase and unerase them together with the
// container (all or nothing: every object must open for write first), and walk them with a cursor
// over a snapshot of their ids.
#pragma once

#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/db/object.h"

namespace host {

// Erases (erasing true) the live objects among ids, or unerases the erased ones. Each is opened
// for write (open-erased) first; when one cannot be opened, nothing is changed and that open's
// status is returned. A refusal of one object's own erase is returned after the others were done.
DRAWHOST_API Acad::ErrorStatus eraseOwnedObjects(const std::vector<AcDbObjectId>& ids,
                                                 bool erasing);

// A position in a snapshot of ids that can skip erased objects, for the table and block
// iterators. Erasure is looked at when moving, so objects erased meanwhile are skipped.
class DRAWHOST_API IdCursor {
public:
    IdCursor(std::vector<AcDbObjectId> ids, bool atBeginning, bool skipErased);

    // To the first (atBeginning) or last id, skipping erased objects when skipErased.
    void start(bool atBeginning, bool skipErased);
    bool done() const;
    void step(bool forward, bool skipErased);
    // The current id; null when done.
    AcDbObjectId current() const;
    // To id; false (position unchanged) when the snapshot lacks it.
    bool seek(AcDbObjectId id);

private:
    void skipErasedIds(bool forward);

    std::vector<AcDbObjectId> m_ids;
    std::ptrdiff_t m_position = 0;
};

}  // namespace host
