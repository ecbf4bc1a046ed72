#pragma once

#include "ui/Drawable.hpp"
#include "ui/Types.hpp"
#include "vecta/widgets/WaypointWidget.hpp"

// A pizza-screen marker that keeps clear of the top panel and the round
// order button: under the panel's middle it shows its top icon just below
// the panel, inside the button's circle its bottom icon on the circle's rim.
class PizzaWaypointWidget : public vecta::WaypointWidget {
public:
    const ui::Drawable* roundButton = nullptr; // its circle fills its width
    const ui::Rect* topPanel = nullptr;

protected:
    bool avoidObstacles(const WaypointBitmaps& markerBitmaps, ui::Point& position,
                        ui::BitmapId& bitmapId) const override;
};
