// Processor load: the idle task's tag marks the processor busy or idle, the
// frame loop turns the busy cycles into a percentage.

#include <gtest/gtest.h>

#include "board_config/BoardConfig.hpp"
#include "board_glue/FrameBuffers.hpp"
#include "startup/main.h"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"
#include "ui/TouchController.hpp"

namespace {

class NoTouch : public ui::TouchController {
public:
    void init() override {}
    bool sampleTouch(std::int32_t&, std::int32_t&) override { return false; }
};

class SteppedCycles : public ui::MCUInstrumentation {
public:
    void init() override {}
    std::uint32_t getCPUCycles() override { return now; }
    std::uint32_t now = 0;
};

class Load : public ::testing::Test {
protected:
    Load() : hal(lcd, touch, board::panelWidth, board::panelHeight)
    {
        gpu_sys_init();
        hal.setFrameBufferStartAddresses(frameBuf, frameBuf + frameBufferPixels, nullptr);
        hal.initialize();
        hal.setMCUInstrumentation(&cycles);
        hal.enableMCULoadCalculation(true);
    }

    ui::LCDGPU lcd;
    NoTouch touch;
    ui::HALGPU hal;
    SteppedCycles cycles;
};

} // namespace

TEST_F(Load, BusyCyclesOverAtLeastOneHundredMillionBecomeThePercentage)
{
    cycles.now = 10'000'000;
    IdleTaskHook(reinterpret_cast<void*>(1)); // the idle task leaves: busy
    cycles.now = 40'000'000;
    IdleTaskHook(nullptr); // idle again: 30 M busy
    cycles.now = 90'000'000;
    hal.tick();
    EXPECT_EQ(hal.getMCULoadPct(), 0) << "not yet 100 M cycles since the start";

    IdleTaskHook(reinterpret_cast<void*>(1));
    cycles.now = 100'000'000;
    hal.tick(); // 10 M more of a busy stretch still going on
    EXPECT_EQ(hal.getMCULoadPct(), 40);

    cycles.now = 150'000'000;
    IdleTaskHook(nullptr);
    cycles.now = 200'000'000;
    hal.tick();
    EXPECT_EQ(hal.getMCULoadPct(), 50) << "the running stretch counts from the last computation";
}

TEST_F(Load, TheCounterWrappingAroundDoesNotDisturbTheFigure)
{
    cycles.now = 0xFFFFFFFFu - 20'000'000u;
    hal.tick(); // starts a period near the top of the counter
    IdleTaskHook(reinterpret_cast<void*>(1));
    cycles.now += 25'000'000u; // wraps
    IdleTaskHook(nullptr);
    cycles.now += 75'000'000u;
    hal.tick();
    EXPECT_EQ(hal.getMCULoadPct(), 25);
}
