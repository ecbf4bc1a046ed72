#pragma once

#include <cstdint>
#include <string>

#include "EmulatedRun.hpp"
#include "board_config/BoardConfig.hpp"

namespace emulated {

// One display frame of a 160 MHz core: the budget a frame's instructions and
// its board time (in core cycles, emulated nanoseconds) are held against.
constexpr std::uint64_t frameBudgetInstructions = 160000000 / board::framesPerSecond;
constexpr std::uint64_t frameBudgetCycles = 160000000 / board::framesPerSecond;
constexpr std::uint64_t cyclesPerMillisecond = 160000;

// The run's frames from board time `fromMs` on: instructions per frame by
// phase, the blitter's and the GPU's busy time and the frame's board time
// (median and worst), the worst frames and every frame over a budget with
// what it did, the task stacks and the kernel heap.
std::string costReport(const std::string& title, const RunOutcome& outcome, std::uint32_t fromMs);

// Empty when every frame from `fromMs` on keeps both budgets; otherwise the
// first that does not, and by how much.
std::string overBudget(const RunOutcome& outcome, std::uint32_t fromMs);

} // namespace emulated
