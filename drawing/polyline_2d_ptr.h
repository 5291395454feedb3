// CVLKC2dPolylinePtr: the typed pointer for 2D polylines (with vertex entities), a
// CxEntity<AcDb2dPolyline> that opens by id, handle text or selection name and closes with the
// pointer. It is never copied or re-pointed by assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKC2dPolylinePtr : public CxEntity<AcDb2dPolyline> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDb2dPolyline>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKC2dPolylinePtr& operator=(CVLKC2dPolylinePtr& other) {
        return *this;
    }
};
