// renderBlock: an SVG picture of a database's model space or of a paper-space layout, seen from
// above (world XY, y up), for people to look at rather than read. Host main thread; opens
// entities for read only.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "kestrel/host/db/object_id.h"

class AcDbDatabase;

struct SvgStats {
    int drawn = 0;  // entities of the block drawn (those hidden by layer or visibility included)
    std::map<std::wstring, int> skipped;  // kinds not drawn, by class or raw DXF name
};

// What is drawn, as SVG elements (each with class naming the entity kind where shared):
// - lines <line>; circles <circle> (a <path class="circle"> when a block reference scales them
//   unevenly); arcs <path class="arc">; ellipses and elliptic arcs <path class="ellipse">;
//   splines <path class="spline"> sampled on the curve (fit points joined when there are no
//   control points); points <circle class="point"> of a fixed size relative to the picture.
// - rays and construction lines (raw XLINE) <line class="ray"> clipped to the view box; they
//   do not widen the picture beyond their base points.
// - lightweight, 2D and 3D polylines <polyline>, or <polygon> when closed, or <path
//   class="polyline"> when a segment bulges, through their vertices on the curve (spline
//   control points left out); a constant width is the stroke width. 3D faces <polygon
//   class="face"> (all four edges, visible or not); solids <polygon class="solid">, filled,
//   corners in the order 1, 2, 4, 3.
// - hatches <path class="hatch"> filled, every boundary loop a subpath, fill-rule evenodd (an
//   island is a hole). Decision: pattern fills are not drawn line by line; their area is
//   filled lightly and outlined (<path class="pattern">).
// - texts and attributes <text>, at the alignment point their justification uses (vertical
//   modes move the baseline, aligned and fitted texts centre between their points), with
//   oblique angle, width factor and mirroring; %% codes replaced. Multiline texts one <text>
//   per line (see svg_text.h for the codes), wrapped at their width (estimated from an average
//   character width), placed by their attachment point. Invisible attributes and attribute
//   definitions are not drawn.
// - block references <g class="insert">: the block's entities placed by the reference's
//   transform, nested references to a depth of 16 (a reference to a block being drawn already,
//   which only a damaged drawing holds, draws its attributes only), then the reference's
//   attributes. Dimensions and raw tables <g class="dimension">: their anonymous block; a
//   dimension without one shows its text at its text position, and a rotated one draws its
//   extension lines, dimension line and arrows with the text centred above. Tables (the host
//   keeps no block for them) <g class="table">: their grid lines and each cell's text centred
//   in it, 0.4 of its row high. Arrays of references (an INSERT with columns and rows, which
//   the host keeps raw) <g class="insert">: the block at every place of the grid, its rows and
//   columns turned with the reference. Other kinds that explode draw their pieces.
// - raw kinds as svg_raw.h reads them (images, wipeouts, leaders, multileaders, hatches with
//   curved edges, polyface meshes).
// - paper-space viewports <polygon class="viewport"> (the sheet's own viewport, id 1, and
//   viewports that are off are not drawn); in a layout drawn at its top, the model space seen
//   through each, scaled by its height against its view height and cut at its frame with a
//   <clipPath> (the view's twist and any 3D view direction are not applied: the model is seen
//   from above).
// Strokes: the entity's colour (see svg_colours.h) as style="color:#rrggbb"; its layer's line
// weight as class "wN"; its linetype's dashes, scaled by a block reference, as
// stroke-dasharray. Invisible entities and those on layers off or frozen are not drawn. Other
// kinds (ACIS solids, ...) are counted in stats.skipped under their class or DXF name.
// Everything is projected onto the world XY plane. The view box is the drawn extents plus a
// margin of 5%.
// Returns false when the block does not open or the picture cannot be written.
bool renderBlock(const AcDbObjectId& blockId, std::ostream& out, SvgStats& stats);

// The block record of the layout called name (letter case ignored; "Model" is the model
// space), or null when the drawing has no such layout.
AcDbObjectId layoutBlock(AcDbDatabase& db, const std::wstring& name);
