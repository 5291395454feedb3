// Host internals of XData: filing an object's XData chain through both filer kinds and applying
// a validated list to an object. The public rules are AcDbObject::setXData's (object.h).
#pragma once

#include "kestrel/host/rx/error_status.h"

class AcDbDwgFiler;
class AcDbDxfFiler;
class AcDbObject;
struct resbuf;

namespace host {

// Writes the chain (null: none) as a count and typed items.
void writeXData(AcDbDwgFiler* filer, const resbuf* chain);
// Reads what writeXData wrote into a new chain owned by the caller; on failure the filer's status
// is set and chain is null.
void readXData(AcDbDwgFiler* filer, resbuf*& chain);
// Writes the chain's groups (1001 and its items) to a DXF filer.
void writeXData(AcDbDxfFiler* filer, const resbuf* chain);
// Reads the XData groups that end an object's DXF description (an optional -3, then 1001 groups)
// and applies them to object as setXData does; refusals become the filer's error.
Acad::ErrorStatus readXData(AcDbDxfFiler* filer, AcDbObject* object);
// Validates list and merges it into object's XData (setXData without the write check).
Acad::ErrorStatus applyXData(AcDbObject* object, const resbuf* list);
// As applyXData, taking list over: it becomes the object's XData when merging would give a
// copy of it, and is released otherwise.
Acad::ErrorStatus takeXData(AcDbObject* object, resbuf* list);

}  // namespace host
