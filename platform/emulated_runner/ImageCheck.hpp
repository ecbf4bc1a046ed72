#pragma once

#include <string>

namespace emulated {

// Whether the file is an image the emulated board can start: a 32-bit
// little-endian ARM ELF executable whose vector table lies where the board's
// core takes it from at reset, its reset entry being the file's entry point
// in the board's code block. QEMU would start anything else and the core
// would lock up at once. Empty when it is, otherwise what is wrong.
std::string checkBoardImage(const std::string& path);

} // namespace emulated
