// CVLKCRayPtr: the typed pointer for rays, a CxEntity<AcDbRay> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCRayPtr : public CxEntity<AcDbRay> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbRay>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCRayPtr& operator=(CVLKCRayPtr& /*other*/) { return *this; }
};
