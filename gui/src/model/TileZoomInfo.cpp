#include "model/TileZoomInfo.hpp"

#include <cmath>

#include "platform/Assert.hpp"
#include "portable/Math.hpp"

TileZoomInfo::TileZoomInfo(float scale)
{
    VECTA_ASSERT(scale > 0.0f && std::isfinite(scale));
    const int level = static_cast<int>(std::floor(portable::log2(4.0f * scale) + 13.0f + 1.0f));
    int exponent = 3;
    zoom = 16;
    if (level <= 5) {
        zoom = 6;
        exponent = -7;
    } else if (level <= 16) {
        zoom = static_cast<std::uint8_t>(level);
        exponent = level - 13;
    }
    tileScale = scale / std::ldexp(1.0f, exponent);
}
