#include "map_screen/MapBlockPlacement.hpp"

#include "map_screen/MapGesture.hpp"
#include "model/MapProjection.hpp"

void placeMapBlock(const MapPosition& position, std::int32_t originTileX, std::int32_t originTileY,
                   vecta::MapPlacement& placement)
{
    // The origin tile's corner goes through the projection and back, so that
    // the tiles meet the model's single-precision rounding of the centre.
    const vecta::Coordinate corner = toCoordinate(static_cast<float>(originTileX) * 4096.0f,
                                                  static_cast<float>(originTileY) * 4096.0f, position.zoom);
    const MapUnits cornerUnits = toMapUnits(corner, position.zoom);
    const auto dx = static_cast<float>(cornerUnits.x - position.x);
    const auto dy = static_cast<float>(cornerUnits.y - position.y);
    const float tileSpan = 4096.0f * position.tileScale;

    placement.scaleX = position.tileScale;
    placement.scaleY = position.tileScale;
    placement.rotation = position.rotation;
    placement.translationX = mapAnchorX + dx * position.tileScale - tileSpan;
    placement.translationY = mapAnchorY + dy * position.tileScale - tileSpan;
}
