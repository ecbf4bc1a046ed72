#pragma once

#include <cstdint>

#include "ui/Bitmap.hpp"

namespace ui {

// Blit operations, as flags of a capability mask.
enum BlitOperations : std::uint32_t {
    BLIT_OP_COPY = 1u << 0,
    BLIT_OP_FILL = 1u << 1,
    BLIT_OP_COPY_WITH_ALPHA = 1u << 2,
    BLIT_OP_FILL_WITH_ALPHA = 1u << 3,
    BLIT_OP_COPY_WITH_TRANSPARENT_PIXELS = 1u << 4,
    BLIT_OP_COPY_ARGB8888 = 1u << 5,
    BLIT_OP_COPY_ARGB8888_WITH_ALPHA = 1u << 6,
    BLIT_OP_COPY_A4 = 1u << 7,
    BLIT_OP_COPY_A8 = 1u << 8,
    BLIT_OP_COPY_L8 = 1u << 9,
};

// Formats of blit sources beyond the bitmap formats: palette-based
// (colour table in pClut) and alpha-only ones blended with the blit colour.
enum BlitFormat : std::uint8_t {
    BLIT_FORMAT_L8_FIRST = 7,
    BLIT_FORMAT_L8_LAST = 11,
    BLIT_FORMAT_A4 = 12,
    BLIT_FORMAT_A8 = 13,
};

// The colour table of a palette source: this header, then `count` entries
// of the given bitmap format.
struct ColorTableHeader {
    std::uint16_t format;
    std::uint16_t count;
};

// One queued blit. Formats are the framework's codes (Bitmap::BitmapFormat
// and the palette and alpha-only codes above it).
struct BlitOp {
    std::uint32_t operation = 0;
    const void* pSrc = nullptr;          // first source pixel; an A4 source's byte holds it in its low nibble
    const std::uint8_t* pClut = nullptr; // palette of an L8 source
    std::uint16_t* pDst = nullptr;
    std::uint16_t nSteps = 0;        // pixels per line
    std::uint16_t nLoops = 0;        // lines
    std::uint16_t srcLoopStride = 0; // pixels from one source line to the next
    std::uint16_t dstLoopStride = 0; // pixels from one destination line to the next
    std::uint32_t color = 0;         // fill colour, RGB of alpha-only sources
    std::uint8_t alpha = 255;
    std::uint8_t srcFormat = 0;
    std::uint8_t dstFormat = 0;
};

// A single-producer, single-consumer ring of blits: the GUI task adds, the
// blitter's completion interrupt removes.
class LockFreeDMA_Queue {
public:
    LockFreeDMA_Queue(BlitOp* storage, std::uint32_t capacity) : ops(storage), size(capacity) {}

    bool isEmpty() const { return head == tail; }
    bool isFull() const { return (tail + 1) % size == head; }
    // The caller waits while the queue is full.
    void pushCopyOf(const BlitOp& op);
    const BlitOp& first() const { return ops[head]; }
    void pop();

    // The most blits queued at once since the previous call that started a
    // new count; for watching the queue's size in long runs.
    std::uint32_t peakCount(bool startNewPeak)
    {
        const std::uint32_t peak = highWater;
        if (startNewPeak) {
            highWater = count();
        }
        return peak;
    }
    std::uint32_t count() const { return (tail + size - head) % size; }
    std::uint32_t capacity() const { return size - 1; }

private:
    BlitOp* ops;
    std::uint32_t size;
    volatile std::uint32_t head = 0;
    volatile std::uint32_t tail = 0;
    std::uint32_t highWater = 0; // GUI task only
};

// The blitter driver: queues blits from the GUI task and executes them one
// after another, each completion starting the next.
class DMA_Interface {
public:
    DMA_Interface(const DMA_Interface&) = delete;
    DMA_Interface& operator=(const DMA_Interface&) = delete;
    virtual ~DMA_Interface() = default;

    virtual std::uint32_t getBlitCaps() = 0;
    // A full queue is first flushed.
    virtual void addToQueue(const BlitOp& op);
    // Waits until every queued blit has completed; returns at once when the
    // blitter is idle.
    virtual void flush();
    virtual void initialize() = 0;
    // Lets the queue run (the display left its active area).
    virtual void start();
    // From the blitter's completion interrupt.
    virtual void signalDMAInterrupt() = 0;
    virtual std::uint8_t getDMAType() = 0;

    bool isDMARunning() const { return running; }
    LockFreeDMA_Queue& getQueue() { return queue; }
    // Blits the blitter refused since power-on.
    std::uint32_t failedBlits() const { return failed; }

protected:
    explicit DMA_Interface(LockFreeDMA_Queue& blitQueue) : queue(blitQueue) {}

    // Starts the next queued blit if the blitter is idle.
    void execute();
    // The blit in progress finished: start the next or release the frame buffer.
    void executeCompleted();
    // Program and start one blit; false when the blitter refused it.
    virtual bool setupDataCopy(const BlitOp& op) = 0;
    virtual bool setupDataFill(const BlitOp& op) = 0;

    LockFreeDMA_Queue& queue;

private:
    void startNext();

    volatile bool running = false;
    volatile std::uint32_t failed = 0;
};

} // namespace ui
