#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "common/FrontendSetup.hpp"
#include "framework_tests/FrameworkFixture.hpp"
#include "sim/PngWriter.hpp"

namespace {

class Frontend : public ::testing::Test {
protected:
    Frontend() : hal(lcd, touch, board::panelWidth, board::panelHeight), heap(registeredHeap())
    {
        gpu_sys_init();
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        hal.initialize();
        // The heap is one per program: each test starts from a model as at
        // power-up, whatever an earlier one left in it.
        heap.model.~Model();
        new (&heap.model) Model();
        heap.app.gotoMenuScreenNoTransition();
        frame();
    }

    static FrontendHeap& registeredHeap()
    {
        static FrontendHeap& heap = setupFrontend();
        return heap;
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
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::None);
    frame();
    EXPECT_NE(dynamic_cast<PizzaView*>(heap.app.getCurrentScreen()), nullptr);
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::Pizza);
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
    frame();
    EXPECT_NE(dynamic_cast<PizzaView*>(heap.app.getCurrentScreen()), nullptr);
    EXPECT_EQ(heap.model.getActiveScreen(), ActiveScreen::Pizza);
}

TEST_F(Frontend, ViewLargerThanItsSlotNamesViewAndPresenter)
{
    struct OversizedMenuView : MenuView {
        char extra[FrontendHeap::ViewTypes::elementSize] = {};
    };
    ui::Screen* screen = nullptr;
    ui::Presenter* presenter = nullptr;
    ui::Transition* transition = nullptr;
    EXPECT_DEATH((ui::makeTransition<OversizedMenuView, MenuPresenter, ui::NoTransition, Model>(
                     &screen, &presenter, heap, &transition, &heap.model)),
                 "View allocation error.*ScreenType = .*OversizedMenuView; PresenterType = MenuPresenter");
}

TEST_F(Frontend, MenuScreenMatchesTheReferencePicture)
{
    // Regenerate after an intended change to the menu or its artwork with
    //   MENU_PNG=tests/gui/reference/menu.png build/default/tests/gui/frontend_tests
    //     --gtest_filter='*Reference*'
    const std::uint16_t* shown = hal.getTFTFrameBuffer();
    if (const char* out = std::getenv("MENU_PNG")) {
        ASSERT_EQ(sim::writeRgb565Png(out, shown, board::panelWidth, board::panelHeight, board::panelWidth * 2), "");
    }
    std::vector<std::uint16_t> reference(board::panelPixels);
    ASSERT_EQ(sim::readPngAsRgb565(REFERENCE_DIR "/menu.png", reference.data(), board::panelWidth, board::panelHeight),
              "");
    // Antialiasing may differ by a few levels between renderer versions.
    int differing = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const std::uint16_t a = shown[i];
        const std::uint16_t b = reference[i];
        const int dr = std::abs(((a >> 11) & 0x1F) - ((b >> 11) & 0x1F));
        const int dg = std::abs(((a >> 5) & 0x3F) - ((b >> 5) & 0x3F));
        const int db = std::abs((a & 0x1F) - (b & 0x1F));
        differing += (dr > 2 || dg > 4 || db > 2) ? 1 : 0;
    }
    EXPECT_LE(differing, board::panelWidth * board::panelHeight / 500) << "pixels differing from the reference";
}
