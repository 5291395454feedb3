// CVLKCEllipsePtr: the typed pointer for ellipses, a CxEntity<AcDbEllipse> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCEllipsePtr : public CxEntity<AcDbEllipse> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbEllipse>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCEllipsePtr& operator=(CVLKCEllipsePtr& /*other*/) { return *this; }
};
