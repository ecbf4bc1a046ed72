#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/Kernel.hpp"
#include "simulator/InputRecorder.hpp"
#include "simulator/Script.hpp"

namespace simulator {

class BoardRun;

struct RunSettings {
    sim::TimeMode timeMode = sim::TimeMode::Virtual;
    std::uint64_t frames = 0; // 0: until quit
    std::vector<ScriptEvent> script;
    std::uint64_t screenshotEvery = 0;
    std::string screenshotDir = ".";
    std::string tracePath;
    bool appendTrace = false;
    bool hostTimes = false;       // the trace also gets host drawing times
    std::uint64_t firstFrame = 0; // frames run before a watchdog reset
    // Writes every finger state, key and watchdog switch the board receives.
    std::unique_ptr<InputRecorder> recorder;
    // Called at the end of every frame on the GUI task, before the script.
    std::function<void(BoardRun& run, std::uint64_t frame)> everyFrame;
};

enum class RunEnd : std::uint8_t { FramesDone, Quit, WatchdogReset, Stopped };

// Runs the firmware on the simulated board, from power-on through board_main,
// and plays the script, the screenshots and the trace at the end of each
// frame on the GUI task. Keys and fingers may also come from another thread.
class BoardRun {
public:
    explicit BoardRun(RunSettings runSettings);

    // Returns when the frames are done, on quit, on a watchdog reset or when
    // stopped; the trace is complete then. Empty `problem()` when all went well.
    RunEnd run();
    const std::string& problem() const { return failure; }

    // From any thread.
    void pressKey(char key);
    // Finger states applied one per frame, so the firmware samples each.
    void queueFingers(const sim::board::Finger* fingers, int count);
    // The newest position of fingers already queued down: applied in the
    // first frame after the queue has run out, replacing an older one.
    void moveQueuedFingers(const sim::board::Finger* fingers, int count);
    void stop();
    std::uint64_t framesDone() const { return frames.load(); }
    int loadPercent() const { return load.load(); }

    // The shown frame saved as PNG; a message when that failed.
    static std::string saveShownFrame(const std::string& path);

private:
    void onDebugSignal(bsp::DebugSignal signal, bool high);
    void endOfFrame();
    void applyScript(std::uint64_t now);
    void applyKeys();
    void handFingers(const sim::board::Finger* fingers, int count);
    void recorded(bool written);
    void writeTrace(std::uint64_t now);
    void screenshot(const std::string& path);
    // Ends the run with `problem`, the first one kept.
    void fail(const std::string& problem);

    RunSettings settings;
    ScriptPlayer script;
    std::ofstream trace;
    std::uint64_t renderStartUs = 0;
    std::uint64_t hostRenderStartNs = 0;
    std::uint64_t drawUs = 0;
    std::uint64_t hostDrawNs = 0;
    std::uint64_t hostStartNs = 0;
    std::atomic<std::uint64_t> refreshMs{0};
    RunEnd end = RunEnd::Stopped;
    std::string failure;

    std::atomic<std::uint64_t> frames{0};
    std::atomic<int> load{0};
    std::mutex inputMutex;
    std::deque<char> keys;
    struct FingerState {
        int count;
        sim::board::Finger fingers[2];
    };
    std::deque<FingerState> fingerQueue;
    std::optional<FingerState> latestFingers;
};

} // namespace simulator
