// Maintained by hand: no tool writes this file.
// The framework's kernel services on the board's kernel.

#include "ui/OSWrappers.hpp"

#include <cstddef>

#include "platform/Assert.hpp"
#include "platform/rtos.h"

namespace {

// frame_buffer_sem guards the frame buffer between the GUI task and the
// blitter: the blitter holds it while it works and its completion interrupt
// gives it back, so the GUI task waits on it before drawing by software.
//
// vsync_queue holds one message: a vertical sync that arrives while one is
// still pending is dropped, and a sync that came while the GUI task was busy
// is stale by the time it waits.
//
// Both live in static storage: they need no kernel heap.
rtos::StaticSemaphore frameBufferSemStorage;
rtos::StaticQueue vsyncQueueStorage;
rtos::SemaphoreHandle frame_buffer_sem = nullptr;
rtos::QueueHandle vsync_queue = nullptr;

// Only the arrival of a vsync message counts, not its content.
std::uint32_t dummy;

} // namespace

namespace ui {

void OSWrappers::initialize()
{
    frame_buffer_sem = rtos::createBinarySemaphore(frameBufferSemStorage);
    if (frame_buffer_sem != nullptr) {
        rtos::give(frame_buffer_sem); // starts available
    }
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    VECTA_ASSERT((frame_buffer_sem != NULL) && "Creation of framebuffer semaphore failed");
    // One message of one word.
    vsync_queue = rtos::createQueue(vsyncQueueStorage);
    // NOLINTNEXTLINE(modernize-use-nullptr): the message text is fixed
    VECTA_ASSERT((vsync_queue != NULL) && "Creation of vsync message queue failed");
}

void OSWrappers::takeFrameBufferSemaphore()
{
    rtos::take(frame_buffer_sem, rtos::waitForever);
}

void OSWrappers::tryTakeFrameBufferSemaphore()
{
    rtos::take(frame_buffer_sem, rtos::noWait);
}

void OSWrappers::giveFrameBufferSemaphore()
{
    rtos::give(frame_buffer_sem);
}

void OSWrappers::giveFrameBufferSemaphoreFromISR()
{
    rtos::give(frame_buffer_sem);
}

// A signal already pending is enough: this one is dropped.
void OSWrappers::signalVSync()
{
    if (vsync_queue != nullptr) {
        rtos::send(vsync_queue, reinterpret_cast<std::uintptr_t>(&dummy), rtos::noWait);
    }
}

// A signal that came while the GUI was busy is stale: wait for a fresh one.
void OSWrappers::waitForVSync()
{
    std::uintptr_t message = 0;
    rtos::receive(vsync_queue, message, rtos::noWait);
    rtos::receive(vsync_queue, message, rtos::waitForever);
}

void OSWrappers::taskDelay(std::uint16_t ms)
{
    rtos::delay(ms);
}

} // namespace ui
