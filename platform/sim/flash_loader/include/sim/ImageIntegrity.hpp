#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// Checks what the table check cannot see in an image whose tables passed
// checkFlashImage: the checksum trailer tilepack writes, and that the tables
// describe one collection as laid out (zoom levels in order, each list
// right after its record, each level's tile range inside its world and
// inside the area of the level above it, no two tiles sharing bytes).
// Returns why the image is refused, or an empty string.
std::string checkImageIntegrity(const std::uint8_t* image, std::size_t size);

} // namespace sim
