#include "mcu/CoreClock.hpp"

// The emulated board's core clock (qemu-system-arm -M mps2-an505).
std::uint32_t mcu::coreClockHz()
{
    return 20000000;
}
