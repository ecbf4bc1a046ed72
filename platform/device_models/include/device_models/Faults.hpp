#pragma once

#include <cstddef>
#include <cstdint>

// Hardware faults the device models can be told to show, to see how the
// firmware copes. Each is off until injected; which are active is each
// board's to say (the simulator's by its host-side controls, the emulated
// board's by the table its runner fills in).
namespace devices {

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

// Each board's: whether the fault is active at the current board time; its
// value then.
bool faultActive(Fault fault, std::uint32_t* value = nullptr);

// Each board's: whether a call of a configuration step fails now under the
// fault; if so, Error_Handler names `step` should the firmware stop there.
bool stepFails(Fault fault, const char* step);

} // namespace devices
