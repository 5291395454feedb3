// The model space renderer: each entity kind becomes SVG elements on an SvgCanvas; block
// references are drawn by walking their block with the reference's transform applied to every
// point, so the picture needs no SVG transforms except for turned texts.
#include "tools/svg_render.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

#include "host/db/database.h"
#include "host/db/entities/arc.h"
#include "host/db/entities/attribute.h"
#include "host/db/entities/attribute_definition.h"
#include "host/db/entities/block_reference.h"
#include "host/db/entities/circle.h"
#include "host/db/entities/ellipse.h"
#include "host/db/entities/face.h"
#include "host/db/entities/line.h"
#include "host/db/entities/owned_entities.h"
#include "host/db/entities/point.h"
#include "host/db/entities/polyline.h"
#include "host/db/entities/polyline_2d.h"
#include "host/db/entities/polyline_3d.h"
#include "host/db/entities/solid.h"
#include "host/db/entities/text.h"
#include "host/db/entities/vertex.h"
#include "host/ge/matrix3d.h"
#include "host/rx/class.h"
#include "tools/entity_walk.h"
#include "tools/svg_canvas.h"
#include "tools/svg_colours.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxBlockDepth = 16;
// Segments per whole turn of a curve drawn as a chain.
constexpr double kSegmentsPerTurn = 72.0;

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

class Renderer {
public:
    Renderer(SvgCanvas& canvas, SvgStats& stats) : m_canvas(canvas), m_stats(stats) {}

    // Draws entity placed by m in its colour (inherited: the colour by block, empty in model
    // space); false when its kind is not drawn.
    bool draw(const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
              const std::string& inherited);

private:
    // The curve centre + cos t u + sin t v for t from t0 to t1 (full: a whole turn); nothing
    // for angles that are not finite.
    void ellipticArc(const AcGePoint3d& centre, const AcGeVector3d& u, const AcGeVector3d& v,
                     double t0, double t1, bool full, const AcGeMatrix3d& m, const char* cssClass);
    void circle(const AcDbCircle& circle, const AcGeMatrix3d& m);
    void arc(const AcDbArc& arc, const AcGeMatrix3d& m);
    void ellipse(const AcDbEllipse& ellipse, const AcGeMatrix3d& m);
    void polyline(const std::vector<Vertex>& vertices, bool closed, const AcGeMatrix3d& m);
    void text(const AcDbText& text, const AcGeMatrix3d& m);
    void blockReference(const AcDbBlockReference& reference, const AcGeMatrix3d& m, int depth,
                        const std::string& colour);
    void corners(const AcGePoint3d (&points)[4], const int (&order)[4], const AcGeMatrix3d& m,
                 const char* cssClass);

