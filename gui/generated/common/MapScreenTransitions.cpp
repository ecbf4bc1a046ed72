#include "common/FrontendApplicationBase.hpp"
#include "common/FrontendHeap.hpp"
#include "vecta/Assert.hpp"
#include "pizza_screen/PizzaPresenter.hpp"
#include "pizza_screen/PizzaView.hpp"

void FrontendApplicationBase::gotoPizzaScreenNoTransitionImpl()
{
    ui::makeTransition<PizzaView, PizzaPresenter, ui::NoTransition, Model>(&currentScreen, &currentPresenter,
                                                                           frontendHeap, &currentTransition, &model);
}

void FrontendApplicationBase::gotoDogTrackScreenNoTransitionImpl()
{
    VECTA_ASSERT(!"The dog-track screen is not part of this program yet");
}
