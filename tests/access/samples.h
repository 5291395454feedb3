// One sample object of every class the typed pointers open, shared by the pointer suites:
// addSample<T>(test) adds one to the test's drawing (or names one every drawing has) and
// answers its id.
#pragma once

#include <string>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/open.h"
#include "tests/access/access_fixture.h"

namespace access_test {

namespace samples {
inline const AcGePoint3d kOrigin(0, 0, 0);
inline const AcGePoint3d kRight(10, 0, 0);
inline const AcGePoint3d kUp(0, 10, 0);
}  // namespace samples

template <class T>
AcDbObjectId addSample(AccessTest& test);

// A reference to a new, empty block definition of a name of its own.
inline AcDbObjectId addBlockReference(AccessTest& test) {
    static int blocks = 0;
    AcDbBlockTable* table = nullptr;
    EXPECT_EQ(test.db()->getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    auto* block = new AcDbBlockTableRecord();
    block->setName((L"B" + std::to_wstring(++blocks)).c_str());
    AcDbObjectId blockId;
    EXPECT_EQ(table->add(blockId, block), Acad::eOk);
    block->close();
    table->close();
    return test.append(new AcDbBlockReference(samples::kOrigin, blockId));
}

template <>
inline AcDbObjectId addSample<AcDb2LineAngularDimension>(AccessTest& test) {
    using namespace samples;
    return test.append(
        new AcDb2LineAngularDimension(kOrigin, kRight, kOrigin, kUp, AcGePoint3d(5, 5, 0)));
}
template <>
inline AcDbObjectId addSample<AcDb2dPolyline>(AccessTest& test) {
    AcGePoint3dArray points;
    points.append(samples::kOrigin);
    points.append(samples::kRight);
    return test.append(new AcDb2dPolyline(AcDb::k2dSimplePoly, points));
}
template <>
inline AcDbObjectId addSample<AcDb3PointAngularDimension>(AccessTest& test) {
    using namespace samples;
    return test.append(new AcDb3PointAngularDimension(kOrigin, kRight, kUp, AcGePoint3d(5, 5, 0)));
}
template <>
inline AcDbObjectId addSample<AcDb3dPolyline>(AccessTest& test) {
    AcGePoint3dArray points;
    points.append(samples::kOrigin);
    points.append(AcGePoint3d(1, 2, 3));
    return test.append(new AcDb3dPolyline(AcDb::k3dSimplePoly, points));
}
template <>
inline AcDbObjectId addSample<AcDbArc>(AccessTest& test) {
    return test.append(new AcDbArc(samples::kOrigin, 3.0, 0.0, 1.0));
}
template <>
inline AcDbObjectId addSample<AcDbAttribute>(AccessTest& test) {
    AcDbBlockReference* reference = nullptr;
    EXPECT_EQ(acdbOpenObject(reference, addBlockReference(test), AcDb::kForWrite), Acad::eOk);
    AcDbObjectId id;
    auto* attribute = new AcDbAttribute(samples::kOrigin, L"value", L"TAG");
    EXPECT_EQ(reference->appendAttribute(id, attribute), Acad::eOk);
    attribute->close();
    reference->close();
    return id;
}
template <>
inline AcDbObjectId addSample<AcDbBlockReference>(AccessTest& test) {
    return addBlockReference(test);
}
template <>
inline AcDbObjectId addSample<AcDbCircle>(AccessTest& test) {
    return test.append(new AcDbCircle(samples::kOrigin, AcGeVector3d(0, 0, 1), 2.0));
}
template <>
inline AcDbObjectId addSample<AcDbDictionary>(AccessTest& test) {
    return test.db()->namedObjectsDictionaryId();
}
template <>
inline AcDbObjectId addSample<AcDbDimStyleTable>(AccessTest& test) {
    return test.db()->dimStyleTableId();
}
template <>
inline AcDbObjectId addSample<AcDbEllipse>(AccessTest& test) {
    return test.append(
        new AcDbEllipse(samples::kOrigin, AcGeVector3d(0, 0, 1), AcGeVector3d(4, 0, 0), 0.5));
}
template <>
inline AcDbObjectId addSample<AcDbLine>(AccessTest& test) {
    return test.append(new AcDbLine(samples::kOrigin, samples::kRight));
}
template <>
inline AcDbObjectId addSample<AcDbEntity>(AccessTest& test) {
    return addSample<AcDbLine>(test);
}
template <>
inline AcDbObjectId addSample<AcDbFace>(AccessTest& test) {
    using namespace samples;
    return test.append(new AcDbFace(kOrigin, kRight, kUp, kUp));
}
template <>
inline AcDbObjectId addSample<AcDbLayerTableRecord>(AccessTest& test) {
    return test.db()->layerZero();
}
template <>
inline AcDbObjectId addSample<AcDbLinetypeTable>(AccessTest& test) {
    return test.db()->linetypeTableId();
}
template <>
inline AcDbObjectId addSample<AcDbPoint>(AccessTest& test) {
    return test.append(new AcDbPoint(samples::kUp));
}
template <>
inline AcDbObjectId addSample<AcDbPolyline>(AccessTest& test) {
    auto* polyline = new AcDbPolyline();
    polyline->addVertexAt(0, AcGePoint2d(0, 0));
    polyline->addVertexAt(1, AcGePoint2d(3, 4));
    return test.append(polyline);
}
template <>
inline AcDbObjectId addSample<AcDbRay>(AccessTest& test) {
    auto* ray = new AcDbRay();
    ray->setBasePoint(samples::kOrigin);
    ray->setUnitDir(AcGeVector3d(1, 0, 0));
    return test.append(ray);
}
template <>
inline AcDbObjectId addSample<AcDbRotatedDimension>(AccessTest& test) {
    using namespace samples;
    return test.append(new AcDbRotatedDimension(0.0, kOrigin, kRight, AcGePoint3d(5, 3, 0)));
}
template <>
inline AcDbObjectId addSample<AcDbSolid>(AccessTest& test) {
    using namespace samples;
    return test.append(new AcDbSolid(kOrigin, kRight, kUp));
}
template <>
inline AcDbObjectId addSample<AcDbTable>(AccessTest& test) {
    return test.append(new AcDbTable());
}
template <>
inline AcDbObjectId addSample<AcDbText>(AccessTest& test) {
    return test.append(new AcDbText(samples::kOrigin, L"text"));
}
template <>
inline AcDbObjectId addSample<AcDbTextStyleTable>(AccessTest& test) {
    return test.db()->textStyleTableId();
}

}  // namespace access_test
