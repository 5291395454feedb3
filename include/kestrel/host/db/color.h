// AcCmColor: the colour of an entity or a layer, held as a method (by layer, by block, palette
// index, true colour, foreground, none) and its value. A value type, freely copied; setters
// refuse values outside their range and leave the colour as it was.
#pragma once

#include <cstdint>

#include "kestrel/export.h"
#include "kestrel/host/rx/error_status.h"

// Decisions where the host interface leaves it open:
// - A default colour is by layer.
// - colorIndex() answers 256 for by layer, 0 for by block, the index for a palette colour, 7 for
//   foreground and for a true colour (whose RGB is what counts), 257 for none.
// - setColorIndex accepts 0 (by block), 1..255, 256 (by layer) and 257 (none); other values give
//   eOutOfRange.
// - color()/setColor(raw) use the packed form (method << 24) | value: value is the palette index
//   for kByACI and 0xRRGGBB for kByColor; setColor refuses an unknown method or an index above 255.
class DRAWHOST_API AcCmColor {
public:
    enum ColorMethod : std::uint8_t {
        kByLayer = 0xC0,
        kByBlock = 0xC1,
        kByColor = 0xC2,
        kByACI = 0xC3,
        kForeground = 0xC5,
        kNone = 0xC8,
    };

    static constexpr std::uint16_t kIndexByBlock = 0;
    static constexpr std::uint16_t kIndexForeground = 7;
    static constexpr std::uint16_t kIndexByLayer = 256;
    static constexpr std::uint16_t kIndexNone = 257;

    AcCmColor() = default;

    ColorMethod colorMethod() const { return m_method; }
    // Switches the method, eOk. Staying on a palette or true colour keeps the value; a switch to
    // a palette colour starts at index 7, to a true colour at black.
    Acad::ErrorStatus setColorMethod(ColorMethod method);

    bool isByLayer() const { return m_method == kByLayer; }
    bool isByBlock() const { return m_method == kByBlock; }
    bool isByACI() const { return m_method == kByACI; }
    bool isByColor() const { return m_method == kByColor; }
    bool isForeground() const { return m_method == kForeground; }
    bool isNone() const { return m_method == kNone; }

    // Sets by layer / by block; eOk.
    Acad::ErrorStatus setByLayer();
    Acad::ErrorStatus setByBlock();

    // The palette index as described above.
    std::uint16_t colorIndex() const;
    // eOutOfRange (colour unchanged) outside 0..257.
    Acad::ErrorStatus setColorIndex(std::uint16_t index);

    // A true colour; always eOk.
    Acad::ErrorStatus setRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue);
    // The components of a true colour; 0 for every other method.
    std::uint8_t red() const;
    std::uint8_t green() const;
    std::uint8_t blue() const;

    // The packed form; see the decisions above.
    std::uint32_t color() const { return (std::uint32_t{m_method} << 24) | m_value; }
    // eInvalidInput (colour unchanged) for an unknown method or an index above 255.
    Acad::ErrorStatus setColor(std::uint32_t packed);

    bool operator==(const AcCmColor& other) const {
        return m_method == other.m_method && m_value == other.m_value;
    }
    bool operator!=(const AcCmColor& other) const { return !(*this == other); }

private:
    // One 32-bit word, as every entity carries a colour.
    std::uint32_t m_value : 24 = 0;  // palette index or 0xRRGGBB
    ColorMethod m_method : 8 = kByLayer;
};
static_assert(sizeof(AcCmColor) == 4);
