// From reset to main: floating point on, stack limit set, .data copied from
// flash, .bss cleared, static constructors run.

#include <cstdint>
#include <cstdio>

#include "mcu/Console.hpp"
#include "mcu/CoreRegisters.hpp"

int main();

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
    mcu::stop(main() == 0);
}

[[noreturn]] void unexpectedException()
{
    static char text[64];
    std::snprintf(text, sizeof text, "unexpected exception %lu\n", static_cast<unsigned long>(mcu::activeException()));
    mcu::consoleWrite(text);
    mcu::stop(false);
}

} // extern "C"
