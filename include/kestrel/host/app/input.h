// Scripted point input. The harness queues picks, cursor positions and cancels
// (host::queuePoint, queueCursor, queueCancel); acedGetPoint and acedDragGen take them in order,
// as a user's mouse would deliver them. Prompts go to the command line.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/app/selection_set.h"
#include "kestrel/host/db/ads_types.h"
#include "kestrel/host/rx/adesk.h"

// Decisions where the host SDK leaves the behaviour to the host:
// - An empty queue at a prompt answers RTERROR and prints "*No input*" to the command line; a
//   queued cancel answers RTCAN and prints "*Cancel*". Either way the result is unchanged.
// - Points are taken as user coordinates, as a pick would give them, and returned unchanged.

// Takes the next pick (cursor positions before it are passed over) into result; pt, the base
// point of a rubber band, may be null. RTNORM; RTCAN for a cancel; RTERROR for a null result or
// no input.
DRAWHOST_API int acedGetPoint(const ads_point pt, const ACHAR* prompt, ads_point result);

// Drags the selection set: calls scnf with each queued cursor position and then with the pick
// that ends the drag, each time with a fresh identity matrix to fill; the pick goes to p. The
// host draws no entities, so the matrices are not applied. RTNORM; RTCAN for a cancel (the
// positions before it were still passed to scnf); RTERROR for an unknown set, a null callback
// or result, no input, or a callback answer other than RTNORM and RTNONE (the drag stops).
DRAWHOST_API int acedDragGen(const ads_name ss, const ACHAR* pmt, int cursor,
                             int (*scnf)(ads_point pt, ads_matrix mt), ads_point p);
