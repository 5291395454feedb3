// Intersections of entities, behind AcDbEntity::intersectWith: each curve kind describes itself
// as pieces (host/ge/curve_pieces.h), and every piece of one is intersected with every piece of
// the other. Nothing is opened or changed.
#pragma once

#include "kestrel/host/db/entity_enums.h"
#include "kestrel/host/ge/curve_pieces.h"
#include "kestrel/host/rx/error_status.h"

class AcDbEntity;

namespace host {

// The intersections of two entities for AcDbEntity::intersectWith: eNotApplicable when either
// is not a curve. Points coinciding within tolerance are reported once.
Acad::ErrorStatus intersectEntities(const AcDbEntity& a, const AcDbEntity& b, AcDb::Intersect mode,
                                    AcGePoint3dArray& points);

}  // namespace host
