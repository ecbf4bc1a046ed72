// The display controller: timing registers, one layer and the programmable
// line event, scanning the board's frames a second. Each line has its moment
// within the frame: in board time whole milliseconds as on the PC, in
// emulated time core clock cycles, counted down by timer 0 to the next event.

#include "Display.hpp"
#include "BoardClock.hpp"
#include "InterruptLines.hpp"
#include "PortFaults.hpp"
#include "board_config/BoardConfig.hpp"
#include "device_models/DisplayTiming.hpp"
#include "mcu/CoreClock.hpp"
#include "mcu/CoreRegisters.hpp"
#include "platform/bsp.h"

namespace {

using ::board::framesPerSecond;

// Timer 0 (secure alias): control, value, reload, interrupt status.
constexpr std::uintptr_t timerControl = 0x50000000;
constexpr std::uintptr_t timerValue = 0x50000004;
constexpr std::uintptr_t timerReload = 0x50000008;
constexpr std::uintptr_t timerInterruptClear = 0x5000000C;
constexpr std::uint32_t timerEnable = 1u << 0;
constexpr std::uint32_t timerInterruptEnable = 1u << 3;

struct Controller {
    bool initialised = false;
    bsp::DisplayTiming timing{};
    std::uintptr_t layerAddress = 0;
    std::uint16_t eventLine = 0;
    bool lineInterrupt = false;
    std::uint64_t armedLine = 0; // line index since time 0 of the next event
    bool inEvent = false;
};

Controller controller;

std::uint64_t totalLines()
{
    return devices::display::linesPerFrame(controller.timing);
}

bool boardTime()
{
    return emulated::timeMode() == emulated::TimeMode::Board;
}

// The moment of a line, and the line at a moment, in board milliseconds or
// core clock cycles.
std::uint64_t unitsPerSecond()
{
    return boardTime() ? 1000 : mcu::coreClockHz();
}

std::uint64_t nowUnits()
{
    return boardTime() ? emulated::boardMs() : emulated::boardCycles();
}

std::uint64_t lineTime(std::uint64_t lineIndex)
{
    return devices::display::lineTime(lineIndex, unitsPerSecond(), totalLines());
}

std::uint64_t lineIndexAt(std::uint64_t units)
{
    return units * framesPerSecond * totalLines() / unitsPerSecond();
}

std::uint64_t nextOccurrence(std::uint16_t line, std::uint64_t after)
{
    return devices::display::nextOccurrence(line, after, totalLines());
}

void startTimer()
{
    const std::uint64_t due = lineTime(controller.armedLine);
    const std::uint64_t now = nowUnits();
    const std::uint64_t wait = due > now ? due - now : 1;
    mcu::coreRegister(timerControl) = 0;
    mcu::coreRegister(timerReload) = static_cast<std::uint32_t>(wait);
    mcu::coreRegister(timerControl) = timerEnable | timerInterruptEnable;
}

void arm(std::uint64_t lineIndex)
{
    controller.armedLine = lineIndex;
    if (!boardTime() && !controller.inEvent) {
        startTimer();
    }
}

} // namespace

namespace emulated {

void displayAdvance(std::uint32_t ms)
{
    if (controller.lineInterrupt && lineTime(controller.armedLine) <= ms) {
        pendInterrupt(bsp::Irq::Display);
    }
}

std::uint32_t displayTimerTicksLeft()
{
    if ((mcu::coreRegister(timerControl) & timerEnable) == 0) {
        return 0xFFFFFFFFu;
    }
    return mcu::coreRegister(timerValue);
}

} // namespace emulated

// Every event due by now, in order; the event register keeps its line and
// fires again a frame later unless the callback programmed another.
extern "C" void Display_IRQHandler()
{
    mcu::coreRegister(timerInterruptClear) = 1;
    controller.inEvent = true;
    while (controller.lineInterrupt && lineTime(controller.armedLine) <= nowUnits()) {
        const std::uint64_t fired = controller.armedLine;
        if (!emulated::portFaultActive(emulated::PortFault::VsyncLost)) {
            HAL_Display_LineEventCallback();
        }
        if (controller.armedLine == fired) {
            controller.armedLine = nextOccurrence(controller.eventLine, fired);
        }
    }
    controller.inEvent = false;
    if (!boardTime() && controller.lineInterrupt) {
        startTimer();
    }
}

namespace bsp {

Status displayInit(const DisplayTiming& timing)
{
    if (!devices::display::timingConsistent(timing)) {
        return Status::Error;
    }
    controller.timing = timing;
    controller.initialised = true;
    return Status::Ok;
}

Status displayLayerInit(const DisplayLayer& layer)
{
    if (!controller.initialised || layer.format != PixelFormat::RGB565 || layer.windowX0 >= layer.windowX1 ||
        layer.windowY0 >= layer.windowY1) {
        return Status::Error;
    }
    controller.layerAddress = layer.frameBufferAddress;
    return Status::Ok;
}

DisplayTiming displayTiming()
{
    return controller.timing;
}

void displaySetLineEvent(std::uint16_t line)
{
    controller.eventLine = line;
    if (!controller.lineInterrupt) {
        return;
    }
    const std::uint64_t after = controller.inEvent ? controller.armedLine : lineIndexAt(nowUnits());
    arm(nextOccurrence(line, after));
}

void displayEnableLineInterrupt()
{
    if (!controller.initialised || controller.lineInterrupt) {
        return;
    }
    controller.lineInterrupt = true;
    arm(nextOccurrence(controller.eventLine, lineIndexAt(nowUnits())));
}

std::uintptr_t displayLayerAddress()
{
    return controller.layerAddress;
}

// The firmware reloads the layer at once; one asked for at the next blank
// is made at once as well, as the model has no scan position between events.
void displaySetLayerAddress(std::uintptr_t address, bool)
{
    controller.layerAddress = address;
}

} // namespace bsp
