// Entity colours for the SVG picture: palette indexes as RGB, and the colour an entity is drawn
// in once by-layer and by-block colours are resolved. Host main thread; layers open for read.
#pragma once

#include <string>
#include <unordered_map>

#include "host/db/object_id.h"

class AcCmColor;
class AcDbEntity;

// "#rrggbb" of palette index 1..255 (the standard palette's layout: 1-9 named colours, 10-249 24
// hues in 10 shades, 250-255 greys); 7 and anything else is drawn dark on the white page.
std::string paletteColour(int index);

// Resolves entity colours, remembering each layer's colour and name.
class ColourResolver {
public:
    // The entity's colour: its true colour or palette colour; its layer's for by layer (dark
    // when the layer does not open); for by block, and for by layer on layer "0" inside a block,
    // the colour of the block reference (inherited; empty for entities of model space).
    std::string colourOf(const AcDbEntity& entity, const std::string& inherited);

private:
    struct Layer {
        std::string colour;
        bool zero;  // the layer called "0"
    };
    const Layer& layer(const AcDbObjectId& layerId);
    static std::string rgbOf(const AcCmColor& colour, const std::string& inherited);

    std::unordered_map<AcDbObjectId, Layer> m_layers;
};
