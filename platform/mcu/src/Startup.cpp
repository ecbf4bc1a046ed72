// From reset to main: floating point on, stack limit set, .data copied from
// flash, .bss cleared, static constructors run.

#include <cstdint>
#include <cstdio>

#include "mcu/Console.hpp"
#include "mcu/CoreRegisters.hpp"
#include "mcu/KernelFigures.hpp"

// The image's main: C++ lets no code call main by its name, so the start-up
// calls it by its symbol.
int imageMain() __asm__("main");

namespace {

constexpr std::uint32_t hardFaultNumber = 3;
constexpr std::uint32_t usageFaultNumber = 6;
constexpr std::uintptr_t configurableFaultStatus = 0xE000ED28;
constexpr std::uintptr_t hardFaultStatus = 0xE000ED2C;
constexpr std::uint32_t returnsToProcessStack = 1u << 2;
constexpr std::uint32_t stackOverflow = 1u << 20;
constexpr std::uint32_t undefinedInstruction = 1u << 16;
constexpr std::uint32_t busFaults = 0xFFu << 8;
constexpr std::uint32_t memoryFaults = 0xFFu;

const char* faultKind(std::uint32_t status)
{
    if ((status & stackOverflow) != 0) {
        return "stack overflow (a push crossed the stack limit)";
    }
    if ((status & undefinedInstruction) != 0) {
        return "undefined instruction";
    }
    if ((status & busFaults) != 0) {
        return "bus error";
    }
    if ((status & memoryFaults) != 0) {
        return "memory protection";
    }
    return "fault";
}

} // namespace

extern "C" {

extern std::uint32_t __data_start[];
extern std::uint32_t __data_end[];
extern const std::uint32_t __data_load[];
extern std::uint32_t __bss_start[];
extern std::uint32_t __bss_end[];
extern std::uint8_t __main_stack_limit[];

using Constructor = void (*)();
extern const Constructor __init_array_start[];
extern const Constructor __init_array_end[];

// Statics are never destroyed: the firmware does not exit, so their
// destructors need not be recorded (that would take heap beyond a few).
int __cxa_atexit(void (*)(void*), void*, void*)
{
    return 0;
}
void* __dso_handle = nullptr;

[[noreturn]] void Reset_Handler()
{
    mcu::enableFloatingPoint();
    mcu::setMainStackLimit(__main_stack_limit);

    const std::uint32_t* from = __data_load;
    for (std::uint32_t* to = __data_start; to != __data_end; ++to, ++from) {
        *to = *from;
    }
    for (std::uint32_t* word = __bss_start; word != __bss_end; ++word) {
        *word = 0;
    }
    for (const Constructor* constructor = __init_array_start; constructor != __init_array_end; ++constructor) {
        (*constructor)();
    }
    mcu::stop(imageMain() == 0);
}

// `exceptionReturn`: the handler's link register, which says whether a task
// or a handler was interrupted.
[[noreturn]] void unexpectedException(std::uint32_t exceptionReturn)
{
    static char text[160];
    const std::uint32_t number = mcu::activeException();
    if (number < hardFaultNumber || number > usageFaultNumber) {
        std::snprintf(text, sizeof text, "unexpected exception %lu\n", static_cast<unsigned long>(number));
    } else {
        const std::uint32_t status = mcu::coreRegister(configurableFaultStatus);
        // Tasks run on the process stack, start-up and handlers on the main one.
        const char* task = (exceptionReturn & returnsToProcessStack) != 0 ? mcu::kernel::runningTaskName() : nullptr;
        std::snprintf(text, sizeof text, "hard fault: %s in %s%s (fault status 0x%08lx, hard fault status 0x%08lx)\n",
                      faultKind(status), task != nullptr ? "task " : "start-up or a handler",
                      task != nullptr ? task : "", static_cast<unsigned long>(status),
                      static_cast<unsigned long>(mcu::coreRegister(hardFaultStatus)));
    }
    mcu::consoleWrite(text);
    mcu::stop(false);
}

} // extern "C"
