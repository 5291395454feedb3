// CVLKCCirclePtr: the typed pointer for circles, a CxEntity<AcDbCircle> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCCirclePtr : public CxEntity<AcDbCircle> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbCircle>::CxEntity;

    // Draws the circle highlighted as 88 temporary screen vectors in the XY plane at z 0: eight
    // mirrored chains of chords, one per octant, reaching a little into the next octant. Does
    // nothing when the pointer is empty; vectors the editor refuses are left out.
    void mark(int colour);

    // Changes nothing and returns this pointer.
    CVLKCCirclePtr& operator=(CVLKCCirclePtr& /*other*/) { return *this; }
};
