// CVLKCPolylineLWPtr: the vertex list of a lightweight polyline, each vertex at the polyline's
// elevation, and its screen mark.
#include "kestrel/drawing/polyline_lw_ptr.h"

#include "drawing/screen_marks.h"
#include "kestrel/host/db/entities/polyline.h"

int CVLKCPolylineLWPtr::getVertexPoints(AcGePoint3dArray& points) {
    if (m_object == nullptr) {
        return 0;
    }
    points.removeAll();
    const double elevation = m_object->elevation();
    for (unsigned int i = 0; i < m_object->numVerts(); ++i) {
        AcGePoint3d point;
        m_object->getPointAt(i, point);
        point.z = elevation;
        points.append(point);
    }
    return points.length();
}

bool CVLKCPolylineLWPtr::mark(int colour, int highlight) {
    AcGePoint3dArray points;
    getVertexPoints(points);
    return kestrel::drawChain(points, colour, highlight);
}
