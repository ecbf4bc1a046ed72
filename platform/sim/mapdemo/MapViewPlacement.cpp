#include "MapViewPlacement.hpp"

#include "model/MapProjection.hpp"

namespace mapdemo {

void placeMapView(const MapPosition& position, vecta::MapPlacement& placement)
{
    // The origin tile's corner goes through the projection and back, as the
    // screens do, so that the tiles meet the model's rounding of the centre.
    const vecta::Coordinate corner = toCoordinate(static_cast<float>(position.tileX) * 4096.0f,
                                                  static_cast<float>(position.tileY) * 4096.0f, position.zoom);
    const MapUnits cornerUnits = toMapUnits(corner, position.zoom);
    const auto dx = static_cast<float>(cornerUnits.x - position.x);
    const auto dy = static_cast<float>(cornerUnits.y - position.y);
    const float tileSpan = 4096.0f * position.tileScale;

    placement.scaleX = position.tileScale;
    placement.scaleY = position.tileScale;
    placement.rotation = position.rotation;
    placement.rotationCenterX = mapAnchorX;
    placement.rotationCenterY = mapAnchorY;
    placement.translationX = mapAnchorX + dx * position.tileScale - tileSpan;
    placement.translationY = mapAnchorY + dy * position.tileScale - tileSpan;
}

} // namespace mapdemo
