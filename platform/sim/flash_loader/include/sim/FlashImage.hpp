#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// Checks the tile collection tables of a flash image before anything reads
// them: every address inside the image and aligned, list lengths matching
// their tile ranges, every payload inside the image. Returns why the image
// is unusable, or an empty string.
std::string checkFlashImage(const std::uint8_t* image, std::size_t size);

} // namespace sim
