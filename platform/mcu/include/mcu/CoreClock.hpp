#pragma once

#include <cstdint>

namespace mcu {

// The processor's clock once the board runs at speed: the kernel derives
// its one-millisecond tick from it.
std::uint32_t coreClockHz();

} // namespace mcu
