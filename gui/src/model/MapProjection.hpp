#pragma once

#include <cstdint>

#include "model/MapPosition.hpp"
#include "vecta/Geometry.hpp"

// Web-Mercator position in map units (12 fractional bits of the tile
// coordinate) and the tile that holds it.
struct MapUnits {
    std::int32_t x;
    std::int32_t y;
    std::int32_t tileX;
    std::int32_t tileY;
};

inline constexpr std::uint8_t maxZoom = 16;

MapUnits toMapUnits(vecta::Coordinate coordinate, std::uint8_t zoom);

vecta::Coordinate toCoordinate(float x, float y, std::uint8_t zoom);

// A point relative to the map centre, in map units at the map's zoom level:
// the form the route overlay and the waypoints take.
vecta::Point offsetFromCenter(vecta::Coordinate coordinate, const MapPosition& position);

// Truncation toward zero that saturates instead of overflowing; NaN gives 0.
std::int32_t truncateToInt32(float value);
