// The emulated board's entry from the reset handler: the firmware's
// start-up, unchanged, and the board's interrupt lines.

#include "BoardClock.hpp"
#include "Display.hpp"
#include "ImageHooks.hpp"
#include "platform/bsp.h"
#include "startup/main.h"
#include "ui/Application.hpp"

extern "C" {

void Blitter_IRQHandler();
void Gpu_IRQHandler();

void TouchLine_IRQHandler()
{
    HAL_GPIO_FallingEdgeCallback(bsp::touchInterruptPin);
}

// No transfer of the firmware uses these channels.
void DmaChannels_IRQHandler()
{
}

// In the order of the lines (InterruptLines.cpp): 0 touch, 1 DMA channels,
// 2 blitter, 3 timer 0 for the display, 4 GPU, 5 the dual timer for the
// kernel's tick in emulated time.
using InterruptHandler = void (*)();
[[gnu::section(".vectors.lines"), gnu::used]] const InterruptHandler lineVectors[] = {
    TouchLine_IRQHandler, DmaChannels_IRQHandler, Blitter_IRQHandler,
    Display_IRQHandler,   Gpu_IRQHandler,         KernelTick_IRQHandler,
};

} // extern "C"

namespace emulated {

void showStartScreen()
{
    if (ui::Application* app = ui::Application::getInstance()) {
        app->changeToStartScreen();
    }
}

} // namespace emulated

int main()
{
    board_main();
    // Only a start-up that lost the kernel gets here: report failure.
    return 1;
}
