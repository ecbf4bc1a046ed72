#pragma once

#include <cstdint>

namespace mcu {

// Instructions executed since start(), read from the core's system timer.
// Exact to 50 instructions when the emulator runs with -icount shift=0: one
// instruction per virtual nanosecond, and the emulated core clock (20 MHz)
// ticks every 50 nanoseconds. The timer's 24 bits wrap every 838 million
// instructions, so reads must come closer together than that.
class InstructionCounter {
public:
    static constexpr std::uint32_t instructionsPerTick = 50;

    static void start();
    static std::uint64_t instructions();
};

} // namespace mcu
