// AcDbHatch: loops as closed outlines, their geometry, and filing (DXF boundary paths in
// polyline form; line and arc edge paths are read into that form).
#include "kestrel/host/db/entities/hatch.h"

#include <cmath>

#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/ge/angles.h"

ACRX_DXF_DEFINE_MEMBERS(AcDbHatch, AcDbEntity, 0, 0, 0, HATCH, DrawHost);

namespace {

constexpr const wchar_t* kSubclass = L"AcDbHatch";
constexpr Adesk::Int32 kPolylineLoop = 2;
constexpr int kLineEdge = 1;
constexpr int kArcEdge = 2;

// The first group of the fill's own part, which comes after the pattern scale (41): double
// (77), pattern lines (78), pixel size (47), seeds (98) or the gradient (450-470).
bool isFillCode(int code) {
    return code == 77 || code == 78 || code == 47 || code == 98 || (code >= 450 && code <= 470);
}

bool isSolidName(const std::wstring& name) {
    return name == L"SOLID" || name == L"solid" || name == L"Solid";
}

// Reads the hatch's DXF groups in order, one boundary path at a time.
class HatchGroups {
public:
    HatchGroups(AcDbDxfFiler* filer, std::vector<host::DxfItem> items)
        : m_filer(filer), m_items(std::move(items)) {}

    bool done() const { return m_next >= m_items.size(); }
    const host::DxfItem& take() { return m_items[m_next++]; }
    // The next group when it has code; otherwise the filer's error naming what was expected.
    Acad::ErrorStatus expect(int code, const host::DxfItem*& item) {
        if (done() || m_items[m_next].code != code) {
            return m_filer->setError(Acad::eDxfReadFailed,
                                     L"AcDbHatch: boundary path lacks group %d", code);
        }
        item = &m_items[m_next++];
        return Acad::eOk;
    }
    // The next group's value when it has code, else fallback (nothing read).
    double optionalReal(int code, double fallback) {
        return !done() && m_items[m_next].code == code ? m_items[m_next++].real() : fallback;
    }

    Acad::ErrorStatus readLoop(AcDbHatch::Loop& loop);

private:
    Acad::ErrorStatus readPolylinePath(host::PolylineShape& shape);
    Acad::ErrorStatus readEdgePath(host::PolylineShape& shape);
    Acad::ErrorStatus skipSources();

    AcDbDxfFiler* m_filer;
    std::vector<host::DxfItem> m_items;
    std::size_t m_next = 0;
};

Acad::ErrorStatus HatchGroups::readLoop(AcDbHatch::Loop& loop) {
    const host::DxfItem* item = nullptr;
    Acad::ErrorStatus status = expect(92, item);
    if (status != Acad::eOk) {
        return status;
    }
    loop.type = static_cast<Adesk::Int32>(item->integer());
    loop.shape.closed = true;
    status =
        (loop.type & kPolylineLoop) != 0 ? readPolylinePath(loop.shape) : readEdgePath(loop.shape);
    return status == Acad::eOk ? skipSources() : status;
}

Acad::ErrorStatus HatchGroups::readPolylinePath(host::PolylineShape& shape) {
    const host::DxfItem* item = nullptr;
    Acad::ErrorStatus status = expect(72, item);
    const bool bulged = status == Acad::eOk && item->integer() != 0;
    if (status == Acad::eOk) {
        status = expect(73, item);
    }
    if (status == Acad::eOk) {
        status = expect(93, item);
    }
    const std::int64_t count = status == Acad::eOk ? item->integer() : 0;
    for (std::int64_t i = 0; status == Acad::eOk && i < count; ++i) {
        status = expect(10, item);
        if (status == Acad::eOk) {
            const AcGePoint3d p = item->point();
            shape.vertices.push_back(
                host::PolyVertex{AcGePoint2d(p.x, p.y), bulged ? optionalReal(42, 0.0) : 0.0});
        }
    }
    return status;
}

Acad::ErrorStatus HatchGroups::readEdgePath(host::PolylineShape& shape) {
    const host::DxfItem* item = nullptr;
    Acad::ErrorStatus status = expect(93, item);
    const std::int64_t count = status == Acad::eOk ? item->integer() : 0;
    for (std::int64_t i = 0; status == Acad::eOk && i < count; ++i) {
        status = expect(72, item);
        const int kind = status == Acad::eOk ? static_cast<int>(item->integer()) : 0;
        if (status == Acad::eOk && kind != kLineEdge && kind != kArcEdge) {
            return m_filer->setError(Acad::eDxfReadFailed,
                                     L"AcDbHatch: boundary edge of type %d is not supported", kind);
        }
        const host::DxfItem* first = nullptr;
        if (status == Acad::eOk) {
            status = expect(10, first);
        }
        if (status != Acad::eOk) {
            break;
        }
        if (kind == kLineEdge) {
            status = expect(11, item);
            const AcGePoint3d start = first->point();
            shape.vertices.push_back(host::PolyVertex{AcGePoint2d(start.x, start.y)});
            continue;
        }
        // An arc edge: its start point and the bulge of its sweep.
        const AcGePoint3d center = first->point();
        const host::DxfItem* radius = nullptr;
        const host::DxfItem* from = nullptr;
        const host::DxfItem* to = nullptr;
        const host::DxfItem* ccw = nullptr;
        status = expect(40, radius);
        if (status == Acad::eOk) {
            status = expect(50, from);
        }
        if (status == Acad::eOk) {
            status = expect(51, to);
        }
        if (status == Acad::eOk) {
            status = expect(73, ccw);
        }
        if (status == Acad::eOk) {
            const bool counterClockwise = ccw->integer() != 0;
            // Clockwise edges give their angles as seen with the turning sense reversed.
            const double fromAngle = m_filer->angleOf(*from);
            const double start = counterClockwise ? fromAngle : -fromAngle;
            const double sweep = host::sweepAngle(fromAngle, m_filer->angleOf(*to));
            const AcGePoint2d at(center.x + radius->real() * std::cos(start),
                                 center.y + radius->real() * std::sin(start));
            const double bulge = std::tan(sweep / 4.0);
            shape.vertices.push_back(host::PolyVertex{at, counterClockwise ? bulge : -bulge});
        }
    }
    return status;
}

Acad::ErrorStatus HatchGroups::skipSources() {
    const host::DxfItem* item = nullptr;
    if (done() || m_items[m_next].code != 97) {
        return Acad::eOk;
    }
    expect(97, item);
    for (std::int64_t i = 0; i < item->integer() && !done() && m_items[m_next].code == 330; ++i) {
        ++m_next;
    }
    return Acad::eOk;
}

}  // namespace

