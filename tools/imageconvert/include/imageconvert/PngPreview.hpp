#pragma once

#include <string>

#include "imageconvert/Raster.hpp"

namespace imageconvert {

// Saves a rendered image as PNG, to look at what the firmware will show.
void writePng(const Raster& raster, const std::string& path);

} // namespace imageconvert
