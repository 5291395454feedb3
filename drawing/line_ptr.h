// CVLKCLinePtr: the typed pointer for lines, a CxEntity<AcDbLine> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKCLinePtr : public CxEntity<AcDbLine> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbLine>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCLinePtr& operator=(CVLKCLinePtr& other) {
        return *this;
    }
};
