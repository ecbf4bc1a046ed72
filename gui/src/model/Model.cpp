#include "model/Model.hpp"

#include <cmath>

#include "model/TileZoomInfo.hpp"

namespace {

constexpr float smallestScale = 0.005f;
constexpr float largestScale = 1.5f;

// The pizza screen's start view; the integer fields are its position at zoom 13.
constexpr MapPosition startPosition{builtInStartScale, 0.25f, 0.0f, builtInStart, 13, 17727020,
                                    10420245,          4327,  2544, 400,          240};

} // namespace

Model::Model(const Region& region)
    : start(region.start), mapPosition(startPosition), pizzaModel(this, region.route), dogTrackModel(this, region.dogs)
{
    // Another region's view: its zoom level first, then its position there.
    if (region.start.latitude != startPosition.coordinate.latitude ||
        region.start.longitude != startPosition.coordinate.longitude || region.startScale != startPosition.scale) {
        const TileZoomInfo level(region.startScale);
        mapPosition.scale = region.startScale;
        mapPosition.zoom = level.zoom;
        mapPosition.tileScale = level.tileScale;
        placeMap(region.start);
        pizzaModel.updateDirectionsCache();
        dogTrackModel.updateTrailCache();
    }
}

void Model::tick()
{
    switch (activeScreen) {
    case ActiveScreen::Pizza:
        pizzaModel.tick();
        break;
    case ActiveScreen::DogTrack:
        dogTrackModel.tick();
        break;
    case ActiveScreen::None:
        break;
    }
}

void Model::setScale(float scale)
{
    // A degenerate pinch can produce NaN; it must not reach the zoom level.
    if (std::isnan(scale) || scale == mapPosition.scale) {
        return;
    }
    if (scale <= smallestScale) {
        scale = smallestScale;
    } else if (scale >= largestScale) {
        scale = largestScale;
    }
    mapPosition.scale = scale;
    const TileZoomInfo level(scale);
    const bool zoomChanged = level.zoom != mapPosition.zoom;
    mapPosition.zoom = level.zoom;
    mapPosition.tileScale = level.tileScale;
    placeMap(mapPosition.coordinate);
    // Offsets are in map units of the zoom level: left at the old level the
    // route and trails would be drawn at twice or half their distance.
    if (zoomChanged) {
        refreshActiveCache();
    }
    notify(&ModelListener::mapPositionChanged);
}

void Model::setRotation(float degrees)
{
    if (!std::isfinite(degrees) || degrees == mapPosition.rotation) {
        return;
    }
    mapPosition.rotation = degrees;
    notify(&ModelListener::mapPositionChanged);
}

void Model::setRotationCenter(float x, float y)
{
    if (!std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    if (x == static_cast<float>(mapPosition.rotationCenterX) && y == static_cast<float>(mapPosition.rotationCenterY)) {
        return;
    }
    mapPosition.rotationCenterX = truncateToInt32(x);
    mapPosition.rotationCenterY = truncateToInt32(y);
    notify(&ModelListener::mapPositionChanged);
}

void Model::setCoordinates(float latitude, float longitude)
{
    if (!std::isfinite(latitude) || !std::isfinite(longitude)) {
        return;
    }
    // Any re-centring from outside the pizza simulation ends following.
    if (pizzaModel.getMoveMode() == MoveMode::FollowPizza) {
        pizzaModel.setMoveMode(MoveMode::Free);
    }
    placeMap({latitude, longitude});
    refreshActiveCache();
    notify(&ModelListener::mapPositionChanged);
}

void Model::refreshActiveCache()
{
    switch (activeScreen) {
    case ActiveScreen::Pizza:
        pizzaModel.updateDirectionsCache();
        break;
    case ActiveScreen::DogTrack:
        dogTrackModel.updateTrailCache();
        break;
    case ActiveScreen::None:
        break;
    }
}

void Model::placeMap(vecta::Coordinate coordinate)
{
    const MapUnits units = toMapUnits(coordinate, mapPosition.zoom);
    mapPosition.coordinate = coordinate;
    mapPosition.x = units.x;
    mapPosition.y = units.y;
    mapPosition.tileX = units.tileX;
    mapPosition.tileY = units.tileY;
}

void Model::notify(void (ModelListener::*notification)())
{
    if (listener != nullptr) {
        (listener->*notification)();
    }
}
