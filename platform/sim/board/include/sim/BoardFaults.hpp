#pragma once

#include <cstdint>

// Hardware faults the stand-ins can be told to show, to see how the firmware
// copes. Each is off until injected; host-side, set before the run starts.
namespace sim::board {

enum class Fault : std::uint8_t {
    TouchSilent,   // the chip holds the bus: every transfer lasts its whole timeout and fails
    TouchLate,     // the chip answers each transfer `value` ms late (fails if the timeout is shorter)
    TouchCount,    // every third report claims `value` points
    TouchOutside,  // every third report puts the first point outside the panel
    TouchIrqStuck, // the interrupt line stays low: no more falling edges
    VsyncLate,     // once a second the display's refresh comes `value` ms late
};

// The fault is active from board time `fromMs` until before `untilMs`.
void injectFault(Fault fault, std::uint32_t value, std::uint64_t fromMs, std::uint64_t untilMs);
void clearFaults();

} // namespace sim::board

namespace sim::board::detail {

// Whether the fault is active at the current kernel time; its value then.
bool faultActive(Fault fault, std::uint32_t* value = nullptr);

} // namespace sim::board::detail
