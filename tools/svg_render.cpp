// The model space renderer: each entity kind becomes SVG elements on an SvgCanvas; block
// references are drawn by walking their block with the reference's transform applied to every
// point, so the picture needs no SVG transforms except for turned texts.
#include "tools/svg_render.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>

#include "kestrel/host/db/block_table.h"
#include "kestrel/host/db/database.h"
#include "kestrel/host/db/entities/arc.h"
#include "kestrel/host/db/entities/attribute.h"
#include "kestrel/host/db/entities/attribute_definition.h"
#include "kestrel/host/db/entities/block_reference.h"
#include "kestrel/host/db/entities/circle.h"
#include "kestrel/host/db/entities/dimension.h"
#include "kestrel/host/db/entities/dimension_graphics.h"
#include "kestrel/host/db/entities/ellipse.h"
#include "kestrel/host/db/entities/face.h"
#include "kestrel/host/db/entities/hatch.h"
#include "kestrel/host/db/entities/line.h"
#include "kestrel/host/db/entities/mtext.h"
#include "kestrel/host/db/entities/owned_entities.h"
#include "kestrel/host/db/entities/point.h"
#include "kestrel/host/db/entities/polyline.h"
#include "kestrel/host/db/entities/polyline_2d.h"
#include "kestrel/host/db/entities/polyline_3d.h"
#include "kestrel/host/db/entities/ray.h"
#include "kestrel/host/db/entities/solid.h"
#include "kestrel/host/db/entities/spline.h"
#include "kestrel/host/db/entities/table.h"
#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/db/entities/vertex.h"
#include "kestrel/host/db/entity_support.h"
#include "kestrel/host/db/layout.h"
#include "kestrel/host/db/open.h"
#include "kestrel/host/db/raw_object.h"
#include "kestrel/host/ge/matrix3d.h"
#include "kestrel/host/rx/class.h"
#include "kestrel/platform/utf8.h"
#include "tools/entity_walk.h"
#include "tools/svg_canvas.h"
#include "tools/svg_colours.h"
#include "tools/svg_geometry.h"
#include "tools/svg_raw.h"
#include "tools/svg_text.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxBlockDepth = 16;
// Samples of a spline per control point, and at least.
constexpr int kSplineSamplesPerPoint = 8;
constexpr int kMinSplineSamples = 32;
// MText line spacing in text heights, at a line spacing factor of 1.
constexpr double kLineSpacing = 5.0 / 3.0;
// Decision: a dimension without its block whose graphics cannot be drawn (its points coincide,
// or it lies outside the XY plane) shows its text this high at its text position.
constexpr double kDimensionText = 2.5;
// Decision: a patterned hatch whose lines would need more pieces than this is drawn as a light
// fill instead.
constexpr std::size_t kMaxPatternSegments = 20000;
// Decision: a table's cell texts are this share of their row's height.
constexpr double kTableTextShare = 0.4;
// The width of an average character in text heights, for wrapping multiline text.
constexpr double kCharWidth = 0.7;

// The columns a multiline text flows through: none (count 0), or count columns of width, gutter
// apart, each as high as its height (0: no limit). Decision: as another program shows them,
// text that the columns do not hold flows on into more columns of the last one's height.
struct TextColumns {
    int count = 0;
    double width = 0.0;
    double gutter = 0.0;
    std::vector<double> heights;
    double height(int column) const {
        return heights[static_cast<std::size_t>(std::min(column, count - 1))];
    }
};

// A multiline text's columns as the text gives them.
TextColumns columnsOf(const AcDbMText& mtext) {
    TextColumns columns;
    if (mtext.columnType() == AcDbMText::kNoColumns || !(mtext.columnWidth() > 0.0)) {
        return columns;
    }
    columns.count = std::max(1, mtext.columnCount());
    columns.width = mtext.columnWidth();
    columns.gutter = mtext.columnGutterWidth();
    for (int i = 0; i < columns.count; ++i) {
        double height = 0.0;
        mtext.getColumnHeight(i, height);
        columns.heights.push_back(std::isfinite(height) && height > 0.0 ? height : 0.0);
    }
    return columns;
}

// A line of a multiline text as drawn.
struct TextLine {
    std::vector<MTextRun> runs;
    double height;
    int column;
    double drop;  // its baseline down from the top of its column
};

// The lines of multiline text contents of height, wrapped at width (0: not wrapped) or at the
// columns' width. Baselines go down from the top: the first one its height, each next one its
// height times kLineSpacing times spacing; in columns, a line past a column's height or a
// column break starts the next column.
std::vector<TextLine> flowLines(const std::wstring& contents, double height, double width,
                                double spacing, const TextColumns& columns) {
    const bool inColumns = columns.count > 0;
    const double wrapWidth = inColumns ? columns.width : width;
    std::vector<TextLine> lines;
    int column = 0;
    bool fresh = true;  // no line in the column yet
    double drop = 0.0;
    const auto nextColumn = [&] {
        if (inColumns) {
            ++column;
            fresh = true;
        }
    };
    for (const MTextParagraph& paragraph : mtextParagraphs(contents, height)) {
        if (paragraph.newColumn) {
            nextColumn();
        }
        const double lineHeight = height * paragraph.scale;
        // Characters per line at the width: at least one word a line, no wrapping for a width
        // past a million characters (or none).
        const double perLine = lineHeight > 0 ? wrapWidth / (kCharWidth * lineHeight) : 0.0;
        const int maxChars =
            perLine > 0 && perLine < 1e6 ? std::max(1, static_cast<int>(perLine)) : 0;
        for (std::vector<MTextRun>& runs : wrapped(paragraph.runs, maxChars)) {
            double next = fresh ? lineHeight : drop + kLineSpacing * spacing * lineHeight;
            const double limit = inColumns ? columns.height(column) : 0.0;
            if (!fresh && limit > 0.0 && next > limit) {
                nextColumn();
                next = lineHeight;
            }
            lines.push_back({std::move(runs), lineHeight, column, next});
            drop = next;
            fresh = false;
        }
    }
    return lines;
}

