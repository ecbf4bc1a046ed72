#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "BlitExecutor.hpp"
#include "GpuExecutor.hpp"
#include "RunSettings.hpp"
#include "SharedBlock.hpp"
#include "emulated/FrameRecord.hpp"

namespace emulated {

// Where a run's pictures, trace and notes go.
struct RunOutputs {
    // Null while the runner keeps no trace.
    std::ostream* trace = nullptr;
    // Saves a frame's panel-sized RGB565 pixels at `path`; empty, or why not.
    std::function<std::string(const std::uint16_t* pixels, const std::string& path)> savePicture;
    // What the board reports that does not end the run.
    std::ostream* notes = nullptr;
};

// The runner's answers to the board's requests (HostProtocol.hpp), reading
// what they point at in the shared block. A request the runner refuses, one
// pointing outside the block among them, ends the run as a fault of the
// board does: the outcome's problem says what was wrong.
class BoardRequests {
public:
    BoardRequests(const RunSettings& run, SharedBlock ram, RunOutputs out, RunOutcome& result);

    ReplyRecord answer(const RequestRecord& request);
    // The frames are done, and when reporting costs the figures read.
    bool done() const { return finished; }

private:
    // The script's steps due at a frame's end: the board gets the newest
    // fingers and the menu key with the reply, the runner takes the
    // screenshots and the quit.
    struct FrameInputs {
        std::uint32_t bits = 0; // FrameDone reply's input bits
        std::uint32_t fingerCount = 0;
        std::uint32_t fingers[2]{};
        bool quit = false;
        std::vector<std::string> screenshots;
    };

    ReplyRecord hello(const RequestRecord& request);
    ReplyRecord frameDone(const RequestRecord& request);
    ReplyRecord fingers(const RequestRecord& request);
    void runFigures(const RequestRecord& request);
    void playScript(std::uint64_t nowMs, std::uint64_t frame);
    std::string readFrameRecord(std::uint32_t address, FrameRecord& record) const;
    std::string writeTrace(const RequestRecord& request, std::uint64_t frame);
    std::string readCost(const RequestRecord& request, std::uint64_t frame);
    std::string savePicture(std::uint32_t address, const std::string& path) const;

    const RunSettings& settings;
    SharedBlock block;
    RunOutputs outputs;
    RunOutcome& outcome;
    GpuExecutor gpu;
    BlitExecutor blitter;
    simulator::ScriptPlayer script;
    // A board reset by its watchdog starts again without the script, as
    // mapboard's does.
    bool scriptPlaying = true;
    // The script's effects not yet handed to the board; the fingers stay.
    FrameInputs pending;
    bool stopped = false; // the board was told to stop
    bool finished = false;
};

} // namespace emulated
