// CVLKCAttribPtr: the typed pointer for attributes of block references, a CxEntity<AcDbAttribute>
// that opens by id, handle text or selection name and closes with the pointer, with the width
// and bounding box of the attribute's text. It is never copied or re-pointed by assignment;
// open() re-opens it on another entity; CVLKCBlockReferencePtr::openAttribute also fills it.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

class CVLKCBlockReferencePtr;

// Widths and boxes are measured as CVLKCTextPtr measures texts (see there), with the
// attribute's own rotation passed to the width.
class KESTREL_API CVLKCAttribPtr : public CxEntity<AcDbAttribute> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbAttribute>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCAttribPtr& operator=(CVLKCAttribPtr& /*other*/) { return *this; }

    // The width of the attribute's text; -1.0 when empty or not measurable.
    double GetWidth();
    // Appends the five corners of the text's box to points (not emptied first): 1, or 0 with
    // points unchanged when empty.
    int GetTextBoundingBox(AcGePoint3dArray & points);

private:
    // openAttribute hands the attribute it opened to this pointer.
    friend class CVLKCBlockReferencePtr;
};
