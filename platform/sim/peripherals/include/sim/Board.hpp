#pragma once

#include <cstdint>
#include <functional>

#include "board_config/BoardConfig.hpp"
#include "platform/bsp.h"

// Host-side controls of the simulated board: what a test bench or the
// simulator program does to the hardware from outside the firmware.
namespace sim::board {

// Every peripheral back to its power-on state: flash not yet mapped,
// interrupts off, watchdog stopped, no touch.
void powerOn();

// Makes the next configuration call of that step report failure.
enum class Step : std::uint8_t { Clock, Gpio, Caches, Display, Blitter, Gpu, FlashPort, I2c, Watchdog, Serial };
void failStep(Step step);

// Error_Handler stops the simulated board: it reports the step that failed
// on stderr and ends the process with status 2.

// Called in interrupt context when the watchdog expires; the default stops
// the kernel run. The simulator restarts the board from there.
void onWatchdogReset(std::function<void()> handler);
// Kernel time of the last watchdog reset, or -1.
std::int64_t lastWatchdogResetMs();

// Called whenever the firmware moves a debug signal.
void onDebugSignal(std::function<void(bsp::DebugSignal signal, bool high)> handler);

// The panel, RGB565.
constexpr int panelWidth = ::board::panelWidth;
constexpr int panelHeight = ::board::panelHeight;
// Frames the display has scanned out since power-on.
std::uint64_t displayedFrames();
// The board time the line event handled last was due; on the wall clock its
// interrupt may be taken later.
std::uint64_t lineEventDueMs();
// The frame buffer the display shows now, or null; for code that runs under
// the kernel's run token (tasks, interrupts, the kernel's own thread).
const std::uint16_t* shownFrame();
// From then on every scanned frame is also copied for other threads.
void enablePanelCopy();
// Copies the last scanned frame; returns its number (0: none yet).
std::uint64_t readPanel(std::uint16_t* pixels);

// Fingers on the touch panel in panel pixels; at most two. Each change
// raises the touch interrupt line, as the chip does.
struct Finger {
    std::uint16_t x;
    std::uint16_t y;
};
void setFingers(const Finger* fingers, int count);

} // namespace sim::board
