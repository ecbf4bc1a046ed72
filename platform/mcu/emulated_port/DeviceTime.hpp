#pragma once

#include <cstdint>

#include "device_models/BlitterModel.hpp"

// How long the board's blitter and GPU work. The model is the board's: a
// core at 160 MHz beside a 2D DMA and a vector GPU on the same clock and
// the same 32-bit bus. Times are core clock cycles, which emulated time
// counts as nanoseconds, as it counts one for each instruction of the core.
namespace emulated {

// Each transfer first reads its registers and fills its pipeline.
constexpr std::uint64_t transferStartCycles = 16;
// Fills, copies and format conversions move one 32-bit word over the bus
// each cycle; the bytes are those read plus those written.
constexpr std::uint64_t transferBytesPerCycle = 4;
// Blending reads both layers and writes the result through a blender that
// takes a second cycle for every word: half the rate.
constexpr std::uint64_t blendBytesPerCycle = 2;
// Each command list: fetching it, setting the GPU's state up and flushing
// its caches at the end.
constexpr std::uint64_t gpuListStartCycles = 1000;
// The GPU's rasteriser covers one pixel a cycle, its 16 antialiasing
// samples in parallel; a pixel covered by several paths counts for each.
constexpr std::uint64_t gpuPixelsPerCycle = 1;

std::uint64_t transferCycles(const devices::blit::TransferLoad& load);
std::uint64_t gpuCycles(std::uint32_t coveredPixels);

// In emulated time the devices' ends come by timers: the blitter's by the
// dual timer's second counter (which shares its line with the kernel's
// tick), the GPU's by timer 1 on the GPU's line. Each pends its device's
// interrupt line when it runs out; at most one wait each at a time.
void blitterDoneIn(std::uint64_t cycles);
void gpuDoneIn(std::uint64_t cycles);
// From the dual timer's line: true when the blitter's counter ran out, whose
// interrupt is then pended.
bool blitterTimerExpired();
// From the GPU's line: clears timer 1's interrupt.
void gpuTimerAcknowledge();
// Timer ticks until the first of these waits ends; none running: the most
// there can be.
std::uint32_t deviceTimerTicksLeft();

} // namespace emulated
