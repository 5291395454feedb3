// CVLKCDraw: each creating member builds its host entity, appends it to the target space and
// hands it over or closes it; block references get their attributes from the block definition,
// block definitions come from drawing files read into a temporary database.
#include "kestrel/drawing/entity_creation.h"

#include <memory>

#include "common/module_state.h"
#include "kestrel/drawing/symbol_table_ptrs.h"
#include "kestrel/host/app/command_line.h"
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
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/text_style_table.h"
#include "kestrel/host/gi/text_style.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr wchar_t kStandardStyle[] = L"Standard";
constexpr wchar_t kInsertError[] =
    L"\nError inserting\n Block name: %s\n File name: %s\n ErrorStatus: %d";
// Deny others writing while the file is read.
constexpr int kShareDenyWrite = 0x20;

AcDbDatabase* workingDatabase() {
    return acdbHostApplicationServices()->workingDatabase();
}

// A new database (no default drawing) into which the drawing file was read, with the read's
// status; after a failed read it holds what the host left in it.
std::unique_ptr<AcDbDatabase> readDrawing(const wchar_t* file, Acad::ErrorStatus& status) {
    auto database = std::make_unique<AcDbDatabase>(false, false);
    status = database->readDwgFile(file, kShareDenyWrite, false, nullptr);
    return database;
}

}  // namespace

Acad::ErrorStatus CVLKCDraw::appendToModelSpace(AcDbEntity* entity, AcDbObjectId& id) {
    AcDbDatabase* db = workingDatabase();
    if (db == nullptr) {
        return Acad::eNoWorkingDatabase;
    }
    AcDbBlockTable* table = nullptr;
    Acad::ErrorStatus status = db->getSymbolTable(table, AcDb::kForRead);
    if (status != Acad::eOk) {
        return status;
    }
    AcDbBlockTableRecord* space = nullptr;
    status = table->getAt(kestrel::targetSpaceName(), space, AcDb::kForWrite, false);
    if (status == Acad::eOk) {
        status = space->appendAcDbEntity(id, entity);
        space->close();
    }
    table->close();
    return status;
}

template <class T>
AcDbObjectId CVLKCDraw::add(T* entity, CxEntity<T>* out) {
    AcDbObjectId id;
    if (appendToModelSpace(entity, id) != Acad::eOk) {
        delete entity;
        return AcDbObjectId::kNull;
    }
    handOver(entity, out);
    return id;
}

template <class T>
void CVLKCDraw::handOver(T* entity, CxEntity<T>* out) {
    if (out == nullptr) {
        entity->close();
        return;
    }
    out->m_object = entity;
    out->m_status = Acad::eOk;
    out->m_mode = AcDb::kForWrite;
}

AcDbObjectId CVLKCDraw::line(const AcGePoint3d& start, const AcGePoint3d& end, CVLKCLinePtr* out) {
    return add(new AcDbLine(start, end), out);
}

AcDbObjectId CVLKCDraw::arc(const AcGePoint3d& first, const AcGePoint3d& middle,
                            const AcGePoint3d& last, CVLKCArcPtr* out) {
    AcGePoint3d centre(0.0, 0.0, 0.0);
    double radius = 0.0;
    double startAngle = 0.0;
    double endAngle = 0.0;
    CVLKCArcPtr::getCenterRadius(first, middle, last, &radius, &startAngle, &endAngle, &centre);
    auto* entity = new AcDbArc();
    entity->setCenter(centre);
    entity->setEndAngle(endAngle);
    entity->setRadius(radius);
    entity->setStartAngle(startAngle);
    return add(entity, out);
}

AcDbObjectId CVLKCDraw::circle(const AcGePoint3d& centre, double radius, const AcGeVector3d& normal,
                               CVLKCCirclePtr* out) {
    return add(new AcDbCircle(centre, normal, radius), out);
}

AcDbObjectId CVLKCDraw::ellipse(const AcGePoint3d& centre, const AcGeVector3d& unitNormal,
                                const AcGeVector3d& majorAxis, double radiusRatio,
                                double startAngle, double endAngle, CVLKCEllipsePtr* out) {
    return add(new AcDbEllipse(centre, unitNormal, majorAxis, radiusRatio, startAngle, endAngle),
               out);
}

AcDbObjectId CVLKCDraw::face(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                             const AcGePoint3d& p3, bool e0, bool e1, bool e2, bool e3,
                             CVLKCFacePtr* out) {
    return add(new AcDbFace(p0, p1, p2, p3, e0, e1, e2, e3), out);
}

AcDbObjectId CVLKCDraw::face(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                             bool e0, bool e1, bool e2, CVLKCFacePtr* out) {
    return add(new AcDbFace(p0, p1, p2, e0, e1, e2, true), out);
}

AcDbObjectId CVLKCDraw::point(const AcGePoint3d& position, CVLKCPointPtr* out) {
    return add(new AcDbPoint(position), out);
}

