// Maintained by hand: no tool writes this file.

#pragma once

#include "common/ScreenBackground.hpp"

class PizzaPresenter;

// The pizza screen's base: the light-beige ground the map is drawn on; the
// view builds everything else.
class PizzaViewBase : public ScreenBackground<PizzaPresenter> {
public:
    PizzaViewBase() : ScreenBackground(0xFFEDE9D9) {}

    void setupScreen() override {}
};
