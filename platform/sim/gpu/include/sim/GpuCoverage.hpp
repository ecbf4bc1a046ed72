#pragma once

#include <cstdint>

// The pixels the PC's GPU library covers, for a board that gives its GPU
// time by them (the emulated board's runner). Off by default: counting draws
// every path a second time.
namespace sim::vg {

void setCoverageCounting(bool on);
// Pixels with any coverage, each draw's counted within its clip and
// scissor, since the last call.
std::uint64_t takeCoveredPixels();

} // namespace sim::vg
