// The default geometry of AcDbEntity (an entity without geometry of its own), the transformed
// copy every kind shares, and intersectWith, which works on the curve pieces of host/db/entities/
// intersect.h so that every pair of curve kinds is handled in one place.
#include "kestrel/host/db/entity.h"

#include <memory>

#include "host/db/entities/intersect.h"

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const {
    assertReadEnabled();
    return Acad::eInvalidExtents;
}

Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbEntity::getTransformedCopy(const AcGeMatrix3d& xform,
                                                 AcDbEntity*& ent) const {
    ent = nullptr;
    assertReadEnabled();
    std::unique_ptr<AcDbEntity> copy(AcDbEntity::cast(clone()));
    if (copy == nullptr) {
        return Acad::eNotApplicable;
    }
    const Acad::ErrorStatus status = copy->transformBy(xform);
    if (status == Acad::eOk) {
        ent = copy.release();
    }
    return status;
}

Acad::ErrorStatus AcDbEntity::getStretchPoints(AcGePoint3dArray&) const {
    assertReadEnabled();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbEntity::moveStretchPointsAt(const AcDbIntArray&, const AcGeVector3d&) {
    return Acad::eNotApplicable;
}

Acad::ErrorStatus AcDbEntity::intersectWith(const AcDbEntity* pEnt, AcDb::Intersect intType,
                                            AcGePoint3dArray& points, Adesk::GsMarker,
                                            Adesk::GsMarker) const {
    if (pEnt == nullptr) {
        return Acad::eInvalidInput;
    }
    assertReadEnabled();
    pEnt->assertReadEnabled();
    return host::intersectEntities(*this, *pEnt, intType, points);
}

Acad::ErrorStatus AcDbEntity::explode(AcDbVoidPtrArray&) const {
    assertReadEnabled();
    return Acad::eNotApplicable;
}
