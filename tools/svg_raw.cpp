// Raw entities read group by group: a cursor walks the groups in the order a drawing file gives
// them, taking a group only when it has the code expected, so a missing group reads as its
// default instead of throwing the rest out of step.
#include "tools/svg_raw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "kestrel/host/db/entities/text.h"
#include "kestrel/host/ge/matrix3d.h"
#include "tools/svg_colours.h"
#include "tools/svg_geometry.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSplineSamples = 12;
// A count read from a file is trusted up to this many items.
constexpr std::int64_t kMaxCount = 1 << 20;

class Cursor {
public:
    explicit Cursor(const host::DxfItemList& groups) : m_groups(groups) {}
    bool done() const { return m_at >= m_groups.size(); }
    int code() const { return done() ? -1 : m_groups[m_at].code; }
    void skip() { ++m_at; }
    // Moves to the next group of code; false (at the end) when there is none.
    bool seek(int code) {
        while (!done() && m_groups[m_at].code != code) {
            ++m_at;
        }
        return !done();
    }
    double real(int code, double fallback = 0.0) { return take(code) ? last().real() : fallback; }
    std::int64_t integer(int code, std::int64_t fallback = 0) {
        return take(code) ? last().integer() : fallback;
    }
    std::int64_t count(int code) { return std::clamp<std::int64_t>(integer(code), 0, kMaxCount); }
    AcGePoint3d point(int code) { return take(code) ? last().point() : AcGePoint3d(); }
    std::wstring text(int code) { return take(code) ? last().text() : std::wstring(); }

private:
    bool take(int code) {
        if (code == this->code()) {
            ++m_at;
            return true;
        }
        return false;
    }
    const host::DxfItem& last() const { return m_groups[m_at - 1]; }

    const host::DxfItemList& m_groups;
    std::size_t m_at = 0;
};

// "#rrggbb" of a raw colour (its type in the top byte: 0xC2 RGB, 0xC3 a palette index); empty
// for by layer, by block and others.
std::string rawColour(std::int64_t raw) {
    const auto value = static_cast<std::uint32_t>(raw);
    const std::uint32_t type = value >> 24;
    if (type == 0xC3) {
        return paletteColour(static_cast<int>(value & 0xff));
    }
    if (type != 0xC2) {
        return {};
    }
    return rgbColour(value >> 16, value >> 8, value);
}

void addLeaderLine(RawDrawing& drawing, std::vector<AcGePoint3d> points, bool withArrow) {
    if (points.size() < 2) {
        return;
    }
    if (withArrow) {
        std::vector<AcGePoint3d> head =
            arrowHead(points[0], points[1], (points[1] - points[0]).length() / 6);
        if (!head.empty()) {
            drawing.chains.push_back({std::move(head), true, "arrow"});
        }
    }
    drawing.chains.push_back({std::move(points), false, ""});
}

void readImage(Cursor& at, RawDrawing& drawing, const char* cssClass) {
    const AcGePoint3d corner = at.point(10);
    const AcGeVector3d u = at.point(11).asVector();
    const AcGeVector3d v = at.point(12).asVector();
    const AcGePoint3d size = at.point(13);
    drawing.chains.push_back(
        {{corner, corner + u * size.x, corner + u * size.x + v * size.y, corner + v * size.y},
         true,
         cssClass});
}

void readLeader(const host::DxfItemList& groups, RawDrawing& drawing) {
    bool withArrow = true;
    std::vector<AcGePoint3d> points;
    for (const host::DxfItem& item : groups) {
        if (item.code == 71) {
            withArrow = item.integer() != 0;
        } else if (item.code == 10) {
            points.push_back(item.point());
        }
    }
    addLeaderLine(drawing, std::move(points), withArrow);
}

