#pragma once

#include <cstdint>
#include <string>

// Tiles carry only hashes of layer names and classes once read; this turns
// the hashes of the names the map uses back into text.
std::string nameOf(std::uint32_t hash);
