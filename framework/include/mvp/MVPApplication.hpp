#pragma once

#include <new>

#include "mvp/MVPHeap.hpp"
#include "mvp/Presenter.hpp"
#include "platform/Assert.hpp"
#include "ui/Application.hpp"
#include "ui/Callback.hpp"
#include "ui/Screen.hpp"
#include "ui/Transition.hpp"

namespace ui {

// An application whose screen switches are requests carried out at the start
// of the next frame.
class MVPApplication : public Application {
public:
    void handlePendingScreenTransition() override
    {
        // Cleared first, so a switch requested while switching is kept.
        GenericCallback<>* pending = pendingScreenTransitionCallback;
        pendingScreenTransitionCallback = nullptr;
        if (pending != nullptr && pending->isValid()) {
            pending->execute();
        }
    }

protected:
    MVPApplication() = default;

    Presenter* currentPresenter = nullptr;
    GenericCallback<>* pendingScreenTransitionCallback = nullptr;
};

// Tears down the current screen and builds the next one in the heap's slots.
template <class ScreenType, class PresenterType, class TransType, class ModelType>
PresenterType* makeTransition(Screen** currentScreen, Presenter** currentPresenter, MVPHeap& heap,
                              Transition** currentTrans, ModelType* model)
{
    VECTA_ASSERT(sizeof(ScreenType) <= heap.screenStorage.element_size() &&
                 "View allocation error: Check that all views are added to FrontendHeap::ViewTypes");
    VECTA_ASSERT(sizeof(PresenterType) <= heap.presenterStorage.element_size() &&
                 "Presenter allocation error: Check that all presenters are added to FrontendHeap::PresenterTypes");
    VECTA_ASSERT(sizeof(TransType) <= heap.transitionStorage.element_size() &&
                 "Transition allocation error: Check that all transitions are added to FrontendHeap::TransitionTypes");

    heap.frontendApplication.clearAllTimerWidgets();

    if (*currentTrans != nullptr) {
        (*currentTrans)->tearDown();
        (*currentTrans)->~Transition();
    }
    if (*currentScreen != nullptr) {
        (*currentScreen)->tearDownScreen();
    }
    if (*currentPresenter != nullptr) {
        (*currentPresenter)->deactivate();
    }
    if (*currentScreen != nullptr) {
        (*currentScreen)->~Screen();
    }
    if (*currentPresenter != nullptr) {
        (*currentPresenter)->~Presenter();
    }

    TransType* newTransition = new (heap.transitionStorage.element(0)) TransType;
    ScreenType* newScreen = new (heap.screenStorage.element(0)) ScreenType;
    PresenterType* newPresenter = new (heap.presenterStorage.element(0)) PresenterType(*newScreen);

    *currentTrans = newTransition;
    *currentScreen = newScreen;
    *currentPresenter = newPresenter;
    model->bind(newPresenter);
    newPresenter->bind(model);
    newScreen->bind(*newPresenter);

    newScreen->setupScreen();
    newPresenter->activate();
    newTransition->setScreenContainer(newScreen->getRootContainer());
    newTransition->init();
    newTransition->invalidate();
    return newPresenter;
}

} // namespace ui
