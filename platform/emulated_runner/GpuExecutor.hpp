#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "SharedBlock.hpp"
#include "gpu/gpu_graphics.h"

namespace emulated {

// The emulated board's GPU: executes the command lists its GPU port writes
// into the shared RAM block, with the PC's GPU library (the simulator's
// cairo stand-in), on the frame buffer's bytes in that block.
class GpuExecutor {
public:
    // `countCoverage`: count the pixels each list covers, for the board's GPU
    // time (a second drawing of every path).
    GpuExecutor(SharedBlock ram, bool countCoverage);
    GpuExecutor(const GpuExecutor&) = delete;
    GpuExecutor& operator=(const GpuExecutor&) = delete;
    ~GpuExecutor();

    // Empty on success, otherwise what was wrong with the list.
    std::string run(std::uint32_t address, std::uint32_t bytes, bool submit);
    // The pixels the lists run since the last call covered; 0 when not
    // counting.
    std::uint32_t takeCoveredPixels();

private:
    std::string draw(const std::uint8_t* record, std::uint32_t bytes);

    SharedBlock block;
    std::vector<std::uint8_t> poolMemory;
    gpu_cmdlist_t list{};
    void* path = nullptr;
    void* paint = nullptr;
    std::vector<std::uint8_t> pathData;
    std::uint32_t boundCount = 0;
    std::uint32_t clipCount = 0;
    std::uint32_t scissorCount = 0;
};

} // namespace emulated
