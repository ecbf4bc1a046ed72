#include "vecta/widgets/overlays/RouteOverlay.hpp"

#include <algorithm>
#include <cmath>

namespace vecta {

namespace {

std::int16_t toPixels(float value)
{
    // A far point still lies beyond the screen on its own side.
    constexpr float limit = 16384.0f;
    return static_cast<std::int16_t>(std::isnan(value) ? 0.0f : std::clamp(value, -limit, limit));
}

} // namespace

ui::Rect RouteOverlay::strokeBounds() const
{
    if (routePoints == nullptr || routeLength == 0) {
        return ui::Rect();
    }
    const ui::Matrix3x3 matrix = placementMatrix(0.0f, 0.0f);
    const ui::Matrix3x3::Point first =
        matrix.affineTransform(static_cast<float>(routePoints[0].x), static_cast<float>(routePoints[0].y));
    float minX = first.x;
    float maxX = first.x;
    float minY = first.y;
    float maxY = first.y;
    for (std::uint32_t i = 1; i < routeLength; ++i) {
        const ui::Matrix3x3::Point p =
            matrix.affineTransform(static_cast<float>(routePoints[i].x), static_cast<float>(routePoints[i].y));
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // Half the stroke on screen, and a pixel of antialiasing each side.
    const float reach = lineWidth * std::max(std::fabs(scaleX), std::fabs(scaleY)) / 2.0f + 2.0f;
    const std::int16_t left = toPixels(std::floor(minX - reach));
    const std::int16_t top = toPixels(std::floor(minY - reach));
    const std::int16_t right = toPixels(std::ceil(maxX + reach));
    const std::int16_t bottom = toPixels(std::ceil(maxY + reach));
    return ui::Rect(left, top, static_cast<std::int16_t>(right - left), static_cast<std::int16_t>(bottom - top));
}

} // namespace vecta
