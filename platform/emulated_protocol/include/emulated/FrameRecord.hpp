#pragma once

#include <cstdint>

#include "device_models/TraceState.hpp"

// What the image writes at each frame's end while the runner keeps a trace,
// in the shared RAM where the runner reads it: the application's state as
// the simulator's trace reads it, and the figures of the firmware's own
// kernel heap and queues (the map cache's are in the state's tile counts).
namespace emulated {

struct FrameRecord {
    devices::TraceState state;
    std::uint32_t kernelHeapInUse;
    std::uint32_t blitQueue;
    std::uint32_t failedBlits;
    std::uint32_t fetcherQueue;
};

} // namespace emulated
