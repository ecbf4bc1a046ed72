// The independent watchdog on the 32 kHz low-speed oscillator, counting
// board time, so that a frame that is slow to emulate does not trip it.

#include "Watchdog.hpp"
#include "BoardClock.hpp"
#include "HostLink.hpp"
#include "mcu/Console.hpp"
#include "mcu/CoreRegisters.hpp"
#include "platform/bsp.h"

namespace {

constexpr std::uint32_t lowSpeedOscillatorHz = 32000;
constexpr std::uintptr_t applicationInterruptReset = 0xE000ED0C;
constexpr std::uint32_t systemResetRequest = 0x05FA0004;

bool running = false;
std::uint32_t timeoutMs = 0;
std::uint32_t lastRefreshMs = 0;

[[noreturn]] void resetBoard(std::uint32_t ms)
{
    emulated::ask(emulated::Request::WatchdogExpired, {ms});
    mcu::consoleWrite("watchdog reset\n");
    asm volatile("dsb" ::: "memory");
    mcu::coreRegister(applicationInterruptReset) = systemResetRequest;
    for (;;) {}
}

} // namespace

namespace emulated {

void watchdogAdvance(std::uint32_t ms)
{
    if (running && ms - lastRefreshMs >= timeoutMs) {
        resetBoard(ms);
    }
}

} // namespace emulated

namespace bsp {

Status watchdogInit(std::uint8_t prescalerCode, std::uint16_t reload, std::uint16_t window)
{
    // Prescaler codes 0..6 divide by 4..256; reload and window are 12-bit.
    if (prescalerCode > 6 || reload > 0xFFF || window > 0xFFF) {
        return Status::Error;
    }
    const std::uint32_t divider = 4u << prescalerCode;
    timeoutMs = (std::uint32_t{reload} + 1) * divider * 1000 / lowSpeedOscillatorHz;
    lastRefreshMs = emulated::boardMs();
    running = true;
    return Status::Ok;
}

void watchdogRefresh()
{
    lastRefreshMs = emulated::boardMs();
}

} // namespace bsp
