#include "simulator/BoardRun.hpp"
#include "simulator/Figures.hpp"
#include "simulator/TraceLine.hpp"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include <nlohmann/json.hpp>

#include "model/WatchdogFlag.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"
#include "sim/PngWriter.hpp"
#include "startup/main.h"
#include "ui/Application.hpp"
#include "ui/HAL.hpp"

namespace simulator {

namespace {

std::uint64_t hostNanoseconds()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

} // namespace

BoardRun::BoardRun(RunSettings runSettings) : settings(std::move(runSettings)), script(std::move(settings.script))
{
}

RunEnd BoardRun::run()
{
    if (!settings.tracePath.empty()) {
        trace.open(settings.tracePath, settings.appendTrace ? std::ios::app : std::ios::trunc);
        if (!trace) {
            failure = "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
            return RunEnd::Stopped;
        }
    }
    frames = settings.firstFrame;
    hostStartNs = hostNanoseconds();
    sim::board::powerOn();
    sim::board::onDebugSignal([this](bsp::DebugSignal signal, bool high) { onDebugSignal(signal, high); });
    sim::board::onWatchdogReset([this] {
        end = RunEnd::WatchdogReset;
        sim::stopKernel();
    });
    sim::setTimeMode(settings.timeMode);
    // A firmware that stops producing frames must not keep a headless run
    // going forever: twice the frames' board time is plenty.
    const bool bounded = settings.timeMode == sim::TimeMode::Virtual && settings.frames != 0;
    const std::uint64_t limitMs = (settings.frames - settings.firstFrame) * 2 * 17 + 1000;
    sim::setTimeLimit(bounded ? static_cast<std::uint32_t>(std::min<std::uint64_t>(limitMs, 0xFFFFFFF0u))
                              : rtos::waitForever);
    board_main();
    if (bounded && end == RunEnd::Stopped && failure.empty()) {
        failure = "the firmware stopped producing frames after frame " + std::to_string(frames.load());
    }
    sim::board::onDebugSignal(nullptr);
    sim::board::onWatchdogReset(nullptr);
    if (trace.is_open()) {
        trace.close();
        // The last lines reach the disk only now.
        if (trace.fail() && failure.empty()) {
            failure = "cannot write the trace " + settings.tracePath + ": " + std::strerror(errno);
        }
    }
    return end;
}

void BoardRun::pressKey(char key)
{
    std::lock_guard lock(inputMutex);
    keys.push_back(key);
}

void BoardRun::queueFingers(const sim::board::Finger* fingers, int count)
{
    std::lock_guard lock(inputMutex);
    // A move still waiting comes before what follows it.
    if (latestFingers) {
        fingerQueue.push_back(*latestFingers);
        latestFingers.reset();
    }
    FingerState state{count, {}};
    for (int i = 0; i < count && i < 2; ++i) {
        state.fingers[i] = fingers[i];
    }
    fingerQueue.push_back(state);
}

void BoardRun::moveQueuedFingers(const sim::board::Finger* fingers, int count)
{
    std::lock_guard lock(inputMutex);
    FingerState state{count, {}};
    for (int i = 0; i < count && i < 2; ++i) {
        state.fingers[i] = fingers[i];
    }
    latestFingers = state;
}

void BoardRun::stop()
{
    pressKey('Q');
}

void BoardRun::fail(const std::string& problem)
{
    if (failure.empty()) {
        failure = problem;
    }
    end = RunEnd::Stopped;
    sim::stopKernel();
}

void BoardRun::onDebugSignal(bsp::DebugSignal signal, bool high)
{
    if (signal == bsp::DebugSignal::VSync && high) {
        refreshMs = sim::board::lineEventDueMs();
        return;
    }
    if (signal != bsp::DebugSignal::RenderTime) {
        return;
    }
    if (high) {
        renderStartUs = sim::kernelMicroseconds();
        hostRenderStartNs = hostNanoseconds();
        return;
    }
    drawUs = sim::kernelMicroseconds() - renderStartUs;
    hostDrawNs = hostNanoseconds() - hostRenderStartNs;
    endOfFrame();
}

// On the GUI task, between two frames.
void BoardRun::endOfFrame()
{
    const std::uint64_t frame = ++frames;
    const std::uint64_t now = sim::kernelMilliseconds();
    if (const ui::HAL* hal = ui::HAL::getInstance()) {
        load = hal->getMCULoadPct();
    }
    writeTrace(now);
    if (settings.everyFrame) {
        settings.everyFrame(*this, frame);
    }
    applyScript(now);
    applyKeys();
    if (settings.screenshotEvery != 0 && frame % settings.screenshotEvery == 0) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06llu.png", static_cast<unsigned long long>(frame));
        screenshot(settings.screenshotDir + "/" + name);
    }
    if (failure.empty() && settings.frames != 0 && frame >= settings.frames) {
        end = RunEnd::FramesDone;
        sim::stopKernel();
    }
}

