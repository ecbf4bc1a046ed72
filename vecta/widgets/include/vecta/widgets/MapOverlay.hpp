#pragma once

#include "ui/Types.hpp"

namespace vecta {

// A vector drawing the map widget draws over its tiles, in the same GPU
// bracket and with the widget's own path and paint.
class MapOverlay {
public:
    virtual ~MapOverlay() = default;
    virtual void draw(void* path, void* paint, const ui::Rect& invalid) const = 0;

    MapOverlay* next = nullptr; // managed by MapWidget::addOverlay
};

} // namespace vecta
