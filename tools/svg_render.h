// renderModelSpace: an SVG picture of a database's model space, seen from above (world XY,
// y up), for people to look at rather than read. Host main thread; opens entities for read only.
#pragma once

#include <map>
#include <ostream>
#include <string>

class AcDbDatabase;

struct SvgStats {
    int drawn = 0;                        // model space entities drawn
    std::map<std::wstring, int> skipped;  // kinds not drawn, by class name
};

// What is drawn, as SVG elements (each with class naming the entity kind where shared):
// - lines <line>; circles <circle> (a <path class="circle"> when a block reference scales them
//   unevenly); arcs <path class="arc">; ellipses <path class="ellipse">; points <circle
//   class="point"> of a fixed size relative to the picture.
// - lightweight, 2D and 3D polylines <polyline>, or <polygon> when closed, or <path
//   class="polyline"> when a segment bulges, through their vertices on the curve (spline
//   control points left out); 3D faces <polygon class="face"> (all four edges, visible or not);
//   solids <polygon class="solid">, filled, corners in the order 1, 2, 4, 3.
// - texts and attributes <text>, at the alignment point their justification uses; invisible
//   attributes and attribute definitions are not drawn.
// - block references <g class="insert">: the block's entities placed by the reference's
//   transform, nested references to a depth of 16 (a reference to a block being drawn already,
//   which only a damaged drawing holds, draws its attributes only), then the reference's
//   attributes.
// Each element is drawn in its entity's colour (see svg_colours.h), as style="color:#rrggbb".
// Everything is projected onto the world XY plane; other kinds (rays, dimensions, hatches, ...)
// are counted in stats.skipped. The picture's view box is the drawn extents plus a margin of 5%.
// Returns false, writing nothing, when the model space does not open.
bool renderModelSpace(AcDbDatabase& db, std::ostream& out, SvgStats& stats);
