// CVLKCFacePtr: the typed pointer for 3D faces, a CxEntity<AcDbFace> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"

class KESTREL_API CVLKCFacePtr : public CxEntity<AcDbFace> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbFace>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCFacePtr& operator=(CVLKCFacePtr& /*other*/) { return *this; }
};
