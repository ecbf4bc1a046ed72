// Maintained by hand: no tool writes this file.

#pragma once

#include "mvp/MVPApplication.hpp"
#include "ui/Callback.hpp"

class FrontendHeap;
class Model;

// Screen switching for the three screens. A request only records which
// screen comes next; the switch runs at the start of the next frame, and a
// later request in the same frame replaces an earlier one.
class FrontendApplicationBase : public ui::MVPApplication {
public:
    FrontendApplicationBase(Model& m, FrontendHeap& heap);

    // The framework's hook back to the start: here it leads to the menu.
    void changeToStartScreen() override { gotoMenuScreenNoTransition(); }

    void gotoMenuScreenNoTransition();
    void gotoPizzaScreenNoTransition();
    void gotoDogTrackScreenNoTransition();

protected:
    ui::Callback<FrontendApplicationBase> transitionCallback;
    FrontendHeap& frontendHeap;
    Model& model;

private:
    void request(void (FrontendApplicationBase::*impl)());

    void gotoMenuScreenNoTransitionImpl();
    void gotoPizzaScreenNoTransitionImpl();
    void gotoDogTrackScreenNoTransitionImpl();
};