// The context data of a multileader (between 300 and 301): the text (304, at 12, 41 high,
// along 13) or the block (341, at 15, scaled by 16, turned by 46 radians about 14) before the
// first leader, and per leader (302 to 303) its lines (304 to 305), each from its arrow to the
// leader's landing point (10) and on along the dogleg (11, 40 long).
void readMultileader(const host::DxfItemList& groups, RawDrawing& drawing) {
    RawDrawing::Label label;
    RawDrawing::Block block;
    std::vector<AcGePoint3d> line;
    AcGePoint3d landing;
    AcGeVector3d dogleg;
    enum { kOutside, kContext, kLeader, kLine } where = kOutside;
    for (const host::DxfItem& item : groups) {
        switch (where) {
            case kOutside:
                where = item.code == 300 ? kContext : kOutside;
                break;
            case kContext:
                if (item.code == 41) {
                    label.height = item.real();
                } else if (item.code == 304) {
                    label.contents = item.text();
                } else if (item.code == 12) {
                    label.position = item.point();
                } else if (item.code == 13) {
                    label.direction = item.point().asVector();
                } else if (item.code == 341) {
                    block.block = item.id();
                } else if (item.code == 14) {
                    block.normal = item.point().asVector();
                } else if (item.code == 15) {
                    block.position = item.point();
                } else if (item.code == 16) {
                    const AcGePoint3d scale = item.point();
                    block.scale = AcGeScale3d(scale.x, scale.y, scale.z);
                } else if (item.code == 46) {
                    block.rotation = item.real();
                } else if (item.code == 93) {
                    block.colour = rawColour(item.integer());
                } else if (item.code == 302) {
                    where = kLeader;
                    dogleg = AcGeVector3d();
                } else if (item.code == 301) {
                    where = kOutside;
                }
                break;
            case kLeader:
                if (item.code == 10) {
                    landing = item.point();
                } else if (item.code == 11) {
                    dogleg = item.point().asVector();
                } else if (item.code == 40) {
                    dogleg = dogleg * item.real();
                    if (dogleg.length() > 0.0) {
                        drawing.chains.push_back({{landing, landing + dogleg}, false, ""});
                    }
                } else if (item.code == 304) {
                    where = kLine;
                    line.clear();
                } else if (item.code == 303) {
                    where = kContext;
                }
                break;
            case kLine:
                if (item.code == 10) {
                    line.push_back(item.point());
                } else if (item.code == 305) {
                    line.push_back(landing);
                    addLeaderLine(drawing, line, true);
                    where = kLeader;
                }
                break;
        }
    }
    if (!label.contents.empty() && label.height > 0.0) {
        drawing.labels.push_back(label);
    }
    if (!block.block.isNull()) {
        drawing.blocks.push_back(block);
    }
}

// Appends the points of one hatch boundary edge (72 type first) to loop.
void readEdge(Cursor& at, std::vector<AcGePoint3d>& loop) {
    const std::int64_t type = at.integer(72);
    if (type == 1) {
        const AcGePoint3d from = at.point(10);
        const AcGePoint3d to = at.point(11);
        if (loop.empty() || loop.back() != from) {
            loop.push_back(from);
        }
        loop.push_back(to);
    } else if (type == 2 || type == 3) {
        const AcGePoint3d centre = at.point(10);
        AcGeVector3d u(1, 0, 0);
        double ratio = 1.0;
        if (type == 3) {
            u = at.point(11).asVector();
            ratio = at.real(40);
        } else {
            u = u * at.real(40);
        }
        const double start = at.real(50) * kPi / 180.0;
        const double end = at.real(51) * kPi / 180.0;
        const bool counterClockwise = at.integer(73, 1) != 0;
        AcGeVector3d v = AcGeVector3d(-u.y, u.x, 0) * ratio;
        // A clockwise edge keeps its angles counter-clockwise in a mirrored frame.
        if (!counterClockwise) {
            v = v * -1.0;
        }
        const double sweep =
            std::abs(end - start - 2 * kPi) < 1e-9 ? 2 * kPi : sweepBetween(start, end);
        appendEllipticArc(centre, u, v, start, sweep, loop);
    } else if (type == 4) {
        const int degree = static_cast<int>(at.integer(94, 3));
        const bool rational = at.integer(73) != 0;
        at.integer(74);
        const std::int64_t knotCount = at.count(95);
        const std::int64_t controlCount = at.count(96);
        std::vector<double> knots;
        std::vector<AcGePoint3d> controls;
        std::vector<double> weights;
        for (std::int64_t i = 0; i < knotCount && at.code() == 40; ++i) {
            knots.push_back(at.real(40));
        }
        for (std::int64_t i = 0; i < controlCount && at.code() == 10; ++i) {
            controls.push_back(at.point(10));
            if (rational && at.code() == 42) {
                weights.push_back(at.real(42, 1.0));
            }
        }
        const std::vector<AcGePoint3d> points =
            bsplinePoints(degree, knots, controls, weights, kSplineSamples);
        loop.insert(loop.end(), points.begin(), points.end());
        const std::int64_t fitCount = at.count(97);
        for (std::int64_t i = 0; i < fitCount && at.code() == 11; ++i) {
            at.point(11);
        }
        at.point(12);
        at.point(13);
    }
}

