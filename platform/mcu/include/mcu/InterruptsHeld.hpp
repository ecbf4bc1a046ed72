#pragma once

#include <cstdint>

namespace mcu {

// Interrupts off for the scope, restored as they were: scopes nest.
class InterruptsHeld {
public:
    InterruptsHeld() { asm volatile("mrs %0, primask\n cpsid i" : "=r"(savedMask)::"memory"); }
    ~InterruptsHeld() { asm volatile("msr primask, %0" ::"r"(savedMask) : "memory"); }
    InterruptsHeld(const InterruptsHeld&) = delete;
    InterruptsHeld& operator=(const InterruptsHeld&) = delete;

private:
    std::uint32_t savedMask = 0;
};

} // namespace mcu
