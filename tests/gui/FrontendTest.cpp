#include <gtest/gtest.h>

#include "AssertionMatcher.hpp"
#include "FrameworkFixture.hpp"
#include "common/FrontendHeap.hpp"
#include "images/BitmapDatabase.hpp"
#include "texts/TypedTextDatabase.hpp"

namespace {

class Frontend : public ::testing::Test {
protected:
    Frontend() : hal(lcd, touch, 800, 480), heap(registeredHeap())
    {
        gpu_sys_init();
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        hal.initialize();
        heap.app.gotoMenuScreenNoTransition();
        frame();
    }

    static FrontendHeap& registeredHeap()
    {
        ui::Bitmap::registerBitmapDatabase(BitmapDatabase::getInstance(), BitmapDatabase::getInstanceSize());
        ui::Texts::setLanguages(TypedTextDatabase::getLanguages(), TypedTextDatabase::getLanguageCount());
        return FrontendHeap::getInstance();
    }

    void frame()
    {
        hal.tick();
        hal.vSync();
    }

    ui::LCDGPU lcd;
    fixture::ScriptedTouch touch;
    ui::HALGPU hal;
    FrontendHeap& heap;
};

const std::string pizzaNotBuiltIn = "!\"The pizza screen is not part of this program yet\"";

} // namespace

TEST_F(Frontend, MenuStopsBothSimulationsAndRequestingItAgainRebuildsIt)
{
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::None);
    heap.model.setActiveScreen(ActiveScreen::Pizza);
    heap.app.changeToStartScreen();
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::Pizza); // only requested
    frame();
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::None); // the new presenter's activation
}

TEST_F(Frontend, ButtonReleaseSwitchesOnTheNextFrameNotDuringIt)
{
    touch.samples = {{true, 200, 200}, {false, 0, 0}};
    frame(); // press
    frame(); // release: the request is made, nothing switches yet
    EXPECT_ASSERTION(frame(), pizzaNotBuiltIn);
}

TEST_F(Frontend, PressDraggedFromOneButtonOntoTheOtherSwitchesToNeither)
{
    ui::Screen* menu = heap.app.getCurrentScreen();
    touch.samples = {{true, 200, 200}, {true, 400, 200}, {true, 500, 200}, {false, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        frame();
    }
    EXPECT_EQ(heap.app.getCurrentScreen(), menu);
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::None);
}

TEST_F(Frontend, ALaterRequestInTheSameFrameReplacesTheEarlierOne)
{
    heap.app.gotoPizzaScreenNoTransition();
    heap.app.gotoMenuScreenNoTransition();
    frame();
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::None);
}

TEST_F(Frontend, StartScreenIsThePizzaScreen)
{
    FrontendHeap::gotoStartScreen(heap.app);
    EXPECT_ASSERTION(frame(), pizzaNotBuiltIn);
}

TEST_F(Frontend, ViewLargerThanItsSlotNamesViewAndPresenter)
{
    struct OversizedMenuView : MenuView {
        char extra[64] = {};
    };
    ui::Screen* screen = nullptr;
    ui::Presenter* presenter = nullptr;
    ui::Transition* transition = nullptr;
    EXPECT_DEATH((ui::makeTransition<OversizedMenuView, MenuPresenter, ui::NoTransition, Model>(
                     &screen, &presenter, heap, &transition, &heap.model)),
                 "View allocation error.*ScreenType = .*OversizedMenuView; PresenterType = MenuPresenter");
}
