// CVLKCArcPtr: the typed pointer for arcs, a CxEntity<AcDbArc> that opens by id, handle
// text or selection name and closes with the pointer. It is never copied or re-pointed by
// assignment; open() re-opens it on another entity. The services work on the held arc; the
// queries that need its middle append a temporary ray to the target space and erase it again.
#pragma once

#include "kestrel/access/cx_entity.h"
#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"

// An arc end may be tied to a node block reference: the first text item (1000, 1002, 1003 or
// 1005) of the arc's XData under "PXN_NODE10" (start) or "PXN_NODE11" (end) holds the
// reference's handle. The end point queries answer the reference's insertion point when that
// handle opens as a block reference, the arc's own point otherwise, and every query below that
// speaks of start and end points means these linked points.
//
// Decisions where the interface leaves the behaviour open:
// - On an empty pointer the point and vector queries answer the origin and the zero vector,
//   getLength 0.0, getPointOnArcAtDistance 0 and mark false, all without calling the host.
// - The middle direction is checked by intersecting the arc with a temporary ray from the
//   centre; when that ray cannot be created (no working database, no target space) the
//   direction stays unchecked, that is on the chord's side of the centre.
// - getPointOnArcAtDistance also answers 0, outputs untouched, for an arc of radius 0 or one
//   whose start point lies on its middle direction (nothing to rotate about).
// - mark measures how far the running angle is from the end angle around the circle, in either
//   direction, so the chain also ends when the running angle has wrapped past 6.28 or has just
//   passed the end; it draws chords of 0.035 rad until it is within 0.035 rad of the end.
class KESTREL_API CVLKCArcPtr : public CxEntity<AcDbArc> {
public:
    // The base's constructors: empty, or opened as open() does (empty on failure).
    using CxEntity<AcDbArc>::CxEntity;

    // The circle through p1, p2, p3 in the XY plane (z of p1) and the counter-clockwise arc from
    // p1 through p2 to p3 (geometry/circle_through_points.h); false, outputs untouched, for
    // collinear points; null outputs are skipped. Needs no open entity.
    static bool getCenterRadius(const AcGePoint3d& p1, const AcGePoint3d& p2, const AcGePoint3d& p3,
                                double* radius, double* startAngle, double* endAngle,
                                AcGePoint3d* centre);

    // The length of the counter-clockwise arc from start to end angle: sweep times radius.
    double getLength();
    // The start (end) point, or the insertion point of the linked node at the start (end).
    AcGePoint3d getStartPoint();
    AcGePoint3d getEndPoint();
    void getStartPoint(AcGePoint3d & point);
    void getEndPoint(AcGePoint3d & point);
    // Gives the arc the circle and angles through the three points (getCenterRadius; collinear
    // points give centre origin, radius 0 and angles 0). eNotOpenForWrite (45) when the pointer
    // is empty or not open for write, else the first setter's refusal or eOk; kept in status().
    Acad::ErrorStatus setPoints(const AcGePoint3d& first, const AcGePoint3d& middle,
                                const AcGePoint3d& last);
    // The unit vector from the centre towards the middle of the arc between its start and end
    // points. Leaves no entity behind.
    AcGeVector3d getMidAngleVector();
    // The point in the middle of the arc: centre + radius * getMidAngleVector().
    AcGePoint3d getPointOnArc();
    // Unit tangents at the start and at the end point, each pointing into the arc.
    AcGeVector3d getStartPointTangentVector();
    AcGeVector3d getEndPointTangentVector();
    // The point at the given distance along the arc from its start point, with the unit tangent
    // there (pointing onward) and the unit radial direction. 1 when done; 0, outputs untouched,
    // when distance reaches to within 0.0001 of the length or beyond. A negative distance goes
    // back past the start.
    int getPointOnArcAtDistance(double distance, AcGePoint3d& point, AcGeVector3d& tangent,
                                AcGeVector3d& radial);
    // Draws the arc as a chain of 0.035 rad chords in the XY plane at z 0; false when empty.
    // The chain stops short of the end by up to 0.07 rad, so a sweep of 0.07 rad or less draws
    // nothing; vectors the editor refuses are left out.
    bool mark(int colour, int highlight);

    // Changes nothing and returns this pointer.
    CVLKCArcPtr& operator=(CVLKCArcPtr& /*other*/) { return *this; }
};
