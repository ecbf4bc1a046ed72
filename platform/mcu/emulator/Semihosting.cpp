// The emulator's console and exit through semihosting (qemu-system-arm
// -semihosting-config enable=on,target=native).

#include "mcu/Semihosting.hpp"

#include "mcu/Console.hpp"

namespace mcu {

void consoleWrite(const char* text)
{
    semihostingCall(semihosting::writeString, reinterpret_cast<std::uintptr_t>(text));
}

void stop(bool success)
{
    semihostingCall(semihosting::exitProgram, success ? semihosting::applicationExit : semihosting::runtimeError);
    for (;;) {}
}

} // namespace mcu
