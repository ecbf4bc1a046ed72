// The soak run's rule for a growing figure.

#include <gtest/gtest.h>

#include <functional>

#include "simulator/Figures.hpp"

using simulator::Figure;
using simulator::FigureWindows;

namespace {

constexpr std::uint64_t frames = 600; // windows of 100 frames

// Feeds every frame the values `level` gives for a steady figure and one
// that follows the view.
FigureWindows run(const std::function<std::uint64_t(std::uint64_t frame)>& level)
{
    FigureWindows windows(frames);
    for (std::uint64_t frame = 1; frame <= frames; ++frame) {
        const std::uint64_t value = level(frame);
        windows.add(frame, {Figure{"pool", value, value, 1000, {}}, Figure{"view", frame, frame, 0, "follows"}});
    }
    return windows;
}

} // namespace

TEST(FigureWindows, WorkAndScreensMoveAFigureWithinItsRangeWithoutGrowing)
{
    // Rests at 100; bursts of work, larger later on; a screen that holds 8
    // more for all of window 4, as much as window 2 ever held.
    const FigureWindows windows = run([](std::uint64_t frame) -> std::uint64_t {
        if (frame > 300 && frame <= 400) {
            return 108;
        }
        if (frame % 50 == 0) {
            return frame == 150 ? 108 : 100 + frame;
        }
        return 100;
    });
    EXPECT_EQ(windows.growth(), "");
}

TEST(FigureWindows, ALeakThatLiftsTheRestingLevelAboveTheReferencePeakIsNamed)
{
    // What the warm-up takes is not counted; a leak of one unit every ten
    // frames after it is.
    const FigureWindows leaking = run([](std::uint64_t frame) { return frame < 100 ? frame : 100 + frame / 10; });
    EXPECT_EQ(leaking.growth(), "pool grows: it rests at 130 in window 4, above the most it held in window 2, 120");

    const FigureWindows warmingUp = run([](std::uint64_t frame) { return frame <= 100 ? frame : 100; });
    EXPECT_EQ(warmingUp.growth(), "");
}
