// What the editor keeps per document: the current view, the user coordinate system and the
// viewport variables. Each document owns one; while no document is current the editor uses its
// own, so editor calls work on a working database that belongs to no document too.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/point2d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/adesk.h"

namespace host {

// The view shown in the current viewport. Display coordinates have their origin at the target,
// their z axis along the view direction and their x axis turned by the twist (see
// host/app/coordinates.h); centre, height and width are measured in them.
struct DRAWHOST_API ViewState {
    AcGePoint2d center;                         // display coordinates
    double height = 10.0;                       // drawing units, not negative
    double width = 10.0;                        // drawing units, not negative
    AcGePoint3d target;                         // world
    AcGeVector3d viewDirection{0.0, 0.0, 1.0};  // world, from the target toward the viewer
    double viewTwist = 0.0;                     // radians
    double lensLength = 50.0;
    double frontClipDistance = 0.0;
    double backClipDistance = 0.0;
    bool perspectiveEnabled = false;
    bool frontClipEnabled = false;
    bool backClipEnabled = false;
    bool frontClipAtEye = true;
    bool paperspaceView = false;
};

// The user coordinate system in world coordinates; the axes are unit length and perpendicular.
struct DRAWHOST_API UcsState {
    AcGePoint3d origin;
    AcGeVector3d xAxis{1.0, 0.0, 0.0};
    AcGeVector3d yAxis{0.0, 1.0, 0.0};
};

// The editor's state of one document: view, user coordinate system and viewport variables.
struct DRAWHOST_API EditorState {
    ViewState view;
    UcsState ucs;
    Adesk::Int16 tileMode = 1;  // 1 model space tiles, 0 layouts
    Adesk::Int16 cvport = 2;    // 1 is the paper-space viewport
};

// The current document's state, or the editor's own while no document is current; valid until
// that document is closed.
DRAWHOST_API EditorState& editorState();

}  // namespace host
