#pragma once

#include "model/MapTransform.hpp"
#include "ui/Events.hpp"

// Turns the touch controller's running gesture values into one map
// increment per frame. Owned by a map view, which calls update() first in
// every tick and applies getTransform() when hasPendingUpdates().
class InputHandler {
public:
    void update();
    bool hasPendingUpdates() const { return current.valid; }
    MapTransform getTransform();

    // Gestures come from the touch controller's sampling, not from the
    // framework's events; the views still forward these here.
    void handleDragEvent(const ui::DragEvent&) {}
    void handleClickEvent(const ui::ClickEvent&) {}

private:
    MapTransform current;
    bool started = false;
    MapTransform baseline;
};