    SvgCanvas& m_canvas;
    SvgStats& m_stats;
    ColourResolver m_colours;
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
    const double sweep = full ? 2 * kPi : t1 - t0;
    if (!std::isfinite(sweep)) {
        return;
    }
    const int segments =
        std::max(8, static_cast<int>(std::ceil(sweep / (2 * kPi) * kSegmentsPerTurn)));
    std::vector<AcGePoint3d> points;
    for (int i = 0; i <= (full ? segments - 1 : segments); ++i) {
        const double t = t0 + sweep * i / segments;
        points.push_back(c + pu * std::cos(t) + pv * std::sin(t));
    }
    m_canvas.chain(points, full, cssClass, true);
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

// The turn from start to end counter-clockwise, in (0, 2 pi]; not finite for angles that are not.
double sweepBetween(double start, double end) {
    const double sweep = std::fmod(end - start, 2 * kPi);
    return sweep > 0 ? sweep : sweep + 2 * kPi;
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

// Appends the points of a bulged segment from a to b (after a, up to and including b), taken
// counter-clockwise about +Z for a positive bulge, in the XY plane.
void appendBulge(const AcGePoint3d& a, const AcGePoint3d& b, double bulge,
                 std::vector<AcGePoint3d>& points) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double chord = std::hypot(dx, dy);
    const double sweep = 4 * std::atan(bulge);
    const double offset = chord * (1 - bulge * bulge) / (4 * bulge);
    const double cx = (a.x + b.x) / 2 - dy / chord * offset;
    const double cy = (a.y + b.y) / 2 + dx / chord * offset;
    const double radius = std::hypot(a.x - cx, a.y - cy);
    const double start = std::atan2(a.y - cy, a.x - cx);
    const int segments =
        std::max(2, static_cast<int>(std::ceil(std::abs(sweep) / (2 * kPi) * kSegmentsPerTurn)));
    for (int i = 1; i <= segments; ++i) {
        const double t = start + sweep * i / segments;
        const double z = a.z + (b.z - a.z) * i / segments;
        points.emplace_back(cx + radius * std::cos(t), cy + radius * std::sin(t), z);
    }
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
    for (AcGePoint3d& point : points) {
        point.transformBy(m);
    }
    m_canvas.chain(points, closed, bulged ? "polyline" : "", bulged);
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

void Renderer::text(const AcDbText& text, const AcGeMatrix3d& m) {
    const AcGePoint3d anchor = text.isDefaultAlignment() ? text.position() : text.alignmentPoint();
    const double angle = text.rotation();
    const AcGeVector3d along = placed(m, AcGeVector3d(std::cos(angle), std::sin(angle), 0));
    const AcGeVector3d up = placed(m, AcGeVector3d(-std::sin(angle), std::cos(angle), 0));
    const char* alignment = "start";
    switch (text.horizontalMode()) {
        case AcDb::kTextCenter:
        case AcDb::kTextMid:
            alignment = "middle";
            break;
        case AcDb::kTextRight:
            alignment = "end";
            break;
        default:
            break;
    }
    m_canvas.text(placed(m, anchor), text.height() * planarLength(up), std::atan2(along.y, along.x),
                  alignment, text.textStringConst());
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

void Renderer::blockReference(const AcDbBlockReference& reference, const AcGeMatrix3d& m, int depth,
                              const std::string& colour) {
    m_canvas.beginGroup("insert");
    const AcDbObjectId block = reference.blockTableRecord();
    const bool cycle =
        std::find(m_openBlocks.begin(), m_openBlocks.end(), block) != m_openBlocks.end();
    if (depth < kMaxBlockDepth && !cycle) {
        const AcGeMatrix3d inner = m * reference.blockTransform();
        m_openBlocks.push_back(block);
        walkBlock(block, [&](const AcDbEntity& entity) {
            const bool definition = AcDbAttributeDefinition::cast(&entity) != nullptr;
            if (!definition) {
                draw(entity, inner, depth + 1, colour);
            }
        });
        m_openBlocks.pop_back();
    }
    std::unique_ptr<AcDbObjectIterator> attributes(reference.attributeIterator());
    for (; attributes && !attributes->done(); attributes->step()) {
        AcDbAttribute* attribute = nullptr;
        if (reference.openAttribute(attribute, attributes->objectId(), AcDb::kForRead) ==
            Acad::eOk) {
            if (!attribute->isInvisible()) {
                m_canvas.setColour(m_colours.colourOf(*attribute, colour));
                text(*attribute, m);
            }
            attribute->close();
        }
    }
    m_canvas.endGroup();
}

bool Renderer::draw(const AcDbEntity& entity, const AcGeMatrix3d& m, int depth,
                    const std::string& inherited) {
    const std::string colour = m_colours.colourOf(entity, inherited);
    m_canvas.setColour(colour);
    if (auto* line = AcDbLine::cast(&entity)) {
        m_canvas.line(placed(m, line->startPoint()), placed(m, line->endPoint()));
    } else if (auto* circleEntity = AcDbCircle::cast(&entity)) {
        circle(*circleEntity, m);
    } else if (auto* arcEntity = AcDbArc::cast(&entity)) {
        arc(*arcEntity, m);
    } else if (auto* ellipseEntity = AcDbEllipse::cast(&entity)) {
        ellipse(*ellipseEntity, m);
    } else if (auto* light = AcDbPolyline::cast(&entity)) {
        polyline(vertices(*light), light->isClosed(), m);
    } else if (auto* flat = AcDb2dPolyline::cast(&entity)) {
        polyline(vertices(*flat), flat->isClosed(), m);
    } else if (auto* spatial = AcDb3dPolyline::cast(&entity)) {
        polyline(vertices(*spatial), spatial->isClosed(), m);
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
    } else if (auto* reference = AcDbBlockReference::cast(&entity)) {
        blockReference(*reference, m, depth, colour);
    } else if (auto* textEntity = AcDbText::cast(&entity);
               textEntity != nullptr && AcDbAttributeDefinition::cast(&entity) == nullptr) {
        text(*textEntity, m);
    } else {
        ++m_stats.skipped[entity.isA()->name()];
        return false;
    }
    return true;
}

}  // namespace

bool renderModelSpace(AcDbDatabase& db, std::ostream& out, SvgStats& stats) {
    SvgCanvas canvas;
    Renderer renderer(canvas, stats);
    const int count = walkBlock(
        db.modelSpaceId(),
        [&](const AcDbEntity& entity) {
            stats.drawn += renderer.draw(entity, AcGeMatrix3d::kIdentity, 0, std::string()) ? 1 : 0;
        },
        "rendering");
    if (count < 0) {
        return false;
    }
    canvas.write(out);
    return true;
}
