#pragma once

#include "common/FrontendApplication.hpp"
#include "common/FrontendHeapBase.hpp"
#include "common/ImageRegion.hpp"
#include "dogtrack_screen/DogTrackPresenter.hpp"
#include "dogtrack_screen/DogTrackView.hpp"
#include "menu_screen/MenuPresenter.hpp"
#include "menu_screen/MenuView.hpp"
#include "model/Model.hpp"
#include "mvp/Partition.hpp"
#include "pizza_screen/PizzaPresenter.hpp"
#include "pizza_screen/PizzaView.hpp"
#include "ui/Transition.hpp"

// The static home of the whole GUI: one slot each for the active presenter,
// view and transition, sized for the largest of each set, then the model and
// the application. A screen joins by adding its types to the sets below.
class FrontendHeap : public FrontendHeapBase {
public:
    using PresenterTypes = ui::Partition<MenuPresenter, PizzaPresenter, DogTrackPresenter>;
    using ViewTypes = ui::Partition<MenuView, PizzaView, DogTrackView>;
    using TransitionTypes = ui::Partition<ui::NoTransition>;

    // Built on first use; lives for the rest of the run.
    static FrontendHeap& getInstance()
    {
        static FrontendHeap instance;
        return instance;
    }

    PresenterTypes presenters;
    ViewTypes views;
    TransitionTypes transitions;
    Model model;
    FrontendApplication app;

private:
    FrontendHeap() : FrontendHeapBase(presenters, views, transitions, app), model(imageRegion()), app(model, *this) {}
};
