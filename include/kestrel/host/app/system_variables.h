// System variables: acedGetVar and acedSetVar over the editor's table of variables. CLAYER and
// TEXTSTYLE follow the working database; the view, UCS and viewport variables follow the current
// document's editor state (host/app/editor_state.h); DWGNAME and DWGPREFIX its file name.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/rx/adesk.h"

struct resbuf;

// Decisions where the host SDK leaves the behaviour to the host:
// - Names are matched without regard to case.
// - RTERROR for a null argument, an unknown name, a value of another type than the variable's
//   (RTSHORT, RTREAL, RTSTR or RT3DPOINT, no conversions) and for CLAYER or TEXTSTYLE without
//   a working database. RTREJ for a read-only variable and for a value the variable refuses
//   (a layer or style the drawing lacks, a frozen layer, TILEMODE other than 0 or 1, CVPORT
//   below 1). Nothing changes on either answer.
// - Read-only: the view variables (VIEWDIR, VIEWTWIST, TARGET, LENSLENGTH, FRONTZ, BACKZ,
//   VIEWCTR, VIEWSIZE), which acedSetCurrentView changes; the UCS variables (UCSORG, UCSXDIR,
//   UCSYDIR, WORLDUCS), which host::setUcs changes; DWGNAME and DWGPREFIX.
// - Points are given in user coordinates: VIEWDIR as a direction, TARGET and VIEWCTR as points.
//   UCSORG, UCSXDIR and UCSYDIR are world coordinates.

// Fills result's type and value (rbnext untouched); a text value is a new string that the
// caller releases (acutDelString, or with the item by acutRelRb). RTNORM or RTERROR.
DRAWHOST_API int acedGetVar(const ACHAR* sym, resbuf* result);

// Sets the variable from val's type and value. RTNORM, RTERROR or RTREJ.
DRAWHOST_API int acedSetVar(const ACHAR* sym, const resbuf* val);
