// The emulated board's configuration steps, serial console, frame reports
// and how it stops. Steps whose hardware the emulator lacks (clocks,
// caches, the octal flash's port, the image codec) accept their
// configuration: the flash content is already in RAM.

#include "BoardClock.hpp"
#include "FrameCost.hpp"
#include "HostLink.hpp"
#include "ImageHooks.hpp"
#include "Inputs.hpp"
#include "PortFaults.hpp"
#include "mcu/Console.hpp"
#include "mcu/CoreClock.hpp"
#include "mcu/CoreRegisters.hpp"
#include "mcu/Semihosting.hpp"
#include "model/WatchdogFlag.hpp"
#include "platform/bsp.h"
#include "platform/rtos.h"

namespace {

// CMSDK serial ports 0 and 1 (secure aliases): data, state, control, baud
// divider.
constexpr std::uintptr_t serialBase[2] = {0x50200000, 0x50201000};
constexpr std::uintptr_t serialData = 0x0;
constexpr std::uintptr_t serialState = 0x4;
constexpr std::uintptr_t serialControl = 0x8;
constexpr std::uintptr_t serialBaudDivider = 0x10;
constexpr std::uint32_t transmitFull = 1u << 0;
constexpr std::uint32_t transmitEnable = 1u << 0;
constexpr std::uint32_t consoleBaud = 115200;

std::uint64_t renderStart = 0;
bool keepingTrace = false;
// Where the runner reads each frame's state for its trace and costs.
[[gnu::section(".bss.hostShared")]] emulated::FrameRecord frameRecord;
[[gnu::section(".bss.hostShared")]] emulated::FrameCost frameCost;
[[gnu::section(".bss.hostShared")]] emulated::RunFigures runFigures;

std::uint32_t sharedAddress(const void* record)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(record));
}

void enableSerial(std::size_t port, std::uint32_t baud)
{
    mcu::coreRegister(serialBase[port] + serialBaudDivider) = mcu::coreClockHz() / baud;
    mcu::coreRegister(serialBase[port] + serialControl) = transmitEnable;
}

} // namespace

namespace mcu {

std::uint32_t coreClockHz()
{
    return 20000000;
}

// Reports go out on serial port 1, whatever the firmware configured.
void consoleWrite(const char* text)
{
    if ((coreRegister(serialBase[0] + serialControl) & transmitEnable) == 0) {
        enableSerial(0, consoleBaud);
    }
    for (; *text != '\0'; ++text) {
        while ((coreRegister(serialBase[0] + serialState) & transmitFull) != 0) {}
        coreRegister(serialBase[0] + serialData) = static_cast<std::uint8_t>(*text);
    }
}

void stop(bool success)
{
    semihostingCall(semihosting::exitProgram, success ? semihosting::applicationExit : semihosting::runtimeError);
    for (;;) {}
}

} // namespace mcu

namespace bsp {

Status halInit()
{
    emulated::connectHost();
    const emulated::ReplyRecord reply =
        emulated::ask(emulated::Request::Hello,
                      {emulated::protocolVersion,
                       static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(emulated::faultTable()))});
    emulated::setTimeMode(static_cast<emulated::TimeMode>(reply.words[0]), reply.words[1]);
    keepingTrace = reply.words[2] != 0;
    emulated::setCostReporting(reply.words[3] != 0);
    return Status::Ok;
}

Status powerSupplyInit()
{
    return Status::Ok;
}

// Waits before the kernel starts take no board time, as on the PC.
void delayMs(std::uint32_t milliseconds)
{
    if (emulated::kernelStarted()) {
        rtos::delay(milliseconds);
    }
}

Status clockInit(const ClockConfig& config)
{
    // Without the low-speed oscillator the watchdog would have no clock.
    return config.crystalOn && config.lowSpeedInternalOn && config.pllFromCrystal ? Status::Ok : Status::Error;
}

Status gpioInit()
{
    return Status::Ok;
}

Status cachesInit()
{
    return Status::Ok;
}

Status gpuInit()
{
    return Status::Ok;
}

Status flashPortInit(const FlashPortConfig&)
{
    return Status::Ok;
}

Status flashCommand(FlashCommand, std::uint32_t, std::uint8_t)
{
    return Status::Ok;
}

Status flashEnableMemoryMapped()
{
    return Status::Ok;
}

Status imageCodecInit()
{
    return Status::Ok;
}

Status serialInit(SerialPort port, std::uint32_t baud)
{
    if (baud == 0 || mcu::coreClockHz() / baud < 16) {
        return Status::Error;
    }
    enableSerial(port == SerialPort::Port1 ? 0 : 1, baud);
    return Status::Ok;
}

// The count follows board time: the three switching-on steps have nothing
// to do.
void cycleCounterTraceEnable()
{
}

void cycleCounterUnlock()
{
}

void cycleCounterStart()
{
}

std::uint32_t cycleCounter()
{
    return static_cast<std::uint32_t>(emulated::boardCycles());
}

// The end of each frame's drawing goes to the host, which keeps the count,
// the pictures, the trace and the costs, plays its script and may end the
// run. The frame's phases go to the cost count.
void setDebugSignal(DebugSignal signal, bool high)
{
    if (signal != DebugSignal::RenderTime) {
        emulated::phaseSignal(signal, high);
        return;
    }
    if (high) {
        renderStart = emulated::boardCycles();
        emulated::frameCostBegin();
        return;
    }
    frameCost = emulated::frameCostEnd();
    const std::uint64_t drawCycles = emulated::boardCycles() - renderStart;
    const auto drawMicroseconds = static_cast<std::uint32_t>(drawCycles / (mcu::coreClockHz() / 1000000));
    const std::uint32_t nowMs = emulated::boardMs();
    const bool costs = emulated::costReporting();
    if (keepingTrace || costs) {
        emulated::readFrameRecord(frameRecord);
    }
    const emulated::ReplyRecord reply =
        emulated::ask(emulated::Request::FrameDone,
                      {nowMs, static_cast<std::uint32_t>(displayLayerAddress()), drawMicroseconds,
                       keepingTrace || costs ? sharedAddress(&frameRecord) : 0, costs ? sharedAddress(&frameCost) : 0});
    if ((reply.words[1] & emulated::touchChanged) != 0) {
        emulated::touchFingers(reply.words[2], reply.words[3], reply.words[4], nowMs);
    }
    if ((reply.words[1] & emulated::menuKey) != 0) {
        emulated::showStartScreen();
    }
    if ((reply.words[1] & (emulated::watchdogRefreshOn | emulated::watchdogRefreshOff)) != 0) {
        watchdogRefreshEnabled = (reply.words[1] & emulated::watchdogRefreshOn) != 0;
    }
    if (reply.words[0] == emulated::stopRun) {
        if (costs) {
            emulated::readRunFigures(runFigures);
            emulated::ask(emulated::Request::RunFigures, {sharedAddress(&runFigures)});
        }
        mcu::stop(true);
    }
    emulated::provokeTaskFaults();
}

void halt()
{
    disableAllInterrupts();
    mcu::consoleWrite("board: Error_Handler: ");
    if (const char* step = emulated::failedStep()) {
        mcu::consoleWrite(step);
        mcu::consoleWrite(" failed; ");
    }
    mcu::consoleWrite("the board halts\n");
    mcu::stop(false);
}

} // namespace bsp
