#pragma once

#include <cstdint>

namespace ui {

// What the framework needs of the kernel: the frame-buffer semaphore shared
// with the blitter's completion interrupt and the vertical-sync signal from
// the display's line interrupt. The board glue implements it.
class OSWrappers {
public:
    static void initialize();
    static void takeFrameBufferSemaphore();
    static void tryTakeFrameBufferSemaphore();
    static void giveFrameBufferSemaphore();
    static void giveFrameBufferSemaphoreFromISR();
    static void signalVSync();
    static void waitForVSync();
    static void taskDelay(std::uint16_t ms);
};

} // namespace ui
