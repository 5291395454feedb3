// CVLKC3dPolylinePtr: the typed pointer for 3D polylines, a CxEntity<AcDb3dPolyline> that opens by
// id, handle text or selection name and closes with the pointer. It is never copied or re-pointed
// by assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKC3dPolylinePtr : public CxEntity<AcDb3dPolyline> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDb3dPolyline>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKC3dPolylinePtr& operator=(CVLKC3dPolylinePtr& other) {
        return *this;
    }
};
