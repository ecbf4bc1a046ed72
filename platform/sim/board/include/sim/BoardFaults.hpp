#pragma once

#include <cstddef>
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
    GpuInit,       // the GPU library's ring buffer cannot be set up
    GpuStencil,    // the GPU library cannot create its stencil buffer
    BlitterInit,   // the blitter refuses its output configuration
    BlitterLayer,  // the blitter refuses a layer configuration
    BlitterStart,  // the blitter refuses to start a transfer
    GpuPool,       // the GPU library's memory pools refuse every allocation
};
constexpr std::size_t faultKinds = 12;

// The fault is active from board time `fromMs` until before `untilMs`.
void injectFault(Fault fault, std::uint32_t value, std::uint64_t fromMs, std::uint64_t untilMs);
void clearFaults();

} // namespace sim::board

namespace sim::board::detail {

// Whether the fault is active at the current kernel time; its value then.
bool faultActive(Fault fault, std::uint32_t* value = nullptr);

// Whether a call of a configuration step fails now under the fault; if so,
// Error_Handler names `step` should the firmware stop there.
bool stepFails(Fault fault, const char* step);

// The step whose failure Error_Handler reports; null when the firmware
// stopped for a reason of its own (a task the kernel could not create).
void noteFailedStep(const char* step);
const char* failedStep();

} // namespace sim::board::detail
