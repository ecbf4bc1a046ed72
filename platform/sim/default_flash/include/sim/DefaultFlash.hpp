#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

struct FlashImageView {
    const std::uint8_t* bytes;
    std::size_t size;
};

// The tile collection image linked into the program. Linking `default_flash`
// also installs it as the flash content before main runs.
FlashImageView defaultFlashImage();

} // namespace sim
