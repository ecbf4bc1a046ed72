#pragma once

#include <cstddef>
#include <string>

namespace mvt {

// A dense, reproducible street-map tile: many road lines and water, park and
// building polygons with holes, in the layers and classes the style draws.
// Grows until it holds about `targetBytes` bytes.
std::string makeSyntheticTile(unsigned int seed, std::size_t targetBytes);

} // namespace mvt
