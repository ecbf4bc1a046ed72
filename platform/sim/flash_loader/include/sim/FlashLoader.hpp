#pragma once

#include <string>

namespace sim {

// Reads a flash image file and makes it the flash content, mapped at the
// board's flash address where the host allows. The tables are checked first
// (checkFlashImage), then the checksum and layout (checkImageIntegrity),
// then every tile is read once by the map library in a
// separate process, so that a damaged tile is refused here instead of
// stopping the program later. Returns one line saying why the file was
// refused (the flash content is then unchanged), or an empty string. Call it
// at start-up, before other threads exist.
std::string loadFlashImage(const std::string& path);

} // namespace sim
