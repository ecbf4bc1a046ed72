#pragma once

#include <cstdint>

// Both 800 x 480 RGB565 frame buffers in one block: buffer 0 first, buffer 1
// right after it.
constexpr std::uint32_t frameBufferPixels = 800u * 480u;
extern std::uint16_t frameBuf[2 * frameBufferPixels];
