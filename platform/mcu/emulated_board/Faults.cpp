// Start-up faults the runner asks for (--fault), in the firmware's view of
// the device: the GPU library's pool allocator (shared with the simulator)
// and the blitter ask whether their set-up fails, as on the simulator.

#include "Faults.hpp"

#include "sim/BoardFaults.hpp"

namespace {

std::uint32_t injected = 0;
const char* lastFailedStep = "a configuration step";

} // namespace

namespace emulated {

void setStartupFaults(std::uint32_t faults)
{
    injected = faults;
}

const char* failedStep()
{
    return lastFailedStep;
}

} // namespace emulated

namespace sim::board::detail {

bool stepFails(Fault fault, const char* step)
{
    std::uint32_t bit = 0;
    if (fault == Fault::GpuInit) {
        bit = emulated::gpuInitFault;
    } else if (fault == Fault::BlitterInit) {
        bit = emulated::blitterInitFault;
    }
    if ((injected & bit) == 0) {
        return false;
    }
    lastFailedStep = step;
    return true;
}

} // namespace sim::board::detail
