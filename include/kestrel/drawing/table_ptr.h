// CVLKCTablePtr: the typed pointer for tables, a CxEntity<AcDbTable> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCTablePtr : public CxEntity<AcDbTable> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbTable>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCTablePtr& operator=(CVLKCTablePtr& /*other*/) { return *this; }
};
