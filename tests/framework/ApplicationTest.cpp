#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework_tests/FrameworkFixture.hpp"
#include "mvp/View.hpp"
#include "support/AssertionMatcher.hpp"

namespace {

std::vector<std::string> events;

class Model;

class Presenter : public ui::Presenter {
public:
    void bind(Model* m) { model = m; }
    Model* model = nullptr;
};

class Model {
public:
    void bind(Presenter* p) { listener = p; }
    Presenter* listener = nullptr;
};

class MenuPresenter;

class MenuView : public ui::View<MenuPresenter> {
public:
    MenuView() { events.push_back("view built"); }
    ~MenuView() override { events.push_back("view destroyed"); }
    void setupScreen() override { events.push_back("setupScreen"); }
    void tearDownScreen() override { events.push_back("tearDownScreen"); }
    void afterTransition() override { events.push_back("afterTransition"); }
    void handleTickEvent() override { events.push_back("view tick"); }
    MenuPresenter* boundPresenter() const { return presenter; }
};

class MenuPresenter : public Presenter {
public:
    explicit MenuPresenter(MenuView& v) : view(v) { events.push_back("presenter built"); }
    ~MenuPresenter() override { events.push_back("presenter destroyed"); }
    void activate() override { events.push_back("activate"); }
    void deactivate() override { events.push_back("deactivate"); }
    MenuView& view;
};

class HugeView : public MenuView {
    char padding[4096] = {};
};

using Heap = ui::MVPHeap;

class Application : public fixture::TestApplication {
public:
    template <class View> void gotoScreen()
    {
        ui::makeTransition<View, MenuPresenter, ui::NoTransition, Model>(&currentScreen, &currentPresenter, *heap,
                                                                         &currentTransition, &model);
    }
    void requestMenu()
    {
        pending = ui::Callback<Application>(this, &Application::gotoScreen<MenuView>);
        pendingScreenTransitionCallback = &pending;
    }
    ui::Presenter* presenter() const { return currentPresenter; }

    Heap* heap = nullptr;
    Model model;
    ui::Callback<Application> pending;
};

class Switching : public ::testing::Test {
protected:
    Switching() : heap(presenters, views, transitions, app)
    {
        app.heap = &heap;
        events.clear();
    }
    ~Switching() override
    {
        // The slots hold the last screen; end it like a switch would.
        if (app.getCurrentScreen() != nullptr) {
            app.getCurrentScreen()->~Screen();
            app.presenter()->~Presenter();
        }
    }

    ui::Partition<MenuPresenter> presenters;
    ui::Partition<MenuView> views;
    ui::Partition<ui::NoTransition> transitions;
    Application app;
    Heap heap;
};

} // namespace

TEST_F(Switching, RequestIsCarriedOutOnceAtTheNextFrameAndBindsEverything)
{
    app.requestMenu();
    EXPECT_TRUE(events.empty());
    app.handlePendingScreenTransition();
    app.handlePendingScreenTransition();
    EXPECT_EQ(events, (std::vector<std::string>{"view built", "presenter built", "setupScreen", "activate"}));
    auto* view = static_cast<MenuView*>(app.getCurrentScreen());
    EXPECT_EQ(view->boundPresenter(), app.presenter());
    EXPECT_EQ(app.model.listener, app.presenter());
    EXPECT_EQ(static_cast<Presenter*>(app.presenter())->model, &app.model);
}

TEST_F(Switching, SwitchingToTheSameScreenRebuildsIt)
{
    app.gotoScreen<MenuView>();
    events.clear();
    app.gotoScreen<MenuView>();
    EXPECT_EQ(events, (std::vector<std::string>{"tearDownScreen", "deactivate", "view destroyed", "presenter destroyed",
                                                "view built", "presenter built", "setupScreen", "activate"}));
}

TEST_F(Switching, EnteredScreenIsTickedFromTheFollowingFrameAfterTheTransition)
{
    app.gotoScreen<MenuView>();
    events.clear();
    app.handleTickEvent();
    EXPECT_TRUE(events.empty());
    app.handleTickEvent();
    app.handleTickEvent();
    EXPECT_EQ(events, (std::vector<std::string>{"afterTransition", "view tick", "view tick"}));
}

TEST_F(Switching, ViewLargerThanItsSlotAsserts)
{
    EXPECT_ASSERTION(app.gotoScreen<HugeView>(), "sizeof(ScreenType) <= heap.screenStorage.element_size() && "
                                                 "\"View allocation error: Check that all views are added to "
                                                 "FrontendHeap::ViewTypes\"");
}
