// SvgCanvas: collects SVG elements in world coordinates (y up) with their extents and writes
// them as one SVG document (y down) whose view box frames them.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "host/ge/point3d.h"

class SvgCanvas {
public:
    // The colour ("#rrggbb") of the elements added from now on; none: the page's default.
    void setColour(std::string colour) { m_colour = std::move(colour); }
    // A <line>.
    void line(const AcGePoint3d& from, const AcGePoint3d& to);
    // A <circle> (centre in the XY plane).
    void circle(const AcGePoint3d& centre, double radius);
    // An open or closed chain of points: <polyline>/<polygon> with the class given (none when
    // empty), or <path class="..."> when asPath.
    void chain(const std::vector<AcGePoint3d>& points, bool closed, const char* cssClass,
               bool asPath = false);
    // Text whose baseline starts (anchor "start"), centres ("middle") or ends ("end") at
    // position, turned by angle radians counter-clockwise.
    void text(const AcGePoint3d& position, double height, double angle, const char* anchor,
              const std::wstring& text);
    // A dot, written after everything else with a radius of 0.4% of the picture's size.
    void point(const AcGePoint3d& position);
    // <g class="cssClass"> and its end; the caller pairs them.
    void beginGroup(const char* cssClass);
    void endGroup();

    // Writes the whole document; an empty canvas gives an empty picture of 1 x 1 units.
    void write(std::ostream& out) const;

private:
    // The point's SVG coordinates (y negated) as texts, taken into the extents.
    std::pair<std::string, std::string> at(const AcGePoint3d& point);
    // Takes the SVG point into the extents unless it is not finite.
    void extend(double x, double y);

    // The style attribute that gives the element the current colour.
    std::string colourAttribute() const;

    std::string m_body;
    std::string m_colour;
    std::vector<std::pair<AcGePoint3d, std::string>> m_points;  // with their colour attributes
    double m_minX = 0, m_minY = 0, m_maxX = 0, m_maxY = 0;
    bool m_empty = true;
};
