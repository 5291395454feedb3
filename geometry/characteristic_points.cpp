// The fourteen characteristic-point extractors: direct readers cast the entity passed in,
// re-openers open its id once more for read and close it again before they return.
#include "kestrel/geometry/characteristic_points.h"

#include "kestrel/access/cx_entity.h"
#include "kestrel/drawing/polyline_2d_ptr.h"
#include "kestrel/drawing/polyline_3d_ptr.h"
#include "kestrel/drawing/polyline_lw_ptr.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/mtext.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/spline.h"
#include "kestrel/host/db/entities/text.h"

namespace {

// Appends read(entity) when the entity is a T; otherwise leaves points alone.
template <class T, class Read>
int appendDirect(AcDbEntity* entity, AcGePoint3dArray& points, Read read) {
    if (const T* typed = T::cast(entity)) {
        read(*typed, points);
    }
    return 1;
}

// Runs read on the entity's id opened again for read through Pointer, a scoped pointer of the
// extractor's own class, which closes an entity of another class again at once (status 34);
// nothing is read unless the open succeeded. The pointer closes the entity before returning.
template <class Pointer, class Read>
int readReopened(AcDbEntity* entity, Read read) {
    if (entity == nullptr) {
        return 1;
    }
    Pointer reopened(entity->objectId(), AcDb::kForRead);
    if (reopened.status() == Acad::eOk) {
        read(reopened);
    }
    return 1;
}

template <class Pointer>
int reopenVertices(AcDbEntity* entity, AcGePoint3dArray& points) {
    return readReopened<Pointer>(
        entity, [&points](Pointer& polyline) { polyline.getVertexPoints(points); });
}

template <class T>
int reopenStretchPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return readReopened<CxEntity<T>>(
        entity, [&points](CxEntity<T>& typed) { typed->getStretchPoints(points); });
}

}  // namespace

int CCPE_AcDbLine::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return appendDirect<AcDbLine>(entity, points, [](const AcDbLine& line, AcGePoint3dArray& out) {
        out.append(line.startPoint());
        out.append(line.endPoint());
    });
}

int CCPE_AcDbArc::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return appendDirect<AcDbArc>(entity, points, [](const AcDbArc& arc, AcGePoint3dArray& out) {
        AcGePoint3d start;
        AcGePoint3d end;
        arc.getStartPoint(start);
        arc.getEndPoint(end);
        out.append(start);
        out.append(end);
    });
}

int CCPE_AcDbMText::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return appendDirect<AcDbMText>(
        entity, points,
        [](const AcDbMText& text, AcGePoint3dArray& out) { out.append(text.location()); });
}

int CCPE_AcDbText::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return appendDirect<AcDbText>(entity, points, [](const AcDbText& text, AcGePoint3dArray& out) {
        out.append(text.position());
    });
}

int CCPE_AcDbPoint::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return appendDirect<AcDbPoint>(
        entity, points,
        [](const AcDbPoint& point, AcGePoint3dArray& out) { out.append(point.position()); });
}

int CCPE_AcDbCircle::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return appendDirect<AcDbCircle>(
        entity, points,
        [](const AcDbCircle& circle, AcGePoint3dArray& out) { out.append(circle.center()); });
}

int CCPE_AcDbBlockReference::ExtractCharacteristicPoints(AcDbEntity* entity,
                                                         AcGePoint3dArray& points) {
    return appendDirect<AcDbBlockReference>(
        entity, points, [](const AcDbBlockReference& reference, AcGePoint3dArray& out) {
            out.append(reference.position());
        });
}

int CCPE_AcDbPolyline::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return reopenVertices<CVLKCPolylineLWPtr>(entity, points);
}

int CCPE_AcDb2dPolyline::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return reopenVertices<CVLKC2dPolylinePtr>(entity, points);
}

int CCPE_AcDb3dPolyline::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return reopenVertices<CVLKC3dPolylinePtr>(entity, points);
}

int CCPE_AcDbFace::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return reopenStretchPoints<AcDbFace>(entity, points);
}

int CCPE_AcDbSpline::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return reopenStretchPoints<AcDbSpline>(entity, points);
}

int CCPE_AcDbHatch::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return reopenStretchPoints<AcDbHatch>(entity, points);
}

int CCPE_AcDbSolid::ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) {
    return readReopened<CxEntity<AcDbSolid>>(entity, [&points](CxEntity<AcDbSolid>& solid) {
        for (Adesk::UInt16 corner = 0; corner < 4; ++corner) {
            AcGePoint3d point(0.0, 0.0, 0.0);
            solid->getPointAt(corner, point);
            points.append(point);
        }
    });
}
