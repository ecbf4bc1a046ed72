#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// Makes `image` the content of the simulated external flash. Reads at
// 0xA0000000 + n are served from image[n]; the image must outlive its use.
void installFlashImage(const std::uint8_t* image, std::size_t size);

} // namespace sim
