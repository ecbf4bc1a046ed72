#pragma once

// The image file tilepack writes.

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tilepack {

// Throws when the output path exists and is not a regular file (a device,
// a link, a folder), which renaming the image over it would replace, or
// when its folder cannot take the image: before the build, not after it.
void checkOutput(const std::filesystem::path& out, const char* option);

// Writes the image next to `out` and renames it over `out`, so that a
// failed run leaves neither a partial image nor a temporary file. Throws
// with the system's reason on failure.
void writeImage(const std::filesystem::path& out, const std::vector<std::uint8_t>& image);

} // namespace tilepack
