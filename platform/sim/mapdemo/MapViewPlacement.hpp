#pragma once

#include "model/MapPosition.hpp"
#include "vecta/widgets/MapPlacement.hpp"

namespace mapdemo {

// The screen point the map centre is drawn on and turned about.
inline constexpr float mapAnchorX = 400.0f;
inline constexpr float mapAnchorY = 180.0f;

// Places the 3 x 3 block around the position's tile so that the position
// lands on the anchor, as the map screens place their widget and overlays.
void placeMapView(const MapPosition& position, vecta::MapPlacement& placement);

} // namespace mapdemo
