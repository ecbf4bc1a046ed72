#pragma once

#include <cstdint>

namespace emulated {

// Counts board time since the last refresh; at its timeout the watchdog
// reports to the host and resets the board.
void watchdogAdvance(std::uint32_t ms);

} // namespace emulated
