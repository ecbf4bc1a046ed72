#pragma once

#include <cstdint>

#include "model/DogTrackModel.hpp"
#include "model/MapPosition.hpp"
#include "model/ModelListener.hpp"
#include "model/ModelStates.hpp"
#include "model/PizzaModel.hpp"
#include "model/Region.hpp"

// The application model: the one map position shared by every map screen,
// and the two simulations, of which the one on screen is ticked each frame.
class Model {
public:
    explicit Model(const Region& region = builtInRegion);

    void bind(ModelListener* boundListener) { listener = boundListener; }

    void tick();

    void setScale(float scale);
    void setRotation(float degrees);
    void setRotationCenter(float x, float y);
    void setCoordinates(float latitude, float longitude);

    const MapPosition& getMapPosition() const { return mapPosition; }
    vecta::Coordinate getStart() const { return start; }

    ActiveScreen getActiveScreen() const { return activeScreen; }
    void setActiveScreen(ActiveScreen screen) { activeScreen = screen; }

    PizzaModel& getPizzaModel() { return pizzaModel; }
    DogTrackModel& getDogTrackModel() { return dogTrackModel; }

    // For the simulations: centre the map on a coordinate at the current
    // zoom level, leaving scale, rotation and the simulations alone.
    void placeMap(vecta::Coordinate coordinate);

    // Sends one notification to the bound listener, if there is one.
    void notify(void (ModelListener::*notification)());

    // Fetched tiles that turned out damaged, across all map screens.
    void countDamagedTile() { ++damagedTiles; }
    std::uint32_t getDamagedTiles() const { return damagedTiles; }

private:
    // Brings the active simulation's offsets to the current map position.
    void refreshActiveCache();

    ModelListener* listener = nullptr;
    vecta::Coordinate start;
    // Set before the simulations, whose constructors compute their caches
    // relative to it.
    MapPosition mapPosition;
    ActiveScreen activeScreen = ActiveScreen::None;
    PizzaModel pizzaModel;
    DogTrackModel dogTrackModel;
    std::uint32_t damagedTiles = 0;
};
