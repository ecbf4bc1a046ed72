#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/Board.hpp"

// What the host link's fuzz target and its seeds agree on.
namespace hostlinkfuzz {

// The shared block the requests are answered over: a frame and the records
// the requests point at.
constexpr std::size_t blockBytes = std::size_t{1} << 20;

// The input's first byte.
constexpr std::uint8_t keepTrace = 1;
constexpr std::uint8_t reportCosts = 2;
constexpr std::uint8_t everyPicture = 4;

constexpr std::size_t panelPixels = std::size_t{sim::board::panelWidth} * sim::board::panelHeight;

} // namespace hostlinkfuzz
