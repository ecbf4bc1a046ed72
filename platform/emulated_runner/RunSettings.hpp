#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device_models/TraceState.hpp"
#include "emulated/CostRecords.hpp"
#include "emulated/HostProtocol.hpp"
#include "simulator/Script.hpp"

namespace emulated {

struct RunSettings {
    std::string qemu;
    std::string image;
    TimeMode timeMode = TimeMode::Board;
    std::uint64_t frames = 600;
    std::string out;
    std::uint64_t screenshotEvery = 0; // frames; 0: none
    // Played at the end of each frame in board time, as mapboard plays it.
    std::vector<simulator::ScriptEvent> script;
    // What the board's fault table holds (--fault), by fault number.
    FaultWindow faults[faultSlots]{};
    // JSON lines as mapboard's --trace; empty: none.
    std::string tracePath;
    // Host seconds without a word from the board before the run is given up.
    unsigned silenceLimitSeconds = 120;
    // Each frame's instructions by phase (emulated time only).
    bool reportCosts = false;
};

// One frame of a run that reports costs, with the state it ended in.
struct FrameCostEntry {
    std::uint64_t frame = 0;
    std::uint32_t boardMs = 0;
    FrameCost cost{};
    devices::TraceState state{};
};

struct RunOutcome {
    std::uint64_t frames = 0;
    // Each frame's drawing in board time (in emulated time what its
    // instructions cost: one a nanosecond).
    std::uint64_t drawMicrosecondsTotal = 0;
    std::uint32_t drawMicrosecondsMost = 0;
    std::string problem; // empty when the frames were done and saved
    std::vector<FrameCostEntry> costs;
    RunFigures figures{}; // read when a run reporting costs ends well
};

} // namespace emulated
