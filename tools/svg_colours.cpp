// Colour resolution. The palette of indexes 10-249 is computed rather than tabled: hue steps of
// 15 degrees, even indexes at full and odd ones at half saturation, five falling brightnesses.
#include "tools/svg_colours.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

#include "host/db/color.h"
#include "host/db/entity.h"
#include "host/db/layer_table.h"
#include "host/db/open.h"

namespace {

constexpr char kDark[] = "#1f2933";
constexpr int kByBlock = 0;
constexpr int kByLayer = 256;

std::string hex(double red, double green, double blue) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", static_cast<int>(std::lround(red * 255)),
                  static_cast<int>(std::lround(green * 255)),
                  static_cast<int>(std::lround(blue * 255)));
    return text;
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

std::string ColourResolver::rgbOf(const AcCmColor& colour, const std::string& inherited) {
    if (colour.isByColor()) {
        return hex(colour.red() / 255.0, colour.green() / 255.0, colour.blue() / 255.0);
    }
    return colour.colorIndex() == kByBlock ? inherited : paletteColour(colour.colorIndex());
}

const ColourResolver::Layer& ColourResolver::layer(const AcDbObjectId& layerId) {
    const auto found = m_layers.find(layerId);
    if (found != m_layers.end()) {
        return found->second;
    }
    Layer entry{kDark, false};
    AcDbLayerTableRecord* record = nullptr;
    if (acdbOpenObject(record, layerId, AcDb::kForRead) == Acad::eOk) {
        const wchar_t* name = nullptr;
        entry.colour = rgbOf(record->color(), kDark);
        entry.zero = record->getName(name) == Acad::eOk && std::wcscmp(name, L"0") == 0;
        record->close();
    }
    return m_layers[layerId] = entry;
}

std::string ColourResolver::colourOf(const AcDbEntity& entity, const std::string& inherited) {
    const AcCmColor colour = entity.color();
    const std::string byBlock = inherited.empty() ? std::string(kDark) : inherited;
    if (colour.isByColor() || colour.colorIndex() != kByLayer) {
        return rgbOf(colour, byBlock);
    }
    const Layer& own = layer(entity.layerId());
    return own.zero && !inherited.empty() ? inherited : own.colour;
}
