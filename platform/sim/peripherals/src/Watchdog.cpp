// The independent watchdog: counts down from its reload value on the 32 kHz
// low-speed oscillator divided by its prescaler; at zero it resets the board.

#include <cstdio>

#include "BoardState.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"

namespace {

constexpr std::uint32_t lowSpeedOscillatorHz = 32000;

struct Watchdog {
    bool running = false;
    std::uint32_t timeoutMs = 0;
    std::int64_t lastResetMs = -1;
};

Watchdog watchdog;
std::function<void()> resetHandler;

void expire(void*)
{
    watchdog.running = false;
    watchdog.lastResetMs = static_cast<std::int64_t>(sim::kernelMilliseconds());
    std::fprintf(stderr, "board: watchdog reset at %lld ms\n", static_cast<long long>(watchdog.lastResetMs));
    if (resetHandler) {
        resetHandler();
    } else {
        sim::stopKernel();
    }
}

void arm()
{
    sim::scheduleInterrupt(expire, &watchdog, sim::kernelMilliseconds() + watchdog.timeoutMs);
}

} // namespace

namespace sim::board {

void onWatchdogReset(std::function<void()> handler)
{
    resetHandler = std::move(handler);
}

std::int64_t lastWatchdogResetMs()
{
    return watchdog.lastResetMs;
}

} // namespace sim::board

namespace sim::board::detail {

void resetWatchdog()
{
    sim::cancelInterrupt(expire, &watchdog);
    const std::int64_t lastReset = watchdog.lastResetMs;
    watchdog = Watchdog{};
    watchdog.lastResetMs = lastReset;
}

} // namespace sim::board::detail

namespace bsp {

using sim::board::Step;
using sim::board::detail::takeFailure;

Status watchdogInit(std::uint8_t prescalerCode, std::uint16_t reload, std::uint16_t window)
{
    // Prescaler codes 0..6 divide by 4..256; reload and window are 12-bit.
    if (takeFailure(Step::Watchdog) || prescalerCode > 6 || reload > 0xFFF || window > 0xFFF) {
        return Status::Error;
    }
    const std::uint32_t divider = 4u << prescalerCode;
    watchdog.timeoutMs = (std::uint32_t{reload} + 1) * divider * 1000 / lowSpeedOscillatorHz;
    watchdog.running = true;
    arm();
    return Status::Ok;
}

void watchdogRefresh()
{
    if (watchdog.running) {
        arm();
    }
}

} // namespace bsp
