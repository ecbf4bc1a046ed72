#include "ui/DMA.hpp"

#include <algorithm>

#include "ui/OSWrappers.hpp"

namespace ui {

void LockFreeDMA_Queue::pushCopyOf(const BlitOp& op)
{
    ops[tail] = op;
    tail = (tail + 1) % size;
    highWater = std::max(highWater, count());
}

void LockFreeDMA_Queue::pop()
{
    head = (head + 1) % size;
}

// Waiting for the queue to drain costs the blitter a moment's idling; a
// delay of a kernel tick would cost the frame a millisecond each time.
void DMA_Interface::addToQueue(const BlitOp& op)
{
    if (queue.isFull()) {
        flush();
    }
    queue.pushCopyOf(op);
    execute();
}

// An idle blitter has an empty queue: execute() starts every blit queued.
void DMA_Interface::flush()
{
    if (!running) {
        return;
    }
    // The blitter holds the frame-buffer semaphore while it works.
    OSWrappers::takeFrameBufferSemaphore();
    OSWrappers::giveFrameBufferSemaphore();
}

void DMA_Interface::start()
{
    execute();
}

// Called by the GUI task and by the front-porch interrupt. Marked running
// before the semaphore call, in which an interrupt may run: a nested start
// then finds the blitter busy. An idle blitter never holds the semaphore,
// so taking it needs no wait.
void DMA_Interface::execute()
{
    if (running || queue.isEmpty()) {
        return;
    }
    running = true;
    OSWrappers::tryTakeFrameBufferSemaphore();
    startNext();
}

void DMA_Interface::executeCompleted()
{
    queue.pop();
    startNext();
}

// A blit the blitter refuses is over at once, as failed: the queue goes on,
// so the frame buffer is released and the frame still ends.
void DMA_Interface::startNext()
{
    for (; !queue.isEmpty(); queue.pop()) {
        const BlitOp& op = queue.first();
        const bool fill = (op.operation & (BLIT_OP_FILL | BLIT_OP_FILL_WITH_ALPHA)) != 0;
        if (fill ? setupDataFill(op) : setupDataCopy(op)) {
            return;
        }
        failed = failed + 1;
    }
    running = false;
    OSWrappers::giveFrameBufferSemaphoreFromISR();
}

} // namespace ui
