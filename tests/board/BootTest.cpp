// One boot of the whole firmware on the simulated board, in virtual time.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/flash.h"
#include "sim/Board.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"
#include "startup/main.h"
#include "tile_fetcher/TileFetcher.h"
#include "ui/HAL.hpp"

namespace {

struct FirstFrame {
    bool seen = false;
    bool fetcherReady = false;
    bool flashMapped = false;
    std::uint64_t atMs = 0;
};

} // namespace

TEST(Boot, AFailingConfigurationStepHaltsTheBoardInError_Handler)
{
    EXPECT_EXIT(
        {
            sim::board::powerOn();
            sim::board::failStep(sim::board::Step::FlashPort);
            board_main();
        },
        ::testing::ExitedWithCode(2), "Error_Handler: external flash configuration failed");
}

TEST(Boot, ATaskTheKernelHeapCannotHoldHaltsTheBoardInError_Handler)
{
    EXPECT_EXIT(
        {
            sim::board::powerOn();
            // Leaves room for the default task's stack, not the GUI task's.
            constexpr std::uint32_t kernelHeapBytes = 80000;
            rtos::createTask([](void*) {}, nullptr,
                             rtos::TaskAttributes{"hog", kernelHeapBytes - 1024, rtos::Priority::Low});
            // Without the halt, a short run that ends normally.
            sim::setTimeMode(sim::TimeMode::Virtual);
            sim::setTimeLimit(100);
            board_main();
            std::exit(0);
        },
        ::testing::ExitedWithCode(2), "Error_Handler: the board halts");
}

TEST(Boot, MainStartsThreeTasksAndTheGuiRunsOneFramePerRefresh)
{
    FirstFrame first;
    int frames = 0;
    std::uint32_t cycles = 0;
    sim::board::powerOn();
    sim::board::onDebugSignal([&](bsp::DebugSignal signal, bool high) {
        if (signal != bsp::DebugSignal::RenderTime || high) {
            return;
        }
        if (++frames == 1) {
            first = FirstFrame{true, TileFetcher::IsIdle(), flash_pointer(flashBaseAddress, 4) != nullptr,
                               sim::kernelMilliseconds()};
        }
        if (frames == 120) {
            cycles = bsp::cycleCounter();
            sim::stopKernel();
        }
    });
    sim::setTimeMode(sim::TimeMode::Virtual);
    board_main();
    sim::board::onDebugSignal(nullptr);

    EXPECT_NE(defaultTaskHandle, nullptr);
    EXPECT_NE(GUI_TaskHandle, nullptr);
    EXPECT_NE(TileFetcher_TaskHandle, nullptr);
    EXPECT_EQ(std::string(defaultTask_attributes.name), "defaultTask");
    EXPECT_EQ(defaultTask_attributes.stackSize, 512u);
    EXPECT_EQ(std::string(GUI_Task_attributes.name), "GUI_Task");
    EXPECT_EQ(GUI_Task_attributes.stackSize, 65536u);
    EXPECT_EQ(GUI_Task_attributes.priority, rtos::Priority::Normal);

    ASSERT_TRUE(first.seen);
    EXPECT_TRUE(first.fetcherReady) << "the fetcher task set itself up before the first frame";
    EXPECT_TRUE(first.flashMapped);
    EXPECT_EQ(first.atMs, 16u) << "the first frame follows the first vertical sync";
    EXPECT_EQ(frames, 120);
    EXPECT_EQ(sim::board::displayedFrames(), 119u) << "one scan-out per frame; the 120th is still to come";
    ASSERT_NE(ui::HAL::getInstance(), nullptr);
    EXPECT_EQ(ui::HAL::getInstance()->getTFTFrameBuffer(), sim::board::shownFrame());
    EXPECT_NE(ui::HAL::getInstance()->getButtonController(), nullptr) << "the key sampler is polled";
    EXPECT_GT(cycles, 0u) << "the load measurement's cycle counter runs";
}
