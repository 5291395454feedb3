// AcDbCurve's runtime class and its default closedness.
#include "kestrel/host/db/entities/curve.h"

ACRX_NO_CONS_DEFINE_MEMBERS(AcDbCurve, AcDbEntity);

bool AcDbCurve::isClosed() const {
    assertReadEnabled();
    return false;
}
