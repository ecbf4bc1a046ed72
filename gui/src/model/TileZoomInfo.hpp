#pragma once

#include <cstdint>

// The tile zoom level for a map scale, and the scale at that level: a tile
// is always drawn 512 to 1024 pixels wide.
struct TileZoomInfo {
    explicit TileZoomInfo(float scale);

    std::uint8_t zoom;
    float tileScale;
};
