#pragma once

#include <cstdint>

namespace emulated {

// In board time: raises the line interrupt when a line event falls due by
// board time `ms`.
void displayAdvance(std::uint32_t ms);
// In emulated time: timer ticks until the line event's timer runs out;
// none running: the most there can be.
std::uint32_t displayTimerTicksLeft();

} // namespace emulated

extern "C" void Display_IRQHandler();
