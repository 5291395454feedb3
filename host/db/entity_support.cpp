// Shared internals of the entity kinds: OCS conversions, planar transform analysis, conic-arc
// extents and symbol-record names.
#include "kestrel/host/db/entity_support.h"

#include <cmath>

#include "kestrel/host/db/symbol_name.h"
#include "kestrel/host/db/symbol_table.h"
#include "kestrel/host/ge/angles.h"

namespace host {

namespace {

// Tolerance of the angle tests, in radians.
constexpr double kAngleTolerance = 1e-10;
// Relative tolerance of the conformity test of a transform.
constexpr double kConformalTolerance = 1e-9;

double det3(const AcGeMatrix3d& m) {
    const AcGeVector3d c0(m.entry[0][0], m.entry[1][0], m.entry[2][0]);
    const AcGeVector3d c1(m.entry[0][1], m.entry[1][1], m.entry[2][1]);
    const AcGeVector3d c2(m.entry[0][2], m.entry[1][2], m.entry[2][2]);
    return c0.dotProduct(c1.crossProduct(c2));
}

bool isFinite(const AcGeVector3d& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

int cornerStretchCount(const AcGePoint3d (&corners)[4]) {
    return corners[3].isEqualTo(corners[2]) ? 3 : 4;
}

Acad::ErrorStatus moveCornerStretchPoints(AcDbObject* object, AcGePoint3d (&corners)[4],
                                          const AcDbIntArray& indices, const AcGeVector3d& offset) {
    const int count = cornerStretchCount(corners);
    return moveStretchPoints(object, indices, count, [&](int i) {
        corners[i] += offset;
        if (count == 3 && i == 2) {
            corners[3] += offset;
        }
    });
}

void appendCornerStretchPoints(const AcGePoint3d (&corners)[4], AcGePoint3dArray& points) {
    for (int i = 0; i < cornerStretchCount(corners); ++i) {
        points.append(corners[i]);
    }
}

OcsAxes ocsAxes(const AcGeVector3d& normal) {
    const AcGeVector3d z = normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal();
    const AcGeVector3d x = z.perpVector();
    return {x, z.crossProduct(x).normal(), z};
}

AcGePoint3d ocsToWorld(const AcGeVector3d& normal, const AcGePoint3d& p) {
    if (normal == AcGeVector3d::kZAxis) {
        return p;
    }
    const OcsAxes a = ocsAxes(normal);
    return AcGePoint3d::kOrigin + a.x * p.x + a.y * p.y + a.z * p.z;
}

AcGePoint3d worldToOcs(const AcGeVector3d& normal, const AcGePoint3d& p) {
    if (normal == AcGeVector3d::kZAxis) {
        return p;
    }
    const OcsAxes a = ocsAxes(normal);
    const AcGeVector3d v = p.asVector();
    return {v.dotProduct(a.x), v.dotProduct(a.y), v.dotProduct(a.z)};
}

AcGeVector3d ocsDirection(const AcGeVector3d& normal, double angle) {
    const OcsAxes a = ocsAxes(normal);
    return a.x * std::cos(angle) + a.y * std::sin(angle);
}

double ocsAngle(const AcGeVector3d& normal, const AcGeVector3d& direction) {
    const OcsAxes a = ocsAxes(normal);
    return normalizeAngle(std::atan2(direction.dotProduct(a.y), direction.dotProduct(a.x)));
}

Acad::ErrorStatus unitNormal(const AcGeVector3d& normal, AcGeVector3d& out) {
    if (!isFinite(normal) || normal.isZeroLength()) {
        return Acad::eInvalidInput;
    }
    out = normal.normal();
    return Acad::eOk;
}

bool isRegularTransform(const AcGeMatrix3d& m) {
    const bool affine = m.entry[3][0] == 0.0 && m.entry[3][1] == 0.0 && m.entry[3][2] == 0.0 &&
                        m.entry[3][3] == 1.0;
    for (const auto& row : m.entry) {
        for (double value : row) {
            if (!std::isfinite(value)) {
                return false;
            }
        }
    }
    return affine && !m.isSingular();
}

Acad::ErrorStatus analysePlanar(const AcGeMatrix3d& m, const AcGeVector3d& normal,
                                PlanarTransform& out) {
    if (!isRegularTransform(m) || normal.isZeroLength()) {
        return Acad::eDegenerateGeometry;
    }
    const OcsAxes from = ocsAxes(normal);
    const AcGeVector3d mx = m * from.x;
    const AcGeVector3d my = m * from.y;
    const double det = det3(m);
    PlanarTransform result;
    result.normal = mx.crossProduct(my).normal() * (det < 0.0 ? -1.0 : 1.0);
    result.mirrored = det < 0.0;
    const double lx = mx.length();
    const double ly = my.length();
    result.conformal = std::fabs(lx - ly) <= kConformalTolerance * std::max(lx, ly) &&
                       std::fabs(mx.dotProduct(my)) <= kConformalTolerance * lx * ly;
    result.scale = lx;
    result.rotation = ocsAngle(result.normal, mx);
    result.normalStretch = (m * from.z).dotProduct(result.normal);
    result.ocsToOcs =
        AcGeMatrix3d::worldToPlane(result.normal) * m * AcGeMatrix3d::planeToWorld(from.z);
    out = result;
    return Acad::eOk;
}

bool angleInSweep(double angle, double start, double sweep) {
    const double offset = normalizeAngle(angle - start);
    return offset <= sweep + kAngleTolerance || offset >= kGeTwoPi - kAngleTolerance;
}

double sweepAngle(double start, double end) {
    return normalizeAngle(end - start);
}

AcGePoint3d conicPoint(const AcGePoint3d& center, const AcGeVector3d& u, const AcGeVector3d& v,
                       double t) {
    return center + u * std::cos(t) + v * std::sin(t);
}

void addConicArcExtents(AcDbExtents& extents, const AcGePoint3d& center, const AcGeVector3d& u,
                        const AcGeVector3d& v, double t0, double sweep) {
    extents.addPoint(conicPoint(center, u, v, t0));
    extents.addPoint(conicPoint(center, u, v, t0 + sweep));
    for (unsigned axis = 0; axis < 3; ++axis) {
        if (u[axis] == 0.0 && v[axis] == 0.0) {
            continue;
        }
        // x(t) = c + u cos t + v sin t is extreme where tan t = v / u, and half a turn on.
        const double extreme = std::atan2(v[axis], u[axis]);
        for (double t : {extreme, extreme + kGePi}) {
            if (angleInSweep(t, t0, sweep)) {
                extents.addPoint(conicPoint(center, u, v, t));
            }
        }
    }
}

void addExtrusion(AcDbExtents& extents, const AcGeVector3d& normal, double thickness) {
    if (thickness == 0.0 || extents.isEmpty()) {
        return;
    }
    extents.expandBy(normal.normal() * thickness);
}

Acad::ErrorStatus checkDxfNormal(AcDbDxfFiler* filer, const wchar_t* className,
                                 AcGeVector3d& normal) {
    AcGeVector3d unit;
    if (unitNormal(normal, unit) != Acad::eOk) {
        return filer->setError(Acad::eDxfReadFailed, L"%s: extrusion direction (210) is zero",
                               className);
    }
    normal = unit;
    return Acad::eOk;
}

std::wstring recordName(AcDbObjectId id) {
    AcDbDatabase* db = id.database();
    const auto* record = db != nullptr ? AcDbSymbolTableRecord::cast(db->objectAt(id)) : nullptr;
    return record != nullptr ? record->nameForLookup() : std::wstring();
}

AcDbObjectId findRecord(AcDbDatabase* db, AcDbObjectId tableId, const std::wstring& name) {
    const auto* table = db != nullptr ? AcDbSymbolTable::cast(db->objectAt(tableId)) : nullptr;
    return table != nullptr ? table->findLive(foldName(name), AcDbObjectId::kNull)
                            : AcDbObjectId::kNull;
}

AcDbDatabase* nameDatabase(AcDbDxfFiler* filer, const AcDbObject* object) {
    return filer->database() != nullptr ? filer->database() : object->database();
}

Acad::ErrorStatus resolveRecordName(AcDbDxfFiler* filer, const AcDbObject* object, TableIdOf table,
                                    const std::wstring& name, const wchar_t* what,
                                    AcDbObjectId& id) {
    if (name.empty()) {
        id = AcDbObjectId::kNull;
        return Acad::eOk;
    }
    AcDbDatabase* db = nameDatabase(filer, object);
    if (db == nullptr) {
        return filer->setError(Acad::eNoDatabase, L"%s \"%s\": no database to look it up in", what,
                               name.c_str());
    }
    AcDbObjectId found = findRecord(db, (db->*table)(), name);
    if (found.isNull() && filer->recordResolver() != nullptr) {
        found = filer->recordResolver()->missingRecord((db->*table)(), name);
    }
    if (found.isNull()) {
        return filer->setError(Acad::eKeyNotFound, L"unknown %s \"%s\"", what, name.c_str());
    }
    id = found;
    return Acad::eOk;
}

}  // namespace host
