#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace simulator {

// One thing the board holds that a long run watches: its value at the end
// of a frame and the most it reached since the previous reading.
struct Figure {
    std::string name;
    std::uint64_t now = 0;
    std::uint64_t peak = 0;
    std::uint64_t capacity = 0; // 0: none
    // Empty for a resource that returns to the same level at rest whatever
    // the user did; else why the figure may rise and fall over a run.
    std::string unsteady;
};

// The kernel heap and queues, the GPU pools, the map fetcher's queue and the
// map cache's slots; with `startNewPeaks` the next reading's peaks start from
// now. On the GUI task, between frames.
std::vector<Figure> readFigures(bool startNewPeaks);

// A run cut into windows of equal length: per window and figure the lowest
// end-of-frame value (where it rests) and the peak.
class FigureWindows {
public:
    static constexpr std::uint64_t count = 6;

    explicit FigureWindows(std::uint64_t runFrames);
    std::uint64_t framesPerWindow() const { return windowFrames; }

    // Frames count from 1.
    void add(std::uint64_t frame, const std::vector<Figure>& reading);
    // The first figure found growing, said in one line; empty: none.
    std::string growth() const;
    // One line per figure.
    void print(std::FILE* out, const char* prefix) const;

private:
    struct Window {
        std::vector<std::uint64_t> floor;
        std::vector<std::uint64_t> peak;
    };
    std::uint64_t windowFrames;
    std::vector<Figure> figures; // the latest reading
    std::vector<Window> windows;
};

// The figures' values now, by name, for the trace.
nlohmann::ordered_json figuresForTrace();

} // namespace simulator
