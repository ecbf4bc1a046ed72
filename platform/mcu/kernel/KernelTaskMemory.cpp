// The kernel's own tasks live as long as the board runs, so their blocks
// and stacks are static rather than taken from the kernel heap.

#include "KernelState.hpp"
#include "mcu/KernelFigures.hpp"

namespace {

constexpr std::uint32_t idleStackWords = 128;
constexpr std::uint32_t timerStackWords = 256;

rtos::Task idleBlock;
alignas(8) std::uint32_t idleStack[idleStackWords];
rtos::Task timerBlock;
alignas(8) std::uint32_t timerStack[timerStackWords];

} // namespace

extern "C" void kernel_GetIdleTaskMemory(rtos::TaskHandle* block, std::uint32_t** stack, std::uint32_t* stackWords)
{
    *block = &idleBlock;
    *stack = idleStack;
    *stackWords = idleStackWords;
}

extern "C" void kernel_GetTimerTaskMemory(rtos::TaskHandle* block, std::uint32_t** stack, std::uint32_t* stackWords)
{
    *block = &timerBlock;
    *stack = timerStack;
    *stackWords = timerStackWords;
}
