#pragma once

#include <cstdint>

#include "device_models/Faults.hpp"

// The simulated board's faults, injected from outside the firmware; the
// device models ask whether they are active (device_models/Faults.hpp).
// Host-side, set before the run starts.
namespace sim::board {

// The fault is active from board time `fromMs` until before `untilMs`.
void injectFault(devices::Fault fault, std::uint32_t value, std::uint64_t fromMs, std::uint64_t untilMs);
void clearFaults();

} // namespace sim::board

namespace sim::board::detail {

// The step whose failure Error_Handler reports; null when the firmware
// stopped for a reason of its own (a task the kernel could not create).
void noteFailedStep(const char* step);
const char* failedStep();

} // namespace sim::board::detail
