#pragma once

#include "platform/bsp.h"

// The blitter's model (bsp::blitter*), shared by the simulator board and the
// emulated board. Each board supplies how a transfer's end reaches the
// firmware and what surrounds a transfer.
namespace sim::blit {

// Each board's: a transfer ended (failed: with an error); raise the blitter
// interrupt if it is enabled. Its handler calls endCallback(failed).
void signalEnd(bool failed);
// Each board's: the configuration call fails by an injected start-up
// failure.
bool initRefused();
// Each board's: around a transfer's pixel work.
void transferBegins();
void transferEnds();

// The firmware's callback for a transfer's end; null if it set none.
bsp::BlitterCallback endCallback(bool failed);
// Back to power-on.
void resetModel();

} // namespace sim::blit
