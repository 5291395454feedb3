// AcDbSequenceEnd: the entity that closes the vertices of a polyline or the attributes of a
// block reference in drawing files (SEQEND). It has nothing of its own; its owner makes it.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/entity.h"

// DXF: the AcDbEntity groups only.
class DRAWHOST_API AcDbSequenceEnd : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbSequenceEnd);
    AcDbSequenceEnd() = default;
    ~AcDbSequenceEnd() override = default;
};
