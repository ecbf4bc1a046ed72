#pragma once

#include <cstdint>

// Frames per second over 50 frames of the display, from the display
// refreshes each frame took. The first reading covers 51 frames.
class FrameRateMeter {
public:
    // Counts one frame; returns true with a new reading in `fps` once every
    // 50 frames.
    bool addFrame(std::uint8_t refreshes, float& fps);

private:
    std::uint32_t refreshCount = 0;
    std::uint32_t count = 0;
};
