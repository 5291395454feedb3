// AcDbPlaceHolder: an object without data that dictionaries name where an entry needs an object
// but no state (the "Normal" plot style of a drawing). Filed with its base groups only.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/object.h"

class DRAWHOST_API AcDbPlaceHolder : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbPlaceHolder);
    AcDbPlaceHolder() = default;
    ~AcDbPlaceHolder() override = default;
};
