#pragma once

#include "vecta/widgets/MapOverlay.hpp"
#include "vecta/widgets/MapPlacement.hpp"

namespace vecta {

// Outlines the nine tiles of the block in red, one screen pixel wide.
class GridOverlay : public MapOverlay, public MapPlacement {
public:
    void draw(void* path, void* paint, const ui::Rect& invalid) const override;

    bool enabled = false;
};

} // namespace vecta
