#include "FaultOptions.hpp"

#include <algorithm>
#include <iterator>

#include "simulator/Faults.hpp"

namespace emulated {

namespace {

using devices::Fault;

constexpr Fault modelled[] = {Fault::TouchSilent,   Fault::TouchLate,    Fault::TouchCount,  Fault::TouchOutside,
                              Fault::TouchIrqStuck, Fault::GpuInit,      Fault::GpuStencil,  Fault::GpuPool,
                              Fault::BlitterInit,   Fault::BlitterLayer, Fault::BlitterStart};

struct OwnFault {
    const char* name;
    PortFault fault;
};

constexpr OwnFault ownFaults[] = {
    {"hard-fault", PortFault::HardFault},
    {"stack-overflow", PortFault::StackOverflow},
    {"vsync-lost", PortFault::VsyncLost},
};

std::uint32_t boardMs(std::uint64_t ms)
{
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

} // namespace

const char* const faultHelp =
    "a fault from board time FROM ms (default 0) until before UNTIL, repeatable: mapboard's touch-silent, "
    "touch-late=MS, touch-count=N, touch-outside, touch-irq-stuck, gpu-init, gpu-stencil, gpu-pool, blitter-init, "
    "blitter-layer and blitter-start, and the emulated board's own: hard-fault (the GUI task runs an undefined "
    "instruction at a frame's end), stack-overflow (the GUI task overruns its stack) and vsync-lost (the display's "
    "line events stop)";

std::string addFault(const std::string& text, RunSettings& settings)
{
    const std::size_t at = text.find('@');
    const std::string name = text.substr(0, at);
    simulator::FaultRequest request;
    std::size_t slot = 0;
    const auto* own =
        std::find_if(std::begin(ownFaults), std::end(ownFaults), [&](const OwnFault& f) { return name == f.name; });
    if (own != std::end(ownFaults)) {
        if (at != std::string::npos) {
            if (std::string refused = simulator::parseFaultWindow(text.substr(at + 1), request); !refused.empty()) {
                return refused;
            }
        }
        slot = static_cast<std::size_t>(own->fault);
    } else {
        if (std::string refused = simulator::parseFault(text, request); !refused.empty()) {
            return refused;
        }
        if (request.tileBitFlip ||
            std::find(std::begin(modelled), std::end(modelled), request.fault) == std::end(modelled)) {
            return "the emulated board does not show this fault";
        }
        slot = static_cast<std::size_t>(request.fault);
    }
    settings.faults[slot] = FaultWindow{1, request.value, boardMs(request.fromMs), boardMs(request.untilMs)};
    return {};
}

} // namespace emulated
