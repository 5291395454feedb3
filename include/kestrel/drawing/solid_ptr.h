// CVLKCSolidPtr: the typed pointer for 2D solids, a CxEntity<AcDbSolid> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCSolidPtr : public CxEntity<AcDbSolid> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbSolid>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCSolidPtr& operator=(CVLKCSolidPtr& /*other*/) { return *this; }
};
