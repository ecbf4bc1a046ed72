#pragma once

#include <array>
#include <cstdint>

#include "model/DirectionsData.hpp"
#include "model/MapProjection.hpp"
#include "model/ModelStates.hpp"

class Model;

// The route in map units relative to the map centre, for the pizza view.
extern std::array<vecta::Point, directionsPointCount> CachedDirections;

// One pizza delivery: a courier advancing one route point every 25 frames,
// with the map following it until the user moves the map.
class PizzaModel {
public:
    static constexpr std::uint32_t framesPerStep = 25;
    static constexpr std::uint32_t autoOrderIdleFrames = 1200;
    static constexpr std::uint32_t lastStep = directionsPointCount - 1;

    PizzaModel(Model* model, const vecta::Coordinate* route);

    void tick();

    void setMoveMode(MoveMode mode);
    void setPizzaState(PizzaState state);
    void notifyTouch();
    void updateDirectionsCache();

    MoveMode getMoveMode() const { return moveMode; }
    PizzaState getPizzaState() const { return pizzaState; }
    std::uint32_t getCurrentStep() const { return currentStep; }
    std::uint32_t getIdleTicks() const { return idleTicks; }
    vecta::Coordinate getHome() const { return route[lastStep]; }

private:
    void courierStep();
    void snapTo(std::uint32_t point);
    void moveMap(vecta::Coordinate coordinate);

    MoveMode moveMode = MoveMode::FollowPizza;
    PizzaState pizzaState = PizzaState::Idle;
    Model* model;
    const vecta::Coordinate* route; // directionsPointCount points
    std::uint32_t currentStep = 0;
    std::uint32_t idleTicks = 0;
    // Frames spent on the way; never reset, so an order's first step comes
    // after 1 to 25 frames.
    std::uint32_t counter = 0;
    // Frames since the map last snapped to a route point while following.
    std::uint32_t followTick = 0;
};
