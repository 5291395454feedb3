// The graphics of a dimension, as its block shows them: extension lines, the dimension line
// (rotated) or arc (angular), two filled arrowheads and the measurement text. The drawing writer
// gives a dimension without a block one that holds them, so that other programs draw it, and
// pictures draw them for such a dimension. Sizes come from the dimension's style (arrow size,
// text height, extension line offset and extension, each times the overall scale), or from the
// default style's values when its style does not open. The text sits centred just outside the
// middle of the dimension line or arc (the dimension's own text position is not used). Only
// dimensions in the world XY plane are drawn.
#pragma once

#include <string>
#include <vector>

#include "kestrel/export.h"
#include "kestrel/host/ge/point3d.h"

class AcDbDimension;

namespace host {

// What a dimension's block shows, in world coordinates.
struct DRAWHOST_API DimensionGraphics {
    // An extension line or the dimension line.
    struct Line {
        AcGePoint3d start;
        AcGePoint3d end;
    };
    // The dimension arc of an angular dimension.
    struct Arc {
        AcGePoint3d center;
        double radius = 0.0;
        double startAngle = 0.0;  // radians, counter-clockwise to endAngle
        double endAngle = 0.0;
    };
    // A filled arrowhead: a triangle from the tip back to its base.
    struct Arrow {
        AcGePoint3d tip;
        AcGePoint3d baseLeft;
        AcGePoint3d baseRight;
    };
    // The measurement text, centred on position.
    struct Label {
        AcGePoint3d position;  // the middle of the text's baseline
        double rotation = 0.0;
        double height = 0.0;
        std::wstring text;
    };

    std::vector<Line> lines;
    std::vector<Arc> arcs;
    std::vector<Arrow> arrows;
    std::vector<Label> labels;

    bool empty() const { return lines.empty() && arcs.empty(); }
};

// The graphics of dimension, which must be readable; empty for a kind not drawn, a dimension
// outside the XY plane and degenerate ones (coinciding points, parallel angular lines).
DRAWHOST_API DimensionGraphics dimensionGraphics(const AcDbDimension* dimension);

// The text dimension shows: its dimension text with "<>" (or an empty text) standing for the
// measurement, written with up to four decimals, angles in degrees with a degree sign.
DRAWHOST_API std::wstring dimensionLabel(const AcDbDimension* dimension);

}  // namespace host