// A polyline vertex: its world position and the bulge of the segment that starts there.
struct Vertex {
    AcGePoint3d position;
    double bulge;
};

AcGePoint3d placed(const AcGeMatrix3d& m, AcGePoint3d point) {
    return point.transformBy(m);
}

AcGeVector3d placed(const AcGeMatrix3d& m, AcGeVector3d vector) {
    return vector.transformBy(m);
}

double planarLength(const AcGeVector3d& v) {
    return std::hypot(v.x, v.y);
}

std::vector<AcGePoint3d> placed(const AcGeMatrix3d& m, std::vector<AcGePoint3d> points) {
    for (AcGePoint3d& point : points) {
        point.transformBy(m);
    }
    return points;
}

// The angle of the vector in the XY plane.
double angleOf(const AcGeVector3d& v) {
    return std::atan2(v.y, v.x);
}

// The angle in the picture of a direction at angle in the XY plane, once placed by m.
double placedAngle(const AcGeMatrix3d& m, double angle) {
    return angleOf(placed(m, AcGeVector3d(std::cos(angle), std::sin(angle), 0)));
}

class Renderer {
public:
    Renderer(SvgCanvas& canvas, SvgStats& stats) : m_canvas(canvas), m_stats(stats) {}

    // Draws entity placed by m with what a block reference passes on (nothing in a layout);
    // false when its kind is not drawn. Hidden entities draw nothing and count as drawn.
    bool draw(const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
              const InheritedStyle& inherited);

private:
    // The curve centre + cos t u + sin t v for t from t0 to t1 (full: a whole turn); nothing
    // for angles that are not finite.
    void ellipticArc(const AcGePoint3d& centre, const AcGeVector3d& u, const AcGeVector3d& v,
                     double t0, double t1, bool full, const AcGeMatrix3d& m, const char* cssClass);
    void circle(const AcDbCircle& circle, const AcGeMatrix3d& m);
    void arc(const AcDbArc& arc, const AcGeMatrix3d& m);
    void ellipse(const AcDbEllipse& ellipse, const AcGeMatrix3d& m);
    void polyline(const std::vector<Vertex>& vertices, bool closed, const AcGeMatrix3d& m);
    void spline(const AcDbSpline& spline, const AcGeMatrix3d& m);
    void text(const AcDbText& text, const AcGeMatrix3d& m);
    // Multiline text contents laid out by flowLines, placed by plane (its origin the
    // attachment point, x along the lines, y up) at attachment 1-9 (top left to bottom right).
    void multiline(const std::wstring& contents, double height, double width, double spacing,
                   int attachment, const AcGeMatrix3d& plane,
                   const TextColumns& columns = TextColumns());
    void mtext(const AcDbMText& mtext, const AcGeMatrix3d& m);
    void hatch(const AcDbHatch& hatch, const AcGeMatrix3d& m);
    // The pattern lines a hatch was read with, cut at its loops (in its plane, placed by
    // plane); false, with nothing drawn, when it has none or they would be too many to draw.
    bool patternLines(const AcDbHatch& hatch, const AcGeMatrix3d& plane,
                      const std::vector<std::vector<AcGePoint3d>>& loops);
    // A raw entity's drawing; its blocks drawn at depth with inherited as a reference passes it.
    void raw(const RawDrawing& drawing, const AcGeMatrix3d& m, int depth,
             const InheritedStyle& inherited);
    // A paper-space viewport: its frame and, for a layout drawn at its top, the model space
    // seen through it (scaled by its height against its view's height, cut at its frame).
    void viewport(const RawViewport& viewport, const AcDbEntity& entity, const AcGeMatrix3d& m,
                  int depth);
    // Draws the block's entities placed by m, entities by block taking inherited; false for a
    // block already being drawn (only a damaged drawing holds itself) or nested too deep.
    bool block(const AcDbObjectId& blockId, const AcGeMatrix3d& m, int depth,
               const InheritedStyle& inherited);
    // own: the reference's style, passed to its block; outer: what the reference inherited,
    // which its attributes (entities of their own, not of the block) resolve against.
    void blockReference(const AcDbBlockReference& reference, const AcGeMatrix3d& m, int depth,
                        const InheritedStyle& own, const InheritedStyle& outer);
    // An array of block references (an INSERT kept raw for its columns and rows): the block at
    // every place of the grid, whose rows and columns turn with the reference. False when the
    // entity is no such array or names no block.
    bool referenceArray(const AcDbRawEntity& entity, const AcGeMatrix3d& m, int depth,
                        const InheritedStyle& own);
    // An attribute kept raw: at each place of the array of references that owns it (another
    // program shows it with every copy of the block), else where it stands.
    void rawAttribute(const AcDbRawEntity& entity, const AcDbText& attribute,
                      const AcGeMatrix3d& m);
    // Sets up reference (outside any database) as a reference to blockId placed so; false when
    // the block or the placement is refused.
    static bool placeReference(AcDbBlockReference& reference, const AcDbObjectId& blockId,
                               const AcGeVector3d& normal, const AcGeScale3d& scale,
                               double rotation);
    // A table's grid lines and cell texts, each text centred in its cell.
    void table(const AcDbTable& table, const AcGeMatrix3d& m);
    // A dimension without its block, drawn as the block the drawing writer gives it shows it.
    void dimensionGraphics(const AcDbDimension& dimension, const AcGeMatrix3d& m);
    void dimension(const AcDbDimension& dimension, const AcGeMatrix3d& m, int depth,
                   const InheritedStyle& inherited);
    // Draws what explode gives; false when the entity does not explode.
    bool exploded(const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
                  const InheritedStyle& inherited);
    void corners(const AcGePoint3d (&points)[4], const int (&order)[4], const AcGeMatrix3d& m,
                 const char* cssClass);

