#pragma once

#include "emulated/CostRecords.hpp"
#include "platform/bsp.h"

// The GUI task's frame split by the firmware's debug signals into phases,
// counted in emulated instructions. Measures only while the runner reports
// costs (emulated time); otherwise every call returns at once.
namespace emulated {

void setCostReporting(bool on);
bool costReporting();

void frameCostBegin();
// Closes the frame and returns what it cost.
const FrameCost& frameCostEnd();

// A phase signal of the firmware (ModelTick, TileTranscode, GpuCommands).
void phaseSignal(bsp::DebugSignal signal, bool high);

// A device took on `cycles` of work (DeviceTime.hpp); counted for the open
// frame.
enum class Device : std::uint8_t { Blitter, Gpu };
void deviceWorked(Device device, std::uint64_t cycles);

// Around what is no work of the board's: the emulator's own (the blitter
// model when the processor does a transfer, the requests to the host
// runner) and the processor's sleep while every task waits, which emulated
// time skips to the next interrupt.
enum class LeftOut : std::uint8_t { Emulation, Sleep };
void leftOutBegins(LeftOut kind);
void leftOutEnds(LeftOut kind);
class LeftOutWork {
public:
    explicit LeftOutWork(LeftOut kind);
    ~LeftOutWork();
    LeftOutWork(const LeftOutWork&) = delete;
    LeftOutWork& operator=(const LeftOutWork&) = delete;

private:
    LeftOut kind;
};

} // namespace emulated
