// The simulator board in a web page. The firmware runs from power-on in
// virtual board time, one frame per animation frame of the page: board time
// then advances by the display's refresh for each frame shown, and a run
// with the same input repeats exactly, as headless. Input from the page and
// script steps are handed over between frames, as mapboard's window does.
// Everything the board receives is kept from power-on as a script, which
// mapboard --headless replays from power-on through the same frames. A
// watchdog reset ends the program; the page then starts the module afresh,
// as mapboard starts itself again.
#include <emscripten.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ScriptSteps.hpp"
#include "device_models/TraceState.hpp"
#include "platform/bsp.h"
#include "sim/Board.hpp"
#include "sim/HostTurn.hpp"
#include "sim/Interrupts.hpp"
#include "sim/Kernel.hpp"
#include "simulator/InputMemory.hpp"
#include "simulator/Script.hpp"
#include "simulator/TraceLine.hpp"
#include "startup/main.h"
#include "ui/Application.hpp"

namespace {

constexpr std::size_t panelPixels = std::size_t{sim::board::panelWidth} * sim::board::panelHeight;

struct FingerState {
    int count = 0;
    sim::board::Finger fingers[2]{};
};

std::uint64_t framesDone = 0;
std::string lastTraceLine;
std::string scriptError;
std::vector<simulator::ScriptPlayer> scripts;
std::deque<FingerState> fingerQueue;
std::optional<FingerState> latestFingers;
std::deque<char> keys;
std::vector<std::uint32_t> rgba(panelPixels);
// Input is timed by the display's latest refresh, as mapboard records it.
std::uint64_t refreshMs = 0;
simulator::InputMemory recording;
// The last frame the recording replays once it is full, else 0.
std::uint64_t recordingEndFrame = 0;

// The page draws the frame and counts it; true while the page runs frames
// as fast as it can (mapboard.run), false when it waits for its next
// animation frame.
EM_JS(int, pageShowFrame, (), { return Module.webboardFrame() ? 1 : 0; });
// The board's work for a frame ends here; what follows is the page's.
EM_JS(void, pageFrameDrawn, (), { Module.webboardFrameDrawn(); });
EM_ASYNC_JS(void, pageWaitForAnimationFrame, (), { await Module.webboardNextFrame(); });
// A page that holds the board at power-on (index.html?hold) lets a script in
// before the first frame, so that a run equals mapboard's from power-on.
EM_ASYNC_JS(void, pageWaitForStart, (), { await Module.webboardStart(); });
// A restarted board counts its frames on from those before the reset, as
// mapboard --after-reset does.
EM_JS(double, pageFirstFrame, (), { return Module.webboardFirstFrame; });
EM_JS(void, pageWatchdogReset, (), { Module.webboardWatchdogReset(); });
EM_JS(void, pageBoardEnded, (), { Module.webboardEnded(); });
// An empty name: the page's own, by the frame.
EM_JS(void, pageScreenshot, (const char* file), { Module.webboardScreenshot(UTF8ToString(file)); });

void waitForPage()
{
    pageWaitForAnimationFrame();
}

void pressKey(char key)
{
    if (key == 'M') {
        recording.key(refreshMs, key);
        if (ui::Application* app = ui::Application::getInstance()) {
            app->changeToStartScreen();
        }
    }
}

// Made once: the scripts are played at every frame's end.
const std::function<void(const std::string&)> screenshotStep = [](const std::string& file) {
    pageScreenshot(file.c_str());
};

void playScripts(std::uint64_t nowMs)
{
    for (simulator::ScriptPlayer& script : scripts) {
        web::playDueSteps(script, nowMs, &recording, refreshMs, screenshotStep);
    }
}

// One queued finger state per frame, so that the firmware samples each.
void applyInput()
{
    std::optional<FingerState> fingers;
    if (!fingerQueue.empty()) {
        fingers = fingerQueue.front();
        fingerQueue.pop_front();
    } else {
        fingers.swap(latestFingers);
    }
    if (fingers) {
        sim::board::setFingers(fingers->fingers, fingers->count);
        recording.fingers(refreshMs, fingers->fingers, fingers->count);
    }
    for (const char key : keys) {
        pressKey(key);
    }
    keys.clear();
}

// On the GUI task, between two frames.
void endOfFrame()
{
    pageFrameDrawn();
    ++framesDone;
    const std::uint64_t now = sim::kernelMilliseconds();
    simulator::TraceFrame frame{framesDone, now, 0, {}};
    if (const std::uint16_t* shown = sim::board::shownFrame()) {
        frame.frameHash = simulator::frameHash(shown, panelPixels);
    }
    devices::TraceState state;
    devices::readTraceState(state);
    lastTraceLine = simulator::traceLine(frame, state, nlohmann::ordered_json::object()).dump();
    playScripts(now);
    applyInput();
    // What was handed over now shapes only the frames after this one.
    if (recording.full() && recordingEndFrame == 0) {
        recordingEndFrame = framesDone;
    }
    if (pageShowFrame() == 0) {
        sim::afterTaskTurn(&waitForPage);
    }
}

FingerState fingerState(int count, int x0, int y0, int x1, int y1)
{
    const auto clamp = [](int value, int size) {
        return static_cast<std::uint16_t>(value < 0 ? 0 : (value >= size ? size - 1 : value));
    };
    FingerState state;
    state.count = count < 0 ? 0 : (count > 2 ? 2 : count);
    state.fingers[0] = {clamp(x0, sim::board::panelWidth), clamp(y0, sim::board::panelHeight)};
    state.fingers[1] = {clamp(x1, sim::board::panelWidth), clamp(y1, sim::board::panelHeight)};
    return state;
}

} // namespace

