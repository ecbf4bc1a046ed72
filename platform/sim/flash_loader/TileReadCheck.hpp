#pragma once

#include <cstdint>
#include <string>

namespace sim {

// Reads every tile of an image whose tables passed checkFlashImage with the
// map library's transcoder at the tile's zoom level, as the board would. A
// damaged tile, or any fault of the library, stops the reading, which runs
// in a child process. Returns which tile failed and how, or an empty string.
std::string readEveryTile(const std::uint8_t* image);

} // namespace sim
