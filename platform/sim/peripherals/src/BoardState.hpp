#pragma once

#include "platform/bsp.h"
#include "sim/Board.hpp"
#include "sim/Interrupts.hpp"

// State shared by the stand-ins; firmware calls reach it one at a time,
// under the kernel's run token.
namespace sim::board::detail {

bool interruptEnabled(bsp::Irq irq);
// Raises the line's interrupt now, or when the line is next unmasked.
void requestInterrupt(bsp::Irq irq, InterruptHandler handler);
// Waits before the kernel start plus the kernel clock.
std::uint64_t boardTimeMs();
// Takes the configured failure of a step, once.
bool takeFailure(Step step);
void resetInterrupts();
void resetDisplay();
void resetBlitter();
void resetFlashPort();
void resetTouch();
void resetWatchdog();

} // namespace sim::board::detail
