#pragma once

#include <cstdint>
#include <functional>

#include "ui/Bitmap.hpp"
#include "ui/Container.hpp"
#include "ui/widgets/Image.hpp"

namespace vecta {

// A marker on a map point: an icon laid over the map area, centred on the
// point's projection, optionally pinned to the area's edges with an edge icon
// when the point lies outside.
class WaypointWidget : public ui::Container {
public:
    struct WaypointBitmaps {
        ui::BitmapId normal = ui::BITMAP_INVALID;
        ui::BitmapId left = ui::BITMAP_INVALID;
        ui::BitmapId top = ui::BITMAP_INVALID;
        ui::BitmapId right = ui::BITMAP_INVALID;
        ui::BitmapId bottom = ui::BITMAP_INVALID;
    };

    WaypointWidget();

    // Runs the callback when a press and its release both land on the
    // icon while both the marker and its icon are visible (widget
    // coordinates).
    void handleClickEvent(const ui::ClickEvent& event) override;

    // Places the icon after the offset or the transform changed; nothing
    // while the widget is hidden.
    void updatePosition();

    const ui::Image& getIcon() const { return icon; }

    float scaleX = 1.0f; // pixels per map unit
    float scaleY = 1.0f;
    float rotation = 1.0f; // degrees
    float rotationCenterX = 1.0f;
    float rotationCenterY = 1.0f;
    float screenCenterX = 1.0f; // where offset (0, 0) is drawn
    float screenCenterY = 1.0f;
    bool keepOnScreen = false;
    WaypointBitmaps bitmaps;
    // The point relative to the map position in map units. Kept in 32 bits:
    // a far point must land far away, not wrap back onto the screen.
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
    std::int16_t pressedX = 0; // the last press, widget coordinates
    std::int16_t pressedY = 0;
    std::function<void()> clickedCallback;

protected:
    // May move the icon's top-left corner and choose its bitmap instead of
    // the edge clamping; returns whether it did.
    virtual bool avoidObstacles(const WaypointBitmaps& markerBitmaps, ui::Point& position,
                                ui::BitmapId& bitmapId) const;

private:
    ui::Image icon;
};

} // namespace vecta
