#pragma once

#include <cstdint>

// Calls on the emulator's host (qemu-system-arm -semihosting-config
// enable=on,target=native): the operation in r0, its argument in r1.
namespace mcu {

namespace semihosting {
constexpr std::uint32_t open = 0x01;
constexpr std::uint32_t writeString = 0x04;
constexpr std::uint32_t write = 0x05;
constexpr std::uint32_t read = 0x06;
constexpr std::uint32_t exitProgram = 0x18;
constexpr std::uint32_t applicationExit = 0x20026; // the emulator exits with 0
constexpr std::uint32_t runtimeError = 0x20023;    // the emulator exits with 1
} // namespace semihosting

inline std::uint32_t semihostingCall(std::uint32_t operation, std::uintptr_t argument)
{
    std::uint32_t result = 0;
    asm volatile("mov r0, %1\n"
                 "mov r1, %2\n"
                 "bkpt 0xab\n"
                 "mov %0, r0"
                 : "=r"(result)
                 : "r"(operation), "r"(argument)
                 : "r0", "r1", "memory");
    return result;
}

} // namespace mcu
