// The tile collection is linked at the start of the external flash region:
// on the board that is the flash's mapped address itself, on the emulator a
// RAM block elsewhere. Addresses in the collection's tables assume the
// board's base, so they are moved by the region's offset, which is zero on
// the board.

#include <cstdint>

#include "platform/flash.h"

extern "C" {
extern const std::uint8_t __tile_collection_start[];
extern const std::uint8_t __tile_collection_end[];
}

const void* flash_pointer(std::uint32_t address, std::uint32_t size)
{
    if (address < flashBaseAddress) {
        return nullptr;
    }
    const std::uint32_t offset = address - flashBaseAddress;
    const auto length = static_cast<std::uint32_t>(__tile_collection_end - __tile_collection_start);
    if (offset > length || size > length - offset) {
        return nullptr;
    }
    return __tile_collection_start + offset;
}