    SvgCanvas& m_canvas;
    SvgStats& m_stats;
    ColourResolver m_colours;
    RawPolylineReader m_polylines;
    std::vector<AcDbObjectId> m_openBlocks;  // the blocks being drawn, outermost first
};

void Renderer::ellipticArc(const AcGePoint3d& centre, const AcGeVector3d& u, const AcGeVector3d& v,
                           double t0, double t1, bool full, const AcGeMatrix3d& m,
                           const char* cssClass) {
    const AcGePoint3d c = placed(m, centre);
    const AcGeVector3d pu = placed(m, u);
    const AcGeVector3d pv = placed(m, v);
    const double ru = planarLength(pu);
    const bool round = std::abs(ru - planarLength(pv)) <= 1e-9 * ru &&
                       std::abs(pu.x * pv.x + pu.y * pv.y) <= 1e-9 * ru * ru;
    if (full && round && std::string(cssClass) == "circle") {
        m_canvas.circle(c, ru);
        return;
    }
    std::vector<AcGePoint3d> points;
    appendEllipticArc(c, pu, pv, t0, full ? 2 * kPi : t1 - t0, points);
    if (full && !points.empty()) {
        points.pop_back();  // the closing point is the first
    }
    m_canvas.chain(points, full, cssClass, true);
}

// The anonymous block that holds the graphics of a raw dimension or table (group 2), or null.
AcDbObjectId namedBlock(const AcDbRawEntity& entity) {
    AcDbObjectId found;
    const std::wstring& kind = entity.dxfName();
    if (kind != L"DIMENSION" && kind != L"ACAD_TABLE") {
        return found;
    }
    for (const host::DxfItem& item : entity.groups()) {
        if (item.code == 2 && !item.text().empty()) {
            AcDbBlockTable* table = nullptr;
            if (entity.database() != nullptr &&
                entity.database()->getBlockTable(table, AcDb::kForRead) == Acad::eOk) {
                table->getAt(item.text().c_str(), found);
                table->close();
            }
            break;
        }
    }
    return found;
}

// The world vectors from a circle's centre to its points at angles 0 and pi/2 of its plane.
AcGeVector3d axis(const host::CircularCurve& curve, double x, double y) {
    return placed(AcGeMatrix3d::planeToWorld(curve.normal()),
                  AcGeVector3d(x * curve.radius(), y * curve.radius(), 0));
}

void Renderer::circle(const AcDbCircle& circle, const AcGeMatrix3d& m) {
    ellipticArc(circle.center(), axis(circle, 1, 0), axis(circle, 0, 1), 0, 2 * kPi, true, m,
                "circle");
}

void Renderer::arc(const AcDbArc& arc, const AcGeMatrix3d& m) {
    const double start = arc.startAngle();
    ellipticArc(arc.center(), axis(arc, 1, 0), axis(arc, 0, 1), start,
                start + sweepBetween(start, arc.endAngle()), false, m, "arc");
}

void Renderer::ellipse(const AcDbEllipse& ellipse, const AcGeMatrix3d& m) {
    const double start = ellipse.startParam();
    const double sweep = sweepBetween(start, ellipse.endParam());
    ellipticArc(ellipse.center(), ellipse.majorAxis(), ellipse.minorAxis(), start, start + sweep,
                std::abs(sweep - 2 * kPi) < 1e-12, m, "ellipse");
}

void Renderer::polyline(const std::vector<Vertex>& vertices, bool closed, const AcGeMatrix3d& m) {
    std::vector<AcGePoint3d> points;
    bool bulged = false;
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        points.push_back(vertices[i].position);
        const bool last = i + 1 == vertices.size();
        const AcGePoint3d& next = vertices[last ? 0 : i + 1].position;
        if (vertices[i].bulge != 0.0 && std::isfinite(vertices[i].bulge) && (!last || closed) &&
            next != vertices[i].position) {
            appendBulge(vertices[i].position, next, vertices[i].bulge, points);
            points.pop_back();  // the next vertex comes with its own turn
            bulged = true;
        }
    }
    m_canvas.chain(placed(m, std::move(points)), closed, bulged ? "polyline" : "", bulged);
}

std::vector<Vertex> vertices(const AcDbPolyline& polyline) {
    std::vector<Vertex> out;
    for (unsigned int i = 0; i < polyline.numVerts(); ++i) {
        Vertex vertex{AcGePoint3d(), 0.0};
        polyline.getPointAt(i, vertex.position);
        polyline.getBulgeAt(i, vertex.bulge);
        out.push_back(vertex);
    }
    return out;
}

// The drawn vertices of a 2D or 3D polyline (spline control points are not on the curve), each
// opened through the polyline for read.
template <class Polyline, class VertexClass, class Position>
std::vector<Vertex> ownedVertices(const Polyline& polyline, Position position) {
    std::vector<Vertex> out;
    std::unique_ptr<AcDbObjectIterator> iterator(polyline.vertexIterator());
    for (; iterator && !iterator->done(); iterator->step()) {
        VertexClass* vertex = nullptr;
        if (polyline.openVertex(vertex, iterator->objectId(), AcDb::kForRead) == Acad::eOk) {
            if (const std::optional<Vertex> drawn = position(*vertex)) {
                out.push_back(*drawn);
            }
            vertex->close();
        }
    }
    return out;
}

std::vector<Vertex> vertices(const AcDb2dPolyline& polyline) {
    return ownedVertices<AcDb2dPolyline, AcDb2dVertex>(
        polyline, [&](const AcDb2dVertex& v) -> std::optional<Vertex> {
            if (v.vertexType() == AcDb::k2dSplineCtlVertex) {
                return std::nullopt;
            }
            return Vertex{polyline.vertexPosition(v), v.bulge()};
        });
}

