// Maintained by hand: no tool writes this file.

#include "common/FrontendApplicationBase.hpp"

#include "common/FrontendHeap.hpp"
#include "ui/HAL.hpp"
#include "ui/TypedText.hpp"

FrontendApplicationBase::FrontendApplicationBase(Model& m, FrontendHeap& heap) : frontendHeap(heap), model(m)
{
    if (ui::HAL* hal = ui::HAL::getInstance()) {
        hal->setDisplayOrientation(ui::ORIENTATION_LANDSCAPE);
    }
    ui::Texts::setLanguage(0);
}

void FrontendApplicationBase::request(void (FrontendApplicationBase::*impl)())
{
    transitionCallback = ui::Callback<FrontendApplicationBase>(this, impl);
    pendingScreenTransitionCallback = &transitionCallback;
}

void FrontendApplicationBase::gotoMenuScreenNoTransition()
{
    request(&FrontendApplicationBase::gotoMenuScreenNoTransitionImpl);
}

void FrontendApplicationBase::gotoPizzaScreenNoTransition()
{
    request(&FrontendApplicationBase::gotoPizzaScreenNoTransitionImpl);
}

void FrontendApplicationBase::gotoDogTrackScreenNoTransition()
{
    request(&FrontendApplicationBase::gotoDogTrackScreenNoTransitionImpl);
}

void FrontendApplicationBase::gotoMenuScreenNoTransitionImpl()
{
    ui::makeTransition<MenuView, MenuPresenter, ui::NoTransition, Model>(&currentScreen, &currentPresenter,
                                                                         frontendHeap, &currentTransition, &model);
}
