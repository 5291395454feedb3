// ICharacteristicPointsExtractor and the fourteen CCPE_ extractors: each writes the few points
// that characterise one kind of entity (line ends, insertion points, centres, vertices, ...)
// into a point array. Stateless; a client owns them through shared pointers of the concrete
// class (CDrawingEntity, geometry/drawing_entity.h) and may share one among many records.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

class AcDbEntity;

// The entity must be open (for read at least) and the result is always 1; what was found shows
// only in the array.
//
// Two families:
// - Direct readers (line, arc, mtext, text, point, circle, block reference) read the entity as
//   passed and append their points after what the array holds.
// - Re-openers (the three polylines, face, spline, hatch, solid) open the entity's id again for
//   read through a scoped pointer of their own class and read that: the polylines through their
//   typed pointers, which empty the array first; the others through CxEntity<AcDbFace>,
//   <AcDbSpline>, <AcDbHatch> and <AcDbSolid>. An entity of another class is closed again at once
//   (eNotThatKindOfClass, 34) and nothing is read. The caller must therefore not hold the entity
//   open for write. The second open is closed before they return.
//
// Decisions where the interface leaves the behaviour open:
// - A direct reader given an entity of another class leaves the array as it was and returns 1,
//   as the re-openers do for an entity of another class, one not in a database or one the host
//   will not open. A null entity is treated the same way by every extractor.
// - The interface's destructor is protected and not virtual: deleting an extractor through an
//   interface pointer does not compile. The extractors are final, so deleting one through its
//   own class (as its shared pointer does) is safe.
class KESTREL_API ICharacteristicPointsExtractor {
public:
    ICharacteristicPointsExtractor() = default;
    ICharacteristicPointsExtractor(const ICharacteristicPointsExtractor&) = default;
    ICharacteristicPointsExtractor& operator=(const ICharacteristicPointsExtractor&) = default;

    // Writes the entity's characteristic points into points; always 1.
    virtual int ExtractCharacteristicPoints(AcDbEntity * entity, AcGePoint3dArray & points) = 0;

protected:
    ~ICharacteristicPointsExtractor() = default;
};

// Declares one extractor class; its points are listed where it is used.
#define KESTREL_DECLARE_EXTRACTOR(CLASS_NAME)                                                   \
    class KESTREL_API CLASS_NAME final : public ICharacteristicPointsExtractor {                \
    public:                                                                                     \
        int ExtractCharacteristicPoints(AcDbEntity* entity, AcGePoint3dArray& points) override; \
    }

// Appends the start point, then the end point.
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbLine);
// Appends the arc's own start point, then its end point (no centre).
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbArc);
// Appends the location.
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbMText);
// Appends the position (the insertion point, not the alignment point).
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbText);
// Appends the position.
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbPoint);
// Appends the centre.
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbCircle);
// Appends the insertion point.
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbBlockReference);
// Replaces the array by the vertices (CVLKCPolylineLWPtr::getVertexPoints).
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbPolyline);
// Replaces the array by the vertices (CVLKC2dPolylinePtr::getVertexPoints).
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDb2dPolyline);
// Replaces the array by the vertices (CVLKC3dPolylinePtr::getVertexPoints).
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDb3dPolyline);
// The next three add the entity's stretch points as the host's getStretchPoints gives them
// (appended): the face's corners, the spline's fit (or control) points, the hatch's loop vertices.
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbFace);
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbSpline);
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbHatch);
// Appends corners 0 to 3, always all four (a corner the host does not give is the origin).
KESTREL_DECLARE_EXTRACTOR(CCPE_AcDbSolid);

#undef KESTREL_DECLARE_EXTRACTOR
