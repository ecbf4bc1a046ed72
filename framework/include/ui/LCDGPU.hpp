#pragma once

#include "ui/LCD.hpp"

namespace ui {

// The display for a GPU-capable HAL.
class LCDGPU : public LCD {
public:
    // Makes the frame buffer being drawn the GPU's destination.
    void bindFrameBufferTexture();
};

} // namespace ui