double AcDbHatch::elevation() const {
    return host::readField(this, m_elevation);
}

Acad::ErrorStatus AcDbHatch::setElevation(double elevation) {
    return std::isfinite(elevation) ? host::writeField(this, m_elevation, elevation)
                                    : Acad::eInvalidInput;
}

AcGeVector3d AcDbHatch::normal() const {
    return host::readField(this, m_normal);
}

Acad::ErrorStatus AcDbHatch::setNormal(const AcGeVector3d& normal) {
    AcGeVector3d unit;
    const Acad::ErrorStatus status = host::unitNormal(normal, unit);
    return status == Acad::eOk ? host::writeField(this, m_normal, unit) : status;
}

AcDbHatch::HatchPatternType AcDbHatch::patternType() const {
    return static_cast<HatchPatternType>(host::readField(this, m_patternType));
}

const ACHAR* AcDbHatch::patternName() const {
    return host::readField(this, m_patternName).c_str();
}

Acad::ErrorStatus AcDbHatch::setPattern(HatchPatternType type, const ACHAR* name) {
    if (name == nullptr) {
        return Acad::eNullPtr;
    }
    if (name[0] == L'\0' || type < kUserDefined || type > kCustomDefined) {
        return Acad::eInvalidInput;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_patternType = static_cast<Adesk::Int16>(type);
        m_patternName = name;
        m_fillGroups.clear();
    }
    return status;
}

bool AcDbHatch::isSolidFill() const {
    return isSolidName(host::readField(this, m_patternName));
}

double AcDbHatch::patternAngle() const {
    return host::readField(this, m_patternAngle);
}

Acad::ErrorStatus AcDbHatch::setPatternAngle(double angle) {
    const Acad::ErrorStatus status =
        std::isfinite(angle) ? host::writeField(this, m_patternAngle, normalizeAngle(angle))
                             : Acad::eInvalidInput;
    if (status == Acad::eOk) {
        m_fillGroups.clear();
    }
    return status;
}

double AcDbHatch::patternScale() const {
    return host::readField(this, m_patternScale);
}

Acad::ErrorStatus AcDbHatch::setPatternScale(double scale) {
    const Acad::ErrorStatus status = std::isfinite(scale) && scale > 0.0
                                         ? host::writeField(this, m_patternScale, scale)
                                         : Acad::eInvalidInput;
    if (status == Acad::eOk) {
        m_fillGroups.clear();
    }
    return status;
}

bool AcDbHatch::associative() const {
    return host::readField(this, m_associative);
}

