#pragma once

#include <array>
#include <cstdint>

namespace ui {

// What a canvas widget's painted pixels depend on: its shape, size and
// alpha and its painter's content, as the widget describes them.
struct CanvasShapeKey {
    std::array<std::int32_t, 12> values{};

    bool operator==(const CanvasShapeKey&) const = default;
};

// A canvas widget's painted pixels kept between redraws: runs of ARGB8888
// pixels, each within one row, each blending over the frame buffer exactly
// as the painter would paint it. Every redraw hands the runs to the
// blitter; the widget fills them again only where its shape changed, and
// a widget of the same shape that takes the storage over (a screen entered
// again) uses them as they are. Storage is the owner's (CanvasSpanStorage),
// fixed at build time. Runs of different rows never meet, so their order
// does not matter.
class CanvasSpans {
public:
    struct Run {
        std::int16_t x; // widget coordinates of the first pixel
        std::int16_t y;
        std::uint16_t length;
        std::uint32_t first; // index of the first pixel in pixelData()
    };

    CanvasSpans(const CanvasSpans&) = delete;
    CanvasSpans& operator=(const CanvasSpans&) = delete;

    // No runs, and nothing shown by them.
    void clear()
    {
        runCount = 0;
        pixelCount = 0;
        valid = false;
    }
    // Removes the runs of rows y0 to y1 (exclusive); the others keep theirs.
    void removeRows(std::int16_t y0, std::int16_t y1);
    // Appends a run of `count` pixels from (x, y); false when the storage is
    // full, which leaves the runs unfit for showing.
    bool appendRun(std::int16_t x, std::int16_t y, const std::uint32_t* argb, std::uint16_t count);
    // The runs show the shape described by `key`.
    void markShowing(const CanvasShapeKey& key)
    {
        shown = key;
        valid = true;
    }
    bool shows(const CanvasShapeKey& key) const { return valid && shown == key; }
    bool holdsShape() const { return valid; }

    std::uint32_t size() const { return runCount; }
    const Run& operator[](std::uint32_t i) const { return runs[i]; }
    const std::uint32_t* pixelData() const { return pixels; }
    std::uint32_t pixelsHeld() const { return pixelCount; }

protected:
    CanvasSpans(Run* runStorage, std::uint32_t runsMax, std::uint32_t* pixelStorage, std::uint32_t pixelsMax)
        : runs(runStorage), pixels(pixelStorage), runCapacity(runsMax), pixelCapacity(pixelsMax)
    {
    }
    ~CanvasSpans() = default;

private:
    Run* runs;
    std::uint32_t* pixels;
    std::uint32_t runCapacity;
    std::uint32_t pixelCapacity;
    std::uint32_t runCount = 0;
    std::uint32_t pixelCount = 0;
    CanvasShapeKey shown;
    bool valid = false;
};

template <std::uint32_t Runs, std::uint32_t Pixels> class CanvasSpanStorage : public CanvasSpans {
public:
    CanvasSpanStorage() : CanvasSpans(runStorage, Runs, pixelStorage, Pixels) {}

private:
    Run runStorage[Runs] = {};
    std::uint32_t pixelStorage[Pixels] = {};
};

} // namespace ui
