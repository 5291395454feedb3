// CVLKCBlockReferencePtr: the typed pointer for block references, a CxEntity<AcDbBlockReference>
// that opens by id, handle text or selection name and closes with the pointer. It is never copied
// or re-pointed by assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKCBlockReferencePtr : public CxEntity<AcDbBlockReference> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbBlockReference>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCBlockReferencePtr& operator=(CVLKCBlockReferencePtr& other) {
        return *this;
    }
};
