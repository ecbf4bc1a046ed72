#pragma once

#include <cstdint>

#include "ui/HAL.hpp"

// Both 800 x 480 RGB565 frame buffers in one block: buffer 0 first, buffer 1
// right after it.
constexpr std::uint32_t frameBufferPixels = ui::HAL::DISPLAY_WIDTH * ui::HAL::DISPLAY_HEIGHT;
extern std::uint16_t frameBuf[2 * frameBufferPixels];