extern "C" {

// Fingers landing or lifting (`moved` 0) are handed over on frames of their
// own; moves in between keep only the newest position.
EMSCRIPTEN_KEEPALIVE void webboard_fingers(int count, int x0, int y0, int x1, int y1, int moved)
{
    const FingerState state = fingerState(count, x0, y0, x1, y1);
    if (moved != 0) {
        latestFingers = state;
        return;
    }
    // A move still waiting comes before what follows it.
    if (latestFingers) {
        fingerQueue.push_back(*latestFingers);
        latestFingers.reset();
    }
    fingerQueue.push_back(state);
}

EMSCRIPTEN_KEEPALIVE void webboard_key(int key)
{
    keys.push_back(static_cast<char>(key));
}

// Plays a script whose times count from now; returns false (see
// webboard_script_error) when a line is refused.
EMSCRIPTEN_KEEPALIVE int webboard_play(const char* text)
{
    simulator::ParsedScript parsed = simulator::parseScript(text, "script");
    scriptError = parsed.error;
    if (!parsed.error.empty()) {
        return 0;
    }
    for (const simulator::ScriptEvent& event : parsed.events) {
        if (event.kind == simulator::ScriptEvent::Kind::Key && event.key == 'Q') {
            scriptError = "script:" + std::to_string(event.line) + ": key Q: the page cannot quit: close its tab";
            return 0;
        }
    }
    const std::uint64_t now = sim::kernelMilliseconds();
    for (simulator::ScriptEvent& event : parsed.events) {
        event.atMs += now;
    }
    scripts.emplace_back(std::move(parsed.events));
    return 1;
}

EMSCRIPTEN_KEEPALIVE const char* webboard_script_error()
{
    return scriptError.c_str();
}

EMSCRIPTEN_KEEPALIVE double webboard_frames()
{
    return static_cast<double>(framesDone);
}

// The last frame's trace line: screen, map position, pizza, dogs.
EMSCRIPTEN_KEEPALIVE const char* webboard_state()
{
    return lastTraceLine.c_str();
}

// Everything the board received from power-on, as mapboard --record writes
// it.
EMSCRIPTEN_KEEPALIVE const char* webboard_recording()
{
    return recording.text().c_str();
}

// Once the recording is full, the last frame it replays; else 0.
EMSCRIPTEN_KEEPALIVE double webboard_recording_end()
{
    return static_cast<double>(recordingEndFrame);
}

// What the display shows, RGB565 row by row, or null before the first frame.
EMSCRIPTEN_KEEPALIVE const std::uint16_t* webboard_frame_buffer()
{
    return sim::board::shownFrame();
}

// The same as RGBA bytes, for the page's canvas.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* webboard_rgba()
{
    const std::uint16_t* shown = sim::board::shownFrame();
    if (shown == nullptr) {
        return nullptr;
    }
    for (std::size_t i = 0; i < panelPixels; ++i) {
        const std::uint32_t pixel = shown[i];
        const std::uint32_t red = (pixel >> 11) & 0x1f;
        const std::uint32_t green = (pixel >> 5) & 0x3f;
        const std::uint32_t blue = pixel & 0x1f;
        // Little-endian words: red is the first byte.
        rgba[i] = 0xff000000u | (((blue << 3) | (blue >> 2)) << 16) | (((green << 2) | (green >> 4)) << 8) |
                  ((red << 3) | (red >> 2));
    }
    return rgba.data();
}

} // extern "C"

int main()
{
    framesDone = static_cast<std::uint64_t>(pageFirstFrame());
    sim::board::powerOn();
    sim::board::onDebugSignal([](bsp::DebugSignal signal, bool high) {
        if (signal == bsp::DebugSignal::VSync && high) {
            refreshMs = sim::board::lineEventDueMs();
        } else if (signal == bsp::DebugSignal::RenderTime && !high) {
            endOfFrame();
        }
    });
    sim::board::onWatchdogReset([] {
        pageWatchdogReset();
        sim::stopKernel();
    });
    sim::setTimeMode(sim::TimeMode::Virtual);
    pageWaitForStart();
    board_main();
    pageBoardEnded();
    return 0;
}
