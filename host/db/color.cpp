// AcCmColor: packing of method and value, and the palette-index view of every method.

#include "kestrel/host/db/color.h"

namespace {

constexpr std::uint16_t kLastPaletteIndex = 255;

bool isKnownMethod(std::uint32_t method) {
    switch (method) {
        case AcCmColor::kByLayer:
        case AcCmColor::kByBlock:
        case AcCmColor::kByColor:
        case AcCmColor::kByACI:
        case AcCmColor::kForeground:
        case AcCmColor::kNone:
            return true;
        default:
            return false;
    }
}

}  // namespace

Acad::ErrorStatus AcCmColor::setColorMethod(ColorMethod method) {
    if (method != kByACI && method != kByColor) {
        m_value = 0;
    } else if (method != m_method) {
        m_value = method == kByACI ? kIndexForeground : 0;
    }
    m_method = method;
    return Acad::eOk;
}

Acad::ErrorStatus AcCmColor::setByLayer() {
    return setColorMethod(kByLayer);
}

Acad::ErrorStatus AcCmColor::setByBlock() {
    return setColorMethod(kByBlock);
}

std::uint16_t AcCmColor::colorIndex() const {
    switch (m_method) {
        case kByLayer:
            return kIndexByLayer;
        case kByBlock:
            return kIndexByBlock;
        case kByACI:
            return static_cast<std::uint16_t>(m_value);
        case kNone:
            return kIndexNone;
        default:
            return kIndexForeground;
    }
}

Acad::ErrorStatus AcCmColor::setColorIndex(std::uint16_t index) {
    if (index == kIndexByBlock) {
        return setByBlock();
    }
    if (index == kIndexByLayer) {
        return setByLayer();
    }
    if (index == kIndexNone) {
        return setColorMethod(kNone);
    }
    if (index > kLastPaletteIndex) {
        return Acad::eOutOfRange;
    }
    m_method = kByACI;
    m_value = index;
    return Acad::eOk;
}

Acad::ErrorStatus AcCmColor::setRGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    m_method = kByColor;
    m_value = (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
    return Acad::eOk;
}

std::uint8_t AcCmColor::red() const {
    return m_method == kByColor ? static_cast<std::uint8_t>(m_value >> 16) : 0;
}

std::uint8_t AcCmColor::green() const {
    return m_method == kByColor ? static_cast<std::uint8_t>(m_value >> 8) : 0;
}

std::uint8_t AcCmColor::blue() const {
    return m_method == kByColor ? static_cast<std::uint8_t>(m_value) : 0;
}

Acad::ErrorStatus AcCmColor::setColor(std::uint32_t packed) {
    const std::uint32_t method = packed >> 24;
    const std::uint32_t value = packed & 0xFFFFFFu;
    if (!isKnownMethod(method) || (method == kByACI && value > kLastPaletteIndex)) {
        return Acad::eInvalidInput;
    }
    m_method = static_cast<ColorMethod>(method);
    m_value = (method == kByACI || method == kByColor) ? value : 0;
    return Acad::eOk;
}
