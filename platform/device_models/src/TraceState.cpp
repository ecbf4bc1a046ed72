#include "device_models/TraceState.hpp"

#include <cstring>

#include "common/FrontendHeap.hpp"
#include "ui/HAL.hpp"
#include "ui/TouchGestures.hpp"
#include "vecta/GlobalMapCache.hpp"

namespace devices {

namespace {

const char* screenName(ActiveScreen screen)
{
    switch (screen) {
    case ActiveScreen::Pizza:
        return "pizza";
    case ActiveScreen::DogTrack:
        return "dogtrack";
    case ActiveScreen::None:
        break;
    }
    return "menu";
}

const char* pizzaStateName(PizzaState state)
{
    switch (state) {
    case PizzaState::OnItsWay:
        return "on its way";
    case PizzaState::Arrived:
        return "arrived";
    case PizzaState::Idle:
        break;
    }
    return "idle";
}

template <typename Layer> void countTiles(const Layer& layer, std::uint32_t& cached, std::uint32_t& pending)
{
    for (const vecta::CacheTile& slot : layer.slots) {
        if (slot.pending) {
            ++pending;
        } else if (!slot.placeholder && slot.size != 0) {
            ++cached;
        }
    }
}

template <std::size_t Size> void copyName(char (&to)[Size], const char* name)
{
    std::strncpy(to, name, Size - 1);
    to[Size - 1] = '\0';
}

} // namespace

void readTraceState(TraceState& state)
{
    state = TraceState{};
    Model& model = FrontendHeap::getInstance().model;
    const MapPosition& map = model.getMapPosition();
    copyName(state.screen, screenName(model.getActiveScreen()));
    state.latitude = map.coordinate.latitude;
    state.longitude = map.coordinate.longitude;
    state.zoom = map.zoom;
    state.scale = map.scale;
    state.tileScale = map.tileScale;
    state.rotation = map.rotation;
    state.x = map.x;
    state.y = map.y;
    const PizzaModel& pizza = model.getPizzaModel();
    copyName(state.pizzaState, pizzaStateName(pizza.getPizzaState()));
    state.pizzaStep = pizza.getCurrentStep();
    for (const vecta::Coordinate& dog : model.getDogTrackModel().getDogPositions()) {
        if (state.dogCount < TraceState::maxDogs) {
            state.dogs[state.dogCount][0] = dog.latitude;
            state.dogs[state.dogCount][1] = dog.longitude;
            ++state.dogCount;
        }
    }
    // The current level's 3 x 3 is what the view shows.
    countTiles(mapCache.current, state.tilesCached, state.tilesVisiblePending);
    state.tilesPending = state.tilesVisiblePending;
    countTiles(mapCache.lower, state.tilesCached, state.tilesPending);
    countTiles(mapCache.upper, state.tilesCached, state.tilesPending);
    state.damagedTiles = model.getDamagedTiles();
    state.gestureTx = mapTx;
    state.gestureTy = mapTy;
    state.gestureScale = mapScale;
    state.gestureRotation = mapRotation;
    if (const ui::HAL* hal = ui::HAL::getInstance()) {
        state.dirtyPixels = hal->getDirtyPixels();
    }
}

} // namespace devices
