// The simulated board's peripherals, driven as the firmware drives them.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "KernelTask.hpp"
#include "board_config/BoardConfig.hpp"
#include "board_glue/I2cTouchPanelPort.hpp"
#include "board_glue/PanelTouchController.hpp"
#include "board_glue/TouchInterrupt.hpp"
#include "platform/bsp.h"
#include "platform/flash.h"
#include "sim/Board.hpp"
#include "sim/Flash.hpp"
#include "sim/Interrupts.hpp"
#include "ui/TouchGestures.hpp"

namespace {

std::vector<std::uint64_t> lineEvents;

void bringUpFlash()
{
    ASSERT_EQ(bsp::flashPortInit(bsp::FlashPortConfig{4, 1, 27, 2}), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::ResetEnable, 0, 0), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::ResetMemory, 0, 0), bsp::Status::Ok);
    bsp::delayMs(100);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteEnable, 0, 0), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteConfigRegister2, 0x300, 7), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteEnable, 0, 0), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteConfigRegister2, 0, 2), bsp::Status::Ok);
    bsp::delayMs(40);
    ASSERT_EQ(bsp::flashEnableMemoryMapped(), bsp::Status::Ok);
}

} // namespace

// Defined by the firmware; here the test observes the line events.
void HAL_Display_LineEventCallback()
{
    lineEvents.push_back(sim::kernelMilliseconds());
}

TEST(FlashPort, TheFlashReadsOnlyAfterTheWholeCommandSequence)
{
    static const std::uint8_t image[64] = {1, 2, 3};
    sim::installFlashImage(image, sizeof image);
    sim::board::powerOn();
    EXPECT_EQ(flash_pointer(flashBaseAddress, 16), nullptr) << "not mapped at power-on";

    // Skipping the reset's recovery time: the chip is still busy.
    ASSERT_EQ(bsp::flashPortInit(bsp::FlashPortConfig{4, 1, 27, 2}), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::ResetEnable, 0, 0), bsp::Status::Ok);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::ResetMemory, 0, 0), bsp::Status::Ok);
    EXPECT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteEnable, 0, 0), bsp::Status::Error);
    EXPECT_EQ(bsp::flashEnableMemoryMapped(), bsp::Status::Error);
    EXPECT_EQ(flash_pointer(flashBaseAddress, 16), nullptr);

    // Octal mode without its dummy-cycle setting first is refused.
    bsp::delayMs(100);
    ASSERT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteEnable, 0, 0), bsp::Status::Ok);
    EXPECT_EQ(bsp::flashCommand(bsp::FlashCommand::WriteConfigRegister2, 0, 2), bsp::Status::Error);

    bringUpFlash();
    EXPECT_EQ(flash_pointer(flashBaseAddress, 16), image);
}

TEST(Watchdog, ExpiresTwoSecondsAfterItsLastRefresh)
{
    sim::board::powerOn();
    ASSERT_EQ(bsp::watchdogInit(3, 1999, 4095), bsp::Status::Ok);
    boardtest::runAsTask([] {
        for (int i = 0; i < 5; ++i) {
            rtos::delay(800);
            bsp::watchdogRefresh();
        }
        rtos::delay(10000);
    });
    EXPECT_EQ(sim::board::lastWatchdogResetMs(), 4000 + 2000);
}

TEST(DisplayController, LineEventsFireSixtyTimesASecondAtTheProgrammedLine)
{
    sim::board::powerOn();
    const bsp::DisplayTiming timing{4, 4, 12, 12, 812, 492, 820, 506, true, false, 0};
    ASSERT_EQ(bsp::displayInit(timing), bsp::Status::Ok);
    lineEvents.clear();
    boardtest::runAsTask([] {
        bsp::enableInterrupt(bsp::Irq::Display);
        bsp::displaySetLineEvent(491);
        bsp::displayEnableLineInterrupt();
        rtos::delay(1000);
    });
    ASSERT_EQ(lineEvents.size(), board::framesPerSecond);
    EXPECT_EQ(lineEvents.front(), 16u) << "line 491 of 506 lies at 16.2 ms of each 16.7 ms frame";
    EXPECT_EQ(lineEvents.back(), 999u);
    EXPECT_EQ(sim::board::displayedFrames(), board::framesPerSecond);
}

