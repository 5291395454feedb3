// CVLKCPointPtr: the typed pointer for points, a CxEntity<AcDbPoint> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCPointPtr : public CxEntity<AcDbPoint> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbPoint>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCPointPtr& operator=(CVLKCPointPtr& /*other*/) { return *this; }
};