void BoardRun::applyScript(std::uint64_t now)
{
    while (const std::optional<ScriptEvent> step = script.next(now)) {
        const ScriptEvent& event = *step;
        switch (event.kind) {
        case ScriptEvent::Kind::Fingers:
        case ScriptEvent::Kind::Drag: // played as fingers
            handFingers(event.fingers, event.fingerCount);
            break;
        case ScriptEvent::Kind::Key:
            pressKey(event.key);
            break;
        case ScriptEvent::Kind::Screenshot:
            screenshot(event.file);
            break;
        case ScriptEvent::Kind::WatchdogRefresh:
            watchdogRefreshEnabled = event.enable;
            if (settings.recorder) {
                recorded(settings.recorder->watchdogRefresh(refreshMs, event.enable));
            }
            break;
        }
    }
}

void BoardRun::applyKeys()
{
    std::deque<char> pending;
    std::optional<FingerState> fingers;
    {
        std::lock_guard lock(inputMutex);
        pending.swap(keys);
        // One queued finger state per frame, so the firmware samples each.
        if (!fingerQueue.empty()) {
            fingers = fingerQueue.front();
            fingerQueue.pop_front();
        } else {
            fingers.swap(latestFingers);
        }
    }
    if (fingers) {
        handFingers(fingers->fingers, fingers->count);
    }
    for (const char key : pending) {
        if (settings.recorder) {
            recorded(settings.recorder->key(refreshMs, key));
        }
        if (key == 'M') {
            if (ui::Application* app = ui::Application::getInstance()) {
                app->changeToStartScreen();
            }
        } else if (key == 'S') {
            char name[40];
            std::snprintf(name, sizeof name, "screenshot-%06llu.png", static_cast<unsigned long long>(frames.load()));
            screenshot(settings.screenshotDir + "/" + name);
        } else if (key == 'Q') {
            end = RunEnd::Quit;
            sim::stopKernel();
        }
    }
}

// Input is timed by the display's latest refresh: a headless board's clock
// stands still while it draws, so its frames end at their refresh. On the
// wall clock drawing takes time, and the clock at hand-over would replay one
// frame late, or fold the states of two quick frames into one.
void BoardRun::handFingers(const sim::board::Finger* fingers, int count)
{
    sim::board::setFingers(fingers, count);
    if (settings.recorder) {
        recorded(settings.recorder->fingers(refreshMs, fingers, count));
    }
}

void BoardRun::recorded(bool written)
{
    if (!written) {
        fail("cannot write the recording " + settings.recorder->path() + ": " + std::strerror(errno));
    }
}

void BoardRun::writeTrace(std::uint64_t now)
{
    if (!trace.is_open() || !failure.empty()) {
        return;
    }
    const sim::ClockPause pause;
    devices::TraceState state;
    devices::readTraceState(state);
    TraceFrame frame{frames.load(), now, drawUs, {}};
    if (const std::uint16_t* shown = sim::board::shownFrame()) {
        frame.frameHash = frameHash(shown, std::size_t{sim::board::panelWidth} * sim::board::panelHeight);
    }
    nlohmann::ordered_json line = traceLine(frame, state, figuresForTrace());
    if (settings.hostTimes) {
        line["host_time_ms"] = static_cast<double>(hostNanoseconds() - hostStartNs) / 1e6;
        line["host_draw_ms"] = static_cast<double>(hostDrawNs) / 1e6;
        line["load_percent"] = load.load();
    }
    trace << line.dump() << '\n';
    if (!trace) {
        fail("cannot write the trace " + settings.tracePath + ": " + std::strerror(errno));
    }
}

void BoardRun::screenshot(const std::string& path)
{
    const sim::ClockPause pause;
    if (const std::string problem = saveShownFrame(path); !problem.empty()) {
        fail("screenshot: " + problem);
    }
}

std::string BoardRun::saveShownFrame(const std::string& path)
{
    const std::uint16_t* shown = sim::board::shownFrame();
    if (shown == nullptr) {
        return "the display shows no frame yet";
    }
    return sim::writeRgb565Png(path, shown, sim::board::panelWidth, sim::board::panelHeight,
                               sim::board::panelWidth * 2);
}

} // namespace simulator