AcDbObjectId CVLKCDraw::polyline2d(const AcGePoint3dArray& vertices, double elevation, int closed,
                                   CVLKC2dPolylinePtr* out) {
    auto* entity =
        new AcDb2dPolyline(AcDb::k2dSimplePoly, vertices, 0.0, false, 0.0, 0.0, nullptr, nullptr);
    entity->setElevation(elevation);
    if (closed != 0) {
        entity->makeClosed();
    } else {
        entity->makeOpen();
    }
    return add(entity, out);
}

AcDbObjectId CVLKCDraw::polyline3d(const AcGePoint3dArray& vertices, int closed,
                                   CVLKC3dPolylinePtr* out) {
    return add(new AcDb3dPolyline(AcDb::k3dSimplePoly, vertices, closed != 0), out);
}

AcDbObjectId CVLKCDraw::polylineLW(const AcGePoint3dArray& vertices, double elevation, int closed,
                                   CVLKCPolylineLWPtr* out) {
    auto* entity = new AcDbPolyline();
    for (int i = 0; i < vertices.length(); ++i) {
        entity->addVertexAt(static_cast<unsigned int>(i), AcGePoint2d(vertices[i].x, vertices[i].y),
                            0.0, -1.0, -1.0, 0);
    }
    entity->setElevation(elevation);
    entity->setClosed(closed != 0);
    entity->minimizeMemory();
    return add(entity, out);
}

AcDbObjectId CVLKCDraw::ray(const AcGePoint3d& base, const AcGeVector3d& direction,
                            CVLKCRayPtr* out) {
    auto* entity = new AcDbRay();
    entity->setBasePoint(base);
    entity->setUnitDir(direction);
    return add(entity, out);
}

AcDbObjectId CVLKCDraw::rectangle(const AcGePoint3d& first, const AcGePoint3d& opposite,
                                  CVLKCPolylineLWPtr* out) {
    AcGePoint3dArray corners;
    corners.append(first);
    corners.append(AcGePoint3d(opposite.x, first.y, first.z));
    corners.append(opposite);
    corners.append(AcGePoint3d(first.x, opposite.y, first.z));
    return polylineLW(corners, 0.0, 1, out);
}

AcDbObjectId CVLKCDraw::rotatedDimension(const AcGePoint3d& xLine1Point,
                                         const AcGePoint3d& xLine2Point,
                                         const AcGePoint3d& dimLinePoint, double rotation,
                                         const wchar_t* dimText, const AcDbObjectId& dimStyle,
                                         CVLKCRotatedDimPtr* out) {
    return add(new AcDbRotatedDimension(rotation, xLine1Point, xLine2Point, dimLinePoint, dimText,
                                        dimStyle),
               out);
}

AcDbObjectId CVLKCDraw::angularDimension(const AcGePoint3d& line1Start, const AcGePoint3d& line1End,
                                         const AcGePoint3d& line2Start, const AcGePoint3d& line2End,
                                         const AcGePoint3d& arcPoint, const wchar_t* dimText,
                                         const AcDbObjectId& dimStyle, CVLKCAngularDimPtr* out) {
    return add(new AcDb2LineAngularDimension(line1Start, line1End, line2Start, line2End, arcPoint,
                                             dimText, dimStyle),
               out);
}

AcDbObjectId CVLKCDraw::angularDimension3P(const AcGePoint3d& centre,
                                           const AcGePoint3d& xLine1Point,
                                           const AcGePoint3d& xLine2Point,
                                           const AcGePoint3d& arcPoint, const wchar_t* dimText,
                                           const AcDbObjectId& dimStyle,
                                           CVLKCAngularDim3PPtr* out) {
    return add(new AcDb3PointAngularDimension(centre, xLine1Point, xLine2Point, arcPoint, dimText,
                                              dimStyle),
               out);
}

AcDbObjectId CVLKCDraw::text(const AcGePoint3d& position, const wchar_t* text, double height,
                             double rotation, AcDb::TextVertMode vertMode,
                             AcDb::TextHorzMode horzMode, const AcDbObjectId& style,
                             CVLKCTextPtr* out) {
    CVLKCTextStyleTablePtr styles;
    AcDbObjectId styleId = style;
    if (styles != nullptr && !styles->has(styleId)) {
        styles->getAt(kStandardStyle, styleId, false);
    }
    auto* entity = new AcDbText(position, text, styleId, height, rotation * kRadiansPerDegree);
    AcDbObjectId id;
    if (appendToModelSpace(entity, id) != Acad::eOk) {
        delete entity;
        return AcDbObjectId::kNull;
    }
    entity->setHorizontalMode(horzMode);
    entity->setVerticalMode(vertMode);
    entity->setAlignmentPoint(position);
    AcGiTextStyle textStyle(nullptr);
    if (fromAcDbTextStyle(textStyle, styleId) == Acad::eOk) {
        textStyle.loadStyleRec(nullptr);
        entity->setWidthFactor(textStyle.xScale());
        entity->setOblique(textStyle.obliquingAngle());
    }
    handOver(entity, out);
    return id;
}

