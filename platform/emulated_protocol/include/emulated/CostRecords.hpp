#pragma once

#include <cstdint>

// What the emulated board measures for the runner's cost report, in the
// shared RAM where the runner reads it. Instructions are counted by the
// emulator (one a nanosecond, read through the core clock to 50).
namespace emulated {

// One frame of the GUI task, from its begin to its end. Each phase counts
// only its own instructions, not those of a phase within it; the blitter
// model's work is left out of all of them, since the board's blitter is
// hardware, and so are the requests to the host runner and the processor's
// sleep while every task waits. Device times are core clock cycles of the
// board (emulated nanoseconds).
struct FrameCost {
    std::uint32_t frame;       // everything, the emulator's own work left out
    std::uint32_t model;       // the model's tick
    std::uint32_t transcode;   // tiles transcoded into cache slots
    std::uint32_t gpuCommands; // GPU command lists built, bind to submission
    std::uint32_t emulation;   // the emulator's own instructions
    std::uint32_t sleep;       // emulated nanoseconds
    std::uint32_t tilesTranscoded;
    std::uint32_t commandLists;
    std::uint32_t blitterBusy; // the transfers started in the frame
    std::uint32_t gpuBusy;     // the command lists run in the frame
    std::uint32_t transfers;
    // From the frame's begin to its end on the board: the core's work, its
    // waits for the devices and everything else that ran meanwhile.
    std::uint32_t boardTime;
};

struct TaskStack {
    char name[20];
    std::uint32_t deepestBytes;
    std::uint32_t sizeBytes;
};

// At the end of a run.
struct RunFigures {
    static constexpr std::uint32_t taskCount = 3;

    TaskStack stacks[taskCount];
    std::uint32_t kernelHeapInUse;
    std::uint32_t kernelHeapBytes;
};

} // namespace emulated
