#pragma once

#include <cstdint>

namespace emulated {

// In board time: raises the line interrupt when a line event falls due by
// board time `ms`.
void displayAdvance(std::uint32_t ms);

} // namespace emulated

extern "C" void Display_IRQHandler();
