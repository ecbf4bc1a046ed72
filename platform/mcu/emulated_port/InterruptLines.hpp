#pragma once

#include "platform/bsp.h"

// The board's interrupt lines on the emulated board's interrupt controller.
// The display's line events come from timer 0's line; the blitter, the GPU
// and the touch chip are models in the image, whose lines are pended by
// software, on lines whose devices stay switched off. The dual timer's line
// is the kernel's tick in emulated time.
namespace emulated {

bool interruptEnabled(bsp::Irq irq);
void pendInterrupt(bsp::Irq irq);
void enableKernelTickLine();

} // namespace emulated
