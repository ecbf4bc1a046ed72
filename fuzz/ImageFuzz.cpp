// Feeds arbitrary bytes to the checks a collection image passes before any
// program uses it, then looks tiles up in whatever they accept: an accepted
// image must never lead a lookup outside its bytes. Each input is checked as
// it is and once more with its checksum made right, so that mutations get
// past the checksum to the table checks.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include <zlib.h>

#include "platform/flash.h"
#include "sim/Flash.hpp"
#include "sim/FlashImage.hpp"
#include "sim/ImageIntegrity.hpp"
#include "sim/ImageTrailer.hpp"
#include "tile_fetcher/tilelib.h"

namespace {

std::uint32_t wordAt(const std::uint8_t* image, std::uint32_t address)
{
    std::uint32_t value = 0;
    std::memcpy(&value, image + (address - flashBaseAddress), sizeof value);
    return value;
}

void checkAndLookUp(const std::uint8_t* data, std::size_t size)
{
    if (!sim::checkFlashImage(data, size).empty() || !sim::checkImageIntegrity(data, size).empty()) {
        return;
    }
    sim::installFlashImage(data, size);
    // The first tiles of every level's range, and the row and column before.
    for (std::uint32_t level = 0; level < tilelib::zoomLevels; ++level) {
        const std::uint32_t batch = wordAt(data, flashBaseAddress + 4 * level);
        const std::uint32_t minX = wordAt(data, batch + 8);
        const std::uint32_t minY = wordAt(data, batch + 16);
        const auto zoom = static_cast<std::uint8_t>(tilelib::minZoom + level);
        for (std::uint32_t step = 0; step < 64; ++step) {
            const TileEntry* entry = tilelib_getTile(minX - 1 + step % 8, minY - 1 + step / 8, zoom);
            if (entry->size != 0 && flash_pointer(entry->data, entry->size) == nullptr) {
                __builtin_trap();
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkAndLookUp(data, size);
    if (size >= sim::imageTrailerBytes) {
        std::vector<std::uint8_t> sealed(data, data + size);
        const std::uint32_t covered = static_cast<std::uint32_t>(size - sim::imageTrailerBytes);
        const auto checksum = static_cast<std::uint32_t>(crc32_z(0, sealed.data(), covered));
        const std::uint32_t trailer[] = {sim::imageTrailerTag, covered, checksum};
        std::memcpy(sealed.data() + covered, trailer, sizeof trailer);
        checkAndLookUp(sealed.data(), sealed.size());
    }
    return 0;
}