Acad::ErrorStatus AcDbHatch::setAssociative(bool associative) {
    return host::writeField(this, m_associative, associative);
}

std::vector<AcDbHatch::PatternLine> AcDbHatch::patternLines() const {
    assertReadEnabled();
    std::vector<PatternLine> lines;
    for (const host::DxfItem& item : m_fillGroups) {
        if (item.code == 53) {
            lines.emplace_back().angle = host::fileDegreesToRadians(item.real());
        } else if (lines.empty()) {
            continue;
        } else if (item.code == 43) {
            lines.back().base.x = item.real();
        } else if (item.code == 44) {
            lines.back().base.y = item.real();
        } else if (item.code == 45) {
            lines.back().offset.x = item.real();
        } else if (item.code == 46) {
            lines.back().offset.y = item.real();
        } else if (item.code == 49) {
            lines.back().dashes.push_back(item.real());
        } else if (item.code == 47 || item.code == 98) {
            break;  // the pixel size and the seeds follow the pattern lines
        }
    }
    return lines;
}

int AcDbHatch::numPatternDefinitions() const {
    return static_cast<int>(patternLines().size());
}

Acad::ErrorStatus AcDbHatch::getPatternDefinitionAt(int index, double& angle, double& baseX,
                                                    double& baseY, double& offsetX,
                                                    double& offsetY,
                                                    AcGeDoubleArray& dashes) const {
    const std::vector<PatternLine> lines = patternLines();
    if (index < 0 || index >= static_cast<int>(lines.size())) {
        return Acad::eInvalidIndex;
    }
    const PatternLine& line = lines[static_cast<std::size_t>(index)];
    angle = line.angle;
    baseX = line.base.x;
    baseY = line.base.y;
    offsetX = line.offset.x;
    offsetY = line.offset.y;
    dashes.setLogicalLength(0);
    for (const double dash : line.dashes) {
        dashes.append(dash);
    }
    return Acad::eOk;
}

int AcDbHatch::numLoops() const {
    return static_cast<int>(host::readField(this, m_loops).size());
}

Acad::ErrorStatus AcDbHatch::appendLoop(Adesk::Int32 loopType, const AcGePoint2dArray& vertices,
                                        const AcGeDoubleArray& bulges) {
    if (vertices.length() < 2) {
        return Acad::eInvalidInput;
    }
    Loop loop;
    loop.type = loopType | kPolylineLoop;
    loop.shape.closed = true;
    for (int i = 0; i < vertices.length(); ++i) {
        const double bulge = i < bulges.length() ? bulges[i] : 0.0;
        if (!std::isfinite(vertices[i].x) || !std::isfinite(vertices[i].y) ||
            !std::isfinite(bulge)) {
            return Acad::eInvalidInput;
        }
        loop.shape.vertices.push_back(host::PolyVertex{vertices[i], bulge});
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_loops.push_back(std::move(loop));
    }
    return status;
}