std::vector<Vertex> vertices(const AcDb3dPolyline& polyline) {
    return ownedVertices<AcDb3dPolyline, AcDb3dPolylineVertex>(
        polyline, [](const AcDb3dPolylineVertex& v) -> std::optional<Vertex> {
            if (v.vertexType() == AcDb::k3dControlVertex) {
                return std::nullopt;
            }
            return Vertex{v.position(), 0.0};
        });
}

void Renderer::spline(const AcDbSpline& spline, const AcGeMatrix3d& m) {
    std::vector<AcGePoint3d> points;
    if (spline.numControlPoints() > 0) {
        const int samples =
            std::max(kMinSplineSamples, kSplineSamplesPerPoint * spline.numControlPoints());
        const double start = spline.startParam();
        const double end = spline.endParam();
        for (int i = 0; i <= samples; ++i) {
            AcGePoint3d point;
            if (spline.getPointAtParam(start + (end - start) * i / samples, point) == Acad::eOk) {
                points.push_back(point);
            }
        }
    } else {
        for (int i = 0; i < spline.numFitPoints(); ++i) {
            AcGePoint3d point;
            if (spline.getFitPointAt(i, point) == Acad::eOk) {
                points.push_back(point);
            }
        }
    }
    m_canvas.chain(placed(m, std::move(points)), false, "spline", true);
}

void Renderer::text(const AcDbText& text, const AcGeMatrix3d& m) {
    const AcDb::TextHorzMode horizontal = text.horizontalMode();
    const bool fitted = horizontal == AcDb::kTextAlign || horizontal == AcDb::kTextFit;
    AcGePoint3d anchor = text.isDefaultAlignment() ? text.position() : text.alignmentPoint();
    const double angle = text.rotation();
    const char* alignment = "start";
    if (fitted) {
        // Between the two points, centred on the baseline.
        anchor = text.position() + (text.alignmentPoint() - text.position()) * 0.5;
        alignment = "middle";
    } else if (horizontal == AcDb::kTextCenter || horizontal == AcDb::kTextMid) {
        alignment = "middle";
    } else if (horizontal == AcDb::kTextRight) {
        alignment = "end";
    }
    // Points are in world coordinates; the rotation is about the text's normal.
    const AcGeMatrix3d plane = m * AcGeMatrix3d::planeToWorld(text.normal());
    AcGeVector3d along = placed(plane, AcGeVector3d(std::cos(angle), std::sin(angle), 0));
    AcGeVector3d up = placed(plane, AcGeVector3d(-std::sin(angle), std::cos(angle), 0));
    if (fitted) {
        AcGeVector3d chord = text.alignmentPoint() - text.position();
        chord = chord.length() > 0 ? chord * (1.0 / chord.length()) : AcGeVector3d::kXAxis;
        along = placed(m, chord);
        up = placed(m, text.normal().crossProduct(chord));
    }
    // The baseline's drop below the alignment point for the vertical modes.
    double drop = 0.0;
    if (!fitted && !text.isDefaultAlignment()) {
        drop = horizontal == AcDb::kTextMid || text.verticalMode() == AcDb::kTextVertMid ? 0.5
               : text.verticalMode() == AcDb::kTextTop                                   ? 1.0
                                                                                         : 0.0;
    }
    SvgTextLayout layout;
    layout.angle = angleOf(along);
    layout.oblique = text.oblique();
    layout.widthFactor = text.widthFactor() > 0 ? text.widthFactor() : 1.0;
    layout.mirrorX = text.isMirroredInX();
    layout.mirrorY = text.isMirroredInY();
    // A block transform that mirrors turns the text over as well.
    if (along.x * up.y - along.y * up.x < 0) {
        layout.mirrorY = !layout.mirrorY;
    }
    const double height = text.height() * planarLength(up);
    const double upLength = planarLength(up);
    const AcGeVector3d upUnit = upLength > 0 ? up * (1.0 / upLength) : AcGeVector3d();
    m_canvas.text(placed(m, anchor) - upUnit * (drop * height), height, layout, alignment,
                  plainText(text.textStringConst()));
}

void Renderer::multiline(const std::wstring& contents, double height, double width, double spacing,
                         int attachment, const AcGeMatrix3d& plane, const TextColumns& columns) {
    const std::vector<TextLine> shown = flowLines(contents, height, width, spacing, columns);
    double total = 0.0;  // the depth of the deepest column
    int used = 0;        // the columns the lines take
    for (const TextLine& line : shown) {
        total = std::max(total, line.drop);
        used = std::max(used, line.column + 1);
    }
    attachment = std::clamp(attachment, 1, 9);
    const int across = (attachment - 1) % 3;  // left, centre, right
    const double top = ((attachment - 1) / 3) * total / 2;
    // Columns stand side by side in a box placed like a single column's lines.
    const bool inColumns = columns.count > 0;
    const double pitch = inColumns ? columns.width + columns.gutter : 0.0;
    const double columnWidth = inColumns ? columns.width : 0.0;
    const double boxWidth =
        inColumns ? std::max(used, columns.count) * pitch - columns.gutter : 0.0;
    static const char* const kAnchors[] = {"start", "middle", "end"};
    SvgTextLayout layout;
    layout.angle = angleOf(placed(plane, AcGeVector3d::kXAxis));
    const double scale = planarLength(placed(plane, AcGeVector3d::kYAxis));
    for (const TextLine& line : shown) {
        if (!line.runs.empty()) {
            const double x = (columnWidth - boxWidth) * across / 2 + line.column * pitch;
            m_canvas.text(placed(plane, AcGePoint3d(x, top - line.drop, 0)), line.height * scale,
                          layout, kAnchors[across], line.runs);
        }
    }
}

