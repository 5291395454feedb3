// acedSetCurrentView: makes a view record the current document's view, which the view system
// variables (VIEWCTR, VIEWSIZE, VIEWDIR, TARGET, ...) then show and the harness reads
// (host::currentView). The record is read, never kept.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/db/object_id.h"
#include "kestrel/host/rx/error_status.h"

class AcDbViewTableRecord;

// Decisions where the host SDK leaves the behaviour to the host:
// - The host has one viewport per document: vportId must be null (eNotApplicable otherwise).
// - eNullPtr for a null view; eInvalidInput for a negative or non-finite height or width, a zero
//   view direction or a non-finite centre, target, twist or clip distance; nothing changes then.
// - A height or width of 0 is kept as given (a window zoom on a horizontal or vertical pair of
//   points shows a line).
DRAWHOST_API Acad::ErrorStatus acedSetCurrentView(AcDbViewTableRecord* pVwRec,
                                                  AcDbObjectId vportId);
