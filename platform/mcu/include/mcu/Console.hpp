#pragma once

// The board-support side of the few words the firmware ever says and of how
// it ends. The emulator shows the text and exits; the board discards the
// text and halts, and its watchdog then resets it.
namespace mcu {

void consoleWrite(const char* text);

[[noreturn]] void stop(bool success);

} // namespace mcu
