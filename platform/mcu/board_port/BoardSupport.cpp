// BOARD PORT: the board's side of the board-support interface. A port to
// the real board fills in what its hardware needs here; everything above
// this interface is the same source on the board, the emulator and the PC.

#include "mcu/Console.hpp"

namespace mcu {

// Nobody reads the board's standard output: the text is dropped.
void consoleWrite(const char*)
{
}

// Interrupts off and halt; the watchdog started during bring-up resets the
// board.
void stop(bool)
{
    asm volatile("cpsid i" ::: "memory");
    for (;;) {}
}

} // namespace mcu
