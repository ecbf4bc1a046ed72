#pragma once

#include <cstdint>

#include "ui/Types.hpp"

namespace ui::Color {

constexpr std::uint8_t getAlpha(colortype c)
{
    return static_cast<std::uint8_t>(c >> 24);
}
constexpr std::uint8_t getRed(colortype c)
{
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t getGreen(colortype c)
{
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t getBlue(colortype c)
{
    return static_cast<std::uint8_t>(c);
}

constexpr std::uint16_t toRGB565(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<std::uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

// Source-over of one colour onto an RGB565 pixel, alpha 0..255.
inline void blendRGB565(std::uint16_t& pixel, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                        std::uint8_t alpha)
{
    if (alpha == 0) {
        return;
    }
    if (alpha == 255) {
        pixel = toRGB565(red, green, blue);
        return;
    }
    const unsigned dr = ((pixel >> 11) & 0x1F) * 255u / 31u;
    const unsigned dg = ((pixel >> 5) & 0x3F) * 255u / 63u;
    const unsigned db = (pixel & 0x1F) * 255u / 31u;
    const unsigned inverse = 255u - alpha;
    pixel = toRGB565(static_cast<std::uint8_t>((red * alpha + dr * inverse + 127) / 255),
                     static_cast<std::uint8_t>((green * alpha + dg * inverse + 127) / 255),
                     static_cast<std::uint8_t>((blue * alpha + db * inverse + 127) / 255));
}

} // namespace ui::Color
