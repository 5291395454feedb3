// AcDbExtents: growing, transforming and testing axis-aligned boxes.
#include "kestrel/host/ge/extents.h"

#include <algorithm>

namespace {

constexpr double kEmptyBound = 1e20;

bool ordered(const AcGePoint3d& min, const AcGePoint3d& max) {
    return min.x <= max.x && min.y <= max.y && min.z <= max.z;
}

}  // namespace

AcDbExtents::AcDbExtents() {
    reset();
}

AcDbExtents::AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max) {
    reset();
    set(min, max);
}

bool AcDbExtents::isEmpty() const {
    return !ordered(m_min, m_max);
}

Acad::ErrorStatus AcDbExtents::set(const AcGePoint3d& min, const AcGePoint3d& max) {
    if (!ordered(min, max)) {
        return Acad::eInvalidExtents;
    }
    m_min = min;
    m_max = max;
    return Acad::eOk;
}

void AcDbExtents::reset() {
    m_min.set(kEmptyBound, kEmptyBound, kEmptyBound);
    m_max.set(-kEmptyBound, -kEmptyBound, -kEmptyBound);
}

void AcDbExtents::addPoint(const AcGePoint3d& p) {
    if (isEmpty()) {
        m_min = p;
        m_max = p;
        return;
    }
    m_min.set(std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z));
    m_max.set(std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z));
}

void AcDbExtents::addExt(const AcDbExtents& other) {
    if (other.isEmpty()) {
        return;
    }
    addPoint(other.m_min);
    addPoint(other.m_max);
}

void AcDbExtents::expandBy(const AcGeVector3d& v) {
    if (isEmpty()) {
        return;
    }
    const AcDbExtents moved(m_min + v, m_max + v);
    addExt(moved);
}

void AcDbExtents::transformBy(const AcGeMatrix3d& m) {
    if (isEmpty()) {
        return;
    }
    const AcGePoint3d corners[2] = {m_min, m_max};
    AcDbExtents result;
    for (int i = 0; i < 8; ++i) {
        result.addPoint(
            m * AcGePoint3d(corners[i & 1].x, corners[(i >> 1) & 1].y, corners[(i >> 2) & 1].z));
    }
    *this = result;
}

bool AcDbExtents::contains(const AcGePoint3d& p, const AcGeTol& tol) const {
    const double e = tol.equalPoint();
    return p.x >= m_min.x - e && p.x <= m_max.x + e && p.y >= m_min.y - e && p.y <= m_max.y + e &&
           p.z >= m_min.z - e && p.z <= m_max.z + e;
}
