#include "vecta/PriorityFetcher.hpp"

#include "portable/BitCast.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vecta {

namespace {

// 64 bits: a jump across a zoom-16 map squares to more than 32 bits hold.
std::int64_t dot(const TileVector& a, const TileVector& b)
{
    return std::int64_t{a.x} * b.x + std::int64_t{a.y} * b.y + std::int64_t{a.zoom} * b.zoom;
}

bool isZero(const TileVector& v)
{
    return v.x == 0 && v.y == 0 && v.zoom == 0;
}

bool isWithin(const TileVector& tile, int centreX, int centreY, int half)
{
    return std::abs(tile.x - centreX) <= half && std::abs(tile.y - centreY) <= half;
}

} // namespace

float approximateReciprocalSqrt(float value)
{
    const auto bits = portable::bitCast<std::uint32_t>(value);
    float y = portable::bitCast<float>(0x5F3759DFu - (bits >> 1));
    y = y * (1.5f - 0.5f * value * y * y);
    return y;
}

float tilePriority(const TileVector& position, const TileVector& motion, const TileVector& tile)
{
    const TileVector d{position.x - tile.x, position.y - tile.y, position.zoom - tile.zoom};
    if (isZero(d) || isZero(motion)) {
        return 0.0f;
    }
    const float inverseLengthD = approximateReciprocalSqrt(static_cast<float>(dot(d, d)));
    const float inverseLengthM = approximateReciprocalSqrt(static_cast<float>(dot(motion, motion)));
    float c = static_cast<float>(dot(motion, d)) * inverseLengthD * inverseLengthM;
    c = std::min(c, 1.0f);
    c = std::max(c, -1.0f);
    // A cubic stand-in for the arc cosine: the angle between travel and tile.
    return 1.5707288f - 0.2121144f * c + 0.0742610f * c * c - 0.0187293f * c * c * c;
}

bool isOutsideWindows(const TileVector& tile, const TileVector& centre, const WindowEdges& edges)
{
    if (tile.zoom == centre.zoom - 1) {
        return !isWithin(tile, centre.x / 2, centre.y / 2, edges.below / 2);
    }
    if (tile.zoom == centre.zoom) {
        return !isWithin(tile, centre.x, centre.y, edges.current / 2);
    }
    if (tile.zoom == centre.zoom + 1) {
        return !isWithin(tile, 2 * centre.x, 2 * centre.y, edges.above / 2);
    }
    return true;
}

} // namespace vecta
