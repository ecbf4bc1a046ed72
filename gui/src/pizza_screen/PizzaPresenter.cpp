#include "pizza_screen/PizzaPresenter.hpp"

#include <algorithm>
#include <cmath>

#include "pizza_screen/PizzaView.hpp"

namespace {

// Steps shown are clamped to the route's length.
constexpr std::uint32_t lastStep = 178;
// 25 frames at 60 frames per second.
constexpr float secondsPerStep = 0.41666666f;

} // namespace

void PizzaPresenter::activate()
{
    Model& m = getModel();
    m.setActiveScreen(ActiveScreen::Pizza);
    m.setCoordinates(m.getStart().latitude, m.getStart().longitude);
    pizzaStateChanged();
    mapPositionChanged();
    view.setPositionClickedCallback([this] { getModel().getPizzaModel().setMoveMode(MoveMode::FollowPizza); });
    view.setHomeClickedCallback([this] {
        const vecta::Coordinate home = getModel().getPizzaModel().getHome();
        getModel().setCoordinates(home.latitude, home.longitude);
    });
    view.setOrderClickedCallback([this] { toggleOrder(); });
    m.getPizzaModel().setMoveMode(MoveMode::FollowPizza);
}

void PizzaPresenter::mapPositionChanged()
{
    Model& m = getModel();
    view.setMapPosition(m.getMapPosition(), m.getPizzaModel().getCurrentStep());
}

void PizzaPresenter::currentStepChanged()
{
    const PizzaModel& pizza = getModel().getPizzaModel();
    if (pizza.getPizzaState() != PizzaState::OnItsWay) {
        return;
    }
    const std::uint32_t step = std::min(pizza.getCurrentStep(), lastStep);
    view.setCurrentStep(step);
    view.setProgress(step);
    const auto remaining = static_cast<std::uint32_t>(std::round(static_cast<float>(lastStep - step) * secondsPerStep));
    view.setTime(static_cast<std::uint8_t>(remaining / 60), static_cast<std::uint8_t>(remaining % 60));
}

void PizzaPresenter::pizzaStateChanged()
{
    switch (getModel().getPizzaModel().getPizzaState()) {
    case PizzaState::OnItsWay:
        view.showOnItsWay();
        currentStepChanged();
        break;
    case PizzaState::Arrived:
        view.showArrived();
        break;
    case PizzaState::Idle:
        view.showIdle();
        break;
    }
}

void PizzaPresenter::autoOrderPizza()
{
    toggleOrder();
}

void PizzaPresenter::notifyTouch()
{
    getModel().getPizzaModel().notifyTouch();
}

void PizzaPresenter::toggleOrder()
{
    PizzaModel& pizza = getModel().getPizzaModel();
    switch (pizza.getPizzaState()) {
    case PizzaState::Idle:
        pizza.setPizzaState(PizzaState::OnItsWay);
        break;
    case PizzaState::Arrived:
        pizza.setPizzaState(PizzaState::Idle);
        break;
    case PizzaState::OnItsWay:
        break;
    }
}
