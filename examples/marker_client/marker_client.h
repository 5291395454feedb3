// marker_client: a client module with a command, MARKER, that places a survey marker in the
// working database: a circle of the marker's size around the point and a line across it. The
// line carries the marker's label as XData of the application "MARKER_CLIENT" and its size in
// its extension dictionary; the drawing's XML text of the application lists every marker.
#pragma once

#include <kestrel/host/db/object_id.h>
#include <kestrel/host/ge/point3d.h>

namespace marker {

constexpr const wchar_t* kApp = L"MARKER_CLIENT";
constexpr const wchar_t* kSizeKey = L"MARKER_SIZE";

// What one command made; null ids when the drawing refused it.
struct Marker {
    AcDbObjectId line;
    AcDbObjectId circle;
};

// The MARKER command: places a marker of size (its radius) labelled label at at, and prints one
// line on the command line.
Marker placeMarker(const AcGePoint3d& at, double size, const wchar_t* label);

}  // namespace marker
