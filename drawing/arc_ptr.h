// CVLKCArcPtr: the typed pointer for arcs, a CxEntity<AcDbArc> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKCArcPtr : public CxEntity<AcDbArc> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbArc>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCArcPtr& operator=(CVLKCArcPtr& other) {
        return *this;
    }
};
