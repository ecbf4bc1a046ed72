// Maintained by hand: no tool writes this file.

#include "board_glue/FrameBuffers.hpp"

alignas(8) std::uint16_t frameBuf[2 * frameBufferPixels];
static_assert(sizeof(frameBuf) == 1536000);
