#include "emulator/StackDepth.hpp"

extern "C" {
extern std::uint32_t __main_stack_limit[];
extern std::uint32_t __main_stack_top[];
}

namespace {

constexpr std::uint32_t pattern = 0x5AC3A55Cu;
// Room for this function's own frame and an interrupt arriving meanwhile.
constexpr std::uint32_t marginWords = 32;

} // namespace

namespace mcu {

void StackDepth::paint()
{
    std::uint32_t* stackPointer = nullptr;
    asm volatile("mov %0, sp" : "=r"(stackPointer));
    for (volatile std::uint32_t* word = __main_stack_limit; word < stackPointer - marginWords; ++word) {
        *word = pattern;
    }
}

std::uint32_t StackDepth::deepestBytes()
{
    const volatile std::uint32_t* word = __main_stack_limit;
    while (word < __main_stack_top && *word == pattern) {
        ++word;
    }
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(__main_stack_top) -
                                      reinterpret_cast<std::uintptr_t>(word));
}

} // namespace mcu
