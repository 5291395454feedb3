// CVLKCDraw: creates entities in the target space (model space unless a CVLKCSwitchToPaperSpace
// names another block) of the working database, and brings block definitions in from drawing
// files. Each creating member either closes the new entity or hands it, open for write, to the
// caller's typed pointer; the pointer then closes it.
#pragma once

#include "kestrel/drawing/angular_dim_3p_ptr.h"
#include "kestrel/drawing/angular_dim_ptr.h"
#include "kestrel/drawing/arc_ptr.h"
#include "kestrel/drawing/block_reference_ptr.h"
#include "kestrel/drawing/circle_ptr.h"
#include "kestrel/drawing/ellipse_ptr.h"
#include "kestrel/drawing/face_ptr.h"
#include "kestrel/drawing/line_ptr.h"
#include "kestrel/drawing/point_ptr.h"
#include "kestrel/drawing/polyline_2d_ptr.h"
#include "kestrel/drawing/polyline_3d_ptr.h"
#include "kestrel/drawing/polyline_lw_ptr.h"
#include "kestrel/drawing/ray_ptr.h"
#include "kestrel/drawing/rotated_dim_ptr.h"
#include "kestrel/drawing/solid_ptr.h"
#include "kestrel/drawing/text_ptr.h"
#include "kestrel/export.h"
#include "kestrel/host/db/entity_enums.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/vector3d.h"
#include "kestrel/platform/cstring_array.h"

class AcDbEntity;

// A creating member answers the new entity's id, or the null id when it was not added: the
// entity is then deleted and the out pointer untouched. With an out pointer the entity is handed
// over open for write (object, eOk, kForWrite); whatever the pointer held is overwritten without
// being closed, so callers pass an empty one. Without one the entity is closed before the member
// returns. New entities take the working database's defaults (current layer, ...). Values are
// passed to the host as given; what it does with unusual ones (a zero radius, a ray direction of
// other than unit length, a zero scale) is the host's, and setter failures after construction
// are not reported.
//
// Decisions where the interface leaves the behaviour open:
// - Without a working database nothing is created: appendToModelSpace answers
//   eNoWorkingDatabase and the creating members the null id.
// - text keeps the style id it was given when the text-style table cannot be opened.
// - insertBlockDefinition with a null name, source or file name answers the null id; it reads
//   nothing and prints nothing.
class KESTREL_API CVLKCDraw {
public:
    CVLKCDraw() {}
    // Does nothing: the class has no data.
    CVLKCDraw& operator=(const CVLKCDraw&) {
        return *this;
    }

    // Appends entity to the target space; the host's status. The entity is neither closed nor
    // deleted: on eOk the database owns it and it stays open for write.
    static Acad::ErrorStatus appendToModelSpace(AcDbEntity * entity, AcDbObjectId & id);