void readHatch(Cursor& at, RawDrawing& drawing) {
    at.seek(10);
    const double elevation = at.point(10).z;
    const AcGeVector3d normal = at.code() == 210 ? at.point(210).asVector() : AcGeVector3d::kZAxis;
    at.text(2);
    drawing.areaClass = at.integer(70) == 1 ? "hatch" : "pattern";
    at.integer(71);
    const std::int64_t loops = at.count(91);
    const AcGeMatrix3d toWorld = AcGeMatrix3d::planeToWorld(normal);
    for (std::int64_t l = 0; l < loops && at.code() == 92; ++l) {
        const std::int64_t type = at.integer(92);
        std::vector<AcGePoint3d> loop;
        if ((type & 2) != 0) {
            const bool bulges = at.integer(72) != 0;
            at.integer(73);
            const std::int64_t count = at.count(93);
            std::vector<std::pair<AcGePoint3d, double>> vertices;
            for (std::int64_t i = 0; i < count && at.code() == 10; ++i) {
                const AcGePoint3d point = at.point(10);
                vertices.emplace_back(point, bulges ? at.real(42) : 0.0);
            }
            for (std::size_t i = 0; i < vertices.size(); ++i) {
                if (i == 0) {
                    loop.push_back(vertices[0].first);
                }
                appendBulge(vertices[i].first, vertices[(i + 1) % vertices.size()].first,
                            vertices[i].second, loop);
            }
        } else {
            const std::int64_t edges = at.count(93);
            for (std::int64_t e = 0; e < edges && at.code() == 72; ++e) {
                readEdge(at, loop);
            }
        }
        const std::int64_t sources = at.count(97);
        for (std::int64_t i = 0; i < sources && at.code() == 330; ++i) {
            at.skip();
        }
        for (AcGePoint3d& point : loop) {
            point = AcGePoint3d(point.x, point.y, elevation).transformBy(toWorld);
        }
        drawing.loops.push_back(std::move(loop));
    }
}

}  // namespace

bool readRawDrawing(const std::wstring& dxfName, const host::DxfItemList& groups,
                    RawDrawing& drawing) {
    Cursor at(groups);
    if (dxfName == L"IMAGE" || dxfName == L"WIPEOUT") {
        at.seek(10);
        readImage(at, drawing, dxfName == L"IMAGE" ? "image" : "wipeout");
    } else if (dxfName == L"XLINE" || dxfName == L"RAY") {
        at.seek(10);
        const AcGePoint3d base = at.point(10);
        drawing.lines.push_back({base, at.point(11).asVector(), dxfName == L"XLINE"});
    } else if (dxfName == L"LEADER") {
        readLeader(groups, drawing);
    } else if (dxfName == L"MULTILEADER" || dxfName == L"MLEADER") {
        readMultileader(groups, drawing);
    } else if (dxfName == L"HATCH") {
        readHatch(at, drawing);
    } else {
        return false;
    }
    return true;
}

bool RawPolylineReader::take(const std::wstring& dxfName, const host::DxfItemList& groups,
                             RawDrawing& drawing) {
    if (dxfName == L"POLYLINE") {
        *this = RawPolylineReader();
        m_open = true;
        for (const host::DxfItem& item : groups) {
            if (item.code == 71) {
                m_rows = static_cast<int>(std::clamp<std::int64_t>(item.integer(), 0, kMaxCount));
            } else if (item.code == 72) {
                m_columns =
                    static_cast<int>(std::clamp<std::int64_t>(item.integer(), 0, kMaxCount));
            }
        }
        return true;
    }
    if (!m_open || (dxfName != L"VERTEX" && dxfName != L"SEQEND")) {
        return false;
    }
    if (dxfName == L"VERTEX") {
        AcGePoint3d position;
        std::int64_t flags = 0;
        std::array<std::int64_t, 4> face{};
        for (const host::DxfItem& item : groups) {
            if (item.code == 10) {
                position = item.point();
            } else if (item.code == 70) {
                flags = item.integer();
            } else if (item.code >= 71 && item.code <= 74) {
                face[static_cast<std::size_t>(item.code - 71)] = std::abs(item.integer());
            }
        }
        if ((flags & 128) != 0 && (flags & 64) == 0) {
            m_faces.push_back(face);
        } else {
            m_positions.push_back(position);
        }
        return true;
    }
    m_open = false;
    const auto count = static_cast<std::int64_t>(m_positions.size());
    for (const std::array<std::int64_t, 4>& face : m_faces) {
        RawDrawing::Chain chain{{}, true, "face"};
        for (const std::int64_t index : face) {
            if (index >= 1 && index <= count) {
                chain.points.push_back(m_positions[static_cast<std::size_t>(index - 1)]);
            }
        }
        drawing.chains.push_back(std::move(chain));
    }
    if (m_faces.empty() && m_rows > 0 && m_columns > 0 &&
        static_cast<std::int64_t>(m_rows) * m_columns <= count) {
        for (int r = 0; r < m_rows; ++r) {
            drawing.chains.push_back(
                {{m_positions.begin() + r * m_columns, m_positions.begin() + (r + 1) * m_columns},
                 false,
                 ""});
        }
        for (int c = 0; c < m_columns; ++c) {
            RawDrawing::Chain column;
            for (int r = 0; r < m_rows; ++r) {
                column.points.push_back(m_positions[static_cast<std::size_t>(r * m_columns + c)]);
            }
            drawing.chains.push_back(std::move(column));
        }
    }
    m_positions.clear();
    m_faces.clear();
    return true;
}