TEST(DisplayController, ANewLayerAddressWaitsForTheNextFrameUnlessReloadedAtOnce)
{
    sim::board::powerOn();
    static std::uint16_t first[board::panelPixels];
    static std::uint16_t second[board::panelPixels];
    const bsp::DisplayTiming timing{4, 4, 12, 12, 812, 492, 820, 506, true, false, 0};
    ASSERT_EQ(bsp::displayInit(timing), bsp::Status::Ok);
    constexpr std::uint16_t width = board::panelWidth;
    constexpr std::uint16_t height = board::panelHeight;
    const bsp::DisplayLayer layer{0,   width, 0,     height, bsp::PixelFormat::RGB565,
                                  255, 0,     width, height, reinterpret_cast<std::uintptr_t>(first)};
    ASSERT_EQ(bsp::displayLayerInit(layer), bsp::Status::Ok);
    std::vector<const std::uint16_t*> shown;
    boardtest::runAsTask([&] {
        rtos::delay(5);
        bsp::displaySetLayerAddress(reinterpret_cast<std::uintptr_t>(second), false);
        shown.push_back(sim::board::shownFrame());
        rtos::delay(20); // a frame starts at 16.7 ms
        shown.push_back(sim::board::shownFrame());
        bsp::displaySetLayerAddress(reinterpret_cast<std::uintptr_t>(first), true);
        shown.push_back(sim::board::shownFrame());
    });
    EXPECT_EQ(shown, (std::vector<const std::uint16_t*>{first, second, first}));
}

TEST(DisplayController, InconsistentTimingIsRefused)
{
    sim::board::powerOn();
    const bsp::DisplayTiming backwards{4, 4, 12, 12, 812, 492, 800, 506, true, false, 0};
    EXPECT_EQ(bsp::displayInit(backwards), bsp::Status::Error);
}

TEST(TouchPanel, TheFirmwareReadsTheFingersThroughTheBusAfterTheInterrupt)
{
    sim::board::powerOn();
    ASSERT_EQ(bsp::i2cInit(bsp::I2cConfig{0x00F07BFF, true, true, 0}), bsp::Status::Ok);
    doSampleTouch = false;
    mapTx = 0.0f;
    target::I2cTouchPanelPort port;
    target::PanelTouchController controller(port);
    std::vector<std::int32_t> seen;
    boardtest::runAsTask([&] {
        bsp::enableInterrupt(bsp::Irq::TouchLine);
        const sim::board::Finger start{100, 200};
        sim::board::setFingers(&start, 1);
        rtos::delay(5);
        std::int32_t x = -1;
        std::int32_t y = -1;
        ASSERT_TRUE(controller.sampleTouch(x, y));
        seen = {x, y};
        const sim::board::Finger moved{160, 200};
        sim::board::setFingers(&moved, 1);
        rtos::delay(5);
        ASSERT_TRUE(controller.sampleTouch(x, y));
        // The chip keeps reporting a resting finger every 10 ms.
        rtos::delay(20);
        EXPECT_TRUE(controller.sampleTouch(x, y));
        sim::board::setFingers(nullptr, 0);
        rtos::delay(5);
        EXPECT_FALSE(controller.sampleTouch(x, y));
    });
    EXPECT_EQ(seen, (std::vector<std::int32_t>{100, 200}));
    EXPECT_FLOAT_EQ(mapTx, 60.0f);
    std::uint8_t status = 0;
    EXPECT_EQ(bsp::i2cRead(0x70, 0x814E, &status, 1, bsp::waitForever), bsp::Status::Error) << "nobody at 0x70";
    EXPECT_EQ(bsp::i2cRead(0xBA, 0x9000, &status, 1, bsp::waitForever), bsp::Status::Error) << "past its registers";
    EXPECT_EQ(bsp::i2cRead(0xBA, 0x815F, &status, 2, bsp::waitForever), bsp::Status::Error) << "runs off the last one";
}

TEST(Interrupts, ARaiseFromAnotherThreadWakesAWaitingTask)
{
    sim::board::powerOn();
    static rtos::StaticSemaphore storage;
    static rtos::SemaphoreHandle semaphore = rtos::createBinarySemaphore(storage);
    std::atomic<bool> waiting{false};
    std::thread outside([&] {
        while (!waiting) {
            std::this_thread::yield();
        }
        sim::raiseInterrupt([](void*) { rtos::give(semaphore); }, nullptr);
    });
    bool taken = false;
    static std::function<void()> body;
    body = [&] {
        waiting = true;
        taken = rtos::take(semaphore, rtos::waitForever);
    };
    rtos::createTask(
        [](void*) {
            body();
            sim::stopKernel();
        },
        nullptr, rtos::TaskAttributes{"test", 1024, rtos::Priority::Normal});
    sim::runKernel(sim::TimeMode::WallClock, 10000);
    outside.join();
    EXPECT_TRUE(taken);
}
