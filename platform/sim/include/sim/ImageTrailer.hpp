#pragma once

// The last 12 bytes of a tile collection image as tilepack writes it: a tag,
// the number of bytes before the trailer and their CRC-32 (zlib's). The
// firmware reads only the tables at the start and never looks this far.

#include <cstdint>

namespace sim {

constexpr std::uint32_t imageTrailerTag = 0x4B435443; // "CTCK" in file order
constexpr std::uint32_t imageTrailerBytes = 12;

} // namespace sim
