// CVLKCPolylineLWPtr: the typed pointer for lightweight polylines, a CxEntity<AcDbPolyline> that
// opens by id, handle text or selection name and closes with the pointer. It is never copied or
// re-pointed by assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKCPolylineLWPtr : public CxEntity<AcDbPolyline> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbPolyline>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCPolylineLWPtr& operator=(CVLKCPolylineLWPtr& other) {
        return *this;
    }
};
