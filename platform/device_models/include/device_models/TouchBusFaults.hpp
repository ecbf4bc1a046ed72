#pragma once

#include <cstdint>

#include "device_models/Faults.hpp"
#include "platform/bsp.h"

namespace devices::touch {

// What a touch chip under the bus faults does to one transfer: whether the
// caller waits (waitMs), and whether the chip has answered at the end.
struct BusWait {
    bool waits = false;
    std::uint32_t waitMs = 0;
    bool answers = true;
};

// A chip holding the bus keeps the transfer waiting until it answers or the
// caller's timeout runs out.
inline BusWait busWait(std::uint32_t timeout)
{
    std::uint32_t lateMs = 0;
    if (faultActive(Fault::TouchSilent)) {
        lateMs = bsp::waitForever;
    } else if (!faultActive(Fault::TouchLate, &lateMs)) {
        return {};
    }
    const bool answers = lateMs != bsp::waitForever && lateMs <= timeout;
    return {true, answers ? lateMs : timeout, answers};
}

} // namespace devices::touch
