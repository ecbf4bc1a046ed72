#pragma once

#include <cstdint>

#include "emulated/HostProtocol.hpp"

namespace emulated {

// StartupFault bits from the runner's Hello reply.
void setStartupFaults(std::uint32_t faults);

// The set-up step an injected fault failed, for Error_Handler's report.
const char* failedStep();

} // namespace emulated
