#include "simulator/Window.hpp"

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "sim/Kernel.hpp"

namespace simulator {

namespace {

// Pixels from the cursor to each finger before a wheel step, and after a
// step in or out: 60 to 75 is x1.25, 60 to 48 exactly its inverse.
constexpr int wheelFingerSpread = 60;
constexpr int wheelSpreadIn = wheelFingerSpread * 5 / 4;
constexpr int wheelSpreadOut = wheelFingerSpread * 4 / 5;

sim::board::Finger clampToPanel(int x, int y)
{
    const int cx = x < 0 ? 0 : (x >= sim::board::panelWidth ? sim::board::panelWidth - 1 : x);
    const int cy = y < 0 ? 0 : (y >= sim::board::panelHeight ? sim::board::panelHeight - 1 : y);
    return sim::board::Finger{static_cast<std::uint16_t>(cx), static_cast<std::uint16_t>(cy)};
}

// Turns mouse and touch events into fingers on the panel.
class Pointer {
public:
    Pointer(BoardRun& boardRun, int zoom) : run(boardRun), scale(zoom) {}

    void handle(const SDL_Event& event)
    {
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            mouseDown(event.button);
            break;
        case SDL_MOUSEMOTION:
            if (mode != Mode::None) {
                place(event.motion.x / scale, event.motion.y / scale);
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (mode != Mode::None) {
                run.queueFingers(nullptr, 0);
            }
            mode = Mode::None;
            break;
        case SDL_MOUSEWHEEL:
            wheel(event.wheel.y);
            break;
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
            touches[event.tfinger.fingerId] = clampToPanel(static_cast<int>(event.tfinger.x * sim::board::panelWidth),
                                                           static_cast<int>(event.tfinger.y * sim::board::panelHeight));
            passTouches(event.type == SDL_FINGERMOTION);
            break;
        case SDL_FINGERUP:
            touches.erase(event.tfinger.fingerId);
            passTouches(false);
            break;
        default:
            break;
        }
    }

private:
    enum class Mode { None, OneFinger, Mirrored };

    void mouseDown(const SDL_MouseButtonEvent& button)
    {
        const bool ctrl = (SDL_GetModState() & KMOD_CTRL) != 0;
        if (button.button == SDL_BUTTON_RIGHT || (button.button == SDL_BUTTON_LEFT && ctrl)) {
            mode = Mode::Mirrored;
        } else if (button.button == SDL_BUTTON_LEFT) {
            mode = Mode::OneFinger;
        } else {
            return;
        }
        place(button.x / scale, button.y / scale, true);
    }

    // Landing and lifting are sampled on frames of their own, so a quick
    // click is still a tap; moves in between keep only the newest position.
    // The second finger mirrors the first about the display's centre, so
    // the two land apart and moving the mouse pinches and turns about it.
    void place(int x, int y, bool landing = false)
    {
        const sim::board::Finger fingers[2] = {clampToPanel(x, y),
                                               clampToPanel(sim::board::panelWidth - x, sim::board::panelHeight - y)};
        const int count = mode == Mode::Mirrored ? 2 : 1;
        if (landing) {
            run.queueFingers(fingers, count);
        } else {
            run.moveQueuedFingers(fingers, count);
        }
    }

    // One wheel step is a short pinch about the cursor, one finger state a frame.
    void wheel(int steps)
    {
        int x = 0;
        int y = 0;
        SDL_GetMouseState(&x, &y);
        x /= scale;
        y /= scale;
        const int spread = steps > 0 ? wheelSpreadIn : wheelSpreadOut;
        const sim::board::Finger before[2] = {clampToPanel(x - wheelFingerSpread, y),
                                              clampToPanel(x + wheelFingerSpread, y)};
        const sim::board::Finger after[2] = {clampToPanel(x - spread, y), clampToPanel(x + spread, y)};
        run.queueFingers(before, 2);
        run.queueFingers(after, 2);
        run.queueFingers(nullptr, 0);
    }

    // Real fingers: a finger landing or lifting is sampled on its own frame.
    void passTouches(bool moved)
    {
        std::vector<sim::board::Finger> fingers;
        for (const auto& [id, finger] : touches) {
            if (fingers.size() < 2) {
                fingers.push_back(finger);
            }
        }
        if (moved) {
            run.moveQueuedFingers(fingers.data(), static_cast<int>(fingers.size()));
        } else {
            run.queueFingers(fingers.data(), static_cast<int>(fingers.size()));
        }
    }

    BoardRun& run;
    int scale;
    Mode mode = Mode::None;
    std::map<SDL_FingerID, sim::board::Finger> touches;
};

struct SdlWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;

