// Coordinate conversions of the editor, from the current document's UCS and view.
#include "kestrel/host/app/coordinates.h"

#include <cmath>
#include <optional>

#include "kestrel/host/app/editor_state.h"
#include "kestrel/host/app/session.h"
#include "kestrel/host/db/resbuf.h"

namespace {

// The matrix from the named system to world coordinates, or nothing for a system we do not
// know.
std::optional<AcGeMatrix3d> systemToWorld(const resbuf* system) {
    if (system == nullptr) {
        return std::nullopt;
    }
    if (system->restype == RTSHORT) {
        switch (system->resval.rint) {
            case 0:
                return AcGeMatrix3d::kIdentity;
            case 1:
                return host::userToWorld();
            case 2:
                return host::displayToWorld();
            default:
                return std::nullopt;
        }
    }
    if (system->restype == RT3DPOINT) {
        const AcGeVector3d normal(system->resval.rpoint[0], system->resval.rpoint[1],
                                  system->resval.rpoint[2]);
        if (normal.isZeroLength()) {
            return std::nullopt;
        }
        return AcGeMatrix3d::planeToWorld(normal);
    }
    return std::nullopt;
}

}  // namespace

int acedTrans(const ads_point pt, const resbuf* from, const resbuf* to, int disp,
              ads_point result) {
    const std::optional<AcGeMatrix3d> fromWorld = systemToWorld(from);
    const std::optional<AcGeMatrix3d> toWorld = systemToWorld(to);
    if (pt == nullptr || result == nullptr || !fromWorld || !toWorld) {
        return RTERROR;
    }
    const AcGeMatrix3d convert = toWorld->inverse() * *fromWorld;
    if (disp != 0) {
        AcGeVector3d v(pt[0], pt[1], pt[2]);
        v.transformBy(convert);
        result[0] = v.x;
        result[1] = v.y;
        result[2] = v.z;
    } else {
        AcGePoint3d p(pt[0], pt[1], pt[2]);
        p.transformBy(convert);
        result[0] = p.x;
        result[1] = p.y;
        result[2] = p.z;
    }
    return RTNORM;
}

namespace host {

AcGeMatrix3d userToWorld() {
    const UcsState& ucs = editorState().ucs;
    AcGeMatrix3d m;
    m.setCoordSystem(ucs.origin, ucs.xAxis, ucs.yAxis, ucs.xAxis.crossProduct(ucs.yAxis));
    return m;
}

AcGeMatrix3d displayToWorld() {
    const ViewState& view = editorState().view;
    return AcGeMatrix3d::translation(view.target.asVector()) *
           AcGeMatrix3d::planeToWorld(view.viewDirection) *
           AcGeMatrix3d::rotation(-view.viewTwist, AcGeVector3d::kZAxis);
}

Acad::ErrorStatus setUcs(const AcGePoint3d& origin, const AcGeVector3d& xAxis,
                         const AcGeVector3d& yAxis) {
    const bool finite = std::isfinite(origin.x) && std::isfinite(origin.y) &&
                        std::isfinite(origin.z) && std::isfinite(xAxis.length()) &&
                        std::isfinite(yAxis.length());
    if (!finite || xAxis.isZeroLength() || yAxis.isZeroLength() ||
        !xAxis.isPerpendicularTo(yAxis)) {
        return Acad::eInvalidInput;
    }
    editorState().ucs = UcsState{origin, xAxis.normal(), yAxis.normal()};
    return Acad::eOk;
}

}  // namespace host
