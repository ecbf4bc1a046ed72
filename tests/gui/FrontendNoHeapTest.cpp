// The frame loop of the menu, screen switches included, has no heap to use.

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "common/FrontendSetup.hpp"
#include "framework_tests/FrameworkFixture.hpp"
#include "support/AllocationCounter.hpp"

TEST(FrontendNoHeap, MenuFramesTouchesAndSwitchesAllocateNothing)
{
    ui::LCDGPU lcd;
    fixture::ScriptedTouch touch;
    ui::HALGPU hal(lcd, touch, board::panelWidth, board::panelHeight);
    gpu_sys_init();
    hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
    hal.initialize();
    FrontendHeap& heap = setupFrontend();
    heap.app.gotoMenuScreenNoTransition();
    // A press dragged from one button onto the other, then a tap beside them.
    touch.samples = {{true, 200, 200}, {true, 400, 200}, {true, 500, 200},
                     {false, 0, 0},    {true, 50, 50},   {false, 0, 0}};
    const long allocations = allocationsOf([&] {
        for (int frame = 0; frame < 120; ++frame) {
            if (frame % 40 == 20) {
                heap.app.changeToStartScreen(); // rebuilds the menu in its slots
            }
            hal.tick();
            hal.vSync();
        }
    });
    EXPECT_EQ(allocations, 0);
}
