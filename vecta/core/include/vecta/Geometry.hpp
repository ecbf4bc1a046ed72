#pragma once

#include <cstdint>

namespace vecta {

// Geographic position in degrees, latitude first.
struct Coordinate {
    float latitude;
    float longitude;
};

// A decoded tile-local point in tile units (4096 per tile side).
struct Point {
    std::int32_t x;
    std::int32_t y;
};

// Inclusive box in tile units. The empty box is inverted so that the first
// included point sets all four bounds.
struct BoundingBox {
    std::int16_t minX = 32767;
    std::int16_t minY = 32767;
    std::int16_t maxX = -32768;
    std::int16_t maxY = -32768;

    void include(std::int16_t x, std::int16_t y)
    {
        if (x < minX) minX = x;
        if (y < minY) minY = y;
        if (x > maxX) maxX = x;
        if (y > maxY) maxY = y;
    }
};

// The vector-tile geometry types; segments use LineString and Polygon.
enum GeometryType : std::uint8_t { UnknownGeometry = 0, PointGeometry = 1, LineString = 2, Polygon = 3 };

constexpr std::uint32_t tileExtent = 4096;

} // namespace vecta