void Renderer::mtext(const AcDbMText& mtext, const AcGeMatrix3d& m) {
    std::unique_ptr<ACHAR[]> contents(mtext.contents());
    AcGeVector3d direction = mtext.direction();
    direction =
        direction.length() > 0 ? direction * (1.0 / direction.length()) : AcGeVector3d::kXAxis;
    const AcGeVector3d up = mtext.normal().crossProduct(direction);
    const AcGeMatrix3d plane = AcGeMatrix3d::alignCoordSys(
        AcGePoint3d(), AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, AcGeVector3d::kZAxis,
        mtext.location(), direction, up, mtext.normal());
    multiline(contents ? contents.get() : L"", mtext.textHeight(), mtext.width(),
              mtext.lineSpacingFactor(), static_cast<int>(mtext.attachment()), m * plane,
              columnsOf(mtext));
}

void Renderer::hatch(const AcDbHatch& hatch, const AcGeMatrix3d& m) {
    const AcGeMatrix3d plane = m * AcGeMatrix3d::planeToWorld(hatch.normal());
    std::vector<std::vector<AcGePoint3d>> loops;
    for (int i = 0; i < hatch.numLoops(); ++i) {
        Adesk::Int32 type = 0;
        AcGePoint2dArray points;
        AcGeDoubleArray bulges;
        if (hatch.getLoopAt(i, type, points, bulges) != Acad::eOk || points.isEmpty()) {
            continue;
        }
        std::vector<AcGePoint3d> loop{AcGePoint3d(points[0].x, points[0].y, hatch.elevation())};
        for (int j = 0; j < points.length(); ++j) {
            const AcGePoint2d& next = points[(j + 1) % points.length()];
            const AcGePoint3d from = loop.back();
            appendBulge(from, AcGePoint3d(next.x, next.y, hatch.elevation()),
                        j < bulges.length() ? bulges[j] : 0.0, loop);
        }
        loops.push_back(std::move(loop));
    }
    if (!hatch.isSolidFill() && patternLines(hatch, plane, loops)) {
        return;
    }
    for (std::vector<AcGePoint3d>& loop : loops) {
        loop = placed(plane, std::move(loop));
    }
    m_canvas.area(loops, hatch.isSolidFill() ? "hatch" : "pattern");
}

bool Renderer::patternLines(const AcDbHatch& hatch, const AcGeMatrix3d& plane,
                            const std::vector<std::vector<AcGePoint3d>>& loops) {
    // The box of the loops in the hatch's plane, where the pattern lines are given.
    AcGePoint2d low(INFINITY, INFINITY);
    AcGePoint2d high(-INFINITY, -INFINITY);
    for (const std::vector<AcGePoint3d>& loop : loops) {
        for (const AcGePoint3d& point : loop) {
            low.set(std::min(low.x, point.x), std::min(low.y, point.y));
            high.set(std::max(high.x, point.x), std::max(high.y, point.y));
        }
    }
    std::vector<PatternSegment> segments;
    for (int i = 0; i < hatch.numPatternDefinitions(); ++i) {
        PatternFamily family;
        double baseX = 0.0;
        double baseY = 0.0;
        double offsetX = 0.0;
        double offsetY = 0.0;
        AcGeDoubleArray dashes;
        hatch.getPatternDefinitionAt(i, family.angle, baseX, baseY, offsetX, offsetY, dashes);
        family.base.set(baseX, baseY);
        family.offset.set(offsetX, offsetY);
        family.dashes.assign(dashes.begin(), dashes.end());
        if (!patternSegments(family, low, high, kMaxPatternSegments - segments.size(),
                             segments)) {
            return false;
        }
    }
    if (segments.empty()) {
        return false;
    }
    std::vector<std::vector<AcGePoint3d>> outline;
    for (const std::vector<AcGePoint3d>& loop : loops) {
        outline.push_back(placed(plane, loop));
    }
    m_canvas.beginClip(outline);
    for (const PatternSegment& segment : segments) {
        m_canvas.line(placed(plane, AcGePoint3d(segment.start.x, segment.start.y, hatch.elevation())),
                      placed(plane, AcGePoint3d(segment.end.x, segment.end.y, hatch.elevation())));
    }
    m_canvas.endClip();
    return true;
}

void Renderer::raw(const RawDrawing& drawing, const AcGeMatrix3d& m, int depth,
                   const InheritedStyle& inherited) {
    for (const RawDrawing::Chain& chain : drawing.chains) {
        m_canvas.chain(placed(m, chain.points), chain.closed, chain.cssClass);
    }
    std::vector<std::vector<AcGePoint3d>> loops;
    for (const std::vector<AcGePoint3d>& loop : drawing.loops) {
        loops.push_back(placed(m, loop));
    }
    m_canvas.area(loops, drawing.areaClass);
    for (const RawDrawing::Line& line : drawing.lines) {
        m_canvas.infiniteLine(placed(m, line.base), placed(m, line.direction), line.bothWays);
    }
    for (const RawDrawing::Label& label : drawing.labels) {
        const double length = label.direction.length();
        const AcGeVector3d direction =
            length > 0 ? label.direction * (1.0 / length) : AcGeVector3d::kXAxis;
        const AcGeMatrix3d plane = AcGeMatrix3d::alignCoordSys(
            AcGePoint3d(), AcGeVector3d::kXAxis, AcGeVector3d::kYAxis, AcGeVector3d::kZAxis,
            label.position, direction, AcGeVector3d::kZAxis.crossProduct(direction),
            AcGeVector3d::kZAxis);
        multiline(label.contents, label.height, 0.0, 1.0, 1, m * plane);
    }
    // Last: a block sets the stroke of its own entities.
    for (const RawDrawing::Block& placed : drawing.blocks) {
        AcDbBlockReference reference;
        if (placeReference(reference, placed.block, placed.normal, placed.scale, placed.rotation) &&
            reference.setPosition(placed.position) == Acad::eOk) {
            InheritedStyle style = inherited;
            style.colour = placed.colour.empty() ? inherited.colour : placed.colour;
            m_canvas.beginGroup("insert");
            block(placed.block, m * reference.blockTransform(), depth, style);
            m_canvas.endGroup();
        }
    }
}

