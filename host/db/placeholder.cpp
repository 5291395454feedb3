// AcDbPlaceHolder: its runtime class; filing is AcDbObject's.
#include "kestrel/host/db/placeholder.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbPlaceHolder, AcDbObject, 0, 0, 0, ACDBPLACEHOLDER, DrawHost);
