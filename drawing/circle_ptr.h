// CVLKCCirclePtr: the typed pointer for circles, a CxEntity<AcDbCircle> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKCCirclePtr : public CxEntity<AcDbCircle> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbCircle>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCCirclePtr& operator=(CVLKCCirclePtr& other) {
        return *this;
    }
};
