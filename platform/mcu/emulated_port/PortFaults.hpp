#pragma once

#include <cstdint>

#include "emulated/HostProtocol.hpp"

namespace emulated {

// The table the runner fills in with the faults it was asked for (--fault),
// in the shared RAM.
FaultWindow* faultTable();

// Whether the emulated board's own fault is active at the current board time.
bool portFaultActive(PortFault fault);

// The set-up step an injected fault failed, for Error_Handler's report;
// null when the firmware stopped for a reason of its own.
const char* failedStep();

// At a frame's end on the GUI task: a hard fault or a stack overflow when
// asked for.
void provokeTaskFaults();

} // namespace emulated
