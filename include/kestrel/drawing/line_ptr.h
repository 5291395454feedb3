// CVLKCLinePtr: the typed pointer for lines, a CxEntity<AcDbLine> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCLinePtr : public CxEntity<AcDbLine> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbLine>::CxEntity;

    // Draws the line from its start to its end point as a temporary screen vector; false when
    // the pointer is empty or the editor refuses the vector.
    bool mark(int colour, int highlight);

    // Changes nothing and returns this pointer.
    CVLKCLinePtr& operator=(CVLKCLinePtr& /*other*/) { return *this; }
};
