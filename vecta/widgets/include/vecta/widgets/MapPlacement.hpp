#pragma once

#include "ui/Matrix3x3.hpp"

namespace vecta {

// Where the 3 x 3 tile block sits on screen; shared by the map widget and its
// overlays.
class MapPlacement {
public:
    MapPlacement() = default;
    virtual ~MapPlacement() = default;

    // Path units to screen: scale, move the block corner (plus `offsetX`,
    // `offsetY` scaled path units) relative to the rotation centre, rotate
    // about it. A point p lands at R(S·p + t − c + S·offset) + c.
    ui::Matrix3x3 placementMatrix(float offsetX, float offsetY) const;

    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float rotation = 1.0f; // degrees, clockwise on screen
    float rotationCenterX = 1.0f;
    float rotationCenterY = 1.0f;
    float translationX = 1.0f; // north-west corner of the block's first tile
    float translationY = 1.0f;
};

} // namespace vecta
