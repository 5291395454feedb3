// Temporary screen graphics: acedGrDraw appends a vector to the screen list, acedRedraw of the
// whole screen clears it. The list is the editor's, shared by every document, and the harness
// reads it (host::screenVectors).
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/ads_types.h"
#include "kestrel/host/ge/point3d.h"

namespace host {

// One temporary vector, its ends in user coordinates as drawn.
struct DRAWHOST_API ScreenVector {
    AcGePoint3d from;
    AcGePoint3d to;
    int color;      // colour index 0..255, or -1 for the inverting ink
    int highlight;  // non-zero: drawn highlighted
};

}  // namespace host

// Appends a vector; RTNORM, or RTERROR (nothing drawn) for a null point or a colour outside
// -1..255.
DRAWHOST_API int acedGrDraw(const ads_point from, const ads_point to, int color, int hl);

// With a null entity, redraws the whole screen: every temporary vector goes (any mode). With an
// entity, redraws that entity only (modes 1 redraw, 2 undraw, 3 highlight, 4 unhighlight); the
// host draws no entities, so only the name and mode are checked. RTNORM; RTERROR for a mode
// outside 0..4, or for an entity name that names no entity.
DRAWHOST_API int acedRedraw(const ads_name ent, int mode);
