#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

// Makes `image` the content of the simulated external flash. Reads at
// 0xA0000000 + n are served from image[n]; the image must outlive its use.
void installFlashImage(const std::uint8_t* image, std::size_t size);

// The image installed last (null before any), and its size.
const std::uint8_t* installedFlashImage(std::size_t& size);

// Whether reads at 0xA0000000 reach the flash. Programs that never bring the
// board up find it mapped; the simulated board unmaps it at power-on and its
// external-memory port maps it again.
void setFlashMapped(bool mapped);

} // namespace sim
