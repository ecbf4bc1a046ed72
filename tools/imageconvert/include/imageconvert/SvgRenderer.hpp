#pragma once

#include <string>

#include "imageconvert/Raster.hpp"

namespace imageconvert {

// Renders an SVG document scaled into width x height pixels. Throws
// std::runtime_error with librsvg's message when the document is unusable.
Raster renderSvgFile(const std::string& path, int width, int height);
Raster renderSvgData(const std::string& svg, int width, int height);

} // namespace imageconvert