    static AcDbObjectId line(const AcGePoint3d& start, const AcGePoint3d& end,
                             CVLKCLinePtr* out = nullptr);
    // The arc from first through middle to last (CVLKCArcPtr::getCenterRadius); collinear points
    // still give an arc, of radius 0 about the origin.
    static AcDbObjectId arc(const AcGePoint3d& first, const AcGePoint3d& middle,
                            const AcGePoint3d& last, CVLKCArcPtr* out = nullptr);
    static AcDbObjectId circle(const AcGePoint3d& centre, double radius, const AcGeVector3d& normal,
                               CVLKCCirclePtr* out = nullptr);
    static AcDbObjectId ellipse(const AcGePoint3d& centre, const AcGeVector3d& unitNormal,
                                const AcGeVector3d& majorAxis, double radiusRatio,
                                double startAngle, double endAngle, CVLKCEllipsePtr* out = nullptr);
    static AcDbObjectId face(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                             const AcGePoint3d& p3, bool e0, bool e1, bool e2, bool e3,
                             CVLKCFacePtr* out = nullptr);
    // A face whose fourth corner is the third; the fourth edge is visible.
    static AcDbObjectId face(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                             bool e0, bool e1, bool e2, CVLKCFacePtr* out = nullptr);
    static AcDbObjectId point(const AcGePoint3d& position, CVLKCPointPtr* out = nullptr);
    // A simple 2D polyline, closed when closed is not 0.
    static AcDbObjectId polyline2d(const AcGePoint3dArray& vertices, double elevation, int closed,
                                   CVLKC2dPolylinePtr* out = nullptr);
    static AcDbObjectId polyline3d(const AcGePoint3dArray& vertices, int closed,
                                   CVLKC3dPolylinePtr* out = nullptr);
    // A lightweight polyline through the x and y of the vertices (z is not used), without
    // bulges; an empty list gives a polyline without vertices.
    static AcDbObjectId polylineLW(const AcGePoint3dArray& vertices, double elevation, int closed,
                                   CVLKCPolylineLWPtr* out = nullptr);
    static AcDbObjectId ray(const AcGePoint3d& base, const AcGeVector3d& direction,
                            CVLKCRayPtr* out = nullptr);
    // A closed lightweight polyline at elevation 0 with the corners first, (opposite.x,
    // first.y), opposite, (first.x, opposite.y).
    static AcDbObjectId rectangle(const AcGePoint3d& first, const AcGePoint3d& opposite,
                                  CVLKCPolylineLWPtr* out = nullptr);
    static AcDbObjectId rotatedDimension(
        const AcGePoint3d& xLine1Point, const AcGePoint3d& xLine2Point,
        const AcGePoint3d& dimLinePoint, double rotation, const wchar_t* dimText,
        const AcDbObjectId& dimStyle, CVLKCRotatedDimPtr* out = nullptr);
    static AcDbObjectId angularDimension(
        const AcGePoint3d& line1Start, const AcGePoint3d& line1End, const AcGePoint3d& line2Start,
        const AcGePoint3d& line2End, const AcGePoint3d& arcPoint, const wchar_t* dimText,
        const AcDbObjectId& dimStyle, CVLKCAngularDimPtr* out = nullptr);
    static AcDbObjectId angularDimension3P(
        const AcGePoint3d& centre, const AcGePoint3d& xLine1Point, const AcGePoint3d& xLine2Point,
        const AcGePoint3d& arcPoint, const wchar_t* dimText, const AcDbObjectId& dimStyle,
        CVLKCAngularDim3PPtr* out = nullptr);
    // A single-line text; rotation in degrees; a style the text-style table lacks is replaced
    // by "Standard". Width factor and obliquing angle come from the style.
    static AcDbObjectId text(const AcGePoint3d& position, const wchar_t* text, double height,
                             double rotation, AcDb::TextVertMode vertMode,
                             AcDb::TextHorzMode horzMode, const AcDbObjectId& style,
                             CVLKCTextPtr* out = nullptr);
    static AcDbObjectId solid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                              const AcGePoint3d& p3, CVLKCSolidPtr* out = nullptr);
    static AcDbObjectId solid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                              CVLKCSolidPtr* out = nullptr);
    // A reference to the block definition at position, scaled by scale on all axes, with one
    // attribute per attribute definition of the block in definition order: texts from values
    // (may be null) in turn, empty once they run out. A definition that does not open gives a
    // reference without attributes.
    static AcDbObjectId insertBlockReference(const AcDbObjectId& blockId,
                                             const AcGePoint3d& position, CStringArray* values,
                                             double scale, CVLKCBlockReferencePtr* out = nullptr);
    // The block called name: the existing one, or the whole drawing file (taken as given, not
    // searched for) brought in under that name. On failure prints the module's one message
    // (name, file, status) and answers the null id.
    static AcDbObjectId insertBlockDefinition(const wchar_t* name, const wchar_t* file);
    // The block called destination: the existing one, or the block source of the drawing file
    // brought in under that name. The file's read status is not looked at: the block is asked
    // for in whatever the read left (nothing, after a failed read). Prints nothing; the null id
    // on failure.
    static AcDbObjectId insertBlockDefinition(const wchar_t* destination, const wchar_t* source,
                                              const wchar_t* file);

private:
    // Appends entity and hands it to out or closes it; deletes it when the append fails.
    template <class T>
    static AcDbObjectId add(T * entity, CxEntity<T> * out);
    // Hands the appended entity to out (open for write), or closes it.
    template <class T>
    static void handOver(T * entity, CxEntity<T> * out);
    // The block called name in the working database (null id when none).
    static AcDbObjectId existingBlock(const wchar_t* name);
    // Gives the appended reference one attribute per attribute definition of its block.
    static void addAttributes(AcDbBlockReference & reference, const AcDbObjectId& blockId,
                              const CStringArray* values);
};
