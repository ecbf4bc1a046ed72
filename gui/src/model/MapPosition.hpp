#pragma once

#include <cstdint>

#include "vecta/Geometry.hpp"

// Where the map is centred, how large and how turned. x and y are the
// Web-Mercator position of coordinate in map units at zoom (4096 per tile).
struct MapPosition {
    float scale;     // screen pixels per map unit at zoom level 13
    float tileScale; // screen pixels per map unit at zoom
    float rotation;  // degrees, not wrapped
    vecta::Coordinate coordinate;
    std::uint8_t zoom;
    std::int32_t x;
    std::int32_t y;
    std::int32_t tileX;
    std::int32_t tileY;
    std::int32_t rotationCenterX;
    std::int32_t rotationCenterY;
};
