// AcGeScale3d: comparisons and conversion to and from matrices.
#include "kestrel/host/ge/scale3d.h"

#include <cmath>

bool AcGeScale3d::isEqualTo(const AcGeScale3d& s, const AcGeTol& tol) const {
    const double e = tol.equalVector();
    return std::fabs(sx - s.sx) <= e && std::fabs(sy - s.sy) <= e && std::fabs(sz - s.sz) <= e;
}

bool AcGeScale3d::isProportional(const AcGeTol& tol) const {
    return isEqualTo(AcGeScale3d(sx), tol);
}

AcGeMatrix3d& AcGeScale3d::getMatrix(AcGeMatrix3d& m) const {
    m.setToIdentity();
    m.entry[0][0] = sx;
    m.entry[1][1] = sy;
    m.entry[2][2] = sz;
    return m;
}

AcGeScale3d& AcGeScale3d::extractScale(const AcGeMatrix3d& m) {
    for (int c = 0; c < 3; ++c) {
        (*this)[c] = std::hypot(m.entry[0][c], m.entry[1][c], m.entry[2][c]);
    }
    return *this;
}
