#pragma once

#include <cstdint>

// What the host runner's script does to the emulated board, at the end of
// a frame on the GUI task, as the simulator plays it.
namespace emulated {

// New fingers on the touch chip (x | y << 16 each): it reports at once.
void touchFingers(std::uint32_t count, std::uint32_t first, std::uint32_t second, std::uint32_t nowMs);
// Board time moved on: the chip's next report while a finger is down.
void touchAdvance(std::uint32_t nowMs);

} // namespace emulated
