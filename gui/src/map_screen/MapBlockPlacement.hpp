#pragma once

#include <cstdint>

#include "model/MapPosition.hpp"
#include "vecta/widgets/MapPlacement.hpp"

// Places the 3 x 3 tile block around the origin tile (the cache's centre) so
// that the map position lands on the screen anchor: scale, rotation and the
// translation of the block's north-west corner. The rotation centre is left
// as set up.
void placeMapBlock(const MapPosition& position, std::int32_t originTileX, std::int32_t originTileY,
                   vecta::MapPlacement& placement);
