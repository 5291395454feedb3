// acedTrans and the coordinate systems behind it: world (0), user (1, the current UCS), display
// (2, the current view) and an object's system given by its normal (arbitrary-axis rule).
// Display coordinates: origin at the view's target, z along the view direction, x and y the
// arbitrary-axis directions of the view direction turned by minus the twist, so that a positive
// twist shows the drawing turned counter-clockwise.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/ads_types.h"
#include "kestrel/host/ge/matrix3d.h"

struct resbuf;

// Converts pt from the system named by from to the system named by to; disp non-zero treats pt
// as a displacement (no origin shift). A system is an RTSHORT 0, 1 or 2, or an RT3DPOINT normal
// for an object's system. RTNORM; RTERROR for a null argument, any other system or a zero
// normal, result then unchanged. result may be pt itself.
DRAWHOST_API int acedTrans(const ads_point pt, const resbuf* from, const resbuf* to, int disp,
                           ads_point result);

namespace host {

// The matrices from user and display coordinates to world coordinates for the current state.
DRAWHOST_API AcGeMatrix3d userToWorld();
DRAWHOST_API AcGeMatrix3d displayToWorld();

}  // namespace host
