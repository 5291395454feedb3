// CVLKCEntityPtr: the typed pointer for entities of any class, a CxEntity<AcDbEntity> that opens by
// id, handle text or selection name and closes with the pointer. It is never copied or re-pointed
// by assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCEntityPtr : public CxEntity<AcDbEntity> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbEntity>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCEntityPtr& operator=(CVLKCEntityPtr& /*other*/) { return *this; }
};
