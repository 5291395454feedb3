// Temporary screen vectors for the typed pointers' mark members: one vector, or a chain of
// segments through a point list. Nothing is opened; the vectors vanish at the next redraw.
#pragma once

#include "kestrel/host/ge/ge_arrays.h"
#include "kestrel/host/ge/point3d.h"

namespace kestrel {

// Draws one vector from from to to with acedGrDraw; the editor's result (RTNORM on success).
int drawVector(const AcGePoint3d& from, const AcGePoint3d& to, int colour, int highlight);

// Draws the segments from point i to point i + 1 in order (no closing segment), stopping at the
// first vector the editor refuses; whether the last one drawn returned RTNORM. False, nothing
// drawn, for fewer than two points.
bool drawChain(const AcGePoint3dArray& points, int colour, int highlight);

}  // namespace kestrel