void Renderer::viewport(const RawViewport& viewport, const AcDbEntity& entity,
                        const AcGeMatrix3d& m, int depth) {
    if (viewport.id == 1 || viewport.status == 0) {
        return;
    }
    const AcGeVector3d half(viewport.width / 2, viewport.height / 2, 0);
    const AcGeVector3d across(half.x, -half.y, 0);
    const std::vector<AcGePoint3d> frame =
        placed(m, {viewport.centre - half, viewport.centre + across, viewport.centre + half,
                   viewport.centre - across});
    m_canvas.chain(frame, true, "viewport");
    const double scale = viewport.viewHeight > 0 ? viewport.height / viewport.viewHeight : 0.0;
    if (depth > 0 || !(scale > 0) || !std::isfinite(scale) || entity.database() == nullptr) {
        return;
    }
    const AcGeMatrix3d view =
        m * AcGeMatrix3d::translation(viewport.centre.asVector()) * AcGeMatrix3d::scaling(scale) *
        AcGeMatrix3d::translation(-(viewport.viewCentre.asVector() + viewport.target.asVector()));
    m_canvas.beginClip({frame});
    block(entity.database()->modelSpaceId(), view, depth, InheritedStyle());
    m_canvas.endClip();
}

void Renderer::corners(const AcGePoint3d (&points)[4], const int (&order)[4], const AcGeMatrix3d& m,
                       const char* cssClass) {
    std::vector<AcGePoint3d> chain;
    for (int index : order) {
        if (chain.empty() || placed(m, points[index]) != chain.back()) {
            chain.push_back(placed(m, points[index]));
        }
    }
    m_canvas.chain(chain, true, cssClass);
}

bool Renderer::block(const AcDbObjectId& blockId, const AcGeMatrix3d& m, int depth,
                     const InheritedStyle& inherited) {
    const bool cycle =
        std::find(m_openBlocks.begin(), m_openBlocks.end(), blockId) != m_openBlocks.end();
    if (depth >= kMaxBlockDepth || cycle) {
        return false;
    }
    m_openBlocks.push_back(blockId);
    walkBlock(blockId, [&](const AcDbEntity& entity) {
        if (AcDbAttributeDefinition::cast(&entity) == nullptr) {
            draw(entity, m, depth + 1, inherited);
        }
    });
    m_openBlocks.pop_back();
    return true;
}

void Renderer::blockReference(const AcDbBlockReference& reference, const AcGeMatrix3d& m, int depth,
                              const InheritedStyle& inherited, const InheritedStyle& outer) {
    m_canvas.beginGroup("insert");
    if (reference.blockTableRecord().isNull()) {
        exploded(reference, m, depth, inherited);
    } else {
        block(reference.blockTableRecord(), m * reference.blockTransform(), depth, inherited);
    }
    std::unique_ptr<AcDbObjectIterator> attributes(reference.attributeIterator());
    for (; attributes && !attributes->done(); attributes->step()) {
        AcDbAttribute* attribute = nullptr;
        if (reference.openAttribute(attribute, attributes->objectId(), AcDb::kForRead) ==
            Acad::eOk) {
            if (!attribute->isInvisible() && m_colours.shown(*attribute)) {
                const bool byBlock =
                    !attribute->color().isByColor() && attribute->colorIndex() == 0;
                m_canvas.setStroke(
                    {byBlock ? inherited.colour : m_colours.colourOf(*attribute, outer),
                     -1,
                     {},
                     0});
                text(*attribute, m);
            }
            attribute->close();
        }
    }
    m_canvas.endGroup();
}

bool Renderer::referenceArray(const AcDbRawEntity& entity, const AcGeMatrix3d& m, int depth,
                              const InheritedStyle& own) {
    RawArray array;
    if (entity.database() == nullptr || !readArray(entity.dxfName(), entity.groups(), array)) {
        return false;
    }
    AcDbObjectId blockId;
    AcDbBlockTable* blocks = nullptr;
    if (!array.block.empty() &&
        entity.database()->getBlockTable(blocks, AcDb::kForRead) == Acad::eOk) {
        blocks->getAt(array.block.c_str(), blockId);
        blocks->close();
    }
    AcDbBlockReference reference;
    if (!placeReference(reference, blockId, array.normal, array.scale, array.rotation)) {
        return false;
    }
    m_canvas.beginGroup("insert");
    for (const AcGeVector3d& offset : array.offsets()) {
        const AcGePoint3d place = array.position + offset;
        if (reference.setPosition(host::ocsToWorld(array.normal, place)) == Acad::eOk) {
            block(blockId, m * reference.blockTransform(), depth, own);
        }
    }
    m_canvas.endGroup();
    return true;
}

void Renderer::rawAttribute(const AcDbRawEntity& entity, const AcDbText& attribute,
                            const AcGeMatrix3d& m) {
    std::vector<AcGeVector3d> offsets{AcGeVector3d()};
    AcDbRawEntity* owner = nullptr;
    if (acdbOpenObject(owner, entity.ownerId(), AcDb::kForRead) == Acad::eOk) {
        RawArray array;
        if (readArray(owner->dxfName(), owner->groups(), array)) {
            offsets.clear();
            for (const AcGeVector3d& offset : array.offsets()) {
                offsets.push_back(
                    host::ocsToWorld(array.normal, AcGePoint3d() + offset).asVector());
            }
        }
        owner->close();
    }
    for (const AcGeVector3d& offset : offsets) {
        text(attribute, m * AcGeMatrix3d::translation(offset));
    }
}

bool Renderer::placeReference(AcDbBlockReference& reference, const AcDbObjectId& blockId,
                              const AcGeVector3d& normal, const AcGeScale3d& scale,
                              double rotation) {
    return !blockId.isNull() && reference.setBlockTableRecord(blockId) == Acad::eOk &&
           reference.setNormal(normal) == Acad::eOk &&
           reference.setScaleFactors(scale) == Acad::eOk &&
           reference.setRotation(rotation) == Acad::eOk;
}

