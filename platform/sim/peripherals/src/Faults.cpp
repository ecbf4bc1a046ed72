#include <array>

#include "BoardState.hpp"
#include "sim/BoardFaults.hpp"

namespace {

struct Injected {
    bool on = false;
    std::uint32_t value = 0;
    std::uint64_t fromMs = 0;
    std::uint64_t untilMs = 0;
};

std::array<Injected, devices::faultKinds> faults{};
const char* lastFailedStep = nullptr;

} // namespace

namespace sim::board {

void injectFault(devices::Fault fault, std::uint32_t value, std::uint64_t fromMs, std::uint64_t untilMs)
{
    faults[static_cast<std::size_t>(fault)] = Injected{true, value, fromMs, untilMs};
}

void clearFaults()
{
    faults.fill(Injected{});
    lastFailedStep = nullptr;
}

} // namespace sim::board

namespace devices {

bool faultActive(Fault fault, std::uint32_t* value)
{
    const Injected& injected = faults[static_cast<std::size_t>(fault)];
    if (!injected.on) {
        return false;
    }
    const std::uint64_t now = sim::kernelMilliseconds();
    if (now < injected.fromMs || now >= injected.untilMs) {
        return false;
    }
    if (value != nullptr) {
        *value = injected.value;
    }
    return true;
}

bool stepFails(Fault fault, const char* step)
{
    if (!faultActive(fault)) {
        return false;
    }
    sim::board::detail::noteFailedStep(step);
    return true;
}

} // namespace devices

namespace sim::board::detail {

void noteFailedStep(const char* step)
{
    lastFailedStep = step;
}

const char* failedStep()
{
    return lastFailedStep;
}

} // namespace sim::board::detail
