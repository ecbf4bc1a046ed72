#pragma once

#include <cstdint>

#include "platform/bsp.h"
#include "sim/BoardFaults.hpp"

namespace sim::board {

// What a touch chip under the bus faults does to one transfer: whether the
// caller waits (waitMs), and whether the chip has answered at the end.
struct TouchBusWait {
    bool waits = false;
    std::uint32_t waitMs = 0;
    bool answers = true;
};

// A chip holding the bus keeps the transfer waiting until it answers or the
// caller's timeout runs out.
inline TouchBusWait touchBusWait(std::uint32_t timeout)
{
    using detail::faultActive;
    std::uint32_t lateMs = 0;
    if (faultActive(Fault::TouchSilent)) {
        lateMs = bsp::waitForever;
    } else if (!faultActive(Fault::TouchLate, &lateMs)) {
        return {};
    }
    const bool answers = lateMs != bsp::waitForever && lateMs <= timeout;
    return {true, answers ? lateMs : timeout, answers};
}

} // namespace sim::board
