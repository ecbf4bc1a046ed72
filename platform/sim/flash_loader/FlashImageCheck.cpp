#include <cstdio>
#include <cstring>
#include <string>

#include "platform/flash.h"
#include "sim/FlashImage.hpp"
#include "tile_fetcher/tilelib.h"

namespace sim {

namespace {

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

class ImageView {
public:
    ImageView(const std::uint8_t* bytes, std::size_t length) : image(bytes), size(length) {}

    // True when [address, address + bytes) lies inside the image.
    bool holds(std::uint32_t address, std::uint64_t bytes) const
    {
        if (address < flashBaseAddress) {
            return false;
        }
        const std::uint64_t offset = address - flashBaseAddress;
        return offset <= size && bytes <= size - offset;
    }

    std::uint32_t word(std::uint32_t address) const
    {
        std::uint32_t value = 0;
        std::memcpy(&value, image + (address - flashBaseAddress), sizeof value);
        return value;
    }

private:
    const std::uint8_t* image;
    std::size_t size;
};

bool aligned(std::uint32_t address)
{
    return address % 4 == 0;
}

std::string checkEntries(const ImageView& view, const TileBatch& batch, const std::string& level)
{
    for (std::uint32_t i = 0; i < batch.count; ++i) {
        const TileEntry entry{view.word(batch.tiles + 8 * i), view.word(batch.tiles + 8 * i + 4)};
        if (entry.data == 0 && entry.size == 0) {
            continue;
        }
        const std::string which = level + " entry " + std::to_string(i);
        if (entry.data == 0 || entry.size == 0) {
            return which + " has only one of address and size";
        }
        if (!aligned(entry.data)) {
            return which + ": tile address " + hex(entry.data) + " is not 4-byte aligned";
        }
        if (!view.holds(entry.data, entry.size)) {
            return which + ": tile of " + std::to_string(entry.size) + " bytes at " + hex(entry.data) +
                   " lies outside the image";
        }
    }
    return {};
}

std::string checkBatch(const ImageView& view, std::uint32_t batchAddress, unsigned int zoom)
{
    const std::string level = "zoom " + std::to_string(zoom);
    if (!aligned(batchAddress) || !view.holds(batchAddress, sizeof(TileBatch))) {
        return level + ": batch record address " + hex(batchAddress) + " is unaligned or outside the image";
    }
    const TileBatch batch{view.word(batchAddress),      view.word(batchAddress + 4),  view.word(batchAddress + 8),
                          view.word(batchAddress + 12), view.word(batchAddress + 16), view.word(batchAddress + 20)};
    if (batch.tiles == 0 || batch.count == 0) {
        return {}; // an empty level
    }
    if (batch.maxX < batch.minX || batch.maxY < batch.minY) {
        return level + ": tile range has its bounds reversed";
    }
    const std::uint64_t expected =
        (std::uint64_t{batch.maxX} - batch.minX + 1) * (std::uint64_t{batch.maxY} - batch.minY + 1);
    if (batch.count != expected) {
        return level + ": list holds " + std::to_string(batch.count) + " entries, its tile range needs " +
               std::to_string(expected);
    }
    if (!aligned(batch.tiles) || !view.holds(batch.tiles, std::uint64_t{batch.count} * sizeof(TileEntry))) {
        return level + ": tile list at " + hex(batch.tiles) + " is unaligned or runs past the image";
    }
    return checkEntries(view, batch, level);
}

} // namespace

std::string checkFlashImage(const std::uint8_t* image, std::size_t size)
{
    constexpr std::size_t tableBytes = tilelib::zoomLevels * sizeof(std::uint32_t);
    if (image == nullptr || size < tableBytes) {
        return "too short for the collection table (" + std::to_string(size) + " bytes)";
    }
    if (size > 0xFFFFFFFFull - flashBaseAddress + 1) {
        return "larger than the flash address space";
    }
    const ImageView view(image, size);
    for (std::uint32_t level = 0; level < tilelib::zoomLevels; ++level) {
        const std::uint32_t batchAddress = view.word(flashBaseAddress + 4 * level);
        std::string problem = checkBatch(view, batchAddress, tilelib::minZoom + level);
        if (!problem.empty()) {
            return problem;
        }
    }
    return {};
}

} // namespace sim
