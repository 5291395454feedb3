// CVLKCAttribPtr: the typed pointer for attributes of block references, a CxEntity<AcDbAttribute>
// that opens by id, handle text or selection name and closes with the pointer. It is never copied
// or re-pointed by assignment; open() re-opens it on another entity, and
// CVLKCBlockReferencePtr::openAttribute fills it.
#pragma once

#include "access/cx_entity.h"

class CVLKCBlockReferencePtr;

class [[gnu::visibility("default")]] CVLKCAttribPtr : public CxEntity<AcDbAttribute> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbAttribute>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCAttribPtr& operator=(CVLKCAttribPtr& other) {
        return *this;
    }

private:
    // openAttribute hands the attribute it opened to this pointer.
    friend class CVLKCBlockReferencePtr;
};
