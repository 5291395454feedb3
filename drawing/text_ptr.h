// CVLKCTextPtr: the typed pointer for single-line texts, a CxEntity<AcDbText> that opens by id,
// handle text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity.
#pragma once

#include "access/cx_entity.h"

class [[gnu::visibility("default")]] CVLKCTextPtr : public CxEntity<AcDbText> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbText>::CxEntity;

    // Changes nothing and returns this pointer.
    CVLKCTextPtr& operator=(CVLKCTextPtr& other) {
        return *this;
    }
};
