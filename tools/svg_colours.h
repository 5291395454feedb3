// Entity styles for the SVG picture: palette indexes as RGB, and the colour, line weight, dash
// pattern and visibility an entity is drawn with once by-layer and by-block properties are
// resolved. Host main thread; layers and linetypes open for read.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "kestrel/host/db/object_id.h"

class AcCmColor;
class AcDbEntity;

// "#rrggbb" of palette index 1..255 (the standard palette's layout: 1-9 named colours, 10-249 24
// hues in 10 shades, 250-255 greys); 7 and anything else is drawn dark on the white page.
std::string paletteColour(int index);
// "#rrggbb" of colour bytes 0..255 (higher bits are ignored).
std::string rgbColour(unsigned red, unsigned green, unsigned blue);

// What a block reference passes on to its block's entities drawn by block.
struct InheritedStyle {
    std::string colour;          // empty in model space
    std::string layerColour;     // the colour of the reference's layer; empty in model space
    int weight = -1;             // default weight
    std::vector<double> dashes;  // continuous
};

// Resolves entity styles, remembering each layer's and linetype's.
class ColourResolver {
public:
    // False for an entity that is invisible or lies on a layer that is off or frozen, or on
    // the layer DEFPOINTS, which is never printed.
    bool shown(const AcDbEntity& entity);
    // The entity's line weight in hundredths of a millimetre, its layer's when by layer; by
    // block gives the inherited one, the default weight -1.
    int weightOf(const AcDbEntity& entity, const InheritedStyle& inherited);
    // The dash pattern of the entity's linetype (by layer: its layer's; by block: inherited)
    // times the entity's linetype scale: dash lengths positive, gaps negative, dots 0; empty
    // for continuous lines.
    std::vector<double> dashesOf(const AcDbEntity& entity, const InheritedStyle& inherited);

    // The entity's colour: its true colour or palette colour; its layer's for by layer (dark
    // when the layer does not open); for by block the colour of the block reference; for by
    // layer on layer "0" inside a block, the colour of the reference's layer (an entity on
    // layer 0 takes the layer of the reference that draws it).
    std::string colourOf(const AcDbEntity& entity, const InheritedStyle& inherited);
    // The colour of the entity's layer as entities by layer inside its block see it.
    std::string layerColourOf(const AcDbEntity& entity, const InheritedStyle& inherited);

private:
    struct Layer {
        std::string colour;
        bool zero;  // the layer called "0"
        bool shown;
        int weight;
        AcDbObjectId linetype;
    };
    struct Linetype {
        enum Kind { kOwn, kByLayer, kByBlock } kind;
        std::vector<double> dashes;
    };
    const Linetype& linetype(const AcDbObjectId& linetypeId);
    // dashesOf before the entity's own scale.
    std::vector<double> unscaledDashesOf(const AcDbEntity& entity, const InheritedStyle& inherited);
    const Layer& layer(const AcDbObjectId& layerId);
    static std::string rgbOf(const AcCmColor& colour, const std::string& inherited);

    std::unordered_map<AcDbObjectId, Layer> m_layers;
    std::unordered_map<AcDbObjectId, Linetype> m_linetypes;
};
