// CVLKCArcPtr: arc length, end points that follow linked node block references, the middle
// direction (checked with a temporary ray that is erased at once), tangents, points along the
// arc, setting the arc through three points, and its screen mark.
#include "kestrel/drawing/arc_ptr.h"

#include <cmath>
#include <string>

#include "drawing/screen_marks.h"
#include "kestrel/drawing/block_reference_ptr.h"
#include "kestrel/drawing/entity_creation.h"
#include "kestrel/drawing/ray_ptr.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/resbuf.h"
#include "kestrel/host/ge/matrix3d.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr wchar_t kStartNodeApp[] = L"PXN_NODE10";
constexpr wchar_t kEndNodeApp[] = L"PXN_NODE11";
// Start and end this close together count as opposite ends of a diameter; a distance this
// close to the length counts as reaching the end.
constexpr double kNearZero = 0.0001;
// The mark's chord angle, and the angle at which its running angle is brought back.
constexpr double kMarkChord = 0.035;
constexpr double kMarkWrap = 6.28;

bool isHandleItem(short code) {
    return code == 1000 || code == 1002 || code == 1003 || code == 1005;
}

// The handle text of app's first text item in the arc's XData; empty when there is none.
std::wstring nodeHandle(const AcDbArc& arc, const wchar_t* app) {
    resbuf* chain = arc.xData(app);
    std::wstring handle;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        if (isHandleItem(rb->restype)) {
            handle = rb->resval.rstring != nullptr ? rb->resval.rstring : L"";
            break;
        }
    }
    acutRelRb(chain);
    return handle;
}

// The insertion point of the block reference linked under app, or the arc's own end point.
AcGePoint3d linkedPoint(const AcDbArc& arc, const wchar_t* app, bool atStart) {
    AcGePoint3d point(0.0, 0.0, 0.0);
    const std::wstring handle = nodeHandle(arc, app);
    if (!handle.empty()) {
        CVLKCBlockReferencePtr node;
        if (node.open(handle.c_str(), AcDb::kForRead) == Acad::eOk) {
            return node->position();
        }
    }
    if (atStart) {
        arc.getStartPoint(point);
    } else {
        arc.getEndPoint(point);
    }
    return point;
}

// The unit vector from the centre to the middle of the arc between its linked end points. The
// bisector of the two ends points to the middle unless the arc is wider than a half circle;
// a ray along it that misses the arc tells which.
AcGeVector3d midDirection(const AcDbArc& arc) {
    const AcGePoint3d c = arc.center();
    const AcGeVector3d toStart = linkedPoint(arc, kStartNodeApp, true) - c;
    const AcGeVector3d toEnd = linkedPoint(arc, kEndNodeApp, false) - c;
    AcGeVector3d v = toStart + toEnd;
    if (v.length() < kNearZero) {
        v = AcGeVector3d::kZAxis.crossProduct(toStart);
    }
    v.normalize();
    CVLKCRayPtr ray;
    CVLKCDraw::ray(c, v, &ray);
    if (ray != nullptr) {
        AcGePoint3dArray points;
        arc.intersectWith(ray, AcDb::kOnBothOperands, points, 0, 0);
        if (points.isEmpty()) {
            v = -v;
        }
        ray->erase(true);
    }
    return v;
}

// How far angle a is from angle b around the circle, the shorter way.
double angularGap(double a, double b) {
    const double gap = std::fmod(std::fabs(a - b), kTwoPi);
    return std::fmin(gap, kTwoPi - gap);
}

AcGePoint3d pointAtAngle(const AcGePoint3d& c, double r, double angle) {
    return {c.x + r * std::cos(angle), c.y + r * std::sin(angle), 0.0};
}

// The unit tangent at end, turned to point towards the arc's middle.
AcGeVector3d tangentInto(const AcGePoint3d& c, const AcGePoint3d& end, const AcGePoint3d& middle) {
    AcGeVector3d t = AcGeVector3d::kZAxis.crossProduct(end - c).normal();
    return t.dotProduct(middle - end) < 0.0 ? -t : t;
}

}  // namespace

double CVLKCArcPtr::getLength() {
    if (m_object == nullptr) {
        return 0.0;
    }
    const double start = m_object->startAngle();
    double sweep = m_object->endAngle() - start;
    if (start > m_object->endAngle()) {
        sweep += kTwoPi;
    }
    return sweep * m_object->radius();
}

