// The one table that classes every DXF group code and RTxxx result-type code by the kind of value
// it carries. Building and freeing resbufs, XData, Xrecords, DXF reading and writing and
// acdbEntGet all ask here, so they cannot disagree. Codes outside the table are kUnknown.
#pragma once

#include "kestrel/export.h"

// What a code's value is, and the resbuf member that holds it.
enum class GroupValueClass {
    kUnknown,  // not a code the host knows; no resbuf can carry it
    kNone,     // no value: -3 (start of XData), RTLB, RTLE, RTDOTE, RTNIL, RTT, RTNONE, RTVOID
    kText,     // resval.rstring
    kBinary,   // resval.rbinary (chunk length and bytes)
    kPoint,    // resval.rpoint (three reals)
    kReal,     // resval.rreal
    kInt16,    // resval.rint
    kBool,     // resval.rint (0 or 1 in files)
    kInt32,    // resval.rlong
    kInt64,    // resval.mnInt64
    kName,     // resval.rlname: an entity name or object id (in DXF files, a hex handle)
};

// The value class of a group code or result-type code.
DRAWHOST_API GroupValueClass groupValueClass(int code);

// Codes whose value is a point (three reals).
DRAWHOST_API bool isPointCode(int code);

// Codes whose value names an object: entity names (-1, -2), soft and hard pointer and
// ownership ids (330-369, 390-399, 480-481), RTENAME and RTPICKS.
DRAWHOST_API bool isNameCode(int code);

// Codes whose text value is a handle written as hex digits (5, 105, 320-329, 1005).
DRAWHOST_API bool isHandleTextCode(int code);

// Control codes that structure a list rather than carry data: -3 (XData follows), 102
// ("{NAME" / "}" groups in objects) and 1002 ("{" / "}" in XData).
DRAWHOST_API bool isControlCode(int code);

// Codes that may follow the 1001 application name inside one application's XData group.
DRAWHOST_API bool isXDataCode(int code);
