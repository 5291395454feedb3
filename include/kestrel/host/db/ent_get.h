// Selection names (ads_name) and entity-data lists. An ads_name names an object by its
// database's serial number and its handle, so a name that names nothing (or a destroyed
// database) is detected, never followed.
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"

struct resbuf;

// Writes the name of objId into objName (two integers). eNullPtr, eNullObjectId, eStaleObjectId
// on refusal (objName unchanged).
DRAWHOST_API Acad::ErrorStatus acdbGetAdsName(std::int64_t* objName, AcDbObjectId objId);
// Reads the name back into objId. eNullPtr, eInvalidAdsName (no such database or handle) on
// refusal (objId unchanged).
DRAWHOST_API Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& objId, const std::int64_t* objName);
// The object's groups as its DXF filing writes them, headed by -1 (its name), 0 (DXF name),
// 5 (handle) and 330 (owner), without XData; a new list owned by the caller. Null when the name
// names nothing or the object cannot be opened for read.
DRAWHOST_API resbuf* acdbEntGet(const std::int64_t* ent);
// As acdbEntGet, followed by -3 and the XData of the applications named in apps (a list of
// application names; "*" takes all); apps null gives none.
DRAWHOST_API resbuf* acdbEntGetX(const std::int64_t* ent, const resbuf* apps);