void Renderer::table(const AcDbTable& table, const AcGeMatrix3d& m) {
    m_canvas.beginGroup("table");
    AcGeVector3d along = table.direction();
    along = along.length() > 0 ? along * (1.0 / along.length()) : AcGeVector3d::kXAxis;
    const AcGeVector3d down = along.crossProduct(table.normal());
    const AcGePoint3d corner = table.position();
    std::vector<double> xs{0.0};
    std::vector<double> ys{0.0};
    for (int c = 0; c < table.numColumns(); ++c) {
        xs.push_back(xs.back() + table.columnWidth(c));
    }
    for (int r = 0; r < table.numRows(); ++r) {
        ys.push_back(ys.back() + table.rowHeight(r));
    }
    for (const double y : ys) {
        m_canvas.line(placed(m, corner + down * y),
                      placed(m, corner + down * y + along * xs.back()));
    }
    for (const double x : xs) {
        m_canvas.line(placed(m, corner + along * x),
                      placed(m, corner + along * x + down * ys.back()));
    }
    SvgTextLayout layout;
    layout.angle = angleOf(placed(m, along));
    const double scale = planarLength(placed(m, down));
    for (int r = 0; r < table.numRows(); ++r) {
        for (int c = 0; c < table.numColumns(); ++c) {
            std::unique_ptr<ACHAR[]> text(table.textString(r, c));
            if (!text || text[0] == L'\0') {
                continue;
            }
            const double height = kTableTextShare * table.rowHeight(r);
            const AcGePoint3d middle = corner + along * ((xs[c] + xs[c + 1]) / 2) +
                                       down * ((ys[r] + ys[r + 1]) / 2 + height / 2);
            m_canvas.text(placed(m, middle), height * scale, layout, "middle",
                          plainText(text.get()));
        }
    }
    m_canvas.endGroup();
}

void Renderer::dimensionGraphics(const AcDbDimension& dimension, const AcGeMatrix3d& m) {
    const host::DimensionGraphics graphics = host::dimensionGraphics(&dimension);
    const double textScale = planarLength(placed(m, AcGeVector3d::kYAxis));
    if (graphics.empty()) {
        SvgTextLayout layout;
        layout.angle = placedAngle(m, dimension.textRotation());
        m_canvas.text(placed(m, dimension.textPosition()), kDimensionText * textScale, layout,
                      "middle", plainText(host::dimensionLabel(&dimension)));
        return;
    }
    for (const host::DimensionGraphics::Line& line : graphics.lines) {
        m_canvas.line(placed(m, line.start), placed(m, line.end));
    }
    for (const host::DimensionGraphics::Arc& arc : graphics.arcs) {
        ellipticArc(arc.center, AcGeVector3d(arc.radius, 0, 0), AcGeVector3d(0, arc.radius, 0),
                    arc.startAngle, arc.startAngle + sweepBetween(arc.startAngle, arc.endAngle),
                    false, m, "arc");
    }
    for (const host::DimensionGraphics::Arrow& arrow : graphics.arrows) {
        m_canvas.chain(placed(m, {arrow.tip, arrow.baseLeft, arrow.baseRight}), true, "arrow");
    }
    for (const host::DimensionGraphics::Label& label : graphics.labels) {
        SvgTextLayout layout;
        layout.angle = placedAngle(m, label.rotation);
        m_canvas.text(placed(m, label.position), label.height * textScale, layout, "middle",
                      plainText(label.text));
    }
}

void Renderer::dimension(const AcDbDimension& dimension, const AcGeMatrix3d& m, int depth,
                         const InheritedStyle& inherited) {
    m_canvas.beginGroup("dimension");
    if (dimension.dimBlockId().isNull() || !block(dimension.dimBlockId(), m, depth, inherited)) {
        dimensionGraphics(dimension, m);
    }
    m_canvas.endGroup();
}

bool Renderer::exploded(const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
                        const InheritedStyle& inherited) {
    AcDbVoidPtrArray pieces;
    if (entity.explode(pieces) != Acad::eOk) {
        return false;
    }
    for (int i = 0; i < pieces.length(); ++i) {
        std::unique_ptr<AcDbEntity> piece(static_cast<AcDbEntity*>(pieces[i]));
        if (depth < kMaxBlockDepth) {
            draw(*piece, m, depth + 1, inherited);
        }
    }
    return true;
}

