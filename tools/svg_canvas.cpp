// The SVG document: coordinates are written with y negated so that the drawing's y axis points
// up on screen. Stroke widths come from the view box at the end: the default width in the
// style sheet and one class "wN" per line weight N used, so elements never need rewriting.
#include "tools/svg_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "kestrel/platform/utf8.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kMaxWeight = 211;

// The value as an SVG number; values that are not finite are written as 0, so that a damaged
// entity cannot make the document unreadable.
std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g",
                  std::abs(value) < 1e-9 || !std::isfinite(value) ? 0.0 : value);
    return text;
}

std::string escaped(const std::wstring& text) {
    std::string out;
    for (char c : wideToUtf8(text)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control characters are not allowed in XML 1.0.
                if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
                    out += c;
                }
        }
    }
    return out;
}

int clampedWeight(int weight) {
    return std::clamp(weight, SvgCanvas::kThinnestWeight, kMaxWeight);
}

// The part of the line base + t direction inside the box, t >= 0 for a ray; false when it
// misses the box (Liang-Barsky clipping).
bool clip(double x, double y, double dx, double dy, bool bothWays, const double (&box)[4],
          double (&ends)[4]) {
    double t0 = bothWays ? -1e300 : 0.0;
    double t1 = 1e300;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x - box[0], box[2] - x, y - box[1], box[3] - y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    ends[0] = x + t0 * dx;
    ends[1] = y + t0 * dy;
    ends[2] = x + t1 * dx;
    ends[3] = y + t1 * dy;
    return true;
}

}  // namespace

SvgCanvas::SvgCanvas() : m_spill(nullptr, &std::fclose), m_weightsUsed(kMaxWeight + 1) {}

SvgCanvas::~SvgCanvas() = default;

void SvgCanvas::extend(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y) || m_clipDepth > 0) {
        return;
    }
    if (m_empty) {
        m_minX = m_maxX = x;
        m_minY = m_maxY = y;
        m_empty = false;
        return;
    }
    m_minX = std::min(m_minX, x);
    m_maxX = std::max(m_maxX, x);
    m_minY = std::min(m_minY, y);
    m_maxY = std::max(m_maxY, y);
}

std::pair<std::string, std::string> SvgCanvas::at(const AcGePoint3d& point) {
    extend(point.x, -point.y);
    return {number(point.x), number(-point.y)};
}

void SvgCanvas::setStroke(SvgStroke stroke) {
    m_stroke = std::move(stroke);
    if (m_stroke.weight >= 0 && m_stroke.width <= 0.0) {
        m_weightsUsed[clampedWeight(m_stroke.weight)] = true;
    }
}

std::string SvgCanvas::strokeAttributes(const char* cssClass) const {
    std::string classes = cssClass != nullptr ? cssClass : "";
    if (m_stroke.weight >= 0 && m_stroke.width <= 0.0) {
        classes += (classes.empty() ? "w" : " w") + std::to_string(clampedWeight(m_stroke.weight));
    }
    std::string style;
    if (!m_stroke.colour.empty()) {
        style += "color:" + m_stroke.colour;
    }
    if (m_stroke.width > 0.0) {
        style += (style.empty() ? "" : ";") + std::string("stroke-width:") + number(m_stroke.width);
    }
    if (!m_stroke.dashes.empty()) {
        std::string list;
        for (double dash : m_stroke.dashes) {
            list += (list.empty() ? "" : ",") + number(std::abs(dash));
        }
        style += (style.empty() ? "" : ";") + std::string("stroke-dasharray:") + list +
                 ";stroke-linecap:round";
    }
    return (classes.empty() ? std::string() : " class=\"" + classes + "\"") +
           (style.empty() ? std::string() : " style=\"" + style + "\"");
}

void SvgCanvas::append(const std::string& element) {
    m_body += element;
    if (m_body.size() < kSpillBytes) {
        return;
    }
    if (!m_spill) {
        m_spill.reset(std::tmpfile());
    }
    if (m_spill && std::fwrite(m_body.data(), 1, m_body.size(), m_spill.get()) == m_body.size()) {
        m_body.clear();
    }
}

void SvgCanvas::line(const AcGePoint3d& from, const AcGePoint3d& to) {
    const auto [x1, y1] = at(from);
    const auto [x2, y2] = at(to);
    append("<line" + strokeAttributes(nullptr) + " x1=\"" + x1 + "\" y1=\"" + y1 + "\" x2=\"" + x2 +
           "\" y2=\"" + y2 + "\"/>\n");
}

