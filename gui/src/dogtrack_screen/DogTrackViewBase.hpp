// Maintained by hand: no tool writes this file.

#pragma once

#include "common/ScreenBackground.hpp"

class DogTrackPresenter;

// The dog-track screen's base: the light-beige ground the map is drawn on;
// the view builds everything else.
class DogTrackViewBase : public ScreenBackground<DogTrackPresenter> {
public:
    DogTrackViewBase() : ScreenBackground(0xFFEDE9D9) {}

    void setupScreen() override {}
};
