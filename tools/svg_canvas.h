// SvgCanvas: collects SVG elements in world coordinates (y up) with their extents and writes
// them as one SVG document (y down) whose view box frames them. Stroke widths are written in
// the picture's own units, computed from the view box, so that every SVG viewer shows the same
// picture (no non-scaling strokes). Elements already written are spilled to a temporary file
// once they pass kSpillBytes, so a large drawing does not hold its whole picture in memory.
#pragma once

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "kestrel/host/ge/point3d.h"
#include "tools/svg_text.h"

// How the elements added next are stroked: colour ("#rrggbb", empty: the page's default), line
// weight in hundredths of a millimetre (negative: the default weight), dash pattern in drawing
// units (empty: continuous; a 0 is a dot) and a width in drawing units that replaces the weight
// when positive (polyline widths).
struct SvgStroke {
    std::string colour;
    int weight = -1;
    std::vector<double> dashes;
    double width = 0.0;
};

// How a text is laid out at its anchor: the baseline's direction (radians counter-clockwise),
// the slant of its letters (radians, positive leaning right), its width factor and mirroring.
struct SvgTextLayout {
    double angle = 0.0;
    double oblique = 0.0;
    double widthFactor = 1.0;
    bool mirrorX = false;  // backwards
    bool mirrorY = false;  // upside down
};

class SvgCanvas {
public:
    // Decision: the picture stands for a sheet whose larger side is kSheetMm millimetres; line
    // weights and the default weight (kDefaultWeight hundredths of a millimetre) are scaled from
    // it, weights below kThinnestWeight are drawn at that weight.
    static constexpr double kSheetMm = 250.0;
    static constexpr int kDefaultWeight = 25;
    static constexpr int kThinnestWeight = 13;
    // Decision: a text's height is the height of its capitals; the font size is the height
    // divided by kCapHeight, the capitals' share of a sans-serif font's size.
    static constexpr double kCapHeight = 0.72;
    static constexpr std::size_t kSpillBytes = 1 << 22;

    SvgCanvas();
    ~SvgCanvas();
    SvgCanvas(const SvgCanvas&) = delete;
    SvgCanvas& operator=(const SvgCanvas&) = delete;

    // The stroke of the elements added from now on.
    void setStroke(SvgStroke stroke);
    // A <line>.
    void line(const AcGePoint3d& from, const AcGePoint3d& to);
    // A <circle> (centre in the XY plane).
    void circle(const AcGePoint3d& centre, double radius);
    // An open or closed chain of points: <polyline>/<polygon> with the class given (none when
    // empty), or <path class="..."> when asPath.
    void chain(const std::vector<AcGePoint3d>& points, bool closed, const char* cssClass,
               bool asPath = false);
    // Closed loops filled as one <path class="cssClass"> with fill-rule evenodd (an inner loop
    // is a hole); loops of fewer than two points are left out, nothing is written without any.
    void area(const std::vector<std::vector<AcGePoint3d>>& loops, const char* cssClass);
    // Text whose baseline starts (anchor "start"), centres ("middle") or ends ("end") at
    // position; extents are estimated from the number of characters.
    void text(const AcGePoint3d& position, double height, const SvgTextLayout& layout,
              const char* anchor, const std::wstring& text);
    // The same for a line of runs: each run in its style a <tspan>.
    void text(const AcGePoint3d& position, double height, const SvgTextLayout& layout,
              const char* anchor, const std::vector<MTextRun>& runs);
    // A dot, written after everything else with a radius of 0.2% of the picture's size.
    void point(const AcGePoint3d& position);
    // A line through base along direction, one way (a ray) or both (a construction line),
    // written after everything else as a <line class="ray"> clipped to the view box. Only base
    // counts for the extents; a zero or non-finite direction draws nothing.
    void infiniteLine(const AcGePoint3d& base, const AcGeVector3d& direction, bool bothWays);
    // Starts a group clipped to the closed loops (inside an odd number of them); the elements up
    // to endClip are cut at them and do not count for the extents (the loops do). The caller
    // pairs them.
    void beginClip(const std::vector<std::vector<AcGePoint3d>>& loops);
    void endClip();
    // <g class="cssClass"> and its end; the caller pairs them.
    void beginGroup(const char* cssClass);
    void endGroup();

    // Writes the whole document; an empty canvas gives an empty picture of 1 x 1 units. False
    // when the spilled part cannot be read back.
    bool write(std::ostream& out);

private:
    struct Deferred {
        AcGePoint3d base;
        AcGeVector3d direction;
        bool bothWays;
        bool isPoint;
        std::string attributes;
    };
    // The point's SVG coordinates (y negated) as texts, taken into the extents.
    std::pair<std::string, std::string> at(const AcGePoint3d& point);
    // An SVG path of the closed loops ("M x,y L ... Z" each); loops of fewer than two points are
    // left out.
    std::string pathData(const std::vector<std::vector<AcGePoint3d>>& loops);
    // Takes the SVG point into the extents unless it is not finite.
    void extend(double x, double y);
    // The class and style attributes of the current stroke, with cssClass added.
    std::string strokeAttributes(const char* cssClass) const;
    void append(const std::string& element);

    std::string m_body;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_spill;
    SvgStroke m_stroke;
    std::vector<Deferred> m_deferred;
    std::vector<bool> m_weightsUsed;
    double m_minX = 0, m_minY = 0, m_maxX = 0, m_maxY = 0;
    bool m_empty = true;
    int m_clips = 0;      // clip paths made
    int m_clipDepth = 0;  // clipped groups open
};
