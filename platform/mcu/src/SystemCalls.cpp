// The C library's hooks into the system. The only heap is a small fixed
// block for the closures that outgrow std::function's own storage; abort()
// ends like any other failure.

#include <cerrno>
#include <cstdint>

#include "mcu/Console.hpp"

extern "C" {

extern std::uint8_t __heap_start[];
extern std::uint8_t __heap_end[];

void* _sbrk(std::intptr_t increment)
{
    static std::uint8_t* top = __heap_start;
    if (increment > __heap_end - top || increment < __heap_start - top) {
        errno = ENOMEM;
        return reinterpret_cast<void*>(-1);
    }
    std::uint8_t* previous = top;
    top += increment;
    return previous;
}

[[noreturn]] void _exit(int status)
{
    mcu::consoleWrite(status == 0 ? "" : "stopped by the C library\n");
    mcu::stop(status == 0);
}

int _kill(int, int)
{
    errno = EINVAL;
    return -1;
}

int _getpid()
{
    return 1;
}

} // extern "C"
