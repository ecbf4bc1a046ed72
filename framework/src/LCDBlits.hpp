#pragma once

#include <cstdint>

#include "ui/DMA.hpp"
#include "ui/Types.hpp"

// What the LCD's drawing operations share to hand their work to the blitter.
namespace ui::lcd {

// The part of `clip` inside the frame buffer; empty without a HAL.
Rect screenClip(const Rect& clip);
// The HAL's blitter when it can do `operation`, else null.
DMA_Interface* blitterFor(std::uint32_t operation);
// A blit whose destination is `area` of the RGB565 frame buffer.
BlitOp frameBufferBlit(std::uint32_t operation, const Rect& area, std::uint16_t* frameBuffer, std::int16_t stride);

} // namespace ui::lcd
