#pragma once

#include <cstdint>
#include <string>

#include "EmulatedRun.hpp"

namespace emulated {

// One 60 Hz frame of a 160 MHz core: the budget a frame's instructions are
// held against (one instruction a cycle).
constexpr std::uint64_t frameBudgetInstructions = 160000000 / 60;

// The run's frames from board time `fromMs` on: instructions per frame by
// phase (median and worst), the worst frame and every frame over the
// budget with what it did, the task stacks and the kernel heap.
std::string costReport(const std::string& title, const RunOutcome& outcome, std::uint32_t fromMs);

} // namespace emulated
