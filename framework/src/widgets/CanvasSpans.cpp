#include "ui/widgets/canvas/CanvasSpans.hpp"

#include <algorithm>

namespace ui {

void CanvasSpans::removeRows(std::int16_t y0, std::int16_t y1)
{
    std::uint32_t keptRuns = 0;
    std::uint32_t keptPixels = 0;
    for (std::uint32_t i = 0; i < runCount; ++i) {
        const Run run = runs[i];
        if (run.y >= y0 && run.y < y1) {
            continue;
        }
        // Kept pixels only ever move down: copying forward is safe.
        std::copy(pixels + run.first, pixels + run.first + run.length, pixels + keptPixels);
        runs[keptRuns++] = Run{run.x, run.y, run.length, keptPixels};
        keptPixels += run.length;
    }
    runCount = keptRuns;
    pixelCount = keptPixels;
}

bool CanvasSpans::appendRun(std::int16_t x, std::int16_t y, const std::uint32_t* argb, std::uint16_t count)
{
    if (runCount == runCapacity || count > pixelCapacity - pixelCount) {
        valid = false;
        return false;
    }
    runs[runCount++] = Run{x, y, count, pixelCount};
    std::copy(argb, argb + count, pixels + pixelCount);
    pixelCount += count;
    return true;
}

} // namespace ui