AcDbObjectId CVLKCDraw::solid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                              const AcGePoint3d& p3, CVLKCSolidPtr* out) {
    return add(new AcDbSolid(p0, p1, p2, p3), out);
}

AcDbObjectId CVLKCDraw::solid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                              CVLKCSolidPtr* out) {
    return add(new AcDbSolid(p0, p1, p2), out);
}

AcDbObjectId CVLKCDraw::insertBlockReference(const AcDbObjectId& blockId,
                                             const AcGePoint3d& position, CStringArray* values,
                                             double scale, CVLKCBlockReferencePtr* out) {
    auto* reference = new AcDbBlockReference(position, blockId);
    reference->setRotation(0.0);
    reference->setNormal(AcGeVector3d(0.0, 0.0, 1.0));
    reference->setScaleFactors(AcGeScale3d(scale));
    AcDbObjectId id;
    if (appendToModelSpace(reference, id) != Acad::eOk) {
        delete reference;
        return AcDbObjectId::kNull;
    }
    addAttributes(*reference, blockId, values);
    handOver(reference, out);
    return id;
}

void CVLKCDraw::addAttributes(AcDbBlockReference& reference, const AcDbObjectId& blockId,
                              const CStringArray* values) {
    AcDbBlockTableRecord* block = nullptr;
    if (acdbOpenObject(block, blockId, AcDb::kForRead, false) != Acad::eOk) {
        return;
    }
    AcDbBlockTableRecordIterator* raw = nullptr;
    block->newIterator(raw, true, true);
    const std::unique_ptr<AcDbBlockTableRecordIterator> entities(raw);
    int next = 0;
    for (entities->start(true, true); !entities->done(); entities->step(true, true)) {
        AcDbEntity* entity = nullptr;
        if (entities->getEntity(entity, AcDb::kForRead, false) != Acad::eOk) {
            continue;
        }
        // Exactly the definition class: classes derived from it are not attribute definitions.
        if (entity->isA() == AcDbAttributeDefinition::desc()) {
            auto* attribute = new AcDbAttribute();
            attribute->setAttributeFromBlock(static_cast<AcDbAttributeDefinition*>(entity),
                                             reference.blockTransform());
            attribute->setTextString(L"");
            if (values != nullptr && next < values->GetSize()) {
                attribute->setTextString(values->GetAt(next++));
            }
            AcDbObjectId attributeId;
            if (reference.appendAttribute(attributeId, attribute) == Acad::eOk) {
                attribute->close();
            } else {
                delete attribute;
            }
        }
        entity->close();
    }
    block->close();
}

AcDbObjectId CVLKCDraw::existingBlock(const wchar_t* name) {
    AcDbObjectId id;
    AcDbDatabase* db = workingDatabase();
    AcDbBlockTable* table = nullptr;
    if (db != nullptr && db->getSymbolTable(table, AcDb::kForRead) == Acad::eOk) {
        if (table->has(name)) {
            table->getAt(name, id, false);
        }
        table->close();
    }
    return id;
}

AcDbObjectId CVLKCDraw::insertBlockDefinition(const wchar_t* name, const wchar_t* file) {
    if (name == nullptr || file == nullptr || workingDatabase() == nullptr) {
        return AcDbObjectId::kNull;
    }
    AcDbObjectId id = existingBlock(name);
    if (!id.isNull()) {
        return id;
    }
    Acad::ErrorStatus status = Acad::eOk;
    const std::unique_ptr<AcDbDatabase> source = readDrawing(file, status);
    if (status == Acad::eOk) {
        status = workingDatabase()->insert(id, name, source.get(), false);
    }
    if (status != Acad::eOk) {
        acutPrintf(kInsertError, name, file, static_cast<int>(status));
        id = AcDbObjectId::kNull;
    }
    return id;
}

AcDbObjectId CVLKCDraw::insertBlockDefinition(const wchar_t* destination, const wchar_t* source,
                                              const wchar_t* file) {
    if (destination == nullptr || source == nullptr || file == nullptr ||
        workingDatabase() == nullptr) {
        return AcDbObjectId::kNull;
    }
    AcDbObjectId id = existingBlock(destination);
    if (!id.isNull()) {
        return id;
    }
    // The read's status is not looked at: a drawing that failed to read is asked for the block
    // all the same, and the insert's refusal shows as the null id.
    Acad::ErrorStatus status = Acad::eOk;
    const std::unique_ptr<AcDbDatabase> drawing = readDrawing(file, status);
    if (workingDatabase()->insert(id, source, destination, drawing.get(), true) != Acad::eOk) {
        id = AcDbObjectId::kNull;
    }
    return id;
}
