// AcDbExtents: an axis-aligned box in world coordinates. A new box is empty (minimum point
// (1e20, 1e20, 1e20), maximum point (-1e20, -1e20, -1e20), so the middle of an empty box is the
// origin); adding a point to an empty box makes the box that point. Empty boxes stay empty under
// transformBy and expandBy, and adding one changes nothing.
#pragma once

#include "kestrel/export.h"
#include "kestrel/host/ge/matrix3d.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/host/rx/error_status.h"

class DRAWHOST_API AcDbExtents {
public:
    // An empty box.
    AcDbExtents();
    // The box from min to max; an empty box when min exceeds max on any axis.
    AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max);

    const AcGePoint3d& minPoint() const { return m_min; }
    const AcGePoint3d& maxPoint() const { return m_max; }
    // True until a point or a non-empty box is added.
    bool isEmpty() const;

    // Makes the box min to max; eInvalidExtents (box unchanged) when min exceeds max on any axis.
    Acad::ErrorStatus set(const AcGePoint3d& min, const AcGePoint3d& max);
    // Makes the box empty again.
    void reset();
    // Grows the box to hold p.
    void addPoint(const AcGePoint3d& p);
    // Grows the box to hold other; an empty other changes nothing.
    void addExt(const AcDbExtents& other);
    // Grows the box to hold itself moved by v.
    void expandBy(const AcGeVector3d& v);
    // Replaces the box by the one around its eight transformed corners.
    void transformBy(const AcGeMatrix3d& m);
    // True when p lies inside or on the box (within tol.equalPoint()).
    bool contains(const AcGePoint3d& p, const AcGeTol& tol = AcGeContext::gTol) const;

private:
    AcGePoint3d m_min;
    AcGePoint3d m_max;
};
