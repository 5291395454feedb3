// CVLKC3dPolylinePtr: the vertex list of a 3D polyline and its screen mark.
#include "kestrel/drawing/polyline_3d_ptr.h"

#include "drawing/screen_marks.h"
#include "drawing/vertex_walk.h"
#include "kestrel/host/db/entities/polyline_3d.h"

int CVLKC3dPolylinePtr::getVertexPoints(AcGePoint3dArray& points) {
    if (m_object == nullptr) {
        return 0;
    }
    return kestrel::appendVertexPositions<AcDb3dPolylineVertex>(
        *m_object, points, [](const AcDb3dPolylineVertex& vertex) { return vertex.position(); });
}

bool CVLKC3dPolylinePtr::mark(int colour, int highlight) {
    AcGePoint3dArray points;
    getVertexPoints(points);
    return kestrel::drawChain(points, colour, highlight);
}
