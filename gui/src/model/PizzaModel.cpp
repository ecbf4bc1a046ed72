#include "model/PizzaModel.hpp"

#include <algorithm>

#include "model/Model.hpp"
#include "model/WatchdogFlag.hpp"

std::array<vecta::Point, directionsPointCount> CachedDirections{};

namespace {

// The map is moved only every third frame between route points.
constexpr std::uint32_t framesPerMapMove = 3;

} // namespace

PizzaModel::PizzaModel(Model* owner, const vecta::Coordinate* routePoints) : model(owner), route(routePoints)
{
    updateDirectionsCache();
}

void PizzaModel::setMoveMode(MoveMode mode)
{
    if (mode == moveMode) {
        return;
    }
    moveMode = mode;
    model->notify(&ModelListener::moveModeChanged);
}

void PizzaModel::setPizzaState(PizzaState state)
{
    if (state == pizzaState) {
        return;
    }
    pizzaState = state;
    if (state == PizzaState::Idle) {
        currentStep = 0;
    }
    model->notify(&ModelListener::pizzaStateChanged);
    idleTicks = 0;
}

void PizzaModel::notifyTouch()
{
    idleTicks = 0;
    watchdogRefreshEnabled = true;
}

void PizzaModel::updateDirectionsCache()
{
    const MapPosition& position = model->getMapPosition();
    // A local: the member would be loaded again after every call.
    const vecta::Coordinate* const points = route;
    for (std::size_t i = 0; i < directionsPointCount; ++i) {
        CachedDirections[i] = offsetFromCenter(points[i], position);
    }
}

void PizzaModel::tick()
{
    if (pizzaState == PizzaState::OnItsWay) {
        courierStep();
    }
    ++idleTicks;
    if (pizzaState == PizzaState::Idle && idleTicks >= autoOrderIdleFrames) {
        // Repeats every frame until the presenter places the order.
        model->notify(&ModelListener::autoOrderPizza);
        setMoveMode(MoveMode::FollowPizza);
    }
}

void PizzaModel::courierStep()
{
    const std::uint32_t frame = counter++;
    if (frame % framesPerStep == 0) {
        // Held at the last point even if an order is restarted from there.
        currentStep = std::min(currentStep + 1, lastStep);
        if (currentStep == lastStep) {
            pizzaState = PizzaState::Arrived;
            model->notify(&ModelListener::pizzaStateChanged);
            idleTicks = 0;
        }
        if (moveMode == MoveMode::FollowPizza) {
            snapTo(currentStep);
        }
        model->notify(&ModelListener::currentStepChanged);
        return;
    }

    if (moveMode == MoveMode::Free) {
        return;
    }
    if (currentStep == 0) {
        snapTo(0);
        return;
    }
    if (followTick % framesPerMapMove == 0 && currentStep < lastStep) {
        const float f = static_cast<float>(followTick) / static_cast<float>(framesPerStep);
        const vecta::Coordinate from = route[currentStep];
        const vecta::Coordinate to = route[currentStep + 1];
        moveMap(
            {from.latitude + f * (to.latitude - from.latitude), from.longitude + f * (to.longitude - from.longitude)});
    }
    ++followTick;
}

void PizzaModel::snapTo(std::uint32_t point)
{
    followTick = 0;
    moveMap(route[point]);
    followTick = 1;
}

void PizzaModel::moveMap(vecta::Coordinate coordinate)
{
    // Not through Model::setCoordinates, which would end follow mode.
    model->placeMap(coordinate);
    updateDirectionsCache();
    model->notify(&ModelListener::mapPositionChanged);
}