std::vector<AcGeVector3d> RawArray::offsets() const {
    const AcGeVector3d column(std::cos(rotation) * columnSpacing,
                              std::sin(rotation) * columnSpacing, 0.0);
    const AcGeVector3d row(-std::sin(rotation) * rowSpacing, std::cos(rotation) * rowSpacing, 0.0);
    std::vector<AcGeVector3d> places;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            places.push_back(column * c + row * r);
        }
    }
    return places;
}

bool readArray(const std::wstring& dxfName, const host::DxfItemList& groups, RawArray& array) {
    if (dxfName != L"INSERT") {
        return false;
    }
    const auto count = [](const host::DxfItem& item) {
        return static_cast<int>(std::clamp<std::int64_t>(item.integer(), 1, 1000));
    };
    for (const host::DxfItem& item : groups) {
        switch (item.code) {
            case 2:
                array.block = item.text();
                break;
            case 10:
                array.position = item.point();
                break;
            case 41:
                array.scale.sx = item.real();
                break;
            case 42:
                array.scale.sy = item.real();
                break;
            case 43:
                array.scale.sz = item.real();
                break;
            case 50:
                array.rotation = item.real() * kPi / 180.0;
                break;
            case 70:
                array.columns = count(item);
                break;
            case 71:
                array.rows = count(item);
                break;
            case 44:
                array.columnSpacing = item.real();
                break;
            case 45:
                array.rowSpacing = item.real();
                break;
            case 210:
                array.normal = item.point().asVector();
                break;
            default:
                break;
        }
    }
    return true;
}

bool readRawAttribute(const std::wstring& dxfName, const host::DxfItemList& groups, AcDbText& text,
                      bool& visible) {
    if (dxfName != L"ATTRIB") {
        return false;
    }
    visible = true;
    constexpr double kDegree = kPi / 180.0;
    for (const host::DxfItem& item : groups) {
        switch (item.code) {
            case 101:  // an embedded multiline text: its groups are not the attribute's
                return true;
            case 1:
                text.setTextString(item.text().c_str());
                break;
            case 10:
                text.setPosition(item.point());
                break;
            case 11:
                text.setAlignmentPoint(item.point());
                break;
            case 40:
                text.setHeight(item.real());
                break;
            case 41:
                text.setWidthFactor(item.real());
                break;
            case 50:
                text.setRotation(item.real() * kDegree);
                break;
            case 51:
                text.setOblique(item.real() * kDegree);
                break;
            case 70:
                visible = (item.integer() & 1) == 0;
                break;
            case 71:
                text.mirrorInX((item.integer() & 2) != 0);
                text.mirrorInY((item.integer() & 4) != 0);
                break;
            case 72:  // a value outside the modes leaves the default
                if (item.integer() >= AcDb::kTextLeft && item.integer() <= AcDb::kTextFit) {
                    text.setHorizontalMode(static_cast<AcDb::TextHorzMode>(item.integer()));
                }
                break;
            case 74:
                if (item.integer() >= AcDb::kTextBase && item.integer() <= AcDb::kTextTop) {
                    text.setVerticalMode(static_cast<AcDb::TextVertMode>(item.integer()));
                }
                break;
            case 210:
                text.setNormal(item.point().asVector());
                break;
            default:
                break;
        }
    }
    return true;
}

bool readViewport(const std::wstring& dxfName, const host::DxfItemList& groups,
                  RawViewport& viewport) {
    if (dxfName != L"VIEWPORT") {
        return false;
    }
    for (const host::DxfItem& item : groups) {
        switch (item.code) {
            case 10:
                viewport.centre = item.point();
                break;
            case 12:
                viewport.viewCentre = item.point();
                break;
            case 17:
                viewport.target = item.point();
                break;
            case 40:
                viewport.width = item.real();
                break;
            case 41:
                viewport.height = item.real();
                break;
            case 45:
                viewport.viewHeight = item.real();
                break;
            case 68:
                viewport.status = item.integer();
                break;
            case 69:
                viewport.id = item.integer();
                break;
            default:
                break;
        }
    }
    return true;
}
