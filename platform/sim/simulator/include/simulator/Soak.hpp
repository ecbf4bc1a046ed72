#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "model/ModelStates.hpp"
#include "simulator/BoardRun.hpp"
#include "simulator/Figures.hpp"

namespace simulator {

// A long headless run driven by seeded random input: drags, pinches,
// rotations, wheel steps, taps on every control of the screen shown, menu
// switches, bitrate changes, orders and pauses long enough for a delivery.
// Input is chosen at the end of each frame from the screen then shown, and
// board time is virtual, so a seed replays the same run exactly. It samples
// the figures every frame and fails on an assertion (the process aborts
// after naming the frame), a watchdog reset or a figure that grows.
class Soak {
public:
    Soak(std::uint64_t seed, std::uint64_t frames);
    ~Soak();
    Soak(const Soak&) = delete;
    Soak& operator=(const Soak&) = delete;

    // On the GUI task at the end of every frame.
    void endOfFrame(BoardRun& run, std::uint64_t frame);
    // Prints the figures and the verdict; returns the exit status.
    int finish(RunEnd end, std::uint64_t framesDone, const std::string& problem, std::FILE* out);

private:
    struct Step {
        int fingerCount = -1; // -1: the fingers stay as they are
        sim::board::Finger fingers[2]{};
        char key = 0;
    };

    void plan(ActiveScreen screen);
    void planMenu();
    void planMap(bool pizza, PizzaState pizzaState);
    void play(const char* action);
    void tap(const char* action, int left, int top, int right, int bottom);
    void tapOrder();
    void drag();
    void pinch(bool rotate);
    void wheel();
    void wait(std::uint32_t frames);
    void fingers(int count, int x1, int y1, int x2 = 0, int y2 = 0);
    void sample(std::uint64_t frame);

    std::uint64_t next();
    int between(int low, int high); // inclusive
    bool chance(int percent);

    std::uint64_t seed;
    std::uint64_t randomState;
    std::uint64_t frames;
    std::size_t tourStep = 0;
    std::deque<Step> steps;
    std::map<std::string, std::uint64_t> played; // how often each kind of input ran
    FigureWindows windows;
};

} // namespace simulator
