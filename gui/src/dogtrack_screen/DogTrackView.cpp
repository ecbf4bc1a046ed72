#include "dogtrack_screen/DogTrackView.hpp"

#include "images/BitmapDatabase.hpp"
#include "model/MapProjection.hpp"

namespace {

// Shared by the five trails: each rebuilds its path here while drawing.
std::uint8_t trailCommands[DOG_TRAIL_SIZE];
float trailPoints[2 * DOG_TRAIL_SIZE];

constexpr float trailWidth = 16.0f; // map units

void placeAt(vecta::WaypointWidget& marker, const MapPosition& position, vecta::Coordinate point)
{
    const vecta::Point offset = offsetFromCenter(point, position);
    marker.offsetX = offset.x;
    marker.offsetY = offset.y;
    marker.updatePosition();
}

} // namespace

void DogTrackView::setupScreen()
{
    BaseMapView::setupScreen();
    for (vecta::WaypointWidget& marker : dogMarkers) {
        configureMarker(marker, BITMAP_IMAGE_DOG_ICON_ID, true);
    }
    for (vecta::RouteOverlay& trail : trailOverlays) {
        trail.rotationCenterX = trail.translationX = mapAnchorX;
        trail.rotationCenterY = trail.translationY = mapAnchorY;
        trail.enabled = true;
        trail.lineWidth = trailWidth;
        trail.color[0] = trail.color[1] = trail.color[2] = 0;
        trail.color[3] = 255;
        trail.commands = trailCommands;
        trail.points = trailPoints;
        mapWidget.addOverlay(trail);
    }
    // Added last: drawn over the dogs.
    configureMarker(ownerMarker, BITMAP_IMAGE_START_ICON_ID, false);
}

void DogTrackView::configureMarker(vecta::WaypointWidget& marker, ui::BitmapId icon, bool keepOnScreen)
{
    marker.keepOnScreen = keepOnScreen;
    marker.bitmaps = {icon, icon, icon, icon, icon};
    marker.rotationCenterX = marker.screenCenterX = mapAnchorX;
    marker.rotationCenterY = marker.screenCenterY = mapAnchorY;
    marker.setPosition(mapWidget.getX(), mapWidget.getY(), mapWidget.getWidth(), mapWidget.getHeight());
    marker.setVisible(true);
    add(marker);
}

void DogTrackView::setMapPosition(const MapPosition& position)
{
    updateMapPosition(position);
    // Offsets follow from the presenter right after; until then the markers
    // keep their old ones.
    ownerMarker.scaleX = ownerMarker.scaleY = position.tileScale;
    ownerMarker.rotation = position.rotation;
    ownerMarker.updatePosition();
    for (vecta::WaypointWidget& marker : dogMarkers) {
        marker.scaleX = marker.scaleY = position.tileScale;
        marker.rotation = position.rotation;
        marker.updatePosition();
    }
    for (vecta::RouteOverlay& trail : trailOverlays) {
        trail.scaleX = trail.scaleY = position.tileScale;
        trail.rotation = position.rotation;
    }
    mapWidget.invalidate();
}

void DogTrackView::setMePosition(const MapPosition& position, vecta::Coordinate owner)
{
    placeAt(ownerMarker, position, owner);
}

void DogTrackView::setDogPositions(const MapPosition& position, std::array<vecta::Coordinate, dogCount> dogs)
{
    for (std::size_t i = 0; i < dogCount; ++i) {
        placeAt(dogMarkers[i], position, dogs[i]);
    }
}

// A trail that grew is redrawn where it lies; a moved map is redrawn whole
// by setMapPosition.
void DogTrackView::setDogTrail(const MapPosition&, const std::array<DogTrackModel::DogTrail, dogCount>& trails)
{
    for (std::size_t i = 0; i < dogCount; ++i) {
        vecta::RouteOverlay& trail = trailOverlays[i];
        const std::uint32_t oldLength = trail.routeLength;
        const bool sameTrail = trail.routePoints == trails[i].offsets.data();
        trail.routePoints = trails[i].offsets.data();
        trail.routeLength = trails[i].count;
        if (sameTrail && oldLength == trail.routeLength) {
            continue;
        }
        ui::Rect changed = sameTrail && oldLength < trail.routeLength
                               ? trail.strokeBounds()
                               : ui::Rect(0, 0, mapWidget.getWidth(), mapWidget.getHeight());
        mapWidget.invalidateRect(changed);
    }
}
