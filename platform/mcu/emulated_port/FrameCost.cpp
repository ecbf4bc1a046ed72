#include "FrameCost.hpp"

#include <cstdint>

#include "BoardClock.hpp"
#include "mcu/CoreClock.hpp"
#include "mcu/InterruptsHeld.hpp"

namespace {

enum class Phase : std::uint8_t { Frame, Model, Transcode, GpuCommands, Emulation, Sleep };
constexpr std::uint32_t phaseCount = 6;
// Frame, a transcode or a model tick, a command list, a blit from within.
constexpr std::uint32_t maxDepth = 8;

bool reporting = false;
Phase open[maxDepth]{};
std::uint32_t depth = 0;
std::uint64_t lastMark = 0;
std::uint64_t frameStart = 0;
std::uint64_t spent[phaseCount]{};
std::uint64_t deviceCycles[2]{};
emulated::FrameCost cost{};

std::uint64_t instructions()
{
    // One instruction a nanosecond.
    return emulated::boardNanoseconds();
}

// What ran since the last mark goes to the innermost open phase; outside a
// frame it goes nowhere.
void mark()
{
    const std::uint64_t now = instructions();
    if (depth > 0) {
        spent[static_cast<std::uint32_t>(open[depth - 1])] += now - lastMark;
    }
    lastMark = now;
}

void begin(Phase phase)
{
    mcu::InterruptsHeld held;
    // Outside a frame nothing is counted; a blit there stays out too.
    if (depth == 0 || depth == maxDepth) {
        return;
    }
    mark();
    open[depth++] = phase;
}

void end(Phase phase)
{
    mcu::InterruptsHeld held;
    if (depth < 2 || open[depth - 1] != phase) {
        return;
    }
    mark();
    --depth;
}

std::uint32_t clamped(std::uint64_t value)
{
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

} // namespace

namespace emulated {

void setCostReporting(bool on)
{
    reporting = on;
}

bool costReporting()
{
    return reporting;
}

void frameCostBegin()
{
    if (!reporting) {
        return;
    }
    mcu::InterruptsHeld held;
    for (std::uint64_t& phase : spent) {
        phase = 0;
    }
    deviceCycles[0] = deviceCycles[1] = 0;
    cost = FrameCost{};
    lastMark = instructions();
    frameStart = lastMark;
    open[0] = Phase::Frame;
    depth = 1;
}

const FrameCost& frameCostEnd()
{
    if (!reporting || depth == 0) {
        return cost;
    }
    mcu::InterruptsHeld held;
    mark();
    depth = 0;
    const auto of = [](Phase phase) { return spent[static_cast<std::uint32_t>(phase)]; };
    cost.frame = clamped(of(Phase::Frame) + of(Phase::Model) + of(Phase::Transcode) + of(Phase::GpuCommands));
    cost.model = clamped(of(Phase::Model));
    cost.transcode = clamped(of(Phase::Transcode));
    cost.gpuCommands = clamped(of(Phase::GpuCommands));
    cost.emulation = clamped(of(Phase::Emulation));
    cost.sleep = clamped(of(Phase::Sleep));
    cost.blitterBusy = clamped(deviceCycles[static_cast<std::uint32_t>(Device::Blitter)]);
    cost.gpuBusy = clamped(deviceCycles[static_cast<std::uint32_t>(Device::Gpu)]);
    // The emulator's own instructions are no time of the board's.
    cost.boardTime = clamped(lastMark - frameStart - of(Phase::Emulation));
    return cost;
}

void deviceWorked(Device device, std::uint64_t cycles)
{
    mcu::InterruptsHeld held;
    if (!reporting || depth == 0) {
        return;
    }
    deviceCycles[static_cast<std::uint32_t>(device)] += cycles;
    if (device == Device::Blitter) {
        ++cost.transfers;
    }
}

void phaseSignal(bsp::DebugSignal signal, bool high)
{
    if (!reporting) {
        return;
    }
    Phase phase = Phase::Model;
    switch (signal) {
    case bsp::DebugSignal::ModelTick:
        phase = Phase::Model;
        break;
    case bsp::DebugSignal::TileTranscode:
        phase = Phase::Transcode;
        if (high && depth > 0) {
            ++cost.tilesTranscoded;
        }
        break;
    case bsp::DebugSignal::GpuCommands:
        phase = Phase::GpuCommands;
        if (high && depth > 0) {
            ++cost.commandLists;
        }
        break;
    default:
        return;
    }
    if (high) {
        begin(phase);
    } else {
        end(phase);
    }
}

void leftOutBegins(LeftOut kind)
{
    if (reporting) {
        begin(kind == LeftOut::Emulation ? Phase::Emulation : Phase::Sleep);
    }
}

void leftOutEnds(LeftOut kind)
{
    if (reporting) {
        end(kind == LeftOut::Emulation ? Phase::Emulation : Phase::Sleep);
    }
}

LeftOutWork::LeftOutWork(LeftOut leftOut) : kind(leftOut)
{
    leftOutBegins(kind);
}

LeftOutWork::~LeftOutWork()
{
    leftOutEnds(kind);
}

} // namespace emulated
