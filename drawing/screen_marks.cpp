// Temporary screen vectors drawn through the editor's acedGrDraw.
#include "drawing/screen_marks.h"

#include "kestrel/host/app/screen.h"
#include "kestrel/host/db/resbuf.h"

namespace kestrel {

int drawVector(const AcGePoint3d& from, const AcGePoint3d& to, int colour, int highlight) {
    const ads_point a = {from.x, from.y, from.z};
    const ads_point b = {to.x, to.y, to.z};
    return acedGrDraw(a, b, colour, highlight);
}

bool drawChain(const AcGePoint3dArray& points, int colour, int highlight) {
    if (points.length() < 2) {
        return false;
    }
    int result = RTNORM;
    for (int i = 0; i + 1 < points.length() && result == RTNORM; ++i) {
        result = drawVector(points[i], points[i + 1], colour, highlight);
    }
    return result == RTNORM;
}

}  // namespace kestrel
