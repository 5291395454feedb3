// The SVG document: coordinates are written with y negated so that the drawing's y axis points
// up on screen; strokes keep one pixel at any zoom (non-scaling-stroke).
#include "tools/svg_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/utf8.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

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
                out += c;
        }
    }
    return out;
}

std::string classAttribute(const char* cssClass) {
    return cssClass != nullptr && *cssClass != '\0' ? std::string(" class=\"") + cssClass + "\""
                                                    : std::string();
}

}  // namespace

void SvgCanvas::extend(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) {
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

void SvgCanvas::line(const AcGePoint3d& from, const AcGePoint3d& to) {
    const auto [x1, y1] = at(from);
    const auto [x2, y2] = at(to);
    m_body += "<line" + colourAttribute() + " x1=\"" + x1 + "\" y1=\"" + y1 + "\" x2=\"" + x2 +
              "\" y2=\"" + y2 + "\"/>\n";
}

void SvgCanvas::circle(const AcGePoint3d& centre, double radius) {
    extend(centre.x - radius, -centre.y - radius);
    extend(centre.x + radius, -centre.y + radius);
    m_body += "<circle" + colourAttribute() + " cx=\"" + number(centre.x) + "\" cy=\"" +
              number(-centre.y) + "\" r=\"" + number(radius) + "\"/>\n";
}

void SvgCanvas::chain(const std::vector<AcGePoint3d>& points, bool closed, const char* cssClass,
                      bool asPath) {
    std::string list;
    for (const AcGePoint3d& point : points) {
        const auto [x, y] = at(point);
        list += (list.empty() ? (asPath ? "M" : "") : (asPath ? " L" : " ")) + x + "," + y;
    }
    if (asPath) {
        m_body += "<path" + classAttribute(cssClass) + colourAttribute() + " d=\"" + list +
                  (closed ? " Z" : "") + "\"/>\n";
    } else {
        m_body += std::string(closed ? "<polygon" : "<polyline") + classAttribute(cssClass) +
                  colourAttribute() + " points=\"" + list + "\"/>\n";
    }
}

void SvgCanvas::text(const AcGePoint3d& position, double height, double angle, const char* anchor,
                     const std::wstring& text) {
    const auto [x, y] = at(position);
    extend(position.x + height * std::cos(angle), -position.y - height * std::sin(angle));
    m_body += "<text" + colourAttribute() + " x=\"" + x + "\" y=\"" + y + "\" font-size=\"" +
              number(height) + "\" text-anchor=\"" + anchor + "\"";
    if (angle != 0.0) {
        m_body += " transform=\"rotate(" + number(-angle * 180.0 / kPi) + " " + x + " " + y + ")\"";
    }
    m_body += ">" + escaped(text) + "</text>\n";
}

void SvgCanvas::point(const AcGePoint3d& position) {
    extend(position.x, -position.y);
    m_points.emplace_back(position, colourAttribute());
}

std::string SvgCanvas::colourAttribute() const {
    return m_colour.empty() ? std::string() : " style=\"color:" + m_colour + "\"";
}

void SvgCanvas::beginGroup(const char* cssClass) {
    m_body += "<g" + classAttribute(cssClass) + ">\n";
}

void SvgCanvas::endGroup() {
    m_body += "</g>\n";
}

void SvgCanvas::write(std::ostream& out) const {
    const double width = m_empty ? 1.0 : std::max(m_maxX - m_minX, 1e-6);
    const double height = m_empty ? 1.0 : std::max(m_maxY - m_minY, 1e-6);
    const double margin = 0.05 * std::max(width, height);
    const double pointRadius = 0.004 * std::max(width, height);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"" << number(m_minX - margin) << " "
        << number(m_minY - margin) << " " << number(width + 2 * margin) << " "
        << number(height + 2 * margin) << "\">\n"
        << "<style>svg{color:#1f2933}line,path,polyline,polygon,circle{fill:none;"
           "stroke:currentColor;vector-effect:non-scaling-stroke}"
           ".solid{fill:currentColor;fill-opacity:0.4}.point{fill:currentColor}"
           "text{fill:currentColor;stroke:none;font-family:sans-serif}</style>\n"
        << "<rect x=\"" << number(m_minX - margin) << "\" y=\"" << number(m_minY - margin)
        << "\" width=\"" << number(width + 2 * margin) << "\" height=\""
        << number(height + 2 * margin) << "\" fill=\"white\" stroke=\"none\"/>\n"
        << m_body;
    for (const auto& [point, colour] : m_points) {
        out << "<circle class=\"point\"" << colour << " cx=\"" << number(point.x) << "\" cy=\""
            << number(-point.y) << "\" r=\"" << number(pointRadius) << "\"/>\n";
    }
    out << "</svg>\n";
}
