// CVLKCAngularDimPtr: the typed pointer for two-line angular dimensions, a
// CxEntity<AcDb2LineAngularDimension> that opens by id, handle text or selection name and closes
// with the pointer. It is never copied or re-pointed by assignment; open() re-opens it on another
// entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCAngularDimPtr : public CxEntity<AcDb2LineAngularDimension> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDb2LineAngularDimension>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCAngularDimPtr& operator=(CVLKCAngularDimPtr& /*other*/) { return *this; }
};
