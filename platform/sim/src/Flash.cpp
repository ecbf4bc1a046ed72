#include "sim/Flash.hpp"

#include <atomic>

#include "platform/flash.h"

namespace {

const std::uint8_t* flashImage = nullptr;
std::size_t flashImageSize = 0;
std::atomic<bool> flashMapped{true};

} // namespace

namespace sim {

void installFlashImage(const std::uint8_t* image, std::size_t size)
{
    flashImage = image;
    flashImageSize = size;
}

const std::uint8_t* installedFlashImage(std::size_t& size)
{
    size = flashImageSize;
    return flashImage;
}

void setFlashMapped(bool mapped)
{
    flashMapped = mapped;
}

} // namespace sim

// The PC cannot always map the image at the board's address, so addresses
// are relocated onto wherever the image lies.
const void* flash_pointer(std::uint32_t address, std::uint32_t size)
{
    if (!flashMapped || flashImage == nullptr || address < flashBaseAddress) {
        return nullptr;
    }
    const std::uint64_t offset = address - flashBaseAddress;
    if (offset > flashImageSize || size > flashImageSize - offset) {
        return nullptr;
    }
    return flashImage + offset;
}
