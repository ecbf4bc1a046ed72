#pragma once

#include <cstdint>
#include <string>

#include "board_config/BoardConfig.hpp"
#include "common/FrontendHeap.hpp"
#include "support/ScriptedTouch.hpp"
#include "ui/HALGPU.hpp"
#include "ui/LCDGPU.hpp"

// Runs the application frame by frame without the kernel, in the order of
// the GUI task's loop: a pending screen switch, the model's tick, the
// screen's tick, touch sampling, drawing into the frame buffer; then the
// display refresh that shows the frame.
class FrameDriver {
public:
    FrameDriver();
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    void frame();
    void frames(int count);

    // Finger down at (x, y) for one frame, then lifted the next.
    void tap(std::int16_t x, std::int16_t y);

    // The model as at power-up: the heap is one per program, and a test
    // must not start from what an earlier one left.
    void resetModel();

    std::uint16_t shownPixel(int x, int y) const { return hal.getTFTFrameBuffer()[y * board::panelWidth + x]; }
    // Writes the picture on display; an empty string on success.
    std::string savePicture(const std::string& path) const;
    // Pixels differing from a reference picture at all (the drawing is
    // deterministic); -1 when it cannot be read.
    int differingPixels(const std::string& referencePath) const;

    ui::LCDGPU lcd;
    fixture::ScriptedTouch touch;
    ui::HALGPU hal;
    FrontendHeap& heap;
};