    ~SdlWindow()
    {
        if (texture != nullptr) {
            SDL_DestroyTexture(texture);
        }
        if (renderer != nullptr) {
            SDL_DestroyRenderer(renderer);
        }
        if (window != nullptr) {
            SDL_DestroyWindow(window);
        }
        SDL_Quit();
    }
};

// SDL's video, with mouse and touch events each kept as they are.
bool startVideo(std::string& problem)
{
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        problem = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    return true;
}

// The window, `zoom` times the panel's size, and a texture of its pixels.
bool openWindow(SdlWindow& sdl, int zoom, std::string& problem)
{
    sdl.window = SDL_CreateWindow("mapboard", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  sim::board::panelWidth * zoom, sim::board::panelHeight * zoom, 0);
    if (sdl.window != nullptr) {
        sdl.renderer = SDL_CreateRenderer(sdl.window, -1, 0);
    }
    if (sdl.renderer != nullptr) {
        sdl.texture = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                        sim::board::panelWidth, sim::board::panelHeight);
    }
    if (sdl.texture == nullptr) {
        problem = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    return true;
}

// Since when the window has been asked to close.
struct Quitting {
    bool asked = false;
    std::chrono::steady_clock::time_point since;
};

// The window's events of the last few milliseconds: Q or closing the window
// stops the run, M and S are the board's keys, the rest the pointer's.
void passEvents(BoardRun& run, Pointer& pointer, Quitting& quitting)
{
    SDL_Event event;
    for (bool got = SDL_WaitEventTimeout(&event, 8) != 0; got; got = SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT || (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_q)) {
            run.stop();
            quitting.asked = true;
            quitting.since = std::chrono::steady_clock::now();
        } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_m && event.key.repeat == 0) {
            run.pressKey('M');
        } else if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_s && event.key.repeat == 0) {
            run.pressKey('S');
        } else {
            pointer.handle(event);
        }
    }
}

// The panel's newest frame in the window, once it differs from the shown one.
void showNewFrame(const SdlWindow& sdl, std::vector<std::uint16_t>& pixels, std::uint64_t& shownFrame)
{
    const std::uint64_t frame = sim::board::readPanel(pixels.data());
    if (frame != 0 && frame != shownFrame) {
        shownFrame = frame;
        SDL_UpdateTexture(sdl.texture, nullptr, pixels.data(), sim::board::panelWidth * 2);
        SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
        SDL_RenderPresent(sdl.renderer);
    }
}

// The frame rate and the board's load in the window's title, every half
// second.
class TitleFigures {
public:
    explicit TitleFigures(const BoardRun& run) : frames(run.framesDone()) {}

    void update(SDL_Window* window, const BoardRun& run)
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - since < std::chrono::milliseconds(500)) {
            return;
        }
        const std::uint64_t framesNow = run.framesDone();
        const double seconds = std::chrono::duration<double>(now - since).count();
        const long fps = std::lround(static_cast<double>(framesNow - frames) / seconds);
        const std::string title =
            "mapboard - " + std::to_string(fps) + " fps, load " + std::to_string(run.loadPercent()) + "%";
        SDL_SetWindowTitle(window, title.c_str());
        since = now;
        frames = framesNow;
    }

private:
    std::chrono::steady_clock::time_point since = std::chrono::steady_clock::now();
    std::uint64_t frames;
};

} // namespace

bool displayAvailable()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && *x11 != 0) || (wayland != nullptr && *wayland != 0);
}

RunEnd runInWindow(BoardRun& run, int zoom, std::string& problem)
{
    if (!startVideo(problem)) {
        return RunEnd::Stopped;
    }
    SdlWindow sdl;
    if (!openWindow(sdl, zoom, problem)) {
        return RunEnd::Stopped;
    }

    sim::board::enablePanelCopy();
    RunEnd end = RunEnd::Stopped;
    std::atomic<bool> boardRunning{true};
    std::thread board([&] {
        end = run.run();
        boardRunning = false;
    });

    Pointer pointer(run, zoom);
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(sim::board::panelWidth) * sim::board::panelHeight);
    std::uint64_t shownFrame = 0;
    TitleFigures title(run);
    Quitting quitting;
    while (boardRunning) {
        passEvents(run, pointer, quitting);
        // A board that no longer runs frames is stopped from outside.
        if (quitting.asked && std::chrono::steady_clock::now() - quitting.since > std::chrono::seconds(1)) {
            sim::stopKernel();
        }
        showNewFrame(sdl, pixels, shownFrame);
        title.update(sdl.window, run);
    }
    board.join();
    return end;
}

} // namespace simulator
