#pragma once

#include "model/MapTransform.hpp"

// Turns the touch controller's running gesture values into one map
// increment per frame. Owned by a map view, which calls update() first in
// every tick and applies getTransform() when hasPendingUpdates().
class InputHandler {
public:
    void update();
    bool hasPendingUpdates() const { return current.valid; }
    MapTransform getTransform();

private:
    MapTransform current;
    bool started = false;
    MapTransform baseline;
};