AcGePoint3d CVLKCArcPtr::getStartPoint() {
    return m_object == nullptr ? AcGePoint3d(0.0, 0.0, 0.0)
                               : linkedPoint(*m_object, kStartNodeApp, true);
}

AcGePoint3d CVLKCArcPtr::getEndPoint() {
    return m_object == nullptr ? AcGePoint3d(0.0, 0.0, 0.0)
                               : linkedPoint(*m_object, kEndNodeApp, false);
}

void CVLKCArcPtr::getStartPoint(AcGePoint3d& point) {
    point = getStartPoint();
}

void CVLKCArcPtr::getEndPoint(AcGePoint3d& point) {
    point = getEndPoint();
}

Acad::ErrorStatus CVLKCArcPtr::setPoints(const AcGePoint3d& first, const AcGePoint3d& middle,
                                         const AcGePoint3d& last) {
    m_status = Acad::eNotOpenForWrite;
    if (m_object == nullptr || m_mode != AcDb::kForWrite) {
        return m_status;
    }
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    AcGePoint3d centre(0.0, 0.0, 0.0);
    getCenterRadius(first, middle, last, &radius, &startAngle, &endAngle, &centre);
    if ((m_status = m_object->setCenter(centre)) != Acad::eOk ||
        (m_status = m_object->setRadius(radius)) != Acad::eOk ||
        (m_status = m_object->setEndAngle(endAngle)) != Acad::eOk) {
        return m_status;
    }
    return m_status = m_object->setStartAngle(startAngle);
}

AcGeVector3d CVLKCArcPtr::getMidAngleVector() {
    return m_object == nullptr ? AcGeVector3d(0.0, 0.0, 0.0) : midDirection(*m_object);
}

AcGePoint3d CVLKCArcPtr::getPointOnArc() {
    if (m_object == nullptr) {
        return AcGePoint3d(0.0, 0.0, 0.0);
    }
    return m_object->center() + m_object->radius() * midDirection(*m_object);
}

AcGeVector3d CVLKCArcPtr::getStartPointTangentVector() {
    if (m_object == nullptr) {
        return AcGeVector3d(0.0, 0.0, 0.0);
    }
    return tangentInto(m_object->center(), getStartPoint(), getPointOnArc());
}

AcGeVector3d CVLKCArcPtr::getEndPointTangentVector() {
    if (m_object == nullptr) {
        return AcGeVector3d(0.0, 0.0, 0.0);
    }
    return tangentInto(m_object->center(), getEndPoint(), getPointOnArc());
}

int CVLKCArcPtr::getPointOnArcAtDistance(double distance, AcGePoint3d& point, AcGeVector3d& tangent,
                                         AcGeVector3d& radial) {
    if (m_object == nullptr || getLength() - distance < kNearZero) {
        return 0;
    }
    const AcGePoint3d c = m_object->center();
    const double r = m_object->radius();
    const AcGePoint3d start = getStartPoint();
    // Rotating about (start - c) x (middle - c) turns the start towards the middle.
    const AcGeVector3d axis = (start - c).crossProduct((getPointOnArc() - c).normal());
    if (r <= 0.0 || axis.isZeroLength()) {
        return 0;
    }
    AcGePoint3d at = start;
    at.transformBy(AcGeMatrix3d::rotation(distance / r, axis, c));
    AcGeVector3d onward = AcGeVector3d::kZAxis.crossProduct(at - c).normal();
    if (onward.dotProduct((at - start).normal()) <= 0.0) {
        onward = -onward;
    }
    point = at;
    tangent = onward;
    radial = (at - c).normal();
    return 1;
}

bool CVLKCArcPtr::mark(int colour, int highlight) {
    if (m_object == nullptr) {
        return false;
    }
    const double r = m_object->radius();
    const double end = m_object->endAngle();
    const AcGePoint3d c = m_object->center();
    AcGePoint3d from = pointAtAngle(c, r, m_object->startAngle());
    for (double a = m_object->startAngle() + kMarkChord; angularGap(a, end) > kMarkChord;
         a += kMarkChord) {
        if (a > kMarkWrap) {
            a -= kMarkWrap;
        }
        const AcGePoint3d to = pointAtAngle(c, r, a);
        kestrel::drawVector(from, to, colour, highlight);
        from = to;
    }
    return true;
}