bool Renderer::draw(const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
                    const InheritedStyle& inherited) {
    if (!m_colours.shown(entity)) {
        return true;
    }
    InheritedStyle own;
    own.colour = m_colours.colourOf(entity, inherited);
    own.layerColour = m_colours.layerColourOf(entity, inherited);
    own.weight = m_colours.weightOf(entity, inherited);
    own.dashes = m_colours.dashesOf(entity, inherited);
    const double scale = planarLength(placed(m, AcGeVector3d::kXAxis));
    SvgStroke stroke{own.colour, own.weight, own.dashes, 0.0};
    for (double& dash : stroke.dashes) {
        dash *= scale;
    }
    m_canvas.setStroke(stroke);
    if (auto* line = AcDbLine::cast(&entity)) {
        m_canvas.line(placed(m, line->startPoint()), placed(m, line->endPoint()));
    } else if (auto* circleEntity = AcDbCircle::cast(&entity)) {
        circle(*circleEntity, m);
    } else if (auto* arcEntity = AcDbArc::cast(&entity)) {
        arc(*arcEntity, m);
    } else if (auto* ellipseEntity = AcDbEllipse::cast(&entity)) {
        ellipse(*ellipseEntity, m);
    } else if (auto* light = AcDbPolyline::cast(&entity)) {
        double width = 0.0;
        if (light->getConstantWidth(width) == Acad::eOk && width > 0.0) {
            stroke.width = width * scale;
            m_canvas.setStroke(stroke);
        }
        polyline(vertices(*light), light->isClosed(), m);
    } else if (auto* flat = AcDb2dPolyline::cast(&entity)) {
        if (flat->defaultStartWidth() > 0.0 &&
            flat->defaultStartWidth() == flat->defaultEndWidth()) {
            stroke.width = flat->defaultStartWidth() * scale;
            m_canvas.setStroke(stroke);
        }
        polyline(vertices(*flat), flat->isClosed(), m);
    } else if (auto* spatial = AcDb3dPolyline::cast(&entity)) {
        polyline(vertices(*spatial), spatial->isClosed(), m);
    } else if (auto* splineEntity = AcDbSpline::cast(&entity)) {
        spline(*splineEntity, m);
    } else if (auto* ray = AcDbRay::cast(&entity)) {
        m_canvas.infiniteLine(placed(m, ray->basePoint()), placed(m, ray->unitDir()), false);
    } else if (auto* face = AcDbFace::cast(&entity)) {
        AcGePoint3d points[4];
        for (Adesk::UInt16 i = 0; i < 4; ++i) {
            face->getVertexAt(i, points[i]);
        }
        corners(points, {0, 1, 2, 3}, m, "face");
    } else if (auto* solid = AcDbSolid::cast(&entity)) {
        AcGePoint3d points[4];
        for (Adesk::UInt16 i = 0; i < 4; ++i) {
            solid->getPointAt(i, points[i]);
        }
        corners(points, {0, 1, 3, 2}, m, "solid");
    } else if (auto* point = AcDbPoint::cast(&entity)) {
        m_canvas.point(placed(m, point->position()));
    } else if (auto* tableEntity = AcDbTable::cast(&entity)) {
        table(*tableEntity, m);
    } else if (auto* reference = AcDbBlockReference::cast(&entity)) {
        blockReference(*reference, m, depth, own, inherited);
    } else if (auto* dimensionEntity = AcDbDimension::cast(&entity)) {
        dimension(*dimensionEntity, m, depth, own);
    } else if (auto* textEntity = AcDbText::cast(&entity);
               textEntity != nullptr && AcDbAttributeDefinition::cast(&entity) == nullptr) {
        text(*textEntity, m);
    } else if (auto* multiline = AcDbMText::cast(&entity)) {
        mtext(*multiline, m);
    } else if (auto* hatchEntity = AcDbHatch::cast(&entity)) {
        hatch(*hatchEntity, m);
    } else if (auto* rawEntity = AcDbRawEntity::cast(&entity)) {
        RawDrawing drawing;
        RawViewport frame;
        AcDbText attribute;
        bool visible = true;
        const AcDbObjectId graphics = namedBlock(*rawEntity);
        if (readRawAttribute(rawEntity->dxfName(), rawEntity->groups(), attribute, visible)) {
            if (visible) {
                rawAttribute(*rawEntity, attribute, m);
            }
            return true;
        }
        if (readViewport(rawEntity->dxfName(), rawEntity->groups(), frame)) {
            viewport(frame, entity, m, depth);
        } else if (referenceArray(*rawEntity, m, depth, own)) {
            return true;
        } else if (!graphics.isNull()) {
            m_canvas.beginGroup("dimension");
            block(graphics, m, depth, own);
            m_canvas.endGroup();
        } else if (!m_polylines.take(rawEntity->dxfName(), rawEntity->groups(), drawing) &&
                   !readRawDrawing(rawEntity->dxfName(), rawEntity->groups(), drawing)) {
            if (rawEntity->dxfName() == L"SEQEND") {
                return true;  // the end of a sequence of attributes has nothing to draw
            }
            ++m_stats.skipped[rawEntity->dxfName()];
            return false;
        }
        raw(drawing, m, depth, own);
    } else if (AcDbAttributeDefinition::cast(&entity) == nullptr &&
               !exploded(entity, m, depth, own)) {
        ++m_stats.skipped[entity.isA()->name()];
        return false;
    }
    return true;
}

}  // namespace

bool renderBlock(const AcDbObjectId& blockId, std::ostream& out, SvgStats& stats) {
    SvgCanvas canvas;
    Renderer renderer(canvas, stats);
    const int count = walkBlock(
        blockId,
        [&](const AcDbEntity& entity) {
            stats.drawn +=
                renderer.draw(entity, AcGeMatrix3d::kIdentity, 0, InheritedStyle()) ? 1 : 0;
        },
        "rendering");
    return count >= 0 && canvas.write(out);
}

AcDbObjectId layoutBlock(AcDbDatabase& db, const std::wstring& name) {
    AcDbObjectId found;
    AcDbBlockTable* table = nullptr;
    if (db.getBlockTable(table, AcDb::kForRead) != Acad::eOk) {
        return found;
    }
    std::unique_ptr<AcDbSymbolTableIterator> records;
    AcDbSymbolTableIterator* raw = nullptr;
    if (table->newIterator(raw) == Acad::eOk) {
        records.reset(raw);
    }
    for (; records && !records->done() && found.isNull(); records->step()) {
        AcDbObjectId recordId;
        AcDbBlockTableRecord* record = nullptr;
        if (records->getRecordId(recordId) != Acad::eOk ||
            acdbOpenObject(record, recordId, AcDb::kForRead) != Acad::eOk) {
            continue;
        }
        AcDbLayout* layout = nullptr;
        if (!record->getLayoutId().isNull() &&
            acdbOpenObject(layout, record->getLayoutId(), AcDb::kForRead) == Acad::eOk) {
            const ACHAR* layoutName = nullptr;
            if (layout->getLayoutName(layoutName) == Acad::eOk && layoutName != nullptr &&
                wcscasecmp(layoutName, name.c_str()) == 0) {
                found = record->objectId();
            }
            layout->close();
        }
        record->close();
    }
    table->close();
    return found;
}
