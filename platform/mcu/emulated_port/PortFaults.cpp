// Faults the runner asks for (--fault), in the firmware's view of the
// devices: the device models (the GPU library's pool allocator among them)
// ask whether they are active, as on the simulator. The board's own faults
// are provoked here on the GUI task.

#include "PortFaults.hpp"

#include "BoardClock.hpp"
#include "device_models/Faults.hpp"

namespace {

static_assert(devices::faultKinds <= static_cast<std::size_t>(emulated::PortFault::HardFault));

// The runner writes the table while the board waits for its Hello reply.
[[gnu::section(".bss.hostShared")]] emulated::FaultWindow windows[emulated::faultSlots];
const char* lastFailedStep = nullptr;

const emulated::FaultWindow* activeWindow(std::size_t slot)
{
    const emulated::FaultWindow& window = windows[slot];
    const std::uint32_t now = emulated::boardMs();
    return window.on != 0 && now >= window.fromMs && now < window.untilMs ? &window : nullptr;
}

} // namespace

namespace emulated {

FaultWindow* faultTable()
{
    return windows;
}

bool portFaultActive(PortFault fault)
{
    return activeWindow(static_cast<std::size_t>(fault)) != nullptr;
}

const char* failedStep()
{
    return lastFailedStep;
}

void provokeTaskFaults()
{
    if (portFaultActive(PortFault::HardFault)) {
        asm volatile("udf #0");
    }
    if (portFaultActive(PortFault::StackOverflow)) {
        // Word by word, so the limit stops the push that would cross it.
        for (;;) {
            asm volatile("push {r0}" ::: "memory");
        }
    }
}

} // namespace emulated

namespace devices {

bool faultActive(Fault fault, std::uint32_t* value)
{
    const emulated::FaultWindow* window = activeWindow(static_cast<std::size_t>(fault));
    if (window != nullptr && value != nullptr) {
        *value = window->value;
    }
    return window != nullptr;
}

bool stepFails(Fault fault, const char* step)
{
    if (!faultActive(fault)) {
        return false;
    }
    lastFailedStep = step;
    return true;
}

} // namespace devices
