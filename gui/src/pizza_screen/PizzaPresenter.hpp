#pragma once

#include "map_screen/BaseMapPresenter.hpp"
#include "mvp/Presenter.hpp"

class PizzaView;

// Shows the pizza simulation on the pizza screen: route progress, remaining
// time, the panel of the order state and the map; turns the screen's taps
// into orders and map moves.
class PizzaPresenter : public BaseMapPresenter<ui::Presenter> {
public:
    explicit PizzaPresenter(PizzaView& v) : view(v) {}

    void activate() override;

    void mapPositionChanged() override;
    void currentStepChanged() override;
    void pizzaStateChanged() override;
    void autoOrderPizza() override;

    // Any press or drag on the screen: the user is still there.
    void notifyTouch();

private:
    void toggleOrder();

    PizzaView& view;
};
