// CVLKCAngularDim3PPtr: the typed pointer for three-point angular dimensions, a
// CxEntity<AcDb3PointAngularDimension> that opens by id, handle text or selection name and closes
// with the pointer. It is never copied or re-pointed by assignment; open() re-opens it on another
// entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCAngularDim3PPtr : public CxEntity<AcDb3PointAngularDimension> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDb3PointAngularDimension>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCAngularDim3PPtr& operator=(CVLKCAngularDim3PPtr& /*other*/) { return *this; }
};