void SvgCanvas::circle(const AcGePoint3d& centre, double radius) {
    extend(centre.x - radius, -centre.y - radius);
    extend(centre.x + radius, -centre.y + radius);
    append("<circle" + strokeAttributes(nullptr) + " cx=\"" + number(centre.x) + "\" cy=\"" +
           number(-centre.y) + "\" r=\"" + number(radius) + "\"/>\n");
}

void SvgCanvas::chain(const std::vector<AcGePoint3d>& points, bool closed, const char* cssClass,
                      bool asPath) {
    std::string list;
    for (const AcGePoint3d& point : points) {
        const auto [x, y] = at(point);
        list += (list.empty() ? (asPath ? "M" : "") : (asPath ? " L" : " ")) + x + "," + y;
    }
    if (asPath) {
        append("<path" + strokeAttributes(cssClass) + " d=\"" + list + (closed ? " Z" : "") +
               "\"/>\n");
    } else {
        append(std::string(closed ? "<polygon" : "<polyline") + strokeAttributes(cssClass) +
               " points=\"" + list + "\"/>\n");
    }
}

std::string SvgCanvas::pathData(const std::vector<std::vector<AcGePoint3d>>& loops) {
    std::string data;
    for (const std::vector<AcGePoint3d>& loop : loops) {
        if (loop.size() < 2) {
            continue;
        }
        for (std::size_t i = 0; i < loop.size(); ++i) {
            const auto [x, y] = at(loop[i]);
            data += (i == 0 ? (data.empty() ? "M" : " M") : " L") + x + "," + y;
        }
        data += " Z";
    }
    return data;
}

void SvgCanvas::area(const std::vector<std::vector<AcGePoint3d>>& loops, const char* cssClass) {
    const std::string data = pathData(loops);
    if (!data.empty()) {
        append("<path" + strokeAttributes(cssClass) + " fill-rule=\"evenodd\" d=\"" + data +
               "\"/>\n");
    }
}

void SvgCanvas::text(const AcGePoint3d& position, double height, const SvgTextLayout& layout,
                     const char* anchor, const std::wstring& text) {
    MTextRun run;
    run.text = text;
    this->text(position, height, layout, anchor, std::vector<MTextRun>{std::move(run)});
}

void SvgCanvas::text(const AcGePoint3d& position, double height, const SvgTextLayout& layout,
                     const char* anchor, const std::vector<MTextRun>& runs) {
    const auto [x, y] = at(position);
    std::string shown;
    std::size_t characters = 0;
    for (const MTextRun& run : runs) {
        characters += run.text.size();
        const bool plain = !run.bold && !run.italic && run.colour.empty();
        shown += plain ? escaped(run.text)
                       : std::string("<tspan") + (run.bold ? " font-weight=\"bold\"" : "") +
                             (run.italic ? " font-style=\"italic\"" : "") +
                             (run.colour.empty() ? "" : " style=\"fill:" + run.colour + "\"") +
                             ">" + escaped(run.text) + "</tspan>";
    }
    // Estimated extents: 0.7 heights per character along the baseline, shifted by the anchor.
    const double length = 0.7 * height * layout.widthFactor * static_cast<double>(characters);
    const double shift = std::string(anchor) == "middle" ? 0.5 : anchor[0] == 'e' ? 1.0 : 0.0;
    const double c = std::cos(layout.angle);
    const double s = std::sin(layout.angle);
    for (const double along : {-shift * length, (1 - shift) * length}) {
        for (const double up : {0.0, height}) {
            extend(position.x + along * c - up * s, -(position.y + along * s + up * c));
        }
    }
    std::string transform;
    if (layout.angle != 0.0) {
        transform += " rotate(" + number(-layout.angle * 180.0 / kPi) + ")";
    }
    // The letters are widened, then slanted, then mirrored as a whole (the rightmost
    // transform acts first).
    if (layout.mirrorX || layout.mirrorY) {
        transform += std::string(" scale(") + (layout.mirrorX ? "-1" : "1") + " " +
                     (layout.mirrorY ? "-1" : "1") + ")";
    }
    if (layout.oblique != 0.0 && std::isfinite(layout.oblique)) {
        transform += " skewX(" + number(-layout.oblique * 180.0 / kPi) + ")";
    }
    if (layout.widthFactor != 1.0) {
        transform += " scale(" + number(layout.widthFactor) + " 1)";
    }
    std::string element = "<text" + strokeAttributes(nullptr) + " font-size=\"" +
                          number(height / kCapHeight) + "\" text-anchor=\"" + anchor + "\"";
    if (transform.empty()) {
        element += " x=\"" + x + "\" y=\"" + y + "\"";
    } else {
        element += " transform=\"translate(" + x + " " + y + ")" + transform + "\"";
    }
    append(element + ">" + shown + "</text>\n");
}

