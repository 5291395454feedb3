// host::Extrusion's setters and DXF check.
#include "kestrel/host/db/entities/extrusion.h"

#include "kestrel/host/db/entity_support.h"

namespace host {

Acad::ErrorStatus Extrusion::setThickness(AcDbObject* owner, double thickness) {
    const Acad::ErrorStatus status = owner->requireWrite();
    if (status == Acad::eOk) {
        set(thickness, normal());
    }
    return status;
}

Acad::ErrorStatus Extrusion::setNormal(AcDbObject* owner, const AcGeVector3d& newNormal) {
    AcGeVector3d unit;
    Acad::ErrorStatus status = owner->requireWrite();
    if (status == Acad::eOk) {
        status = unitNormal(newNormal, unit);
    }
    if (status == Acad::eOk) {
        set(thickness(), unit);
    }
    return status;
}

Acad::ErrorStatus Extrusion::checkDxf(AcDbDxfFiler* filer, const wchar_t* className) {
    AcGeVector3d unit = normal();
    const Acad::ErrorStatus status = checkDxfNormal(filer, className, unit);
    if (status == Acad::eOk) {
        set(thickness(), unit);
    }
    return status;
}

}  // namespace host
