// AcDbEntity::intersectWith: the two curves' pieces, intersected pair by pair.
#include "host/db/entities/intersect.h"

#include <algorithm>
#include <vector>

#include "kestrel/host/db/entities/curve.h"

namespace host {

Acad::ErrorStatus intersectEntities(const AcDbEntity& a, const AcDbEntity& b, AcDb::Intersect mode,
                                    AcGePoint3dArray& points) {
    const AcDbCurve* curveA = AcDbCurve::cast(&a);
    const AcDbCurve* curveB = AcDbCurve::cast(&b);
    if (curveA == nullptr || curveB == nullptr) {
        return Acad::eNotApplicable;
    }
    std::vector<CurvePiece> piecesA;
    std::vector<CurvePiece> piecesB;
    curveA->getCurvePieces(piecesA, mode == AcDb::kExtendThis || mode == AcDb::kExtendBoth);
    curveB->getCurvePieces(piecesB, mode == AcDb::kExtendArg || mode == AcDb::kExtendBoth);
    std::vector<AcGePoint3d> found;
    for (const CurvePiece& pa : piecesA) {
        for (const CurvePiece& pb : piecesB) {
            std::vector<AcGePoint3d> pair;
            intersectPieces(pa, pb, pair);
            for (const AcGePoint3d& p : pair) {
                const double tol = pieceTolerance(pa, pb);
                const bool known = std::any_of(found.begin(), found.end(), [&](const auto& q) {
                    return q.distanceTo(p) <= tol;
                });
                if (!known) {
                    found.push_back(p);
                }
            }
        }
    }
    for (const AcGePoint3d& p : found) {
        points.append(p);
    }
    return Acad::eOk;
}

}  // namespace host