Acad::ErrorStatus AcDbHatch::getLoopAt(int index, Adesk::Int32& loopType,
                                       AcGePoint2dArray& vertices, AcGeDoubleArray& bulges) const {
    assertReadEnabled();
    if (index < 0 || index >= static_cast<int>(m_loops.size())) {
        return Acad::eInvalidIndex;
    }
    const Loop& loop = m_loops[static_cast<std::size_t>(index)];
    loopType = loop.type;
    vertices.setLogicalLength(0);
    bulges.setLogicalLength(0);
    for (const host::PolyVertex& v : loop.shape.vertices) {
        vertices.append(v.point);
        bulges.append(v.bulge);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::removeLoopAt(int index) {
    if (index < 0 || index >= static_cast<int>(m_loops.size())) {
        return Acad::eInvalidIndex;
    }
    const Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        m_loops.erase(m_loops.begin() + index);
    }
    return status;
}

Acad::ErrorStatus AcDbHatch::evaluateHatch(bool) {
    return requireWrite();
}

host::PolylineShape AcDbHatch::placed(const Loop& loop) const {
    host::PolylineShape shape = loop.shape;
    shape.normal = m_normal;
    shape.elevation = m_elevation;
    shape.closed = true;
    return shape;
}

Acad::ErrorStatus AcDbHatch::getGeomExtents(AcDbExtents& extents) const {
    assertReadEnabled();
    AcDbExtents box;
    for (const Loop& loop : m_loops) {
        placed(loop).addExtents(box);
    }
    if (box.isEmpty()) {
        return Acad::eInvalidExtents;
    }
    extents = box;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::transformBy(const AcGeMatrix3d& xform) {
    host::PlanarTransform planar;
    Acad::ErrorStatus status = requireWrite();
    if (status == Acad::eOk) {
        status = host::analysePlanar(xform, m_normal, planar);
    }
    std::vector<host::PolylineShape> shapes;
    for (const Loop& loop : m_loops) {
        shapes.push_back(placed(loop));
        if (status == Acad::eOk) {
            status = shapes.back().checkTransform(planar);
        }
    }
    if (status != Acad::eOk) {
        return status;
    }
    for (std::size_t i = 0; i < m_loops.size(); ++i) {
        shapes[i].transform(planar);
        m_loops[i].shape = shapes[i];
    }
    m_elevation = (planar.ocsToOcs * AcGePoint3d(0.0, 0.0, m_elevation)).z;
    m_normal = planar.normal;
    m_patternAngle = normalizeAngle(planar.mapAngle(m_patternAngle));
    if (planar.conformal) {
        m_patternScale *= planar.scale;
    }
    m_fillGroups.clear();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::getStretchPoints(AcGePoint3dArray& points) const {
    assertReadEnabled();
    for (const Loop& loop : m_loops) {
        const host::PolylineShape shape = placed(loop);
        for (std::size_t i = 0; i < shape.vertices.size(); ++i) {
            points.append(shape.worldPoint(i));
        }
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbHatch::moveStretchPointsAt(const AcDbIntArray& indices,
                                                 const AcGeVector3d& offset) {
    std::vector<host::PolyVertex*> vertices;
    for (Loop& loop : m_loops) {
        for (host::PolyVertex& v : loop.shape.vertices) {
            vertices.push_back(&v);
        }
    }
    const host::OcsAxes axes = host::ocsAxes(m_normal);
    const AcGeVector2d inPlane(offset.dotProduct(axes.x), offset.dotProduct(axes.y));
    return host::moveStretchPoints(this, indices, static_cast<int>(vertices.size()), [&](int i) {
        vertices[static_cast<std::size_t>(i)]->point += inPlane;
    });
}

Acad::ErrorStatus AcDbHatch::dwgOutFields(AcDbDwgFiler* filer) const {
    Acad::ErrorStatus status = AcDbEntity::dwgOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeDouble(m_elevation);
    filer->writeVector3d(m_normal);
    filer->writeString(m_patternName);
    filer->writeInt16(m_patternType);
    filer->writeDouble(m_patternAngle);
    filer->writeDouble(m_patternScale);
    filer->writeBool(m_associative);
    filer->writeInt16(m_style);
    host::dwgOutGroups(filer, m_fillGroups);
    filer->writeInt32(static_cast<Adesk::Int32>(m_loops.size()));
    for (const Loop& loop : m_loops) {
        filer->writeInt32(loop.type);
        filer->writeInt32(static_cast<Adesk::Int32>(loop.shape.vertices.size()));
        for (const host::PolyVertex& v : loop.shape.vertices) {
            filer->writePoint2d(v.point);
            filer->writeDouble(v.bulge);
        }
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbHatch::dwgInFields(AcDbDwgFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dwgInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    double elevation = 0.0;
    AcGeVector3d normal;
    std::wstring name;
    Adesk::Int16 type = 0;
    double angle = 0.0;
    double scale = 1.0;
    bool associative = false;
    Adesk::Int16 style = 0;
    host::DxfItemList fillGroups;
    Adesk::Int32 loopCount = 0;
    filer->readDouble(&elevation);
    filer->readVector3d(&normal);
    filer->readString(name);
    filer->readInt16(&type);
    filer->readDouble(&angle);
    filer->readDouble(&scale);
    filer->readBool(&associative);
    filer->readInt16(&style);
    host::dwgInGroups(filer, fillGroups);
    status = filer->readInt32(&loopCount);
    std::vector<Loop> loops;
    for (Adesk::Int32 i = 0; status == Acad::eOk && i < loopCount; ++i) {
        Loop loop;
        Adesk::Int32 count = 0;
        filer->readInt32(&loop.type);
        status = filer->readInt32(&count);
        loop.shape.closed = true;
        for (Adesk::Int32 k = 0; status == Acad::eOk && k < count; ++k) {
            host::PolyVertex v;
            filer->readPoint2d(&v.point);
            status = filer->readDouble(&v.bulge);
            loop.shape.vertices.push_back(v);
        }
        loops.push_back(std::move(loop));
    }
    if (status == Acad::eOk) {
        m_elevation = elevation;
        m_normal = normal;
        m_patternName = std::move(name);
        m_patternType = type;
        m_patternAngle = angle;
        m_patternScale = scale;
        m_associative = associative;
        m_style = style;
        m_fillGroups = std::move(fillGroups);
        m_loops = std::move(loops);
    }
    return status;
}

Acad::ErrorStatus AcDbHatch::dxfOutFields(AcDbDxfFiler* filer) const {
    Acad::ErrorStatus status = AcDbEntity::dxfOutFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    filer->writeString(100, kSubclass);
    filer->writePoint3d(10, AcGePoint3d(0.0, 0.0, m_elevation));
    filer->writeVector3d(210, m_normal);
    filer->writeString(2, m_patternName);
    filer->writeInt16(70, isSolidName(m_patternName) ? 1 : 0);
    filer->writeInt16(71, m_associative ? 1 : 0);
    filer->writeInt32(91, static_cast<Adesk::Int32>(m_loops.size()));
    for (const Loop& loop : m_loops) {
        filer->writeInt32(92, loop.type | kPolylineLoop);
        filer->writeInt16(72, loop.shape.hasBulges() ? 1 : 0);
        filer->writeInt16(73, 1);
        filer->writeInt32(93, static_cast<Adesk::Int32>(loop.shape.vertices.size()));
        for (const host::PolyVertex& v : loop.shape.vertices) {
            filer->writePoint2d(10, v.point);
            if (loop.shape.hasBulges()) {
                filer->writeDouble(42, v.bulge);
            }
        }
        filer->writeInt32(97, 0);
    }
    filer->writeInt16(75, m_style);
    filer->writeInt16(76, m_patternType);
    filer->writeAngle(52, m_patternAngle);
    filer->writeDouble(41, m_patternScale);
    if (m_fillGroups.empty()) {
        filer->writeInt16(77, 0);
        filer->writeInt16(78, 0);
        return filer->writeInt32(98, 0);
    }
    for (const host::DxfItem& item : m_fillGroups) {
        filer->writeItem(item);
    }
    return filer->filerStatus();
}

Acad::ErrorStatus AcDbHatch::dxfInFields(AcDbDxfFiler* filer) {
    Acad::ErrorStatus status = AcDbEntity::dxfInFields(filer);
    if (status != Acad::eOk) {
        return status;
    }
    if (!filer->atSubclassData(kSubclass)) {
        return filer->setError(Acad::eBadDxfSequence, L"expected subclass marker %s", kSubclass);
    }
    std::vector<host::DxfItem> items;
    status = host::readSubclassGroups(filer, [&](const host::DxfItem& item) {
        items.push_back(item);
        return true;
    });
    if (status != Acad::eOk) {
        return status;
    }
    HatchGroups groups(filer, std::move(items));
    AcDbHatch read;
    read.m_patternName.clear();
    bool elevationRead = false;
    while (status == Acad::eOk && !groups.done()) {
        const host::DxfItem& item = groups.take();
        if (!read.m_fillGroups.empty() || isFillCode(item.code)) {
            read.m_fillGroups.push_back(item);
            continue;
        }
        switch (item.code) {
            case 10:
                if (!elevationRead) {
                    read.m_elevation = item.point().z;
                    elevationRead = true;
                }
                break;
            case 210:
                read.m_normal = item.point().asVector();
                break;
            case 2:
                read.m_patternName = item.text();
                break;
            case 71:
                read.m_associative = item.integer() != 0;
                break;
            case 75:
                read.m_style = static_cast<Adesk::Int16>(item.integer());
                break;
            case 76:
                read.m_patternType = static_cast<Adesk::Int16>(item.integer());
                break;
            case 52:
                read.m_patternAngle = filer->angleOf(item);
                break;
            case 41:
                read.m_patternScale = item.real();
                break;
            case 91:
                for (std::int64_t i = 0; status == Acad::eOk && i < item.integer(); ++i) {
                    Loop loop;
                    status = groups.readLoop(loop);
                    read.m_loops.push_back(std::move(loop));
                }
                break;
            default:
                break;
        }
    }
    if (status == Acad::eOk) {
        status = host::checkDxfNormal(filer, kSubclass, read.m_normal);
    }
    if (status == Acad::eOk) {
        m_elevation = read.m_elevation;
        m_normal = read.m_normal;
        m_patternName = read.m_patternName.empty() ? L"SOLID" : read.m_patternName;
        m_patternType = read.m_patternType;
        m_patternAngle = read.m_patternAngle;
        m_patternScale = read.m_patternScale;
        m_associative = read.m_associative;
        m_style = read.m_style;
        m_fillGroups = std::move(read.m_fillGroups);
        m_loops = std::move(read.m_loops);
    }
    return status;
}
