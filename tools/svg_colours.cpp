// Colour resolution. The palette of indexes 10-249 is computed rather than tabled: hue steps of
// 15 degrees, even indexes at full and odd ones at half saturation, five falling brightnesses.
#include "tools/svg_colours.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

#include "kestrel/host/db/color.h"
#include "kestrel/host/db/entity.h"
#include "kestrel/host/db/layer_table.h"
#include "kestrel/host/db/linetype_table.h"
#include "kestrel/host/db/open.h"

namespace {

constexpr char kDark[] = "#1f2933";
constexpr int kByBlock = 0;
constexpr int kByLayer = 256;
constexpr int kWeightByBlock = -2;
constexpr int kWeightDefault = -3;

// Components 0..1.
std::string hex(double red, double green, double blue) {
    const auto byte = [](double component) {
        return static_cast<unsigned>(std::lround(component * 255));
    };
    return rgbColour(byte(red), byte(green), byte(blue));
}

// Hue in degrees, saturation and value in 0..1.
std::string fromHsv(double hue, double saturation, double value) {
    const double chroma = value * saturation;
    const double h = std::fmod(hue / 60.0, 6.0);
    const double x = chroma * (1 - std::abs(std::fmod(h, 2.0) - 1));
    const double m = value - chroma;
    const int sector = static_cast<int>(h);
    const double r[] = {chroma, x, 0, 0, x, chroma};
    const double g[] = {x, chroma, chroma, x, 0, 0};
    const double b[] = {0, 0, x, chroma, chroma, x};
    return hex(r[sector] + m, g[sector] + m, b[sector] + m);
}

}  // namespace

std::string paletteColour(int index) {
    static const char* const kNamed[] = {"#ff0000", "#ffff00", "#00ff00", "#00ffff", "#0000ff",
                                         "#ff00ff", kDark,     "#808080", "#c0c0c0"};
    if (index >= 1 && index <= 9) {
        return kNamed[index - 1];
    }
    if (index >= 10 && index <= 249) {
        static const double kValues[] = {1.0, 0.8, 0.6, 0.5, 0.3};
        const int shade = index % 10;
        return fromHsv((index / 10 - 1) * 15.0, shade % 2 == 0 ? 1.0 : 0.5, kValues[shade / 2]);
    }
    if (index >= 250 && index <= 255) {
        const double grey = 0.2 + 0.16 * (index - 250);
        return hex(grey, grey, grey);
    }
    return kDark;
}

std::string rgbColour(unsigned red, unsigned green, unsigned blue) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", red & 0xffu, green & 0xffu, blue & 0xffu);
    return text;
}

std::string ColourResolver::rgbOf(const AcCmColor& colour, const std::string& inherited) {
    if (colour.isByColor()) {
        return rgbColour(colour.red(), colour.green(), colour.blue());
    }
    return colour.colorIndex() == kByBlock ? inherited : paletteColour(colour.colorIndex());
}

const ColourResolver::Layer& ColourResolver::layer(const AcDbObjectId& layerId) {
    const auto found = m_layers.find(layerId);
    if (found != m_layers.end()) {
        return found->second;
    }
    Layer entry{kDark, false, true, -1, AcDbObjectId::kNull};
    AcDbLayerTableRecord* record = nullptr;
    if (acdbOpenObject(record, layerId, AcDb::kForRead) == Acad::eOk) {
        const wchar_t* name = nullptr;
        entry.colour = rgbOf(record->color(), kDark);
        entry.zero = record->getName(name) == Acad::eOk && std::wcscmp(name, L"0") == 0;
        // The layer of dimensions' definition points is never printed.
        entry.shown = !record->isOff() && !record->isFrozen() &&
                      !(name != nullptr && wcscasecmp(name, L"DEFPOINTS") == 0);
        entry.weight = record->lineWeight() >= 0 ? record->lineWeight() : -1;
        entry.linetype = record->linetypeObjectId();
        record->close();
    }
    return m_layers[layerId] = entry;
}

std::string ColourResolver::colourOf(const AcDbEntity& entity, const InheritedStyle& inherited) {
    const AcCmColor colour = entity.color();
    if (colour.isByColor() || colour.colorIndex() != kByLayer) {
        return rgbOf(colour, inherited.colour.empty() ? std::string(kDark) : inherited.colour);
    }
    return layerColourOf(entity, inherited);
}

std::string ColourResolver::layerColourOf(const AcDbEntity& entity,
                                          const InheritedStyle& inherited) {
    const Layer& own = layer(entity.layerId());
    return own.zero && !inherited.layerColour.empty() ? inherited.layerColour : own.colour;
}

bool ColourResolver::shown(const AcDbEntity& entity) {
    return entity.visibility() == AcDb::kVisible && layer(entity.layerId()).shown;
}

int ColourResolver::weightOf(const AcDbEntity& entity, const InheritedStyle& inherited) {
    const int weight = entity.lineWeight();
    if (weight >= 0 || weight == kWeightDefault) {
        return weight >= 0 ? weight : -1;
    }
    if (weight == kWeightByBlock) {
        return inherited.weight;
    }
    const Layer& own = layer(entity.layerId());
    return own.zero && inherited.weight >= 0 ? inherited.weight : own.weight;
}

const ColourResolver::Linetype& ColourResolver::linetype(const AcDbObjectId& linetypeId) {
    const auto found = m_linetypes.find(linetypeId);
    if (found != m_linetypes.end()) {
        return found->second;
    }
    Linetype entry{Linetype::kOwn, {}};
    AcDbLinetypeTableRecord* record = nullptr;
    if (acdbOpenObject(record, linetypeId, AcDb::kForRead) == Acad::eOk) {
        const wchar_t* name = nullptr;
        if (record->getName(name) == Acad::eOk && wcscasecmp(name, L"BYLAYER") == 0) {
            entry.kind = Linetype::kByLayer;
        } else if (name != nullptr && wcscasecmp(name, L"BYBLOCK") == 0) {
            entry.kind = Linetype::kByBlock;
        } else if (record->patternLength() > 0.0) {
            for (int i = 0; i < record->numDashes(); ++i) {
                entry.dashes.push_back(record->dashLengthAt(i));
            }
        }
        record->close();
    } else {
        entry.kind = Linetype::kByLayer;  // an entity without a linetype is drawn by layer
    }
    // A pattern of one dash and nothing else is a continuous line.
    if (entry.dashes.size() < 2) {
        entry.dashes.clear();
    }
    return m_linetypes[linetypeId] = entry;
}

std::vector<double> ColourResolver::dashesOf(const AcDbEntity& entity,
                                             const InheritedStyle& inherited) {
    std::vector<double> dashes = unscaledDashesOf(entity, inherited);
    const double scale = entity.linetypeScale();
    for (double& dash : dashes) {
        dash *= scale;
    }
    return dashes;
}

std::vector<double> ColourResolver::unscaledDashesOf(const AcDbEntity& entity,
                                                     const InheritedStyle& inherited) {
    const Linetype& own = linetype(entity.linetypeId());
    if (own.kind == Linetype::kByBlock) {
        return inherited.dashes;
    }
    if (own.kind == Linetype::kOwn) {
        return own.dashes;
    }
    const Layer& onLayer = layer(entity.layerId());
    if (onLayer.zero && !inherited.dashes.empty()) {
        return inherited.dashes;
    }
    const Linetype& layerType = linetype(onLayer.linetype);
    return layerType.kind == Linetype::kOwn ? layerType.dashes : std::vector<double>();
}
