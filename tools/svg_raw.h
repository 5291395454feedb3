// What the picture draws of entities the host keeps raw (their DXF name and groups): images and
// wipeouts by their frames, construction lines, leaders, multileaders and hatches whose edges
// the host does not model. Pure: reads the groups, opens nothing.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "kestrel/host/db/dxf_filer.h"
#include "kestrel/host/ge/point3d.h"
#include "kestrel/host/ge/scale3d.h"

class AcDbText;

// A raw entity's drawing in world coordinates, before any block transform.
struct RawDrawing {
    struct Chain {
        std::vector<AcGePoint3d> points;
        bool closed = false;
        const char* cssClass = "";
    };
    struct Label {
        AcGePoint3d position;  // the top left corner of its first line
        double height = 0.0;
        AcGeVector3d direction = AcGeVector3d::kXAxis;
        std::wstring contents;  // multiline text contents, codes kept
    };
    struct Line {
        AcGePoint3d base;
        AcGeVector3d direction;
        bool bothWays = false;
    };
    // A block drawn as a reference to it placed so would draw it, its entities by block in
    // colour ("#rrggbb"; empty: the entity's own).
    struct Block {
        AcDbObjectId block;
        AcGePoint3d position;
        AcGeScale3d scale;
        double rotation = 0.0;  // radians
        AcGeVector3d normal = AcGeVector3d::kZAxis;
        std::string colour;
    };
    std::vector<Chain> chains;
    std::vector<std::vector<AcGePoint3d>> loops;  // one filled area (class areaClass)
    const char* areaClass = "hatch";
    std::vector<Label> labels;
    std::vector<Line> lines;
    std::vector<Block> blocks;
};

// Reads the drawing of a raw entity of kind dxfName from its groups; false for a kind that is
// not drawn. What is drawn, by kind:
// - IMAGE: its frame (10 corner, 11 and 12 one pixel along u and v, 13 the size in pixels) as a
//   polygon of class "image"; WIPEOUT: the same frame, class "wipeout" (filled white).
// - XLINE: a line both ways through 10 along 11; RAY (when raw): one way.
// - LEADER: the vertices (10) as a polyline, and an arrow (a closed triangle of class "arrow")
//   at the first one when 71 is not 0, a sixth of the first segment long.
// - MULTILEADER/MLEADER: each leader line's vertices (10 in LEADER_LINE{) ending at its
//   leader's landing point (10 in LEADER{), with an arrow, and the text (304) at 12, 41 high,
//   or the block (341) at 15, scaled by 16 and turned by 46, in the colour 93 gives it (a raw
//   colour: 0xC2 and RGB, or 0xC3 and a palette index, in its top byte and the rest).
// - HATCH: the boundary loops (polyline loops with bulges; line, arc, elliptic arc and spline
//   edges) as one area of class "hatch" when solid (70 1), "pattern" otherwise.
bool readRawDrawing(const std::wstring& dxfName, const host::DxfItemList& groups,
                    RawDrawing& drawing);

// An array of block references (an INSERT with columns or rows, which the host keeps raw) as
// a file gives it: the block's name, the first place in the reference's plane, the scale, the
// rotation (radians), the normal, and columns and rows spaced along the turned block axes.
struct RawArray {
    std::wstring block;
    AcGePoint3d position;
    AcGeScale3d scale;
    double rotation = 0.0;
    AcGeVector3d normal = AcGeVector3d::kZAxis;
    int columns = 1;
    int rows = 1;
    double columnSpacing = 0.0;
    double rowSpacing = 0.0;
    // Each place's offset from the first, in the reference's plane, row by row.
    std::vector<AcGeVector3d> offsets() const;
};
// Reads a raw INSERT's groups (columns and rows clamped to 1..1000); false for another kind.
bool readArray(const std::wstring& dxfName, const host::DxfItemList& groups, RawArray& array);

// A raw ATTRIB (the attributes of an array of references, which the host keeps raw) as the
// single-line text it shows: its text, place, alignment, height, turn, width factor, slant and
// mirroring set on text; visible false when its flags (70) hide it. False for another kind.
bool readRawAttribute(const std::wstring& dxfName, const host::DxfItemList& groups, AcDbText& text,
                      bool& visible);

// A paper-space viewport (raw VIEWPORT): its frame on the sheet and the model's view in it.
struct RawViewport {
    AcGePoint3d centre;       // 10, on the sheet
    double width = 0.0;       // 40
    double height = 0.0;      // 41
    AcGePoint3d viewCentre;   // 12, in the view's coordinates (from the target)
    AcGePoint3d target;       // 17
    double viewHeight = 0.0;  // 45, in model units
    std::int64_t id = 0;      // 69; 1 is the sheet's own viewport
    std::int64_t status = 1;  // 68; 0 is off
};
// Reads a raw VIEWPORT's groups; false for another kind.
bool readViewport(const std::wstring& dxfName, const host::DxfItemList& groups,
                  RawViewport& viewport);

// Polyface and polygon meshes, which the host keeps raw: the POLYLINE, its VERTEX records and
// the SEQEND arrive one after another, each a raw entity of its own, and are drawn at the
// SEQEND. A polyface draws each face as a closed chain through its vertices (edges marked
// invisible included); a polygon mesh (71 rows of 72 vertices) its rows and columns.
class RawPolylineReader {
public:
    // Takes a raw POLYLINE, VERTEX or SEQEND (false for other kinds, or a VERTEX or SEQEND
    // outside a sequence); at the SEQEND the mesh is added to drawing. A POLYLINE that starts a
    // new sequence drops one left open.
    bool take(const std::wstring& dxfName, const host::DxfItemList& groups, RawDrawing& drawing);

private:
    bool m_open = false;
    int m_rows = 0;
    int m_columns = 0;
    std::vector<AcGePoint3d> m_positions;
    std::vector<std::array<std::int64_t, 4>> m_faces;
};
