// CVLKC2dPolylinePtr: the vertex list of a 2D polyline, each vertex at the polyline's
// elevation, and its screen mark.
#include "kestrel/drawing/polyline_2d_ptr.h"

#include "drawing/screen_marks.h"
#include "drawing/vertex_walk.h"
#include "kestrel/host/db/entities/polyline_2d.h"

int CVLKC2dPolylinePtr::getVertexPoints(AcGePoint3dArray& points) {
    if (m_object == nullptr) {
        return 0;
    }
    const double elevation = m_object->elevation();
    return kestrel::appendVertexPositions<AcDb2dVertex>(*m_object, points,
                                                        [elevation](const AcDb2dVertex& vertex) {
                                                            AcGePoint3d point = vertex.position();
                                                            point.z = elevation;
                                                            return point;
                                                        });
}

bool CVLKC2dPolylinePtr::mark(int colour, int highlight) {
    AcGePoint3dArray points;
    getVertexPoints(points);
    return kestrel::drawChain(points, colour, highlight);
}
