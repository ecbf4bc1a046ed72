#pragma once

#include <cstdint>

namespace devices {

// What one of the GPU library's memory pools holds, for a long run to watch
// for leaks: payload bytes of live blocks.
struct GpuPoolFigures {
    std::uint32_t inUse;
    std::uint32_t peak; // the most since the previous reading
    std::uint32_t size; // 0: the pool was never set up
};

// With `startNewPeak` the next reading's peak starts from what it holds now.
GpuPoolFigures readGpuPoolFigures(int pool, bool startNewPeak);

} // namespace devices
