#include "model/MapProjection.hpp"

#include <algorithm>
#include <cmath>

#include "platform/Assert.hpp"
#include "portable/Math.hpp"

namespace {

constexpr float pi = 3.14159265358979f;
constexpr float degreesToRadians = 0.017453292f;
// Beyond this latitude the projection leaves the square world.
constexpr float mercatorLatitudeLimit = 85.0511287f;

} // namespace

std::int32_t truncateToInt32(float value)
{
    // The largest float below 2^31; 2^31 itself would not fit.
    constexpr float limit = 2147483520.0f;
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(value, -limit, limit));
}

MapUnits toMapUnits(vecta::Coordinate coordinate, std::uint8_t zoom)
{
    VECTA_ASSERT(zoom <= maxZoom);
    const float n = static_cast<float>(1u << zoom);
    const float tx = (coordinate.longitude + 180.0f) / 360.0f * n;
    const float latitude = std::clamp(coordinate.latitude, -mercatorLatitudeLimit, mercatorLatitudeLimit);
    const float phi = latitude * degreesToRadians;
    const float ty = (1.0f - portable::log(portable::tan(phi) + 1.0f / portable::cos(phi)) / pi) * n * 0.5f;
    return {truncateToInt32(tx * 4096.0f), truncateToInt32(ty * 4096.0f), truncateToInt32(std::floor(tx)),
            truncateToInt32(std::floor(ty))};
}

vecta::Coordinate toCoordinate(float x, float y, std::uint8_t zoom)
{
    VECTA_ASSERT(zoom <= maxZoom);
    const float m = static_cast<float>(1u << zoom) * 4096.0f;
    const float longitude = x / m * 360.0f - 180.0f;
    const float latitude = portable::atan(portable::sinh(pi * (1.0f - 2.0f * y / m))) * 180.0f / pi;
    return {latitude, longitude};
}

vecta::Point offsetFromCenter(vecta::Coordinate coordinate, const MapPosition& position)
{
    const MapUnits units = toMapUnits(coordinate, position.zoom);
    return {units.x - position.x, units.y - position.y};
}
