// AcDbSequenceEnd's runtime class.
#include "kestrel/host/db/entities/sequence_end.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbSequenceEnd, AcDbEntity, 0, 0, 0, SEQEND, DrawHost);
