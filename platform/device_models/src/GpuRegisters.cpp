// The GPU's register file as the board HAL exposes it; the simulated GPU
// keeps no state in it beyond what is written.

#include <cstdint>

#include "gpu/gpu_sys.h"

namespace {

constexpr std::uint32_t registerBytes = 0x1000;
std::uint32_t registers[registerBytes / 4];

} // namespace

extern "C" {

std::uint32_t HAL_GPU_ReadRegister(std::uint32_t offset)
{
    return offset < registerBytes ? registers[offset / 4] : 0;
}

void HAL_GPU_WriteRegister(std::uint32_t offset, std::uint32_t value)
{
    if (offset < registerBytes) {
        registers[offset / 4] = value;
    }
}

} // extern "C"
