#pragma once

#include <cstdint>

#include "board_config/BoardConfig.hpp"
#include "platform/bsp.h"

// How the display controller takes its timing and where its scan's lines
// fall, shared by the simulator's controller and the emulated board's; each
// counts time in its own units (milliseconds, core clock cycles).
namespace devices::display {

// Each accumulated position lies beyond the one before it.
inline bool timingConsistent(const bsp::DisplayTiming& timing)
{
    return timing.horizontalSync <= timing.accumulatedHorizontalBackPorch &&
           timing.accumulatedHorizontalBackPorch < timing.accumulatedActiveWidth &&
           timing.accumulatedActiveWidth < timing.totalWidth &&
           timing.verticalSync <= timing.accumulatedVerticalBackPorch &&
           timing.accumulatedVerticalBackPorch < timing.accumulatedActiveHeight &&
           timing.accumulatedActiveHeight < timing.totalHeight;
}

// Before the timing is set a frame counts as one line.
inline std::uint64_t linesPerFrame(const bsp::DisplayTiming& timing)
{
    return timing.totalHeight == 0 ? 1 : timing.totalHeight;
}

// The first line index after `after` that is line `line` of its frame.
inline std::uint64_t nextOccurrence(std::uint16_t line, std::uint64_t after, std::uint64_t linesPerFrame)
{
    std::uint64_t index = after - after % linesPerFrame + line;
    if (index <= after) {
        index += linesPerFrame;
    }
    return index;
}

// When line `lineIndex` (counted from time 0) is scanned, in units of which
// `unitsPerSecond` make a second.
inline std::uint64_t lineTime(std::uint64_t lineIndex, std::uint64_t unitsPerSecond, std::uint64_t linesPerFrame)
{
    return lineIndex * unitsPerSecond / (::board::framesPerSecond * linesPerFrame);
}

} // namespace devices::display
