#include "vecta/widgets/WaypointWidget.hpp"

#include <algorithm>
#include <cmath>

#include "ui/Matrix3x3.hpp"

namespace vecta {

namespace {

// Icons are placed in 16-bit coordinates; a corner beyond this lies far off
// any screen, and the icon's right and bottom edges still fit.
constexpr std::int32_t placeableLimit = 16384;

std::int32_t truncateToPixels(float value)
{
    // Far enough to keep the side of the area a far point lies on.
    constexpr float limit = 1048576.0f;
    return std::isnan(value) ? 0 : static_cast<std::int32_t>(std::clamp(value, -limit, limit));
}

std::int16_t toPlaceable(std::int32_t value)
{
    return static_cast<std::int16_t>(std::clamp(value, -placeableLimit, placeableLimit));
}

bool placeable(std::int32_t x, std::int32_t y)
{
    return x > -placeableLimit && x < placeableLimit && y > -placeableLimit && y < placeableLimit;
}

std::int32_t widthOf(ui::BitmapId id)
{
    return ui::Bitmap(id).getWidth();
}

std::int32_t heightOf(ui::BitmapId id)
{
    return ui::Bitmap(id).getHeight();
}

} // namespace

WaypointWidget::WaypointWidget()
{
    icon.setXY(0, 0);
    icon.setBitmap(ui::Bitmap(ui::BITMAP_INVALID));
    add(icon);
}

void WaypointWidget::handleClickEvent(const ui::ClickEvent& event)
{
    if (event.getType() == ui::ClickEvent::PRESSED) {
        pressedX = event.getX();
        pressedY = event.getY();
    }
    if (!clickedCallback || event.getType() != ui::ClickEvent::RELEASED) {
        return;
    }
    // A hidden marker's icon keeps its last place; it must not take taps there.
    const ui::Rect& area = icon.getRect();
    if (isVisible() && icon.isVisible() && area.intersect(pressedX, pressedY) &&
        area.intersect(event.getX(), event.getY())) {
        clickedCallback();
    }
}

bool WaypointWidget::avoidObstacles(const WaypointBitmaps&, ui::Point&, ui::BitmapId&) const
{
    return false;
}

void WaypointWidget::updatePosition()
{
    if (!isVisible()) {
        return;
    }
    ui::Matrix3x3 projection;
    projection.scale(scaleX, scaleY);
    projection.translate(screenCenterX - rotationCenterX, screenCenterY - rotationCenterY);
    projection.rotate(rotation);
    projection.translate(rotationCenterX, rotationCenterY);
    const ui::Matrix3x3::Point projected =
        projection.affineTransform(static_cast<float>(offsetX), static_cast<float>(offsetY));
    const std::int32_t px = truncateToPixels(projected.x);
    const std::int32_t py = truncateToPixels(projected.y);

    ui::BitmapId bitmap = bitmaps.normal;
    std::int32_t x = px - (widthOf(bitmaps.normal) >> 1);
    std::int32_t y = py - (heightOf(bitmaps.normal) >> 1);
    if (keepOnScreen) {
        ui::Point corner{toPlaceable(x), toPlaceable(y)};
        if (avoidObstacles(bitmaps, corner, bitmap)) {
            x = corner.x;
            y = corner.y;
        } else {
            const std::int32_t areaWidth = getWidth();
            const std::int32_t areaHeight = getHeight();
            // Centred by the normal icon's size, not by the icon shown
            // before, which is none on the first placement.
            x = std::clamp<std::int32_t>(x, 0, areaWidth);
            y = std::clamp<std::int32_t>(y, 0, areaHeight);
            if (px < 0) {
                bitmap = bitmaps.left;
            } else if (px > areaWidth) {
                bitmap = bitmaps.right;
                x = areaWidth - widthOf(bitmaps.right);
            }
            // A vertical edge icon wins over a horizontal one.
            if (py < 0) {
                bitmap = bitmaps.top;
            } else if (py > areaHeight) {
                bitmap = bitmaps.bottom;
                y = areaHeight - heightOf(bitmaps.bottom);
            }
        }
    }

    // A point too far away to place is hidden rather than wrapped into view.
    const bool show = placeable(x, y);
    if (show != icon.isVisible()) {
        icon.setVisible(show);
        icon.invalidate();
    }
    if (!show) {
        return;
    }
    if (!(icon.getBitmap() == ui::Bitmap(bitmap))) {
        icon.invalidate();
        icon.setBitmap(ui::Bitmap(bitmap));
        icon.invalidate();
    }
    icon.moveTo(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y));
}

} // namespace vecta
