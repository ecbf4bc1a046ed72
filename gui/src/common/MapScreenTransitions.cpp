// Maintained by hand: no tool writes this file.

#include "common/FrontendApplicationBase.hpp"
#include "common/FrontendHeap.hpp"
#include "dogtrack_screen/DogTrackPresenter.hpp"
#include "dogtrack_screen/DogTrackView.hpp"
#include "pizza_screen/PizzaPresenter.hpp"
#include "pizza_screen/PizzaView.hpp"

void FrontendApplicationBase::gotoPizzaScreenNoTransitionImpl()
{
    ui::makeTransition<PizzaView, PizzaPresenter, ui::NoTransition, Model>(&currentScreen, &currentPresenter,
                                                                           frontendHeap, &currentTransition, &model);
}

void FrontendApplicationBase::gotoDogTrackScreenNoTransitionImpl()
{
    ui::makeTransition<DogTrackView, DogTrackPresenter, ui::NoTransition, Model>(
        &currentScreen, &currentPresenter, frontendHeap, &currentTransition, &model);
}
