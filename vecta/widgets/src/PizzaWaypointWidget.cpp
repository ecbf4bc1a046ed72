#include "vecta/widgets/PizzaWaypointWidget.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Markers keep clear of the middle of the panel's width; the rest is split
// between its two ends.
constexpr double guardedShare = 0.7;
constexpr double unguardedShare = 0.3;

std::int16_t clampToArea(std::int32_t value, std::int32_t size)
{
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, 0, size));
}

} // namespace

bool PizzaWaypointWidget::avoidObstacles(const WaypointBitmaps& markerBitmaps, ui::Point& position,
                                         ui::BitmapId& bitmapId) const
{
    const std::int32_t x = position.x;
    const std::int32_t y = position.y;
    const std::int32_t areaWidth = getWidth();
    const std::int32_t areaHeight = getHeight();

    if (topPanel != nullptr) {
        const ui::Rect& panel = *topPanel;
        const auto bandLeft =
            static_cast<std::int16_t>(panel.x + static_cast<std::int32_t>(panel.width * unguardedShare * 0.5));
        const auto bandWidth = static_cast<std::int16_t>(panel.width * guardedShare);
        const std::int32_t bandRight = bandLeft + bandWidth;
        const bool abovePanel = y < 0 && bandLeft < x && x < bandRight;
        const bool onPanel = bandLeft <= x && x < bandRight && panel.y <= y && y < panel.y + panel.height;
        if (abovePanel || onPanel) {
            bitmapId = markerBitmaps.top;
            position.y = panel.height;
            position.x = clampToArea(x - (ui::Bitmap(markerBitmaps.top).getWidth() >> 1), areaWidth);
            return true;
        }
    }

    if (roundButton != nullptr) {
        const std::int32_t r = roundButton->getWidth() / 2;
        const std::int32_t cx = roundButton->getX() + r;
        const std::int32_t cy = roundButton->getY() + r;
        const std::int64_t dx = x - cx;
        const std::int64_t dy = y - cy;
        const std::int64_t chordSquared = static_cast<std::int64_t>(r) * r - dx * dx;
        const bool belowButton = y > areaHeight && areaWidth / 2 - r < x && x < areaWidth / 2 + r;
        const bool onButton = dy * dy + dx * dx < static_cast<std::int64_t>(r) * r;
        // Beyond the circle's width there is no rim to sit on: no hit.
        if ((belowButton || onButton) && chordSquared >= 0) {
            bitmapId = markerBitmaps.bottom;
            position.x = clampToArea(x - (ui::Bitmap(markerBitmaps.bottom).getWidth() >> 1), areaWidth);
            position.y = static_cast<std::int16_t>(cy - std::sqrt(static_cast<double>(chordSquared)) -
                                                   ui::Bitmap(markerBitmaps.bottom).getHeight());
            return true;
        }
    }
    return false;
}
