// AcGePoint3d: indexing and transformations.
#include "kestrel/host/ge/point3d.h"

#include "kestrel/host/ge/matrix3d.h"

double AcGePoint3d::operator[](unsigned int i) const {
    hostCheckIndex("AcGePoint3d::operator[]", i, 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

double& AcGePoint3d::operator[](unsigned int i) {
    hostCheckIndex("AcGePoint3d::operator[]", i, 3);
    return i == 0 ? x : (i == 1 ? y : z);
}

AcGePoint3d& AcGePoint3d::transformBy(const AcGeMatrix3d& m) {
    return *this = m * *this;
}

AcGePoint3d& AcGePoint3d::rotateBy(double angle, const AcGeVector3d& axis,
                                   const AcGePoint3d& wrtPoint) {
    return transformBy(AcGeMatrix3d::rotation(angle, axis, wrtPoint));
}

AcGePoint3d& AcGePoint3d::scaleBy(double factor, const AcGePoint3d& wrtPoint) {
    return *this = wrtPoint + (*this - wrtPoint) * factor;
}