void SvgCanvas::point(const AcGePoint3d& position) {
    extend(position.x, -position.y);
    m_deferred.push_back({position, AcGeVector3d(), false, true, strokeAttributes("point")});
}

void SvgCanvas::infiniteLine(const AcGePoint3d& base, const AcGeVector3d& direction,
                             bool bothWays) {
    if (!std::isfinite(direction.x) || !std::isfinite(direction.y) ||
        (direction.x == 0.0 && direction.y == 0.0)) {
        return;
    }
    extend(base.x, -base.y);
    m_deferred.push_back({base, direction, bothWays, false, strokeAttributes("ray")});
}

void SvgCanvas::beginClip(const std::vector<std::vector<AcGePoint3d>>& loops) {
    const std::string id = "clip" + std::to_string(++m_clips);
    append("<clipPath id=\"" + id + "\"><path clip-rule=\"evenodd\" d=\"" + pathData(loops) +
           "\"/></clipPath>\n<g clip-path=\"url(#" + id + ")\">\n");
    ++m_clipDepth;
}

void SvgCanvas::endClip() {
    append("</g>\n");
    m_clipDepth = std::max(0, m_clipDepth - 1);
}

void SvgCanvas::beginGroup(const char* cssClass) {
    append(std::string("<g class=\"") + cssClass + "\">\n");
}

void SvgCanvas::endGroup() {
    append("</g>\n");
}

bool SvgCanvas::write(std::ostream& out) {
    const double width = m_empty ? 1.0 : std::max(m_maxX - m_minX, 1e-6);
    const double height = m_empty ? 1.0 : std::max(m_maxY - m_minY, 1e-6);
    const double size = std::max(width, height);
    const double margin = 0.05 * size;
    const double box[4] = {m_minX - margin, m_minY - margin, m_minX + width + margin,
                           m_minY + height + margin};
    const double millimetre = (size + 2 * margin) / kSheetMm;
    std::string weights;
    for (int weight = 0; weight <= kMaxWeight; ++weight) {
        if (m_weightsUsed[weight]) {
            weights += ".w" + std::to_string(weight) +
                       "{stroke-width:" + number(weight / 100.0 * millimetre) + "}";
        }
    }
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << number(box[0]) << " "
        << number(box[1]) << " " << number(box[2] - box[0]) << " " << number(box[3] - box[1])
        << "\">\n"
        << "<style>svg{color:#1f2933}line,path,polyline,polygon,circle{fill:none;"
           "stroke:currentColor;stroke-linejoin:round;stroke-width:"
        << number(kDefaultWeight / 100.0 * millimetre) << "}" << weights
        << ".solid,.hatch,.arrow{fill:currentColor}.hatch{stroke:none}"
           ".pattern{fill:currentColor;fill-opacity:0.12}.wipeout{fill:white}"
           ".point{fill:currentColor}text{fill:currentColor;stroke:none;"
           "font-family:sans-serif}</style>\n"
        << "<rect x=\"" << number(box[0]) << "\" y=\"" << number(box[1]) << "\" width=\""
        << number(box[2] - box[0]) << "\" height=\"" << number(box[3] - box[1])
        << "\" fill=\"white\" stroke=\"none\"/>\n";
    if (m_spill) {
        std::rewind(m_spill.get());
        char buffer[1 << 16];
        std::size_t read = 0;
        while ((read = std::fread(buffer, 1, sizeof buffer, m_spill.get())) > 0) {
            out.write(buffer, static_cast<std::streamsize>(read));
        }
        if (std::ferror(m_spill.get())) {
            return false;
        }
    }
    out << m_body;
    const double pointRadius = 0.002 * size;
    for (const Deferred& item : m_deferred) {
        if (item.isPoint) {
            out << "<circle" << item.attributes << " cx=\"" << number(item.base.x) << "\" cy=\""
                << number(-item.base.y) << "\" r=\"" << number(pointRadius) << "\"/>\n";
            continue;
        }
        double ends[4];
        if (clip(item.base.x, -item.base.y, item.direction.x, -item.direction.y, item.bothWays, box,
                 ends)) {
            out << "<line" << item.attributes << " x1=\"" << number(ends[0]) << "\" y1=\""
                << number(ends[1]) << "\" x2=\"" << number(ends[2]) << "\" y2=\"" << number(ends[3])
                << "\"/>\n";
        }
    }
    out << "</svg>\n";
    return static_cast<bool>(out);
}
